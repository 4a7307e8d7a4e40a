// The 13-colour scale of the part-load maps and the live operating-point mark.
#include <QPainter>
#include <QToolButton>
#include <algorithm>

#include "app/mainfrm.h"
#include "telemetry/LiveCell.h"
#include "common/DecimalText.h"
#include "editors/ColorLegend.h"
#include "editors/EditorRules.h"
#include "editors/MapEditors.h"
#include "editors/StringGrid.h"
#include "editors/uTableColors.h"

namespace {
// Minimum and maximum over the data cells, starting from cell (1, 1).
void DataRange(TStringGrid* grid, double& low, double& high) {
  low = high = StrToFloat(grid->Cell(1, 1));
  for (int r = 1; r < grid->RowCount(); ++r)
    for (int c = 1; c < grid->ColCount(); ++c) {
      const double v = StrToFloat(grid->Cell(c, r));
      if (v > high) high = v;
      if (v < low) low = v;
    }
}

void FillCell(QPainter& painter, const QRect& rect, const QColor& color, const QString& text) {
  painter.fillRect(rect, color);
  painter.setPen(Qt::black);
  painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, text);
}
}  // namespace

void TMapEditors::RecomputeFuelRange(bool widen) {
  if (sgFuelMain->ColCount() < 2 || sgFuelMain->RowCount() < 2) return;
  DataRange(sgFuelMain, FuelRangeMin, FuelRangeMax);
  const double low = FuelRangeMin, high = FuelRangeMax;
  if (widen) {
    FuelRangeMax += 0.1;
    FuelRangeMin -= 0.1;
  }
  FuelLegend->SetEnds(FloatToStr(low), FuelColorIndex(low, FuelRangeMin, FuelRangeMax),
                      FloatToStr(high), FuelColorIndex(high, FuelRangeMin, FuelRangeMax));
}

void TMapEditors::RecomputeSparkRange(bool widen) {
  if (sgIgnMain->ColCount() < 2 || sgIgnMain->RowCount() < 2) return;
  DataRange(sgIgnMain, SparkRangeMin, SparkRangeMax);
  const double low = SparkRangeMin, high = SparkRangeMax;
  if (widen) {
    SparkRangeMax += 0.01;
    SparkRangeMin -= 0.01;
  }
  SparkLegend->SetEnds(FloatToStr(low), SparkColorIndex(low, SparkRangeMin, SparkRangeMax),
                       FloatToStr(high), SparkColorIndex(high, SparkRangeMin, SparkRangeMax));
}

bool TMapEditors::PaintMapCell(TStringGrid* grid, bool fuel, QPainter& painter, const QRect& rect,
                               int col, int row) {
  const QString text = grid->Cell(col, row);
  // The live operating point: the RPM header of its column, the load header of its row,
  // and the cell where they cross.
  if (fForm.LiveMark().LiveLoopActive == 1 && (col == fForm.LiveMark().LiveCellCol || row == fForm.LiveMark().LiveCellRow)) {
    const bool header = col == 0 || row == 0;
    const bool cross = col == fForm.LiveMark().LiveCellCol && row == fForm.LiveMark().LiveCellRow;
    if (header || cross) {
      FillCell(painter, rect, LiveMarkColor(), text);
      return true;
    }
  }
  if (col > 0 && row > 0 && !text.isEmpty()) {
    // A cell whose text is not a number yet (being typed) keeps the default look.
    if (const auto value = TryStrToFloat(text, DecimalSeparator())) {
      const int index = fuel ? FuelColorIndex(*value, FuelRangeMin, FuelRangeMax)
                             : SparkColorIndex(*value, SparkRangeMin, SparkRangeMax);
      FillCell(painter, rect, index < 0 ? QColor(Qt::black) : TableColors()[index], text);
      return true;
    }
  }
  return false;
}

void TMapEditors::ConnectColorScale() {
  sgFuelMain->SetDrawCellHook([this](QPainter& p, const QRect& rect, int c, int r) {
    return PaintMapCell(sgFuelMain, true, p, rect, c, r);
  });
  sgIgnMain->SetDrawCellHook([this](QPainter& p, const QRect& rect, int c, int r) {
    return PaintMapCell(sgIgnMain, false, p, rect, c, r);
  });
  QToolButton* toggle = fForm.sbColorizeTable;
  connect(toggle, &QToolButton::clicked, this, [this, toggle] {
    sgFuelMain->Repaint();
    sgIgnMain->Repaint();
    toggle->setToolTip(toggle->isChecked() ? QStringLiteral("Убрать цветную градацию")
                                           : QStringLiteral("Включить цветную градацию"));
  });
}
