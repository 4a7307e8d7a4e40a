#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <random>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "telemetry/LogNumber.h"
#include "telemetry/LogReader.h"

namespace {

const char kHeader[] = "Time\tRPM\tLOAD\tO2\tPW\tIGNITION\tMAF\tTPS\tCLT\tMAT\tVboard\tSPEED\r\n";

class EfiLogTest : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::English)); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }

  QString Write(const QByteArray& bytes, const QString& name = "log.txt") {
    const QString path = fDir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }

  QTemporaryDir fDir;
  TEFILogger fLogger;
};

}  // namespace

TEST_F(EfiLogTest, HeaderOnlyGivesNamesAndNoRecords) {
  fLogger.LoadFromFile(Write(kHeader), false);
  EXPECT_EQ(fLogger.ColumnNames.size(), 12);
  EXPECT_EQ(fLogger.ColumnNames.front(), "Time");
  EXPECT_EQ(fLogger.ColumnNames.back(), "SPEED");
  EXPECT_EQ(fLogger.Records.Count(), 0);
  // An empty file has one empty name.
  fLogger.LoadFromFile(Write(""), false);
  EXPECT_EQ(fLogger.ColumnNames, QStringList({""}));
}

TEST_F(EfiLogTest, LinesAreReadByPositionWithTheBufferCarriedOver) {
  const QByteArray text = QByteArray(kHeader) +
                          "0.1\t900\t2.5\t0.45\t3\t12\t1.2\t5\t80\t22\t13.8\t40\t999\r\n"  // 13
                          "\"a comment line\r\n"
                          "1.5\t1000\r\n"      // two pieces keep the rest
                          " 2.5 \t 1100 \r\n"  // a leading blank is not a comment
                          "no tab here\r\n"    // repeats the previous record
                          "\r\n"               // empty lines hold no record
                          "3.5\t1200";         // last line without a line end
  fLogger.LoadFromFile(Write(text), false);
  const TEFILogList& r = fLogger.Records;
  ASSERT_EQ(r.Count(), 5);
  EXPECT_EQ(r[0], (LiveRecord{0.1, 900, 2.5, 0.45, 3, 12, 1.2, 5, 80, 22, 13.8, 40}));
  EXPECT_EQ(r[1][kTime], 1.5);
  EXPECT_EQ(r[1][kRPM], 1000);
  EXPECT_EQ(r[1][kLOAD], 2.5);
  EXPECT_EQ(r[1][kSPEED], 40);
  EXPECT_EQ(r[2][kTime], 2.5);
  EXPECT_EQ(r[2][kRPM], 1100);
  EXPECT_EQ(r[3], r[2]);
  EXPECT_EQ(r[4][kRPM], 1200);
  EXPECT_EQ(r[4][kSPEED], 40);
  // The next file's first short line inherits from this file's last line.
  fLogger.LoadFromFile(Write(QByteArray(kHeader) + "9\t7\r\n", "next.txt"), false);
  ASSERT_EQ(fLogger.Records.Count(), 1);
  EXPECT_EQ(fLogger.Records[0][kRPM], 7);
  EXPECT_EQ(fLogger.Records[0][kSPEED], 40);
}

TEST_F(EfiLogTest, LoadingTwiceReplacesAndAppendAdds) {
  const QString path = Write(QByteArray(kHeader) + "1\t2\r\n3\t4\r\n");
  fLogger.LoadFromFile(path, false);
  fLogger.LoadFromFile(path, false);
  EXPECT_EQ(fLogger.Records.Count(), 2);
  EXPECT_EQ(fLogger.ColumnNames.size(), 12);
  fLogger.LoadFromFile(path, true);
  ASSERT_EQ(fLogger.Records.Count(), 4);
  EXPECT_EQ(fLogger.Records[2][kRPM], 2);
  EXPECT_EQ(fLogger.FileName(), path);
}

TEST_F(EfiLogTest, UnreadableFileChangesNothing) {
  const QString good = Write(QByteArray(kHeader) + "1\t2\t3\r\n", "good.txt");
  fLogger.LoadFromFile(good, false);
  const LiveRecord buffer = fLogger.ParseBuffer();
  try {
    fLogger.LoadFromFile(fDir.filePath("missing.txt"), false);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  ASSERT_EQ(fLogger.Records.Count(), 1);
  EXPECT_EQ(fLogger.Records[0][kLOAD], 3);
  EXPECT_EQ(fLogger.ColumnNames.size(), 12);
  EXPECT_EQ(fLogger.ParseBuffer(), buffer);
  EXPECT_EQ(fLogger.FileName(), good);
}

// A bad line ends the load there: the records before it are held, with the file's own
// names, and the error names the line (the header is line 1) and the field.
TEST_F(EfiLogTest, BadLineKeepsTheRecordsBeforeIt) {
  fLogger.LoadFromFile(Write(QByteArray(kHeader) + "1\t2\t3\r\n", "good.txt"), false);
  const LiveRecord before = fLogger.ParseBuffer();
  const QString bad = Write("A\tB\r\n5\t6\r\n\"note\r\n\r\n7\t\t8\r\n9\t9\r\n", "bad.txt");
  try {
    fLogger.LoadFromFile(bad, false);
    FAIL();
  } catch (const ELogLineError& e) {
    EXPECT_EQ(e.Line(), 5);
    EXPECT_EQ(e.Reason(), "'' is not a valid floating point value");
    EXPECT_EQ(QString::fromStdString(e.what()),
              QStringLiteral("Строка 5: '' is not a valid floating point value"));
  }
  ASSERT_EQ(fLogger.Records.Count(), 1);
  LiveRecord kept = before;
  kept[kTime] = 5;
  kept[kRPM] = 6;
  EXPECT_EQ(fLogger.Records[0], kept);
  EXPECT_EQ(fLogger.ColumnNames, QStringList({"A", "B"}));
  EXPECT_EQ(fLogger.FileName(), bad);
  // The half-read bad line (its 7) does not linger in the parse buffer.
  EXPECT_EQ(fLogger.ParseBuffer(), kept);

  // A bad first record: no records, the buffer as the previous file left it; the error is
  // still a conversion error for callers that catch that.
  EXPECT_THROW(fLogger.LoadFromFile(Write("A\r\n1\tx1\r\n", "x.txt"), false), EConvertError);
  EXPECT_EQ(fLogger.Records.Count(), 0);
  EXPECT_EQ(fLogger.ParseBuffer(), kept);
  EXPECT_EQ(fLogger.ColumnNames, QStringList({"A"}));
  // Appending keeps what was held and adds the good lines.
  fLogger.LoadFromFile(Write(QByteArray(kHeader) + "1\t2\r\n", "one.txt"), false);
  EXPECT_THROW(fLogger.LoadFromFile(bad, true), ELogLineError);
  ASSERT_EQ(fLogger.Records.Count(), 2);
  EXPECT_EQ(fLogger.Records[1][kTime], 5);
}

// Logs are written with the user's separator; either reads back under either locale.
TEST_F(EfiLogTest, BothDecimalMarksReadUnderEitherLocale) {
  const QString comma = Write(QByteArray(kHeader) + " 1,5\t  850,25\r\n", "comma.txt");
  const QString point = Write(QByteArray(kHeader) + "2.5\t 900.75\r\n", "point.txt");
  for (QLocale::Language language : {QLocale::English, QLocale::Russian}) {
    QLocale::setDefault(QLocale(language));
    fLogger.LoadFromFile(comma, false);
    EXPECT_EQ(fLogger.Records[0][kTime], 1.5);
    EXPECT_EQ(fLogger.Records[0][kRPM], 850.25);
    fLogger.LoadFromFile(point, false);
    EXPECT_EQ(fLogger.Records[0][kRPM], 900.75);
    // Two marks in one number are not a number, whichever comes first.
    EXPECT_THROW(fLogger.LoadFromFile(Write(QByteArray(kHeader) + "1,5.5\t1\r\n"), false),
                 EConvertError);
    EXPECT_THROW(fLogger.LoadFromFile(Write(QByteArray(kHeader) + "1\t1.5,5e3\r\n"), false),
                 EConvertError);
  }
}

TEST_F(EfiLogTest, LongLinesAndManyBlocks) {
  // A line far longer than a read block, then enough lines to cross many blocks.
  QByteArray text = QByteArray(kHeader) + "1\t2" + QByteArray(3 << 20, ' ') + "\r\n";
  for (int i = 0; i < 200000; ++i) text += QByteArray::number(i) + "\t" + "1.25\r\n";
  std::vector<int64_t> progress;
  fLogger.LoadFromFile(Write(text), false, [&](int64_t done, int64_t total) {
    EXPECT_EQ(total, text.size());
    progress.push_back(done);
  });
  ASSERT_EQ(fLogger.Records.Count(), 200001);
  EXPECT_EQ(fLogger.Records[0][kRPM], 2);
  EXPECT_EQ(fLogger.Records[200000][kTime], 199999);
  EXPECT_EQ(fLogger.Records[200000][kRPM], 1.25);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), text.size());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

// The loader's number reader accepts exactly what the common parser accepts with a full
// stop or with a comma, whichever the user's separator.
namespace {
std::optional<double> EitherMark(std::string_view s) {
  if (auto value = TryParseFloat(s, '.')) return value;
  return TryParseFloat(s, ',');
}
}  // namespace

TEST(ParseLogNumber, AgreesWithTryParseFloat) {
  const char* samples[] = {"0",
                           " 12 ",
                           "-3.5",
                           "+4",
                           "+-4",
                           "-+4",
                           "5.",
                           ".5",
                           "-.5",
                           ".",
                           "-",
                           "",
                           " ",
                           "1e5",
                           "1E-5",
                           "1e",
                           "1e+",
                           "2.5e3x",
                           "inf",
                           "nan",
                           "-inf",
                           "1,5",
                           "1.5.5",
                           "1,5,5",
                           "1.5,5",
                           "1,5e3",
                           "-,5",
                           ",",
                           "12345678901234567,5",
                           "0x10",
                           "1 2",
                           "\t1",
                           "1e999",
                           "1e-999",
                           "4e-320",
                           "0e999",
                           "0.000",
                           "-0",
                           "00012",
                           "1.7976931348623159e308",
                           "0.0000000000000000000000000000000000000000001e-300",
                           "１"};
  for (const char* s : samples)
    for (char sep : {'.', ','}) {
      const auto expected = EitherMark(s);
      const auto got = ParseLogNumber(s, std::string_view(&sep, 1));
      ASSERT_EQ(expected.has_value(), got.has_value()) << s << " sep " << sep;
      if (expected) {
        EXPECT_EQ(*expected, *got) << s;
      }
    }
  std::mt19937 random(7);
  const char alphabet[] = "0123456789.,e-+ ";
  for (int i = 0; i < 100000; ++i) {
    std::string s(random() % 8, ' ');
    for (char& c : s) c = alphabet[random() % (sizeof alphabet - 1)];
    const auto expected = EitherMark(s);
    const auto got = ParseLogNumber(s, random() % 2 ? "," : ".");
    ASSERT_EQ(expected.has_value(), got.has_value()) << s;
    if (expected) {
      ASSERT_EQ(*expected, *got) << s;
    }
  }
  // A separator of several bytes (the Arabic decimal separator in UTF-8).
  EXPECT_EQ(ParseLogNumber("1\xd9\xab"
                           "5",
                           "\xd9\xab"),
            1.5);
  EXPECT_EQ(ParseLogNumber("1.5", "\xd9\xab"), 1.5);
  EXPECT_FALSE(
      ParseLogNumber("1\xd9\xab"
                     "5.5",
                     "\xd9\xab"));
}
