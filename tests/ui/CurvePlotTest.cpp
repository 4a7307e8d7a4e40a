#include <gtest/gtest.h>

#include <QPointF>
#include <vector>

#include "ui/widgets/CurvePlot.h"
#include "ui/widgets/LineChart.h"

namespace {

std::vector<QPointF> Path(std::initializer_list<QPointF> points) {
  return points;
}

}  // namespace

// A table curve: ranges over its points with the margin on top of y, the pen from the
// origin (or from the lower left corner of the ranges), a point for every pair of values.
TEST(CurvePlotTest, RangesAndPenPathFollowThePoints) {
  TLineChart chart(TLineChart::Style{});
  PlotCurve(chart, {800, 2000, 6000}, {4, 12, 30}, 1);
  EXPECT_EQ(chart.XMin(), 800);
  EXPECT_EQ(chart.XMax(), 6000);
  EXPECT_EQ(chart.YMin(), 4);
  EXPECT_EQ(chart.YMax(), 31);
  EXPECT_EQ(chart.Points(), Path({{0, 0}, {800, 4}, {2000, 12}, {6000, 30}}));

  PlotCurve(chart, {3, 1, 2}, {7, 5, 9}, 0, PenStart::LowerLeft);
  EXPECT_EQ(chart.YMax(), 9);
  EXPECT_EQ(chart.Points(), Path({{1, 5}, {3, 7}, {1, 5}, {2, 9}}));
}

// Only the pairs both rows have are drawn; with none the chart keeps its curve.
TEST(CurvePlotTest, UnevenRowsDrawTheirPairsAndEmptyRowsDrawNothing) {
  TLineChart chart(TLineChart::Style{});
  PlotCurve(chart, {1, 2, 3}, {10, 20}, 0);
  EXPECT_EQ(chart.XMax(), 2);
  EXPECT_EQ(chart.Points(), Path({{0, 0}, {1, 10}, {2, 20}}));
  PlotCurve(chart, {}, {5}, 0);
  EXPECT_EQ(chart.Points(), Path({{0, 0}, {1, 10}, {2, 20}}));
}
