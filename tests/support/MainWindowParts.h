#pragma once
// The main window's parts as the window tests reach them: by object name among the window's
// children, as every widget a user meets is found. The window must be running (frmMain).
#include <gtest/gtest.h>

#include <QAction>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

#include "calibration/CalibrationSession.h"
#include "image/EfiOperator.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/app/MainWindow.h"
#include "ui/app/Program.h"
#include "ui/compare/CompareCommands.h"
#include "ui/editors/ColorLegend.h"
#include "ui/editors/EditCommands.h"
#include "ui/editors/MapEditors.h"
#include "ui/link/AdapterCommands.h"
#include "ui/link/LinkPanel.h"
#include "ui/surface/SurfaceWindow.h"
#include "ui/telemetry/LiveLoop.h"
#include "ui/tuned/TunedImageCommands.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/StringGrid.h"

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
// The widgets of the map editor pages, found by object name as a user meets them; the
// members are named as the widgets. `maps->sgFuelMain` reads as it did on the editors.
struct TMapWidgets {
  TStringGrid* sgFuelMain = nullptr;
  TStringGrid* sgIgnMain = nullptr;
  TStringGrid* sgrdIgnXX = nullptr;
  TStringGrid* sgrdFuelXX = nullptr;
  TStringGrid* sgrdRPMTempCorr = nullptr;
  TStringGrid* sgrdIgnMax = nullptr;
  TStringGrid* sgrdFuelMax = nullptr;
  TStringGrid* sgMAF = nullptr;
  TColorLegend* FuelLegend = nullptr;
  TColorLegend* SparkLegend = nullptr;
  TLineChart* chrtXXIgn = nullptr;
  TLineChart* chrtMaxIgn = nullptr;
  TLineChart* chrtMaxFuel = nullptr;
  TLineChart* chrtMAF = nullptr;
  TLineChart* chrtLambda = nullptr;
  QGroupBox* gbFuelXX = nullptr;
  QGroupBox* gbMAF = nullptr;
  QGroupBox* gbCOreg = nullptr;
  QGroupBox* gbWideLam = nullptr;
  QGroupBox* gbRegLam = nullptr;
  QGroupBox* gbLamGrf = nullptr;
  QSpinBox* seMaxRMP = nullptr;
  QDoubleSpinBox* seLamMin = nullptr;
  QDoubleSpinBox* seLamMax = nullptr;
  QDoubleSpinBox* seRegLamSwitch = nullptr;
  TRadioGroup* rgO2Type = nullptr;
  TRadioGroup* rgO2Switch = nullptr;
  QScrollBar* sbCOreg = nullptr;
  QLabel* Label13 = nullptr;
  QPushButton* btnCOReset = nullptr;

  const TMapWidgets* operator->() const { return this; }
  // The calibration the pages show, and what the editors tell about it.
  TCalibration& Doc() const { return MainMaps().Doc(); }
  void FinishTyping(TStringGrid* grid) const { MainMaps().FinishTyping(grid); }
  double FuelRangeMin() const { return MainMaps().ColorRange(TTableId::FuelMain).low; }
  double FuelRangeMax() const { return MainMaps().ColorRange(TTableId::FuelMain).high; }
  double ValueBeforeEdit() const { return MainMaps().RememberedValue(); }
  // A chart redrawn from its grid, as after an edit of the table.
  void DrawMAFFromGrid() const { MainMaps().FollowTable(TTableId::MAF); }
  void DrawMaxIgnFromGrid() const { MainMaps().FollowTable(TTableId::IgnMax); }
  void DrawMaxFuelFromGrid() const { MainMaps().FollowTable(TTableId::FuelMax); }
};

// A widget of the map editor pages; a missing one fails the test.
template <typename T>
T* MapWidget(const char* name) {
  T* widget = frmMain ? frmMain->findChild<T*>(QLatin1String(name)) : nullptr;
  if (!widget) ADD_FAILURE() << "the main window has no widget named " << name;
  return widget;
}

inline TMapWidgets MapWidgets() {
  TMapWidgets w;
  w.sgFuelMain = MapWidget<TStringGrid>("sgFuelMain");
  w.sgIgnMain = MapWidget<TStringGrid>("sgIgnMain");
  w.sgrdIgnXX = MapWidget<TStringGrid>("sgrdIgnXX");
  w.sgrdFuelXX = MapWidget<TStringGrid>("sgrdFuelXX");
  w.sgrdRPMTempCorr = MapWidget<TStringGrid>("sgrdRPMTempCorr");
  w.sgrdIgnMax = MapWidget<TStringGrid>("sgrdIgnMax");
  w.sgrdFuelMax = MapWidget<TStringGrid>("sgrdFuelMax");
  w.sgMAF = MapWidget<TStringGrid>("sgMAF");
  w.FuelLegend = MapWidget<TColorLegend>("FuelLegend");
  w.SparkLegend = MapWidget<TColorLegend>("SparkLegend");
  w.chrtXXIgn = MapWidget<TLineChart>("chrtXXIgn");
  w.chrtMaxIgn = MapWidget<TLineChart>("chrtMaxIgn");
  w.chrtMaxFuel = MapWidget<TLineChart>("chrtMaxFuel");
  w.chrtMAF = MapWidget<TLineChart>("chrtMAF");
  w.chrtLambda = MapWidget<TLineChart>("chrtLambda");
  w.gbFuelXX = MapWidget<QGroupBox>("gbFuelXX");
  w.gbMAF = MapWidget<QGroupBox>("gbMAF");
  w.gbCOreg = MapWidget<QGroupBox>("gbCOreg");
  w.gbWideLam = MapWidget<QGroupBox>("gbWideLam");
  w.gbRegLam = MapWidget<QGroupBox>("gbRegLam");
  w.gbLamGrf = MapWidget<QGroupBox>("gbLamGrf");
  w.seMaxRMP = MapWidget<QSpinBox>("seMaxRMP");
  w.seLamMin = MapWidget<QDoubleSpinBox>("seLamMin");
  w.seLamMax = MapWidget<QDoubleSpinBox>("seLamMax");
  w.seRegLamSwitch = MapWidget<QDoubleSpinBox>("seRegLamSwitch");
  w.rgO2Type = MapWidget<TRadioGroup>("rgO2Type");
  w.rgO2Switch = MapWidget<TRadioGroup>("rgO2Switch");
  w.sbCOreg = MapWidget<QScrollBar>("sbCOreg");
  w.Label13 = MapWidget<QLabel>("Label13");
  w.btnCOReset = MapWidget<QPushButton>("btnCOReset");
  return w;
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
