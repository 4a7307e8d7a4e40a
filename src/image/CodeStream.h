#pragma once
// Byte-code streams shared by the image decoder, the settings file and the image write-back:
// a bounds-checked reader, an appending writer, a recorder of a part's image bytes, and the
// walks that visit a table's cells in the order the
// unit (and the settings file) stores them. Internal to the image library.

#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/Numbers.h"

namespace codestream {

// A code as computed: the nearest integer (ties to even). A value the unit cannot hold (not
// finite, or beyond 2^62) is taken as the nearest representable integer so that the
// conversion itself stays defined.
inline int64_t NearestCode(long double x) {
  constexpr long double kLimit = 4611686018427387904.0L;  // 2^62
  if (std::isnan(x)) return 0;
  if (x > kLimit) x = kLimit;
  if (x < -kLimit) x = -kLimit;
  return Nearest(x);
}

// A code as stored in one byte. A code beyond a byte is held at the nearer end (0 or 255),
// never wrapped: its low 8 bits would stand for an unrelated value (-7 for a -30 degree
// advance would be read back as 249, 161.7 degrees).
inline uint8_t StoredByte(int64_t code) {
  return static_cast<uint8_t>(code < 0 ? 0 : code > 255 ? 255 : code);
}
inline uint8_t CodeByte(double value) {
  return StoredByte(NearestCode(value));
}
inline uint8_t CodeByte(int32_t value) {
  return StoredByte(value);
}

// Reads codes from a byte range. Reading past its end calls the owner's `fail`, which
// throws; so the caller decides whether running short is a short file or a broken layout.
template <typename Fail>
class CodeReader {
 public:
  CodeReader(const uint8_t* data, int64_t size, int64_t start, Fail fail)
      : fData(data), fSize(size), fPos(start), fFail(fail) {}

  uint8_t Next() {
    if (fPos < 0 || fPos >= fSize) fFail();
    return fData[fPos++];
  }
  // Bytes that are stored but carry nothing the program keeps; they must still be there.
  void Skip(int64_t count) {
    for (int64_t i = 0; i < count; ++i) Next();
  }
  uint16_t NextWord() {
    const uint16_t low = Next();
    return static_cast<uint16_t>(low | (Next() << 8));
  }

 private:
  const uint8_t* fData;
  int64_t fSize;
  int64_t fPos;
  Fail fFail;
};

// Marks the end of an RPM axis and the start of the load axis that follows it.
constexpr uint8_t kAxisSeparator = 0xFF;

// Appends codes to a settings file.
class CodeWriter {
 public:
  explicit CodeWriter(QByteArray& out) : fOut(out) {}
  void Put(uint8_t b) { fOut.append(static_cast<char>(b)); }
  void PutWord(uint16_t w) {
    Put(static_cast<uint8_t>(w & 0xFF));
    Put(static_cast<uint8_t>(w >> 8));
  }
  // The two bytes between an RPM axis and its load axis.
  void PutSeparator() {
    Put(kAxisSeparator);
    Put(kAxisSeparator);
  }

 private:
  QByteArray& fOut;
};

// Collects a part's codes byte for byte as the image holds them, for writing them back. The
// two bytes between the axes are neither read nor written in the image: kKept stands there.
class CodeRecorder {
 public:
  static constexpr int kKept = -1;
  void Put(uint8_t b) { fCodes.push_back(b); }
  void PutWord(uint16_t w) {
    Put(static_cast<uint8_t>(w & 0xFF));
    Put(static_cast<uint8_t>(w >> 8));
  }
  void PutSeparator() { fCodes.insert(fCodes.end(), 2, kKept); }
  const std::vector<int>& Codes() const { return fCodes; }

 private:
  std::vector<int> fCodes;
};

// A curve or a small table stored row by row, every row and column.
template <typename T, typename Reader>
void ReadRows(Reader& in, std::vector<std::vector<T>>& table) {
  for (auto& row : table)
    for (auto& cell : row) cell = static_cast<T>(in.Next());
}

template <typename T, typename Writer>
void WriteRows(Writer& out, const std::vector<std::vector<T>>& table) {
  for (const auto& row : table)
    for (const auto& cell : row) out.Put(CodeByte(cell));
}

// One part of a map with two axes: the RPM codes of row 0 (columns 1 to c-1), two bytes
// between the axes, the load codes of rows first..last in column 0, then the values
// column by column (rows first..last of each column). With keepRpm false the RPM codes
// are passed over and row 0 keeps the axis it has (the high part of a split map).
template <typename Reader>
void ReadMapPart(Reader& in, std::vector<std::vector<double>>& table, int first, int last,
                 bool keepRpm) {
  const size_t cols = table[0].size();
  for (size_t j = 1; j < cols; ++j) {
    const uint8_t b = in.Next();
    if (keepRpm) table[0][j] = b;
  }
  in.Skip(2);
  for (int i = first; i <= last; ++i) table[i][0] = in.Next();
  for (size_t j = 1; j < cols; ++j)
    for (int i = first; i <= last; ++i) table[i][j] = in.Next();
}

template <typename Writer>
void WriteMapPart(Writer& out, const std::vector<std::vector<double>>& table, int first, int last) {
  const size_t cols = table[0].size();
  for (size_t j = 1; j < cols; ++j) out.Put(CodeByte(table[0][j]));
  out.PutSeparator();
  for (int i = first; i <= last; ++i) out.Put(CodeByte(table[i][0]));
  for (size_t j = 1; j < cols; ++j)
    for (int i = first; i <= last; ++i) out.Put(CodeByte(table[i][j]));
}

// Bytes of one map part with c columns (c-1 RPM breakpoints) and `rows` load rows.
constexpr int64_t MapPartBytes(int64_t cols, int64_t rows) {
  return (cols - 1) + 2 + rows + rows * (cols - 1);
}

}  // namespace codestream
