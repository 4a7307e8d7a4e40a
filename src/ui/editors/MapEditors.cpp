// TMapEditors: building the pages, moving the tables between TEFIOperator and the grids
// (FillGrids, CollectGrids), and the few things the editors take from the main window.
#include "ui/editors/MapEditors.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>

#include "common/DecimalText.h"
#include "image/EfiOperator.h"
#include "telemetry/LiveCell.h"
#include "ui/editors/EditorRules.h"
#include "ui/widgets/CurvePlot.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/StringGrid.h"

namespace {
// Table cells read and written through bounds checks, so that no configuration can make a
// grid index a table outside its size.
template <typename M>
auto At(const M& table, int row, int col) -> typename M::value_type::value_type {
  if (row < 0 || col < 0 || row >= static_cast<int>(table.size()) ||
      col >= static_cast<int>(table[row].size()))
    return {};
  return table[row][col];
}

template <typename M, typename V>
void Put(M& table, int row, int col, V value) {
  if (row < 0 || col < 0 || row >= static_cast<int>(table.size()) ||
      col >= static_cast<int>(table[row].size()))
    return;
  table[row][col] = value;
}

QString Text(double v) {
  return FloatToStr(v);
}

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
// the pages are built on, the MAF page's tab, the version label, the tables-loaded flag,
// the live operating-point mark and the colour scale's toggle button.

TMapEditors::TMapEditors(QObject* parent, TEFIOperator& efi, const Pages& pages,
                         TStatusStrip& strip, const TLiveMark& live)
    : QObject(parent), fEFI(efi), fPages(pages), fStrip(strip), fLive(live) {
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
  fStrip.lVersion->setText(text);
}

void TMapEditors::MarkTablesLoaded() {
  emit TablesFilled();
}

TMapEditors::LiveMark TMapEditors::LiveCell() const {
  return {fLive.LiveLoopActive == 1, fLive.LiveCellCol, fLive.LiveCellRow};
}

// --- Fill ---

void TMapEditors::FillMainMap(TStringGrid* grid, int lo, int cols, const TFloatMatrix& table) {
  const int version = Variant();
  for (int r = 1; r < grid->RowCount(); ++r) {
    const int tableRow = MainMapTableRows(version, lo, grid->RowCount(), r).front();
    for (int c = 0; c < grid->ColCount(); ++c) grid->SetCell(c, r, Text(At(table, tableRow, c)));
  }
  grid->SetCell(0, 0, QString());
  for (int c = 1; c < cols; ++c) grid->SetCell(c, 0, Text(At(table, 0, c)));
}

void TMapEditors::FillGrids(bool alreadyDecoded) {
  TEFIOperator& efi = Efi();
  // Nothing to show without a model and an image.
  if (efi.fVersion <= 0 || efi.fImage.size() < 2) return;
  if (!alreadyDecoded) efi.DecodeImage();
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

  FillIdleAndFullLoad(efi);
  FillMainMap(sgIgnMain, efi.fSparkMainMatrixDim1_Lo, sgIgnMain->ColCount(), efi.fSparkMainMatrix);
  // The part-load fuel map's header goes up to the configured RPM breakpoints.
  FillMainMap(sgFuelMain, efi.fFuelMainMatrixDim1_Lo,
              std::min<int>(efi.fFuelMainMatrixDim2_Lo + 1, sgFuelMain->ColCount()),
              efi.fFuelMainMatrix);
  seMaxRMP->setValue(efi.fMaxRPM);
  for (TStringGrid* grid : {sgFuelMain, sgIgnMain, sgrdIgnXX, sgrdFuelMax, sgrdIgnMax})
    grid->setEnabled(true);
  RecomputeFuelRange(true);
  RecomputeSparkRange(true);
  if (efi.fVersion != 1) FillMAF(efi);
  FillWarmUpAndCOTrim(efi);
  sgFuelMain->Repaint();
  sgIgnMain->Repaint();
  MarkTablesLoaded();
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

// The idle and full-load tables with their charts.
void TMapEditors::FillIdleAndFullLoad(const TEFIOperator& efi) {
  // Full-load ignition, reversed rows.
  const int maxRows = sgrdIgnMax->RowCount();
  for (int i = 1; i < maxRows; ++i)
    for (int c = 0; c < sgrdIgnMax->ColCount(); ++c)
      sgrdIgnMax->SetCell(c, maxRows - i, Text(At(efi.fSparkMaxMatrix, i, c)));
  if (efi.fVersion == 1) {
    for (int c = 0; c < sgrdIgnMax->ColCount(); ++c)
      sgrdIgnMax->SetCell(c, 0, Text(At(efi.fSparkMaxMatrix, 0, c)));
  } else {
    for (int c = 1; c < sgrdIgnMax->ColCount(); ++c)
      sgrdIgnMax->SetCell(c, 0, Text(At(efi.fSparkMaxMatrix, 0, c)));
    sgrdIgnMax->SetCell(0, 0, QString());
  }
  PlotCurve(*chrtMaxIgn, Row(efi.fSparkMaxMatrix, 0), Row(efi.fSparkMaxMatrix, 1), 1);

  // Idle fuel, reversed rows; its RPM header in every variant.
  const int xxRows = sgrdFuelXX->RowCount();
  if (efi.fVersion != 1) {
    for (int i = 1; i < xxRows; ++i)
      for (int c = 0; c < sgrdFuelXX->ColCount(); ++c)
        sgrdFuelXX->SetCell(c, xxRows - i, Text(At(efi.fFuelXXMatrix, i, c)));
  }
  for (int c = 1; c < sgrdFuelXX->ColCount(); ++c)
    sgrdFuelXX->SetCell(c, 0, Text(At(efi.fFuelXXMatrix, 0, c)));

  // Idle ignition and full-load fuel as stored.
  auto asStored = [](TStringGrid* grid, const TFloatMatrix& table) {
    for (int r = 0; r < grid->RowCount(); ++r)
      for (int c = 0; c < grid->ColCount(); ++c) grid->SetCell(c, r, Text(At(table, r, c)));
  };
  asStored(sgrdIgnXX, efi.fSparkXXMatrix);
  PlotCurve(*chrtXXIgn, Row(efi.fSparkXXMatrix, 0), Row(efi.fSparkXXMatrix, 1), 1);
  asStored(sgrdFuelMax, efi.fFuelMaxMatrix);
  PlotCurve(*chrtMaxFuel, Row(efi.fFuelMaxMatrix, 0), Row(efi.fFuelMaxMatrix, 1), 0);
}

// The air-mass-meter curve: row number against meter value.
void TMapEditors::FillMAF(const TEFIOperator& efi) {
  for (int n = 0; n < sgMAF->RowCount(); ++n) {
    sgMAF->SetCell(0, n, QString::number(n));
    sgMAF->SetCell(
        1, n, QString::number(n < static_cast<int>(efi.fMAFTable.size()) ? efi.fMAFTable[n] : 0));
  }
  if (efi.fMAFTable.empty()) return;
  const auto& maf = efi.fMAFTable;
  chrtMAF->SetXRange(maf.front(), maf.back() + 1);
  chrtMAF->SetYRange(0, static_cast<double>(maf.size()) - 1);
  chrtMAF->Clear();
  chrtMAF->MoveTo(maf.front(), 0);
  for (size_t n = 0; n < maf.size(); ++n) chrtMAF->LineTo(maf[n], static_cast<double>(n));
  chrtMAF->Show();
}

void TMapEditors::FillWarmUpAndCOTrim(const TEFIOperator& efi) {
  for (int c = 0; c < sgrdRPMTempCorr->ColCount(); ++c) {
    sgrdRPMTempCorr->SetCell(c, 0, QString::number(At(efi.fRPMTempCorrTable, 0, c)));
    sgrdRPMTempCorr->SetCell(c, 1, QString::number(At(efi.fRPMTempCorrTable, 1, c)));
  }
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
  // Every value is held within what its code can store (and the maps' limits), so that a
  // value the cell check has not met yet is never wrapped into an unrelated code.
  using T = TCodedTable;
  auto value = [this](const QString& text, TCodedTable table) {
    return HoldInRange(StrToFloat(text), EditRange(table));
  };
  auto whole = [this](const QString& text, TCodedTable table) {
    return static_cast<int32_t>(HoldInRange(StrToInt(text), EditRange(table)));
  };
  efi.SetMaxRPM(seMaxRMP->value());
  // Full-load fuel as stored; row 0 is the RPM axis.
  for (int c = 0; c < sgrdFuelMax->ColCount(); ++c) {
    Put(efi.fFuelMaxMatrix, 0, c, StrToFloat(sgrdFuelMax->Cell(c, 0)));
    for (int r = 1; r < sgrdFuelMax->RowCount(); ++r)
      Put(efi.fFuelMaxMatrix, r, c, value(sgrdFuelMax->Cell(c, r), T::FuelMax));
  }
  // Full-load ignition: the reverse of the fill; empty cells (the corner) are skipped.
  const int maxRows = sgrdIgnMax->RowCount();
  for (int r = 0; r < maxRows; ++r) {
    const int gridRow = r == 0 ? 0 : maxRows - r;
    for (int c = 0; c < sgrdIgnMax->ColCount(); ++c) {
      const QString text = sgrdIgnMax->Cell(c, gridRow);
      if (text.isEmpty()) continue;
      // Row 0 holds the RPM axis, and outside variant 1 column 0 the load axis.
      const bool axis = r == 0 || (c == 0 && efi.fVersion != 1);
      Put(efi.fSparkMaxMatrix, r, c, axis ? StrToFloat(text) : value(text, T::SparkMax));
    }
  }
  // The part-load maps, every cell but the corner.
  auto collectMain = [&](TStringGrid* grid, TFloatMatrix& table, int lo, TCodedTable kind) {
    for (int c = 1; c < grid->ColCount(); ++c) Put(table, 0, c, StrToFloat(grid->Cell(c, 0)));
    for (int r = 1; r < grid->RowCount(); ++r) {
      const std::vector<int> rows = MainMapTableRows(efi.fVersion, lo, grid->RowCount(), r);
      for (int c = 0; c < grid->ColCount(); ++c) {
        // Column 0 holds the load axis.
        const QString text = grid->Cell(c, r);
        const double cell = c == 0 ? StrToFloat(text) : value(text, kind);
        for (int tableRow : rows) Put(table, tableRow, c, cell);
      }
    }
  };
  collectMain(sgIgnMain, efi.fSparkMainMatrix, efi.fSparkMainMatrixDim1_Lo, T::SparkMain);
  collectMain(sgFuelMain, efi.fFuelMainMatrix, efi.fFuelMainMatrixDim1_Lo, T::FuelMain);
  // Idle ignition as stored; row 0 is the RPM axis.
  for (int c = 0; c < sgrdIgnXX->ColCount(); ++c) {
    Put(efi.fSparkXXMatrix, 0, c, StrToFloat(sgrdIgnXX->Cell(c, 0)));
    for (int r = 1; r < sgrdIgnXX->RowCount(); ++r)
      Put(efi.fSparkXXMatrix, r, c, value(sgrdIgnXX->Cell(c, r), T::SparkXX));
  }
  if (efi.fVersion != 1) {
    // Idle fuel, reversed rows, every cell but the corner.
    const int xxRows = sgrdFuelXX->RowCount();
    for (int c = 1; c < sgrdFuelXX->ColCount(); ++c)
      Put(efi.fFuelXXMatrix, 0, c, StrToFloat(sgrdFuelXX->Cell(c, 0)));
    for (int i = 1; i < xxRows; ++i)
      for (int c = 0; c < sgrdFuelXX->ColCount(); ++c) {
        const QString text = sgrdFuelXX->Cell(c, xxRows - i);
        Put(efi.fFuelXXMatrix, i, c, c == 0 ? StrToFloat(text) : value(text, T::FuelXX));
      }
    // The air-mass-meter curve holds 16-bit values.
    for (int n = 0; n < sgMAF->RowCount() && n < static_cast<int>(efi.fMAFTable.size()); ++n)
      efi.fMAFTable[n] = static_cast<uint16_t>(whole(sgMAF->Cell(1, n), T::MAF));
  }
  // Warm-up: temperatures in row 0, idle speeds in row 1.
  for (int c = 0; c < sgrdRPMTempCorr->ColCount(); ++c) {
    Put(efi.fRPMTempCorrTable, 0, c, StrToInt(sgrdRPMTempCorr->Cell(c, 0)));
    Put(efi.fRPMTempCorrTable, 1, c, whole(sgrdRPMTempCorr->Cell(c, 1), T::WarmUpSpeed));
  }
}
