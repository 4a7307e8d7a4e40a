// The editors' rules on plain values: fitting, row mapping, colour index, rev limit snapping.
#include <gtest/gtest.h>

#include "ui/editors/EditorRules.h"

TEST(EditorRules, FittingTakesTheNearestWithHalvesToEven) {
  EXPECT_EQ(FitCellSize(350, 14), 23);  // 25 - 2
  EXPECT_EQ(FitCellSize(160, 7), 21);   // 22.86 -> 23 - 2
  EXPECT_EQ(FitCellSize(45, 2), 20);    // 22.5 -> 22 - 2
  EXPECT_EQ(FitCellSize(47, 2), 22);    // 23.5 -> 24 - 2
}

TEST(EditorRules, VariantTwoRowsAreSimplyReversed) {
  // 13 rows: grid row 1 shows table row 12, grid row 12 table row 1.
  EXPECT_EQ(MainMapTableRows(2, 12, 13, 1), std::vector<int>{12});
  EXPECT_EQ(MainMapTableRows(2, 12, 13, 12), std::vector<int>{1});
}

TEST(EditorRules, VariantOneSharesTheLastLowRowWithTheFirstHighRow) {
  // 8 low and 6 high rows: 14 grid rows; rows 1..6 show table rows 14..9, rows 7..13 show
  // table rows 7..1; grid row 6 also stands for table row 8.
  const int lo = 8, rows = 14;
  EXPECT_EQ(MainMapTableRows(1, lo, rows, 1), std::vector<int>{14});
  EXPECT_EQ(MainMapTableRows(1, lo, rows, 5), std::vector<int>{10});
  EXPECT_EQ(MainMapTableRows(1, lo, rows, 6), (std::vector<int>{9, 8}));
  EXPECT_EQ(MainMapTableRows(1, lo, rows, 7), std::vector<int>{7});
  EXPECT_EQ(MainMapTableRows(1, lo, rows, 13), std::vector<int>{1});
}

TEST(EditorRules, FuelColourIndex) {
  // Range 0.9..1.3 (data 1.0..1.2 widened by 0.1).
  EXPECT_EQ(FuelColorIndex(1.0, 0.9, 1.3), 3);
  EXPECT_EQ(FuelColorIndex(1.1, 0.9, 1.3), 6);
  EXPECT_EQ(FuelColorIndex(1.2, 0.9, 1.3), 9);
  EXPECT_EQ(FuelColorIndex(0.69, 0.9, 1.3), 0);
  EXPECT_EQ(FuelColorIndex(1.51, 0.9, 1.3), 12);
  // An all-ones map: black before widening, the middle colour after.
  EXPECT_EQ(FuelColorIndex(1.0, 1.0, 1.0), -1);
  EXPECT_EQ(FuelColorIndex(1.0, 0.9, 1.1), 6);
  // Outside the range the nearer end of the table.
  EXPECT_EQ(FuelColorIndex(1.45, 0.9, 1.3), 12);
  EXPECT_EQ(FuelColorIndex(0.75, 0.9, 1.3), 0);
}

TEST(EditorRules, SparkColourIndexRunsTheOtherWay) {
  EXPECT_EQ(SparkColorIndex(61, 10, 40), 0);
  EXPECT_EQ(SparkColorIndex(-31, 10, 40), 12);
  EXPECT_EQ(SparkColorIndex(10, 10, 40), 12);
  EXPECT_EQ(SparkColorIndex(40, 10, 40), 0);  // 12 - 12.5 -> 12 - 12
  EXPECT_EQ(SparkColorIndex(45, 10, 40), 0);  // typed before the range followed
  EXPECT_EQ(SparkColorIndex(20, 20, 20), -1);
}

TEST(EditorRules, RevLimitSnapping) {
  EXPECT_EQ(SnapMaxRPM(1, 6000), 5990);
  EXPECT_EQ(SnapMaxRPM(1, 7000), 6990);
  EXPECT_EQ(SnapMaxRPM(1, 9000), 9040);  // the field then holds it at 9000
  EXPECT_EQ(SnapMaxRPM(1, 0), 0);
  // Below 3620 rpm the period needs a code beyond a byte; the unit gets 255.
  EXPECT_EQ(SnapMaxRPM(1, 3000), 3620);
  EXPECT_EQ(SnapMaxRPM(1, 3620), 3620);
  EXPECT_EQ(SnapMaxRPM(2, 6000), 5980);
  EXPECT_EQ(SnapMaxRPM(2, 6040), 6045);
  EXPECT_EQ(SnapMaxRPM(2, 6500), 6500);
  EXPECT_EQ(SnapMaxRPM(2, 9000), 8970);
}
