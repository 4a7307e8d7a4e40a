// tarvelo-cli's checksum and apply over the schemes an image carries, run as a user would:
// every scheme that holds listed (in words and as JSON), the candidates with --scan, 64 KB
// images read whole; apply corrects each scheme that held, and where none did writes nothing
// unless told to keep the image's sum or leave the checksum bytes.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <random>

#include "support/ImageTestUtil.h"
#include "image/ChecksumSearch.h"
#include "image/DemoImage.h"
#include "image/FillerSum.h"
#include "image/ProfileFile.h"
#include "support/CliRun.h"

#ifdef TARVELO_CLI

namespace {

TCliRun Cli(const QStringList& args) {
  return RunCli(QStringLiteral(TARVELO_CLI), args);
}

std::vector<uint8_t> RandomImage(uint32_t seed, size_t size) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> image(size);
  for (auto& b : image) b = static_cast<uint8_t>(rng());
  return image;
}

TChecksumScheme CodeArea(TChecksumKind kind, int64_t size) {
  TChecksumScheme s;
  s.type = TSchemeType::CodeArea;
  s.kind = kind;
  s.ranges = {{0, size - 0x101}};
  s.place = size - 0x100;
  return s;
}

class CliChecksum : public ::testing::Test {
 protected:
  void SetUp() override {
    // The built-in tables with no checksum named: every scheme is searched for, with the
    // built-in area as one candidate (area.prf) or without it (auto.prf).
    TEFIOperator op(true);
    op.LoadDefaultConfig();
    op.fCRCKind = TChecksumKind::None;
    SaveProfile(op, Path("area.prf"));
    op.fStartDataAreaAddress = op.fEndDataAreaAddress = op.fCRCAddress = 0;
    SaveProfile(op, Path("auto.prf"));
  }
  QString Path(const QString& name) const { return fDir.filePath(name); }
  QTemporaryDir fDir;
};

}  // namespace

TEST_F(CliChecksum, EverySchemeThatHoldsIsListedWithTheCandidatesOnRequest) {
  // A 64 KB image whose code area sum (with its complement) lies at FF00.
  std::vector<uint8_t> big = RandomImage(8, 0x10000);
  StoreScheme(big, CodeArea(TChecksumKind::Sum16BEComplement, 0x10000));
  WriteBytes(Path("big.bin"), Bytes(big));
  const TCliRun text = Cli({"checksum", Path("big.bin"), "--profile", Path("auto.prf")});
  EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
  EXPECT_EQ(text.out,
            "CS: right (16 bits + compl., 0000-FEFF -> FF00)\nholds: 16-bit sum of the code area "
            "0000-FEFF and its complement, high byte first, at FF00\n");
  const TCliRun scan =
      Cli({"checksum", Path("big.bin"), "--profile", Path("auto.prf"), "--scan", "--json"});
  ASSERT_EQ(scan.exitCode, 0);
  const QJsonObject o = QJsonDocument::fromJson(scan.out.toUtf8()).object();
  ASSERT_EQ(o["holds"].toArray().size(), 1);
  const QJsonObject held = o["holds"].toArray()[0].toObject();
  EXPECT_EQ(held["type"].toString(), "code-area");
  EXPECT_EQ(held["kind"].toString(), "sum16be+complement");
  EXPECT_EQ(held["place"].toInt(), 0xFF00);
  EXPECT_GT(o["tried"].toArray().size(), 100);

  // The first 32 KB alone carry no scheme: every tried one fails. A profile that names no
  // checksum area has nothing to check against then.
  WriteBytes(Path("half.bin"), Bytes({big.begin(), big.begin() + 0x8000}));
  const TCliRun none = Cli({"checksum", Path("half.bin"), "--profile", Path("area.prf")});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.out, "CS: not found\n");
  const TCliRun bare = Cli({"checksum", Path("half.bin"), "--profile", Path("auto.prf")});
  EXPECT_EQ(bare.exitCode, 2);
  EXPECT_TRUE(bare.err.contains("no checksum area")) << bare.err.toStdString();
  // A profile naming the code area's sum has only it checked.
  WriteBytes(Path("code.prf"), "[config]\r\nfVersionAddress=0x7DF6\r\nCRCKind=code16be\r\n");
  const TCliRun named = Cli({"checksum", Path("big.bin"), "--profile", Path("code.prf")});
  EXPECT_EQ(named.exitCode, 0) << named.out.toStdString() << named.err.toStdString();
  // An unknown kind is an error, naming the known ones.
  WriteBytes(Path("crc.prf"), "[config]\r\nCRCKind=crc32\r\n");
  const TCliRun unknown = Cli({"checksum", Path("big.bin"), "--profile", Path("crc.prf")});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_TRUE(unknown.err.contains("CRCKind=crc32 is not known; known are: auto, "))
      << unknown.err.toStdString();
}

TEST_F(CliChecksum, ApplyCorrectsWhatHeldAndWithoutASchemeWritesOnlyWhenTold) {
  const std::vector<uint8_t> demo = MakeDemoImage();
  WriteBytes(Path("demo.bin"), Bytes(demo));
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = demo;
  op.DecodeImage();
  op.fFuelMainMatrix[4][7] += 0.06;
  op.SaveSettings(1, Path("edited.dme"));

  // The demo image with nothing named holds its own area's sum and nothing else.
  EXPECT_EQ(Cli({"checksum", Path("demo.bin"), "--profile", Path("area.prf")}).out,
            "CS: right (16 bits, 69FE-797F -> 7980)\nholds: 16-bit sum of the area 69FE-797F, "
            "high byte first, at 7980\n");
  // Two schemes at once on the input (the built-in area's and the code area's): both hold
  // on the output.
  std::vector<uint8_t> two = demo;
  StoreScheme(two, CodeArea(TChecksumKind::Sum16LE, 0x8000));
  WriteBytes(Path("two.bin"), Bytes(two));
  const TCliRun both = Cli({"apply", Path("two.bin"), Path("edited.dme"), Path("two-out.bin"),
                            "--profile", Path("area.prf")});
  ASSERT_EQ(both.exitCode, 0) << both.err.toStdString();
  const TCliRun check = Cli({"checksum", Path("two-out.bin"), "--profile", Path("area.prf")});
  EXPECT_EQ(check.exitCode, 0);
  EXPECT_TRUE(check.out.startsWith("CS: right (16 bits, 69FE-797F -> 7980; +1)\n"))
      << check.out.toStdString();
  EXPECT_TRUE(check.out.contains("holds: 16-bit sum of the code area 0000-7EFF, low byte"));

  // No scheme at all: refused, nothing written.
  std::vector<uint8_t> bare = demo;
  bare[0x7980] ^= 0xFF;
  std::fill(bare.begin() + 0x1000, bare.begin() + 0x1020, 0x00);
  std::fill(bare.begin() + 0x1800, bare.begin() + 0x1820, 0xFF);
  WriteBytes(Path("bare.bin"), Bytes(bare));
  const QStringList args{"apply",         Path("bare.bin"), Path("edited.dme"),
                         Path("out.bin"), "--profile",      Path("area.prf")};
  const TCliRun refused = Cli(args);
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_TRUE(refused.err.contains("--keep-sum")) << refused.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("out.bin")));
  // --no-checksum: written, the old checksum bytes kept.
  ASSERT_EQ(Cli(args + QStringList{"--no-checksum"}).exitCode, 0);
  const std::vector<uint8_t> left = FileBytes(Path("out.bin"));
  EXPECT_EQ(left[0x7980], bare[0x7980]);
  EXPECT_NE(ImageSum16(left), ImageSum16(bare));
  // --keep-sum: the whole image's sum kept, by the two bytes it names.
  const TCliRun kept = Cli(args + QStringList{"--keep-sum"});
  ASSERT_EQ(kept.exitCode, 0) << kept.err.toStdString();
  const std::vector<uint8_t> out = FileBytes(Path("out.bin"));
  EXPECT_EQ(ImageSum16(out), ImageSum16(bare));
  int filler = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == left[i]) continue;
    ++filler;
    EXPECT_TRUE(kept.out.contains(QStringLiteral("%1 ").arg(i, 4, 16, QLatin1Char('0')).toUpper()))
        << i << kept.out.toStdString();
  }
  EXPECT_EQ(filler, 2);
  EXPECT_EQ(Cli(args + QStringList{"--keep-sum", "--no-checksum"}).exitCode, 2);
}

TEST_F(CliChecksum, ApplyNamesEachCorrectedSchemeAndStrictRefusesOneOnlyTheSearchFound) {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  op.DecodeImage();
  op.SaveSettings(1, Path("demo.dme"));
  // Random bytes on which a calibration area's sum (6600-787F, low byte first, at 7880)
  // holds by chance; the demo's tables written into them change that area.
  const std::vector<uint8_t> chance = RandomImage(141, 0x8000);
  WriteBytes(Path("chance.bin"), Bytes(chance));
  const TCliRun json =
      Cli({"checksum", Path("chance.bin"), "--profile", Path("auto.prf"), "--json"});
  const QJsonObject held =
      QJsonDocument::fromJson(json.out.toUtf8()).object()["holds"].toArray()[0].toObject();
  EXPECT_TRUE(held["searched"].toBool()) << json.out.toStdString();

  const QStringList args{"apply",         Path("chance.bin"), Path("demo.dme"),
                         Path("out.bin"), "--profile",        Path("auto.prf")};
  const TCliRun strict = Cli(args + QStringList{"--strict-checksum"});
  EXPECT_EQ(strict.exitCode, 2);
  EXPECT_TRUE(strict.err.contains("6600-787F")) << strict.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("out.bin")));
  // Without it the sum is corrected, and stderr names it with its area and its two bytes.
  const TCliRun corrected = Cli(args);
  ASSERT_EQ(corrected.exitCode, 0) << corrected.err.toStdString();
  EXPECT_TRUE(corrected.err.contains("corrected 16-bit sum of the area 6600-787F"))
      << corrected.err.toStdString();
  EXPECT_TRUE(corrected.err.contains("(7880-7881)")) << corrected.err.toStdString();
  EXPECT_TRUE(corrected.out.startsWith("CS: right (search: 16 bits LE, 6600-787F -> 7880)"))
      << corrected.out.toStdString();
  const std::vector<uint8_t> out = FileBytes(Path("out.bin"));
  for (size_t i = 0x7882; i < out.size(); ++i) ASSERT_EQ(out[i], chance[i]) << i;

  // A fixed place (the whole code area's sum) is corrected under --strict-checksum too.
  std::vector<uint8_t> code = RandomImage(3, 0x8000);
  StoreScheme(code, CodeArea(TChecksumKind::Sum16BE, 0x8000));
  WriteBytes(Path("code.bin"), Bytes(code));
  const TCliRun fixed = Cli({"apply", Path("code.bin"), Path("demo.dme"), Path("code-out.bin"),
                             "--profile", Path("auto.prf"), "--strict-checksum"});
  ASSERT_EQ(fixed.exitCode, 0) << fixed.err.toStdString();
  EXPECT_TRUE(fixed.err.contains("corrected 16-bit sum of the code area 0000-7EFF"))
      << fixed.err.toStdString();
  EXPECT_TRUE(fixed.err.contains("(7F00-7F01)")) << fixed.err.toStdString();
}

#endif  // TARVELO_CLI
