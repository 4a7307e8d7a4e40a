#pragma once
// A random firmware image for the configuration `op` that can be saved and decoded: its
// version must be digits to be saved, and the older units' rev limiter code cannot be 0.
#include <cstdint>
#include <random>
#include <vector>

#include "image/EfiOperator.h"

inline std::vector<uint8_t> RandomImage(std::mt19937& rng, const TEFIOperator& op) {
  std::uniform_int_distribution<int> byte(0, 255), digit('0', '9');
  std::vector<uint8_t> image(kImageSize);
  for (auto& b : image) b = static_cast<uint8_t>(byte(rng));
  for (int i = 0; i < 10; ++i)
    image[static_cast<size_t>(op.fVersionAddress + i)] = static_cast<uint8_t>(digit(rng));
  if (image[static_cast<size_t>(op.fMaxRPMAddress1)] == 0)
    image[static_cast<size_t>(op.fMaxRPMAddress1)] = 1;
  return image;
}
