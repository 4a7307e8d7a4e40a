#pragma once
// The pseudo-random filler of synthetic images: a fixed xorshift sequence, so that an image
// made for the demo or the simulator looks like code and tables rather than one repeated
// byte, and is the same on every run for the same seed.

#include <cstddef>
#include <cstdint>
#include <vector>

// `size` bytes, each the top byte of the next xorshift-32 state from `seed`.
std::vector<uint8_t> PseudoRandomBytes(std::size_t size, uint32_t seed);
