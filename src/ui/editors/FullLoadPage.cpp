// TFullLoadPage: the full-load ignition and fuel tables and their charts.
#include "ui/editors/FullLoadPage.h"

#include <QGroupBox>
#include <vector>

#include "image/EfiOperator.h"
#include "ui/editors/PageParts.h"
#include "ui/editors/TableView.h"
#include "ui/widgets/CurvePlot.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/StringGrid.h"

using namespace PageParts;

TFullLoadPage::TFullLoadPage(QObject* parent, TCalibration& doc, TEditorState& state,
                             QWidget* sheet)
    : QObject(parent), fState(state) {
  QGroupBox* ign = Group(sheet, "gbIgnMax", tr("Зажигание"), 4, 2, 670, 198);
  sgrdIgnMax = Grid(ign, "sgrdIgnMax", 16, 2, 1, 1, QRect(8, 18, 654, 54));
  chrtMaxIgn = Chart(ign, "chrtMaxIgn", TableCurve(), QRect(8, 76, 654, 116));
  QGroupBox* fuel = Group(sheet, "gbFuelMax", tr("Топливо"), 4, 202, 670, 192);
  sgrdFuelMax = Grid(fuel, "sgrdFuelMax", 16, 2, 0, 1, QRect(8, 18, 654, 54));
  chrtMaxFuel = Chart(fuel, "chrtMaxFuel", TableCurve(), QRect(8, 76, 654, 110));
  PageButton(sheet, "sbECUMAX");

  using T = TCodedTable;
  // Full-load fuel: no limits beyond what its code can store.
  fFuelView = new TTableView(this, doc, TTableId::FuelMax, sgrdFuelMax,
                             {T::FuelMax, false, false, true, false}, state);
  auto fuelChart = [this] { DrawFuelFromGrid(); };
  fFuelView->SetFollowUps({{}, fuelChart, fuelChart, fuelChart});
  // Full-load ignition: column 0 is not checked (in variant 1 it holds data, which then
  // stays unchecked until the chart or the save meets it). Its chart exists in variant 1
  // only.
  fIgnView = new TTableView(this, doc, TTableId::IgnMax, sgrdIgnMax,
                            {T::SparkMax, false, false, true, true}, state);
  auto ignChart = [this] {
    if (fState.variant() == 1) DrawIgnitionFromGrid();
  };
  fIgnView->SetFollowUps({{}, ignChart, ignChart, ignChart});
}

void TFullLoadPage::LayOut(const TEFIOperator& efi) {
  sgrdIgnMax->setEnabled(true);
  if (efi.fVersion == 1) {
    sgrdIgnMax->setFixedHeight(54);
    sgrdIgnMax->SetRowCount(efi.fSparkMaxMatrixDim1);
    sgrdIgnMax->SetColCount(efi.fSparkMaxMatrixDim2);
    sgrdIgnMax->SetDefaultRowHeight(24);
    sgrdIgnMax->SetDefaultColWidth(35);
    sgrdIgnMax->SetFixedCols(0);
    chrtMaxIgn->setVisible(true);
  } else {
    sgrdIgnMax->setFixedHeight(160);
    sgrdIgnMax->SetRowCount(efi.fSparkMaxMatrixDim1 + 1);
    sgrdIgnMax->SetColCount(efi.fSparkMaxMatrixDim2 + 1);
    Fit(sgrdIgnMax, true, true);
    sgrdIgnMax->SetFixedCols(1);
    chrtMaxIgn->setVisible(false);
  }
  SizeFromConfig(sgrdFuelMax, efi.fFuelMaxMatrixDim2, efi.fFuelMaxMatrixDim1);
}

void TFullLoadPage::Plot(const TEFIOperator& efi) {
  PlotCurve(*chrtMaxIgn, MatrixRow(efi.fSparkMaxMatrix, 0), MatrixRow(efi.fSparkMaxMatrix, 1), 1);
  PlotCurve(*chrtMaxFuel, MatrixRow(efi.fFuelMaxMatrix, 0), MatrixRow(efi.fFuelMaxMatrix, 1), 0);
  Enable({sgrdFuelMax, sgrdIgnMax}, true);
}

void TFullLoadPage::DrawIgnitionFromGrid() {
  DrawRows(chrtMaxIgn, sgrdIgnMax, 1);
}

void TFullLoadPage::DrawFuelFromGrid() {
  DrawRows(chrtMaxFuel, sgrdFuelMax, 0);
}
