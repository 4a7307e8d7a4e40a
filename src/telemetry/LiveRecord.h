#pragma once
// One set of live engine values: twelve 64-bit floats in a fixed order. The slot number is
// also the column of the telemetry log and the index the playback window selects by.

#include <array>

// Slots 0 (kTime) to 11 (kSPEED), in this order.
enum LiveSlot { kTime, kRPM, kLOAD, kO2, kPW, kIGNITION, kMAF, kTPS, kCLT, kMAT, kVboard, kSPEED };

constexpr int kLiveSlots = 12;

static_assert(kSPEED + 1 == kLiveSlots, "a slot for every value");

using LiveRecord = std::array<double, kLiveSlots>;

// The log file's column names, in slot order.
inline constexpr std::array<const char*, kLiveSlots> kLiveColumnNames = {
    "Time", "RPM", "LOAD", "O2", "PW", "IGNITION", "MAF", "TPS", "CLT", "MAT", "Vboard", "SPEED"};

static_assert(sizeof(LiveRecord) == 96, "a log record is twelve 64-bit floats");
