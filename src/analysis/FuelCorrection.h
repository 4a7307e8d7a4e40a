#pragma once
// A fuel correction from a wide-band lambda sensor: the O2 voltages of the records in each
// cell of the part-load fuel map become air-fuel ratios through the lambda panel's sensor
// line, and the cell's factor is proposed as current x measured / target, limited to a step
// and to the cell's limits and taken to a value the table can store. Nothing is applied
// here; the caller shows the proposal and applies it as one step.

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/LogAnalysis.h"
#include "telemetry/WideBand.h"

struct TFactorLimits {
  double low = 0;
  double high = 0;
};

struct TFuelCorrectionInput {
  TMapAxes axes;                // the fuel map's axes
  std::vector<double> current;  // its factors, row by row: current[row * cols + col]
  // The lambda panel: the sensor type (narrow-band sensors are refused) and its range.
  bool wideBand = true;
  TWideBandRange sensor;
  // The wanted ratio: the table (same shape as `current`) when given, else one ratio.
  double targetAfr = 14.7;
  std::vector<double> targetTable;
  // The largest change of a factor in one correction, as a fraction of it (0.05 is 5 %).
  double maxStep = 0.05;
  // Cells with fewer records keep their factor.
  int minRecords = 10;
  TLogFilter filter;
  // The cell's limits; without it a factor is not limited beyond the step.
  std::function<TFactorLimits(int col, int row)> limits;
  // The storable value nearest to a factor of the cell (a fuel code's value); without it
  // factors are proposed as computed.
  std::function<double(int col, int row, double factor)> quantise;
};

struct TFuelCorrection {
  // Not empty when no correction can be proposed: the reason, for the user.
  QString refusal;
  int cols = 0;
  int rows = 0;
  // Row by row as the input: the proposed factor (the current one where nothing changes),
  // the mean measured ratio (NaN in cells without records), the records used, and whether
  // the cell changes.
  std::vector<double> proposed;
  std::vector<double> measuredAfr;
  std::vector<int64_t> counts;
  std::vector<char> changed;

  bool Refused() const { return !refusal.isEmpty(); }
  double At(int col, int row) const { return proposed[Index(col, row)]; }
  size_t Index(int col, int row) const {
    return static_cast<size_t>(row) * static_cast<size_t>(cols) + static_cast<size_t>(col);
  }
};

// The proposal for `count` records; refused (with the reason) for a narrow-band sensor, a
// sensor range whose maximum is not above its minimum, a target that is not a positive
// ratio, or a factor or target table of the wrong size.
TFuelCorrection ProposeFuelCorrection(const LiveRecord* records, int64_t count,
                                      const TFuelCorrectionInput& input);

// The factor a cell gets: `wanted` held within the step window around `current` and the
// limits, then quantised; when the quantised value falls outside, the storable value nearest
// to it inside is taken, and when there is none the factor stays `current`.
double LimitedFactor(double current, double wanted, double maxStep, const TFactorLimits& limits,
                     const std::function<double(double)>& quantise);
