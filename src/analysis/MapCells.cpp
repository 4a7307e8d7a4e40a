#include "analysis/MapCells.h"

#include <cmath>

#include "telemetry/LiveCell.h"

TCellIndex CellOf(const TMapAxes& axes, double rpm, double load) {
  const int col = SearchLiveColumn([&axes](int c) { return axes.rpm[static_cast<size_t>(c - 1)]; },
                                   axes.Cols() + 1, rpm);
  const int row = SearchLiveRow([&axes](int r) { return axes.load[static_cast<size_t>(r - 1)]; },
                                axes.Rows() + 1, load);
  if (col <= 0 || row <= 0) return {};
  return {col - 1, row - 1};
}

bool PassesFilter(const LiveRecord* records, int64_t count, int64_t i, const TLogFilter& filter) {
  const LiveRecord& r = records[i];
  if (filter.minCoolant && !(r[kCLT] > *filter.minCoolant)) return false;
  if (filter.timeFrom && !(r[kTime] >= *filter.timeFrom)) return false;
  if (filter.timeTo && !(r[kTime] <= *filter.timeTo)) return false;
  if (filter.maxTpsStep) {
    const double limit = *filter.maxTpsStep;
    if (i > 0 && !(std::fabs(r[kTPS] - records[i - 1][kTPS]) < limit)) return false;
    if (i + 1 < count && !(std::fabs(records[i + 1][kTPS] - r[kTPS]) < limit)) return false;
  }
  return true;
}
