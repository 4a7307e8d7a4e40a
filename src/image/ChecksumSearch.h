#pragma once
// Which checksum schemes an image carries. A configuration that names a scheme has only that
// one checked. Otherwise every candidate is tried on the image as loaded:
// - the configuration's own area and place, in each stored kind (the first that holds counts);
// - a 16-bit sum of the whole code area (all but the last 256 bytes) stored right after it,
//   either byte order, alone or followed by its complement;
// - a 16-bit sum of a calibration area stored right after it, either byte order, with or
//   without the complement, its ends searched: it starts at a 256-byte page boundary up to
//   2 KB below the first calibration table, or at that table itself, and its sum lies right
//   after the last table or on a 128-byte boundary up to 4 KB after it, short of the code
//   area's end
//   (the version text, the rev limiter and the CO trim byte may lie outside the area);
// - a mirrored block: 64 bytes or more, of 16 different byte values or more, found twice,
//   whose copy lies outside every table (the source is the block holding tables, or the
//   lower one).
// A summed area of one repeated byte (an erased or zeroed image) never counts: its sum is no
// evidence of a checksum. Nor does a place inside a table. A sum over two ranges from a start
// value is checked when a profile names it; its ranges cannot be told from the image.

#include <QString>
#include <vector>

#include "image/ChecksumScheme.h"
#include "image/ModelConfig.h"

struct TSchemeSearch {
  bool named = false;                  // the configuration names a scheme (only it is tried)
  std::vector<TChecksumScheme> held;   // every scheme that holds, named first
  std::vector<TChecksumScheme> tried;  // every candidate tried, held or not
  // True when the named scheme fails: its value no longer fits the image.
  bool NamedFails() const { return named && held.empty(); }
};

// The schemes of `image` under `config` (its tables bound where a searched place may lie).
TSchemeSearch FindSchemes(const std::vector<uint8_t>& image, const TModelConfig& config);

// lChecksum's text: "КС: верна (16 бит, 0000-7EFF -> 7F00)" for the first scheme that holds
// (with "; +N" when N more hold), "КС: неверна" when the named scheme fails, "КС: не найдена"
// when none holds.
QString SchemeStatusText(const TSchemeSearch& search);
