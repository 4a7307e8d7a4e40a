#include "app/Program.h"

#include <QApplication>

#include "app/Aboutfrm.h"
#include "app/mainfrm.h"
#include "app/selectDMEfrm.h"
#include "link/PortSettings.h"
#include "sim/Simulator.h"
#include "telemetry/Indicatorsfrm.h"
#include "telemetry/Telemetryfrm.h"

TfrmMain* frmMain = nullptr;
TAboutBox* AboutBox = nullptr;
TfrmIndicators* frmIndicators = nullptr;
TFrmTelemetry* FrmTelemetry = nullptr;
TfrmSelectDME* frmSelectDME = nullptr;

bool StartProgram() {
  // The per-user folder ($XDG_CONFIG_HOME/Tarvelo) holds "CTESTER.INI".
  QApplication::setApplicationName(QStringLiteral("Tarvelo"));
  LoadPortSettings();
  // A port whose device is "sim" in "CTESTER.INI" reaches the built-in simulator.
  RegisterSimulator();
  frmMain = new TfrmMain;
  AboutBox = new TAboutBox;
  frmIndicators = new TfrmIndicators;
  FrmTelemetry = new TFrmTelemetry;
  frmSelectDME = new TfrmSelectDME;
  frmMain->show();
  return true;
}

void EndProgram() {
  if (frmMain) frmMain->StopActivities();
  SavePortSettings();
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
}
