// A log laid over a part-load map: cells, statistics and filters.
#include <gtest/gtest.h>

#include <vector>

#include "analysis/LogAnalysis.h"
#include "telemetry/LiveCell.h"

namespace {

// Columns 1000, 2000, 3000 rpm; rows 8, 4, 2 ms (loads falling from the top).
TMapAxes SmallMap() {
  return {{1000.0, 2000.0, 3000.0}, {8.0, 4.0, 2.0}};
}

LiveRecord Record(double time, double rpm, double load, double o2 = 0.5, double tps = 10,
                  double clt = 90) {
  LiveRecord r{};
  r[kTime] = time;
  r[kRPM] = rpm;
  r[kLOAD] = load;
  r[kO2] = o2;
  r[kTPS] = tps;
  r[kCLT] = clt;
  return r;
}

}  // namespace

// The analysis places a record where the live mark would: the same search, header for
// header, on maps with ties, edges and empty headers.
TEST(LogCells, RecordsFallWhereTheLiveMarkWouldShow) {
  const std::vector<TMapAxes> maps = {
      SmallMap(),
      {{std::nullopt, 1500.0, std::nullopt, 4000.0}, {10.0, std::nullopt, 3.0, 1.0}},
      {{800.0, 800.0, 2000.0}, {5.0, 5.0, 2.0}},  // equal headers
  };
  for (const TMapAxes& axes : maps) {
    auto rpmHeader = [&](int c) { return axes.rpm[static_cast<size_t>(c - 1)]; };
    auto loadHeader = [&](int r) { return axes.load[static_cast<size_t>(r - 1)]; };
    for (double rpm : {0.0, 799.0, 800.0, 999.5, 1000.0, 1500.4, 1999.5, 2000.0, 2500.5, 9000.0})
      for (double load : {0.5, 1.0, 2.0, 3.0, 4.0, 4.5, 5.0, 8.0, 10.0, 20.0}) {
        const TCellIndex cell = CellOf(axes, rpm, load);
        EXPECT_EQ(cell.col + 1, FindLiveColumn(rpmHeader, axes.Cols() + 1, rpm)) << rpm;
        EXPECT_EQ(cell.row + 1, FindLiveRow(loadHeader, axes.Rows() + 1, load)) << load;
      }
  }
}

TEST(LogCells, EdgesTiesAndEmptyHeaders) {
  const TMapAxes axes = SmallMap();
  EXPECT_EQ(CellOf(axes, 1999.4, 5), (TCellIndex{0, 0}));  // below 2000: column 0
  EXPECT_EQ(CellOf(axes, 1999.5, 5), (TCellIndex{1, 0}));  // taken as 2000 (half to even)
  EXPECT_EQ(CellOf(axes, 2000, 4), (TCellIndex{1, 1}));    // a load equal to a header: its row
  EXPECT_EQ(CellOf(axes, 2000, 4.01), (TCellIndex{1, 0}));
  EXPECT_EQ(CellOf(axes, 50, 0.1), (TCellIndex{0, 2}));  // below every header: the last row
  EXPECT_EQ(CellOf(axes, 9e9, 99), (TCellIndex{2, 0}));  // beyond every header: the far ends
  // An empty header is passed over: 2500 rpm goes on to the column of the empty header.
  const TMapAxes gaps{{1000.0, std::nullopt, 3000.0}, {8.0, std::nullopt, 2.0}};
  EXPECT_EQ(CellOf(gaps, 2500, 3), (TCellIndex{1, 1}));
  // A map of one data column or row has no cell, as the live mark shows none.
  EXPECT_FALSE(CellOf({{1000.0}, {8.0, 4.0}}, 2000, 5).Valid());
  EXPECT_FALSE(CellOf({{1000.0, 2000.0}, {}}, 2000, 5).Valid());
}

// Hand-computed: three records in cell (1, 1), two in (0, 2), one outside nothing.
TEST(LogAnalysis, CountsTimeAndChannelStatisticsPerCell) {
  const std::vector<LiveRecord> log = {
      Record(0.0, 2100, 3.0, 0.40),   // (1, 1), until 0.1
      Record(0.1, 2500, 3.5, 0.60),   // (1, 1), until 0.3
      Record(0.3, 1000, 1.0, 0.20),   // (0, 2), until 0.4
      Record(0.4, 2900, 2.5, 0.80),   // (1, 1), until 0.35: a step back counts as none
      Record(0.35, 1500, 1.5, 0.30),  // (0, 2), the last: no time
  };
  TAnalysisOptions options;
  options.minRecords = 3;
  const TLogAnalysis a = AnalyseLog(log.data(), 5, SmallMap(), options);
  ASSERT_EQ(a.cols, 3);
  ASSERT_EQ(a.rows, 3);
  const TCellStats& mid = a.At(1, 1);
  EXPECT_EQ(mid.count, 3);
  EXPECT_NEAR(mid.seconds, 0.1 + 0.2 + 0, 1e-12);
  EXPECT_NEAR(mid.Mean(), 0.6, 1e-12);
  EXPECT_EQ(mid.min, 0.40);
  EXPECT_EQ(mid.max, 0.80);
  EXPECT_FALSE(a.TooFew(1, 1));
  const TCellStats& low = a.At(0, 2);
  EXPECT_EQ(low.count, 2);
  EXPECT_NEAR(low.seconds, 0.1, 1e-12);
  EXPECT_NEAR(low.Mean(), 0.25, 1e-12);
  EXPECT_TRUE(a.TooFew(0, 2));
  EXPECT_TRUE(a.TooFew(2, 0));  // empty
  EXPECT_EQ(a.At(2, 0).count, 0);
  EXPECT_EQ(a.records, 5);
  EXPECT_EQ(a.filtered, 0);
  EXPECT_EQ(a.outside, 0);

  // Another channel, and the default threshold of ten.
  options = {};
  options.channel = kTPS;
  const std::vector<LiveRecord> tps = {Record(0, 2100, 3, 0.5, 10), Record(1, 2100, 3, 0.5, 30)};
  const TLogAnalysis b = AnalyseLog(tps.data(), 2, SmallMap(), options);
  EXPECT_EQ(b.At(1, 1).Mean(), 20);
  EXPECT_EQ(b.At(1, 1).max, 30);
  EXPECT_TRUE(b.TooFew(1, 1));
}

TEST(LogAnalysis, FiltersTakeOutColdEngineMovingThrottleAndTimeOutsideTheRange) {
  const std::vector<LiveRecord> log = {
      Record(0, 2100, 3, 0.5, 10, 60),  // cold
      Record(1, 2100, 3, 0.5, 10, 85),  // warm, steady
      Record(2, 2100, 3, 0.5, 11, 85),  // steady (change 1 both ways)
      Record(3, 2100, 3, 0.5, 12, 85),  // next change 8: not steady
      Record(4, 2100, 3, 0.5, 20, 85),  // change 8 from the one before
      Record(5, 2100, 3, 0.5, 21, 80),  // exactly at the coolant threshold: taken out
  };
  TAnalysisOptions options;
  options.filter.minCoolant = 80;
  EXPECT_EQ(AnalyseLog(log.data(), 6, SmallMap(), options).At(1, 1).count, 4);
  options.filter.maxTpsStep = 2;
  const TLogAnalysis a = AnalyseLog(log.data(), 6, SmallMap(), options);
  EXPECT_EQ(a.At(1, 1).count, 2);
  EXPECT_EQ(a.filtered, 4);
  // The steadiness looks at neighbours in the log, whether or not they pass themselves.
  EXPECT_TRUE(PassesFilter(log.data(), 6, 1, options.filter));
  EXPECT_FALSE(PassesFilter(log.data(), 6, 3, options.filter));
  options.filter = {};
  options.filter.timeFrom = 1;
  options.filter.timeTo = 3;
  const TLogAnalysis t = AnalyseLog(log.data(), 6, SmallMap(), options);
  EXPECT_EQ(t.At(1, 1).count, 3);
  EXPECT_EQ(t.At(1, 1).seconds, 3);  // each stands for the second to the next record
  // A single record has no neighbours and is steady.
  options.filter = {};
  options.filter.maxTpsStep = 0.5;
  EXPECT_EQ(AnalyseLog(log.data(), 1, SmallMap(), options).At(1, 1).count, 1);
}

TEST(LogAnalysis, RecordsOnAMapWithoutCellsAreCountedOutside) {
  const std::vector<LiveRecord> log = {Record(0, 2100, 3), Record(1, 2100, 3)};
  const TLogAnalysis a = AnalyseLog(log.data(), 2, {{1000.0}, {8.0, 4.0}});
  EXPECT_EQ(a.outside, 2);
  EXPECT_EQ(a.cells.size(), 2u);
}
