// tarvelo-cli given what users' machines hand it instead of a proper file: a named pipe, a
// device, a directory, a file of zeros. Each is refused at once, naming what it is.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "ImageTestUtil.h"
#include "image/DemoImage.h"
#include "support/CliRun.h"

#ifdef TARVELO_CLI

namespace {

TCliRun Cli(const QStringList& args) {
  return RunCli(QStringLiteral(TARVELO_CLI), args);
}

class CliInputs : public ::testing::Test {
 protected:
  void SetUp() override {
    fDemo = Path("demo.bin");
    WriteBytes(fDemo, Bytes(MakeDemoImage()));
    fFifo = Path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fFifo).constData(), 0600), 0);
    fLog = Path("drive.txt");
    WriteBytes(fLog, "Time\tRPM\tLOAD\r\n0\t2000\t3\r\n");
    fFolder = Path("folder.bin");
    ASSERT_TRUE(QDir().mkdir(fFolder));
  }
  QString Path(const char* name) const { return fDir.filePath(name); }

  QTemporaryDir fDir;
  QString fDemo, fLog, fFifo, fFolder;
};

}  // namespace

// Every command that reads a file, given each kind of non-file in the place of that file. A
// named pipe with no writer held the reader for ever, /dev/zero never ended, a directory gave
// "I/O error 21". The pipe is never opened for writing here: a command that still blocked
// on it would show as a run that did not finish (exit status -1).
TEST_F(CliInputs, PipeDeviceAndDirectoryAreRefusedAtOnceNamingWhatTheyAre) {
  const struct {
    QString path;
    const char* said;
  } kinds[] = {{fFifo, "Is a named pipe (FIFO), not a file"},
               {QStringLiteral("/dev/zero"), "Is a character device, not a file"},
               {fFolder, "Is a directory"}};
  for (const auto& kind : kinds) {
    const QString& x = kind.path;
    const QList<QStringList> runs = {
        {"analyze", x},
        {"checksum", x},
        {"diff", x, fDemo},
        {"diff", fDemo, x},
        {"decode", x},
        {"dme", x},
        {"apply", fDemo, x, Path("out.bin")},
        {"decode", fDemo, "--profile", x},
        {"analyze", fLog, "--image", x},
    };
    for (const QStringList& args : runs) {
      SCOPED_TRACE(args.join(' ').toStdString());
      QElapsedTimer clock;
      clock.start();
      const TCliRun r = Cli(args);
      EXPECT_NE(r.exitCode, -1) << "did not finish";
      EXPECT_NE(r.exitCode, 0);
      EXPECT_TRUE(r.err.contains(x + ": " + kind.said) ||
                  r.err.contains("profile " + x + ": " + kind.said))
          << r.err.toStdString();
      EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
  }
  EXPECT_FALSE(QFile::exists(Path("out.bin")));
}

// Two megabytes of zeros have no line end in their first megabyte: no log, said at once
// instead of after reading the whole file as one header line.
TEST_F(CliInputs, FileWithNoLineEndInItsFirstMegabyteIsNotALog) {
  const QString zeros = Path("zeros.txt");
  WriteBytes(zeros, QByteArray(2 << 20, '\0'));
  const TCliRun r = Cli({"analyze", zeros});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tarvelo-cli: " + zeros + ": Not a log: no line end in its first megabyte\n");
  EXPECT_TRUE(r.out.isEmpty());
}

#endif
