// Whole files written so that a failed write never costs the earlier file: a write that
// the disk refuses midway or at once (the small buffered write Qt's save file would report
// as committed), a file-size limit the kernel enforces, a folder that is not there.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>

#include "common/IniFile.h"
#include "common/SafeFileWrite.h"

namespace {
QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The folder holds exactly these names: no temporary file is left behind.
void ExpectOnly(const QTemporaryDir& dir, const QStringList& names) {
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), names);
}

// Ends an injected failure however the test ends.
struct InjectedFailure {
  InjectedFailure(int64_t afterBytes, int err) { FailSafeWritesForTests(afterBytes, err); }
  ~InjectedFailure() { FailSafeWritesForTests(-1, 0); }
};
}  // namespace

TEST(SafeFileWrite, AFullDiskLeavesTheEarlierFileAsItWasAndIsReported) {
  QTemporaryDir dir;
  const QString path = dir.filePath("keep.dme");
  WriteFileSafely(path, "good calibration");
  ASSERT_EQ(Contents(path), "good calibration");
  // At once (a small write a buffer would hide) and midway through a larger one.
  for (const int64_t after : {int64_t{0}, int64_t{5000}}) {
    SCOPED_TRACE(after);
    const InjectedFailure full(after, ENOSPC);
    try {
      WriteFileSafely(path, QByteArray(after == 0 ? 10 : 20000, 'x'));
      ADD_FAILURE() << "a failed write was reported as written";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), ENOSPC);
      EXPECT_NE(std::string(e.what()).find("I/O error 28"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Contents(path), "good calibration");
    ExpectOnly(dir, {"keep.dme"});
  }
  // A new file that cannot be written is not there afterwards.
  {
    const InjectedFailure full(0, ENOSPC);
    EXPECT_THROW(WriteFileSafely(dir.filePath("new.csv"), "1,2\n"), EInOutError);
  }
  ExpectOnly(dir, {"keep.dme"});
}

TEST(SafeFileWrite, TheKernelsFileSizeLimitIsAFailureNotASuccess) {
  // A real refusal by the kernel (EFBIG past RLIMIT_FSIZE) rather than an injected one.
  QTemporaryDir dir;
  const QString path = dir.filePath("image.bin");
  WriteFileSafely(path, "old");
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool thrown = false;
  try {
    WriteFileSafely(path, QByteArray(32768, '\x5a'));
  } catch (const EInOutError&) {
    thrown = true;
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_TRUE(thrown);
  EXPECT_EQ(Contents(path), "old");
  ExpectOnly(dir, {"image.bin"});
}

TEST(SafeFileWrite, ReplacesWholeKeepsTheModeAndRefusesAMissingFolder) {
  QTemporaryDir dir;
  const QString path = dir.filePath("CTESTER.INI");
  WriteFileSafely(path, QByteArray(5000, 'a'));
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
  WriteFileSafely(path, "short");
  EXPECT_EQ(Contents(path), "short");
  EXPECT_EQ(QFile::permissions(path),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
  ExpectOnly(dir, {"CTESTER.INI"});
  try {
    WriteFileSafely(dir.filePath("missing/x.bin"), "x");
    ADD_FAILURE() << "written into a folder that is not there";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), EInOutError::kFileNotFound);
  }
  // A settings file written over an earlier one keeps it on a failure and says so.
  TIniFile ini(path);
  ini.WriteInteger("COMM", "PORT", 3);
  const InjectedFailure full(0, ENOSPC);
  EXPECT_FALSE(ini.Save());
  EXPECT_THROW(ini.Write(), EInOutError);
  EXPECT_EQ(Contents(path), "short");
}
