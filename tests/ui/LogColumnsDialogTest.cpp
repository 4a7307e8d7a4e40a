// The column mapping dialog of delimited logs, in the log analysis and telemetry windows: the
// first rows under the guessed mapping, a mapping that cannot be read refused before OK, the
// confirmed mapping remembered, and the same drive as the own log and as another logger's
// CSV giving the same analysis in the window as tarvelo-cli gives.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>

#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "support/CliRun.h"
#include "support/DriveShapes.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "telemetry/DelimitedLog.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/app/MainWindow.h"
#include "ui/telemetry/TelemetryWindow.h"

namespace {

class LogColumnsDialogTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    QLocale::setDefault(QLocale::c());
    Start(true);
    MainEfi().fImage = MakeDemoImage();
    frmMain->FillGrids(false);
  }
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = TempPath(name);
    EXPECT_TRUE(drive::WriteFile(path, bytes));
    return path;
  }
  // Answers the next mapping dialog with `answer`, then presses its OK (or Cancel).
  static void AnswerColumns(std::function<void(QWidget*)> answer, bool ok = true) {
    AnswerNextModal([answer, ok](QWidget* dialog) {
      ASSERT_EQ(dialog->objectName(), "frmLogColumns");
      answer(dialog);
      dialog->findChild<QPushButton*>(ok ? "btnLogColumnsOk" : "btnLogColumnsCancel")->click();
    });
  }
};

QComboBox* Box(QWidget* dialog, const char* name) {
  auto* box = dialog->findChild<QComboBox*>(name);
  EXPECT_NE(box, nullptr) << name;
  return box;
}

}  // namespace

// The semicolon export with lambda and time in ms: the dialog shows its rows and the guess;
// without a load it refuses with the reason; confirmed, the window's analysis is the own log's
// and the command line's, and the mapping is offered again for the next log of that header.
TEST_F(LogColumnsDialogTest, DelimitedDriveAnalysesAsTheOwnLogAndAsTheCli) {
  TfrmLogAnalysis& w = MainLogAnalysis();
  const std::vector<drive::Row> rows = drive::Drive();
  w.LoadLogFile(Write("own.txt", drive::OwnLog(rows)));
  const TFuelCorrection own = w.Correction();
  ASSERT_FALSE(own.Refused()) << own.refusal.toStdString();
  ASSERT_GT(own.ChangedCount(), 3);

  const QString csv = Write("export.csv", drive::SemicolonLog(rows));
  AnswerColumns([](QWidget* d) {
    auto* table = d->findChild<QTableWidget*>("sgLogRows");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnCount(), 6);
    EXPECT_EQ(table->rowCount(), 20);
    EXPECT_EQ(table->item(1, 3)->text(), "1,100");
    EXPECT_EQ(Box(d, "cbLogRpm")->currentIndex(), 2);
    EXPECT_EQ(Box(d, "cbLogMixtureKind")->currentIndex(), 1);  // lambda
    EXPECT_EQ(Box(d, "cbLogTimeKind")->currentIndex(), 1);     // ms
    auto* ok = d->findChild<QPushButton*>("btnLogColumnsOk");
    auto* problem = d->findChild<QLabel*>("lLogColumnsProblem");
    EXPECT_TRUE(ok->isEnabled());
    Box(d, "cbLogLoad")->setCurrentIndex(0);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(problem->text().contains("нагрузки")) << problem->text().toStdString();
    Box(d, "cbLogLoad")->setCurrentIndex(3);
    EXPECT_TRUE(ok->isEnabled());
  });
  w.LoadLogFile(csv);
  const TFuelCorrection& fc = w.Correction();
  ASSERT_FALSE(fc.Refused()) << fc.refusal.toStdString();
  EXPECT_EQ(fc.records, own.records);
  EXPECT_EQ(fc.removed, own.removed);
  EXPECT_EQ(fc.counts, own.counts);
  for (size_t k = 0; k < own.weight.size(); ++k) {
    EXPECT_NEAR(fc.weight[k], own.weight[k], 1e-9) << k;
    EXPECT_EQ(fc.proposed[k], own.proposed[k]) << k;
  }
#ifdef TARVELO_CLI
  const TCliRun cli = RunCli(QStringLiteral(TARVELO_CLI), {"analyze", csv, "--json"});
  ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
  const QJsonArray proposed =
      QJsonDocument::fromJson(cli.out.toUtf8()).object()["fuel"].toObject()["proposed"].toArray();
  ASSERT_EQ(proposed.size(), fc.rows);
  for (int r = 0; r < fc.rows; ++r)
    for (int c = 0; c < fc.cols; ++c)
      EXPECT_DOUBLE_EQ(proposed[fc.rows - 1 - r].toArray()[c].toDouble(), fc.At(c, r));
#endif

  // Remembered: the next log with this header opens with the mapping confirmed; cancelling
  // it keeps the log analysed before.
  const TLogDialect dialect = SniffLogFile(csv);
  const auto remembered = RememberedLogColumns(dialect.headerText, dialect.names);
  ASSERT_TRUE(remembered);
  EXPECT_EQ(
      LogColumnsText(*remembered, dialect.names).toStdString(),
      "rpm=RPM,load=Inj. time (ms),lambda=Lambda,clt=Coolant (C),tps=TPS (%),time=Time[ms]:ms");
  AnswerColumns([](QWidget* d) { EXPECT_EQ(Box(d, "cbLogLoad")->currentIndex(), 3); }, false);
  w.LoadLogFile(Write("later.csv", drive::SemicolonLog(drive::Drive(10))));
  EXPECT_EQ(w.Correction().records, own.records);
  // Empty cells take the value above them, and the window says how many did.
  QByteArray gaps = drive::SemicolonLog(rows);
  gaps.replace(";2100;3,0;", ";;3,0;");
  AnswerColumns([](QWidget*) {});
  w.LoadLogFile(Write("gaps.csv", gaps));
  EXPECT_EQ(w.Correction().records, own.records);
  EXPECT_TRUE(w.lblSource->text().contains(": 96)")) << w.lblSource->text().toStdString();
}

// The telemetry window replays a tab log without time: the mapped columns in their slots at
// the rate given, the others empty.
TEST_F(LogColumnsDialogTest, TelemetryWindowReplaysADelimitedLog) {
  const QString tab = Write("tab.txt", drive::TabLog(drive::Drive()));
  AnswerFileDialog(tab);
  AnswerColumns([](QWidget* d) {
    EXPECT_EQ(Box(d, "cbLogTime")->currentIndex(), 0);
    auto* rate = d->findChild<QDoubleSpinBox*>("seLogRate");
    ASSERT_TRUE(rate && rate->isEnabled());
    EXPECT_FALSE(d->findChild<QPushButton*>("btnLogColumnsOk")->isEnabled());
    rate->setValue(8);
  });
  FrmTelemetry->LoadLogBtn->click();
  const TEFILogList& r = FrmTelemetry->TelemetryLogger->Records;
  ASSERT_EQ(r.Count(), 240);
  EXPECT_EQ(r[8][kTime], 1.0);
  EXPECT_EQ(r[0][kRPM], 2100);
  EXPECT_EQ(r[0][kMAF], 0);
  auto* cbPw = FrmTelemetry->findChild<QComboBox*>("cb4Param");
  auto* cbMaf = FrmTelemetry->findChild<QComboBox*>("cb6Param");
  EXPECT_EQ(cbPw->currentIndex(), 4);
  EXPECT_EQ(cbMaf->currentIndex(), 0);
  EXPECT_EQ(cbPw->currentText(), "ti");
}

// A picture of the dialog on the comma file with its banner, for looking at: only when
// TARVELO_SHOTS names a folder.
TEST_F(LogColumnsDialogTest, Screenshot) {
  const QString folder = qEnvironmentVariable("TARVELO_SHOTS");
  if (folder.isEmpty()) GTEST_SKIP() << "TARVELO_SHOTS is not set";
  const QString csv = Write("wb.csv", drive::CommaLog(drive::Drive()));
  AnswerColumns(
      [folder](QWidget* d) {
        Pump(200);
        d->grab().save(folder + "/frmLogColumns.png");
      },
      false);
  MainLogAnalysis().LoadLogFile(csv);
}
