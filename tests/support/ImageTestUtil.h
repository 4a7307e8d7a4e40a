#pragma once
// Helpers of the image tests: configured operators, images with bytes placed at offsets,
// whole files as bytes.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <ostream>
#include <vector>

#include "image/EfiOperator.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

inline QString SourceDir() {
  const QByteArray env = qgetenv("TARVELO_SOURCE_DIR");
  if (!env.isEmpty()) return QString::fromLocal8Bit(env);
#ifdef TARVELO_SOURCE_DIR_DEFAULT
  return QStringLiteral(TARVELO_SOURCE_DIR_DEFAULT);
#else
  return QStringLiteral(".");
#endif
}

inline QString DemoImagePath() {
  return SourceDir() + "/data/demo.bin";
}

// The built-in configuration with a 32768-byte image of `fill`.
inline void UseBuiltIn(TEFIOperator& op, uint8_t fill = 0x80) {
  op.LoadDefaultConfig();
  op.fImage.assign(kImageSize, fill);
}

// The configuration an empty profile gives (variant 1) with a 32768-byte image of `fill`.
void UseProfileDefaults(TEFIOperator& op, uint8_t fill = 0x80);

inline void Place(std::vector<uint8_t>& image, int offset, const std::vector<uint8_t>& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) image.at(static_cast<size_t>(offset) + i) = bytes[i];
}

inline std::vector<uint8_t> FileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray data = f.readAll();
  return {data.begin(), data.end()};
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

inline QByteArray Bytes(const std::vector<uint8_t>& v) {
  return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

inline void UseProfileDefaults(TEFIOperator& op, uint8_t fill) {
  QTemporaryDir dir;
  const QString path = dir.filePath("empty.prf");
  WriteBytes(path, "[config]\r\n");
  op.LoadProfile(path);
  op.fImage.assign(kImageSize, fill);
}
