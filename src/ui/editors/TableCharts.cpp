// The table charts redrawn from the grid cells after an edit, and the lambda sensor line.
#include <QDoubleSpinBox>
#include <algorithm>
#include <vector>

#include "common/DecimalText.h"
#include "editors/LineChart.h"
#include "editors/MapEditors.h"
#include "editors/StringGrid.h"

namespace {
// Row 0 against row 1 of a grid, one point per column; the ranges run from column 0 and
// the pen starts at the origin.
void DrawRows(TLineChart* chart, TStringGrid* grid, double yTopExtra) {
  std::vector<double> x, y;
  for (int c = 0; c < grid->ColCount(); ++c) {
    x.push_back(StrToFloat(grid->Cell(c, 0)));
    y.push_back(StrToFloat(grid->Cell(c, 1)));
  }
  TMapEditors::DrawCurve(chart, x, y, yTopExtra);
}
}  // namespace

void TMapEditors::DrawCurve(TLineChart* chart, const std::vector<double>& x,
                            const std::vector<double>& y, double yTopExtra) {
  const size_t n = std::min(x.size(), y.size());
  if (n == 0) return;
  const auto [xMin, xMax] = std::minmax_element(x.begin(), x.begin() + n);
  const auto [yMin, yMax] = std::minmax_element(y.begin(), y.begin() + n);
  chart->SetXRange(*xMin, *xMax);
  chart->SetYRange(*yMin, *yMax + yTopExtra);
  chart->Clear();
  chart->MoveTo(0, 0);
  for (size_t i = 0; i < n; ++i) chart->LineTo(x[i], y[i]);
  chart->Show();
}

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
  if (x.empty()) return;
  const double xMin = *std::min_element(x.begin(), x.end());
  const double yMin = *std::min_element(y.begin(), y.end());
  chrtMAF->SetXRange(xMin, *std::max_element(x.begin(), x.end()));
  chrtMAF->SetYRange(yMin, *std::max_element(y.begin(), y.end()) + 1);
  chrtMAF->Clear();
  chrtMAF->MoveTo(xMin, yMin);
  for (size_t i = 0; i < x.size(); ++i) chrtMAF->LineTo(x[i], y[i]);
  chrtMAF->Show();
}

void TMapEditors::DrawLambda() {
  // The wide-band sensor's line falls from the maximum voltage at 10 to the minimum at 20.
  chrtLambda->SetXRange(10, 20);
  chrtLambda->SetYRange(seLamMin->value(), seLamMax->value());
  chrtLambda->Clear();
  chrtLambda->MoveTo(10, seLamMax->value());
  chrtLambda->LineTo(20, seLamMin->value());
  chrtLambda->Show();
}
