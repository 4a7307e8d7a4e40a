// The live road as a user drives it: the ЛОГ button runs the loop over "demo.dat", the log
// file it writes, the live strip and the marked cell of the maps.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "calibration/Calibration.h"
#include "image/DemoImage.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/editors/MapEditors.h"
#include "ui/telemetry/LiveLoop.h"
#include "ui/widgets/StringGrid.h"

namespace {
class LiveLoopTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    fOldDir = QDir::currentPath();
    QDir::setCurrent(fTemp.path());
    Start(true);
  }
  void TearDown() override {
    ProgramTest::TearDown();
    QDir::setCurrent(fOldDir);
  }
  void WriteDemo(const QByteArray& text) {
    QFile file(TempPath("demo.dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  QToolButton* Button() { return Find<QToolButton>("sbWriteLog"); }
  // Presses ЛОГ; the run goes on inside the click until `stopAfterMs` releases it.
  void Run(int stopAfterMs) {
    QTimer::singleShot(stopAfterMs, [this] { Button()->click(); });
    Button()->click();
  }
  QList<QByteArray> LogLines(const QString& name) {
    QFile file(TempPath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
  }
  static QList<QByteArray> Fields(const QByteArray& line) { return line.trimmed().split('\t'); }

  QString fOldDir;
};
}  // namespace

TEST_F(LiveLoopTest, RunWithLoggingWritesHeaderAndRecordsInACircle) {
  WriteDemo("1;10\r\n2;20\r\n3;30\r\n");
  QString proposed;
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "sdLogFile");
    proposed = dialog->selectedFiles().value(0);
    SelectInFileDialog(dialog, TempPath("run.txt"));
    static_cast<QDialog*>(dialog)->accept();
  });
  Run(900);
  EXPECT_TRUE(proposed.endsWith(".txt"));
  EXPECT_FALSE(Button()->isChecked());
  EXPECT_EQ(Find<QLabel>("lLink")->text(), "Нет соединения!");
  const QList<QByteArray> lines = LogLines("run.txt");
  ASSERT_GE(lines.size(), 6);
  EXPECT_EQ(lines[0], "Time\tRPM\tLOAD\tO2\tPW\tIGNITION\tMAF\tTPS\tCLT\tMAT\tVboard\tSPEED\r");
  EXPECT_LT(Fields(lines[1])[0].toDouble(), 0.2);
  const char* rpm[] = {"1", "2", "3", "1", "2"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(lines[i + 1].endsWith('\r'));
    EXPECT_EQ(Fields(lines[i + 1]).size(), 12);
    EXPECT_EQ(Fields(lines[i + 1])[1].trimmed(), rpm[i]) << i;
  }
  // The strip and the dashboard's source keep the last record.
  EXPECT_EQ(MainLive().LiveValues[kRPM], Fields(lines.back())[1].trimmed().toDouble());
  EXPECT_EQ(Find<QLineEdit>("edtRPM")->text(), QString::number(MainLive().LiveValues[kRPM]));
}

TEST_F(LiveLoopTest, WithoutTheOptionNothingIsAskedOrWritten) {
  WriteDemo("850;25\r\n");
  MainAction("N15")->setChecked(false);
  // Checking the option during the run creates no file either.
  QTimer::singleShot(250, [] { MainAction("N15")->setChecked(true); });
  bool asked = false;
  QTimer::singleShot(150, [&] { asked = asked || QApplication::activeModalWidget(); });
  QTimer::singleShot(450, [&] { asked = asked || QApplication::activeModalWidget(); });
  Run(600);
  EXPECT_FALSE(asked);
  EXPECT_EQ(QDir(fTemp.path()).entryList(QDir::Files), QStringList({"demo.dat"}));
  // 850;25: RPM and SPEED, the slots between unchanged.
  EXPECT_EQ(MainLive().LiveValues[kRPM], 850);
  EXPECT_EQ(MainLive().LiveValues[kSPEED], 25);
  EXPECT_EQ(MainLive().LiveValues[kLOAD], 0);
  EXPECT_EQ(Find<QLineEdit>("edtSpeed")->text(), "25");
}

TEST_F(LiveLoopTest, UncheckingTheOptionLeavesAGap) {
  WriteDemo("1;1\r\n");
  AnswerFileDialog(TempPath("gap.txt"));
  QTimer::singleShot(350, [] { MainAction("N15")->setChecked(false); });
  QTimer::singleShot(900, [] { MainAction("N15")->setChecked(true); });
  Run(1300);
  const QList<QByteArray> lines = LogLines("gap.txt");
  ASSERT_GE(lines.size(), 4);
  double largestStep = 0;
  for (int i = 2; i < lines.size(); ++i)
    largestStep =
        std::max(largestStep, Fields(lines[i])[0].toDouble() - Fields(lines[i - 1])[0].toDouble());
  EXPECT_GT(largestStep, 0.35);
}

TEST_F(LiveLoopTest, ABadPieceEndsTheRunAndKeepsTheLinesBefore) {
  WriteDemo("1;1\r\n2;2\r\nabc;3\r\n");
  AnswerFileDialog(TempPath("bad.txt"));
  QString error;
  // The error box comes after two records.
  QTimer::singleShot(100, [&] { AnswerMessageBox(QMessageBox::Ok, &error); });
  Button()->click();
  EXPECT_EQ(error, "'abc' is not a valid floating point value");
  const QList<QByteArray> lines = LogLines("bad.txt");
  EXPECT_EQ(lines.size(), 3);
  // The run ended on its own: the button is still down until the user releases it.
  EXPECT_TRUE(Button()->isChecked());
  EXPECT_EQ(MainLive().Mark.LiveLoopActive, 1);
  EXPECT_EQ(Find<QLabel>("lLink")->text(), "Получение телеметрии из DME");
  Button()->click();
  EXPECT_EQ(MainLive().Mark.LiveLoopActive, 0);
}

TEST_F(LiveLoopTest, MissingDemoFileIsReported) {
  QString error;
  AnswerMessageBox(QMessageBox::Ok, &error);
  Button()->click();
  EXPECT_EQ(error, "File not found");
  Button()->click();
}

TEST_F(LiveLoopTest, ClosingTheMainWindowEndsTheRunAndClosesTheLog) {
  WriteDemo("1;1\r\n2;2\r\n");
  AnswerFileDialog(TempPath("closed.txt"));
  QTimer::singleShot(450, [] { frmMain->close(); });
  Button()->click();
  EXPECT_EQ(MainLive().Mark.LiveLoopActive, 0);
  EXPECT_GE(LogLines("closed.txt").size(), 3);
}

TEST_F(LiveLoopTest, MarkedCellFollowsTheActivePage) {
  TEFIOperator& efi = MainEfi();
  efi.fImage.assign(kImageSize, 0);
  for (TFloatMatrix* m : {&efi.fSparkMainMatrix, &efi.fFuelMainMatrix}) {
    for (int c = 1; c < 17; ++c) (*m)[0][c] = 600 + 400 * (c - 1);
    for (int r = 1; r < 13; ++r) (*m)[r][0] = r;
  }
  frmMain->FillGrids(true);
  WriteDemo("2750;5;0.456;3;20;2;10;85;30;14;40\r\n");
  MainAction("N15")->setChecked(false);
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet2"));
  Run(350);
  // 2750 rpm: headers 600, 1000, ... 2600 (column 6), 3000 (column 7).
  EXPECT_EQ(MainLive().Mark.LiveCellCol, 6);
  // Load 5 ms: rows show 12 ms at the top down to 1 ms; the last header not below 5 is 5
  // itself (grid row 8).
  EXPECT_EQ(MainLive().Mark.LiveCellRow, 8);
  EXPECT_DOUBLE_EQ(MainLive().LiveValues[kO2], 0.46);
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet6"));
  Run(350);
  EXPECT_EQ(MainLive().Mark.LiveCellCol, 0);
  EXPECT_EQ(MainLive().Mark.LiveCellRow, 0);
}

TEST_F(LiveLoopTest, HiddenDashboardKeepsItsReadings) {
  WriteDemo("3000;5;0.45;3;20;2;10;85;30;14;77\r\n");
  MainAction("N15")->setChecked(false);
  auto* speed = Find<QLabel>("lSpeed");
  ASSERT_NE(speed, nullptr);
  const QString before = speed->text();
  Run(350);
  EXPECT_EQ(speed->text(), before);
  MainAction("N12")->trigger();
  Run(350);
  EXPECT_EQ(speed->text(), "77");
}

// "Виртуальный двигатель" in "&Опции" (off by default, demo.dat stays the source): the ЛОГ
// button then takes records from the virtual engine, which needs no demo.dat, starts cold at
// idle and answers the fuel map: the map made leaner, the wide-band voltage falls.
TEST_F(LiveLoopTest, VirtualEngineAnswersTheFuelMapWithoutDemoDat) {
  ASSERT_NE(MainAction("actVirtualEngine"), nullptr);
  EXPECT_FALSE(MainAction("actVirtualEngine")->isChecked());
  EXPECT_TRUE(frmMain->findChild<QMenu*>("N4")->actions().contains(MainAction("actVirtualEngine")));
  MainEfi().fImage = MakeDemoImage();
  frmMain->FillGrids(false);
  MainAction("N15")->setChecked(false);
  MainAction("actVirtualEngine")->setChecked(true);
  Run(350);
  const LiveRecord cold = MainLive().LiveValues;
  EXPECT_NEAR(cold[kRPM], 850, 1);
  EXPECT_LT(cold[kCLT], 30);
  EXPECT_GT(cold[kO2], 0);
  EXPECT_LT(cold[kO2], 1);
  // Every fuel cell 15 % leaner, as one step.
  TCalibration& doc = MainMaps().Doc();
  const TCalTable& fuel = doc.Table(TTableId::FuelMain);
  TEditStep step;
  for (int r = 1; r < fuel.rows; ++r)
    for (int c = 1; c < fuel.cols; ++c)
      step.cells.push_back(
          {TTableId::FuelMain, c, r, fuel.Value(c, r),
           fuel.Rule(c, r).AsShown(fuel.Rule(c, r).Quantise(*fuel.Value(c, r) * 0.85))});
  ASSERT_TRUE(doc.Apply(step));
  Run(350);
  EXPECT_LT(MainLive().LiveValues[kO2], cold[kO2] - 0.1);
}
