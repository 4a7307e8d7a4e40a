// The live operating point's cell on the part-load maps.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "telemetry/LiveCell.h"

namespace {
HeaderValue Headers(std::vector<std::optional<double>> values) {
  return [values](int i) { return i < static_cast<int>(values.size()) ? values[i] : std::nullopt; };
}
// Row 0 of a 17-column map: the corner, then 600, 1000, ... rpm.
HeaderValue RpmAxis() {
  std::vector<std::optional<double>> h{std::nullopt};
  for (int i = 0; i < 16; ++i) h.push_back(600 + 400 * i);
  return Headers(h);
}
}  // namespace

TEST(LiveCell, ColumnIsTheLastHeaderNotAboveTheRoundedSpeed) {
  // Headers 600 (col 1), 1000 (col 2), ..., 2600 (col 6), 3000 (col 7).
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 17, 2600), 6);
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 17, 2999.4), 6);
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 17, 2999.6), 7);  // compared as 3000
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 17, 100), 1);     // column 1 at the least
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 17, 9000), 16);   // runs to the last column
}

TEST(LiveCell, SpeedIsRoundedHalfToEven) {
  // 2749.6 is compared as 2750: a header of 2750 does not stop the search, 2760 does.
  EXPECT_EQ(FindLiveColumn(Headers({std::nullopt, 2000, 2750, 3000}), 4, 2749.6), 2);
  EXPECT_EQ(FindLiveColumn(Headers({std::nullopt, 2000, 2760, 3000}), 4, 2749.6), 1);
  EXPECT_EQ(FindLiveColumn(Headers({std::nullopt, 2000, 2750, 3000}), 4, 2749.5), 2);  // 2750
  EXPECT_EQ(FindLiveColumn(Headers({std::nullopt, 2000, 2749, 3000}), 4, 2748.5), 1);  // 2748
}

TEST(LiveCell, EmptyHeadersNeverStopASearch) {
  EXPECT_EQ(FindLiveColumn(Headers({std::nullopt, 600, std::nullopt, std::nullopt, 9000}), 5, 3000),
            3);
  EXPECT_EQ(FindLiveRow(Headers({std::nullopt, 10, std::nullopt, 2}), 4, 5), 2);
}

TEST(LiveCell, RowIsTheLastHeaderNotBelowTheLoad) {
  // Loads fall from 10 ms at the top to 1 ms at the bottom.
  auto loads = Headers({std::nullopt, 10, 8, 6, 4, 2, 1});
  EXPECT_EQ(FindLiveRow(loads, 7, 6), 3);  // equal to a header: does not stop there
  EXPECT_EQ(FindLiveRow(loads, 7, 5.9), 3);
  EXPECT_EQ(FindLiveRow(loads, 7, 6.1), 2);
  EXPECT_EQ(FindLiveRow(loads, 7, 20), 1);
  EXPECT_EQ(FindLiveRow(loads, 7, 0.5), 6);
}

TEST(LiveCell, SmallMapsGiveZero) {
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 2, 3000), 0);
  EXPECT_EQ(FindLiveRow(RpmAxis(), 2, 3), 0);
}

// Values no integer holds still place the cell (the search compares floats).
TEST(LiveCell, AbsurdSpeedsStillGiveACell) {
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 17, 1e30), 16);
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 17, -1e30), 1);
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 17, HUGE_VAL), 16);
  EXPECT_EQ(FindLiveColumn(RpmAxis(), 17, NAN), 16);
}
