#pragma once
// One set of live engine values: twelve 64-bit floats in a fixed order. The slot number is
// also the column of the telemetry log and the index the playback window selects by.

#include <array>

enum LiveSlot {
  kTime = 0,
  kRPM = 1,
  kLOAD = 2,
  kO2 = 3,
  kPW = 4,
  kIGNITION = 5,
  kMAF = 6,
  kTPS = 7,
  kCLT = 8,
  kMAT = 9,
  kVboard = 10,
  kSPEED = 11,
};

constexpr int kLiveSlots = 12;

using LiveRecord = std::array<double, kLiveSlots>;

// The log file's column names, in slot order.
inline constexpr std::array<const char*, kLiveSlots> kLiveColumnNames = {
    "Time", "RPM", "LOAD", "O2", "PW", "IGNITION", "MAF", "TPS", "CLT", "MAT", "Vboard", "SPEED"};

static_assert(sizeof(LiveRecord) == 96, "a log record is twelve 64-bit floats");
