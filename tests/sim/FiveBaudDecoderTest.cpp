#include <gtest/gtest.h>

#include "sim/FiveBaudDecoder.h"

namespace {

constexpr int64_t kBit = 200000;  // 5 baud, in microseconds

// The eleven levels of a wake-up as the program sets them: idle, start, seven address
// bits, parity, stop. `parity` -1 computes odd parity; `offsets` shift single levels.
std::vector<LevelChange> Wake(uint8_t address, int parity = -1, int64_t bit = kBit,
                              int64_t idle = 1000000, std::vector<int64_t> offsets = {}) {
  std::vector<int> levels{1, 0};
  int ones = 0;
  for (int i = 0; i < 7; ++i) {
    levels.push_back((address >> i) & 1);
    ones += (address >> i) & 1;
  }
  levels.push_back(parity >= 0 ? parity : (ones % 2 == 0 ? 1 : 0));
  levels.push_back(1);
  std::vector<LevelChange> changes;
  int64_t t = 5000;
  for (size_t i = 0; i < levels.size(); ++i) {
    const int64_t shift = i < offsets.size() ? offsets[i] : 0;
    changes.push_back(LevelChange{t + shift, levels[i] != 0});
    t += i == 0 ? idle : bit;
  }
  return changes;
}

int64_t End(const std::vector<LevelChange>& levels, int64_t bit = kBit) {
  return levels.back().timeUs + bit;
}

TEST(WakeDecoder, ACorrectlyFramedAddressIsDecoded) {
  auto levels = Wake(0x10);
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), 0x10);
  levels = Wake(0x01);
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), 0x01);
  levels = Wake(0x7F);
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), 0x7F);
}

TEST(WakeDecoder, TheFrameCountsOnlyOnceTheStopBitHasLasted) {
  const auto levels = Wake(0x10);
  const int64_t stopStart = levels.back().timeUs;
  EXPECT_EQ(DecodeFiveBaud(levels, stopStart + kBit / 4), std::nullopt);
  EXPECT_EQ(DecodeFiveBaud(levels, stopStart + kBit), 0x10);
}

TEST(WakeDecoder, WrongParityIsIgnored) {
  auto levels = Wake(0x10, 1);
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), std::nullopt);
  levels = Wake(0x03, 0);
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), std::nullopt);
}

TEST(WakeDecoder, AnotherAddressDecodesAsItselfNotAsTheUnits) {
  const auto levels = Wake(0x11);
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), 0x11);
}

TEST(WakeDecoder, BadTimingIsIgnored) {
  // Twice as fast (10 baud) against a 5-baud receiver.
  auto levels = Wake(0x10, -1, kBit / 2);
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), std::nullopt);
  // Half as fast.
  levels = Wake(0x10, -1, kBit * 2);
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels, kBit * 2)), std::nullopt);
  // One edge half a bit off its boundary (bit 4 of 0x10 rises late).
  levels = Wake(0x10, -1, kBit, 1000000, {0, 0, 0, 0, 0, 0, kBit / 2});
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), std::nullopt);
  // A stop bit cut short by a new falling edge.
  levels = Wake(0x10);
  levels.push_back(LevelChange{levels.back().timeUs + kBit / 3, false});
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), std::nullopt);
  // No rest before the start bit: the line was low and the start came from nowhere.
  levels = {{0, false}, {100000, true}, {150000, false}};
  EXPECT_EQ(DecodeFiveBaud(levels, 3000000), std::nullopt);
}

TEST(WakeDecoder, LateEdgesWithinAThirdOfABitAreAccepted) {
  // Every change a little late, as a busy sender's sleeps make them.
  const auto levels = Wake(0x10, -1, kBit, 1000000,
                           {0, 60000, 20000, 0, 70000, 10000, 65000, 0, 30000, 5000, 60000});
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), 0x10);
}

TEST(WakeDecoder, AFrameAfterAFailedOneIsStillDecoded) {
  auto levels = Wake(0x10, 1);  // wrong parity
  auto second = Wake(0x10);
  const int64_t shift = levels.back().timeUs + 2 * kBit;
  for (auto& l : second) levels.push_back(LevelChange{l.timeUs + shift, l.level});
  EXPECT_EQ(DecodeFiveBaud(levels, End(levels)), 0x10);
}

TEST(WakeDecoder, IncrementalUseAsksToBeLookedAtWhenTheFrameEnds) {
  FiveBaudDecoder decoder(kBit);
  EXPECT_EQ(decoder.NextCheckUs(), -1);
  const auto levels = Wake(0x10);
  for (const auto& l : levels) decoder.Level(l.timeUs, l.level);
  const int64_t check = decoder.NextCheckUs();
  ASSERT_GT(check, levels.back().timeUs);
  EXPECT_LE(check, End(levels));
  EXPECT_EQ(decoder.Poll(check - 1), std::nullopt);
  EXPECT_EQ(decoder.Poll(check), 0x10);
  EXPECT_EQ(decoder.Poll(check + kBit), std::nullopt) << "an address is given once";
  EXPECT_EQ(decoder.LastFrameEndUs(), levels[1].timeUs + 10 * kBit);
}

}  // namespace
