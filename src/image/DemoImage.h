#pragma once
// The demo image: a synthetic 32 KB firmware image made by this project, whose tables
// decode under the built-in configuration to plausible values. Nothing in it comes from
// a real unit.

#include <cstdint>
#include <vector>

#include "image/BuiltInConfig.h"

// The version text the demo image carries.
inline constexpr char kDemoVersionText[] = "0123456789";

// The checksum the demo image carries over the built-in data area.
inline constexpr TChecksumKind kDemoChecksumKind = TSData().fCRCKind;

// The 32768 bytes of the demo image; the same bytes on every call.
std::vector<uint8_t> MakeDemoImage();
