// The image checksum: each kind found on images made for it, its value the plain sum of the
// area worked out here byte by byte, its own bytes left out of the area, and the texts the
// status strip shows.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>

#include "support/ImageTestUtil.h"
#include "common/Errors.h"
#include "image/Checksum.h"
#include "image/DemoImage.h"

namespace {

constexpr TChecksumKind kAllKinds[] = {TChecksumKind::Sum16BE, TChecksumKind::Sum16LE,
                                       TChecksumKind::Sum16BEComplement,
                                       TChecksumKind::Sum16LEComplement, TChecksumKind::Sum8};

std::vector<uint8_t> RandomBytes(uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> image(kImageSize);
  for (auto& b : image) b = static_cast<uint8_t>(rng());
  return image;
}

// The sum of bytes first..last, skipping [skipFrom, skipTo).
uint32_t PlainSum(const std::vector<uint8_t>& image, int first, int last, int skipFrom,
                  int skipTo) {
  uint32_t sum = 0;
  for (int i = first; i <= last; ++i)
    if (i < skipFrom || i >= skipTo) sum += image[static_cast<size_t>(i)];
  return sum;
}

// The value stored at `at` as the kind lays it out, read back by hand.
uint32_t Word(const std::vector<uint8_t>& image, int at, bool bigEndian) {
  const uint32_t a = image[static_cast<size_t>(at)], b = image[static_cast<size_t>(at) + 1];
  return bigEndian ? (a << 8 | b) : (b << 8 | a);
}

}  // namespace

TEST(Checksum, EachKindIsFoundOnImagesMadeForItAndHoldsThePlainSum) {
  // The built-in area with no kind named: the kind is found on the image.
  TEFIOperator config(true);
  config.LoadDefaultConfig();
  config.fCRCKind = TChecksumKind::None;
  const int first = config.fStartDataAreaAddress, last = config.fEndDataAreaAddress;
  const int at = config.fCRCAddress;
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    for (const TChecksumKind kind : kAllKinds) {
      SCOPED_TRACE(ChecksumKindName(kind).toStdString() + " seed " + std::to_string(seed));
      std::vector<uint8_t> image = RandomBytes(seed);
      StoreChecksum(image, config, kind);
      const TChecksumStatus status = CheckChecksum(image, config);
      EXPECT_EQ(status.kind, kind);
      EXPECT_TRUE(status.valid);
      // The area ends before the checksum in the built-in layout, so nothing is left out.
      const uint32_t sum = PlainSum(image, first, last, 0, 0);
      switch (kind) {
        case TChecksumKind::Sum8:
          EXPECT_EQ(image[static_cast<size_t>(at)], sum & 0xFF);
          break;
        case TChecksumKind::Sum16BE:
        case TChecksumKind::Sum16LE:
          EXPECT_EQ(Word(image, at, kind == TChecksumKind::Sum16BE), sum & 0xFFFF);
          break;
        default: {
          const bool be = kind == TChecksumKind::Sum16BEComplement;
          EXPECT_EQ(Word(image, at, be), sum & 0xFFFF);
          EXPECT_EQ(Word(image, at, be) + Word(image, at + 2, be), 0xFFFFu);
        }
      }
      // One byte of the area changed: the stored value no longer fits; stored anew it does.
      image[static_cast<size_t>(first + 100)] ^= 0x5A;
      EXPECT_FALSE(ChecksumMatches(image, config, kind));
      StoreChecksum(image, config, kind);
      EXPECT_EQ(CheckChecksum(image, config).kind, kind);
      EXPECT_TRUE(CheckChecksum(image, config).valid);
    }
  }
}

TEST(Checksum, BytesOfTheChecksumInsideTheAreaAreLeftOutOfTheSum) {
  TEFIOperator config(true);
  config.LoadDefaultConfig();
  config.fStartDataAreaAddress = 0x1000;
  config.fEndDataAreaAddress = 0x1FFF;
  config.fCRCAddress = 0x1800;
  config.fCRCKind = TChecksumKind::None;
  for (const TChecksumKind kind : kAllKinds) {
    SCOPED_TRACE(ChecksumKindName(kind).toStdString());
    std::vector<uint8_t> image = RandomBytes(77);
    StoreChecksum(image, config, kind);
    const int bytes = ChecksumBytes(kind);
    const uint32_t sum = PlainSum(image, 0x1000, 0x1FFF, 0x1800, 0x1800 + bytes);
    EXPECT_EQ(ComputeChecksum(image, config, kind),
              kind == TChecksumKind::Sum8 ? sum & 0xFF : sum & 0xFFFF);
    EXPECT_TRUE(CheckChecksum(image, config).valid);
    EXPECT_EQ(CheckChecksum(image, config).kind, kind);
  }
  // The area's last byte is inside it: changing it changes the sum.
  std::vector<uint8_t> image = RandomBytes(78);
  StoreChecksum(image, config, TChecksumKind::Sum16BE);
  ++image[0x1FFF];
  EXPECT_FALSE(ChecksumMatches(image, config, TChecksumKind::Sum16BE));
}

TEST(Checksum, StatusTextsForFoundWrongAndMissingChecksums) {
  TEFIOperator config(true);
  config.LoadDefaultConfig();
  std::vector<uint8_t> image = MakeDemoImage();
  EXPECT_EQ(ChecksumStatusText(CheckChecksum(image, config)), "КС: верна (16 бит, BE)");

  const std::pair<TChecksumKind, const char*> texts[] = {
      {TChecksumKind::Sum16LE, "КС: верна (16 бит, LE)"},
      {TChecksumKind::Sum16BEComplement, "КС: верна (16 бит + дополнение, BE)"},
      {TChecksumKind::Sum16LEComplement, "КС: верна (16 бит + дополнение, LE)"},
      {TChecksumKind::Sum8, "КС: верна (8 бит)"},
  };
  for (const auto& [kind, text] : texts) EXPECT_EQ(ChecksumStatusText({kind, true}), text);

  // A kind the profile names is checked, not searched for: the demo's value is wrong for it.
  config.fCRCKind = TChecksumKind::Sum16LE;
  EXPECT_EQ(ChecksumStatusText(CheckChecksum(image, config)), "КС: неверна");

  // Stored bytes that no kind computes, where the configuration names no kind.
  config.fCRCKind = TChecksumKind::None;
  bool found = false;
  for (int v = 0; v < 256 && !found; ++v) {
    for (int i = 0; i < 4; ++i)
      image[static_cast<size_t>(config.fCRCAddress + i)] = static_cast<uint8_t>(v);
    found = CheckChecksum(image, config).kind == TChecksumKind::None;
  }
  ASSERT_TRUE(found);
  EXPECT_FALSE(CheckChecksum(image, config).valid);
  EXPECT_EQ(ChecksumStatusText(CheckChecksum(image, config)), "КС: не найдена");

  // A configuration naming no area (the profile defaults) has no checksum to find.
  TEFIOperator older(true);
  UseProfileDefaults(older);
  EXPECT_FALSE(HasChecksum(older));
  EXPECT_EQ(ChecksumStatusText(CheckChecksum(older.fImage, older)), "КС: не найдена");
  EXPECT_THROW(StoreChecksum(older.fImage, older, TChecksumKind::Sum8), ERuntimeError);
}

TEST(Checksum, ProfileNamesTheKindAndTheLayoutCheckRefusesAnAreaOutsideTheImage) {
  QTemporaryDir dir;
  const QString path = dir.filePath("p.prf");
  const std::pair<const char*, TChecksumKind> names[] = {
      {"Sum16BE+Complement", TChecksumKind::Sum16BEComplement},
      {" sum8 ", TChecksumKind::Sum8},
      {"auto", TChecksumKind::None},
  };
  for (const auto& [name, kind] : names) {
    WriteBytes(path, QByteArray("[config]\r\nfCRCAddress=0x7FFE\r\nfEndDataAreaAddress=0x7FFD\r\n"
                                "CRCKind=") +
                         name + "\r\n");
    TEFIOperator op(true);
    op.LoadProfile(path);
    op.fImage.assign(kImageSize, 0);
    EXPECT_EQ(op.fCRCKind, kind) << name;
    // Two bytes left at 0x7FFE: a four-byte kind does not fit, the others do.
    const bool fits = ChecksumBytes(kind) <= 2;
    EXPECT_EQ(op.CheckLayout().isEmpty(), fits) << name << ": " << op.CheckLayout().toStdString();
  }

  TEFIOperator op(true);
  UseBuiltIn(op);
  op.fEndDataAreaAddress = op.fStartDataAreaAddress - 1;
  EXPECT_EQ(op.CheckLayout(), "Область контрольной суммы: конец 0x69FD лежит раньше начала 0x69FE");
  op.fEndDataAreaAddress = 0x8000;
  EXPECT_EQ(op.CheckLayout(),
            "Область контрольной суммы (0x69FE - 0x8000) выходит за пределы образа прошивки "
            "(32768 байт)");
  op.LoadDefaultConfig();
  op.fCRCKind = TChecksumKind::Sum16LEComplement;
  op.fCRCAddress = 0x7FFD;
  EXPECT_EQ(op.CheckLayout(),
            "Контрольная сумма (адрес 0x7FFD, 4 байт) выходит за пределы образа прошивки (32768 "
            "байт)");
  EXPECT_THROW(op.DecodeImage(), ERuntimeError);
}

TEST(Checksum, CorruptedDemoImageIsWrongNotNotFoundUnderTheBuiltInConfiguration) {
  // The built-in configuration names its kind: a changed byte in the table area makes its
  // value wrong; no other kind is tried in its place.
  TEFIOperator config(true);
  config.LoadDefaultConfig();
  EXPECT_EQ(config.fCRCKind, kDemoChecksumKind);
  std::vector<uint8_t> image = MakeDemoImage();
  image[static_cast<size_t>(config.fStartMainFuelTableAddress_Lo) + 20] ^= 0x01;
  const TChecksumStatus status = CheckChecksum(image, config);
  EXPECT_EQ(status.kind, kDemoChecksumKind);
  EXPECT_FALSE(status.valid);
  EXPECT_EQ(ChecksumStatusText(status), "КС: неверна");
  // Even where another kind's value happens to be stored: the named kind decides.
  StoreChecksum(image, config, TChecksumKind::Sum16LE);
  EXPECT_EQ(ChecksumStatusText(CheckChecksum(image, config)), "КС: неверна");
}
