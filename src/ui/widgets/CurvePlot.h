#pragma once
// One way of drawing a table's curve on a pen-plotter chart (TLineChart, or any chart with
// its SetXRange, SetYRange, Clear, MoveTo, LineTo and Show): both ranges run from the
// smallest to the largest value, the top of y raised by a margin, the pen starts at the
// origin or at the lower left corner of the ranges, then draws to every point in turn.

#include <algorithm>
#include <cstddef>
#include <vector>

enum class PenStart { Origin, LowerLeft };

// Draws y[i] against x[i] for the points both vectors have; with none, the chart keeps
// what it showed.
template <typename Chart>
void PlotCurve(Chart& chart, const std::vector<double>& x, const std::vector<double>& y,
               double yTopExtra, PenStart start = PenStart::Origin) {
  const size_t n = std::min(x.size(), y.size());
  if (n == 0) return;
  const auto [xMin, xMax] = std::minmax_element(x.begin(), x.begin() + n);
  const auto [yMin, yMax] = std::minmax_element(y.begin(), y.begin() + n);
  chart.SetXRange(*xMin, *xMax);
  chart.SetYRange(*yMin, *yMax + yTopExtra);
  chart.Clear();
  if (start == PenStart::Origin)
    chart.MoveTo(0, 0);
  else
    chart.MoveTo(*xMin, *yMin);
  for (size_t i = 0; i < n; ++i) chart.LineTo(x[i], y[i]);
  chart.Show();
}
