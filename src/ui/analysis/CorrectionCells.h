#pragma once
// How the log analysis window shows each cell of a fuel correction: its colour in the
// proposal table, its tooltip (records, weight, measured and target AFR, the change and why a
// cell stays), and the legend of the colours.

#include <QColor>
#include <QString>
#include <functional>

#include "analysis/FuelCorrection.h"

// The fill of cell `i`: richer (a larger factor) warm red, leaner blue, locked pale yellow,
// unchanged white. `current` is the cell's factor now.
QColor CorrectionCellColour(const TFuelCorrection& c, size_t i, double current);
// Whether its text is grey: too little data for a change.
bool CorrectionCellFaint(const TFuelCorrection& c, size_t i);
// The tooltip; `shown` gives the text a factor shows as in the fuel map.
QString CorrectionCellTip(const TFuelCorrection& c, size_t i, double current,
                          const std::function<QString(double)>& shown);
// The legend under the table, as rich text.
QString CorrectionLegend();
