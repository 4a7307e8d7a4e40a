#pragma once
// The table of target air-fuel ratios, one per cell of the part-load fuel map, as the log
// analysis window saves it: tab-separated text, a header line of a corner field and the map's
// rpm headers, then one line per load header (as the grid shows them, loads falling) with
// the targets of its cells.

#include <QChar>
#include <QString>
#include <optional>
#include <vector>

#include "analysis/MapCells.h"

// True when `text` names the header `value`: the same number (within a relative 1e-9), or
// blank for a header that holds none. Either decimal mark is read.
bool SameAxisValue(const QString& text, const std::optional<double>& value, QChar decimal);

// The targets row by row (the rows of axes.load, rpm across), each to a tenth, when `text`
// has exactly the map's shape and headers and every target lies within low .. high; nothing
// when anything differs. Blank lines at the end are no rows; lines may end in CR LF.
std::optional<std::vector<double>> ParseTargetTable(const QString& text, const TMapAxes& axes,
                                                    double low, double high, QChar decimal);
