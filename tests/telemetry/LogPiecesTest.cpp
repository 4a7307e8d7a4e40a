// Reading a log in pieces on several threads gives what reading it line by line gives.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "common/Errors.h"
#include "telemetry/LogPieces.h"
#include "telemetry/LogReader.h"

namespace {

// Sets how the loader reads for the life of the object.
struct ReadMode {
  ReadMode(int64_t from, int parts) {
    TEFILogger::ParallelFromBytes = from;
    TEFILogger::ParallelParts = parts;
  }
  ~ReadMode() {
    TEFILogger::ParallelFromBytes = int64_t{1} << 20;
    TEFILogger::ParallelParts = 0;
  }
};

// What a load leaves behind, to compare two ways of reading.
struct Outcome {
  std::vector<LiveRecord> records;
  QStringList names;
  LiveRecord buffer{};
  int64_t badLine = 0;
  std::string reason;

  bool operator==(const Outcome&) const = default;
};

Outcome Load(const QString& path, int64_t from, int parts, const Outcome* before = nullptr) {
  const ReadMode mode(from, parts);
  TEFILogger logger;
  if (before) {
    // A held log to append to, and a parse buffer carried over from it.
    const QString first = path + ".first";
    QFile file(first);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("T\tR\n1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\n");
    file.close();
    logger.LoadFromFile(first, false);
  }
  Outcome out;
  try {
    logger.LoadFromFile(path, before != nullptr);
  } catch (const ELogLineError& e) {
    out.badLine = e.Line();
    out.reason = e.Reason();
  }
  for (int i = 0; i < logger.Records.Count(); ++i) out.records.push_back(logger.Records[i]);
  out.names = logger.ColumnNames;
  out.buffer = logger.ParseBuffer();
  return out;
}

// A log of `lines` record lines of every kind the reader knows, CR LF or LF line ends.
QByteArray MixedLog(int lines, std::mt19937& random, bool bad) {
  QByteArray text = "Time\tRPM\tLOAD\tO2\r\n";
  std::uniform_int_distribution<int> kind(0, 9);
  const int badAt =
      bad ? std::uniform_int_distribution<int>(0, std::max(lines - 1, 0))(random) : -1;
  for (int i = 0; i < lines; ++i) {
    const char* end = random() % 2 ? "\r\n" : "\n";
    if (i == badAt) {
      text += QByteArray::number(i) + "\t1x\t3" + end;
      continue;
    }
    switch (kind(random)) {
      case 0:
        text += QByteArray("\"a comment") + end;
        break;
      case 1:
        text += end;
        break;
      case 2:
        text += QByteArray("no tab") + end;
        break;
      case 3:
        text += QByteArray::number(i) + "\t" + QByteArray::number(i * 3) + end;
        break;
      default: {
        text += QByteArray::number(i * 0.5);
        const int fields = 2 + static_cast<int>(random() % 13);
        for (int f = 1; f < fields; ++f) text += "\t" + QByteArray::number(i * 10 + f);
        text += end;
      }
    }
  }
  if (random() % 3 == 0 && text.endsWith('\n')) text.chop(text.endsWith("\r\n") ? 2 : 1);
  return text;
}

}  // namespace

TEST(LogPieces, CutsFallAfterLineFeedsOnlyEvenBetweenCarriageReturnAndLineFeed) {
  for (int length = 0; length < 40; ++length) {
    std::string body;
    for (int i = 0; static_cast<int>(body.size()) < length; ++i) body += std::to_string(i) + "\r\n";
    body.resize(static_cast<size_t>(length));
    for (int parts = 1; parts <= 5; ++parts) {
      const auto pieces = SplitAtLineEnds(body, parts);
      ASSERT_EQ(pieces.size(), static_cast<size_t>(parts));
      std::string joined;
      for (size_t k = 0; k < pieces.size(); ++k) {
        joined += pieces[k];
        // A piece ends after a line feed, or at the end of the text (the rest then empty).
        if (!pieces[k].empty() && joined.size() < body.size()) {
          EXPECT_EQ(pieces[k].back(), '\n');
        }
        if (k > 0 && !pieces[k].empty()) {
          EXPECT_NE(pieces[k].front(), '\n');
        }
      }
      EXPECT_EQ(joined, body);
      int64_t lines = 0;
      for (int64_t n : CountPieceLines(pieces)) lines += n;
      EXPECT_EQ(lines, CountLogLines(body));
    }
  }
}

// Many small logs of every line kind, cut in two and three pieces at every possible place:
// records, names, the parse buffer and the bad line agree with the line-by-line reader, for
// fresh loads and appends alike.
TEST(LogPieces, ReadingInPiecesGivesTheSameAsReadingLineByLine) {
  QTemporaryDir dir;
  std::mt19937 random(17);
  const QString path = dir.filePath("log.txt");
  for (int round = 0; round < 300; ++round) {
    const QByteArray text = MixedLog(round % 40, random, round % 4 == 3);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    const Outcome serial = Load(path, int64_t{1} << 40, 0);
    for (int parts : {2, 3}) {
      EXPECT_EQ(Load(path, 0, parts), serial) << round << " in " << parts << ":\n"
                                              << text.toStdString();
    }
    const Outcome held;
    EXPECT_EQ(Load(path, 0, 2, &held), Load(path, int64_t{1} << 40, 0, &held)) << round;
  }
}

TEST(LogPieces, ShortFilesReadTheSameInPieces) {
  QTemporaryDir dir;
  for (const QByteArray& text :
       {QByteArray(""), QByteArray("Time\tRPM"), QByteArray("Time\r\n"), QByteArray("T\n1\t2"),
        QByteArray("T\r\n\r\n"), QByteArray("T\n\"only a comment\n"), QByteArray("T\nx\ty\n")}) {
    const QString path = dir.filePath("short.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    EXPECT_EQ(Load(path, 0, 2), Load(path, int64_t{1} << 40, 0)) << text.toStdString();
  }
}

// The threads report progress on the caller's thread, rising to the file's size.
TEST(LogPieces, ProgressRisesToTheFileSize) {
  QTemporaryDir dir;
  QByteArray text = "Time\tRPM\n";
  for (int i = 0; i < 400000; ++i) text += QByteArray::number(i) + "\t900.5\n";
  const QString path = dir.filePath("big.txt");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
  file.close();
  const ReadMode mode(0, 2);
  TEFILogger logger;
  std::vector<int64_t> progress;
  logger.LoadFromFile(path, false, [&](int64_t done, int64_t total) {
    EXPECT_EQ(total, text.size());
    progress.push_back(done);
  });
  ASSERT_EQ(logger.Records.Count(), 400000);
  EXPECT_EQ(logger.Records[399999][kTime], 399999);
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress.back(), text.size());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}
