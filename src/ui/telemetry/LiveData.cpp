// The live road of the main window: the acquisition loop over "demo.dat", the log it
// writes, and the display of every record in the live strip, on the dashboard and as the
// marked cell of the part-load maps.
#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

#include "app/Program.h"
#include "app/mainfrm.h"
#include "common/Clock.h"
#include "common/DecimalText.h"
#include "editors/MapEditors.h"
#include "editors/StringGrid.h"
#include "telemetry/DashboardWindow.h"
#include "telemetry/DemoRecord.h"
#include "telemetry/LiveCell.h"
#include "telemetry/LogWriter.h"
#include "widgets/EventPump.h"

namespace {
constexpr int kRecordPauseMs = 100;

}  // namespace

void TfrmMain::ShowLiveValues() {
  // 1. The dashboard only while it is showing; hidden, it keeps its readings.
  if (frmIndicators && frmIndicators->isVisible()) frmIndicators->ShowOnDashboard(LiveValues);
  // 2. The live strip, slots 1 to 11.
  for (int slot = 1; slot < kLiveSlots; ++slot)
    LiveEdits[slot - 1]->setText(FloatToStr(LiveValues[slot]));
  // 3.
  QCoreApplication::processEvents();
  // 4. The cell of the operating point, searched on the ignition map's headers.
  int col = 0, row = 0;
  QWidget* page = PageControl1->currentWidget();
  TStringGrid* ignition = Maps().sgIgnMain;
  if (page == TabSheet1 || page == TabSheet2) {
    const QChar separator = DecimalSeparator();
    auto header = [&](int c, int r) -> std::optional<double> {
      // A header that is not a number counts as empty.
      return TryStrToFloat(ignition->Cell(c, r), separator);
    };
    col =
        FindLiveColumn([&](int c) { return header(c, 0); }, ignition->ColCount(), LiveValues[kRPM]);
    row = FindLiveRow([&](int r) { return header(0, r); }, ignition->RowCount(), LiveValues[kLOAD]);
  }
  // 5.
  LiveCellCol = col;
  LiveCellRow = row;
  // 6. Only the map on the active page is repainted.
  if (page == TabSheet2) ignition->Repaint();
  if (page == TabSheet1) Maps().sgFuelMain->Repaint();
  // 7.
  QCoreApplication::processEvents();
}

void TfrmMain::RunLiveLoop() {
  // 1. The record source; a missing file stops here with the file error.
  TDemoDataSource source;
  TLogWriter log;
  bool logOpen = false;
  // 2. The log file is chosen once, at the start of the run.
  if (LiveLoopActive == 1 && N15->isChecked()) {
    sdLogFile->selectFile(ProposedLogName(QDateTime::currentDateTime()));
    const QString path = RunFileDialog(sdLogFile);
    if (!path.isEmpty()) {
      log.Create(path);
      logOpen = true;
    }
  }
  // 3. Elapsed time on the monotonic clock, so a run past midnight keeps counting up.
  const int64_t start = NowMs();
  // 4.
  while (LiveLoopActive == 1) {
    const QString line = source.NextLine();
    const double elapsed = static_cast<double>(NowMs() - start) / 1000.0;
    ParseDemoRecord(line, LiveValues, DecimalSeparator());
    // The record pause; the window stays responsive meanwhile.
    PumpEventsFor(kRecordPauseMs);
    // N15 is read before every record: unchecking it suspends writing.
    if (N15->isChecked() && logOpen) log.Append(elapsed, LiveValues, DecimalSeparator());
    QCoreApplication::processEvents();
    ShowLiveValues();
  }
  // 5. Both files close here, and on an error through their destructors, so every line
  // written before stays in the log.
  source.Close();
  if (logOpen) log.Close();
}

void TfrmMain::sbWriteLogClick() {
  if (sbWriteLog->isChecked()) {
    LiveLoopActive = 1;
    SetLinkStatus(QStringLiteral("Получение телеметрии из DME"), Qt::red);
    QCoreApplication::processEvents();
    // A run still finishing its record (the button released and pressed again inside it)
    // simply goes on; a second run is never nested inside the first.
    if (fLiveLoopRunning) return;
    fLiveLoopRunning = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{fLiveLoopRunning};
    RunLiveLoop();
  } else {
    LiveLoopActive = 0;
    SleepMs(100);
    SetLinkStatus(QStringLiteral("Нет соединения!"), Qt::red);
  }
}
