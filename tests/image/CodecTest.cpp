// The conversions between the unit's codes and engineering units, pinned to the bit where
// stored settings files depend on it.

#include <gtest/gtest.h>

#include "support/ImageTestUtil.h"
#include "common/DecimalText.h"
#include "common/Errors.h"

namespace {

constexpr int kIdleSpark = 0x738F;
constexpr int kMainFuel = 0x70FC;
constexpr int kVersionAt = 0x7DF6;

std::string Text(double v) {
  return FloatToStdString(v, '.');
}

// Decodes `code` as the value cells of the idle ignition curve (built-in layout).
double SparkValue(TEFIOperator& op, uint8_t code) {
  for (auto& cell : op.fSparkXXMatrix[0]) cell = 2;
  for (auto& cell : op.fSparkXXMatrix[1]) cell = code;
  op.ConvertSpark("xx", "MotrToSi");
  return op.fSparkXXMatrix[1][0];
}

double SparkCode(TEFIOperator& op, double degrees) {
  for (auto& cell : op.fSparkXXMatrix[0]) cell = 600;
  for (auto& cell : op.fSparkXXMatrix[1]) cell = degrees;
  op.ConvertSpark("xx", "SiToMotr");
  return op.fSparkXXMatrix[1][0];
}

double FuelValue(TEFIOperator& op, uint8_t code) {
  for (auto& cell : op.fFuelMaxMatrix[0]) cell = 2;
  for (auto& cell : op.fFuelMaxMatrix[1]) cell = code;
  op.ConvertFuel("max", "MotrToSi");
  return op.fFuelMaxMatrix[1][0];
}

double FuelCode(TEFIOperator& op, double factor) {
  for (auto& cell : op.fFuelMaxMatrix[0]) cell = 600;
  for (auto& cell : op.fFuelMaxMatrix[1]) cell = factor;
  op.ConvertFuel("max", "SiToMotr");
  return op.fFuelMaxMatrix[1][0];
}

}  // namespace

TEST(Codec, IdleIgnitionDecodesAndEncodesToTheSameSixteenBytes) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  const std::vector<uint8_t> bytes = {2, 2, 2, 2, 2, 5, 10, 216, 60, 60, 60, 60, 60, 60, 60, 60};
  Place(op.fImage, kIdleSpark + 2, bytes);
  op.DecodeImage();
  EXPECT_EQ(op.fSparkXXMatrix[0], (std::vector<double>{600, 680, 760, 840, 920, 1000, 1200, 1600}));
  EXPECT_EQ(op.fSparkXXMatrix[1], std::vector<double>(8, 20.0));
  op.ConvertSpark("xx", "SiToMotr");
  std::vector<uint8_t> back;
  for (const auto& row : op.fSparkXXMatrix)
    for (double v : row) back.push_back(static_cast<uint8_t>(v));
  EXPECT_EQ(back, bytes);
}

TEST(Codec, IgnitionOfTheNewerUnitsRoundsTheWayTheStoredFilesDo) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  // 0.75 x code - 25 lands on quarters; RoundToDigit takes the 80-bit quotient by the
  // 64-bit 0.1, which lies just above -32.5 for -3.25 (a 64-bit quotient would give -3.2).
  const std::pair<uint8_t, const char*> cases[] = {
      {29, "-3.1"}, {30, "-2.4"}, {31, "-1.6"}, {32, "-0.9"}, {33, "-0.1"},
      {0, "-24.9"}, {60, "20"},   {47, "10.2"}, {50, "12.5"}, {255, "166.2"}};
  for (const auto& [code, text] : cases) {
    const double degrees = SparkValue(op, code);
    EXPECT_EQ(Text(degrees), text) << int{code};
    EXPECT_EQ(SparkCode(op, degrees), code) << int{code};
  }
  EXPECT_EQ(SparkValue(op, 29), -3.1);
  EXPECT_EQ(SparkValue(op, 31), -1.6);
  EXPECT_EQ(SparkValue(op, 33), -0.1);
  EXPECT_DOUBLE_EQ(SparkValue(op, 30), -2.4);
  EXPECT_EQ(SparkCode(op, -2.4), 30);
  EXPECT_EQ(SparkCode(op, -25.5), -1);  // below the scale: the file holds it at 0
}

TEST(Codec, IgnitionOfTheOlderUnitsUsesTheFinerScale) {
  TEFIOperator op(true);
  UseProfileDefaults(op);
  const std::pair<uint8_t, const char*> cases[] = {
      {0, "-13.9"}, {20, "-0.3"}, {100, "54.2"}, {142, "82.8"}, {255, "159.9"}};
  for (const auto& [code, text] : cases) {
    const double degrees = SparkValue(op, code);
    EXPECT_EQ(Text(degrees), text) << int{code};
    EXPECT_EQ(SparkCode(op, degrees), code) << int{code};
  }
}

TEST(Codec, FuelFactorsKeepTwoDecimals) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  EXPECT_EQ(FuelValue(op, 128), 1.0);
  EXPECT_EQ(Text(FuelValue(op, 0)), "0.04");
  EXPECT_EQ(FuelValue(op, 126), 0.98);  // 0.985 held as a 64-bit float lies below the half
  EXPECT_EQ(Text(FuelValue(op, 255)), "1.95");
  EXPECT_EQ(FuelCode(op, 1.0), 128);
  EXPECT_EQ(FuelCode(op, 0.98), 125);  // so 126 does not come back (see the round trip)
  EXPECT_EQ(FuelCode(op, 2.0), 261);   // beyond a byte; the file holds it at 255
  EXPECT_EQ(FuelCode(op, 0.04), 0);
}

TEST(Codec, RevLimiterOfBothVariants) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  EXPECT_EQ(op.MaxRPMFromCode(100), 6500);
  EXPECT_EQ(op.CodeFromMaxRPM(6500), 100);
  EXPECT_EQ(op.MaxRPMFromCode(0), 0);
  EXPECT_EQ(op.CodeFromMaxRPM(0), 0);
  op.fVersion = 1;
  EXPECT_EQ(op.MaxRPMFromCode(142), 6500);  // 649.6 is nearest to 650
  EXPECT_EQ(op.CodeFromMaxRPM(6500), 142);
  EXPECT_EQ(op.MaxRPMFromCode(100), 9220);  // 922.5 goes to the even 922
  EXPECT_THROW(op.MaxRPMFromCode(0), EZeroDivide);
  EXPECT_THROW(op.CodeFromMaxRPM(0), EZeroDivide);
  for (int code = 1; code < 256; ++code)
    EXPECT_EQ(op.CodeFromMaxRPM(op.MaxRPMFromCode(code)), code);

  op.fMaxRPM = 6500;
  op.SetMaxRPM(9001);
  EXPECT_EQ(op.fMaxRPM, 6500);
  op.SetMaxRPM(9000);
  EXPECT_EQ(op.fMaxRPM, 9000);
  op.SetMaxRPM(-5);
  EXPECT_EQ(op.fMaxRPM, -5);
}

TEST(Codec, RevLimiterCodeZeroStopsDecodingOfTheOlderUnitsWithRawCodesLeft) {
  TEFIOperator op(true);
  UseProfileDefaults(op, 60);
  op.fImage[static_cast<size_t>(op.fMaxRPMAddress1)] = 0;
  op.fMaxRPM = 1234;
  try {
    op.DecodeImage();
    FAIL();
  } catch (const EZeroDivide& e) {
    EXPECT_STREQ(e.what(), "Floating point division by zero");
  }
  EXPECT_EQ(op.fMaxRPM, 1234);
  EXPECT_EQ(op.fSparkXXMatrix[1][0], 60);
}

TEST(Codec, RpmGapsThatAreNoMultipleOf40GoToTheEvenCode) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  op.fSparkXXMatrix[0] = {600, 660, 760, 800, 800, 880, 1200, 1600};
  op.fSparkXXMatrix[1].assign(8, 20);
  op.ConvertSpark("xx", "SiToMotr");
  // 60 / 40 = 1.5 -> 2, 100 / 40 = 2.5 -> 2, a repeated breakpoint -> 0.
  EXPECT_EQ(op.fSparkXXMatrix[0], (std::vector<double>{2, 2, 1, 0, 2, 8, 10, 216}));
}

TEST(Codec, LoadAxisOfThePartLoadFuelMap) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  const std::vector<uint8_t> codes = {10, 10, 10, 10, 20, 20, 20, 20, 20, 20, 20, 56};
  Place(op.fImage, kMainFuel + 2 + 16 + 2, codes);
  op.DecodeImage();
  std::vector<double> load;
  for (int i = 1; i <= 12; ++i) load.push_back(op.fFuelMainMatrix[i][0]);
  EXPECT_EQ(load, (std::vector<double>{1, 1.5, 2, 2.5, 3, 4, 5, 6, 7, 8, 9, 10}));
  op.ConvertFuel("main", "SiToMotr");
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(op.fFuelMainMatrix[i][0], codes[i - 1]) << i;

  // 0.05 ms is one unit of 1/20 ms.
  op.fFuelXXMatrix[1][0] = 0.05;
  op.fFuelXXMatrix[2][0] = 0.1;
  op.fFuelXXMatrix[3][0] = 0.15;
  op.ConvertFuel("xx", "SiToMotr");
  EXPECT_EQ(op.fFuelXXMatrix[1][0], 1);
  EXPECT_EQ(op.fFuelXXMatrix[2][0], 1);
  EXPECT_EQ(op.fFuelXXMatrix[3][0], 253);
}

TEST(Codec, VersionTextIsStoredLastCharacterFirst) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  Place(op.fImage, kVersionAt, {'0', '4', '2', '0', '0', '2', '1', '6', '2', '2'});
  op.DecodeImage();
  EXPECT_EQ(op.fVersionText, "2261200240");
}

TEST(Codec, WarmUpTemperaturesAndIdleSpeeds) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  Place(op.fImage, 0x780C + 2, {31, 60, 60, 86, 130, 110, 90, 80});
  op.DecodeImage();
  EXPECT_EQ(op.fRPMTempCorrTable[0], (std::vector<int32_t>{-20, 0, 40, 80}));
  EXPECT_EQ(op.fRPMTempCorrTable[1], (std::vector<int32_t>{1300, 1100, 900, 800}));
  op.ConvertRPMTempCorr("SiToMotr");
  EXPECT_EQ(op.fRPMTempCorrTable[0], (std::vector<int32_t>{31, 60, 60, 86}));
  EXPECT_EQ(op.fRPMTempCorrTable[1], (std::vector<int32_t>{130, 110, 90, 80}));
}

TEST(Codec, NewerUnitsReadTheAirMassCurveLowByteFirstAndTheCOByte) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  Place(op.fImage, 0x6BFC, {0x34, 0x12, 0xFF, 0x00});
  Place(op.fImage, 0x7E8B, {0x85});
  Place(op.fImage, 0x6A19, {142});
  op.DecodeImage();
  EXPECT_EQ(op.fMAFTable[0], 0x1234);
  EXPECT_EQ(op.fMAFTable[1], 0x00FF);
  EXPECT_EQ(op.fMAFTable[2], 0x8080);
  EXPECT_EQ(op.fCOReg, 0x85);
  EXPECT_EQ(op.fMaxRPM, 142 * 65);
}

TEST(Codec, OlderUnitsSplitThePartLoadMapsAndReadNoAirMassCurve) {
  TEFIOperator op(true);
  UseProfileDefaults(op, 1);
  op.fMAFTable.assign(op.fMAFTable.size(), 7);
  op.fCOReg = 9;
  op.fFuelXXMatrix[1][1] = 0.5;
  // Low part: 16 RPM codes, 8 load codes, values; high part: its own RPM codes (ignored)
  // and 6 load codes.
  std::vector<uint8_t> low(2, 0);
  for (int j = 0; j < 16; ++j) low.push_back(j == 15 ? 96 : 10);
  low.insert(low.end(), {0, 0, 4, 4, 4, 4, 4, 4, 4, 216});
  Place(op.fImage, op.fStartMainFuelTableAddress_Lo, low);
  std::vector<uint8_t> high(2, 0);
  for (int j = 0; j < 16; ++j) high.push_back(1);
  high.insert(high.end(), {0, 0, 20, 20, 20, 20, 20, 56});
  Place(op.fImage, op.fStartMainFuelTableAddress_Hi, high);
  Place(op.fImage, op.fStartMainSparkTableAddress_Lo + 2 + 16 + 2 + 8, {100});
  op.DecodeImage();

  const auto& fuel = op.fFuelMainMatrix;
  ASSERT_EQ(fuel.size(), 15u);
  EXPECT_EQ(fuel[0][1], 400);  // the low part's axis: 6400 - 15 x 400
  EXPECT_EQ(fuel[0][16], 6400);
  EXPECT_EQ(fuel[1][0], 0.6);  // low axis: u = 40 - 7 x 4 = 12 ... 40
  EXPECT_EQ(fuel[8][0], 2);
  EXPECT_EQ(fuel[9][0], 5);  // high axis of its own: u = 100 ... 200
  EXPECT_EQ(fuel[14][0], 10);
  EXPECT_EQ(Text(op.fSparkMainMatrix[1][1]), "54.2");  // 0.682 x 100 - 14
  EXPECT_EQ(op.fMAFTable[0], 7);
  EXPECT_EQ(op.fCOReg, 9);
  EXPECT_EQ(op.fFuelXXMatrix[1][1], 0.5);
}

TEST(Codec, ConversionsRefuseUnknownTextsAndUnworkableTables) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  EXPECT_THROW(op.ConvertSpark("idle", "MotrToSi"), ERuntimeError);
  EXPECT_THROW(op.ConvertFuel("xx", "motrtosi"), ERuntimeError);
  op.fSparkXXMatrix.resize(1);
  EXPECT_THROW(op.ConvertSpark("xx", "MotrToSi"), ERuntimeError);
  op.fFuelMainMatrix[3].pop_back();
  EXPECT_THROW(op.ConvertFuel("main", "SiToMotr"), ERuntimeError);
  op.fRPMTempCorrTable[1].clear();
  EXPECT_THROW(op.ConvertRPMTempCorr("SiToMotr"), ERuntimeError);
  op.ResizeTables();
  EXPECT_NO_THROW(op.ConvertSpark("xx", "MotrToSi"));
}
