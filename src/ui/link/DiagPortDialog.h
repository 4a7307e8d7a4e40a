#pragma once
// TfrmDiagPort: "Порт диагностики..." of "&Опции": the serial ports with what the kernel says
// of each (driver, chip, USB ids, latency timer, access, who holds it) and the advice for
// the one selected, plus the simulator; the wake-up line. OK writes the choice into
// "CTESTER.INI" (PORT and the DEVICES entry, L-LINE when it was changed) as a user would.

#include <QDialog>
#include <vector>

#include "link/SerialPorts.h"

class QComboBox;
class QLabel;
class QTreeWidget;

class TfrmDiagPort : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmDiagPort(QWidget* parent = nullptr);
  // Lists the ports anew, marks the one in use and shows the dialog; OK writes the choice.
  int exec() override;
  // Lists the ports anew (the "Обновить" button).
  void Fill();

  QTreeWidget* lvPorts = nullptr;
  QLabel* lPortAdvice = nullptr;
  QComboBox* cbWakeLine = nullptr;

 private:
  void ShowAdvice();
  void Apply();

  std::vector<TSerialPort> fPorts;
  int fWakeIndex = 0;
};
