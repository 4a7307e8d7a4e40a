#include "common/MapInterpolation.h"

TAxisPosition AxisPosition(const std::vector<double>& axis, double x) {
  const int n = static_cast<int>(axis.size());
  if (n < 2) return {};
  const bool rising = axis[static_cast<size_t>(n - 1)] > axis[0];
  // a "before" b along the axis' own direction.
  const auto before = [rising](double a, double b) { return rising ? a < b : a > b; };
  if (!before(axis[0], x)) return {0, 0, 0};
  if (!before(x, axis[static_cast<size_t>(n - 1)])) return {n - 1, n - 1, 0};
  int lo = 0, hi = n - 1;  // axis[lo] before x, x before axis[hi]
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    if (before(x, axis[static_cast<size_t>(mid)]))
      hi = mid;
    else
      lo = mid;
  }
  const double a = axis[static_cast<size_t>(lo)], b = axis[static_cast<size_t>(hi)];
  return {lo, hi, (x - a) / (b - a)};
}

bool StrictlyMonotonic(const std::vector<double>& axis) {
  if (axis.size() < 2) return true;
  const bool rising = axis.back() > axis.front();
  for (size_t k = 1; k < axis.size(); ++k)
    if (rising ? !(axis[k] > axis[k - 1]) : !(axis[k] < axis[k - 1])) return false;
  return true;
}

TCellWeights BilinearWeights(const std::vector<double>& colAxis, const std::vector<double>& rowAxis,
                             double x, double y) {
  const TAxisPosition c = AxisPosition(colAxis, x);
  const TAxisPosition r = AxisPosition(rowAxis, y);
  const size_t cols = colAxis.size();
  const auto at = [cols](int col, int row) {
    return static_cast<size_t>(row) * cols + static_cast<size_t>(col);
  };
  TCellWeights w;
  w.cell = {at(c.low, r.low), at(c.high, r.low), at(c.low, r.high), at(c.high, r.high)};
  w.weight = {(1 - c.t) * (1 - r.t), c.t * (1 - r.t), (1 - c.t) * r.t, c.t * r.t};
  const auto outside = [](const std::vector<double>& axis, const TAxisPosition& p, double v) {
    if (axis.size() < 2 || p.low != p.high) return false;
    return v != axis[static_cast<size_t>(p.low)];
  };
  w.beyond = outside(colAxis, c, x) || outside(rowAxis, r, y);
  return w;
}

double Interpolate(const std::vector<double>& colAxis, const std::vector<double>& rowAxis,
                   const std::vector<double>& values, double x, double y) {
  const TCellWeights w = BilinearWeights(colAxis, rowAxis, x, y);
  double sum = 0;
  for (size_t k = 0; k < 4; ++k) sum += w.weight[k] * values[w.cell[k]];
  return sum;
}
