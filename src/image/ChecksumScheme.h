#pragma once
// The checksum schemes units of this family carry, each as one value: which bytes it covers,
// the value its sum starts from, where it keeps what it stores and how (high or low byte
// first, with or without the complement), or, for a mirrored block, which block the copy at
// its place repeats. Checking, storing and naming one scheme; the search over an image is in
// ChecksumSearch.h.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "image/ModelConfig.h"

// Bytes first to last, both inclusive.
struct TByteRange {
  int64_t first = 0;
  int64_t last = -1;
  int64_t Bytes() const { return last - first + 1; }
  bool Contains(int64_t at) const { return at >= first && at <= last; }
  bool operator==(const TByteRange&) const = default;
};

enum class TSchemeType : uint8_t {
  Area,       // a sum over an area (its two bytes after it, or where the profile says)
  CodeArea,   // a 16-bit sum of the whole code area stored right after it
  TwoRanges,  // a sum over two ranges from a start value, kept inside the first range
  Mirror,     // a block whose copy must stay equal to it
};

struct TChecksumScheme {
  TSchemeType type = TSchemeType::Area;
  // How the sum is stored (Sum16BE ... Sum8); None for a mirror.
  TChecksumKind kind = TChecksumKind::None;
  // The summed bytes (one or two ranges), or the mirror's source block.
  std::vector<TByteRange> ranges;
  uint16_t start = 0;  // the value the sum starts from
  int64_t place = 0;   // first byte of the stored value, or of the mirror's copy
  bool named = false;  // named by the configuration, not found by the search
  // Found only by the calibration area search, at no fixed place, not the configuration's
  // own area: among some 500 candidates a 16-bit sum holds by chance on about one random
  // image in 300, so correcting it is asked for or refused instead of done silently.
  bool searched = false;
  bool operator==(const TChecksumScheme&) const = default;
};

// Bytes the scheme keeps at its place (the copy's length for a mirror).
int64_t SchemeBytes(const TChecksumScheme& scheme);

// True when every byte the scheme reads or keeps lies inside an image of `imageSize` bytes.
bool SchemeFits(const TChecksumScheme& scheme, int64_t imageSize);

// The sum the scheme stores for `image` as it stands: its start value plus every byte of its
// ranges, the bytes of its own place left out, in 16 bits (8 for Sum8).
uint16_t SchemeSum(const std::vector<uint8_t>& image, const TChecksumScheme& scheme);

// True when the image holds what the scheme computes at its place (false when it does not fit).
bool SchemeHolds(const std::vector<uint8_t>& image, const TChecksumScheme& scheme);

// Makes the scheme hold: stores the sum (or copies the source block) at its place. Throws
// ERuntimeError when it does not fit the image (which is then unchanged).
void StoreScheme(std::vector<uint8_t>& image, const TChecksumScheme& scheme);

// Makes every scheme of `held` hold again after the image was changed: mirrors first (a copy
// follows its source), then the sums from the smallest area to the largest, so that a sum
// over the whole code area takes in the values stored inside it. Throws ERuntimeError when a
// scheme does not hold afterwards (two that store inside each other's areas).
void CorrectSchemes(std::vector<uint8_t>& image, const std::vector<TChecksumScheme>& held);

// The scheme the configuration names (fCRCKind with the area fields, CRCStart, CRCRange2), or
// nothing when it names none; for an image of `imageSize` bytes (the code area's length).
std::optional<TChecksumScheme> NamedScheme(const TModelConfig& config, int64_t imageSize);

// Short form for the status strip: "16 бит, 0000-7EFF -> 7F00", "копия 6000-60FF -> 7000";
// a searched-only scheme begins with "поиск: ".
QString SchemeShortText(const TChecksumScheme& scheme);
// The scheme in words: "16-битная сумма области кода 0000-7EFF, старший байт первым, в 7F00";
// a searched-only scheme ends in " (найдена только поиском области)".
QString SchemeWords(const TChecksumScheme& scheme);
// Where a scheme keeps its value: "7A00-7A01" (one address for a single byte).
QString SchemePlaceText(const TChecksumScheme& scheme);
