#pragma once
// The keys of a profile's section "config": one per configuration field that a profile sets,
// with the default a missing key takes, the table it places, whether it is an offset into
// the image, and its meaning. The profile reader (ReadProfile, TEFIOperator::LoadProfile),
// the profile writer (ProfileFile.h) and the profile editor all walk this one list.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

#include "image/ModelConfig.h"

// The part of the calibration a key belongs to.
enum class TProfileGroup : uint8_t {
  Layout,     // layout variant, image size, version text
  FuelMain,   // part-load fuel map
  SparkMain,  // part-load ignition map
  FuelXX,     // idle fuel table
  SparkXX,    // idle ignition table
  FuelMax,    // full-load fuel table
  SparkMax,   // full-load ignition table
  MAF,        // air-mass-meter curve
  WarmUp,     // warm-up idle speed table
  RevLimit,   // rev limiter
  COReg,      // CO trim byte
  Checksum,   // checksummed data area and the checksum's place
};

struct TProfileKey {
  const char* name;  // the key, exactly as a profile writes it
  TProfileGroup group;
  bool offset;             // an offset into the image (written in hexadecimal)
  int32_t profileDefault;  // what a missing key or a value that is not an integer gives
  const char* meaning;     // untranslated; ProfileKeyMeaning gives the shown text
  // The key's value as a profile holds it (the idle fuel table's keys are its breakpoint
  // counts, one less than its rows and columns).
  int32_t (*get)(const TModelConfig& config);
  // Stores a value read from a profile; 8- and 16-bit fields keep its low bits. The derived
  // sizes are not recomputed (TModelConfig::ComputeDerivedSizes).
  void (*set)(TModelConfig& config, int32_t value);
};

// Every key, grouped by table, in the order the editor shows them and the writer writes them.
const std::vector<TProfileKey>& ProfileKeys();
// The key of that name (any letter case), or null.
const TProfileKey* FindProfileKey(QStringView name);
// The key's meaning in the interface language.
QString ProfileKeyMeaning(const TProfileKey& key);
// The text a profile holds for the key's value: offsets as "0x70FC" (negative ones in
// decimal), everything else in decimal. Read back it gives the same field.
QString ProfileValueText(const TProfileKey& key, int32_t value);

// The configuration the profile at `path` gives: each key read from section "config" (a
// missing key, or one that is not an integer, takes its default), "CRCKind", "CRCStart" (the
// value a named sum starts from), "CRCRange2" (a second summed range, "0x0000-0x1FFF") and
// the derived sizes. A file that cannot be read gives every default. Throws ERuntimeError for
// a CRCKind the program does not know, naming the known ones.
TModelConfig ReadProfile(const QString& path);
