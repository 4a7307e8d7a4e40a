#pragma once
// The demo image: a synthetic 32 KB firmware image made by this project, whose tables
// decode under the built-in configuration to plausible values. Nothing in it comes from
// a real unit.

#include <cstdint>
#include <vector>

// The version text the demo image carries.
inline constexpr char kDemoVersionText[] = "0123456789";

// The 32768 bytes of the demo image; the same bytes on every call.
std::vector<uint8_t> MakeDemoImage();
