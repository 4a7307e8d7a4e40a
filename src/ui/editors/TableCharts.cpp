// The table charts redrawn from the grid cells after an edit, and the lambda sensor line.
#include <QDoubleSpinBox>
#include <algorithm>
#include <vector>

#include "common/DecimalText.h"
#include "telemetry/WideBand.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/CurvePlot.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/StringGrid.h"

namespace {
// Row 0 against row 1 of a grid, one point per column; the ranges run from column 0 and
// the pen starts at the origin.
void DrawRows(TLineChart* chart, TStringGrid* grid, double yTopExtra) {
  std::vector<double> x, y;
  for (int c = 0; c < grid->ColCount(); ++c) {
    x.push_back(StrToFloat(grid->Cell(c, 0)));
    y.push_back(StrToFloat(grid->Cell(c, 1)));
  }
  PlotCurve(*chart, x, y, yTopExtra);
}
}  // namespace

void TMapEditors::DrawXXIgnFromGrid() {
  DrawRows(chrtXXIgn, sgrdIgnXX, 1);
}

void TMapEditors::DrawMaxIgnFromGrid() {
  DrawRows(chrtMaxIgn, sgrdIgnMax, 1);
}

void TMapEditors::DrawMaxFuelFromGrid() {
  DrawRows(chrtMaxFuel, sgrdFuelMax, 0);
}

void TMapEditors::DrawMAFFromGrid() {
  // x: the meter values of column 1; y: the row numbers of column 0.
  std::vector<double> x, y;
  for (int n = 0; n < sgMAF->RowCount(); ++n) {
    x.push_back(StrToInt(sgMAF->Cell(1, n)));
    y.push_back(StrToInt(sgMAF->Cell(0, n)));
  }
  PlotCurve(*chrtMAF, x, y, 1, PenStart::LowerLeft);
}

void TMapEditors::DrawLambda() {
  // The wide-band sensor's line falls from the maximum voltage at 10 to the minimum at 20;
  // the log analysis reads voltages through the same line.
  const TWideBandRange range{seLamMin->value(), seLamMax->value()};
  chrtLambda->SetXRange(kWideBandAfrRich, kWideBandAfrLean);
  chrtLambda->SetYRange(range.minVolts, range.maxVolts);
  chrtLambda->Clear();
  chrtLambda->MoveTo(kWideBandAfrRich, range.VoltsAt(kWideBandAfrRich));
  chrtLambda->LineTo(kWideBandAfrLean, range.VoltsAt(kWideBandAfrLean));
  chrtLambda->Show();
}
