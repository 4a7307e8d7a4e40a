#pragma once
// Helpers of the calibration tests: decoded operators of both layout variants, readable
// texts in failures.

#include <QString>
#include <QTemporaryDir>
#include <ostream>
#include <random>

#include "image/DemoImage.h"
#include "image/EfiOperator.h"

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

// The demo image decoded under the built-in configuration (single part-load maps).
inline void LoadDemo(TEFIOperator& op) {
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  op.DecodeImage();
}

// A random image decoded under the configuration an empty profile gives (variant 1, split
// maps), or the built-in one; its version digits and rev limiter code are valid.
inline void LoadRandom(TEFIOperator& op, bool split, unsigned seed) {
  if (split) {
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.prf");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write("[config]\r\n");
    f.close();
    op.LoadProfile(path);
  } else {
    op.LoadDefaultConfig();
  }
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> byte(0, 255), digit('0', '9');
  op.fImage.assign(kImageSize, 0);
  for (auto& b : op.fImage) b = static_cast<uint8_t>(byte(rng));
  for (int i = 0; i < 10; ++i)
    op.fImage[static_cast<size_t>(op.fVersionAddress + i)] = static_cast<uint8_t>(digit(rng));
  if (op.fImage[static_cast<size_t>(op.fMaxRPMAddress1)] == 0)
    op.fImage[static_cast<size_t>(op.fMaxRPMAddress1)] = 1;
  op.DecodeImage();
}
