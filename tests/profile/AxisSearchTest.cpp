// The axis search on images the project makes: the demo image's tables are found where the
// built-in layout puts them, random bytes give no axis, an axis planted anywhere is found
// there and nowhere else.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "profile/AxisSearch.h"

namespace {

std::vector<int64_t> Addresses(const std::vector<TAxisCandidate>& found) {
  std::vector<int64_t> a;
  for (const TAxisCandidate& c : found) a.push_back(c.address);
  return a;
}

std::vector<int64_t> Starts(const std::vector<TTableCandidate>& found) {
  std::vector<int64_t> a;
  for (const TTableCandidate& c : found) a.push_back(c.start);
  return a;
}

TEFIOperator BuiltIn() {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  return op;
}

}  // namespace

TEST(AxisSearch, DecodesAxisCodesAsTheCodecAndJudgesWhatCouldBeAnAxis) {
  const uint8_t rpm[] = {5, 5, 5, 10, 96};
  EXPECT_EQ(AxisOfCodes(TAxisKind::Rpm, rpm, 5),
            (std::vector<double>{5400, 5600, 5800, 6000, 6400}));
  const uint8_t load[] = {10, 20, 206};
  EXPECT_EQ(AxisOfCodes(TAxisKind::Load, load, 3), (std::vector<double>{1, 1.5, 2.5}));
  const uint8_t temp[] = {31, 60, 60, 86};
  EXPECT_EQ(AxisOfCodes(TAxisKind::Temperature, temp, 4), (std::vector<double>{-20, 0, 40, 80}));

  EXPECT_TRUE(PlausibleAxis(TAxisKind::Rpm, {600, 800, 6400}));
  EXPECT_FALSE(PlausibleAxis(TAxisKind::Rpm, {600, 600, 6400}));  // not rising
  EXPECT_FALSE(PlausibleAxis(TAxisKind::Rpm, {200, 800, 6400}));  // starts too low
  EXPECT_FALSE(PlausibleAxis(TAxisKind::Rpm, {600, 800, 9400}));  // ends too high
  EXPECT_FALSE(PlausibleAxis(TAxisKind::Rpm, {600}));             // one point is no axis
  EXPECT_FALSE(PlausibleAxis(TAxisKind::Load, {0.05, 1, 2}));
  EXPECT_TRUE(PlausibleAxis(TAxisKind::Load, {4, 5, 10}));
  EXPECT_FALSE(PlausibleAxis(TAxisKind::Temperature, {-60, 0, 80}));
}

TEST(AxisSearch, FindsTheDemoTablesWhereTheBuiltInLayoutPutsThem) {
  const std::vector<uint8_t> image = MakeDemoImage();
  const TEFIOperator op = BuiltIn();
  // The 16-point RPM axis is shared by the part-load maps and both full-load tables.
  const std::vector<int64_t> rpm = Addresses(FindAxes(image, TAxisKind::Rpm, 16, 100));
  EXPECT_EQ(rpm, (std::vector<int64_t>{
                     op.fStartMaxFuelTableAddress + 2, op.fStartMainFuelTableAddress_Lo + 2,
                     op.fStartMaxSparkTableAddress + 2, op.fStartMainSparkTableAddress_Lo + 2}));
  // The part-load fuel map's shape (16 RPM and 12 load points) fits both part-load maps.
  EXPECT_EQ(
      Starts(FindTableStarts(image, op, TImageTable::FuelMain, false, 100)),
      (std::vector<int64_t>{op.fStartMainFuelTableAddress_Lo, op.fStartMainSparkTableAddress_Lo}));
  // Short axes (3 load points, 4 temperatures) also fit places in the filler bytes; the real
  // table is among them, with the axes it holds.
  auto contains = [](const std::vector<TTableCandidate>& found, int64_t start) {
    return std::any_of(found.begin(), found.end(),
                       [&](const TTableCandidate& c) { return c.start == start; });
  };
  EXPECT_TRUE(contains(FindTableStarts(image, op, TImageTable::FuelXX, false, kImageSize),
                       op.fStartXXFuelTableAddress));
  const auto warm = FindTableStarts(image, op, TImageTable::WarmUp, false, kImageSize);
  ASSERT_TRUE(contains(warm, op.fRPMTempCorrTableaddress));
  for (const TTableCandidate& c : warm) {
    if (c.start == op.fRPMTempCorrTableaddress) {
      EXPECT_EQ(c.axes, (std::vector<std::vector<double>>{{-20, 0, 40, 80}}));
    }
  }
  // Tables without axes, or with a limit of none, give nothing.
  EXPECT_TRUE(FindTableStarts(image, op, TImageTable::MAF, false, 100).empty());
  EXPECT_TRUE(FindTableStarts(image, op, TImageTable::FuelMain, false, 0).empty());
}

TEST(AxisSearch, RandomBytesGiveNoLongAxisAndAPlantedOneIsFoundWhereItIs) {
  std::mt19937 rng(11);
  for (int round = 0; round < 5; ++round) {
    std::vector<uint8_t> image(kImageSize);
    for (auto& b : image) b = static_cast<uint8_t>(rng());
    EXPECT_TRUE(FindAxes(image, TAxisKind::Rpm, 16, 10).empty());
    EXPECT_TRUE(FindAxes(image, TAxisKind::Load, 12, 10).empty());
    const int64_t at = static_cast<int64_t>(rng() % (kImageSize - 20));
    const uint8_t axis[] = {10, 10, 10, 10, 20, 20, 20, 20, 20, 20, 20, 56};
    std::copy(std::begin(axis), std::end(axis), image.begin() + at);
    // Found there, and nowhere but where a window over the planted codes still rises (a
    // random byte before them can start a plausible axis one byte earlier).
    const auto found = FindAxes(image, TAxisKind::Load, 12, 10);
    bool there = false;
    for (const TAxisCandidate& c : found) {
      EXPECT_LE(std::abs(c.address - at), 11) << c.address << " planted at " << at;
      if (c.address != at) continue;
      there = true;
      EXPECT_EQ(c.values.front(), 1);
      EXPECT_EQ(c.values.back(), 10);
    }
    EXPECT_TRUE(there);
  }
  // Filler bytes are no axis either way.
  EXPECT_TRUE(FindAxes(std::vector<uint8_t>(kImageSize, 0xFF), TAxisKind::Rpm, 8, 10).empty());
  EXPECT_TRUE(FindAxes(std::vector<uint8_t>(kImageSize, 0x00), TAxisKind::Rpm, 8, 10).empty());
  // An axis cut by the image's end is not read past it.
  std::vector<uint8_t> tail(8, 0);
  tail[6] = 5;
  tail[7] = 200;
  EXPECT_TRUE(FindAxes(tail, TAxisKind::Rpm, 3, 10).empty());
  EXPECT_EQ(Addresses(FindAxes(tail, TAxisKind::Rpm, 2, 10)), std::vector<int64_t>{6});
}
