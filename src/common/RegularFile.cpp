#include "common/RegularFile.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <cerrno>

#include "common/Errors.h"

QString NotRegularFileReason(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return QCoreApplication::translate("RegularFile", "Это папка");
  if (S_ISFIFO(mode))
    return QCoreApplication::translate("RegularFile", "Это именованный канал (FIFO), а не файл");
  if (S_ISCHR(mode))
    return QCoreApplication::translate("RegularFile", "Это символьное устройство, а не файл");
  if (S_ISBLK(mode))
    return QCoreApplication::translate("RegularFile", "Это блочное устройство, а не файл");
  if (S_ISSOCK(mode)) return QCoreApplication::translate("RegularFile", "Это сокет, а не файл");
  return QCoreApplication::translate("RegularFile", "Это не обычный файл");
}

QString NotRegularFileReason(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
  return NotRegularFileReason(st.st_mode);
}

namespace {
void Refuse(mode_t mode) {
  const QString reason = NotRegularFileReason(mode);
  if (!reason.isEmpty()) throw EInOutError(S_ISDIR(mode) ? EISDIR : ENODEV, reason.toStdString());
}
}  // namespace

void RequireRegularFile(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) == 0) Refuse(st.st_mode);
}

void RequireRegularFile(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) == 0) Refuse(st.st_mode);
}
