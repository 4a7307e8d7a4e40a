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
#include <vector>

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

// A warm steady drive: `n` records a tenth of a second apart in each of the cells given by
// their headers, the O2 voltage of each.
struct Stay {
  double rpm, load, o2;
};
QString WriteDrive(const QTemporaryDir& dir, const std::vector<Stay>& stays, int n = 60) {
  QByteArray text = "Time\tRPM\tLOAD\tO2\tPW\tIGNITION\tMAF\tTPS\tCLT\r\n";
  int k = 0;
  for (const Stay& s : stays)
    for (int i = 0; i < n; ++i, ++k)
      text += QByteArray::number(k * 0.1, 'f', 1) + "\t" + QByteArray::number(s.rpm) + "\t" +
              QByteArray::number(s.load) + "\t" + QByteArray::number(s.o2) +
              "\t3\t20\t1\t20\t90\r\n";
  const QString log = dir.filePath("drive.txt");
  QFile file(log);
  file.open(QIODevice::WriteOnly);
  file.write(text);
  return log;
}

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonValue Cell(const QJsonObject& fuel, const char* key, double rpm, double load) {
  const int col = IndexOf(fuel["rpm"].toArray(), rpm);
  const int row = IndexOf(fuel["load"].toArray(), load);
  return fuel[key].toArray()[row].toArray()[col];
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
  for (const QStringList& bad : {QStringList{"--no-filter", "fast"},
                                 {"--sensor", "1:10"},
                                 {"--step", "-1"},
                                 {"--target", "30"},
                                 {"--out", dir.filePath("x.txt")}})
    EXPECT_EQ(Cli(QStringList{"analyze", log} + bad).exitCode, 2) << bad.join(' ').toStdString();
  const QString lock = dir.filePath("lock.txt");
  QFile lockFile(lock);
  ASSERT_TRUE(lockFile.open(QIODevice::WriteOnly));
  lockFile.write("2000 3\n2001 3\n");
  lockFile.close();
  const CliRun badLock = Cli({"analyze", log, "--lock", lock});
  EXPECT_EQ(badLock.exitCode, 1);
  EXPECT_TRUE(badLock.err.contains("line 2")) << badLock.err.toStdString();
}

// Every setting of the window on the command line, named back in the JSON with the image;
// without --image the demo image is said to be used.
TEST(CliAnalyze, SettingsFiltersAndLocksAreTakenAndNamedInTheReport) {
  QTemporaryDir dir;
  const QString log = WriteDrive(dir, {{2000, 3, 0.3}, {2400, 4, 0.3}, {2000, 3, 1.0}});
  CliRun r = Cli({"analyze", log, "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("demo image")) << r.err.toStdString();
  QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_EQ(o["image"].toString(), "demo");
  QJsonObject removed = o["filters"].toObject()["removed"].toObject();
  // The last stay reads the sensor's rich end (1 V): all its records but the fifteen of the
  // 1.5 s after the load step and the two the delay leaves without a reading.
  EXPECT_EQ(removed["sensor"].toInt(), 43);
  EXPECT_EQ(removed["delay"].toInt(), 2);
  EXPECT_GT(removed["steady"].toInt(), 0);  // around the load step
  EXPECT_EQ(o["settings"].toObject()["step"].toDouble(), 5);
  EXPECT_EQ(o["settings"].toObject()["delay"].toDouble(), 0.2);
  EXPECT_EQ(Cell(o["fuel"].toObject(), "outcome", 2000, 3).toString(), "changed");

  const QString image = dir.filePath("demo.bin");
  ASSERT_EQ(Cli({"make-demo", image}).exitCode, 0);
  const QString lock = dir.filePath("lock.txt");
  QFile lockFile(lock);
  ASSERT_TRUE(lockFile.open(QIODevice::WriteOnly));
  lockFile.write("# the cruise cell\n2000, 3\n");
  lockFile.close();
  r = Cli({"analyze", log,           "--json",    "--image",     image,    "--target",
           "13.5",    "--step",      "10",        "--authority", "20",     "--min-weight",
           "3",       "--sensor",    "0:20,5:10", "--delay",     "0.3",    "--min-clt",
           "60",      "--no-filter", "overrun",   "--no-filter", "sensor", "--lock",
           lock});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_FALSE(r.err.contains("demo image"));
  o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_EQ(o["image"].toString(), image);
  const QJsonObject s = o["settings"].toObject();
  EXPECT_EQ(s["target"].toDouble(), 13.5);
  EXPECT_EQ(s["step"].toDouble(), 10);
  EXPECT_EQ(s["authority"].toDouble(), 20);
  EXPECT_EQ(s["minWeight"].toDouble(), 3);
  EXPECT_EQ(s["sensor"].toString(), "0:20,5:10");
  EXPECT_EQ(s["delay"].toDouble(), 0.3);
  EXPECT_EQ(s["minClt"].toDouble(), 60);
  EXPECT_EQ(s["locked"].toInt(), 1);
  EXPECT_FALSE(s["filters"].toObject()["overrun"].toBool());
  EXPECT_TRUE(s["filters"].toObject()["steady"].toBool());
  removed = o["filters"].toObject()["removed"].toObject();
  EXPECT_EQ(removed["sensor"].toInt(), 0);
  const QJsonObject fuel = o["fuel"].toObject();
  EXPECT_EQ(Cell(fuel, "outcome", 2000, 3).toString(), "locked");
  EXPECT_EQ(Cell(fuel, "proposed", 2000, 3), Cell(fuel, "current", 2000, 3));
  // 0.3 V on the line 0 V at 20, 5 V at 10 is 19.4: far lean, richer by the whole step.
  EXPECT_NEAR(Cell(fuel, "measuredAfr", 2400, 4).toDouble(), 19.4, 1e-9);
  EXPECT_NEAR(Cell(fuel, "proposed", 2400, 4).toDouble(),
              Cell(fuel, "current", 2400, 4).toDouble() * 1.1, 0.0076);
  EXPECT_EQ(Cell(fuel, "target", 2400, 4).toDouble(), 13.5);
  EXPECT_GT(Cell(fuel, "weight", 2400, 4).toDouble(), 3);
}

// --out writes the proposal: the image it was loaded from with only the changed cells'
// bytes and the checksum anew, or the settings file; both hold what the JSON proposed.
TEST(CliAnalyze, OutWritesTheProposalAndUnchangedCellsKeepTheirBytes) {
  QTemporaryDir dir;
  const QString log = WriteDrive(dir, {{2000, 3, 0.3}, {2400, 4, 0.65}, {3200, 6, 0.53}});
  const QString image = dir.filePath("demo.bin");
  ASSERT_EQ(Cli({"make-demo", image}).exitCode, 0);
  const QString bin = dir.filePath("tuned.bin"), dme = dir.filePath("tuned.dme");
  const CliRun r = Cli({"analyze", log, "--image", image, "--json", "--out", bin});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  ASSERT_EQ(Cli({"analyze", log, "--image", image, "--out", dme}).exitCode, 0);
  const QJsonObject fuel = QJsonDocument::fromJson(r.out.toUtf8()).object()["fuel"].toObject();
  const int changed = fuel["changed"].toInt();
  EXPECT_GE(changed, 2);
  const QByteArray before = Bytes(image), after = Bytes(bin);
  ASSERT_EQ(after.size(), before.size());
  int differing = 0;
  for (qsizetype i = 0; i < before.size(); ++i) differing += before[i] != after[i] ? 1 : 0;
  EXPECT_GE(differing, changed);
  EXPECT_LE(differing, changed + 4);  // and the checksum's bytes
  // Both files hold the proposal: analysed again from them, the current factors are it.
  for (const QString& tuned : {bin}) {
    const CliRun again = Cli({"analyze", log, "--image", tuned, "--json"});
    const QJsonObject f = QJsonDocument::fromJson(again.out.toUtf8()).object()["fuel"].toObject();
    EXPECT_EQ(f["current"], fuel["proposed"]);
  }
  const CliRun dmeTables = Cli({"dme", dme, "--json"});
  ASSERT_EQ(dmeTables.exitCode, 0) << dmeTables.err.toStdString();
  EXPECT_EQ(Bytes(dme).size(), 1172);
}

#endif
