// The checks that keep every grid cell numeric and the part-load maps within their
// limits, and what each grid refreshes after a check.
#include "app/ErrorBox.h"
#include "app/mainfrm.h"
#include "common/DecimalText.h"
#include "common/Numbers.h"
#include "editors/MapEditors.h"
#include "editors/StringGrid.h"

namespace {
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
  if (!rule.limited) return;
  if (value > rule.high) grid->SetCell(col, row, FloatToStr(rule.high));
  if (value < rule.low) grid->SetCell(col, row, FloatToStr(rule.low));
}

void TMapEditors::CheckCurrent(TStringGrid* grid, const CheckRule& rule) {
  CheckCell(grid, grid->Col(), grid->Row(), rule);
}

void TMapEditors::ConnectEditing() {
  CheckRule fuel{false, false, true, kFuelLow, kFuelHigh, nullptr};
  CheckRule spark{false, true, true, kSparkLow, kSparkHigh, nullptr};
  CheckRule plain{};
  CheckRule maf{true, false, false, 0, 0, &MAFValueBeforeEdit};
  CheckRule warmUp{true, false, false, 0, 0, &TempCorrValueBeforeEdit};

  // Part-load fuel map: the range follows every check; leaving widens it.
  connect(sgFuelMain, &TStringGrid::CellBecameCurrent, this,
          [this](int c, int r) { RunCommand([&] { Remember(sgFuelMain, c, r, true, nullptr); }); });
  connect(sgFuelMain, &TStringGrid::Entered, this, [this, fuel] {
    RunCommand([&] {
      CheckCurrent(sgFuelMain, fuel);
      RecomputeFuelRange(false);
      sgFuelMain->Repaint();
    });
  });
  connect(sgFuelMain, &TStringGrid::Left, this, [this, fuel] {
    RunCommand([&] {
      CheckCurrent(sgFuelMain, fuel);
      RecomputeFuelRange(true);
      sgFuelMain->Repaint();
    });
  });
  connect(sgFuelMain, &TStringGrid::CellChanging, this, [this, fuel](int c, int r, int, int) {
    RunCommand([&] {
      CheckCell(sgFuelMain, c, r, fuel);
      RecomputeFuelRange(false);
      sgFuelMain->Repaint();
    });
  });

  // Part-load ignition map: its range changes only when the grid is left.
  connect(sgIgnMain, &TStringGrid::CellBecameCurrent, this,
          [this](int c, int r) { RunCommand([&] { Remember(sgIgnMain, c, r, false, nullptr); }); });
  connect(sgIgnMain, &TStringGrid::Entered, this,
          [this, spark] { RunCommand([&] { CheckCurrent(sgIgnMain, spark); }); });
  connect(sgIgnMain, &TStringGrid::Left, this, [this, spark] {
    RunCommand([&] {
      CheckCurrent(sgIgnMain, spark);
      RecomputeSparkRange(true);
      sgIgnMain->Repaint();
    });
  });
  connect(sgIgnMain, &TStringGrid::CellChanging, this, [this, spark](int c, int r, int, int) {
    RunCommand([&] { CheckCell(sgIgnMain, c, r, spark); });
  });

  // Idle ignition: its chart follows every check.
  connect(sgrdIgnXX, &TStringGrid::CellBecameCurrent, this,
          [this](int c, int r) { RunCommand([&] { Remember(sgrdIgnXX, c, r, false, nullptr); }); });
  for (auto signal : {&TStringGrid::Entered, &TStringGrid::Left}) {
    connect(sgrdIgnXX, signal, this, [this, plain] {
      RunCommand([&] {
        CheckCurrent(sgrdIgnXX, plain);
        DrawXXIgnFromGrid();
      });
    });
  }
  connect(sgrdIgnXX, &TStringGrid::CellChanging, this, [this, plain](int c, int r, int, int) {
    RunCommand([&] {
      CheckCell(sgrdIgnXX, c, r, plain);
      DrawXXIgnFromGrid();
    });
  });

  // Idle fuel: checks only.
  connect(sgrdFuelXX, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    RunCommand([&] { Remember(sgrdFuelXX, c, r, false, nullptr); });
  });
  for (auto signal : {&TStringGrid::Entered, &TStringGrid::Left})
    connect(sgrdFuelXX, signal, this,
            [this, plain] { RunCommand([&] { CheckCurrent(sgrdFuelXX, plain); }); });
  connect(sgrdFuelXX, &TStringGrid::CellChanging, this, [this, plain](int c, int r, int, int) {
    RunCommand([&] { CheckCell(sgrdFuelXX, c, r, plain); });
  });

  // Full-load fuel: no limits; the chart follows leaving and moving.
  connect(sgrdFuelMax, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    RunCommand([&] { Remember(sgrdFuelMax, c, r, true, nullptr); });
  });
  connect(sgrdFuelMax, &TStringGrid::Entered, this,
          [this, plain] { RunCommand([&] { CheckCurrent(sgrdFuelMax, plain); }); });
  connect(sgrdFuelMax, &TStringGrid::Left, this, [this, plain] {
    RunCommand([&] {
      CheckCurrent(sgrdFuelMax, plain);
      DrawMaxFuelFromGrid();
    });
  });
  connect(sgrdFuelMax, &TStringGrid::CellChanging, this, [this, plain](int c, int r, int, int) {
    RunCommand([&] {
      CheckCell(sgrdFuelMax, c, r, plain);
      DrawMaxFuelFromGrid();
    });
  });

  // Full-load ignition: column 0 is not checked (in variant 1 it holds data, which then
  // stays unchecked until the chart or the save meets it).
  connect(sgrdIgnMax, &TStringGrid::CellBecameCurrent, this,
          [this](int c, int r) { RunCommand([&] { Remember(sgrdIgnMax, c, r, true, nullptr); }); });
  connect(sgrdIgnMax, &TStringGrid::Entered, this, [this, plain] {
    RunCommand([&] {
      if (sgrdIgnMax->Col() > 0) CheckCurrent(sgrdIgnMax, plain);
    });
  });
  connect(sgrdIgnMax, &TStringGrid::Left, this, [this, plain] {
    RunCommand([&] {
      if (sgrdIgnMax->Col() > 0) CheckCurrent(sgrdIgnMax, plain);
      if (fForm.EFI().fVersion == 1) DrawMaxIgnFromGrid();
    });
  });
  connect(sgrdIgnMax, &TStringGrid::CellChanging, this,
          [this, plain](int c, int r, int toCol, int toRow) {
            RunCommand([&] {
              if (toCol > 0 && toRow > 0) CheckCell(sgrdIgnMax, c, r, plain);
              if (fForm.EFI().fVersion == 1) DrawMaxIgnFromGrid();
            });
          });

  // Air-mass meter: integers; the chart follows leaving and moving.
  connect(sgMAF, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    RunCommand([&] { Remember(sgMAF, c, r, true, &MAFValueBeforeEdit); });
  });
  connect(sgMAF, &TStringGrid::Entered, this,
          [this, maf] { RunCommand([&] { CheckCurrent(sgMAF, maf); }); });
  connect(sgMAF, &TStringGrid::Left, this, [this, maf] {
    RunCommand([&] {
      CheckCurrent(sgMAF, maf);
      DrawMAFFromGrid();
    });
  });
  connect(sgMAF, &TStringGrid::CellChanging, this, [this, maf](int c, int r, int, int) {
    RunCommand([&] {
      CheckCell(sgMAF, c, r, maf);
      DrawMAFFromGrid();
    });
  });

  // Warm-up idle speeds: integers like the air-mass meter, so a save meets no surprise.
  connect(sgrdRPMTempCorr, &TStringGrid::CellBecameCurrent, this, [this](int c, int r) {
    RunCommand([&] { Remember(sgrdRPMTempCorr, c, r, true, &TempCorrValueBeforeEdit); });
  });
  for (auto signal : {&TStringGrid::Entered, &TStringGrid::Left})
    connect(sgrdRPMTempCorr, signal, this,
            [this, warmUp] { RunCommand([&] { CheckCurrent(sgrdRPMTempCorr, warmUp); }); });
  connect(sgrdRPMTempCorr, &TStringGrid::CellChanging, this,
          [this, warmUp](int c, int r, int, int) {
            RunCommand([&] { CheckCell(sgrdRPMTempCorr, c, r, warmUp); });
          });
}
