#pragma once
// The adapter port's setup dialog "Setup": port, baud rate, data bits, stop bits, parity
// and flow control, for the run only.

#include <QDialog>

class QComboBox;
class TComPort;

class TComPortSetup : public QDialog {
  Q_OBJECT
 public:
  TComPortSetup(TComPort& port, QWidget* parent = nullptr);
  // Shows the dialog; OK copies the choices into the port.
  int exec() override;

 private:
  TComPort& fPort;
  QComboBox* fPortBox;
  QComboBox* fBaudBox;
  QComboBox* fDataBox;
  QComboBox* fStopBox;
  QComboBox* fParityBox;
  QComboBox* fFlowBox;
};
