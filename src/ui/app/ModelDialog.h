#pragma once
// The DME model dialog: five supported models in a read-only list preset to M3.1.

#include <QDialog>

class TRadioGroup;
class QPushButton;

class TfrmSelectDME : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmSelectDME(QWidget* parent = nullptr);

 private:
  TRadioGroup* rgDMEselect;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};
