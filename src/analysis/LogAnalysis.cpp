#include "analysis/LogAnalysis.h"

#include "analysis/CellGathering.h"

TLogAnalysis AnalyseLog(const LiveRecord* records, int64_t count, const TMapAxes& axes,
                        const TAnalysisOptions& options) {
  TLogAnalysis result;
  result.cols = axes.Cols();
  result.rows = axes.Rows();
  result.channel = options.channel;
  result.minRecords = options.minRecords;
  result.records = count;
  result.cells.resize(static_cast<size_t>(result.cols) * static_cast<size_t>(result.rows));
  const int slot = options.channel;
  analysis_detail::ForEachPlacedRecord(records, count, axes, options.filter, result.filtered,
                                       result.outside,
                                       [&](size_t cell, const LiveRecord& r, double seconds) {
                                         TCellStats& s = result.cells[cell];
                                         const double v = r[slot];
                                         if (s.count == 0) {
                                           s.min = s.max = v;
                                         } else {
                                           s.min = std::fmin(s.min, v);
                                           s.max = std::fmax(s.max, v);
                                         }
                                         ++s.count;
                                         s.sum += v;
                                         s.seconds += seconds;
                                       });
  return result;
}
