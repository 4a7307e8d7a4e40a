// The checks that keep every grid cell numeric and the part-load maps within their
// limits, and what each grid refreshes after a check.
#include "app/mainfrm.h"
#include "common/DecimalText.h"
#include "common/Numbers.h"
#include "editors/MapEditors.h"
#include "editors/StringGrid.h"
#include "widgets/ErrorBox.h"

namespace {
// The limits of the part-load maps.
constexpr double kFuelLow = 0.7, kFuelHigh = 1.5;
constexpr double kSparkLow = -30, kSparkHigh = 60;
}  // namespace

void TMapEditors::Remember(TStringGrid* grid, int col, int row, bool onlyIfNotEmpty,
                           int32_t* integer) {
  const QString text = grid->Cell(col, row);
  if (onlyIfNotEmpty && text.isEmpty()) return;
  // A text that is not a number (typed but not yet checked) leaves the remembered value as
  // it was and reports the conversion error.
  if (integer)
    *integer = StrToInt(text);
  else
    ValueBeforeEdit = StrToFloat(text);
}

void TMapEditors::CheckCell(TStringGrid* grid, int col, int row, const CheckRule& rule) {
  if (col < 0 || row < 0 || grid->IsFixed(col, row)) return;
  const QString text = grid->Cell(col, row);
  double value = 0;
  if (rule.integer) {
    const auto parsed = TryStrToInt(text);
    if (!parsed) {
      grid->SetCell(col, row, QString::number(rule.rememberedInt ? *rule.rememberedInt : 0));
      return;
    }
    value = *parsed;
  } else {
    const auto parsed = TryStrToFloat(text, DecimalSeparator());
    if (!parsed) {
      // The ignition map brings the remembered value back to one decimal.
      const double restored = rule.oneDecimal ? RoundToDigit(ValueBeforeEdit, -1) : ValueBeforeEdit;
      grid->SetCell(col, row, FloatToStr(restored));
      return;
    }
    value = *parsed;
  }
  const TValueRange range = EditRange(rule.table);
  if (value > range.high) grid->SetCell(col, row, FloatToStr(range.high));
  if (value < range.low) grid->SetCell(col, row, FloatToStr(range.low));
}

TValueRange TMapEditors::EditRange(TCodedTable table) const {
  const TValueRange storable = StorableRange(table, fForm.EFI().fVersion);
  if (table == TCodedTable::FuelMain) return Intersect({kFuelLow, kFuelHigh}, storable);
  if (table == TCodedTable::SparkMain) return Intersect({kSparkLow, kSparkHigh}, storable);
  return storable;
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

void TMapEditors::ConnectEditing() {
  using T = TCodedTable;
  CheckRule fuel{T::FuelMain};
  CheckRule spark{T::SparkMain, false, true};
  CheckRule idleSpark{T::SparkXX};
  CheckRule idleFuel{T::FuelXX};
  CheckRule fullFuel{T::FuelMax};
  CheckRule fullSpark{T::SparkMax};
  CheckRule maf{T::MAF, true, false, &MAFValueBeforeEdit};
  CheckRule warmUp{T::WarmUpSpeed, true, false, &TempCorrValueBeforeEdit};

  // Part-load fuel map: the range follows every check; leaving widens it.
  connect(sgFuelMain, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    GridCommand([&] { Remember(sgFuelMain, c, r, true, nullptr); });
  });
  connect(sgFuelMain, &TStringGrid::Entered, this, [this, fuel] {
    GridCommand([&] {
      CheckCurrent(sgFuelMain, fuel);
      RecomputeFuelRange(false);
      sgFuelMain->Repaint();
    });
  });
  connect(sgFuelMain, &TStringGrid::Left, this, [this, fuel] {
    GridCommand([&] {
      CheckCurrent(sgFuelMain, fuel);
      RecomputeFuelRange(true);
      sgFuelMain->Repaint();
    });
  });
  connect(sgFuelMain, &TStringGrid::CellChanging, this, [this, fuel](int c, int r, int, int) {
    GridCommand([&] {
      CheckCell(sgFuelMain, c, r, fuel);
      RecomputeFuelRange(false);
      sgFuelMain->Repaint();
    });
  });

  // Part-load ignition map: its range changes only when the grid is left.
  connect(sgIgnMain, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    GridCommand([&] { Remember(sgIgnMain, c, r, false, nullptr); });
  });
  connect(sgIgnMain, &TStringGrid::Entered, this,
          [this, spark] { GridCommand([&] { CheckCurrent(sgIgnMain, spark); }); });
  connect(sgIgnMain, &TStringGrid::Left, this, [this, spark] {
    GridCommand([&] {
      CheckCurrent(sgIgnMain, spark);
      RecomputeSparkRange(true);
      sgIgnMain->Repaint();
    });
  });
  connect(sgIgnMain, &TStringGrid::CellChanging, this, [this, spark](int c, int r, int, int) {
    GridCommand([&] { CheckCell(sgIgnMain, c, r, spark); });
  });

  // Idle ignition: its chart follows every check.
  connect(sgrdIgnXX, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    GridCommand([&] { Remember(sgrdIgnXX, c, r, false, nullptr); });
  });
  for (auto signal : {&TStringGrid::Entered, &TStringGrid::Left}) {
    connect(sgrdIgnXX, signal, this, [this, idleSpark] {
      GridCommand([&] {
        CheckCurrent(sgrdIgnXX, idleSpark);
        DrawXXIgnFromGrid();
      });
    });
  }
  connect(sgrdIgnXX, &TStringGrid::CellChanging, this, [this, idleSpark](int c, int r, int, int) {
    GridCommand([&] {
      CheckCell(sgrdIgnXX, c, r, idleSpark);
      DrawXXIgnFromGrid();
    });
  });

  // Idle fuel: checks only.
  connect(sgrdFuelXX, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    GridCommand([&] { Remember(sgrdFuelXX, c, r, false, nullptr); });
  });
  for (auto signal : {&TStringGrid::Entered, &TStringGrid::Left})
    connect(sgrdFuelXX, signal, this,
            [this, idleFuel] { GridCommand([&] { CheckCurrent(sgrdFuelXX, idleFuel); }); });
  connect(sgrdFuelXX, &TStringGrid::CellChanging, this, [this, idleFuel](int c, int r, int, int) {
    GridCommand([&] { CheckCell(sgrdFuelXX, c, r, idleFuel); });
  });

  // Full-load fuel: no limits beyond what its code can store; the chart follows leaving
  // and moving.
  connect(sgrdFuelMax, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    GridCommand([&] { Remember(sgrdFuelMax, c, r, true, nullptr); });
  });
  connect(sgrdFuelMax, &TStringGrid::Entered, this,
          [this, fullFuel] { GridCommand([&] { CheckCurrent(sgrdFuelMax, fullFuel); }); });
  connect(sgrdFuelMax, &TStringGrid::Left, this, [this, fullFuel] {
    GridCommand([&] {
      CheckCurrent(sgrdFuelMax, fullFuel);
      DrawMaxFuelFromGrid();
    });
  });
  connect(sgrdFuelMax, &TStringGrid::CellChanging, this, [this, fullFuel](int c, int r, int, int) {
    GridCommand([&] {
      CheckCell(sgrdFuelMax, c, r, fullFuel);
      DrawMaxFuelFromGrid();
    });
  });

  // Full-load ignition: column 0 is not checked (in variant 1 it holds data, which then
  // stays unchecked until the chart or the save meets it).
  connect(sgrdIgnMax, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    GridCommand([&] { Remember(sgrdIgnMax, c, r, true, nullptr); });
  });
  connect(sgrdIgnMax, &TStringGrid::Entered, this, [this, fullSpark] {
    GridCommand([&] {
      if (sgrdIgnMax->Col() > 0) CheckCurrent(sgrdIgnMax, fullSpark);
    });
  });
  connect(sgrdIgnMax, &TStringGrid::Left, this, [this, fullSpark] {
    GridCommand([&] {
      if (sgrdIgnMax->Col() > 0) CheckCurrent(sgrdIgnMax, fullSpark);
      if (fForm.EFI().fVersion == 1) DrawMaxIgnFromGrid();
    });
  });
  connect(sgrdIgnMax, &TStringGrid::CellChanging, this,
          [this, fullSpark](int c, int r, int toCol, int toRow) {
            GridCommand([&] {
              if (toCol > 0 && toRow > 0) CheckCell(sgrdIgnMax, c, r, fullSpark);
              if (fForm.EFI().fVersion == 1) DrawMaxIgnFromGrid();
            });
          });

  // Air-mass meter: integers; the chart follows leaving and moving.
  connect(sgMAF, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    GridCommand([&] { Remember(sgMAF, c, r, true, &MAFValueBeforeEdit); });
  });
  connect(sgMAF, &TStringGrid::Entered, this,
          [this, maf] { GridCommand([&] { CheckCurrent(sgMAF, maf); }); });
  connect(sgMAF, &TStringGrid::Left, this, [this, maf] {
    GridCommand([&] {
      CheckCurrent(sgMAF, maf);
      DrawMAFFromGrid();
    });
  });
  connect(sgMAF, &TStringGrid::CellChanging, this, [this, maf](int c, int r, int, int) {
    GridCommand([&] {
      CheckCell(sgMAF, c, r, maf);
      DrawMAFFromGrid();
    });
  });

  // Warm-up idle speeds: integers like the air-mass meter, so a save meets no surprise.
  connect(sgrdRPMTempCorr, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    GridCommand([&] { Remember(sgrdRPMTempCorr, c, r, true, &TempCorrValueBeforeEdit); });
  });
  for (auto signal : {&TStringGrid::Entered, &TStringGrid::Left})
    connect(sgrdRPMTempCorr, signal, this,
            [this, warmUp] { GridCommand([&] { CheckCurrent(sgrdRPMTempCorr, warmUp); }); });
  connect(sgrdRPMTempCorr, &TStringGrid::CellChanging, this,
          [this, warmUp](int c, int r, int, int) {
            GridCommand([&] { CheckCell(sgrdRPMTempCorr, c, r, warmUp); });
          });
}
