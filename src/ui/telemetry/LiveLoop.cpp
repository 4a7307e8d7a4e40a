#include "ui/telemetry/LiveLoop.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>
#include <optional>

#include "analysis/FuelMapInput.h"
#include "common/Clock.h"
#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/MapInterpolation.h"
#include "common/ScopedFlag.h"
#include "image/CodeRange.h"
#include "sim/VirtualEngine.h"
#include "telemetry/DemoRecord.h"
#include "telemetry/LiveCell.h"
#include "telemetry/LogWriter.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/EventPump.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/StringGrid.h"

namespace {
constexpr int kRecordPauseMs = 100;

}  // namespace

TLiveLoop::TLiveLoop(QObject* parent, const Views& views, TLiveMark& mark)
    : QObject(parent), Mark(mark), fViews(views) {
  setObjectName(QStringLiteral("LiveLoop"));
}

void TLiveLoop::ShowLiveValues() {
  // The dashboard first (it shows the record only while it is showing), then the live strip,
  // slots 1 to 11.
  emit RecordShown(LiveValues);
  for (int slot = 1; slot < kLiveSlots; ++slot)
    fViews.edits[slot - 1]->setText(FloatToStr(LiveValues[slot]));
  QCoreApplication::processEvents();
  // The cell of the operating point, searched on the ignition map's axes as the document
  // holds them (nothing before a load).
  int col = 0, row = 0;
  QWidget* page = fViews.pages->currentWidget();
  TStringGrid* ignition = fViews.maps->GridOf(TTableId::IgnMain);
  const TCalibration& doc = fViews.maps->Doc();
  if ((page == fViews.fuelPage || page == fViews.ignitionPage) && doc.Loaded()) {
    const TCalTable& map = doc.Table(TTableId::IgnMain);
    // An axis cell that is no number counts as empty.
    col = FindLiveColumn([&](int c) { return map.Value(c, 0); }, map.cols, LiveValues[kRPM]);
    row = FindLiveRow([&](int r) { return map.Value(0, r); }, map.rows, LiveValues[kLOAD]);
  }
  Mark.LiveCellCol = col;
  Mark.LiveCellRow = row;
  // Only the map on the active page is repainted, then the window may follow.
  if (page == fViews.ignitionPage) ignition->Repaint();
  if (page == fViews.fuelPage) fViews.maps->GridOf(TTableId::FuelMain)->Repaint();
  QCoreApplication::processEvents();
}

TLiveLoop::~TLiveLoop() = default;

void TLiveLoop::NextEngineRecord() {
  const TCalTable& map = fViews.maps->Doc().Table(TTableId::FuelMain);
  std::vector<double> factors;
  for (double f : ValuesOfTable(map)) factors.push_back(UnitFuelFactor(f));
  const TMapAxes axes = AxesOfTable(map);
  if (axes.Cols() < 2 || axes.Rows() < 2) return;
  // The engine is made for the map it first meets; its need differs from that map, so the
  // user has something to tune. Another map's shape makes a new engine.
  if (!fEngine || fEngine->Need().size() != factors.size()) {
    std::vector<double> rpm, load;
    for (const auto& v : axes.rpm) rpm.push_back(v.value_or(0));
    for (const auto& v : axes.load) load.push_back(v.value_or(0));
    if (!StrictlyMonotonic(rpm) || !StrictlyMonotonic(load)) return;
    fEngine = std::make_unique<TVirtualEngine>(
        rpm, load, PracticeNeed(factors, static_cast<size_t>(axes.Cols())));
  }
  fEngine->SetFuelMap(std::move(factors));
  const double time = LiveValues[kTime];
  LiveValues = fEngine->Step();
  LiveValues[kTime] = time;
}

void TLiveLoop::RunLiveLoop() {
  const bool engine = fViews.virtualEngine && fViews.virtualEngine->isChecked();
  // The record source; a missing file stops here with the file error.
  std::optional<TDemoDataSource> source;
  if (!engine) source.emplace();
  TLogWriter log;
  QString logPath;
  bool logOpen = false;
  // The log file is chosen once, at the start of the run.
  if (Mark.LiveLoopActive == 1 && fViews.writeLog->isChecked()) {
    fViews.logDialog->selectFile(ProposedLogName(QDateTime::currentDateTime()));
    logPath = RunFileDialog(fViews.logDialog);
    if (!logPath.isEmpty()) {
      log.Create(logPath);
      logOpen = true;
    }
  }
  // Elapsed time on the monotonic clock, so a run past midnight keeps counting up.
  const int64_t start = NowMs();
  while (Mark.LiveLoopActive == 1) {
    const double elapsed = static_cast<double>(NowMs() - start) / 1000.0;
    if (engine)
      NextEngineRecord();
    else
      ParseDemoRecord(source->NextLine(), LiveValues, DecimalSeparator());
    // The record pause; the window stays responsive meanwhile.
    PumpEventsFor(kRecordPauseMs);
    // N15 is read before every record: unchecking it suspends writing.
    if (fViews.writeLog->isChecked() && logOpen) {
      try {
        log.Append(elapsed, LiveValues, DecimalSeparator());
      } catch (const ERuntimeError& e) {
        // A log that can no longer be written (a full disk, a lost drive) ends the run as
        // any error of a record does, rather than going on with records nobody keeps; the
        // lines written stay, and the message names the log.
        throw ERuntimeError(tr("Запись ЛОГ-файла %1 остановлена: %2")
                                .arg(QDir::toNativeSeparators(logPath), QString::fromUtf8(e.what()))
                                .toStdString());
      }
    }
    QCoreApplication::processEvents();
    ShowLiveValues();
  }
  // Both files close here, and on an error through their destructors, so every line
  // written before stays in the log.
  if (source) source->Close();
  if (logOpen) log.Close();
}

void TLiveLoop::sbWriteLogClick() {
  if (fViews.strip->sbWriteLog->isChecked()) {
    Mark.LiveLoopActive = 1;
    fViews.strip->SetLinkStatus(tr("Получение телеметрии из DME"), Qt::red);
    QCoreApplication::processEvents();
    // A run still finishing its record (the button released and pressed again inside it)
    // simply goes on; a second run is never nested inside the first.
    if (fLiveLoopRunning) return;
    const TScopedFlag running(fLiveLoopRunning);
    RunLiveLoop();
  } else {
    Mark.LiveLoopActive = 0;
    SleepMs(100);
    fViews.strip->SetLinkStatus(tr("Нет соединения!"), Qt::red);
  }
}

void TLiveLoop::Stop() {
  // A running loop sees the cleared flag after its record and ends.
  if (!Mark.LiveLoopActive) return;
  Mark.LiveLoopActive = 0;
  SleepMs(100);
}
