// tarvelo-cli given what users' machines hand it instead of a proper file: a named pipe, a
// device, a directory, a file of zeros. Each is refused at once, naming what it is.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "support/ImageTestUtil.h"
#include "image/Checksum.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
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

namespace {
bool HasRawControls(const QString& text) {
  for (const QChar c : text)
    if ((c.unicode() < 0x20 && c != '\n') || c.unicode() == 0x7f ||
        (c.unicode() >= 0x80 && c.unicode() <= 0x9f))
      return true;
  return false;
}
}  // namespace

// ESC and BEL sequences in a log or in an image's version bytes could retitle or clear the
// terminal: every text taken from a file reaches it with its control characters escaped.
TEST_F(CliInputs, ControlCharactersFromFilesReachTheTerminalEscaped) {
  const QString log = Path("escapes.txt");
  WriteBytes(log, "Time\tRPM\r\n1\t\x1b]0;owned\x07\x1b[2J\r\n");
  const TCliRun analyze = Cli({"analyze", log});
  EXPECT_EQ(analyze.exitCode, 1);
  EXPECT_TRUE(analyze.err.endsWith(
      "Line 2: '\\x1b]0;owned\\x07\\x1b[2J' is not a valid floating point value\n"))
      << analyze.err.toStdString();
  EXPECT_FALSE(HasRawControls(analyze.err));

  // The version bytes of an image (stored last first) with ESC, BEL and the C1 CSI, its
  // checksum made right again so that apply takes it.
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  std::vector<uint8_t> image = MakeDemoImage();
  const uint8_t version[10] = {'2', 'J', '[', 0x1b, 0x07, 'x', 0x9b, '1', '2', '3'};
  std::copy(std::begin(version), std::end(version), image.begin() + op.fVersionAddress);
  StoreChecksum(image, op, CheckChecksum(MakeDemoImage(), op).kind);
  const QString odd = Path("odd.bin");
  WriteBytes(odd, Bytes(image));

  const TCliRun decode = Cli({"decode", odd});
  ASSERT_EQ(decode.exitCode, 0) << decode.err.toStdString();
  EXPECT_TRUE(decode.out.contains("Version: 321\\x9bx\\x07\\x1b[J2\n")) << decode.out.toStdString();
  EXPECT_FALSE(HasRawControls(decode.out));
  const TCliRun json = Cli({"decode", odd, "--json"});
  EXPECT_TRUE(json.out.contains(R"("version":"321\u009bx\u0007\u001b[J2")"))
      << json.out.toStdString();
  EXPECT_FALSE(HasRawControls(json.out));

  op.fImage = MakeDemoImage();
  op.DecodeImage();
  op.SaveSettings(1, Path("demo.dme"));
  const TCliRun apply = Cli({"apply", odd, Path("demo.dme"), Path("applied.bin")});
  EXPECT_TRUE(apply.err.contains("the image is 321\\x9bx\\x07\\x1b[J2")) << apply.err.toStdString();
  EXPECT_FALSE(HasRawControls(apply.err));
}

// An empty log, or its header alone, analysed to tables of zeros with exit status 0.
TEST_F(CliInputs, LogWithoutRecordsSaysSoAndFails) {
  for (const QByteArray& text : {QByteArray(), QByteArray("Time\tRPM\tLOAD\r\n"),
                                 QByteArray("Time\tRPM\r\n\"only a comment\r\n\r\n")}) {
    const QString log = Path("empty.txt");
    WriteBytes(log, text);
    const TCliRun r = Cli({"analyze", log});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "tarvelo-cli: " + log + ": no records\n");
    EXPECT_TRUE(r.out.isEmpty());
  }
}

#endif
