#pragma once
// The layout check of a profile on an image: where every part of the calibration lies, which
// parts run past the image, overlap another or decode to axes that cannot be (not
// increasing, or an engine speed or load below zero), the axes of every table, and the image
// checksum. The profile editor marks
// what it finds and `tarvelo-cli profile-check` prints it.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "image/Checksum.h"
#include "image/ImageRegions.h"
#include "image/ModelConfig.h"

struct TProfileProblem {
  enum class Kind { PastImage, Overlap, Axis, Decode, Checksum };
  Kind kind = Kind::PastImage;
  // The part it concerns; none for the checksum.
  std::optional<TImageTable> table{};
  bool highPart = false;
  QString reason{};  // in the interface language
  // Overlap: the other part (none: the checksum's place), its name and the shared bytes
  // [from, to).
  std::optional<TImageTable> otherTable{};
  bool otherHighPart = false;
  QString other{};
  int64_t from = 0, to = 0;
  // Axis: which axis, and the breakpoint that does not rise above the one before it (0 when
  // the axis rises but starts below zero).
  TAxisKind axis = TAxisKind::Rpm;
  int point = 0;
};

// One axis of one part as the image holds it.
struct TProfileAxis {
  TImageTable table = TImageTable::FuelMain;
  bool highPart = false;
  TAxisKind kind = TAxisKind::Rpm;
  std::vector<double> values;
};

struct TProfileChecksum {
  bool configured = false;  // the configuration names a checksum area
  TChecksumStatus status;   // what the image's stored checksum was found to be
  int64_t address = 0;      // the checksum's place and its bytes (1 while no kind is known)
  int bytes = 0;
};

struct TProfileReport {
  int64_t imageSize = 0;
  std::vector<TImageRegion> regions;  // every part in the image, the decoder's order
  std::vector<TProfileAxis> axes;     // the axes of the parts that lie inside the image
  TProfileChecksum checksum;
  std::vector<TProfileProblem> problems;

  bool Ok() const { return problems.empty(); }
  // The problems of one part (its table and half).
  std::vector<const TProfileProblem*> ProblemsOf(TImageTable table, bool highPart) const;
};

// Checks `config` on `image`. An empty image is taken as one of the unit's 32768 bytes that
// is not at hand: the places are checked against that size, the axes and the checksum are
// not read.
TProfileReport CheckProfile(const TModelConfig& config, const std::vector<uint8_t>& image);

// The name of an axis kind as the reasons use it ("оборотов", "нагрузки", "температур").
QString AxisKindName(TAxisKind kind);
// "0x70FC" (negative offsets in decimal).
QString HexAddress(int64_t address);
