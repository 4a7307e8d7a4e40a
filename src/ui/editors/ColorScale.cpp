// TMapEditors' colour scale of the part-load maps: the range of each map, the colour of each cell
// and the live operating-point mark.
#include <QPainter>
#include <QToolButton>
#include <algorithm>

#include "common/DecimalText.h"
#include "ui/editors/ColorLegend.h"
#include "ui/editors/EditorRules.h"
#include "ui/editors/MapEditors.h"
#include "ui/editors/TableColors.h"
#include "ui/widgets/StringGrid.h"

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

int TMapEditors::ColorIndex(bool fuel, double value) const {
  return fuel ? FuelColorIndex(value, FuelRangeMin, FuelRangeMax)
              : SparkColorIndex(value, SparkRangeMin, SparkRangeMax);
}

void TMapEditors::RecomputeRange(TStringGrid* grid, bool fuel, double& low, double& high,
                                 double widening, bool widen) {
  if (grid->ColCount() < 2 || grid->RowCount() < 2) return;
  DataRange(grid, low, high);
  const double dataLow = low, dataHigh = high;
  if (widen) {
    high += widening;
    low -= widening;
  }
  (fuel ? FuelLegend : SparkLegend)
      ->SetEnds(FloatToStr(dataLow), ColorIndex(fuel, dataLow), FloatToStr(dataHigh),
                ColorIndex(fuel, dataHigh));
}

void TMapEditors::RecomputeFuelRange(bool widen) {
  RecomputeRange(sgFuelMain, true, FuelRangeMin, FuelRangeMax, 0.1, widen);
}

void TMapEditors::RecomputeSparkRange(bool widen) {
  RecomputeRange(sgIgnMain, false, SparkRangeMin, SparkRangeMax, 0.01, widen);
}

bool TMapEditors::PaintMapCell(TStringGrid* grid, bool fuel, QPainter& painter, const QRect& rect,
                               int col, int row) {
  const QString text = grid->Cell(col, row);
  // The live operating point: the RPM header of its column, the load header of its row,
  // and the cell where they cross.
  const LiveMark live = LiveCell();
  if (live.active && (col == live.col || row == live.row)) {
    const bool header = col == 0 || row == 0;
    const bool cross = col == live.col && row == live.row;
    if (header || cross) {
      FillCell(painter, rect, LiveMarkColor(), text);
      return true;
    }
  }
  if (col > 0 && row > 0 && !text.isEmpty()) {
    // A cell whose text is not a number yet (being typed) keeps the default look.
    if (const auto value = TryStrToFloat(text, DecimalSeparator())) {
      const int index = ColorIndex(fuel, *value);
      FillCell(painter, rect, index < 0 ? QColor(Qt::black) : TableColors()[index], text);
      return true;
    }
  }
  return false;
}

void TMapEditors::ConnectColorScale(QToolButton* toggle) {
  sgFuelMain->SetDrawCellHook([this](QPainter& p, const QRect& rect, int c, int r) {
    return PaintMapCell(sgFuelMain, true, p, rect, c, r);
  });
  sgIgnMain->SetDrawCellHook([this](QPainter& p, const QRect& rect, int c, int r) {
    return PaintMapCell(sgIgnMain, false, p, rect, c, r);
  });
  connect(toggle, &QToolButton::clicked, this, [this, toggle] {
    sgFuelMain->Repaint();
    sgIgnMain->Repaint();
    toggle->setToolTip(toggle->isChecked() ? tr("Убрать цветную градацию")
                                           : tr("Включить цветную градацию"));
  });
}
