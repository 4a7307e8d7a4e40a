#include "common/DecimalText.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "common/Errors.h"

QChar DecimalSeparator() {
  const QString point = QLocale().decimalPoint();
  return point.isEmpty() ? QChar('.') : point.front();
}

namespace {

// Adds one to a string of decimal digits; returns true when it carried out of the front.
bool IncrementDigits(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return false;
    }
    *it = '0';
  }
  digits.insert(digits.begin(), '1');
  return true;
}

// The decimal digits of |value| rounded to `count` significant digits, halves away from
// zero on the exact binary value, and the power of ten of the first digit.
void SignificantDigits(double value, int count, std::string& digits, int& exponent) {
  char buffer[128];
  // 40 digits after the first are exact enough to decide every tie of a 64-bit float.
  auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                              std::chars_format::scientific, 40);
  const std::string text(buffer, result.ptr);
  const auto ePos = text.find('e');
  std::string all;
  for (size_t i = 0; i < ePos; ++i)
    if (text[i] != '.') all.push_back(text[i]);
  exponent = std::stoi(text.substr(ePos + 1));
  digits = all.substr(0, count);
  if (all[count] >= '5' && IncrementDigits(digits)) {
    digits.pop_back();
    ++exponent;
  }
}

std::string GeneralForm(double value, char separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  std::string digits;
  int exponent = 0;
  SignificantDigits(value, 15, digits, exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int count = static_cast<int>(digits.size());
  std::string out = value < 0 ? "-" : "";
  if (exponent >= -5 && exponent < 15) {
    if (exponent >= 0) {
      const int intDigits = exponent + 1;
      if (count <= intDigits) {
        out += digits + std::string(intDigits - count, '0');
      } else {
        out += digits.substr(0, intDigits);
        out += separator;
        out += digits.substr(intDigits);
      }
    } else {
      out += '0';
      out += separator;
      out += std::string(-exponent - 1, '0') + digits;
    }
    return out;
  }
  out += digits[0];
  if (count > 1) {
    out += separator;
    out += digits.substr(1);
  }
  out += 'E';
  out += std::to_string(exponent);
  return out;
}

}  // namespace

std::string FloatToStdString(double value, char separator) {
  return GeneralForm(value, separator);
}

QString FloatToStr(double value, QChar separator) {
  QString text = QString::fromLatin1(GeneralForm(value, '.'));
  if (separator != QChar('.')) text.replace(QChar('.'), separator);
  return text;
}

QString FloatToStr(double value) {
  return FloatToStr(value, DecimalSeparator());
}

std::string FormatFixedStd(double value, int width, int decimals, char separator) {
  std::string body;
  if (!std::isfinite(value)) {
    body = std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
  } else {
    char stack[400];
    std::string heap;
    char* buffer = stack;
    size_t size = sizeof stack;
    if (std::fabs(value) >= 1e300) {
      heap.resize(800);
      buffer = heap.data();
      size = heap.size();
    }
    // Exact to 25 places beyond the wanted ones, so that the rounding below sees the tie.
    auto result = std::to_chars(buffer, buffer + size, std::fabs(value), std::chars_format::fixed,
                                decimals + 25);
    const std::string text(buffer, result.ptr);
    const auto point = text.find('.');
    std::string digits = text.substr(0, point) + text.substr(point + 1, decimals);
    const bool roundUp = text[point + 1 + decimals] >= '5';
    size_t intDigits = point;
    if (roundUp && IncrementDigits(digits)) ++intDigits;
    const bool allZero = digits.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !allZero) body.push_back('-');
    body += digits.substr(0, intDigits);
    if (decimals > 0) {
      body.push_back(separator);
      body += digits.substr(intDigits);
    }
  }
  if (static_cast<int>(body.size()) < width) body.insert(0, width - body.size(), ' ');
  return body;
}

QString FormatFixed(double value, int width, int decimals, QChar separator) {
  QString text = QString::fromLatin1(FormatFixedStd(value, width, decimals, '.'));
  if (separator != QChar('.')) text.replace(QChar('.'), separator);
  return text;
}

std::optional<double> TryParseFloat(std::string_view text, char separator) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  // Syntax: [sign] digits [separator digits] [e [sign] digits], one digit at least.
  char buffer[64];
  std::string heap;
  char* out = buffer;
  if (end - begin >= sizeof buffer) {
    heap.resize(end - begin + 1);
    out = heap.data();
  }
  size_t n = 0, i = begin;
  if (i < end && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') out[n++] = '-';
    ++i;
  }
  int mantissaDigits = 0;
  while (i < end && text[i] >= '0' && text[i] <= '9') out[n++] = text[i++], ++mantissaDigits;
  if (i < end && text[i] == separator) {
    out[n++] = '.';
    ++i;
    while (i < end && text[i] >= '0' && text[i] <= '9') out[n++] = text[i++], ++mantissaDigits;
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < end && (text[i] == 'e' || text[i] == 'E')) {
    out[n++] = 'e';
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) out[n++] = text[i++];
    int exponentDigits = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9') out[n++] = text[i++], ++exponentDigits;
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != end) return std::nullopt;
  double value = 0;
  auto result = std::from_chars(out, out + n, value);
  if (result.ec != std::errc() || result.ptr != out + n) return std::nullopt;
  return value;
}

std::optional<double> TryStrToFloat(QStringView text, QChar separator) {
  // Map to 8-bit text; the separator becomes '.', any other character above 127 (or a
  // '.' that is not the separator) becomes a character the syntax refuses.
  char buffer[64];
  std::string heap;
  char* out = buffer;
  if (text.size() >= static_cast<qsizetype>(sizeof buffer)) {
    heap.resize(text.size() + 1);
    out = heap.data();
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    if (ch == separator)
      out[i] = '.';
    else if (ch.unicode() < 128 && ch != QChar('.'))
      out[i] = static_cast<char>(ch.unicode());
    else
      out[i] = '#';
  }
  return TryParseFloat(std::string_view(out, text.size()), '.');
}

double StrToFloat(const QString& text) {
  if (auto value = TryStrToFloat(text, DecimalSeparator())) return *value;
  throw EConvertError::InvalidFloat(text);
}

namespace {
QChar OtherMark(QChar separator) {
  return separator == QChar(',') ? QChar('.') : QChar(',');
}
}  // namespace

std::optional<double> TryTypedFloat(QStringView text, QChar separator) {
  // Each reading allows one mark only, so a text holding both is refused by both.
  if (auto value = TryStrToFloat(text, separator)) return value;
  return TryStrToFloat(text, OtherMark(separator));
}

QString TypedFloatText(const QString& text, QChar separator) {
  if (TryStrToFloat(text, separator) || !TryStrToFloat(text, OtherMark(separator))) return text;
  QString out = text;
  out.replace(OtherMark(separator), separator);
  return out;
}

namespace {
// The digits after the decimal mark of a number's text; none for scientific notation.
std::optional<int> DecimalsOf(QStringView text) {
  if (text.contains(QChar('e'), Qt::CaseInsensitive)) return std::nullopt;
  qsizetype mark = text.indexOf(QChar('.'));
  if (mark < 0) mark = text.indexOf(QChar(','));
  if (mark < 0) return 0;
  int digits = 0;
  for (qsizetype i = mark + 1; i < text.size() && text[i].isDigit(); ++i) ++digits;
  return digits;
}
}  // namespace

double RoundToDecimals(double value, int decimals) {
  if (!std::isfinite(value) || decimals < 0 || decimals > 20) return value;
  const std::string text = FormatFixedStd(value, 0, decimals, '.');
  double rounded = 0;
  std::from_chars(text.data(), text.data() + text.size(), rounded);
  return rounded;
}

std::optional<double> TextDifference(QStringView current, QStringView reference) {
  const auto a = TryTypedFloat(current, QChar('.')), b = TryTypedFloat(reference, QChar('.'));
  if (!a || !b) return std::nullopt;
  const auto da = DecimalsOf(current), db = DecimalsOf(reference);
  if (!da || !db) return *a - *b;
  return RoundToDecimals(*a - *b, std::max(*da, *db));
}

std::optional<int32_t> TryStrToInt(QStringView text) {
  qsizetype begin = 0, end = text.size();
  while (begin < end && text[begin] == QChar(' ')) ++begin;
  while (end > begin && text[end - 1] == QChar(' ')) --end;
  qsizetype i = begin;
  bool negative = false;
  if (i < end && (text[i] == QChar('+') || text[i] == QChar('-'))) negative = text[i++] == '-';
  if (i == end) return std::nullopt;
  if (text[i] == QChar('$')) {
    ++i;
    if (i == end || end - i > 8) return std::nullopt;
    uint32_t value = 0;
    for (; i < end; ++i) {
      const char16_t c = text[i].unicode();
      const bool isHex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
      if (!isHex) return std::nullopt;
      value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    const auto bits = static_cast<int32_t>(value);
    return negative ? static_cast<int32_t>(0u - value) : bits;
  }
  int64_t value = 0;
  for (; i < end; ++i) {
    const char16_t c = text[i].unicode();
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
    return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t StrToInt(const QString& text) {
  if (auto value = TryStrToInt(text)) return *value;
  throw EConvertError::InvalidInteger(text);
}
