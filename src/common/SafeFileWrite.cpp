#include "common/SafeFileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace {
std::atomic<int64_t> gFailAfter{-1};
std::atomic<int> gFailError{0};
std::atomic<unsigned> gTempCounter{0};

// Writes all of `size` bytes, going on after a partial write or a signal; the error number
// of the failure, or 0.
int WriteAll(int fd, const char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    size_t chunk = size - done;
    const int64_t failAfter = gFailAfter.load();
    if (failAfter >= 0) {
      if (done >= static_cast<size_t>(failAfter)) return gFailError.load();
      chunk = std::min(chunk, static_cast<size_t>(failAfter) - done);
    }
    const ssize_t n = ::write(fd, data + done, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    done += static_cast<size_t>(n);
  }
  return 0;
}

// A new temporary file beside `target`, created exclusively; its descriptor, or -1 with
// errno set.
int CreateTemporary(const QByteArray& target, QByteArray& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target + ".tmp-" + QByteArray::number(static_cast<qint64>(::getpid())) + '-' +
           QByteArray::number(gTempCounter.fetch_add(1));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Makes the rename itself lasting; a file system that cannot sync a folder is let be.
void SyncFolder(const QByteArray& folder) {
  const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes, syncs and closes the temporary file; the error number of the first failure, or 0.
int FillTemporary(int fd, const QByteArray& target, const QByteArray& bytes) {
  int err = WriteAll(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
  struct stat old {};
  if (err == 0 && ::stat(target.constData(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0)
    err = errno;
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  // A file system may report a failed write only at the close.
  if (::close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
  return err;
}
}  // namespace

EFileWriteError::EFileWriteError(int err)
    : EInOutError(err), fText(std::string(EInOutError::what()) + ": " + std::strerror(err)) {}

void WriteFileSafely(const QString& path, const QByteArray& bytes) {
  QFileInfo info(path);
  if (info.isSymLink() && info.exists()) info = QFileInfo(info.canonicalFilePath());
  if (!QFileInfo(info.absolutePath()).isDir()) throw EInOutError(EInOutError::kFileNotFound);
  const QByteArray target = QFile::encodeName(info.absoluteFilePath());
  if (info.isDir()) throw EFileWriteError(EISDIR);
  QByteArray temporary;
  const int fd = CreateTemporary(target, temporary);
  if (fd < 0) throw EFileWriteError(errno);
  int err = FillTemporary(fd, target, bytes);
  if (err == 0 && ::rename(temporary.constData(), target.constData()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temporary.constData());
    throw EFileWriteError(err);
  }
  SyncFolder(QFile::encodeName(info.absolutePath()));
}

void FailSafeWritesForTests(int64_t afterBytes, int err) {
  gFailError = err;
  gFailAfter = afterBytes;
}
