#pragma once
// analyze's report of the fuel correction: the settings it used, what each filter removed,
// and per fuel map cell the current and proposed factors, measured and target ratios, the
// records' weight and what became of the cell, as text tables or as JSON members.

#include <functional>
#include <string>

#include "analysis/FuelCorrection.h"

// Everything the correction was run with, named as the command line names it.
struct TFuelReportSettings {
  std::string image;  // the image's path, or "demo"
  std::string targetTable;
  std::string sensor;  // "V1:AFR1,V2:AFR2", "afr" or "lambda"
  std::string lockFile;
  int locked = 0;
};

// A number as the reports print it (full stop, no noise), "-" for none.
std::string ReportNumber(double v);
// The same in JSON: null for none.
std::string ReportJsonNumber(double v);

// A map-shaped table printed as the other commands print maps: rpm across, load ascending
// down, `cell(col, row)` the text of each cell.
void TextGrid(std::string& out, const std::string& title, const TMapAxes& axes,
              const std::function<std::string(int col, int row)>& cell);

// The text tables: the filters' counts, the settings, the proposal (* marks a change).
std::string FuelReportText(const TFuelCorrectionInput& in, const TFuelCorrection& fc,
                           const TFuelReportSettings& s);

// The JSON members (without braces) "settings", "filters" and "fuel".
std::string FuelReportJson(const TFuelCorrectionInput& in, const TFuelCorrection& fc,
                           const TFuelReportSettings& s);
