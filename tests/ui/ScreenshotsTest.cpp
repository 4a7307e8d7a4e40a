// Pictures of the windows as a user sees them, for looking at and for the README: runs only
// when TARVELO_SHOTS names a folder (scripts/screenshots sets it), and writes PNG files there;
// TARVELO_SHOTS_LANGUAGE=en makes them with the English interface.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>

#include "common/DecimalText.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "telemetry/DemoRecord.h"
#include "telemetry/LogWriter.h"
#include "ui/telemetry/LiveLoop.h"
#include "ui/widgets/StringGrid.h"

namespace {
QString ShotsFolder() {
  return qEnvironmentVariable("TARVELO_SHOTS");
}

QString DataFile(const char* name) {
  return QDir(qEnvironmentVariable("TARVELO_SOURCE_DIR")).filePath(QStringLiteral("data/") + name);
}

void Save(QWidget* widget, const QString& name) {
  widget->grab().save(QDir(ShotsFolder()).filePath(name + ".png"));
}

// A log of the demo drive, a record every tenth of a second, as the live loop writes it.
void WriteDemoLog(const QString& path, int records, LiveRecord* last) {
  TDemoDataSource source(DataFile("demo.dat"));
  TLogWriter log;
  log.Create(path);
  for (int i = 0; i < records; ++i) {
    ParseDemoRecord(source.NextLine(), *last, DecimalSeparator());
    log.Append(i / 10.0, *last, DecimalSeparator());
  }
  log.Close();
}
}  // namespace

class Screenshots : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    if (English()) qputenv("TARVELO_LANGUAGE", "en");
  }
  void TearDown() override {
    ProgramTest::TearDown();
    qputenv("TARVELO_LANGUAGE", "ru");
  }
  static bool English() { return qEnvironmentVariable("TARVELO_SHOTS_LANGUAGE") == "en"; }
};

TEST_F(Screenshots, MainWindowWithTheDemoImageOnEveryPage) {
  if (ShotsFolder().isEmpty()) GTEST_SKIP() << "TARVELO_SHOTS is not set";
  Start();
  // The demo image under a name as long as tuners give their files.
  const QString image = TempPath("E30_325i_M31_stage2_rev5.bin");
  QFile::copy(DataFile("demo.bin"), image);
  AnswerFileDialog(image);
  frmMain->findChild<QAction*>("BIN1")->trigger();
  auto* pages = Find<QTabWidget>("PageControl1");
  for (int i = 0; i < pages->count(); ++i) {
    pages->setCurrentIndex(i);
    Pump(50);
    Save(frmMain, QStringLiteral("main-%1").arg(pages->widget(i)->objectName()));
  }
}

TEST_F(Screenshots, AboutBoxDashboardAndTelemetryWindow) {
  if (ShotsFolder().isEmpty()) GTEST_SKIP() << "TARVELO_SHOTS is not set";
  Start();
  Find<QLabel>("Label16")->setText(QStringLiteral("COM1") +
                                   QCoreApplication::translate("TComPort", " (симулятор)"));
  Save(Find<QWidget>("pnlIconPanel"), QStringLiteral("status-strip"));
  auto* about = Find<QWidget>("AboutBox");
  about->show();
  Pump(50);
  Save(about, QStringLiteral("about"));
  about->hide();

  const QString log = TempPath("demo-drive.txt");
  LiveRecord last{};
  WriteDemoLog(log, 600, &last);
  frmMain->findChild<QAction*>("N12")->trigger();
  MainLive().LiveValues = last;
  MainLive().ShowLiveValues();
  Pump(100);
  Save(Find<QWidget>("frmIndicators"), QStringLiteral("dashboard"));

  frmMain->findChild<QAction*>("N13")->trigger();
  Pump(100);
  AnswerFileDialog(log);
  Find<QPushButton>("LoadLogBtn")->click();
  Pump(200);
  Save(Find<QWidget>("FrmTelemetry"), QStringLiteral("telemetry"));
}

// The demo drive laid over the part-load maps, with the window and its correction table.
TEST_F(Screenshots, LogAnalysisOfTheDemoDriveOverTheMaps) {
  if (ShotsFolder().isEmpty()) GTEST_SKIP() << "TARVELO_SHOTS is not set";
  Start();
  AnswerFileDialog(DataFile("demo.bin"));
  frmMain->findChild<QAction*>("BIN1")->trigger();
  const QString log = TempPath("demo-drive.txt");
  LiveRecord last{};
  WriteDemoLog(log, 3000, &last);
  frmMain->findChild<QAction*>("actLogAnalysis")->trigger();
  auto* window = Find<QWidget>("frmLogAnalysis");
  ASSERT_NE(window, nullptr);
  AnswerFileDialog(log);
  Find<QPushButton>("btnOpenLog")->click();
  Pump(200);
  Save(window, QStringLiteral("log-analysis"));
  auto* pages = Find<QTabWidget>("PageControl1");
  for (const char* page : {"TabSheet1", "TabSheet2"}) {
    pages->setCurrentWidget(Find<QWidget>(page));
    Pump(50);
    Save(frmMain, QStringLiteral("log-overlay-%1").arg(QLatin1String(page)));
  }
}

TEST_F(Screenshots, FileDialogOnARussianDesktop) {
  if (ShotsFolder().isEmpty()) GTEST_SKIP() << "TARVELO_SHOTS is not set";
  if (English()) GTEST_SKIP() << "Qt's own dialog, English already";
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  Start();
  QFile::copy(DataFile("demo.bin"), TempPath("demo.bin"));
  QFile(TempPath("README")).open(QIODevice::WriteOnly);
  auto* dialog = Find<QFileDialog>("odOpenFile");
  dialog->setDirectory(fTemp.path());
  AnswerNextModal([](QWidget* modal) {
    auto* types = modal->findChild<QComboBox*>("fileTypeCombo");
    types->setCurrentIndex(1);
    emit types->activated(1);
    emit types->textActivated(types->itemText(1));
    Pump(300);
    Save(modal, QStringLiteral("file-dialog-ru"));
    static_cast<QDialog*>(modal)->reject();
  });
  frmMain->findChild<QAction*>("BIN1")->trigger();
  Stop();
  QLocale::setDefault(before);
}

TEST_F(Screenshots, SelectedBlockBeforeAndAfterAnInterpolation) {
  if (ShotsFolder().isEmpty()) GTEST_SKIP() << "TARVELO_SHOTS is not set";
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  Start();
  const QString image = TempPath("demo.bin");
  QFile::copy(DataFile("demo.bin"), image);
  AnswerFileDialog(image);
  frmMain->findChild<QAction*>("BIN1")->trigger();
  auto* grid = Find<TStringGrid>("sgFuelMain");
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet1"));
  QApplication::setActiveWindow(frmMain);
  grid->setFocus();
  Pump(20);
  // A block of the part-load fuel map, its corners apart, as a tuner marks it.
  grid->SelectBlock(3, 3, 9, 8);
  Pump(50);
  Save(frmMain, QStringLiteral("edit-block-selected"));
  frmMain->findChild<QAction*>("actInterpolate2D")->trigger();
  Pump(50);
  Save(frmMain, QStringLiteral("edit-block-interpolated"));
  Stop();
  QLocale::setDefault(before);
}
