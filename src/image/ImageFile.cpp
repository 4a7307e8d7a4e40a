#include "image/ImageFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#include "common/Errors.h"
#include "common/RegularFile.h"
#include "image/EfiOperator.h"

namespace {
// Delphi-style code of a failed write ("Disk write error").
constexpr int kDiskWriteError = 101;

// The error of a file that could not be opened: a missing file or folder is "File not
// found", anything else the system's error number.
EInOutError OpenError(const QString& path, int err) {
  if (!QFileInfo::exists(path)) return EInOutError(EInOutError::kFileNotFound);
  return EInOutError::FromErrno(err != 0 ? err : EIO);
}
}  // namespace

QByteArray ReadFileHead(const QString& path, int64_t maxBytes) {
  // A named pipe would hold the open, a device never end.
  RequireRegularFile(path);
  QFile file(path);
  errno = 0;
  if (!file.open(QIODevice::ReadOnly)) throw OpenError(path, errno);
  QByteArray data(static_cast<qsizetype>(std::max<int64_t>(maxBytes, 0)), Qt::Uninitialized);
  qsizetype got = 0;
  while (got < data.size()) {
    const qint64 n = file.read(data.data() + got, data.size() - got);
    if (n < 0) throw EInOutError::FromErrno(errno != 0 ? errno : EIO);
    if (n == 0) break;
    got += n;
  }
  data.truncate(got);
  return data;
}

void WriteFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  errno = 0;
  if (!file.open(QIODevice::WriteOnly)) {
    const int err = errno;
    // A folder that is not there makes the name itself unreachable.
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
      throw EInOutError(EInOutError::kFileNotFound);
    throw EInOutError::FromErrno(err != 0 ? err : EIO);
  }
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    throw EInOutError(kDiskWriteError);
  }
  if (!file.commit()) throw EInOutError(kDiskWriteError);
}

void LoadImageFile(const QString& path, std::vector<uint8_t>& image) {
  image.resize(kImageSize, 0);
  const QByteArray data = ReadFileHead(path, kImageSize);
  std::copy(data.begin(), data.end(), image.begin());
  if (data.size() < kImageSize) throw EInOutError(EInOutError::kReadBeyondEnd);
}

void SaveImageFile(const QString& path, const std::vector<uint8_t>& image) {
  WriteFileAtomically(path, QByteArray(reinterpret_cast<const char*>(image.data()),
                                       static_cast<qsizetype>(image.size())));
}
