#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/Errors.h"
#include "telemetry/DemoRecord.h"

namespace {

LiveRecord Filled(double value) {
  LiveRecord r;
  r.fill(value);
  return r;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

}  // namespace

TEST(ParseDemoRecord, ElevenNumbersFillSlotsOneToElevenAndRound) {
  LiveRecord r = Filled(-1);
  ParseDemoRecord(u"850;1.5;0.456;2.1;12;0.9;3;85.5;22;13.8;27.5", r, '.');
  EXPECT_EQ(r[kTime], -1);  // never written
  EXPECT_EQ(r[kRPM], 850);
  EXPECT_EQ(r[kLOAD], 1.5);
  EXPECT_DOUBLE_EQ(r[kO2], 0.46);
  EXPECT_EQ(r[kPW], 2.1);
  EXPECT_EQ(r[kIGNITION], 12);
  EXPECT_EQ(r[kMAF], 0.9);
  EXPECT_EQ(r[kTPS], 3);
  EXPECT_EQ(r[kCLT], 85.5);
  EXPECT_EQ(r[kMAT], 22);
  EXPECT_EQ(r[kVboard], 13.8);
  EXPECT_EQ(r[kSPEED], 28);
  ParseDemoRecord(u" 850 ; 1,5 ;0,45;2;12;1;3;85;22;14;27.4 ", r, ',');
  EXPECT_EQ(r[kLOAD], 1.5);
  EXPECT_EQ(r[kSPEED], 27);
}

TEST(ParseDemoRecord, FewerNumbersFillFromSlotOneAndSpeedOnly) {
  LiveRecord r = Filled(7);
  ParseDemoRecord(u"850;25", r, '.');
  EXPECT_EQ(r[kRPM], 850);
  EXPECT_EQ(r[kSPEED], 25);
  for (int k = kLOAD; k <= kVboard; ++k) EXPECT_EQ(r[k], 7) << k;
  ParseDemoRecord(u"42.6", r, '.');  // no ";": the whole line is the speed
  EXPECT_EQ(r[kRPM], 850);
  EXPECT_EQ(r[kSPEED], 43);
}

TEST(ParseDemoRecord, TwelveAndMoreNumbersNeverLeaveTheRecord) {
  LiveRecord r = Filled(0);
  ParseDemoRecord(u"1;2;3;4;5;6;7;8;9;10;11;12", r, '.');
  EXPECT_EQ(r[kVboard], 10);
  EXPECT_EQ(r[kSPEED], 12);  // the eleventh went there first, the twelfth replaced it
  ParseDemoRecord(u"1;2;3;4;5;6;7;8;9;10;11;12;13", r, '.');
  EXPECT_EQ(r[kSPEED], 13);
  EXPECT_EQ(r[kTime], 0);
  // Numbers without a slot are still checked.
  EXPECT_THROW(ParseDemoRecord(u"1;2;3;4;5;6;7;8;9;10;11;x;13", r, '.'), EConvertError);
}

TEST(ParseDemoRecord, BadPieceThrowsWithThePieceAndKeepsWhatCameBefore) {
  LiveRecord r = Filled(5);
  try {
    ParseDemoRecord(u"900;1.2;abc;4", r, '.');
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
  }
  EXPECT_EQ(r[kRPM], 900);
  EXPECT_EQ(r[kLOAD], 1.2);
  EXPECT_EQ(r[kO2], 5);
  EXPECT_EQ(r[kSPEED], 5);
  try {
    ParseDemoRecord(u"", r, '.');
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
  }
  EXPECT_THROW(ParseDemoRecord(u"900;;4", r, '.'), EConvertError);
  // Under the full stop a comma is not a separator.
  EXPECT_THROW(ParseDemoRecord(u"900;1,5", r, '.'), EConvertError);
}

// The engine speed becomes a whole number for the live map cell: a value no 64-bit integer
// can hold is refused like text that is not a number; other slots take any number.
TEST(ParseDemoRecord, EngineSpeedBeyondAnyIntegerIsRefused) {
  LiveRecord r = Filled(5);
  for (const char16_t* line : {u"1e30;2", u"-1e19;2", u"9223372036854775808;2"}) {
    try {
      ParseDemoRecord(line, r, '.');
      FAIL();
    } catch (const EConvertError& e) {
      const QString text = QString::fromUtf16(line);
      EXPECT_EQ(QString::fromStdString(e.what()),
                QStringLiteral("'%1' is not a valid floating point value")
                    .arg(text.left(text.indexOf(';'))));
    }
  }
  EXPECT_EQ(r[kRPM], 5);
  // inf, nan and overflowing text are not numbers in the first place.
  EXPECT_THROW(ParseDemoRecord(u"inf;2", r, '.'), EConvertError);
  EXPECT_THROW(ParseDemoRecord(u"nan;2", r, '.'), EConvertError);
  EXPECT_THROW(ParseDemoRecord(u"1e400;2", r, '.'), EConvertError);
  ParseDemoRecord(u"9223372036854774784;1e30;2", r, '.');
  EXPECT_EQ(r[kRPM], 9223372036854774784.0);
  EXPECT_EQ(r[kLOAD], 1e30);
}

TEST(DemoDataSource, ReadsLinesInACircle) {
  QTemporaryDir dir;
  const QString path = dir.filePath("demo.dat");
  WriteFile(path, "1;10\r\n2;20\r\n3;30\r\n");
  TDemoDataSource source(path);
  QStringList seen;
  for (int i = 0; i < 7; ++i) seen << source.NextLine();
  EXPECT_EQ(seen, QStringList({"1;10", "2;20", "3;30", "1;10", "2;20", "3;30", "1;10"}));
  // A last line without a line end, and a bare LF.
  WriteFile(path, "5;1\n6;2");
  TDemoDataSource other(path);
  EXPECT_EQ(other.NextLine(), "5;1");
  EXPECT_EQ(other.NextLine(), "6;2");
  EXPECT_EQ(other.NextLine(), "5;1");
  // An empty file gives empty lines, which the parser refuses, instead of spinning.
  WriteFile(path, "");
  TDemoDataSource empty(path);
  EXPECT_EQ(empty.NextLine(), "");
}

TEST(DemoDataSource, MissingFileIsFileNotFound) {
  QTemporaryDir dir;
  try {
    TDemoDataSource source(dir.filePath("demo.dat"));
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  // A folder opens but cannot be read as a file.
  TDemoDataSource folder(dir.path());
  EXPECT_THROW(folder.NextLine(), EInOutError);
}

// The shipped demo drive: every line is a full record that reads under the full stop and
// under the comma, with values in the ranges the dashboard and the maps expect.
TEST(DemoDataFile, EveryLineIsAPlausibleFullRecord) {
  QFile file(qEnvironmentVariable("TARVELO_SOURCE_DIR") + "/data/demo.dat");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
  const QByteArray bytes = file.readAll();
  ASSERT_TRUE(bytes.endsWith("\r\n"));
  const QList<QByteArray> lines = bytes.chopped(1).split('\n');
  ASSERT_GE(lines.size(), 1800);
  LiveRecord lo = Filled(1e9), hi = Filled(-1e9);
  for (const QByteArray& raw : lines) {
    ASSERT_TRUE(raw.endsWith('\r'));
    const QString line = QString::fromLatin1(raw.chopped(1));
    ASSERT_EQ(line.count(';'), 10) << line.toStdString();
    LiveRecord dot{}, comma{};
    ParseDemoRecord(line, dot, '.');
    ParseDemoRecord(line, comma, ',');
    ASSERT_EQ(dot, comma);
    for (int k = kRPM; k <= kSPEED; ++k) {
      lo[k] = std::min(lo[k], dot[k]);
      hi[k] = std::max(hi[k], dot[k]);
    }
  }
  struct Range {
    int slot;
    double min, max;
  };
  const Range ranges[] = {{kRPM, 750, 6200},     {kLOAD, 1, 10},     {kO2, 0.1, 0.9},
                          {kPW, 1.5, 12},        {kIGNITION, 5, 40}, {kMAF, 0.3, 4.8},
                          {kTPS, 0, 100},        {kCLT, 40, 90},     {kMAT, 20, 45},
                          {kVboard, 13.6, 14.4}, {kSPEED, 0, 130}};
  for (const Range& r : ranges) {
    EXPECT_GE(lo[r.slot], r.min) << r.slot;
    EXPECT_LE(hi[r.slot], r.max) << r.slot;
  }
  // A drive, not a still picture: idle, high revs, stand-still and speed.
  EXPECT_LE(lo[kRPM], 900);
  EXPECT_GE(hi[kRPM], 5500);
  EXPECT_EQ(lo[kSPEED], 0);
  EXPECT_GE(hi[kSPEED], 100);
  EXPECT_LE(lo[kLOAD], 1.5);
  EXPECT_GE(hi[kLOAD], 8);
}
