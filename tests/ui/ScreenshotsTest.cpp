// Pictures of the windows as a user sees them, for looking at and for the README: runs only
// when TARVELO_SHOTS names a folder (scripts/screenshots sets it), and writes PNG files there.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTabWidget>

#include "support/UiTestHelpers.h"

namespace {
QString ShotsFolder() {
  return qEnvironmentVariable("TARVELO_SHOTS");
}

void Save(QWidget* widget, const QString& name) {
  widget->grab().save(QDir(ShotsFolder()).filePath(name + ".png"));
}
}  // namespace

using Screenshots = ProgramTest;

TEST_F(Screenshots, MainWindowWithTheDemoImageOnEveryPage) {
  if (ShotsFolder().isEmpty()) GTEST_SKIP() << "TARVELO_SHOTS is not set";
  Start();
  // The demo image under a name as long as tuners give their files.
  QFile::copy(QDir(qEnvironmentVariable("TARVELO_SOURCE_DIR")).filePath("data/demo.bin"),
              TempPath("E30_325i_M31_stage2_rev5.bin"));
  AnswerFileDialog(TempPath("E30_325i_M31_stage2_rev5.bin"));
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
  Find<QLabel>("Label16")->setText(QStringLiteral("COM1 (симулятор)"));
  Save(Find<QWidget>("pnlIconPanel"), QStringLiteral("status-strip"));
  auto* about = Find<QWidget>("AboutBox");
  about->show();
  Pump(50);
  Save(about, QStringLiteral("about"));
  about->hide();
  frmMain->findChild<QAction*>("N12")->trigger();
  Pump(100);
  Save(Find<QWidget>("frmIndicators"), QStringLiteral("dashboard"));
  frmMain->findChild<QAction*>("N13")->trigger();
  Pump(100);
  Save(Find<QWidget>("FrmTelemetry"), QStringLiteral("telemetry"));
}
