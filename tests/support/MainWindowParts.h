#pragma once
// The main window's parts as the window tests reach them: by object name among the window's
// children, as every widget a user meets is found. The window must be running (frmMain).
#include <gtest/gtest.h>

#include <QAction>

#include "calibration/CalibrationSession.h"
#include "image/EfiOperator.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/app/MainWindow.h"
#include "ui/app/Program.h"
#include "ui/compare/CompareCommands.h"
#include "ui/editors/EditCommands.h"
#include "ui/editors/MapEditors.h"
#include "ui/link/AdapterCommands.h"
#include "ui/link/LinkPanel.h"
#include "ui/surface/SurfaceWindow.h"
#include "ui/telemetry/LiveLoop.h"
#include "ui/tuned/TunedImageCommands.h"
#include "ui/widgets/StatusStrip.h"

// The part of the main window named `name`; a missing one stops the test.
template <typename T>
T& MainPart(const char* name) {
  T* part = frmMain ? frmMain->findChild<T*>(QLatin1String(name)) : nullptr;
  if (!part) {
    ADD_FAILURE() << "the main window has no part named " << name;
    std::abort();
  }
  return *part;
}

inline TCalibrationSession& MainSession() {
  return MainPart<TCalibrationSession>("CalibrationSession");
}
inline TEFIOperator& MainEfi() {
  return MainSession().Efi();
}
inline TMapEditors& MainMaps() {
  return MainPart<TMapEditors>("MapEditors");
}
inline TLiveLoop& MainLive() {
  return MainPart<TLiveLoop>("LiveLoop");
}
inline TAdapterCommands& MainAdapter() {
  return MainPart<TAdapterCommands>("AdapterCommands");
}
inline TLinkPanel& MainLink() {
  return MainPart<TLinkPanel>("LinkPanel");
}
inline TEditCommands& MainEdit() {
  return MainPart<TEditCommands>("EditCommands");
}
inline TCompareCommands& MainCompare() {
  return MainPart<TCompareCommands>("CompareCommands");
}
inline TfrmLogAnalysis& MainLogAnalysis() {
  return MainPart<TfrmLogAnalysis>("frmLogAnalysis");
}
inline TStatusStrip& MainStrip() {
  return MainPart<TStatusStrip>("pnlIconPanel");
}
inline TTunedImageCommands& MainTuned() {
  return MainPart<TTunedImageCommands>("TunedImageCommands");
}
// frm3D, made the first time "3D-вид карты" runs (none before).
inline TfrmSurface* MainSurface() {
  return frmMain->findChild<TfrmSurface*>(QStringLiteral("frm3D"));
}
// A command of the main window's menu.
inline QAction* MainAction(const char* name) {
  QAction* action = frmMain->findChild<QAction*>(QLatin1String(name));
  if (!action) ADD_FAILURE() << "the main window has no command named " << name;
  return action;
}
