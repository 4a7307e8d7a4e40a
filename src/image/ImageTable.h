#pragma once
// The parts of the calibration that a configuration places in the firmware image.

#include <cstdint>

// What a part of the image holds: a table or a single value.
enum class TImageTable : uint8_t {
  Version,   // the ten version characters
  RevLimit,  // the rev limiter code
  FuelXX,
  SparkXX,
  SparkMax,
  SparkMain,
  FuelMax,
  FuelMain,
  MAF,
  WarmUp,
  COReg,  // the CO trim code
};
