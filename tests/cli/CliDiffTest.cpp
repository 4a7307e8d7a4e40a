// tarvelo-cli diff run as a separate process, as a script or git would run it: its exit
// status says equal (0), different (1) or failed (2), like diff's.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

#include "support/ImageTestUtil.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "support/CliRun.h"

#ifdef TARVELO_CLI

namespace {

using DiffRun = TCliRun;

DiffRun Diff(const QStringList& args) {
  return RunCli(QStringLiteral(TARVELO_CLI), QStringList{"diff"} + args);
}

class CliDiff : public ::testing::Test {
 protected:
  void SetUp() override {
    fDemo = Path("demo.bin");
    WriteBytes(fDemo, Bytes(MakeDemoImage()));
  }
  QString Path(const char* name) const { return fDir.filePath(name); }
  // The demo calibration as a settings file, one part-load fuel value changed by `delta`.
  QString DemoSettings(const char* name, double delta) const {
    TEFIOperator op(true);
    op.LoadDefaultConfig();
    op.fImage = MakeDemoImage();
    op.DecodeImage();
    op.fFuelMainMatrix[2][3] += delta;
    op.SaveSettings(1, Path(name));
    return Path(name);
  }
  QTemporaryDir fDir;
  QString fDemo;
};

}  // namespace

TEST_F(CliDiff, EqualCalibrationsExitZeroWhateverTheirFileKind) {
  const DiffRun same = Diff({fDemo, fDemo});
  EXPECT_EQ(same.exitCode, 0) << same.err.toStdString();
  EXPECT_TRUE(same.out.isEmpty()) << same.out.toStdString();
  // The image against the settings file made from it.
  const DiffRun kinds = Diff({fDemo, DemoSettings("same.dme", 0)});
  EXPECT_EQ(kinds.exitCode, 0) << kinds.out.toStdString() << kinds.err.toStdString();
}

TEST_F(CliDiff, OneChangedCellIsPrintedWithItsAxesAndExitsOne) {
  const QString changed = DemoSettings("changed.dme", 0.25);
  const DiffRun text = Diff({fDemo, changed});
  EXPECT_EQ(text.exitCode, 1) << text.err.toStdString();
  const QStringList lines = text.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 1) << text.out.toStdString();
  const QStringList fields = lines[0].split('\t');
  ASSERT_EQ(fields.size(), 4);
  EXPECT_EQ(fields[0], "fuel-main");
  EXPECT_TRUE(fields[1].contains("rpm=")) << fields[1].toStdString();
  EXPECT_TRUE(fields[1].contains("load=")) << fields[1].toStdString();
  // Values with a full stop, not the locale's comma.
  bool okA = false, okB = false;
  const double a = fields[2].toDouble(&okA), b = fields[3].toDouble(&okB);
  EXPECT_TRUE(okA && okB) << text.out.toStdString();
  EXPECT_NEAR(b - a, 0.25, 0.01);

  const DiffRun json = Diff({fDemo, changed, "--json"});
  EXPECT_EQ(json.exitCode, 1);
  const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
  EXPECT_FALSE(root["equal"].toBool());
  const QJsonArray cells = root["differences"].toArray();
  ASSERT_EQ(cells.size(), 1);
  const QJsonObject cell = cells[0].toObject();
  EXPECT_EQ(cell["table"].toString(), "fuel-main");
  EXPECT_EQ(cell["col"].toInt(), 3);
  EXPECT_TRUE(cell.contains("rpm"));
  EXPECT_NEAR(cell["difference"].toDouble(), -0.25, 0.01);
}

// Each difference has the precision of the two values it is taken from: 1.07 against 1 is
// 0.07, never the subtraction's binary rest ("0.0700000000000001", "-0.32000000000000006").
TEST_F(CliDiff, DifferencesHaveTheirValuesPrecisionWithoutBinaryNoise) {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  op.DecodeImage();
  for (size_t r = 1; r < op.fSparkMainMatrix.size(); ++r)
    for (size_t c = 1; c < op.fSparkMainMatrix[r].size(); ++c) {
      op.fSparkMainMatrix[r][c] += 0.75 * static_cast<double>((r + c) % 5) - 1.5;
      op.fFuelMainMatrix[r][c] += 0.0075 * static_cast<double>((r * c) % 7) - 0.0225;
    }
  op.SaveSettings(1, Path("tuned.dme"));
  const DiffRun json = Diff({fDemo, Path("tuned.dme"), "--json"});
  ASSERT_EQ(json.exitCode, 1) << json.err.toStdString();
  const QJsonArray cells =
      QJsonDocument::fromJson(json.out.toUtf8()).object()["differences"].toArray();
  ASSERT_GT(cells.size(), 100);
  auto decimals = [](const QString& text) {
    const qsizetype point = text.indexOf('.');
    return point < 0 ? 0 : static_cast<int>(text.size() - point - 1);
  };
  int checked = 0;
  for (const QJsonValue& value : cells) {
    const QJsonObject cell = value.toObject();
    if (!cell.contains("difference")) continue;
    const QString a = cell["a"].toString(), b = cell["b"].toString();
    const int places = std::max(decimals(a), decimals(b));
    const double expected =
        std::round((a.toDouble() - b.toDouble()) * std::pow(10, places)) / std::pow(10, places);
    EXPECT_EQ(cell["difference"].toDouble(), expected) << a.toStdString() << " " << b.toStdString();
    ++checked;
  }
  EXPECT_GT(checked, 100);
  // As written: no number with a binary tail.
  EXPECT_FALSE(QRegularExpression("\\d\\.\\d{9,}").match(json.out).hasMatch())
      << json.out.toStdString();
}

TEST_F(CliDiff, ErrorsExitTwoNotOneSoTheyAreNeverTakenForADifference) {
  EXPECT_EQ(Diff({fDemo, Path("missing.bin")}).exitCode, 2);
  EXPECT_EQ(Diff({fDemo}).exitCode, 2);
  EXPECT_EQ(Diff({fDemo, fDemo, "--frobnicate"}).exitCode, 2);
  EXPECT_EQ(Diff({fDemo, fDemo, "--profile", Path("none.prf")}).exitCode, 2);
  WriteBytes(Path("short.bin"), QByteArray(100, '\0'));
  const DiffRun shortImage = Diff({fDemo, Path("short.bin")});
  EXPECT_EQ(shortImage.exitCode, 2);
  EXPECT_TRUE(shortImage.err.contains("short.bin")) << shortImage.err.toStdString();
}

#endif
