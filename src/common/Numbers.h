#pragma once
// The integer conversions of the codec: nearest with ties to the even neighbour, and
// RoundToDigit, which truncates toward zero after adding one half (so it is not
// symmetric for negative values: -2.44 to one decimal gives -2.3).

#include <cstdint>
#include <optional>

// The integer nearest to x, a tie going to the even integer (the current rounding mode).
// x must be finite and round into the 64-bit range; TryNearest checks that.
int64_t Nearest(long double x);

// Nearest(x), or nothing when x is not finite or its nearest integer lies outside the
// 64-bit range. Numbers read from files go through this before they become integers.
std::optional<int64_t> TryNearest(long double x);

// Trunc(x / 10^digit + 0.5) * 10^digit. 10^digit is the 64-bit float nearest to it; the
// quotient and the sum are formed in 80-bit precision before truncating, and the product
// is returned as a 64-bit float.
double RoundToDigit(double x, int digit);

// The 64-bit float nearest to 10^digit.
double PowerOfTen(int digit);
