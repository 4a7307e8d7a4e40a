// The checksum schemes found on images made for them: random code bytes with one scheme's
// value (or copy) put in place, on 32 KB and 64 KB images, several at once; a changed byte
// makes exactly the schemes covering it fail; a named scheme is the only one checked; an
// area of one repeated byte is no checksum.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>

#include "support/ImageTestUtil.h"
#include "common/Errors.h"
#include "image/Checksum.h"
#include "image/ChecksumSearch.h"
#include "image/DemoImage.h"
#include "image/ImageWriteBack.h"
#include "image/ProfileFile.h"

namespace {

std::vector<uint8_t> RandomImage(uint32_t seed, int64_t size = kImageSize) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> image(static_cast<size_t>(size));
  for (auto& b : image) b = static_cast<uint8_t>(rng());
  return image;
}

// The built-in tables with no checksum named and no area configured: everything is searched.
TEFIOperator Unnamed() {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fCRCKind = TChecksumKind::None;
  op.fStartDataAreaAddress = op.fEndDataAreaAddress = op.fCRCAddress = 0;
  return op;
}

TChecksumScheme Sum(TSchemeType type, TChecksumKind kind, int64_t first, int64_t last,
                    int64_t place) {
  TChecksumScheme s;
  s.type = type;
  s.kind = kind;
  s.ranges = {{first, last}};
  s.place = place;
  return s;
}

// A calibration area's sum only the search finds.
TChecksumScheme Searched(TChecksumKind kind, int64_t first, int64_t last, int64_t place) {
  TChecksumScheme s = Sum(TSchemeType::Area, kind, first, last, place);
  s.searched = true;
  return s;
}

TChecksumScheme Code(TChecksumKind kind, int64_t size = kImageSize) {
  return Sum(TSchemeType::CodeArea, kind, 0, size - 0x101, size - 0x100);
}

TChecksumScheme Mirror(int64_t source, int64_t length, int64_t copy) {
  TChecksumScheme s;
  s.type = TSchemeType::Mirror;
  s.ranges = {{source, source + length - 1}};
  s.place = copy;
  return s;
}

}  // namespace

TEST(ChecksumSearch, EachSchemeIsFoundAloneOnRandomImagesMadeForIt) {
  const TEFIOperator config = Unnamed();
  struct Case {
    const char* what;
    int64_t size;
    TChecksumScheme scheme;
  };
  const Case cases[] = {
      {"code area BE", 0x8000, Code(TChecksumKind::Sum16BE)},
      {"code area LE", 0x8000, Code(TChecksumKind::Sum16LE)},
      {"code area BE, 64 KB", 0x10000, Code(TChecksumKind::Sum16BE, 0x10000)},
      {"code area LE + complement, 64 KB", 0x10000,
       Code(TChecksumKind::Sum16LEComplement, 0x10000)},
      {"code area BE + complement", 0x8000, Code(TChecksumKind::Sum16BEComplement)},
      // Calibration areas whose ends vary: a page below the first table, a boundary after.
      {"calibration BE", 0x8000, Searched(TChecksumKind::Sum16BE, 0x6800, 0x79FF, 0x7A00)},
      {"calibration LE", 0x8000, Searched(TChecksumKind::Sum16LE, 0x6500, 0x7D7F, 0x7D80)},
      {"calibration LE, 64 KB", 0x10000, Searched(TChecksumKind::Sum16LE, 0x6B00, 0x7C7F, 0x7C80)},
      {"calibration + complement", 0x8000,
       Searched(TChecksumKind::Sum16LEComplement, 0x6A00, 0x7B7F, 0x7B80)},
      {"mirror after the tables", 0x8000, Mirror(0x7000, 0x100, 0x7A00)},
      {"mirror below the tables, 64 KB", 0x10000, Mirror(0x2345, 0x99, 0xC000)},
  };
  for (const Case& c : cases) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
      SCOPED_TRACE(std::string(c.what) + " seed " + std::to_string(seed));
      std::vector<uint8_t> image = RandomImage(seed, c.size);
      EXPECT_TRUE(FindSchemes(image, config).held.empty());
      StoreScheme(image, c.scheme);
      const TSchemeSearch found = FindSchemes(image, config);
      ASSERT_EQ(found.held.size(), 1u);
      EXPECT_EQ(found.held[0], c.scheme);
      EXPECT_FALSE(found.named);
      // A byte the scheme covers changed: it fails (what is left of a mirrored block may
      // still be found as a shorter one).
      image[static_cast<size_t>(c.scheme.ranges[0].first + 7)] ^= 0x20;
      const std::vector<TChecksumScheme> after = FindSchemes(image, config).held;
      EXPECT_EQ(std::find(after.begin(), after.end(), c.scheme), after.end());
      if (c.scheme.type != TSchemeType::Mirror) {
        EXPECT_TRUE(after.empty());
      }
    }
  }
}

TEST(ChecksumSearch, SeveralSchemesAtOnceAndAChangedByteFailsExactlyThoseCoveringIt) {
  const TEFIOperator config = Unnamed();
  const TChecksumScheme mirror = Mirror(0x7100, 0x60, 0x7C00);  // a fuel map block copied
  const TChecksumScheme cal = Searched(TChecksumKind::Sum16BE, 0x6600, 0x7DFF, 0x7E00);
  const TChecksumScheme code = Code(TChecksumKind::Sum16LE);
  std::vector<uint8_t> image = RandomImage(41);
  CorrectSchemes(image, {code, cal, mirror});  // the inner ones first, whatever the order given
  const TSchemeSearch all = FindSchemes(image, config);
  ASSERT_EQ(all.held.size(), 3u);
  for (const TChecksumScheme& s : {mirror, cal, code})
    EXPECT_NE(std::find(all.held.begin(), all.held.end(), s), all.held.end())
        << SchemeShortText(s).toStdString();
  EXPECT_EQ(SchemeStatusText(all), "КС: верна (16 бит LE, 0000-7EFF -> 7F00; +2)");

  const auto heldAfter = [&](int64_t at) {
    std::vector<uint8_t> changed = image;
    changed[static_cast<size_t>(at)] += 1;
    std::vector<TChecksumScheme> held = FindSchemes(changed, config).held;
    std::sort(held.begin(), held.end(), [](const auto& a, const auto& b) {
      return a.type != b.type ? a.type < b.type : a.place < b.place;
    });
    return held;
  };
  using V = std::vector<TChecksumScheme>;
  EXPECT_EQ(heldAfter(0x1234), (V{cal, mirror}));        // code only
  EXPECT_EQ(heldAfter(0x7F80), (V{cal, code, mirror}));  // past the code area: nothing covers it
  EXPECT_EQ(heldAfter(0x7000), (V{mirror}));             // calibration and code area
  EXPECT_EQ(heldAfter(0x7C30), (V{}));                   // the copy, inside both sums
  // An edit in the mirrored block, corrected: the copy follows its source, every sum holds.
  std::vector<uint8_t> edited = image;
  edited[0x7120] ^= 0xFF;
  CorrectSchemes(edited, all.held);
  EXPECT_EQ(edited[0x7C20], edited[0x7120]);
  EXPECT_EQ(FindSchemes(edited, config).held.size(), 3u);
}

TEST(ChecksumSearch, TheConfiguredAreaAndANamedSchemeAreCheckedAsTheProfileSays) {
  // The built-in configuration names its scheme: only it is tried, and the demo holds it.
  TEFIOperator builtIn(true);
  builtIn.LoadDefaultConfig();
  std::vector<uint8_t> demo = MakeDemoImage();
  StoreScheme(demo, Code(TChecksumKind::Sum16BE));  // there, but not named: not looked at
  TSchemeSearch s = FindSchemes(demo, builtIn);
  EXPECT_TRUE(s.named);
  ASSERT_EQ(s.tried.size(), 1u);
  EXPECT_EQ(SchemeStatusText(s), "КС: верна (16 бит, 69FE-797F -> 7980)");
  demo[0x7100] ^= 1;
  s = FindSchemes(demo, builtIn);
  EXPECT_TRUE(s.NamedFails());
  EXPECT_EQ(SchemeStatusText(s), "КС: неверна");

  // Without a kind, the configured area is one candidate among the searched ones.
  TEFIOperator area = builtIn;
  area.fCRCKind = TChecksumKind::None;
  std::vector<uint8_t> image = RandomImage(5);
  StoreScheme(image, Code(TChecksumKind::Sum16LE));
  EXPECT_EQ(FindSchemes(image, area).held.size(), 1u);
  StoreChecksum(image, area, TChecksumKind::Sum16BEComplement);
  StoreScheme(image, Code(TChecksumKind::Sum16LE));
  s = FindSchemes(image, area);
  ASSERT_EQ(s.held.size(), 2u);
  EXPECT_EQ(SchemeShortText(s.held[0]), "16 бит + доп., 69FE-797F -> 7980");

  // Two ranges from a start value, the sum kept in a gap of the first range.
  TEFIOperator two = area;
  two.fCRCKind = TChecksumKind::Sum16LE;
  two.fStartDataAreaAddress = 0x0000;
  two.fEndDataAreaAddress = 0x1FFF;
  two.fCRCAddress = 0x1FF0;
  two.fCRCRange2First = 0x6000;
  two.fCRCRange2Last = 0x7EFF;
  two.fCRCStart = 0x5A5A;
  const TChecksumScheme named = *NamedScheme(two, kImageSize);
  EXPECT_EQ(named.type, TSchemeType::TwoRanges);
  StoreScheme(image, named);
  uint32_t sum = 0x5A5A;
  for (int i = 0; i <= 0x7EFF; ++i)
    if (i < 0x1FF0 || (i > 0x1FF1 && i <= 0x1FFF) || i >= 0x6000) sum += image[size_t(i)];
  EXPECT_EQ(image[0x1FF0] | image[0x1FF1] << 8, int(sum & 0xFFFF));
  s = FindSchemes(image, two);
  EXPECT_EQ(SchemeStatusText(s), "КС: верна (16 бит LE, 0000-1FFF + 6000-7EFF от 5A5A -> 1FF0)");
  EXPECT_EQ(SchemeWords(s.held[0]),
            "16-битная сумма диапазонов 0000-1FFF и 6000-7EFF от начального значения 5A5A, "
            "младший байт первым, в 1FF0");
  image[0x5000] ^= 1;  // between the ranges
  EXPECT_FALSE(FindSchemes(image, two).NamedFails());
  image[0x6000] ^= 1;
  EXPECT_TRUE(FindSchemes(image, two).NamedFails());
}

TEST(ChecksumSearch, AnAreaOfOneRepeatedByteIsNoChecksum) {
  TEFIOperator builtIn(true);
  builtIn.LoadDefaultConfig();
  TEFIOperator unnamed = builtIn;
  unnamed.fCRCKind = TChecksumKind::None;
  for (const uint8_t fill : {0x00, 0xFF, 0x37}) {
    SCOPED_TRACE(int(fill));
    std::vector<uint8_t> image(kImageSize, fill);
    EXPECT_EQ(SchemeStatusText(FindSchemes(image, unnamed)), "КС: не найдена");
    EXPECT_EQ(SchemeStatusText(FindSchemes(image, builtIn)), "КС: неверна");
    // Even with the sum of the erased area stored after it, as the check computes it.
    StoreChecksum(image, builtIn, TChecksumKind::Sum16BE);
    EXPECT_EQ(SchemeStatusText(FindSchemes(image, unnamed)), "КС: не найдена");
    EXPECT_EQ(SchemeStatusText(FindSchemes(image, builtIn)), "КС: неверна");
    EXPECT_FALSE(CheckChecksum(image, builtIn).valid);
  }
}

TEST(ChecksumSearch, ProfileNamesAScheme) {
  QTemporaryDir dir;
  const QString path = dir.filePath("p.prf");
  WriteBytes(path, "[config]\r\nCRCKind=crc32\r\n");
  TEFIOperator op(true);
  try {
    op.LoadProfile(path);
    ADD_FAILURE() << "an unknown kind was taken";
  } catch (const ERuntimeError& e) {
    const QString text = QString::fromUtf8(e.what());
    EXPECT_TRUE(text.contains("CRCKind=crc32")) << e.what();
    EXPECT_TRUE(
        text.contains("auto, sum16be+complement, sum16le+complement, sum16be, sum16le, "
                      "sum8, code16be, code16le, mirror"))
        << e.what();
  }
  // A named two-range sum is written and read back with its start value and second range.
  TEFIOperator two(true);
  two.LoadDefaultConfig();
  two.fCRCKind = TChecksumKind::Sum16BE;
  two.fCRCStart = 0x1234;
  two.fCRCRange2First = 0x100;
  two.fCRCRange2Last = 0x1FFF;
  SaveProfile(two, path);
  EXPECT_TRUE(QString::fromLatin1(Bytes(FileBytes(path)))
                  .contains("CRCStart=0x1234\r\nCRCRange2=0x100-0x1FFF\r\n"));
  TEFIOperator back(true);
  back.LoadProfile(path);
  EXPECT_EQ(static_cast<const TModelConfig&>(back), static_cast<const TModelConfig&>(two));
  WriteBytes(path, "[config]\r\nCRCKind=Code16LE\r\n");
  back.LoadProfile(path);
  TChecksumScheme code = Code(TChecksumKind::Sum16LE, 0x10000);
  code.named = true;
  EXPECT_EQ(NamedScheme(back, 0x10000), code);
}

TEST(ChecksumSearch, AnEditWrittenBackCorrectsEverySchemeThatHeldAndTheCopyFollowsItsSource) {
  TEFIOperator loaded = Unnamed();
  std::vector<uint8_t> image = MakeDemoImage();
  const TChecksumScheme mirror = Mirror(0x7100, 0x60, 0x7C00);  // rows of the fuel map
  const TChecksumScheme cal = Searched(TChecksumKind::Sum16BE, 0x6600, 0x7DFF, 0x7E00);
  const TChecksumScheme code = Code(TChecksumKind::Sum16LEComplement);
  CorrectSchemes(image, {mirror, cal, code});
  loaded.fImage = image;
  loaded.DecodeImage();
  const std::vector<TChecksumScheme> held = FindSchemes(image, loaded).held;
  for (const TChecksumScheme& s : {mirror, cal, code})
    ASSERT_NE(std::find(held.begin(), held.end(), s), held.end());

  TEFIOperator edited = loaded;
  edited.fFuelMainMatrix[3][5] += 0.05;
  std::vector<uint8_t> out = WriteBackTables(image, loaded, edited);
  CorrectSchemes(out, held);
  EXPECT_EQ(FindSchemes(out, loaded).held, held);
  std::vector<int64_t> changed;
  for (size_t i = 0; i < out.size(); ++i)
    if (out[i] != image[i]) changed.push_back(static_cast<int64_t>(i));
  ASSERT_GE(changed.size(), 2u);
  const int64_t cell = changed.front();
  EXPECT_TRUE(mirror.ranges[0].Contains(cell)) << cell;
  for (const int64_t at : changed) {
    const bool expected = at == cell || at == cell - 0x7100 + 0x7C00 ||
                          (at >= 0x7E00 && at < 0x7E02) || (at >= 0x7F00 && at < 0x7F04);
    EXPECT_TRUE(expected) << std::hex << at;
  }
  EXPECT_EQ(out[size_t(cell - 0x7100 + 0x7C00)], out[size_t(cell)]);
}

TEST(ChecksumSearch, ASumOnlyTheAreaSearchFindsIsMarkedAndAFixedPlaceIsNot) {
  const TEFIOperator config = Unnamed();
  // Random bytes that by chance hold a calibration area's sum among the ~500 candidates.
  const std::vector<uint8_t> chance = RandomImage(141);
  TSchemeSearch s = FindSchemes(chance, config);
  ASSERT_EQ(s.held.size(), 1u);
  EXPECT_EQ(s.held[0], Searched(TChecksumKind::Sum16LE, 0x6600, 0x787F, 0x7880));
  EXPECT_EQ(SchemeStatusText(s), "КС: верна (поиск: 16 бит LE, 6600-787F -> 7880)");
  EXPECT_TRUE(SchemeWords(s.held[0]).endsWith(" (найдена только поиском области)"));
  EXPECT_EQ(SchemePlaceText(s.held[0]), "7880-7881");

  // The same area as the configuration's own: one scheme, not a searched one.
  TEFIOperator own = config;
  own.fStartDataAreaAddress = 0x6600;
  own.fEndDataAreaAddress = 0x787F;
  own.fCRCAddress = 0x7880;
  s = FindSchemes(chance, own);
  ASSERT_EQ(s.held.size(), 1u);
  EXPECT_FALSE(s.held[0].searched);
  EXPECT_EQ(SchemeStatusText(s), "КС: верна (16 бит LE, 6600-787F -> 7880)");
  // Named by the profile: only it, not searched either.
  own.fCRCKind = TChecksumKind::Sum16LE;
  s = FindSchemes(chance, own);
  ASSERT_EQ(s.held.size(), 1u);
  EXPECT_TRUE(s.held[0].named);
  EXPECT_FALSE(s.held[0].searched);

  // The whole code area's sum at its fixed place and a mirrored block are no guesses.
  std::vector<uint8_t> image = RandomImage(7);
  CorrectSchemes(image, {Code(TChecksumKind::Sum16BEComplement), Mirror(0x7000, 0x80, 0x7B00)});
  s = FindSchemes(image, config);
  ASSERT_EQ(s.held.size(), 2u);
  for (const TChecksumScheme& h : s.held)
    EXPECT_FALSE(h.searched) << SchemeShortText(h).toStdString();
  EXPECT_EQ(SchemePlaceText(s.held[0]), "7F00-7F03");
}
