#include "ui/app/Program.h"

#include <QApplication>
#include <QDir>

#include "link/PortSettings.h"
#include "sim/SimSerialDevice.h"
#include "ui/app/AboutBox.h"
#include "ui/app/Language.h"
#include "ui/app/MainWindow.h"
#include "ui/app/ModelDialog.h"
#include "ui/telemetry/DashboardWindow.h"
#include "ui/telemetry/TelemetryWindow.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/WindowPlacement.h"

TfrmMain* frmMain = nullptr;
TAboutBox* AboutBox = nullptr;
TfrmIndicators* frmIndicators = nullptr;
TFrmTelemetry* FrmTelemetry = nullptr;
TfrmSelectDME* frmSelectDME = nullptr;

void StartProgram() {
  // The per-user folder ($XDG_CONFIG_HOME/Tarvelo) holds "CTESTER.INI".
  QApplication::setApplicationName(QStringLiteral("Tarvelo"));
  // The texts in the language of this start, before any window is made.
  InstallTranslations();
  LoadPortSettings();
  // A port whose device is "sim" in "CTESTER.INI" reaches the built-in simulator.
  RegisterSimulator();
  frmMain = new TfrmMain;
  AboutBox = new TAboutBox;
  frmIndicators = new TfrmIndicators;
  FrmTelemetry = new TFrmTelemetry;
  // Centred on the screen the main window is on, or where it was last closed.
  new TWindowPlacement(FrmTelemetry, QStringLiteral("FrmTelemetry"), frmMain, true);
  frmSelectDME = new TfrmSelectDME;
  frmMain->SetWindows({AboutBox, frmIndicators, FrmTelemetry, frmSelectDME});
  // The log analysis takes the log the telemetry window holds, as it is at that moment.
  frmMain->SetTelemetryLog([] {
    if (!FrmTelemetry || !FrmTelemetry->TelemetryLogger) return std::vector<LiveRecord>{};
    const TEFILogList& list = FrmTelemetry->TelemetryLogger->Records;
    return std::vector<LiveRecord>(list.Data(), list.Data() + list.Count());
  });
  // Each live record reaches the dashboard while it is showing; hidden, it keeps its readings.
  QObject::connect(frmMain, &TfrmMain::LiveRecordShown, frmIndicators,
                   [](const LiveRecord& values) {
                     if (frmIndicators->isVisible()) frmIndicators->ShowOnDashboard(values);
                   });
  frmMain->show();
}

void OpenAtStart(const QString& path) {
  if (frmMain) frmMain->SetStartFile(path);
}

void EndProgram() {
  if (frmMain) frmMain->StopActivities();
  if (!SavePortSettings())
    ShowErrorBox(QCoreApplication::translate("Program", "Не удалось записать %1")
                     .arg(QDir::toNativeSeparators(PortSettingsPath())));
  delete frmSelectDME;
  delete FrmTelemetry;
  delete frmIndicators;
  delete AboutBox;
  delete frmMain;
  frmSelectDME = nullptr;
  FrmTelemetry = nullptr;
  frmIndicators = nullptr;
  AboutBox = nullptr;
  frmMain = nullptr;
  RemoveTranslations();
}
