// tarvelo-cli analyze and convert on the delimited logs of other loggers, run as a script would.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "support/CliRun.h"
#include "support/DriveShapes.h"

#ifdef TARVELO_CLI

namespace {

TCliRun Cli(const QStringList& args) {
  return RunCli(QStringLiteral(TARVELO_CLI), args);
}

QJsonObject Json(const TCliRun& run) {
  return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

// What the analysis found that does not depend on how the log wrote its mixture: the counts
// and seconds per cell, the filters' counts, the weights and the proposal.
void ExpectSameAnalysis(const QJsonObject& a, const QJsonObject& b) {
  for (const char* key : {"records", "filtered", "outside", "count", "seconds", "filters"})
    EXPECT_EQ(a[key], b[key]) << key;
  const QJsonObject fa = a["fuel"].toObject(), fb = b["fuel"].toObject();
  ASSERT_FALSE(fa.isEmpty());
  for (const char* key : {"hits", "weight", "proposed", "changed", "outcome"})
    EXPECT_EQ(fa[key], fb[key]) << key;
}

}  // namespace

// The same drive as the own log, as each delimited shape (the guessed mapping, then the one
// written out) and as the own log convert makes of it gives the same analysis; the guess is
// printed on standard error, and the drive's lean and rich cells are corrected.
TEST(CliDelimited, EveryShapeOfADriveGivesTheOwnLogsAnalysis) {
  QTemporaryDir dir;
  const std::vector<drive::Row> rows = drive::Drive();
  const QString own = dir.filePath("own.txt");
  ASSERT_TRUE(drive::WriteFile(own, drive::OwnLog(rows)));
  const TCliRun base = Cli({"analyze", own, "--json"});
  ASSERT_EQ(base.exitCode, 0) << base.err.toStdString();
  const QJsonObject expected = Json(base);
  EXPECT_GT(expected["filters"].toObject()["used"].toInt(), 100);
  EXPECT_GT(expected["fuel"].toObject()["changed"].toInt(), 3);
  EXPECT_FALSE(base.err.contains("guessed"));

  struct Shape {
    const char* name;
    QByteArray (*write)(const std::vector<drive::Row>&);
    QStringList extra;
    const char* columns;
  };
  const Shape shapes[] = {
      {"semicolon", drive::SemicolonLog, {}, "rpm=2,load=3,lambda=4,clt=5,tps=6,time=1:ms"},
      {"comma",
       drive::CommaLog,
       {},
       "rpm=Engine Speed,load=ipw,afr=AFR (14.7),clt=ECT,tps=6,time=Time"},
      {"tab", drive::TabLog, {"--rate", "8"}, "rpm=n,load=ti,o2=O2 (V),clt=CLT,tps=Throttle"},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.name);
    const QString log = dir.filePath(QString::fromLatin1(s.name) + ".csv");
    ASSERT_TRUE(drive::WriteFile(log, s.write(rows)));
    const TCliRun guessed = Cli(QStringList{"analyze", log, "--json"} + s.extra);
    ASSERT_EQ(guessed.exitCode, 0) << guessed.err.toStdString();
    EXPECT_TRUE(guessed.err.contains("columns guessed: --columns rpm="))
        << guessed.err.toStdString();
    ExpectSameAnalysis(expected, Json(guessed));
    const TCliRun named =
        Cli(QStringList{"analyze", log, "--json", "--columns", s.columns} + s.extra);
    ASSERT_EQ(named.exitCode, 0) << named.err.toStdString();
    EXPECT_FALSE(named.err.contains("guessed"));
    ExpectSameAnalysis(expected, Json(named));
    const QString converted = dir.filePath(QString::fromLatin1(s.name) + ".txt");
    const TCliRun convert = Cli(QStringList{"convert", log, converted} + s.extra);
    ASSERT_EQ(convert.exitCode, 0) << convert.err.toStdString();
    // A mixture that is not the sensor's volts is named, for the reader of the own log.
    EXPECT_EQ(convert.err.contains("analyze it with --sensor"), s.write != drive::TabLog)
        << convert.err.toStdString();
    // The own format keeps the mixture to two decimals: the counts stay, the rounded
    // lambda may move a proposal, so only the counts are compared.
    const QJsonObject again = Json(Cli({"analyze", converted, "--json"}));
    for (const char* key : {"records", "count", "seconds"}) EXPECT_EQ(expected[key], again[key]);
  }
}

// A mapping that cannot be understood is a command-line error (2); a log that cannot be read
// through it names the file and why (1), in one line.
TEST(CliDelimited, MappingAndLogErrorsSayWhatIsWrong) {
  QTemporaryDir dir;
  const QString log = dir.filePath("map.csv");
  ASSERT_TRUE(drive::WriteFile(log, "Time,RPM,MAP (kPa),AFR\n0,900,35,14.7\n0.1,950,abc,14.6\n"));
  const TCliRun unknown = Cli({"analyze", log, "--columns", "rpm=Speed,load=3,afr=4"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_TRUE(unknown.err.contains("Speed")) << unknown.err.toStdString();
  const TCliRun pressure = Cli({"analyze", log, "--columns", "rpm=2,load=3,afr=4,time=1"});
  EXPECT_EQ(pressure.exitCode, 1);
  EXPECT_TRUE(pressure.err.contains("manifold pressure")) << pressure.err.toStdString();
  // Guessed, the log has no injection time at all.
  const TCliRun guessed = Cli({"analyze", log});
  EXPECT_EQ(guessed.exitCode, 1);
  EXPECT_TRUE(guessed.err.contains("map.csv: ")) << guessed.err.toStdString();
  const QString bad = dir.filePath("bad.csv");
  ASSERT_TRUE(drive::WriteFile(bad, "Time,RPM,IPW,AFR\n0,900,2.5,14.7\n0.1,950,abc,14.6\n"));
  const TCliRun cell = Cli({"convert", bad, dir.filePath("out.txt")});
  EXPECT_EQ(cell.exitCode, 1);
  EXPECT_TRUE(cell.err.contains("ine 3") && cell.err.contains("olumn 3") &&
              cell.err.contains("IPW") && cell.err.contains("number"))
      << cell.err.toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath("out.txt")));
  EXPECT_EQ(Cli({"convert", bad}).exitCode, 2);
  EXPECT_EQ(Cli({"analyze", bad, "--rate", "0"}).exitCode, 2);
}

#endif
