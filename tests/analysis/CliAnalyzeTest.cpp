// tarvelo-cli analyze run as a separate process, as a script would run it.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <string>

#include "support/CliRun.h"

#ifdef TARVELO_CLI

namespace {

using CliRun = TCliRun;

CliRun Cli(const QStringList& args) {
  return RunCli(QStringLiteral(TARVELO_CLI), args);
}

int IndexOf(const QJsonArray& axis, double value) {
  for (qsizetype i = 0; i < axis.size(); ++i)
    if (axis[i].toDouble() == value) return static_cast<int>(i);
  return -1;
}

}  // namespace

// Twelve warm records at 2100 rpm and 3 ms on the demo image's maps: the cell of 2000 rpm and
// 3 ms holds them, their CLT mean is as written, and the lean mixture (0.3 V on the 0 .. 1 V
// line is 17:1) proposes the fuel factor one 5 % step richer.
TEST(CliAnalyze, CountsMeansAndTheFuelProposalInANamedCell) {
  QTemporaryDir dir;
  QByteArray text = "Time\tRPM\tLOAD\tO2\tPW\tIGNITION\tMAF\tTPS\tCLT\r\n";
  for (int i = 0; i < 12; ++i)
    text += QByteArray::number(i * 0.5) + "\t2100\t3\t0.3\t2\t20\t1\t10\t" +
            QByteArray::number(80 + i) + "\r\n";
  const QString log = dir.filePath("drive.txt");
  QFile file(log);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
  file.close();

  const CliRun r = Cli({"analyze", log, "--channel", "clt", "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_EQ(o["records"].toInt(), 12);
  EXPECT_EQ(o["channel"].toString(), "CLT");
  const int col = IndexOf(o["rpm"].toArray(), 2000);
  const int row = IndexOf(o["load"].toArray(), 3);
  ASSERT_GE(col, 0);
  ASSERT_GE(row, 0);
  EXPECT_EQ(o["count"].toArray()[row].toArray()[col].toInt(), 12);
  EXPECT_DOUBLE_EQ(o["seconds"].toArray()[row].toArray()[col].toDouble(), 5.5);
  EXPECT_DOUBLE_EQ(o["mean"].toArray()[row].toArray()[col].toDouble(), 85.5);
  EXPECT_EQ(o["max"].toArray()[row].toArray()[col].toDouble(), 91);
  EXPECT_FALSE(o["tooFew"].toArray()[row].toArray()[col].toBool());
  const QJsonObject fuel = o["fuel"].toObject();
  const int fuelCol = IndexOf(fuel["rpm"].toArray(), 2000);
  const int fuelRow = IndexOf(fuel["load"].toArray(), 3);
  ASSERT_GE(fuelCol, 0);
  ASSERT_GE(fuelRow, 0);
  EXPECT_NEAR(fuel["measuredAfr"].toArray()[fuelRow].toArray()[fuelCol].toDouble(), 17, 1e-9);
  const double proposed = fuel["proposed"].toArray()[fuelRow].toArray()[fuelCol].toDouble();
  const double current = fuel["current"].toArray()[fuelRow].toArray()[fuelCol].toDouble();
  EXPECT_GT(proposed, current);
  EXPECT_LE(proposed, current * 1.05 + 1e-9);
  EXPECT_NEAR(proposed, current * 1.05, 0.0075);

  const CliRun text1 = Cli({"analyze", log});
  ASSERT_EQ(text1.exitCode, 0);
  EXPECT_TRUE(text1.out.contains("O2 mean"));
  EXPECT_FALSE(text1.out.contains(",3"));  // full stops whatever the locale
}

// Records a tenth of a second apart: the times a cell sums up carry binary noise
// (0.113999999999997); the JSON shows them to a tenth of a millisecond and the means to
// the thousandth the text shows.
TEST(CliAnalyze, TimesAndMeansAreShownWithoutBinaryNoise) {
  QTemporaryDir dir;
  QByteArray text = "Time\tRPM\tLOAD\tO2\tPW\tIGNITION\tMAF\tTPS\tCLT\r\n";
  for (int i = 0; i < 90; ++i)
    text += QByteArray::number(0.1 * i + 0.013 * (i % 3), 'f', 3) + "\t" +
            QByteArray::number(1500 + 37 * (i % 11)) + "\t" +
            QByteArray::number(2 + 0.31 * (i % 7)) + "\t0.4" + QByteArray::number(i % 9) +
            "\t2\t20\t1\t10\t" + QByteArray::number(80 + (i % 3) / 3.0, 'f', 3) + "\r\n";
  const QString log = dir.filePath("drive.txt");
  QFile file(log);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
  file.close();
  const CliRun r = Cli({"analyze", log, "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  int cells = 0;
  for (const char* key : {"seconds", "mean"})
    for (const QJsonValue& row : o[key].toArray())
      for (const QJsonValue& value : row.toArray()) {
        if (value.isNull()) continue;
        const double v = value.toDouble();
        const double step = std::string(key) == "seconds" ? 1e4 : 1e3;
        EXPECT_NEAR(v * step, std::round(v * step), 1e-6) << key << " " << v;
        ++cells;
      }
  EXPECT_GT(cells, 10);
  const QString numbers = r.out.section("\"fuel\"", 0, 0);
  EXPECT_FALSE(QRegularExpression("\\d\\.\\d{9,}").match(numbers).hasMatch())
      << numbers.toStdString();
}

TEST(CliAnalyze, BadCommandLinesAndFilesAreReported) {
  EXPECT_EQ(Cli({"analyze"}).exitCode, 2);
  EXPECT_EQ(Cli({"analyze", "x.txt", "--channel"}).exitCode, 2);
  QTemporaryDir dir;
  const QString log = dir.filePath("l.txt");
  QFile file(log);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("Time\tRPM\n1\t900\n");
  file.close();
  const CliRun channel = Cli({"analyze", log, "--channel", "boost"});
  EXPECT_EQ(channel.exitCode, 2);
  EXPECT_TRUE(channel.err.contains("boost"));
  const CliRun missing = Cli({"analyze", dir.filePath("none.txt")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.err.contains("none.txt"));
  EXPECT_EQ(Cli({"analyze", log, "--image", dir.filePath("none.bin")}).exitCode, 1);
}

#endif
