#pragma once
// Keeping an image's 16-bit sum for units that carry no checksum scheme: where the edited
// image's sum of all bytes differs from the loaded one's, two bytes in a run of filler (0xFF
// or 0x00, 16 bytes or longer, outside every table and unchanged by the edit) take the
// difference back, so that a dealer's or programmer's sum check still shows the original sum.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "image/ModelConfig.h"

// The 16-bit sum of every byte of `image`.
uint16_t ImageSum16(const std::vector<uint8_t>& image);

// The two filler bytes to change, with their values before and after.
struct TFillerBytes {
  int64_t address = 0;  // the first of the two; the second follows it
  std::array<uint8_t, 2> before{};
  std::array<uint8_t, 2> after{};
};

// The two bytes of `edited` that give it the 16-bit sum of `loaded`: the lowest run of filler
// that can take the difference back (a 0x00 run takes back a sum that fell by up to 510, a
// 0xFF run one that rose by up to 510), the two bytes in its middle. Nothing, with the reason
// in `why`, when no run fits.
std::optional<TFillerBytes> FindFillerBytes(const std::vector<uint8_t>& loaded,
                                            const std::vector<uint8_t>& edited,
                                            const TModelConfig& config, QString& why);

// Writes the two bytes' new values.
void ApplyFillerBytes(std::vector<uint8_t>& image, const TFillerBytes& bytes);
