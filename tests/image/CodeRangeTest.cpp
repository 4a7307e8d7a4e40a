// The values a one-byte code can store: each table kind at both ends of its code range in
// both layout variants, and a settings file that never wraps a value beyond them.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/ImageTestUtil.h"
#include "common/DecimalText.h"
#include "image/CodeRange.h"
#include "image/DemoImage.h"

namespace {

using T = TCodedTable;

// An operator of the variant with every table decoded from an image of mid-range codes,
// so that the axes are valid and the value cells can be set one by one.
void Decoded(TEFIOperator& op, int version) {
  if (version == 1)
    UseProfileDefaults(op, 0x10);
  else
    UseBuiltIn(op, 0x10);
  op.DecodeImage();
}

// The code the conversion gives a value of this table kind (one data cell, then encoded).
double CodeOf(TEFIOperator& op, TCodedTable table, double value) {
  switch (table) {
    case T::SparkXX:
      op.fSparkXXMatrix[1][3] = value;
      op.ConvertSpark("xx", "SiToMotr");
      return op.fSparkXXMatrix[1][3];
    case T::SparkMax: {
      const bool curve = op.fVersion == 1;
      op.fSparkMaxMatrix[1][curve ? 3 : 2] = value;
      op.ConvertSpark("max", "SiToMotr");
      return op.fSparkMaxMatrix[1][curve ? 3 : 2];
    }
    case T::SparkMain:
      op.fSparkMainMatrix[2][4] = value;
      op.ConvertSpark("main", "SiToMotr");
      return op.fSparkMainMatrix[2][4];
    case T::FuelXX:
      op.fFuelXXMatrix[2][3] = value;
      op.ConvertFuel("xx", "SiToMotr");
      return op.fFuelXXMatrix[2][3];
    case T::FuelMax:
      op.fFuelMaxMatrix[1][3] = value;
      op.ConvertFuel("max", "SiToMotr");
      return op.fFuelMaxMatrix[1][3];
    case T::FuelMain:
      op.fFuelMainMatrix[2][4] = value;
      op.ConvertFuel("main", "SiToMotr");
      return op.fFuelMainMatrix[2][4];
    case T::WarmUpSpeed:
      op.fRPMTempCorrTable[1][2] = static_cast<int32_t>(value);
      op.ConvertRPMTempCorr("SiToMotr");
      return op.fRPMTempCorrTable[1][2];
    case T::MAF:
      return value;  // stored as it is, 16 bits
  }
  return -1;
}

std::string Text(double v) {
  return FloatToStdString(v, '.');
}

}  // namespace

TEST(CodeRange, EveryTableKindEndsAtItsLowestAndHighestCode) {
  const T byteTables[] = {T::SparkXX,  T::SparkMax, T::SparkMain,  T::FuelMax,
                          T::FuelMain, T::FuelXX,   T::WarmUpSpeed};
  for (int version : {1, 2}) {
    for (T table : byteTables) {
      // The older units have no idle fuel table in the image; nothing converts it.
      if (version == 1 && table == T::FuelXX) continue;
      SCOPED_TRACE(testing::Message() << "variant " << version << ", kind " << int(table));
      const TValueRange range = StorableRange(table, version);
      TEFIOperator low(true), high(true);
      Decoded(low, version);
      Decoded(high, version);
      EXPECT_EQ(CodeOf(low, table, range.low), 0);
      EXPECT_EQ(CodeOf(high, table, range.high), 255);
    }
  }
  // The ends as the editors show them.
  const std::pair<TValueRange, std::pair<const char*, const char*>> ends[] = {
      {StorableRange(T::SparkMain, 2), {"-25", "166.2"}},
      {StorableRange(T::SparkXX, 1), {"-14", "159.9"}},
      {StorableRange(T::SparkMax, 1), {"-14", "159.9"}},
      {StorableRange(T::FuelMain, 1), {"0.04", "1.95"}},
      {StorableRange(T::FuelXX, 2), {"0.04", "1.95"}},
      {StorableRange(T::WarmUpSpeed, 2), {"0", "2550"}},
      {StorableRange(T::MAF, 2), {"0", "65535"}},
  };
  for (const auto& [range, texts] : ends) {
    EXPECT_EQ(Text(range.low), texts.first);
    EXPECT_EQ(Text(range.high), texts.second);
  }
}

TEST(CodeRange, HoldingKeepsValuesInsideToTheBitAndTakesOthersToTheNearerEnd) {
  const TValueRange spark = StorableRange(T::SparkMain, 2);
  EXPECT_EQ(HoldInRange(-30, spark), -25);
  EXPECT_EQ(HoldInRange(170, spark), spark.high);
  EXPECT_EQ(HoldInRange(-2.4, spark), -2.4);
  // Part-load ignition limits -30..60 against the code's -25..166.2 (variant 2) and
  // -14..159.9 (variant 1).
  const TValueRange limited = Intersect({-30, 60}, spark);
  EXPECT_EQ(limited.low, -25);
  EXPECT_EQ(limited.high, 60);
  EXPECT_EQ(Intersect({-30, 60}, StorableRange(T::SparkMain, 1)).low, -14);
  EXPECT_EQ(HoldInRange(std::numeric_limits<double>::quiet_NaN(), spark), -25);
}

TEST(CodeRange, EveryDecodedValueLiesInsideItsRange) {
  // Holding the values of an unedited load changes none of them, so it saves the same file.
  for (int version : {1, 2}) {
    TEFIOperator op(true);
    Decoded(op, version);
    for (int code = 0; code < 256; ++code) {
      for (auto& cell : op.fSparkXXMatrix[0]) cell = 2;
      for (auto& cell : op.fFuelMaxMatrix[0]) cell = 2;
      for (auto& cell : op.fSparkXXMatrix[1]) cell = code;
      for (auto& cell : op.fFuelMaxMatrix[1]) cell = code;
      op.ConvertSpark("xx", "MotrToSi");
      op.ConvertFuel("max", "MotrToSi");
      const double spark = op.fSparkXXMatrix[1][0], fuel = op.fFuelMaxMatrix[1][0];
      EXPECT_EQ(HoldInRange(spark, StorableRange(T::SparkXX, version)), spark) << code;
      EXPECT_EQ(HoldInRange(fuel, StorableRange(T::FuelMax, version)), fuel) << code;
    }
  }
}
