// The demo image in data/ is what the generator makes, and it decodes to plausible tables.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/ImageTestUtil.h"
#include "image/DemoImage.h"

namespace {

double MinOf(const TFloatMatrix& t, size_t fromRow, size_t fromCol) {
  double m = 1e300;
  for (size_t i = fromRow; i < t.size(); ++i)
    for (size_t j = fromCol; j < t[i].size(); ++j) m = std::min(m, t[i][j]);
  return m;
}

double MaxOf(const TFloatMatrix& t, size_t fromRow, size_t fromCol) {
  double m = -1e300;
  for (size_t i = fromRow; i < t.size(); ++i)
    for (size_t j = fromCol; j < t[i].size(); ++j) m = std::max(m, t[i][j]);
  return m;
}

}  // namespace

TEST(DemoImage, RegeneratingGivesTheCommittedBytes) {
  const std::vector<uint8_t> committed = FileBytes(DemoImagePath());
  ASSERT_EQ(committed.size(), size_t{kImageSize}) << DemoImagePath().toStdString();
  EXPECT_EQ(MakeDemoImage(), committed);
}

TEST(DemoImage, DecodesToPlausibleTablesUnderTheBuiltInConfiguration) {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  op.DecodeImage();
  EXPECT_EQ(op.fVersionText, kDemoVersionText);
  EXPECT_EQ(op.fMaxRPM, 6500);
  EXPECT_EQ(op.fCOReg, 128);

  EXPECT_EQ(op.fSparkXXMatrix[0], (std::vector<double>{600, 680, 760, 840, 920, 1000, 1200, 1600}));
  EXPECT_EQ(op.fSparkXXMatrix[1], std::vector<double>(8, 20.0));

  const auto& fuel = op.fFuelMainMatrix;
  EXPECT_EQ(fuel[1][0], 1);
  EXPECT_EQ(fuel[12][0], 10);
  EXPECT_EQ(fuel[0][1], 600);
  EXPECT_EQ(fuel[0][16], 6400);
  EXPECT_GE(MinOf(fuel, 1, 1), 0.9);
  EXPECT_LE(MaxOf(fuel, 1, 1), 1.2);
  EXPECT_GE(MinOf(op.fFuelMaxMatrix, 1, 0), 1.0);
  EXPECT_LE(MaxOf(op.fFuelMaxMatrix, 1, 0), 1.2);

  const auto& spark = op.fSparkMainMatrix;
  EXPECT_GE(MinOf(spark, 1, 1), 10);
  EXPECT_LE(MaxOf(spark, 1, 1), 40);
  for (size_t i = 1; i < spark.size(); ++i)
    for (size_t j = 1; j < spark[i].size(); ++j) {
      if (j > 1) {
        EXPECT_GE(spark[i][j], spark[i][j - 1]) << "rises with speed";
      }
      if (i > 1) {
        EXPECT_LE(spark[i][j], spark[i - 1][j]) << "falls with load";
      }
    }
  for (size_t i = 1; i < op.fMAFTable.size(); ++i) EXPECT_GT(op.fMAFTable[i], op.fMAFTable[i - 1]);
  EXPECT_EQ(op.fRPMTempCorrTable[0], (std::vector<int32_t>{-20, 0, 40, 80}));
  EXPECT_EQ(op.fRPMTempCorrTable[1], (std::vector<int32_t>{1300, 1100, 900, 800}));
}
