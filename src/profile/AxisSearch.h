#pragma once
// The axis search of the profile editor: where in an image a run of bytes could be an RPM,
// load or temperature axis of a given length, and where a table of the configuration could
// start so that all its axes are plausible. An axis code is the gap to the next breakpoint,
// the last code counting down from 256, so a real axis is a run of small codes ending in a
// large one.

#include <cstdint>
#include <vector>

#include "image/CodeRange.h"
#include "image/ImageRegions.h"
#include "image/ModelConfig.h"

// The breakpoints `count` codes from `codes` decode to, as the codec decodes an axis.
std::vector<double> AxisOfCodes(TAxisKind kind, const uint8_t* codes, int count);

// True when every breakpoint is above the one before it.
bool Increasing(const std::vector<double>& values);

// True when the breakpoints could be a real axis of that kind: at least two, strictly
// increasing, starting and ending where such an axis does (RPM starting at 300 to 3000 rpm
// and ending at 1000 to 9000; load starting at 0.25 to 5 ms and ending at 1 ms or more;
// temperatures starting at -45 to 20 degrees C and ending at 40 to 130).
bool PlausibleAxis(TAxisKind kind, const std::vector<double>& values);

struct TAxisCandidate {
  int64_t address = 0;  // the axis's first code
  std::vector<double> values;
};

// Every place where `count` codes decode to a plausible axis of `kind`, in address order, at
// most `limit` of them.
std::vector<TAxisCandidate> FindAxes(const std::vector<uint8_t>& image, TAxisKind kind, int count,
                                     size_t limit);

struct TTableCandidate {
  int64_t start = 0;                      // where the part would start (its lead bytes)
  std::vector<std::vector<double>> axes;  // its axes there, as TImageRegion::axes lists them
};

// Every start at which the part of `config` (its table, and the high part or not) fits in
// the image with all its axes plausible, in address order, at most `limit`. None for a part
// without axes or one the configuration does not place in the image.
std::vector<TTableCandidate> FindTableStarts(const std::vector<uint8_t>& image,
                                             const TModelConfig& config, TImageTable table,
                                             bool highPart, size_t limit);

// The part `config` places for that table (high part or not), or none.
const TImageRegion* FindRegion(const std::vector<TImageRegion>& regions, TImageTable table,
                               bool highPart);
