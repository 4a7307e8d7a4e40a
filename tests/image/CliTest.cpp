// tarvelo-cli run as a separate process on temporary files, as a user would run it.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "ImageTestUtil.h"
#include "image/DemoImage.h"

#ifdef TARVELO_CLI

namespace {

struct CliRun {
  int exitCode = -1;
  QString out;
  QString err;
};

CliRun Cli(const QStringList& args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  // A locale whose decimal separator is a comma: the output must not follow it.
  env.insert("LC_ALL", "ru_RU.UTF-8");
  env.insert("LANG", "ru_RU.UTF-8");
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(TARVELO_CLI), args);
  if (!p.waitForFinished(30000)) return {};
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
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
    EXPECT_TRUE(far.err.contains("выходит за пределы образа прошивки")) << far.err.toStdString();
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

#endif  // TARVELO_CLI
