#include "common/Numbers.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

// rintl rounds exactly as nearbyintl does (the current mode, ties to even) but leaves the
// x87 environment alone instead of saving and restoring it, which costs about 100 ns a
// call; the inexact flag it may raise is read nowhere.
int64_t Nearest(long double x) {
  return static_cast<int64_t>(rintl(x));
}

std::optional<int64_t> TryNearest(long double x) {
  if (!std::isfinite(x)) return std::nullopt;
  const long double rounded = rintl(x);
  // -2^63 is the least 64-bit integer, 2^63 the first beyond the greatest.
  constexpr long double kLimit = 9223372036854775808.0L;
  if (rounded < -kLimit || rounded >= kLimit) return std::nullopt;
  return static_cast<int64_t>(rounded);
}

namespace {
constexpr int kTableLow = -30;
constexpr int kTableHigh = 30;

double ParsePowerOfTen(int digit) {
  // strtod rounds correctly, so "1e-1" gives the double nearest to 0.1.
  const std::string text = "1e" + std::to_string(digit);
  return std::strtod(text.c_str(), nullptr);
}

const std::array<double, kTableHigh - kTableLow + 1>& PowerTable() {
  static const auto table = [] {
    std::array<double, kTableHigh - kTableLow + 1> t{};
    for (int d = kTableLow; d <= kTableHigh; ++d) t[d - kTableLow] = ParsePowerOfTen(d);
    return t;
  }();
  return table;
}
}  // namespace

double PowerOfTen(int digit) {
  if (digit < kTableLow || digit > kTableHigh) return ParsePowerOfTen(digit);
  return PowerTable()[digit - kTableLow];
}

double RoundToDigit(double x, int digit) {
  const long double power = PowerOfTen(digit);
  const long double shifted = static_cast<long double>(x) / power + 0.5L;
  return static_cast<double>(truncl(shifted) * power);
}
