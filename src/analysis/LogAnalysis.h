#pragma once
// A telemetry log laid over a part-load map: which cell every record falls in (the cell the
// live mark would show for its RPM and LOAD), how many records and how much time each cell
// got, and the mean, minimum and maximum of one channel there. Filters keep the records a
// tuner trusts: a warm engine, a steady throttle, a stretch of the drive.

#include <cstdint>
#include <vector>

#include "analysis/MapCells.h"
#include "telemetry/LiveRecord.h"

// What one cell gathered.
struct TCellStats {
  int64_t count = 0;
  // The time the engine spent there: each record stands for the time until the next
  // record of the log (the last one for none; a step back in time counts as none).
  double seconds = 0;
  double sum = 0;
  double min = 0;
  double max = 0;

  double Mean() const { return count > 0 ? sum / static_cast<double>(count) : 0; }
};

struct TAnalysisOptions {
  LiveSlot channel = kO2;  // the channel whose mean, minimum and maximum are gathered
  TLogFilter filter;
  int minRecords = 10;  // cells with fewer records are "too few"
};

struct TLogAnalysis {
  int cols = 0;
  int rows = 0;
  LiveSlot channel = kO2;
  int minRecords = 10;
  std::vector<TCellStats> cells;  // row by row: cells[row * cols + col]
  int64_t records = 0;            // records in the log
  int64_t filtered = 0;           // taken out by the filter
  int64_t outside = 0;            // passed the filter but fell in no cell

  const TCellStats& At(int col, int row) const {
    return cells[static_cast<size_t>(row) * static_cast<size_t>(cols) + static_cast<size_t>(col)];
  }
  // Fewer records than the threshold (an empty cell too): its numbers are not to be trusted.
  bool TooFew(int col, int row) const { return At(col, row).count < minRecords; }
};

// Lays `count` records over a map with `axes` and gathers the chosen channel per cell.
TLogAnalysis AnalyseLog(const LiveRecord* records, int64_t count, const TMapAxes& axes,
                        const TAnalysisOptions& options = {});
