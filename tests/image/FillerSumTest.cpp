// Keeping the whole image's 16-bit sum with two filler bytes: the sum comes back whichever
// way the edit moved it (within what two bytes can take), only the two bytes named change,
// filler inside a table or changed by the edit is never used, and a difference too large or
// an image without filler is refused with the reason.

#include <gtest/gtest.h>

#include <random>

#include "support/ImageTestUtil.h"
#include "image/FillerSum.h"

namespace {

std::vector<uint8_t> RandomImage(uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> image(kImageSize);
  for (auto& b : image) b = static_cast<uint8_t>(rng());
  return image;
}

TEFIOperator BuiltIn() {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  return op;
}

}  // namespace

TEST(FillerSum, TheSumIsKeptAndOnlyTheTwoNamedBytesChange) {
  const TEFIOperator config = BuiltIn();
  std::mt19937 rng(9);
  for (int trial = 0; trial < 200; ++trial) {
    SCOPED_TRACE(trial);
    std::vector<uint8_t> loaded = RandomImage(100 + trial);
    std::fill(loaded.begin() + 0x3000, loaded.begin() + 0x3020, 0xFF);
    std::fill(loaded.begin() + 0x5000, loaded.begin() + 0x5010, 0x00);
    // An edit of a few table bytes that moves the sum by up to 510 either way.
    std::vector<uint8_t> edited = loaded;
    for (int k = 0; k < 2; ++k)
      edited[0x7100 + static_cast<size_t>(rng() % 0xC0)] = static_cast<uint8_t>(rng());
    QString why;
    const std::optional<TFillerBytes> bytes = FindFillerBytes(loaded, edited, config, why);
    ASSERT_TRUE(bytes) << why.toStdString();
    std::vector<uint8_t> kept = edited;
    ApplyFillerBytes(kept, *bytes);
    EXPECT_EQ(ImageSum16(kept), ImageSum16(loaded));
    for (size_t i = 0; i < kept.size(); ++i) {
      if (i != size_t(bytes->address) && i != size_t(bytes->address) + 1) {
        ASSERT_EQ(kept[i], edited[i]) << i;
      }
    }
    const bool inFF = bytes->address >= 0x3000 && bytes->address + 1 < 0x3020;
    const bool in00 = bytes->address >= 0x5000 && bytes->address + 1 < 0x5010;
    EXPECT_TRUE(inFF || in00) << bytes->address;
    EXPECT_EQ(bytes->before[0], inFF ? 0xFF : 0x00);
  }
}

TEST(FillerSum, FillerInATableOrTooShortOrTooLargeADifferenceIsRefused) {
  const TEFIOperator config = BuiltIn();
  std::vector<uint8_t> loaded = RandomImage(3);
  std::fill(loaded.begin() + 0x70FC, loaded.begin() + 0x70FC + 0x40, 0xFF);  // the fuel map
  std::fill(loaded.begin() + 0x2000, loaded.begin() + 0x200F, 0x00);         // 15 bytes
  std::vector<uint8_t> edited = loaded;
  edited[0x7200] ^= 0x01;
  QString why;
  EXPECT_FALSE(FindFillerBytes(loaded, edited, config, why));
  EXPECT_TRUE(why.contains("нет заполнителя")) << why.toStdString();

  // A run that is long enough takes back only what two bytes can.
  std::fill(loaded.begin() + 0x2000, loaded.begin() + 0x2100, 0x00);
  std::fill(loaded.begin() + 0x7400, loaded.begin() + 0x7408, 0x10);
  edited = loaded;
  std::fill(edited.begin() + 0x7400, edited.begin() + 0x7408, 0xD8);  // the sum rose by 1600
  why.clear();
  EXPECT_FALSE(FindFillerBytes(loaded, edited, config, why));
  EXPECT_TRUE(why.contains("не могут её вернуть")) << why.toStdString();
  // No change of the sum: the pair keeps its values.
  const std::optional<TFillerBytes> none = FindFillerBytes(loaded, loaded, config, why);
  ASSERT_TRUE(none);
  EXPECT_EQ(none->after, none->before);
}
