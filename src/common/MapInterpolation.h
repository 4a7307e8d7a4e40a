#pragma once
// How the unit reads a two-axis map between its breakpoints: the operating point lies between
// two breakpoints on each axis, and the value is the bilinear blend of the four cells around
// it. Beyond the first or last breakpoint the unit holds the edge value. The fuel correction
// spreads each logged record over the same four cells with the same weights, and the virtual
// engine delivers fuel by the same rule.

#include <array>
#include <cstddef>
#include <vector>

// Where a value lies on an axis: between breakpoints `low` and `high` (equal at and beyond
// the ends), `t` the share of `high` (0 at `low`). The axis may rise or fall but must be
// strictly monotonic.
struct TAxisPosition {
  int low = 0;
  int high = 0;
  double t = 0;
};
TAxisPosition AxisPosition(const std::vector<double>& axis, double x);

// Whether an axis is strictly rising or strictly falling (one breakpoint counts as both).
bool StrictlyMonotonic(const std::vector<double>& axis);

// The four cells around a point and their weights (summing to 1), cells counted row by row
// (row * cols + col) on the axes as given; at an edge a cell may appear twice.
struct TCellWeights {
  std::array<size_t, 4> cell{};
  std::array<double, 4> weight{};
  // The point lies beyond the first or last breakpoint of an axis.
  bool beyond = false;
};
TCellWeights BilinearWeights(const std::vector<double>& colAxis, const std::vector<double>& rowAxis,
                             double x, double y);

// The value the unit reads at a point of a map given row by row on these axes.
double Interpolate(const std::vector<double>& colAxis, const std::vector<double>& rowAxis,
                   const std::vector<double>& values, double x, double y);
