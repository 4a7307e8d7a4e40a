// `tarvelo-cli profile-check` run as a script would: a sound profile on the demo image, one
// whose tables overlap, and the errors that are not the profile's problems.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"
#include "image/ProfileFile.h"
#include "support/CliRun.h"

namespace {

class CliProfileCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    fImage = fDir.filePath("demo.bin");
    SaveImageFile(fImage, MakeDemoImage());
    fBuiltIn.LoadDefaultConfig();
  }
  QString Profile(const TModelConfig& config) {
    const QString path = fDir.filePath("p.prf");
    SaveProfile(config, path);
    return path;
  }
  TCliRun Run(const QStringList& args) {
    return RunCli(TARVELO_CLI, QStringList{"profile-check"} + args);
  }

  QTemporaryDir fDir;
  QString fImage;
  TEFIOperator fBuiltIn{true};
};

}  // namespace

TEST_F(CliProfileCheck, TheBuiltInLayoutOnTheDemoImageIsSound) {
  const TCliRun text = Run({fImage, Profile(fBuiltIn)});
  EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
  EXPECT_TRUE(
      text.out.contains("\n  fFuelMainMatrix rpm: 600 800 1000 1200 1600 2000 2400 2800 "
                        "3200 3600 4000 4400 4800 5200 5600 6400\n"))
      << text.out.toStdString();
  // Numbers with a full stop although the tool runs under a Russian locale.
  EXPECT_TRUE(text.out.contains("\n  fFuelMainMatrix load: 1 1.5 2 2.5 3 4 5 6 7 8 9 10\n"));
  EXPECT_TRUE(
      text.out.contains("\n  fFuelMainMatrix                 0x70FC -  0x71DB  224 bytes\n"));
  EXPECT_TRUE(
      text.out.contains("\nOverlaps: none\nChecksum: right (sum16be, 2 bytes at 0x7980)\n"
                        "Problems: none\n"));

  const TCliRun json = Run({fImage, Profile(fBuiltIn), "--json"});
  EXPECT_EQ(json.exitCode, 0);
  const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
  EXPECT_TRUE(o["ok"].toBool());
  EXPECT_EQ(o["version"].toInt(), 2);
  EXPECT_TRUE(o["checksum"]["valid"].toBool());
  EXPECT_EQ(o["checksum"]["kind"].toString(), "sum16be");
  const QJsonArray parts = o["parts"].toArray();
  ASSERT_EQ(parts.size(), 11);
  const QJsonObject idle = parts[1].toObject();
  EXPECT_EQ(idle["name"].toString(), "fFuelXXMatrix");
  EXPECT_EQ(idle["address"].toInt(), 0x70BB);
  EXPECT_EQ(idle["axes"][1]["kind"].toString(), "load");
  EXPECT_EQ(idle["axes"][1]["values"].toArray(), (QJsonArray{1, 1.5, 2.5}));
}

TEST_F(CliProfileCheck, OverlappingTablesAreAProblemListedOnce) {
  fBuiltIn.fStartMainFuelTableAddress_Lo = fBuiltIn.fStartMainSparkTableAddress_Lo + 100;
  const QString profile = Profile(fBuiltIn);
  const TCliRun text = Run({fImage, profile});
  EXPECT_EQ(text.exitCode, 1);
  // Named in the order the image is read (the ignition map first).
  const QString overlap = "fSparkMainMatrix overlaps fFuelMainMatrix (bytes 0x7489 - 0x7504)";
  EXPECT_TRUE(text.out.contains("\nOverlaps:\n  " + overlap + "\n")) << text.out.toStdString();
  EXPECT_EQ(text.out.count(overlap), 2);  // under Overlaps and under Problems
  EXPECT_FALSE(text.out.contains("fFuelMainMatrix overlaps fSparkMainMatrix"));

  const TCliRun json = Run({"--json", fImage, profile});
  EXPECT_EQ(json.exitCode, 1);
  const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
  EXPECT_FALSE(o["ok"].toBool());
  const QJsonObject first = o["problems"][0].toObject();
  EXPECT_EQ(first["kind"].toString(), "overlap");
  EXPECT_EQ(first["part"].toString(), "fSparkMainMatrix");
  EXPECT_EQ(first["other"].toString(), "fFuelMainMatrix");
  EXPECT_EQ(first["from"].toInt(), 0x7489);
  EXPECT_EQ(first["to"].toInt(), 0x7504);
}

TEST_F(CliProfileCheck, UnreadableFilesAndBadArgumentsAreErrorsNotProblems) {
  const TCliRun missing = Run({fImage, fDir.filePath("none.prf")});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_TRUE(missing.err.contains("cannot be read"));
  EXPECT_TRUE(missing.out.isEmpty());
  const TCliRun shortImage = Run({Profile(fBuiltIn), Profile(fBuiltIn)});
  EXPECT_EQ(shortImage.exitCode, 2);
  EXPECT_TRUE(shortImage.err.contains("Read beyond end of file"));
  EXPECT_EQ(Run({fImage}).exitCode, 2);
  EXPECT_EQ(Run({fImage, Profile(fBuiltIn), "--csv"}).exitCode, 2);
}
