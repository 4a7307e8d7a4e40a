#include "image/ImageFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "common/Errors.h"
#include "common/RegularFile.h"
#include "common/SafeFileWrite.h"
#include "image/EfiOperator.h"

namespace {
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

void LoadImageFile(const QString& path, std::vector<uint8_t>& image) {
  image.resize(kImageSize, 0);
  const QByteArray data = ReadFileHead(path, kImageSize);
  std::copy(data.begin(), data.end(), image.begin());
  if (data.size() < kImageSize) throw EInOutError(EInOutError::kReadBeyondEnd);
}

void SaveImageFile(const QString& path, const std::vector<uint8_t>& image) {
  WriteFileSafely(path, QByteArray(reinterpret_cast<const char*>(image.data()),
                                   static_cast<qsizetype>(image.size())));
}
