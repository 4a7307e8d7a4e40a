// The editors' rules on plain values: fitting, colour index, rev limit snapping.
#include <gtest/gtest.h>

#include "ui/editors/EditorRules.h"

TEST(EditorRules, FittingTakesTheNearestWithHalvesToEven) {
  EXPECT_EQ(FitCellSize(350, 14), 23);  // 25 - 2
  EXPECT_EQ(FitCellSize(160, 7), 21);   // 22.86 -> 23 - 2
  EXPECT_EQ(FitCellSize(45, 2), 20);    // 22.5 -> 22 - 2
  EXPECT_EQ(FitCellSize(47, 2), 22);    // 23.5 -> 24 - 2
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
