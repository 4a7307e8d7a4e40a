#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "common/Errors.h"
#include "telemetry/LogReader.h"
#include "telemetry/LogWriter.h"

namespace {

class LogWriterTest : public ::testing::Test {
 protected:
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

const LiveRecord kExample = {0, 850, 25.3, 0.45, 3.2, 12, 1.25, 3, 85.5, 22, 13.8, 0};

}  // namespace

TEST_F(LogWriterTest, HeaderNamesTheTwelveColumns) {
  EXPECT_EQ(LogHeaderLine(),
            "Time\tRPM\tLOAD\tO2\tPW\tIGNITION\tMAF\tTPS\tCLT\tMAT\tVboard\tSPEED\r\n");
}

TEST_F(LogWriterTest, ExampleRowByteForByte) {
  EXPECT_EQ(LogRecordLine(0, kExample, '.'),
            "0.000\t  850\t25.3\t 0.45\t3.2\t12.0\t 1.25\t    3\t 85.5\t 22.0\t 13.8\t    0\r\n");
  EXPECT_EQ(LogRecordLine(0, kExample, ','),
            "0,000\t  850\t25,3\t 0,45\t3,2\t12,0\t 1,25\t    3\t 85,5\t 22,0\t 13,8\t    0\r\n");
  // Time comes from the argument, not from slot 0; long numbers are written in full.
  LiveRecord r = kExample;
  r[kTime] = 99;
  r[kRPM] = 123456.7;
  EXPECT_TRUE(LogRecordLine(1234.5678, r, '.').startsWith("1234.568\t123457\t"));
}

TEST_F(LogWriterTest, ProposedNameUsesTheShortDateWithoutPathSeparators) {
  const QDateTime when(QDate(2026, 12, 8), QTime(9, 5, 7));
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  EXPECT_EQ(ProposedLogName(when), "08.12.2026-9.5.7.txt");
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  const QString name = ProposedLogName(when);
  EXPECT_FALSE(name.contains('/'));
  EXPECT_TRUE(name.endsWith("-9.5.7.txt"));
  EXPECT_EQ(ProposedLogName(QDateTime(QDate(2026, 1, 2), QTime(23, 59, 0))).right(12).toStdString(),
            "-23.59.0.txt");
}

TEST_F(LogWriterTest, WrittenLogReadsBackUnderEitherSeparator) {
  for (const auto& locale : {QLocale(QLocale::English), QLocale(QLocale::Russian)}) {
    QLocale::setDefault(locale);
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    TLogWriter writer;
    writer.Create(path);
    writer.Append(0, kExample, QLocale().decimalPoint().front());
    LiveRecord second = kExample;
    second[kRPM] = 2750;
    writer.Append(0.104, second, QLocale().decimalPoint().front());
    // Each line reaches the file at once, before the writer is closed.
    QFile partial(path);
    ASSERT_TRUE(partial.open(QIODevice::ReadOnly));
    EXPECT_EQ(partial.readAll().count('\n'), 3);
    writer.Close();
    EXPECT_FALSE(writer.IsOpen());

    TEFILogger logger;
    logger.LoadFromFile(path, false);
    ASSERT_EQ(logger.Records.Count(), 2);
    EXPECT_EQ(logger.Records[0], kExample);
    EXPECT_EQ(logger.Records[1][kTime], 0.104);
    EXPECT_EQ(logger.Records[1][kRPM], 2750);
    EXPECT_EQ(logger.ColumnNames.size(), 12);
  }
}

TEST_F(LogWriterTest, CreateOverwritesAndFailuresThrow) {
  QTemporaryDir dir;
  const QString path = dir.filePath("log.txt");
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents that are longer than a header line, much longer indeed\r\n");
  }
  TLogWriter writer;
  writer.Create(path);
  writer.Close();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), LogHeaderLine());

  try {
    writer.Create(dir.filePath("missing/log.txt"));
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_THROW(writer.Append(0, kExample, '.'), EInOutError);
#ifdef __linux__
  TLogWriter full;
  EXPECT_THROW(full.Create("/dev/full"), EInOutError);  // no space left for the header
#endif
}
