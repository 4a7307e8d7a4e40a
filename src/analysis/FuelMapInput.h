#pragma once
// The part-load fuel map of the calibration document as the fuel correction takes it: the
// axes and factors as the grid shows them, the factor the unit uses for each, and the cells'
// own rules (limits, storable values, code step). The log analysis window and the command
// line both build their correction input here, so that they propose the same factors.

#include "analysis/FuelCorrection.h"
#include "calibration/Calibration.h"

// A map's axes as its grid shows them: the rpm headers of row 0, the loads of column 0.
TMapAxes AxesOfTable(const TCalTable& table);

// The data cells' values row by row (NaN where a text is no number).
std::vector<double> ValuesOfTable(const TCalTable& table);

// `table` must be the document's FuelMain table; the input keeps its own copy of the rules.
// Everything else (sensor, targets, step, authority, filters) keeps its default.
TFuelCorrectionInput FuelMapInput(const TCalTable& table);

// The step of cell edits that applies a proposal to the fuel map: every changed cell with the
// value its rule shows for the proposed factor.
TEditStep CorrectionStep(const TCalTable& table, const TFuelCorrection& correction,
                         const QString& title);
