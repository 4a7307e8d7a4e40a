// tarvelo-cli run as a separate process on temporary files, as a user would run it.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <random>

#include "support/ImageTestUtil.h"
#include "image/Checksum.h"
#include "image/DemoImage.h"
#include "support/CliRun.h"
#include "support/RandomImage.h"

#ifdef TARVELO_CLI

namespace {

using CliRun = TCliRun;

CliRun Cli(const QStringList& args, const QString& locale = QStringLiteral("ru_RU.UTF-8")) {
  return RunCli(QStringLiteral(TARVELO_CLI), args, locale);
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fDemo = fDir.filePath("demo.bin");
    WriteBytes(fDemo, Bytes(MakeDemoImage()));
  }
  QString Path(const char* name) const { return fDir.filePath(name); }
  QTemporaryDir fDir;
  QString fDemo;
};

}  // namespace

TEST_F(CliTest, HelpNamesTheCommandsAndTheDecimalPoint) {
  const CliRun r = Cli({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* word :
       {"decode", "bin2dme", "dme", "make-demo", "--profile", "--json", "full stop"})
    EXPECT_TRUE(r.out.contains(word)) << word;
}

TEST_F(CliTest, MakeDemoWritesTheCommittedImage) {
  const CliRun r = Cli({"make-demo", Path("made.bin")});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(FileBytes(Path("made.bin")), FileBytes(DemoImagePath()));
}

TEST_F(CliTest, DecodePrintsTablesWithAFullStop) {
  const CliRun r = Cli({"decode", fDemo});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("Version: 0123456789"));
  EXPECT_TRUE(r.out.contains("Rev limit: 6500 rpm"));
  EXPECT_TRUE(r.out.contains("CO trim code: 128"));
  EXPECT_TRUE(r.out.contains("0.98"));
  EXPECT_FALSE(r.out.contains("0,98"));

  const CliRun j = Cli({"decode", fDemo, "--json"});
  ASSERT_EQ(j.exitCode, 0) << j.err.toStdString();
  QJsonParseError error{};
  const QJsonObject doc = QJsonDocument::fromJson(j.out.toUtf8(), &error).object();
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  EXPECT_EQ(doc["version"].toString(), kDemoVersionText);
  EXPECT_EQ(doc["maxRPM"].toInt(), 6500);
  EXPECT_EQ(doc["coReg"].toInt(), 128);
  const QJsonObject tables = doc["tables"].toObject();
  EXPECT_EQ(tables["fSparkXXMatrix"].toObject()["rpm"].toArray().first().toDouble(), 600);
  const QJsonObject fuel = tables["fFuelMainMatrix"].toObject();
  EXPECT_EQ(fuel["load"].toArray().size(), 12);
  EXPECT_EQ(fuel["values"].toArray().size(), 12);
  EXPECT_EQ(fuel["values"].toArray()[0].toArray().size(), 16);
  EXPECT_EQ(doc["maf"].toArray().size(), 256);
  EXPECT_EQ(doc["warmUp"].toObject()["temp"].toArray().first().toInt(), -20);
}

TEST_F(CliTest, Bin2DmeAndDmeAgreeWithTheCore) {
  const CliRun r = Cli({"bin2dme", fDemo, Path("demo.dme")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  op.DecodeImage();
  op.SaveSettings(1, Path("core.dme"));
  EXPECT_EQ(FileBytes(Path("demo.dme")), FileBytes(Path("core.dme")));

  const CliRun d = Cli({"dme", Path("demo.dme"), "--json"});
  ASSERT_EQ(d.exitCode, 0) << d.err.toStdString();
  const QJsonObject doc = QJsonDocument::fromJson(d.out.toUtf8()).object();
  EXPECT_EQ(doc["version"].toString(), kDemoVersionText);
  EXPECT_EQ(doc["maxRPM"].toInt(), 6500);
  EXPECT_FALSE(doc.contains("coReg"));  // not in a settings file
  EXPECT_EQ(doc["maf"].toArray().size(), 256);
}

TEST_F(CliTest, ProfilesAreHonouredAndBadOnesRefused) {
  WriteBytes(Path("old.prf"), "[config]\r\nfVersionAddress=0x10\r\n");
  const CliRun ok = Cli({"decode", fDemo, "--profile", Path("old.prf"), "--json"});
  ASSERT_EQ(ok.exitCode, 0) << ok.err.toStdString();
  const QJsonObject doc = QJsonDocument::fromJson(ok.out.toUtf8()).object();
  EXPECT_EQ(doc["fVersion"].toInt(), 1);
  EXPECT_FALSE(doc.contains("maf"));

  const CliRun missing = Cli({"decode", fDemo, "--profile", Path("none.prf")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.err.contains("none.prf"));

  WriteBytes(Path("far.prf"), "[config]\r\nfVersion=2\r\nfStartMainFuelTableAddress_Lo=$7FFF\r\n");
  for (const char* command : {"decode", "bin2dme"}) {
    QStringList args = {command, fDemo};
    if (QString(command) == "bin2dme") args << Path("never.dme");
    const CliRun far = Cli(args << "--profile" << Path("far.prf"));
    EXPECT_EQ(far.exitCode, 1) << command;
    EXPECT_TRUE(far.err.contains("lies outside the firmware image")) << far.err.toStdString();
    EXPECT_EQ(far.err.count('\n'), 1);
  }
  EXPECT_FALSE(QFile::exists(Path("never.dme")));

  WriteBytes(Path("narrow.prf"), "[config]\r\nfRPMTempCorrDim1=1\r\n");
  const CliRun narrow = Cli({"dme", Path("x.dme"), "--profile", Path("narrow.prf")});
  EXPECT_EQ(narrow.exitCode, 1);
  EXPECT_TRUE(narrow.err.contains("fRPMTempCorrTable")) << narrow.err.toStdString();
}

TEST_F(CliTest, MissingAndShortFilesFailOnOneLine) {
  const CliRun missing = Cli({"decode", Path("none.bin")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.err.endsWith("none.bin: File not found\n")) << missing.err.toStdString();

  WriteBytes(Path("short.bin"), QByteArray(100, '\0'));
  const CliRun shortImage = Cli({"decode", Path("short.bin")});
  EXPECT_EQ(shortImage.exitCode, 1);
  EXPECT_TRUE(shortImage.err.endsWith("short.bin: Read beyond end of file\n"));

  WriteBytes(Path("short.dme"), QByteArray(300, '\x01'));
  const CliRun shortSettings = Cli({"dme", Path("short.dme")});
  EXPECT_EQ(shortSettings.exitCode, 1);
  EXPECT_TRUE(shortSettings.err.endsWith("Read beyond end of file\n"));

  EXPECT_EQ(Cli({"decode"}).exitCode, 2);
  EXPECT_EQ(Cli({"frobnicate"}).exitCode, 2);
  EXPECT_EQ(Cli({"decode", fDemo, "--bogus"}).exitCode, 2);
}

TEST_F(CliTest, ApplyThenChecksumGivesAnImageThatVerifies) {
  const CliRun help = Cli({"--help"});
  EXPECT_TRUE(help.out.contains("checksum IMAGE.bin") && help.out.contains("apply IMAGE.bin"));
  const CliRun demo = Cli({"checksum", fDemo});
  EXPECT_EQ(demo.exitCode, 0) << demo.err.toStdString();
  EXPECT_EQ(demo.out, "CS: right (16 bits, 69FE-797F -> 7980)\nholds: 16-bit sum of the area 69FE-797F, high byte first, at 7980\n");

  // A calibration edited in the core, its settings file put into the demo image.
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  op.DecodeImage();
  const double edited = op.fFuelMainMatrix[4][7] + 0.06;
  op.fFuelMainMatrix[4][7] = edited;
  op.SaveSettings(1, Path("edited.dme"));
  const CliRun apply = Cli({"apply", fDemo, Path("edited.dme"), Path("out.bin")});
  ASSERT_EQ(apply.exitCode, 0) << apply.err.toStdString();
  const CliRun check = Cli({"checksum", Path("out.bin")});
  EXPECT_EQ(check.exitCode, 0) << check.err.toStdString();
  EXPECT_EQ(check.out, "CS: right (16 bits, 69FE-797F -> 7980)\nholds: 16-bit sum of the area 69FE-797F, high byte first, at 7980\n");
  TEFIOperator written(true);
  written.LoadDefaultConfig();
  written.fImage = FileBytes(Path("out.bin"));
  written.DecodeImage();
  EXPECT_NEAR(written.fFuelMainMatrix[4][7], edited, 0.005);
  EXPECT_FALSE(apply.err.contains("warning"));

  // A settings file of another version is applied with a warning.
  QByteArray other = Bytes(FileBytes(Path("edited.dme")));
  other[0] = 9;
  WriteBytes(Path("other.dme"), other);
  const CliRun warned = Cli({"apply", fDemo, Path("other.dme"), Path("other.bin")});
  EXPECT_EQ(warned.exitCode, 0);
  EXPECT_TRUE(warned.err.contains("warning: " + Path("other.dme") + " is for version 9123456789"))
      << warned.err.toStdString();
}

TEST_F(CliTest, ApplyOfTheImagesOwnSettingsFileRewritesNoCode) {
  // The demo image and random ones (every code somewhere, a right checksum): bin2dme then
  // apply gives the image back, though the file's values cannot hold every code exactly.
  std::mt19937 rng(24);
  TEFIOperator config(true);
  config.LoadDefaultConfig();
  for (int n = 0; n < 4; ++n) {
    SCOPED_TRACE(n);
    std::vector<uint8_t> image = MakeDemoImage();
    if (n > 0) {
      image = RandomImage(rng, config);
      StoreChecksum(image, config, config.fCRCKind);
    }
    WriteBytes(Path("in.bin"), Bytes(image));
    ASSERT_EQ(Cli({"bin2dme", Path("in.bin"), Path("d.dme")}).exitCode, 0);
    // Random axes do not rise: such an image's own file goes back only when forced.
    QStringList args{"apply", Path("in.bin"), Path("d.dme"), Path("out.bin")};
    if (n > 0) args << "--force";
    const CliRun apply = Cli(args);
    ASSERT_EQ(apply.exitCode, 0) << apply.err.toStdString();
    EXPECT_EQ(FileBytes(Path("out.bin")), image);
  }
}

TEST_F(CliTest, ApplyRefusesAxesThatDoNotRiseAndAFileOfTheOtherLayout) {
  // 1172 zero bytes: every RPM breakpoint at 10240, a rev limit of 0.
  WriteBytes(Path("zero.dme"), QByteArray(1172, '\0'));
  const CliRun zero = Cli({"apply", fDemo, Path("zero.dme"), Path("zero.bin")});
  EXPECT_EQ(zero.exitCode, 2);
  EXPECT_TRUE(zero.err.contains("fFuelMainMatrix: the RPM axis does not rise: 10240 after 10240"))
      << zero.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("zero.bin")));
  EXPECT_EQ(Cli({"apply", fDemo, Path("zero.dme"), Path("zero.bin"), "--force"}).exitCode, 0);
  EXPECT_TRUE(QFile::exists(Path("zero.bin")));

  // A file of the older layout's size, and one of neither size.
  QTemporaryDir none;
  TEFIOperator older(true);
  older.LoadProfile(none.filePath("none.prf"));
  older.fVersionText = "0123456789";
  WriteBytes(Path("older.dme"), QByteArray(static_cast<qsizetype>(older.SettingsFileSize()), '\1'));
  const CliRun other = Cli({"apply", fDemo, Path("older.dme"), Path("other.bin")});
  EXPECT_EQ(other.exitCode, 2);
  EXPECT_TRUE(other.err.contains("split part-load maps (variant 1)")) << other.err.toStdString();
  EXPECT_FALSE(other.err.contains("Read beyond end of file")) << other.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("other.bin")));
  WriteBytes(Path("long.dme"), Bytes(FileBytes(Path("zero.dme"))) + "tail");
  const CliRun longer = Cli({"apply", fDemo, Path("long.dme"), Path("long.bin")});
  EXPECT_EQ(longer.exitCode, 2);
  EXPECT_TRUE(longer.err.contains("1176 bytes")) << longer.err.toStdString();
}

TEST_F(CliTest, DemoImageWithOneChangedTableByteIsWrongNotNotFound) {
  // The built-in configuration knows its kind: a changed table byte makes it wrong (exit 1).
  std::vector<uint8_t> broken = MakeDemoImage();
  broken[0x7100] ^= 0x11;  // a cell of the part-load fuel map
  WriteBytes(Path("broken.bin"), Bytes(broken));
  const CliRun wrong = Cli({"checksum", Path("broken.bin")});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_EQ(wrong.out,
            "CS: wrong\nfails: 16-bit sum of the area 69FE-797F, high byte first, at 7980\n");
  // A wrong checksum is not made right by apply: nothing is written.
  ASSERT_EQ(Cli({"bin2dme", fDemo, Path("demo.dme")}).exitCode, 0);
  const CliRun refused = Cli({"apply", Path("broken.bin"), Path("demo.dme"), Path("out.bin")});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_TRUE(refused.err.contains("checksum is wrong")) << refused.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("out.bin")));

  // Where the configuration names no kind, none matching is "not found", and apply refuses.
  WriteBytes(Path("auto.prf"),
             "[config]\r\nfVersionAddress=0x7DF6\r\nfStartDataAreaAddress=0x69FE\r\n"
             "fEndDataAreaAddress=0x797F\r\nfCRCAddress=0x7980\r\n");
  const CliRun unknown = Cli({"checksum", Path("broken.bin"), "--profile", Path("auto.prf")});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_EQ(unknown.out, "CS: not found\n");
  EXPECT_EQ(Cli({"checksum", fDemo, "--profile", Path("auto.prf")}).out,
            "CS: right (16 bits, 69FE-797F -> 7980)\nholds: 16-bit sum of the area 69FE-797F, high byte first, at 7980\n");
  ASSERT_EQ(Cli({"bin2dme", fDemo, Path("auto.dme"), "--profile", Path("auto.prf")}).exitCode, 0);
  const CliRun noKind = Cli({"apply", Path("broken.bin"), Path("auto.dme"), Path("out.bin"),
                             "--profile", Path("auto.prf")});
  EXPECT_EQ(noKind.exitCode, 2);
  EXPECT_TRUE(noKind.err.contains("CRCKind")) << noKind.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("out.bin")));
}

TEST_F(CliTest, WrongOrUnknownChecksumsAndTheirRefusals) {
  // A profile naming the kind: the demo's big-endian value is wrong for little-endian, and
  // apply does not make a wrong value right.
  WriteBytes(Path("le.prf"),
             "[config]\r\nfVersionAddress=0x7DF6\r\nfStartDataAreaAddress=0x69FE\r\n"
             "fEndDataAreaAddress=0x797F\r\nfCRCAddress=0x7980\r\nCRCKind=sum16le\r\n");
  const CliRun wrong = Cli({"checksum", fDemo, "--profile", Path("le.prf")});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_EQ(wrong.out,
            "CS: wrong\nfails: 16-bit sum of the area 69FE-797F, low byte first, at 7980\n");
  ASSERT_EQ(Cli({"bin2dme", fDemo, Path("le.dme"), "--profile", Path("le.prf")}).exitCode, 0);
  const CliRun refused =
      Cli({"apply", fDemo, Path("le.dme"), Path("le.bin"), "--profile", Path("le.prf")});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_FALSE(QFile::exists(Path("le.bin")));
  // An image whose little-endian value is right keeps it right.
  TEFIOperator config(true);
  config.LoadDefaultConfig();
  std::vector<uint8_t> le = MakeDemoImage();
  StoreChecksum(le, config, TChecksumKind::Sum16LE);
  WriteBytes(Path("le-in.bin"), Bytes(le));
  const CliRun named = Cli(
      {"apply", Path("le-in.bin"), Path("le.dme"), Path("le.bin"), "--profile", Path("le.prf")});
  ASSERT_EQ(named.exitCode, 0) << named.err.toStdString();
  const CliRun check = Cli({"checksum", Path("le.bin"), "--profile", Path("le.prf")});
  EXPECT_EQ(check.exitCode, 0);
  EXPECT_EQ(check.out,
            "CS: right (16 bits LE, 69FE-797F -> 7980)\nholds: 16-bit sum of the area "
            "69FE-797F, low byte first, at 7980\n");

  // Errors: exit code 2, never 1, which means a wrong checksum.
  EXPECT_EQ(Cli({"checksum", Path("none.bin")}).exitCode, 2);
  EXPECT_EQ(Cli({"checksum"}).exitCode, 2);
  EXPECT_EQ(Cli({"apply", fDemo, Path("none.dme"), Path("x.bin")}).exitCode, 2);
  WriteBytes(Path("noarea.prf"), "[config]\r\n");
  const CliRun noArea = Cli({"checksum", fDemo, "--profile", Path("noarea.prf")});
  EXPECT_EQ(noArea.exitCode, 2);
  EXPECT_TRUE(noArea.err.contains("no checksum area")) << noArea.err.toStdString();
  WriteBytes(Path("far.prf"), "[config]\r\nfEndDataAreaAddress=0x9000\r\nfCRCAddress=0x10\r\n");
  const CliRun far = Cli({"checksum", fDemo, "--profile", Path("far.prf")});
  EXPECT_EQ(far.exitCode, 2);
  EXPECT_TRUE(far.err.contains("The checksum area")) << far.err.toStdString();
}

TEST_F(CliTest, ChecksumAndCoreTextsAreEnglishAndNumbersHaveAFullStopUnderEveryLocale) {
  // Scripts read the tool's words and numbers whatever the desktop's language.
  WriteBytes(Path("far.prf"), "[config]\r\nfEndDataAreaAddress=0x9000\r\nfCRCAddress=0x10\r\n");
  WriteBytes(Path("warm-up.csv"), "-20,0,40,80\n1300,x,900,800\n");
  const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
  for (const char* locale : {"C", "POSIX", "en_US.UTF-8", "en_GB.UTF-8", "ru_RU.UTF-8", "de_DE"}) {
    SCOPED_TRACE(locale);
    const CliRun right = Cli({"checksum", fDemo}, locale);
    EXPECT_EQ(right.exitCode, 0);
    EXPECT_EQ(right.out, "CS: right (16 bits, 69FE-797F -> 7980)\nholds: 16-bit sum of the area 69FE-797F, high byte first, at 7980\n");
    const CliRun far = Cli({"checksum", fDemo, "--profile", Path("far.prf")}, locale);
    EXPECT_EQ(far.exitCode, 2);
    EXPECT_TRUE(
        far.err.contains("The checksum area (0x0 - 0x9000) lies outside the firmware "
                         "image (32768 bytes)"))
        << far.err.toStdString();
    const CliRun csv = Cli({"apply-csv", fDemo, Path("warm-up.csv"), Path("out.dme")}, locale);
    EXPECT_TRUE(csv.err.contains("“x” in line 2, field 2 is not a number"))
        << csv.err.toStdString();
    const CliRun decode = Cli({"decode", fDemo}, locale);
    EXPECT_TRUE(decode.out.contains("0.98"));
    EXPECT_FALSE(decode.out.contains("0,98"));
    for (const CliRun* r : {&right, &far, &csv, &decode}) {
      EXPECT_FALSE(r->out.contains(cyrillic)) << r->out.toStdString();
      EXPECT_FALSE(r->err.contains(cyrillic)) << r->err.toStdString();
    }
  }
}

#endif  // TARVELO_CLI
