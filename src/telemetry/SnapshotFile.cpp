#include "telemetry/SnapshotFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/Errors.h"
#include "common/RegularFile.h"

namespace {
int64_t SizeOf(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw EInOutError::FromErrno(errno);
  return st.st_size;
}
}  // namespace

TSnapshotFile::TSnapshotFile(const QString& name) {
  // Opened without blocking, so that a named pipe with no writer cannot hold the open; a
  // regular file reads the same either way.
  fFd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fFd < 0) throw EInOutError::FromErrno(errno);
  try {
    RequireRegularFile(fFd);
    fEnd = SizeOf(fFd);
  } catch (...) {
    ::close(fFd);
    throw;
  }
}

TSnapshotFile::~TSnapshotFile() {
  ::close(fFd);
}

size_t TSnapshotFile::ReadAt(int64_t offset, char* buffer, size_t size) {
  size = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(size), fEnd - offset));
  size_t got = 0;
  while (got < size) {
    const ssize_t n = ::pread(fFd, buffer + got, size - got, offset + static_cast<int64_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EInOutError::FromErrno(errno);
    if (n == 0)
      throw EInOutError(
          EIO, QCoreApplication::translate("LogReader", "Файл стал короче, пока его читали")
                   .toStdString());
    got += static_cast<size_t>(n);
  }
  if (AfterRead) AfterRead();
  // The end of the text: a last line without its line end while the file has grown since
  // it was opened is a record still being written. It is left out when an earlier line end
  // lies in this block.
  if (got > 0 && offset + static_cast<int64_t>(got) == fEnd && buffer[got - 1] != '\n' &&
      SizeOf(fFd) > fEnd) {
    const void* lf = ::memrchr(buffer, '\n', got);
    if (lf) {
      got = static_cast<size_t>(static_cast<const char*>(lf) - buffer) + 1;
      fEnd = offset + static_cast<int64_t>(got);
    }
  }
  return got;
}

std::string_view TSnapshotFile::WholeLines(int64_t offset, std::vector<char>& block) {
  // A log line is a few dozen numbers: a longer one is garbage, refused rather than held.
  constexpr size_t kLongestLine = size_t{16} << 20;
  for (;;) {
    const size_t got = Fill(offset, block.data(), block.size());
    const std::string_view text(block.data(), got);
    if (offset + static_cast<int64_t>(got) >= fEnd) return text;
    const size_t lf = text.rfind('\n');
    if (lf != std::string_view::npos) return text.substr(0, lf + 1);
    if (block.size() >= kLongestLine)
      throw ERuntimeError(QCoreApplication::translate("LogReader", "Это не ЛОГ: %1")
                              .arg(QCoreApplication::translate("LogReader", "строка длиннее 16 МБ"))
                              .toStdString());
    block.resize(block.size() * 2);
  }
}
