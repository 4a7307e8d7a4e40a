// The checks that keep every grid cell numeric and the part-load maps within their
// limits, and what each grid refreshes after a check.
#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "ui/editors/EditorRules.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/StringGrid.h"

void TMapEditors::Remember(TStringGrid* grid, int col, int row, bool onlyIfNotEmpty,
                           int32_t* integer) {
  const QString text = grid->Cell(col, row);
  if (onlyIfNotEmpty && text.isEmpty()) return;
  // A text that is not a number (typed but not yet checked) leaves the remembered value as
  // it was and reports the conversion error.
  if (integer) {
    *integer = StrToInt(text);
    return;
  }
  const auto value = TryTypedFloat(text, DecimalSeparator());
  if (!value) throw EConvertError::InvalidFloat(text);
  ValueBeforeEdit = *value;
}

std::optional<QString> TMapEditors::DocumentText(TStringGrid* grid, int col, int row) const {
  const std::optional<TTableId> id = TableOf(grid);
  if (!id || !fDoc.Loaded()) return std::nullopt;
  const TCalTable& table = fDoc.Table(*id);
  if (!table.Contains(col, row)) return std::nullopt;
  return table.Text(col, row);
}

void TMapEditors::CheckCell(TStringGrid* grid, int col, int row, const CheckRule& rule) {
  if (col < 0 || row < 0 || grid->IsFixed(col, row)) return;
  const QString text = grid->Cell(col, row);
  // A refused entry gives the cell back the value the calibration holds for it now (the
  // result of the last operation or undo, not an older remembered one), so it records no
  // step and changes no value.
  const std::optional<QString> held = DocumentText(grid, col, row);
  const std::optional<double> parsed = TypedCellValue(text, rule.integer);
  if (!parsed) {
    if (rule.integer) {
      grid->SetCell(col, row,
                    held.value_or(QString::number(rule.rememberedInt ? *rule.rememberedInt : 0)));
    } else {
      // Without a calibration the ignition map brings the remembered value to one decimal.
      const double restored = rule.oneDecimal ? RoundToDigit(ValueBeforeEdit, -1) : ValueBeforeEdit;
      grid->SetCell(col, row, held.value_or(FloatToStr(restored)));
    }
    return;
  }
  const double value = *parsed;
  // Either decimal mark; until the document takes the value, the cell keeps the digits as
  // typed, in the user's mark.
  if (!rule.integer) {
    const QString marked = TypedFloatText(text, DecimalSeparator());
    if (marked != text) grid->SetCell(col, row, marked);
  }
  const TValueRange range = EditRange(rule.table);
  if (value > range.high) grid->SetCell(col, row, FloatToStr(range.high));
  if (value < range.low) grid->SetCell(col, row, FloatToStr(range.low));
}

TValueRange TMapEditors::EditRange(TCodedTable table) const {
  return EditLimits(table, Variant());
}

void TMapEditors::CheckCurrent(TStringGrid* grid, const CheckRule& rule) {
  CheckCell(grid, grid->Col(), grid->Row(), rule);
}

void TMapEditors::GridCommand(const std::function<void()>& handler) {
  if (fInGridHandler) return;
  fInGridHandler = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{fInGridHandler};
  RunCommand(handler);
}

// What one grid does on its four signals: a cell becoming current remembers its value
// (empty cells too, or not); entering, leaving and moving check the cell left or current
// and then run the grid's follow-up, if it has one.
struct TMapEditors::GridBinding {
  TStringGrid* grid = nullptr;
  CheckRule rule;
  bool rememberOnlyIfNotEmpty = false;
  // Column 0 (and, on moving, a move to row 0) is not checked.
  bool skipColumn0 = false;
  std::function<void()> afterEnter, afterLeave, afterMove;
};

void TMapEditors::Bind(const GridBinding& b) {
  TStringGrid* grid = b.grid;
  fRules[grid] = b.rule;
  auto follow = [](const std::function<void()>& step) {
    if (step) step();
  };
  connect(grid, &TStringGrid::CellBecameCurrent, this, [this, b](int c, int r) {
    GridCommand([&] { Remember(b.grid, c, r, b.rememberOnlyIfNotEmpty, b.rule.rememberedInt); });
  });
  // A checked cell whose text changed is one step of the history.
  auto checkCurrent = [this, b] {
    if (b.skipColumn0 && b.grid->Col() <= 0) return;
    CheckCurrent(b.grid, b.rule);
    RecordTyped(b.grid, b.grid->Col(), b.grid->Row());
  };
  connect(grid, &TStringGrid::Entered, this, [this, b, follow, checkCurrent] {
    emit GridEntered(b.grid);
    GridCommand([&] {
      checkCurrent();
      follow(b.afterEnter);
    });
  });
  connect(grid, &TStringGrid::Left, this, [this, b, follow, checkCurrent] {
    GridCommand([&] {
      checkCurrent();
      follow(b.afterLeave);
    });
  });
  connect(grid, &TStringGrid::CellChanging, this,
          [this, b, follow](int c, int r, int toCol, int toRow) {
            GridCommand([&] {
              if (!b.skipColumn0 || (toCol > 0 && toRow > 0)) {
                CheckCell(b.grid, c, r, b.rule);
                RecordTyped(b.grid, c, r);
              }
              follow(b.afterMove);
            });
          });
}

void TMapEditors::ConnectEditing() {
  using T = TCodedTable;
  // Part-load fuel map: the range follows every check; leaving widens it.
  auto fuelRange = [this](bool widen) {
    return [this, widen] {
      RecomputeFuelRange(widen);
      sgFuelMain->Repaint();
    };
  };
  // Part-load ignition map: its range changes only when the grid is left.
  auto sparkRange = [this] {
    RecomputeSparkRange(true);
    sgIgnMain->Repaint();
  };
  auto idleSparkChart = [this] { DrawXXIgnFromGrid(); };
  auto fullFuelChart = [this] { DrawMaxFuelFromGrid(); };
  // The full-load ignition chart exists in variant 1 only.
  auto fullSparkChart = [this] {
    if (Variant() == 1) DrawMaxIgnFromGrid();
  };
  auto mafChart = [this] { DrawMAFFromGrid(); };

  const GridBinding bindings[] = {
      {sgFuelMain, {T::FuelMain}, true, false, fuelRange(false), fuelRange(true), fuelRange(false)},
      {sgIgnMain, {T::SparkMain, false, true}, false, false, {}, sparkRange, {}},
      {sgrdIgnXX, {T::SparkXX}, false, false, idleSparkChart, idleSparkChart, idleSparkChart},
      // Idle fuel: checks only.
      {sgrdFuelXX, {T::FuelXX}, false, false, {}, {}, {}},
      // Full-load fuel: no limits beyond what its code can store.
      {sgrdFuelMax, {T::FuelMax}, true, false, {}, fullFuelChart, fullFuelChart},
      // Full-load ignition: column 0 is not checked (in variant 1 it holds data, which then
      // stays unchecked until the chart or the save meets it).
      {sgrdIgnMax, {T::SparkMax}, true, true, {}, fullSparkChart, fullSparkChart},
      // Air-mass meter: integers.
      {sgMAF, {T::MAF, true, false, &MAFValueBeforeEdit}, true, false, {}, mafChart, mafChart},
      // Warm-up idle speeds: integers like the air-mass meter, so a save meets no surprise.
      {sgrdRPMTempCorr,
       {T::WarmUpSpeed, true, false, &TempCorrValueBeforeEdit},
       true,
       false,
       {},
       {},
       {}},
  };
  for (const GridBinding& binding : bindings) Bind(binding);
}
