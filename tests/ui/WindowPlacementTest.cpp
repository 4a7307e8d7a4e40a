// Where the resizable windows open: within the free area of a screen (so a button at the
// foot of a tall window stays in reach), on the main window's screen, and where the user
// left them in the last run.
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "EditTestSupport.h"
#include "common/DecimalText.h"
#include "support/MainWindowParts.h"
#include "telemetry/LogWriter.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/compare/CompareCommands.h"
#include "ui/compare/CompareWindow.h"
#include "ui/telemetry/TelemetryWindow.h"
#include "ui/widgets/WindowPlacement.h"

TEST(PlaceWindow, OnTheMainWindowsScreenWithinItsFreeAreaOrWhereItWasLeft) {
  const QRect laptop(0, 0, 1366, 738), right(1366, 0, 1920, 1050);
  const QMargins frame(4, 26, 4, 4);
  const QRect main(327, 141, 719, 564);
  // No place kept: centred over the main window, its own size.
  const QRect first = PlaceWindow({}, {640, 480}, frame, main, {laptop, right}, false);
  EXPECT_EQ(first.size(), QSize(640, 480));
  EXPECT_LE((first.marginsAdded(frame).center() - main.center()).manhattanLength(), 1);
  // Taller than the screen: held to its free area, title bar and foot on it.
  const QRect tall = PlaceWindow({}, {720, 1031}, frame, main, {laptop, right}, false);
  EXPECT_EQ(tall.top() - frame.top(), 0);
  EXPECT_EQ(tall.bottom() + frame.bottom(), laptop.bottom());
  // The main window on the right-hand screen: the window opens there, centred on it when
  // the window is one that centres itself.
  const QRect mainRight = main.translated(1366 + 400, 100);
  EXPECT_TRUE(right.contains(PlaceWindow({}, {909, 730}, frame, mainRight, {laptop, right}, true)));
  EXPECT_EQ(PlaceWindow({}, {909, 730}, frame, mainRight, {laptop, right}, true).center(),
            right.center() + QPoint(0, 11));
  // A place kept from the last run, on a screen still there: kept as it was.
  const QRect kept(1500, 40, 800, 600);
  EXPECT_EQ(PlaceWindow(kept, {640, 480}, frame, main, {laptop, right}, false), kept);
  // That screen gone: on the main window's screen instead, at the window's own size.
  const QRect moved = PlaceWindow(kept, {640, 480}, frame, main, {laptop}, false);
  EXPECT_TRUE(laptop.contains(moved.marginsAdded(frame)));
  EXPECT_EQ(moved.size(), QSize(640, 480));
  // Half off the screen's edge: moved onto it.
  const QRect edge = PlaceWindow({1000, 500, 600, 400}, {}, frame, main, {laptop}, false);
  EXPECT_TRUE(laptop.contains(edge.marginsAdded(frame)));
  EXPECT_EQ(edge.size(), QSize(600, 400));
}

namespace {
class WindowPlacementTest : public EditTest {
 protected:
  QRect FreeArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
  QString WriteLog() {
    const QString path = TempPath("drive.txt");
    TLogWriter log;
    log.Create(path);
    LiveRecord r{};
    const TCalTable& fuel = doc->Table(TTableId::FuelMain);
    for (int i = 0; i < 200; ++i) {
      r[kRPM] = *fuel.Value(2 + i % 5, 0);
      r[kLOAD] = *fuel.Value(0, 3 + i % 4);
      r[kO2] = 0.45;
      r[kCLT] = 90;
      r[kTPS] = 20;
      log.Append(i / 10.0, r, DecimalSeparator());
    }
    log.Close();
    return path;
  }
};
}  // namespace

// With a log loaded the analysis window's boxes are taller than the screen (two tables of
// the fuel map's size): the window still fits, its boxes scroll and "Применить" stays in
// view at its foot.
TEST_F(WindowPlacementTest, LogAnalysisWindowFitsTheScreenWithApplyInReach) {
  TfrmLogAnalysis& w = MainLogAnalysis();
  w.LoadLogFile(WriteLog());
  MainAction("actLogAnalysis")->trigger();
  Pump(50);
  ASSERT_TRUE(w.isVisible());
  ASSERT_GT(w.sgCorrection->height() + w.sgTargetAfr->height(), FreeArea().height() / 2);
  EXPECT_TRUE(FreeArea().contains(w.frameGeometry())) << w.width() << "x" << w.height();
  const QRect apply(w.btnApply->mapToGlobal(QPoint(0, 0)), w.btnApply->size());
  EXPECT_TRUE(w.btnApply->isVisible());
  EXPECT_TRUE(w.geometry().contains(apply));
  EXPECT_TRUE(FreeArea().contains(apply));
}

// Each window opens where the user left it in the last run, at that size.
TEST_F(WindowPlacementTest, WindowsRememberTheirPlaceAndSizeBetweenRuns) {
  MainAction("actLogAnalysis")->trigger();
  AnswerFileDialog(TempPath("demo.bin"));
  MainAction("actCompare")->trigger();
  MainAction("N13")->trigger();
  Pump(50);
  QWidget* windows[] = {&MainLogAnalysis(), MainCompare().frmCompare, FrmTelemetry};
  const QRect places[] = {{30, 40, 500, 400}, {60, 70, 420, 300}, {20, 10, 760, 560}};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(windows[i]->isVisible()) << i;
    windows[i]->setGeometry(places[i]);
    Pump(10);
  }
  Stop();
  Start(true);
  MainAction("actLogAnalysis")->trigger();
  AnswerFileDialog(TempPath("demo.bin"));
  MainAction("BIN1")->trigger();
  AnswerFileDialog(TempPath("demo.bin"));
  MainAction("actCompare")->trigger();
  MainAction("N13")->trigger();
  Pump(50);
  QWidget* again[] = {&MainLogAnalysis(), MainCompare().frmCompare, FrmTelemetry};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(again[i]->geometry(), places[i]) << i;
}
