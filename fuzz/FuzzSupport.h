#pragma once
// Shared by the fuzz targets: a scratch folder in memory where possible (the settings
// writer syncs every file it saves), and whole files written from the fuzzer's bytes.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

inline const QTemporaryDir& ScratchDir() {
  static const QTemporaryDir dir = [] {
    if (QDir(QStringLiteral("/dev/shm")).exists())
      return QTemporaryDir(QStringLiteral("/dev/shm/tarvelo-fuzz-XXXXXX"));
    return QTemporaryDir();
  }();
  return dir;
}

inline QString ScratchFile(const char* name) { return ScratchDir().filePath(name); }

inline void WriteWhole(const QString& path, const uint8_t* data, size_t size) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) __builtin_trap();
  if (f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
      static_cast<qint64>(size))
    __builtin_trap();
}
