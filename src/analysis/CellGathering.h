#pragma once
// The one pass over a log that both the per-cell statistics and the fuel correction make:
// every record that passes the filter is placed in its cell and handed, with the time it
// stands for, to a gatherer.

#include <cmath>
#include <cstdint>

#include "analysis/MapCells.h"
#include "telemetry/LiveCell.h"

namespace analysis_detail {

// The time record i stands for: until the next record, none for the last one or a step back.
inline double RecordSeconds(const LiveRecord* records, int64_t count, int64_t i) {
  if (i + 1 >= count) return 0;
  const double dt = records[i + 1][kTime] - records[i][kTime];
  return dt > 0 ? dt : 0;
}

// Calls gather(cellIndex, record, seconds) for every record that passes the filter and lies
// in a cell (cellIndex = row * cols + col); counts the others into filtered and outside.
template <typename Gather>
void ForEachPlacedRecord(const LiveRecord* records, int64_t count, const TMapAxes& axes,
                         const TLogFilter& filter, int64_t& filtered, int64_t& outside,
                         Gather&& gather) {
  const auto rpmHeader = [&axes](int c) { return axes.rpm[static_cast<size_t>(c - 1)]; };
  const auto loadHeader = [&axes](int r) { return axes.load[static_cast<size_t>(r - 1)]; };
  const int colCount = axes.Cols() + 1;
  const int rowCount = axes.Rows() + 1;
  for (int64_t i = 0; i < count; ++i) {
    if (!PassesFilter(records, count, i, filter)) {
      ++filtered;
      continue;
    }
    const LiveRecord& r = records[i];
    const int col = SearchLiveColumn(rpmHeader, colCount, r[kRPM]) - 1;
    const int row = SearchLiveRow(loadHeader, rowCount, r[kLOAD]) - 1;
    if (col < 0 || row < 0) {
      ++outside;
      continue;
    }
    gather(static_cast<size_t>(row) * static_cast<size_t>(axes.Cols()) + static_cast<size_t>(col),
           r, RecordSeconds(records, count, i));
  }
}

}  // namespace analysis_detail
