// A log that another program cuts short, or that the live loop is still writing, while it is
// read: an error or the whole lines read, never a signal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <thread>

#include "common/Errors.h"
#include "telemetry/LogReader.h"
#include "telemetry/SnapshotFile.h"

namespace {

const char kHeader[] = "Time\tRPM\tLOAD\tO2\tPW\tIGNITION\tMAF\tTPS\tCLT\tMAT\tVboard\tSPEED\r\n";

QByteArray LogText(int records) {
  QByteArray text(kHeader);
  text.reserve(records * 60);
  for (int i = 0; i < records; ++i)
    text += QByteArray::number(i * 0.1, 'f', 1) + "\t" + QByteArray::number(800 + i % 5000) +
            "\t2.5\t0.45\t3\t12\t1.2\t5\t80\t22\t13.8\t" + QByteArray::number(i % 200) + "\r\n";
  return text;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// Reads line by line (parallel pieces off) or in pieces side by side (from any size on).
struct ReadMode {
  const char* name;
  int64_t parallelFrom;
};
constexpr ReadMode kModes[] = {{"line by line", int64_t{1} << 62}, {"in pieces", 1}};

class LogChangingWhileRead : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::English)); }
  void TearDown() override {
    TSnapshotFile::AfterRead = nullptr;
    TEFILogger::ParallelFromBytes = fParallelFrom;
    QLocale::setDefault(QLocale::c());
  }
  QString Path() const { return fDir.filePath("drive.txt"); }

  QTemporaryDir fDir;
  const int64_t fParallelFrom = TEFILogger::ParallelFromBytes;
};

}  // namespace

TEST_F(LogChangingWhileRead, CutShortBetweenBlocksIsAnErrorThatChangesNothing) {
  const QByteArray text = LogText(400000);  // some 24 MB: several blocks either way
  for (const ReadMode& mode : kModes) {
    SCOPED_TRACE(mode.name);
    TEFILogger::ParallelFromBytes = mode.parallelFrom;
    TEFILogger logger;
    WriteFile(fDir.filePath("small.txt"), LogText(3));
    logger.LoadFromFile(fDir.filePath("small.txt"), false);
    WriteFile(Path(), text);
    int reads = 0;
    TSnapshotFile::AfterRead = [&] {
      if (++reads == 3) {
        ASSERT_EQ(::truncate(QFile::encodeName(Path()).constData(), text.size() / 2), 0);
      }
    };
    try {
      logger.LoadFromFile(Path(), false);
      FAIL() << "a file cut short read as if whole";
    } catch (const EInOutError& e) {
      EXPECT_STREQ(e.what(), "Файл стал короче, пока его читали");
    }
    TSnapshotFile::AfterRead = nullptr;
    EXPECT_EQ(logger.Records.Count(), 3);
    EXPECT_EQ(logger.FileName(), fDir.filePath("small.txt"));
    // What is left of the file reads as a log again.
    logger.LoadFromFile(Path(), false);
    EXPECT_GT(logger.Records.Count(), 190000);
    EXPECT_LT(logger.Records.Count(), 210000);
  }
}

// The live loop appends whole lines; a reader that opens the log between the two halves of
// a line must not take the first half as a record.
TEST_F(LogChangingWhileRead, LastLineStillBeingWrittenIsLeftOut) {
  const QByteArray whole = LogText(50000);
  const QByteArray half = "9999.5\t12";
  for (const ReadMode& mode : kModes) {
    SCOPED_TRACE(mode.name);
    TEFILogger::ParallelFromBytes = mode.parallelFrom;
    WriteFile(Path(), whole + half);
    TEFILogger logger;
    bool appended = false;
    TSnapshotFile::AfterRead = [&] {
      if (appended) return;
      appended = true;
      QFile file(Path());
      ASSERT_TRUE(file.open(QIODevice::Append));
      file.write("34\t2.5\t0.45\t3\t12\t1.2\t5\t80\t22\t13.8\t40\r\n");
    };
    logger.LoadFromFile(Path(), false);
    TSnapshotFile::AfterRead = nullptr;
    ASSERT_EQ(logger.Records.Count(), 50000);
    EXPECT_EQ(logger.Records[49999][kRPM], 800 + 49999 % 5000);
    // A file that has stopped growing keeps a last line without a line end as a record.
    WriteFile(Path(), whole + half);
    logger.LoadFromFile(Path(), false);
    ASSERT_EQ(logger.Records.Count(), 50001);
    EXPECT_EQ(logger.Records[50000][kRPM], 12);
  }
}

// A real second thread cuts the file while it is read, at whatever moment the machine gives
// it. Whichever moment that is, the load either fails with a file error or gives whole
// records of the file's first lines.
TEST_F(LogChangingWhileRead, ConcurrentTruncationNeverEndsTheProcess) {
  const QByteArray text = LogText(300000);
  const QByteArray path = QFile::encodeName(Path());
  for (const ReadMode& mode : kModes) {
    SCOPED_TRACE(mode.name);
    TEFILogger::ParallelFromBytes = mode.parallelFrom;
    for (int round = 0; round < 6; ++round) {
      WriteFile(Path(), text);
      std::atomic<bool> started{false};
      std::thread cutter([&] {
        while (!started) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(round * 3));
        EXPECT_EQ(::truncate(path.constData(), static_cast<off_t>(text.size() / (2 + round % 3))),
                  0);
      });
      TEFILogger logger;
      started = true;
      try {
        logger.LoadFromFile(Path(), false);
        ASSERT_GT(logger.Records.Count(), 0);
        ASSERT_LE(logger.Records.Count(), 300000);
        EXPECT_EQ(logger.Records[0][kRPM], 800);
      } catch (const EInOutError&) {
        EXPECT_EQ(logger.Records.Count(), 0);
      } catch (const ELogLineError&) {
        // The cut fell inside a line after the file was opened: the records before it stay.
      }
      cutter.join();
    }
  }
}
