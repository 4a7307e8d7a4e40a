// TMapEditors: building the pages, moving the tables between TEFIOperator and the grids
// (FillGrids, CollectGrids), and the few things the editors take from the main window.
#include "ui/editors/MapEditors.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>

#include "calibration/CalibrationSession.h"
#include "common/DecimalText.h"
#include "common/ShownText.h"
#include "image/EfiOperator.h"
#include "telemetry/LiveCell.h"
#include "ui/editors/EditorRules.h"
#include "ui/widgets/CurvePlot.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/StringGrid.h"

namespace {
void Fit(TStringGrid* grid, bool rows, bool cols) {
  if (rows) grid->SetDefaultRowHeight(FitCellSize(grid->height(), grid->RowCount()));
  if (cols) grid->SetDefaultColWidth(FitCellSize(grid->width(), grid->ColCount()));
}

// Sizes a small grid from the configuration; its cells are fitted again only when the
// configuration differs from the form.
void SizeFromConfig(TStringGrid* grid, int cols, int rows) {
  const bool changed = grid->ColCount() != cols || grid->RowCount() != rows;
  grid->SetColCount(std::max(cols, 0));
  grid->SetRowCount(std::max(rows, 0));
  if (changed) Fit(grid, true, true);
}

std::vector<double> Row(const TFloatMatrix& table, int row) {
  return row < static_cast<int>(table.size()) ? table[row] : std::vector<double>{};
}
}  // namespace

// --- What the editors take from the main window ---
// Every use of the main window by the editors is here: the image operator, the tab sheets
// the pages are built on, the MAF page's tab, the version label, the live operating-point
// mark and the colour scale's toggle button.

TMapEditors::TMapEditors(QObject* parent, TCalibrationSession& session, const Pages& pages,
                         TStatusStrip& strip, const TLiveMark& live)
    : QObject(parent),
      fSession(session),
      fEFI(session.Efi()),
      fPages(pages),
      fStrip(strip),
      fLive(live),
      fDoc(session.Doc()) {
  setObjectName(QStringLiteral("MapEditors"));
  sgFuelMain =
      BuildMainMapPage(fPages.fuel, "gbFuelMain", "sgFuelMain", "sbECUFuelMain", FuelLegend);
  sgIgnMain =
      BuildMainMapPage(fPages.ignition, "gbIgnMain", "sgIgnMain", "sbECUIgnMain", SparkLegend);
  BuildIdlePage(fPages.idle);
  BuildFullLoadPage(fPages.fullLoad);
  BuildSettingsPage(fPages.settings);
  BuildMAFPage(fPages.maf);
  ConnectEditing();
  ConnectSettings();
  ConnectColorScale(fStrip.sbColorizeTable);
  ConnectDocument();
}

TEFIOperator& TMapEditors::Efi() const {
  return fEFI;
}

int TMapEditors::Variant() const {
  return fEFI.fVersion;
}

void TMapEditors::EnableMAFPage(bool enabled) {
  fPages.control->setTabEnabled(fPages.control->indexOf(fPages.maf), enabled);
}

void TMapEditors::ShowVersionText(const QString& text) {
  // The version bytes come from the image file: control characters are shown escaped.
  fStrip.lVersion->setText(EscapeControls(text));
}

TMapEditors::LiveMark TMapEditors::LiveCell() const {
  return {fLive.LiveLoopActive == 1, fLive.LiveCellCol, fLive.LiveCellRow};
}

// --- Fill ---

void TMapEditors::FillGrids() {
  TEFIOperator& efi = Efi();
  // Nothing to show without a model and an image.
  if (efi.fVersion <= 0 || efi.fImage.size() < 2) return;
  // What the fill sets in the widgets is the loaded state, not an edit.
  fShowing = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{fShowing};
  ShowVersionText(efi.fVersionText);
  sgrdFuelXX->setEnabled(efi.fVersion != 1);
  sgrdIgnMax->setEnabled(true);
  sgrdRPMTempCorr->setEnabled(true);
  if (efi.fVersion == 1)
    LayOutSplitVariant(efi);
  else
    LayOutSingleMapVariant(efi);
  SizeFromConfig(sgrdIgnXX, efi.fSparkXXMatrixDim2, efi.fSparkXXMatrixDim1);
  SizeFromConfig(sgrdFuelXX, efi.fFuelXXCols, efi.fFuelXXRows);
  SizeFromConfig(sgrdFuelMax, efi.fFuelMaxMatrixDim2, efi.fFuelMaxMatrixDim1);
  SizeFromConfig(sgrdRPMTempCorr, efi.fRPMTempCorrDim2, efi.fRPMTempCorrDim1);

  // The loaded calibration starts a new history; the grids show its texts.
  fSession.LoadDocument();
  ShowDocument();
  PlotIdleAndFullLoad(efi);
  seMaxRMP->setValue(efi.fMaxRPM);
  for (TStringGrid* grid : {sgFuelMain, sgIgnMain, sgrdIgnXX, sgrdFuelMax, sgrdIgnMax})
    grid->setEnabled(true);
  RecomputeFuelRange(true);
  RecomputeSparkRange(true);
  if (efi.fVersion != 1) PlotMAF(efi);
  ShowCOTrimOf(efi);
  sgFuelMain->Repaint();
  sgIgnMain->Repaint();
  TakeSettingsBaseline();
  emit TablesFilled();
}

// Variant 1: split part-load maps, the full-load ignition as a curve with its chart, no
// air-mass meter, no idle fuel table and no CO trim.
void TMapEditors::LayOutSplitVariant(const TEFIOperator& efi) {
  sgrdIgnMax->setFixedHeight(54);
  sgrdIgnMax->SetRowCount(efi.fSparkMaxMatrixDim1);
  sgrdIgnMax->SetColCount(efi.fSparkMaxMatrixDim2);
  sgrdIgnMax->SetDefaultRowHeight(24);
  sgrdIgnMax->SetDefaultColWidth(35);
  sgrdIgnMax->SetFixedCols(0);
  chrtMaxIgn->setVisible(true);
  EnableMAFPage(false);
  sgFuelMain->SetRowCount(efi.fFuelMainMatrixDim1_Lo + efi.fFuelMainMatrixDim1_Hi);
  Fit(sgFuelMain, true, false);
  sgFuelMain->SetColCount(efi.fFuelMainMatrixDim2_Lo + 1);
  Fit(sgFuelMain, false, true);
  sgIgnMain->SetRowCount(efi.fSparkMainMatrixDim1_Lo + efi.fSparkMainMatrixDim1_Hi);
  Fit(sgIgnMain, true, false);
  sgIgnMain->SetColCount(efi.fSparkMainMatrixDim2_Lo + 1);
  Fit(sgIgnMain, false, true);
  sgMAF->SetRowCount(std::max(efi.fMAFLength, 0));
  gbMAF->setVisible(false);
  sgMAF->setEnabled(false);
  seMaxRMP->setEnabled(true);
  seMaxRMP->setSingleStep(40);
  rgO2Switch->setEnabled(false);
  rgO2Switch->SetItemIndex(0);
  gbCOreg->setVisible(false);
  // These units have no idle fuel table: nothing fills it and saving ignores it, so the
  // values of an earlier image must neither show nor be editable.
  gbFuelXX->setVisible(false);
  sgrdFuelXX->setEnabled(false);
}

// The other variants: single part-load maps, the full-load ignition as a map with axes,
// the air-mass meter and the idle fuel table shown.
void TMapEditors::LayOutSingleMapVariant(const TEFIOperator& efi) {
  gbMAF->setVisible(true);
  sgMAF->setEnabled(true);
  EnableMAFPage(true);
  sgMAF->SetRowCount(std::max(efi.fMAFLength, 0));
  gbFuelXX->setVisible(true);
  sgFuelMain->SetRowCount(efi.fFuelMainMatrixDim1_Lo + 1);
  sgIgnMain->SetRowCount(efi.fSparkMainMatrixDim1_Lo + 1);
  // A profile with another RPM breakpoint count sizes the map from the configuration.
  if (sgFuelMain->ColCount() != efi.fFuelMainCols) {
    sgFuelMain->SetColCount(efi.fFuelMainCols);
    Fit(sgFuelMain, false, true);
  }
  if (sgIgnMain->ColCount() != efi.fSparkMainCols) {
    sgIgnMain->SetColCount(efi.fSparkMainCols);
    Fit(sgIgnMain, false, true);
  }
  sgrdIgnMax->setFixedHeight(160);
  sgrdIgnMax->SetRowCount(efi.fSparkMaxMatrixDim1 + 1);
  sgrdIgnMax->SetColCount(efi.fSparkMaxMatrixDim2 + 1);
  Fit(sgrdIgnMax, true, true);
  sgrdIgnMax->SetFixedCols(1);
  chrtMaxIgn->setVisible(false);
  seMaxRMP->setEnabled(true);
  seMaxRMP->setSingleStep(60);
  rgO2Switch->setEnabled(true);
  rgO2Switch->Click(1);
}

// The charts of the idle and full-load tables.
void TMapEditors::PlotIdleAndFullLoad(const TEFIOperator& efi) {
  PlotCurve(*chrtMaxIgn, Row(efi.fSparkMaxMatrix, 0), Row(efi.fSparkMaxMatrix, 1), 1);
  PlotCurve(*chrtXXIgn, Row(efi.fSparkXXMatrix, 0), Row(efi.fSparkXXMatrix, 1), 1);
  PlotCurve(*chrtMaxFuel, Row(efi.fFuelMaxMatrix, 0), Row(efi.fFuelMaxMatrix, 1), 0);
}

// The air-mass-meter curve: row number against meter value.
void TMapEditors::PlotMAF(const TEFIOperator& efi) {
  if (efi.fMAFTable.empty()) return;
  const auto& maf = efi.fMAFTable;
  chrtMAF->SetXRange(maf.front(), maf.back() + 1);
  chrtMAF->SetYRange(0, static_cast<double>(maf.size()) - 1);
  chrtMAF->Clear();
  chrtMAF->MoveTo(maf.front(), 0);
  for (size_t n = 0; n < maf.size(); ++n) chrtMAF->LineTo(maf[n], static_cast<double>(n));
  chrtMAF->Show();
}

void TMapEditors::ShowCOTrimOf(const TEFIOperator& efi) {
  // The CO trim stands at the code's offset from 128; its label is left as it is.
  if (efi.fVersion != 1) {
    fFillingCOreg = true;
    sbCOreg->setValue(efi.fCOReg - 128);
    fFillingCOreg = false;
  }
}

// --- Collect ---

void TMapEditors::CollectGrids(uint8_t mode) {
  if (mode != 1) return;
  TEFIOperator& efi = Efi();
  // The box holds 0 to 9000 rpm: a loaded rev limit beyond it stays as loaded until the
  // user sets another.
  fDoc.CollectMaxRPM(seMaxRMP->value(), efi);
  // The document's values, and a grid text it does not show (typed, not yet checked): a
  // change of the user's, held within the editors' limits; every other value keeps what it
  // was loaded or edited to.
  std::vector<TCalTable> tables = fDoc.Tables();
  for (TCalTable& table : tables) {
    const TStringGrid* grid = GridOf(table.id);
    for (int r = 0; r < std::min(table.rows, grid->RowCount()); ++r)
      for (int c = 0; c < std::min(table.cols, grid->ColCount()); ++c)
        if (grid->Cell(c, r) != table.Text(c, r)) table.SetUnchecked(c, r, grid->Cell(c, r));
  }
  fDoc.CollectTablesInto(tables, efi);
}
