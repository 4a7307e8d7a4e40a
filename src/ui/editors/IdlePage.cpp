// TIdlePage: the idle ignition and fuel tables and the warm-up idle speeds.
#include "ui/editors/IdlePage.h"

#include <QGroupBox>
#include <vector>

#include "image/EfiOperator.h"
#include "ui/editors/PageParts.h"
#include "ui/editors/TableView.h"
#include "ui/widgets/CurvePlot.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/StringGrid.h"

using namespace PageParts;

TIdlePage::TIdlePage(QObject* parent, TCalibration& doc, TEditorState& state, QWidget* sheet)
    : QObject(parent) {
  // The idle fuel table gets columns wide enough for four-digit speeds and two-decimal
  // factors; the ignition group beside it gives up the width.
  QGroupBox* ign = Group(sheet, "gbIgnXX", tr("Зажигание"), 4, 2, 372, 206);
  sgrdIgnXX = Grid(ign, "sgrdIgnXX", 8, 2, 0, 1, QRect(8, 18, 356, 54));
  chrtXXIgn = Chart(ign, "chrtXXIgn", TableCurve(), QRect(8, 76, 356, 124));

  gbFuelXX = Group(sheet, "gbFuelXX", tr("Топливо"), 380, 2, 294, 206);
  LoadCaption(gbFuelXX, 6, 30);
  sgrdFuelXX = Grid(gbFuelXX, "sgrdFuelXX", 7, 4, 1, 1, QRect(22, 18, 266, 120));
  gbFuelXX->setVisible(false);

  QGroupBox* warm =
      Group(sheet, "gbRPMTempCorr", tr("Обороты двигателя при прогреве"), 4, 212, 372, 82);
  sgrdRPMTempCorr = Grid(warm, "sgrdRPMTempCorr", 4, 2, 0, 1, QRect(8, 20, 300, 54));
  PageButton(sheet, "sbECUXX");

  using T = TCodedTable;
  fIgnView = new TTableView(this, doc, TTableId::IgnXX, sgrdIgnXX, {T::SparkXX}, state);
  auto chart = [this] { DrawIgnitionFromGrid(); };
  fIgnView->SetFollowUps({chart, chart, chart, chart});
  // Idle fuel: checks only.
  fFuelView = new TTableView(this, doc, TTableId::FuelXX, sgrdFuelXX, {T::FuelXX}, state);
  // Warm-up idle speeds: integers like the air-mass meter, so a save meets no surprise.
  fWarmUpView = new TTableView(this, doc, TTableId::WarmUp, sgrdRPMTempCorr,
                               {T::WarmUpSpeed, true, false, true, false}, state);
}

void TIdlePage::LayOut(const TEFIOperator& efi) {
  sgrdFuelXX->setEnabled(efi.fVersion != 1);
  sgrdRPMTempCorr->setEnabled(true);
  // Variant 1 units have no idle fuel table: nothing fills it and saving ignores it, so
  // the values of an earlier image must neither show nor be editable.
  gbFuelXX->setVisible(efi.fVersion != 1);
  SizeFromConfig(sgrdIgnXX, efi.fSparkXXMatrixDim2, efi.fSparkXXMatrixDim1);
  SizeFromConfig(sgrdFuelXX, efi.fFuelXXCols, efi.fFuelXXRows);
  SizeFromConfig(sgrdRPMTempCorr, efi.fRPMTempCorrDim2, efi.fRPMTempCorrDim1);
}

void TIdlePage::Plot(const TEFIOperator& efi) {
  PlotCurve(*chrtXXIgn, MatrixRow(efi.fSparkXXMatrix, 0), MatrixRow(efi.fSparkXXMatrix, 1), 1);
  sgrdIgnXX->setEnabled(true);
}

void TIdlePage::DrawIgnitionFromGrid() {
  DrawRows(chrtXXIgn, sgrdIgnXX, 1);
}
