#pragma once
// Where the engine's operating point lies on the part-load maps: the column whose RPM
// header does not exceed the engine speed and the row whose load header is not below the
// load, searched over the header cells of the ignition map.

#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>

// The number in a header cell, or nothing for an empty (or non-numeric) header, which
// never stops a search.
using HeaderValue = std::function<std::optional<double>(int index)>;

// The searches themselves, over any callable that gives the header of a grid column (row 0)
// or a grid row (column 0) as std::optional<double>. The live mark calls them through
// HeaderValue; the log analysis calls them over its axis vectors directly, so that a million
// records place themselves without a call through std::function per header.
template <typename Header>
int SearchLiveColumn(const Header& rpmHeader, int colCount, double rpm) {
  const int n = colCount - 2;
  if (n <= 0) return 0;
  // The whole engine speed, ties to even, kept a float: no integer conversion, so any
  // value (even one no integer can hold) only decides where the search stops.
  const double speed = std::rint(rpm);
  int c = 1;
  for (int step = 0; step < n; ++step) {
    const std::optional<double> header = rpmHeader(c + 1);
    if (header && *header > speed) break;
    ++c;
  }
  return c;
}

template <typename Header>
int SearchLiveRow(const Header& loadHeader, int rowCount, double load) {
  const int m = rowCount - 2;
  if (m <= 0) return 0;
  int r = 1;
  for (int step = 0; step < m; ++step) {
    const std::optional<double> header = loadHeader(r + 1);
    if (header && *header < load) break;
    ++r;
  }
  return r;
}

// Column search over row-0 headers of a map with `colCount` columns; 0 when it has fewer
// than three columns. The engine speed is taken to the nearest whole rpm (halves to even).
int FindLiveColumn(const HeaderValue& rpmHeader, int colCount, double rpm);
// Row search over column-0 headers of a map with `rowCount` rows (loads falling from top to
// bottom); 0 when it has fewer than three rows.
int FindLiveRow(const HeaderValue& loadHeader, int rowCount, double load);

// The live operating point as the part-load maps mark it: written by the acquisition loop,
// read by the maps' colour scale.
struct TLiveMark {
  uint8_t LiveLoopActive = 0;  // 1 while the acquisition loop runs
  int32_t LiveCellCol = 0;
  int32_t LiveCellRow = 0;
};
