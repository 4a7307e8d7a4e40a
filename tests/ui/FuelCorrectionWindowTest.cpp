// The log analysis window's fuel correction on a drive of the virtual engine over the demo
// image: the filters' counts and the cells' weights and tooltips are shown, the proposal is
// the one tarvelo-cli analyze makes for the same log and settings, it is applied as one
// undo step, and the settings file then differs from before in exactly the changed cells.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <cmath>

#include "analysis/FuelMapInput.h"
#include "calibration/Calibration.h"
#include "common/DecimalText.h"
#include "image/CodeRange.h"
#include "image/DemoImage.h"
#include "sim/VirtualEngine.h"
#include "support/CliRun.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "telemetry/LogWriter.h"
#include "ui/analysis/CorrectionSettings.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/app/MainWindow.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/StringGrid.h"

namespace {
class FuelCorrectionWindowTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    QLocale::setDefault(QLocale::c());
    Start(true);
    MainEfi().fImage = MakeDemoImage();
    frmMain->FillGrids(false);
  }
  const TCalTable& Fuel() { return MainMaps().Doc().Table(TTableId::FuelMain); }
  // One sweep of the virtual engine, whose need is the demo map 4 % richer and chequered.
  QString WriteDrive() {
    const TMapAxes axes = AxesOfTable(Fuel());
    std::vector<double> rpm, load, need;
    for (const auto& v : axes.rpm) rpm.push_back(*v);
    for (const auto& v : axes.load) load.push_back(*v);
    const std::vector<double> map = ValuesOfTable(Fuel());
    for (size_t i = 0; i < map.size(); ++i)
      need.push_back(UnitFuelFactor(map[i]) * ((i + i / rpm.size()) % 2 ? 1.06 : 1.02));
    TVirtualEngine engine(rpm, load, need);
    engine.SetFuelMap([&map] {
      std::vector<double> exact;
      for (double f : map) exact.push_back(UnitFuelFactor(f));
      return exact;
    }());
    const QString path = TempPath("virtual-drive.txt");
    TLogWriter log;
    log.Create(path);
    for (const LiveRecord& r : engine.Drive(engine.SweepSeconds())) log.Append(r[kTime], r, '.');
    log.Close();
    return path;
  }
  QByteArray SaveSettings(const QString& name) {
    frmMain->CollectGrids(1);
    MainEfi().SaveSettings(1, TempPath(name));
    QFile f(TempPath(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  }
};
}  // namespace

TEST_F(FuelCorrectionWindowTest,
       VirtualDriveShowsCountsAndWeightsMatchesTheCliAndAppliesAsOneStep) {
  const QByteArray before = SaveSettings("before.dme");
  TfrmLogAnalysis& w = MainLogAnalysis();
  const QString log = WriteDrive();
  w.LoadLogFile(log);
  const TFuelCorrection& fc = w.Correction();
  ASSERT_FALSE(fc.Refused()) << fc.refusal.toStdString();
  // The filters took the cold start, the transients and the coasts, and say so (the sensor
  // reads within its line throughout, and its delay and ends filters have their own tests).
  for (TRecordFilter f : {TRecordFilter::Warm, TRecordFilter::Steady, TRecordFilter::Overrun})
    EXPECT_GT(fc.removed[static_cast<size_t>(f)], 0)
        << RecordFilterName(f) << " " << w.settings->lblFilterCounts->text().toStdString();
  EXPECT_EQ(fc.removed[static_cast<size_t>(TRecordFilter::Stretch)], 0);
  const QString counts = w.settings->lblFilterCounts->text();
  EXPECT_TRUE(
      counts.contains(QString::number(fc.removed[static_cast<size_t>(TRecordFilter::Warm)])))
      << counts.toStdString();
  EXPECT_TRUE(counts.contains(QString::number(fc.used)));
  // Weights on every cell the sweep crossed; the tooltip names them.
  int weighed = 0;
  for (double v : fc.weight) weighed += v >= 5 ? 1 : 0;
  EXPECT_GT(weighed, 150);
  const QString tip = w.CorrectionTip(3, 4);
  EXPECT_TRUE(tip.contains("вес")) << tip.toStdString();
  EXPECT_TRUE(tip.contains("AFR измеренный")) << tip.toStdString();
  EXPECT_FALSE(w.lblLegend->text().isEmpty());
  const int changed = fc.ChangedCount();
  ASSERT_GT(changed, 50);

#ifdef TARVELO_CLI
  // The command line, given the same log and the window's settings, proposes the same map.
  const TCliRun cli = RunCli(QStringLiteral(TARVELO_CLI), {"analyze", log, "--json"});
  ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
  const QJsonObject fuel = QJsonDocument::fromJson(cli.out.toUtf8()).object()["fuel"].toObject();
  const QJsonArray proposed = fuel["proposed"].toArray();
  ASSERT_EQ(proposed.size(), fc.rows);
  for (int r = 0; r < fc.rows; ++r)
    for (int c = 0; c < fc.cols; ++c)
      EXPECT_DOUBLE_EQ(proposed[fc.rows - 1 - r].toArray()[c].toDouble(), fc.At(c, r))
          << "cell " << c << ", " << r;
  EXPECT_EQ(fuel["changed"].toInt(), changed);
#endif

  // Applied: one step of the history; the settings file differs in the changed cells only.
  ASSERT_TRUE(w.btnApply->isEnabled());
  w.btnApply->click();
  TCalibration& doc = MainMaps().Doc();
  EXPECT_EQ(doc.UndoTitle(), "Коррекция по ЛОГу");
  const QByteArray after = SaveSettings("after.dme");
  ASSERT_EQ(after.size(), before.size());
  int differing = 0;
  for (qsizetype i = 0; i < before.size(); ++i) differing += before[i] != after[i] ? 1 : 0;
  EXPECT_EQ(differing, changed);
  doc.Undo();
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_EQ(SaveSettings("undone.dme"), before);
}

// A picture of the window after the virtual drive, with the filters' counts, the legend and a
// cell's tooltip, for looking at: only when TARVELO_SHOTS names a folder.
TEST_F(FuelCorrectionWindowTest, ScreenshotWithTheFiltersCountsAndATooltip) {
  const QString folder = qEnvironmentVariable("TARVELO_SHOTS");
  if (folder.isEmpty()) GTEST_SKIP() << "TARVELO_SHOTS is not set";
  TfrmLogAnalysis& w = MainLogAnalysis();
  w.LoadLogFile(WriteDrive());
  w.resize(820, 760);
  w.show();
  Pump(200);
  // The tooltip of a changed cell, as the mouse resting on it brings it up.
  const TFuelCorrection& fc = w.Correction();
  int col = 6, row = 5;
  for (int r = 1; r <= fc.rows && !fc.changed[fc.Index(col - 1, row - 1)]; ++r) row = r;
  const QRect cell = w.sgCorrection->visualRect(w.sgCorrection->model()->index(row, col));
  const QPoint at = cell.center();
  QHelpEvent help(QEvent::ToolTip, at, w.sgCorrection->viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(w.sgCorrection->viewport(), &help);
  Pump(100);
  // The whole of the scrolled content, taller than the screen.
  QWidget* content = w.findChild<QScrollArea*>("saLogAnalysis")->widget();
  QImage picture = content->grab().toImage();
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == "qtooltip_label" && top->isVisible()) {
      QPainter painter(&picture);
      painter.drawPixmap(w.sgCorrection->viewport()->mapTo(content, at) + QPoint(10, 14),
                         top->grab());
    }
  ASSERT_TRUE(picture.save(QDir(folder).filePath("fuel-correction.png")));
}

// A double click locks a cell of the proposal: it stays as it is, and its neighbours are
// solved with it held; another double click frees it.
TEST_F(FuelCorrectionWindowTest, DoubleClickLocksACellAndFreesItAgain) {
  TfrmLogAnalysis& w = MainLogAnalysis();
  w.LoadLogFile(WriteDrive());
  const size_t i = w.Correction().Index(4, 5);  // grid cell (5, 6)
  ASSERT_TRUE(w.Correction().changed[i]);
  const double free = w.Correction().proposed[i];
  w.show();
  w.findChild<QScrollArea*>("saLogAnalysis")->ensureWidgetVisible(w.sgCorrection);
  const QRect cell = w.sgCorrection->visualRect(w.sgCorrection->model()->index(6, 5));
  // A double click as the system sends it: press and release, then the double click.
  QTest::mouseClick(w.sgCorrection->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(w.sgCorrection->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(w.Correction().outcome[i], TCellOutcome::Locked);
  EXPECT_FALSE(w.Correction().changed[i]);
  EXPECT_EQ(w.Correction().proposed[i], *Fuel().Value(5, 6));
  EXPECT_TRUE(w.CorrectionTip(5, 6).contains("закреплена")) << w.CorrectionTip(5, 6).toStdString();
  w.ToggleLock(5, 6);
  EXPECT_EQ(w.Correction().proposed[i], free);
}
