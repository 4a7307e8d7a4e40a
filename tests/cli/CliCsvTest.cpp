// tarvelo-cli's CSV commands run as a separate process on temporary files, under a locale
// whose decimal separator is a comma (the files must not follow it).

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

#include "support/ImageTestUtil.h"
#include "image/DemoImage.h"
#include "support/CliRun.h"

#ifdef TARVELO_CLI

namespace {

using CsvRun = TCliRun;

CsvRun Cli(const QStringList& args) {
  return RunCli(QStringLiteral(TARVELO_CLI), args);
}

QString Text(const QString& path) {
  return QString::fromUtf8(Bytes(FileBytes(path)));
}

class CliCsv : public ::testing::Test {
 protected:
  void SetUp() override {
    fDemo = Path("demo.bin");
    WriteBytes(fDemo, Bytes(MakeDemoImage()));
  }
  QString Path(const QString& name) const { return fDir.filePath(name); }
  QTemporaryDir fDir;
  QString fDemo;
};

}  // namespace

TEST_F(CliCsv, DecodeWritesEveryTableWithItsAxesWithAFullStop) {
  ASSERT_EQ(Cli({"decode", fDemo, "--csv", Path("csv")}).exitCode, 0);
  EXPECT_EQ(QDir(Path("csv")).entryList(QDir::Files).size(), 8);
  const QStringList lines = Text(Path("csv/fuel-main.csv")).split('\n');
  // The corner empty, the RPM axis across, the load axis down (highest first).
  EXPECT_TRUE(lines[0].startsWith(",600,800,")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].contains("1.1,")) << lines[1].toStdString();
  EXPECT_FALSE(lines[1].contains(';'));
}

TEST_F(CliCsv, ApplyWritesTheSettingsFileOfTheChangedTable) {
  ASSERT_EQ(Cli({"decode", fDemo, "--csv", Path("csv")}).exitCode, 0);
  ASSERT_EQ(Cli({"bin2dme", fDemo, Path("plain.dme")}).exitCode, 0);
  // The file as written changes nothing.
  ASSERT_EQ(Cli({"apply-csv", fDemo, Path("csv/fuel-main.csv"), Path("same.dme")}).exitCode, 0);
  EXPECT_EQ(FileBytes(Path("same.dme")), FileBytes(Path("plain.dme")));
  // One value changed: one byte of the file.
  QStringList lines = Text(Path("csv/fuel-main.csv")).split('\n');
  QStringList row = lines[2].split(',');
  row[3] = "1.4";
  lines[2] = row.join(',');
  WriteBytes(Path("fuel-main.csv"), lines.join('\n').toUtf8());
  ASSERT_EQ(Cli({"apply-csv", fDemo, Path("fuel-main.csv"), Path("changed.dme")}).exitCode, 0);
  const std::vector<uint8_t> plain = FileBytes(Path("plain.dme"));
  const std::vector<uint8_t> changed = FileBytes(Path("changed.dme"));
  ASSERT_EQ(changed.size(), plain.size());
  int differ = 0;
  for (size_t i = 0; i < plain.size(); ++i) differ += plain[i] != changed[i];
  EXPECT_EQ(differ, 1);
}

TEST_F(CliCsv, ApplyNamesEveryHeldCellAndStrictWritesNothing) {
  ASSERT_EQ(Cli({"decode", fDemo, "--csv", Path("csv")}).exitCode, 0);
  // Two part-load fuel values beyond the editors' 0.7 .. 1.5: the second data row from the
  // top is the second-highest load.
  QStringList lines = Text(Path("csv/fuel-main.csv")).split('\n');
  QStringList axis = lines[0].split(',');
  QStringList row = lines[2].split(',');
  row[3] = "0.42";
  row[5] = "1.9";
  lines[2] = row.join(',');
  WriteBytes(Path("fuel-main.csv"), lines.join('\n').toUtf8());
  const CsvRun held = Cli({"apply-csv", fDemo, Path("fuel-main.csv"), Path("held.dme")});
  EXPECT_EQ(held.exitCode, 0) << held.err.toStdString();
  EXPECT_TRUE(held.err.contains(
      QStringLiteral("fuel-main at %1 rpm, %2 ms: 0.42 asked, 0.7 stored").arg(axis[3], row[0])))
      << held.err.toStdString();
  EXPECT_TRUE(held.err.contains(
      QStringLiteral("fuel-main at %1 rpm, %2 ms: 1.9 asked, 1.5 stored").arg(axis[5], row[0])))
      << held.err.toStdString();
  EXPECT_TRUE(QFile::exists(Path("held.dme")));

  WriteBytes(Path("keep.dme"), "earlier");
  const CsvRun strict =
      Cli({"apply-csv", fDemo, Path("fuel-main.csv"), Path("keep.dme"), "--strict"});
  EXPECT_EQ(strict.exitCode, 2);
  EXPECT_TRUE(strict.err.contains("0.42 asked")) << strict.err.toStdString();
  EXPECT_EQ(Text(Path("keep.dme")), "earlier");
  // Within the limits --strict writes as without it.
  ASSERT_EQ(
      Cli({"apply-csv", fDemo, Path("csv/fuel-main.csv"), Path("keep.dme"), "--strict"}).exitCode,
      0);
  EXPECT_NE(Text(Path("keep.dme")), "earlier");
}

TEST_F(CliCsv, ApplyRefusesAnImageOutputAndAFileThatDoesNotFit) {
  ASSERT_EQ(Cli({"decode", fDemo, "--csv", Path("csv")}).exitCode, 0);
  const CsvRun bin = Cli({"apply-csv", fDemo, Path("csv/maf.csv"), Path("out.bin")});
  EXPECT_EQ(bin.exitCode, 2);
  EXPECT_TRUE(bin.err.contains(".dme")) << bin.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("out.bin")));
  WriteBytes(Path("warm-up.csv"), "-20,0,40,80\n1300,x,900,800\n");
  const CsvRun bad = Cli({"apply-csv", fDemo, Path("warm-up.csv"), Path("out.dme")});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_TRUE(bad.err.contains("“x” in line 2, field 2")) << bad.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("out.dme")));
  WriteBytes(Path("other.csv"), "1,2\n");
  EXPECT_EQ(Cli({"apply-csv", fDemo, Path("other.csv"), Path("out.dme")}).exitCode, 2);
}

// Runs `script` with sh in a mount namespace of its own, where it may mount a small tmpfs;
// empty when this machine gives none (the test is then skipped).
std::optional<QString> InOwnMountNamespace(const QString& script) {
  QProcess probe;
  probe.start("unshare", {"-rm", "true"});
  if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit ||
      probe.exitCode() != 0)
    return std::nullopt;
  QProcess p;
  p.start("unshare", {"-rm", "sh", "-c", script});
  if (!p.waitForFinished(60000)) return std::nullopt;
  return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

TEST_F(CliCsv, AFullDiskKeepsTheEarlierFilesAndFails) {
  ASSERT_EQ(Cli({"decode", fDemo, "--csv", Path("csv")}).exitCode, 0);
  QDir().mkpath(Path("FULL"));
  // A 64 KB tmpfs holding a good keep.dme and old CSV files, filled to the last byte.
  const QString cli = QStringLiteral(TARVELO_CLI);
  const QString script =
      QStringLiteral(
          "set -u; mount -t tmpfs -o size=64k tmpfs FULL || exit 99; cd FULL;"
          "printf good > keep.dme; mkdir csv; for t in fuel-main maf; do printf old > csv/$t.csv; "
          "done;"
          "dd if=/dev/zero of=fill bs=1k count=200 2>/dev/null; cd ..;"
          "'%1' apply-csv '%2' csv/fuel-idle.csv FULL/keep.dme; echo \"apply-csv=$?\";"
          "'%1' bin2dme '%2' FULL/keep.dme; echo \"bin2dme=$?\";"
          "'%1' decode '%2' --csv FULL/csv; echo \"decode=$?\";"
          "echo \"keep=$(cat FULL/keep.dme)\"; echo \"csv=$(cat FULL/csv/fuel-main.csv "
          "FULL/csv/maf.csv)\";"
          "ls -a FULL FULL/csv | tr '\\n' ' '")
          .arg(cli, fDemo);
  const std::optional<QString> out = [&]() -> std::optional<QString> {
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(fDir.path());
    const std::optional<QString> r = InOwnMountNamespace(script);
    QDir::setCurrent(cwd);
    return r;
  }();
  if (!out || out->contains("exit 99") || !out->contains("keep="))
    GTEST_SKIP() << "no mount namespace with a tmpfs here";
  for (const char* command : {"apply-csv", "bin2dme", "decode"}) {
    EXPECT_TRUE(out->contains(QStringLiteral("%1=1").arg(command))) << out->toStdString();
  }
  EXPECT_TRUE(out->contains("keep=good\n")) << out->toStdString();
  EXPECT_TRUE(out->contains("csv=oldold\n")) << out->toStdString();
  EXPECT_TRUE(out->contains("No space left on device")) << out->toStdString();
  EXPECT_FALSE(out->contains(".tmp-")) << out->toStdString();
}

#endif
