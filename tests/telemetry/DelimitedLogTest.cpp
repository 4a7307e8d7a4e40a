// Delimited logs of other loggers: the dialect found from the file, the column mapping guessed
// and written, the records they give beside those of the program's own log, and the errors.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <string>

#include "common/Errors.h"
#include "support/DriveShapes.h"
#include "telemetry/DelimitedLog.h"
#include "telemetry/LogColumns.h"
#include "telemetry/LogReader.h"

namespace {

class DelimitedLogTest : public ::testing::Test {
 protected:
  QString Write(const QByteArray& bytes, const QString& name = "log.csv") {
    const QString path = fDir.filePath(name);
    EXPECT_TRUE(drive::WriteFile(path, bytes));
    return path;
  }
  // The message of the error reading `bytes` with the guessed mapping throws.
  std::string ErrorOf(const QByteArray& bytes, double rate = 0) {
    try {
      const QString path = Write(bytes);
      const TLogDialect d = SniffLogFile(path);
      TLogColumns c = GuessLogColumns(d.names, d.sample);
      c.rate = rate;
      ReadDelimitedLog(path, c, fRecords, fNames);
    } catch (const ERuntimeError& e) {
      return e.what();
    }
    return "no error";
  }

  QTemporaryDir fDir;
  TEFILogList fRecords;
  QStringList fNames;
};

struct Shape {
  const char* name;
  QByteArray (*write)(const std::vector<drive::Row>&);
  char delimiter, decimal;
  const char* guess;
  double rate;
};

}  // namespace

// Each shape is recognised, its columns are guessed as a tuner would map them, and it reads
// to the records of the own log of the same drive in the mapped slots (PW holding the
// injection time, unmapped slots 0), the mixture as the column wrote it.
TEST_F(DelimitedLogTest, EveryShapeOfTheDriveReadsToTheOwnLogsRecords) {
  const std::vector<drive::Row> rows = drive::Drive();
  TEFILogger own;
  own.LoadFromFile(Write(drive::OwnLog(rows), "own.txt"), false);
  EXPECT_TRUE(SniffLogFile(own.FileName()).ownFormat);
  const Shape shapes[] = {
      {"semicolon", drive::SemicolonLog, ';', ',',
       "rpm=RPM,load=Inj. time (ms),lambda=Lambda,clt=Coolant (C),tps=TPS (%),time=Time[ms]:ms", 0},
      {"comma", drive::CommaLog, ',', '.',
       "rpm=Engine Speed,load=IPW,afr=AFR (14.7),clt=ECT,tps=Throttle,time=Time:clock", 0},
      {"tab", drive::TabLog, '\t', '.', "rpm=n,load=ti,o2=O2 (V),clt=CLT,tps=Throttle", 8},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.name);
    const QString path = Write(s.write(rows), QString::fromLatin1(s.name) + ".csv");
    const TLogDialect d = SniffLogFile(path);
    EXPECT_FALSE(d.ownFormat);
    EXPECT_EQ(d.delimiter, s.delimiter);
    EXPECT_EQ(d.decimal, s.decimal);
    TLogColumns c = GuessLogColumns(d.names, d.sample);
    EXPECT_EQ(LogColumnsText(c, d.names).toStdString(), s.guess);
    c.rate = s.rate;
    ASSERT_TRUE(LogColumnsProblem(c, d.names).isEmpty())
        << LogColumnsProblem(c, d.names).toStdString();
    TEFILogger logger;
    logger.LoadDelimitedFromFile(path, c);
    ASSERT_EQ(logger.Records.Count(), own.Records.Count());
    EXPECT_EQ(logger.ColumnNames.size(), kLiveSlots);
    EXPECT_TRUE(logger.ColumnNames[kMAF].isEmpty());
    for (int i = 0; i < own.Records.Count(); ++i) {
      const LiveRecord& a = own.Records[i];
      const LiveRecord& b = logger.Records[i];
      for (LiveSlot slot : {kTime, kRPM, kLOAD, kPW, kCLT, kTPS}) ASSERT_EQ(a[slot], b[slot]) << i;
      const double afr = c.mixtureKind == TLogMixture::Volts    ? 20 - 10 * b[kO2]
                         : c.mixtureKind == TLogMixture::Lambda ? 14.7 * b[kO2]
                                                                : b[kO2];
      ASSERT_NEAR(afr, 20 - 10 * a[kO2], 1e-9) << i;
      ASSERT_EQ(b[kMAF], 0);
    }
  }
}

// The mapping as the command line writes it: names in any case or numbers, the mixture's
// three keys, the time's unit; the text it is written back as reads to the same mapping.
TEST_F(DelimitedLogTest, MappingTextNamesColumnsByNameOrNumber) {
  const QStringList names = {"Time", "Engine RPM", "Load (kPa)", "IPW", "Lambda", "1"};
  const TLogColumns c = ParseLogColumns("rpm=engine rpm,load=4,o2=Lambda,time=TIME:ms", names);
  EXPECT_EQ(c.rpm, 1);
  EXPECT_EQ(c.load, 3);
  EXPECT_EQ(c.mixture, 4);
  EXPECT_EQ(c.mixtureKind, TLogMixture::Volts);
  EXPECT_EQ(c.time, 0);
  EXPECT_EQ(c.timeKind, TLogTime::Milliseconds);
  EXPECT_EQ(ParseLogColumns(LogColumnsText(c, names), names), c);
  // A name is looked for first: "1" is the column named so; it is written by its number.
  EXPECT_EQ(ParseLogColumns("rpm=1,load=4,afr=5", names).rpm, 5);
  const TLogColumns one = ParseLogColumns("rpm=2,load=IPW,afr=6", names);
  EXPECT_EQ(LogColumnsText(one, names), "rpm=Engine RPM,load=IPW,afr=6");
  EXPECT_EQ(ParseLogColumns(LogColumnsText(one, names), names), one);
  // A repeated name (in any case) is written by its number, and the number as #N where a
  // header bears that number as its name (the fuzzer found a header named "5").
  const QStringList twice = {"3", "RPM", "PW", "pw", "AFR"};
  TLogColumns numbered = ParseLogColumns("rpm=RPM,load=#3,afr=AFR", twice);
  EXPECT_EQ(numbered.load, 2);
  EXPECT_EQ(LogColumnsText(numbered, twice), "rpm=RPM,load=#3,afr=AFR");
  numbered.load = 3;
  EXPECT_EQ(ParseLogColumns(LogColumnsText(numbered, twice), twice), numbered);
  for (const char* bad : {"rpm=Speed", "rpm=7", "rpm", "rpm=1,rpm=2", "afr=5,lambda=5", "boost=3"})
    EXPECT_THROW(ParseLogColumns(bad, names), ERuntimeError) << bad;
  // The guess takes the injection time, not the pressure called load; a pressure chosen as
  // load is refused with the reason, and a log without time needs a rate.
  TLogColumns guess = GuessLogColumns(names);
  EXPECT_EQ(guess.load, 3);
  guess.load = 2;
  EXPECT_TRUE(LogColumnsProblem(guess, names).contains("давление"))
      << LogColumnsProblem(guess, names).toStdString();
  guess.load = 3;
  guess.time = -1;
  EXPECT_FALSE(LogColumnsProblem(guess, names).isEmpty());
  guess.rate = 20;
  EXPECT_TRUE(LogColumnsProblem(guess, names).isEmpty());
}

// A mapping confirmed once is found again for the same header line and no other; the store
// is the test run's own (a temporary per-user folder).
TEST_F(DelimitedLogTest, MappingIsRememberedPerHeaderLine) {
  const QStringList names = {"n", "ti", "O2 (V)"};
  TLogColumns c = GuessLogColumns(names);
  c.mixtureKind = TLogMixture::Afr;
  c.rate = 12.5;
  EXPECT_FALSE(RememberedLogColumns("n\tti\tO2 (V)", names));
  RememberLogColumns("n\tti\tO2 (V)", c, names);
  EXPECT_EQ(RememberedLogColumns("n\tti\tO2 (V)", names), c);
  EXPECT_FALSE(RememberedLogColumns("n;ti;O2 (V)", names));
  EXPECT_TRUE(QSettings("Tarvelo", "Tarvelo").fileName().startsWith(qgetenv("XDG_CONFIG_HOME")));
}

// Errors name the line of the file (banner lines counted), the column and what was expected;
// nothing is kept from a log that does not read whole.
TEST_F(DelimitedLogTest, ErrorsNameLineColumnAndWhatWasExpected) {
  fRecords.Add(LiveRecord{1});
  const QByteArray head = "Logger X\nTime;RPM;IPW;AFR\n0;900;2,5;14,7\n";
  EXPECT_EQ(ErrorOf(head + "0,1;900;abc;14,7\n"),
            "Строка 4: столбец 3 «IPW»: «abc» — ожидалось число");
  EXPECT_EQ(ErrorOf(head + "\n0,1;900\n"), "Строка 5: полей 2, нет столбца 3 «IPW»");
  EXPECT_EQ(ErrorOf("t,rpm,ipw,afr\n12:00:00,900,2.5,14.7\n12:61:00,900,2.5,14.7\n"),
            "Строка 3: столбец 1 «t»: «12:61:00» — ожидалось время чч:мм:сс.ссс");
  EXPECT_EQ(fRecords.Count(), 1);
  // Not a log at all: one sentence each.
  EXPECT_EQ(ErrorOf(QByteArray("\x7f"
                               "ELF\0\0\x01",
                               7)),
            "Это не ЛОГ: файл двоичный, а не текст.");
  EXPECT_EQ(ErrorOf("1;2;3\n4;5;6\n"),
            "Это не ЛОГ: над строками чисел нет строки заголовка с названиями столбцов.");
  EXPECT_EQ(ErrorOf("Name;Value\nfoo;bar\n"), "Это не ЛОГ: в файле нет ни одной строки с числами.");
  EXPECT_EQ(ErrorOf("n\tti\tO2\n900\t2\t0.5\n"),
            "В ЛОГе нет столбца времени: нужна частота записей в герцах.");
}

// What loggers write besides records: comments, a header repeated after a restart, empty
// cells (the value above), a clock passing midnight, quotes around a delimiter.
TEST_F(DelimitedLogTest, CommentsRepeatedHeadersEmptyCellsAndMidnight) {
  const QByteArray text =
      "Time,RPM,IPW,\"AFR, wideband\"\r\n"
      "23:59:59.750,900,2.5,14.7\r\n"
      "# marker\r\n"
      "Time,RPM,IPW,\"AFR, wideband\"\r\n"
      "23:59:59.875,,2.6,\"15.0\"\r\n"
      "00:00:00.000,950,2.7,15.1\r\n";
  const QString path = Write(text);
  const TLogDialect d = SniffLogFile(path);
  ASSERT_EQ(d.names.size(), 4);
  EXPECT_EQ(d.names[3], "AFR, wideband");
  const TLogColumns c = GuessLogColumns(d.names, d.sample);
  EXPECT_EQ(c.timeKind, TLogTime::Clock);
  const TDelimitedLoadInfo info = ReadDelimitedLog(path, c, fRecords, fNames);
  EXPECT_EQ(info.emptyCells, 1);
  ASSERT_EQ(fRecords.Count(), 3);
  EXPECT_EQ(fRecords[1][kRPM], 900);
  EXPECT_EQ(fRecords[1][kO2], 15.0);
  EXPECT_EQ(fRecords[1][kTime], 0.125);
  EXPECT_EQ(fRecords[2][kTime], 0.25);
  EXPECT_EQ(fNames[kO2], "AFR, wideband");
}

// A million records read in blocks on all cores give every record in its place.
TEST_F(DelimitedLogTest, MillionRowsReadWhole) {
  constexpr int kRows = 1000000;
  std::string text = "Time (s);RPM;Inj (ms);Lambda\n";
  text.reserve(static_cast<size_t>(kRows) * 28);
  char line[64];
  for (int i = 0; i < kRows; ++i) {
    const int n = std::snprintf(line, sizeof line, "%d,%03d;%d;%d,%d;%d,%02d\n", i / 1000, i % 1000,
                                800 + i % 5000, 2 + i % 7, i % 10, 1, i % 100);
    text.append(line, static_cast<size_t>(n));
  }
  const QString path = Write(QByteArray::fromStdString(text));
  text = {};
  const TLogDialect d = SniffLogFile(path);
  EXPECT_EQ(d.decimal, ',');
  const TLogColumns c = GuessLogColumns(d.names, d.sample);
  ReadDelimitedLog(path, c, fRecords, fNames);
  ASSERT_EQ(fRecords.Count(), kRows);
  for (int i : {0, 1, 4999, 500000, 777777, kRows - 1}) {
    EXPECT_DOUBLE_EQ(fRecords[i][kTime], i / 1000.0);
    EXPECT_EQ(fRecords[i][kRPM], 800 + i % 5000);
    EXPECT_DOUBLE_EQ(fRecords[i][kLOAD], 2 + i % 7 + (i % 10) / 10.0);
    EXPECT_DOUBLE_EQ(fRecords[i][kO2], 1 + (i % 100) / 100.0);
  }
}
