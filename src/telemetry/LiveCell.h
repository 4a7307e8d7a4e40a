#pragma once
// Where the engine's operating point lies on the part-load maps: the column whose RPM
// header does not exceed the engine speed and the row whose load header is not below the
// load, searched over the header cells of the ignition map.

#include <cstdint>
#include <functional>
#include <optional>

// The number in a header cell, or nothing for an empty (or non-numeric) header, which
// never stops a search.
using HeaderValue = std::function<std::optional<double>(int index)>;

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
