#pragma once
// The cells of a part-load map that log records fall in, and the filter that decides which
// records count.

#include <cstdint>
#include <optional>
#include <vector>

#include "telemetry/LiveRecord.h"

// A map's axes as its grid shows them: `rpm` the headers of columns 1, 2, ... (row 0), left
// to right; `load` the headers of rows 1, 2, ... (column 0), top to bottom, loads falling.
// An empty header (nothing, or a text that is no number) never stops the search.
struct TMapAxes {
  std::vector<std::optional<double>> rpm;
  std::vector<std::optional<double>> load;

  int Cols() const { return static_cast<int>(rpm.size()); }
  int Rows() const { return static_cast<int>(load.size()); }
};

// A data cell of a map, counted from 0 without the header row and column.
struct TCellIndex {
  int col = -1;
  int row = -1;

  bool Valid() const { return col >= 0 && row >= 0; }
  friend bool operator==(const TCellIndex&, const TCellIndex&) = default;
};

// The cell the live mark shows for `rpm` and `load` (the same search over the same headers);
// invalid when the map has fewer than two data columns or rows, where the mark shows none.
TCellIndex CellOf(const TMapAxes& axes, double rpm, double load);

// Which records count. Every limit is optional; a record must pass all that are set.
struct TLogFilter {
  // Warm engine only: CLT strictly above this.
  std::optional<double> minCoolant;
  // Steady throttle: the TPS change to the record before and to the record after (where
  // there is one) each strictly under this.
  std::optional<double> maxTpsStep;
  // A stretch of the log: Time within [timeFrom, timeTo], ends included.
  std::optional<double> timeFrom;
  std::optional<double> timeTo;
};

// Whether record i of the log passes the filter (its neighbours decide the steadiness).
bool PassesFilter(const LiveRecord* records, int64_t count, int64_t i, const TLogFilter& filter);
