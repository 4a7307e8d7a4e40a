#pragma once
// The fuel correction from a wide-band lambda sensor, one function for the log analysis
// window and the command line. Each trusted record (RecordFilters.h) weighs on the four cells
// of the part-load fuel map around its RPM and LOAD with the bilinear weights the unit
// interpolates with; the factors are solved (weighted least squares) so that the delivery
// interpolated between them gives the target ratio at every record. A cell changes only with
// enough evidence (summed weight), outside a deadband (half a code step, or the uncertainty
// of its measurement), by at most a step per round and within an authority around the
// image's original factor, to a value its code can store; locked cells never change.
// Nothing is applied here: the caller shows the proposal and applies it as one step.

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/MapCells.h"
#include "analysis/RecordFilters.h"

struct TFactorLimits {
  double low = 0;
  double high = 0;
};

struct TFuelCorrectionInput {
  TMapAxes axes;                // the fuel map's axes as its grid shows them
  std::vector<double> current;  // its factors as shown, row by row: current[row * cols + col]
  // The factor the unit uses for a shown factor: the value of the code stored for it (the
  // map shows two decimals of a code step of 0.0075). Without it the shown factor is used.
  std::function<double(double shown)> exact;
  // The factors of the image as loaded (for the authority limit); empty: `current`.
  std::vector<double> original;
  // Cells the user locked (row by row as `current`; empty: none).
  std::vector<char> locked;
  // The lambda panel: narrow-band sensors are refused.
  bool wideBand = true;
  TO2Sensor sensor;
  // The wanted ratio: the table (same shape as `current`) when given, else one ratio.
  double targetAfr = 14.7;
  std::vector<double> targetTable;
  double maxStep = 0.05;    // the largest change in one round, a share of the factor
  double authority = 0.25;  // the largest distance from the original factor, a share of it
  double minWeight = 5;     // cells with less summed weight keep their factor
  TRecordFilters filters;
  // The cell's limits; without it a factor is not limited beyond step and authority.
  std::function<TFactorLimits(int col, int row)> limits;
  // The storable value nearest to a factor of the cell; without it factors stay as solved.
  std::function<double(int col, int row, double factor)> quantise;
  // The size of one code step at a factor (for the deadband); without it 0.0075.
  std::function<double(int col, int row, double factor)> codeStep;
};

// What became of a cell.
enum class TCellOutcome : char {
  NoData,    // no record weighs on it
  FewData,   // less weight than the minimum
  Locked,    // the user locked it
  Deadband,  // the solved factor lies within half a code step or the cell's uncertainty
  Kept,      // held by the step, the authority or the limits at its own value
  Changed,
};

struct TFuelCorrection {
  // Not empty when no correction can be proposed: the reason, for the user.
  QString refusal;
  int cols = 0;
  int rows = 0;
  // Row by row as the input. `measuredAfr` and `solved` are NaN in cells without records.
  std::vector<double> proposed;     // the proposed factor (the current one where unchanged)
  std::vector<double> solved;       // the factor the solve wants, before any limit
  std::vector<double> measuredAfr;  // the weighted mean ratio the cell's records measured
  std::vector<double> target;       // the cell's target ratio
  std::vector<double> weight;       // the summed bilinear weight of its records
  std::vector<double> uncertainty;  // of the solved factor (one standard error)
  std::vector<int64_t> counts;      // records that weigh on it at all
  std::vector<char> changed;
  std::vector<TCellOutcome> outcome;
  // Records in the log, removed by each filter, used, and of those beyond the map's axes
  // (they weigh on the edge cells, as the unit holds the edge value there).
  int64_t records = 0;
  std::array<int64_t, kRecordFilterCount> removed{};
  int64_t used = 0;
  int64_t beyond = 0;

  bool Refused() const { return !refusal.isEmpty(); }
  double At(int col, int row) const { return proposed[Index(col, row)]; }
  size_t Index(int col, int row) const {
    return static_cast<size_t>(row) * static_cast<size_t>(cols) + static_cast<size_t>(col);
  }
  int ChangedCount() const;
};

// The proposal for `count` records in time order; refused (with the reason) for a
// narrow-band sensor, a sensor line that is no line, a target that is not a positive ratio,
// axes with an empty or out-of-order header, or tables of the wrong size.
TFuelCorrection ProposeFuelCorrection(const LiveRecord* records, int64_t count,
                                      const TFuelCorrectionInput& input);

// The factor a cell gets: `wanted` held within the step window around `current` and the
// limits, then quantised; when the quantised value falls outside, the storable value nearest
// to it inside is taken, and when there is none the factor stays `current`.
double LimitedFactor(double current, double wanted, double maxStep, const TFactorLimits& limits,
                     const std::function<double(double)>& quantise);
