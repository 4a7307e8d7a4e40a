#include "telemetry/LogNumber.h"

#include <fast_float/fast_float.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Log fields are separated by tabs, so a full stop and a comma can both be the decimal
// mark without ambiguity: a log reads the same whichever separator it was written with.
// `own` is the user's separator when it is a third single byte.
bool IsPoint(char c, char own) {
  return c == '.' || c == ',' || c == own;
}

// Exact powers of ten as doubles (all up to 10^22 are).
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The common case of a log field: plain digits with at most one decimal mark, no exponent,
// at most fifteen digits. Both the mantissa and the power of ten are then exact doubles,
// so one division gives the correctly rounded value, as the full reader would. Returns
// false for anything else, which then takes the full path.
bool ParsePlainDecimal(const char* p, const char* last, char own, double& value) {
  uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  for (; p != last && IsDigit(*p) && digits < 16; ++p, ++digits)
    mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
  if (p != last && IsPoint(*p, own)) {
    for (++p; p != last && IsDigit(*p) && digits + decimals < 16; ++p, ++decimals)
      mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
  }
  if (p != last || digits + decimals == 0 || digits + decimals > 15) return false;
  value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  return true;
}

// Parses trimmed text whose decimal mark is a full stop, a comma or the single byte `own`.
std::optional<double> ParseTrimmed(const char* first, const char* last, char own) {
  const char* p = first;
  if (p != last && *p == '+') ++p;
  const char* body = p;
  if (p != last && *p == '-') ++p;
  // One sign at most, and a digit or the decimal mark after it: this also refuses "inf"
  // and "nan", which fast_float would take.
  if (p == last || !(IsDigit(*p) || IsPoint(*p, own))) return std::nullopt;
  if (body != first && *body == '-') return std::nullopt;
  double value = 0;
  if (ParsePlainDecimal(p, last, own, value)) return p != body ? -value : value;
  // The mark that follows the integer digits is the one the number uses; a second,
  // different mark later on stops the reader short and so refuses the text.
  const char* mark = p;
  while (mark != last && IsDigit(*mark)) ++mark;
  const char point = mark != last && IsPoint(*mark, own) ? *mark : '.';
  const auto result = fast_float::from_chars_advanced(
      body, last, value, fast_float::parse_options(fast_float::chars_format::general, point));
  if (result.ec != std::errc() || result.ptr != last) return std::nullopt;
  // The standard reader refuses a result out of range: an overflow to infinity, or a
  // non-zero number that underflows to zero.
  if (std::isinf(value)) return std::nullopt;
  if (value == 0) {
    for (const char* q = p; q != last && *q != 'e' && *q != 'E'; ++q)
      if (*q >= '1' && *q <= '9') return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<double> ParseLogNumber(std::string_view text, std::string_view separator) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  const char* first = text.data() + begin;
  const char* last = text.data() + end;
  if (separator.size() == 1) return ParseTrimmed(first, last, separator.front());
  // A separator of several bytes: the text with the separator as '.'; a full stop or a
  // comma of its own is still a decimal mark.
  std::string copy;
  copy.reserve(end - begin);
  for (const char* p = first; p != last;) {
    if (!separator.empty() && static_cast<size_t>(last - p) >= separator.size() &&
        std::string_view(p, separator.size()) == separator) {
      copy.push_back('.');
      p += separator.size();
    } else {
      copy.push_back(*p);
      ++p;
    }
  }
  return ParseTrimmed(copy.data(), copy.data() + copy.size(), '.');
}
