#pragma once
// The table of target air-fuel ratios per fuel map cell as a file: tab-separated text, a
// header line "AFR" and the map's rpm headers, then one line per map row with its load
// header and the targets, to a tenth. The log analysis window saves and loads it, the
// command line reads it with --target-table.

#include <QString>
#include <optional>
#include <vector>

#include "analysis/MapCells.h"

// The targets a tuner sets: from very rich (full load, cooling) to lean cruising.
constexpr double kTargetAfrLow = 9.0;
constexpr double kTargetAfrHigh = 20.0;

// A target to the tenth the table holds.
double TargetTenth(double value);

// The file's text for `targets` (row by row as the map's cells) on `axes`, numbers written
// with `separator`.
QString TargetTableText(const TMapAxes& axes, const std::vector<double>& targets, QChar separator);

// The targets of a file's text, row by row; none when its shape, its headers (they must be the
// map's) or a target (a number within the limits) does not fit. A trailing CR and blank lines
// at the end are allowed.
std::optional<std::vector<double>> ParseTargetTable(const QString& text, const TMapAxes& axes,
                                                    QChar separator);
