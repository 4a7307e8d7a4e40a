#pragma once
// Where a configuration places each part of the calibration in the firmware image, as the
// decoder reads it, and the decode of one table on its own: what the profile checks and the
// profile editor's live view work on while the rest of the layout may still be wrong.

#include <QString>
#include <cstdint>
#include <vector>

#include "image/CodeRange.h"
#include "image/EfiOperator.h"
#include "image/ImageTable.h"
#include "image/ModelConfig.h"

// Where one axis of a table lies: `count` codes from `offset` bytes after the part's start.
// The codes are the gaps between the breakpoints, the last one counting down from 256.
struct TAxisPlace {
  TAxisKind kind = TAxisKind::Rpm;
  int64_t offset = 0;
  int count = 0;
};

// The bytes one part takes in the image, the two bytes before a table included.
struct TImageRegion {
  TImageTable table = TImageTable::Version;
  bool highPart = false;  // the high part of a split part-load map (variant 1)
  QString name;           // the field's name: "fFuelMainMatrix", "fVersionText", "fMaxRPM", ...
  int64_t address = 0;    // first byte
  int64_t bytes = 0;      // bytes from `address`
  // The axes the decoder takes from this part (the high part's RPM codes are passed over).
  std::vector<TAxisPlace> axes;
  int64_t End() const { return address + bytes; }  // one past the last byte
  // True when every byte lies inside an image of `imageSize` bytes.
  bool Inside(int64_t imageSize) const { return address >= 0 && End() <= imageSize; }
};

// Every part this configuration's variant reads from the image, in the decoder's order.
std::vector<TImageRegion> ImageRegions(const TModelConfig& config);

// Decodes the parts of `table` alone from op.fImage into engineering units, as DecodeImage
// does for it; the other tables keep what they hold. Empty when done; else the reason in the
// interface language (a shape the codec cannot work on, a byte outside the image, a rev
// limiter code of 0 in variant 1), and then the table may hold codes. The tables are resized
// to the configuration first.
QString DecodeTableAlone(TEFIOperator& op, TImageTable table);
