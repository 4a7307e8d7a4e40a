// The values a table's codes hold in engineering units, their code ranges and the scales
// between them (declared in CodeRange.h and CodeScales.h).
#include "image/CodeRange.h"

#include <algorithm>
#include <cmath>

#include "common/Errors.h"
#include "common/Numbers.h"
#include "image/CodeScales.h"
#include "image/CodeStream.h"

using codestream::NearestCode;
using namespace codescales;

namespace codescales {

double SparkToUnits(double b) {
  return RoundToDigit(static_cast<double>(kSparkScale * b - kSparkOffset), -1);
}
double SparkToCodes(double deg) {
  return static_cast<double>(NearestCode((deg + kSparkOffset) / kSparkScale));
}
double SparkOldToUnits(double b) {
  return RoundToDigit(static_cast<double>(kSparkScaleOld * b - kSparkOffsetOld), -1);
}
double SparkOldToCodes(double deg) {
  return static_cast<double>(NearestCode((deg + kSparkOffsetOld) / kSparkScaleOld));
}
double FuelToUnits(double b) {
  return RoundToDigit(
      static_cast<double>((b - static_cast<long double>(kFuelCentre)) * kFuelStep + 1.0L), -2);
}
double FuelToCodes(double f) {
  return static_cast<double>(NearestCode((f - 1.0L) / kFuelStep) + kFuelCentre);
}

}  // namespace codescales

int64_t RevLimitFromCode(int version, int64_t code) {
  if (version == 1) {
    if (code == 0) throw EZeroDivide();
    return 10 * Nearest(kPeriodClock / (80.0L * code));
  }
  return kRevStep * code;
}

int64_t RevLimitCode(int version, int64_t rpm) {
  if (version == 1) {
    if (rpm == 0) throw EZeroDivide();
    return Nearest(kPeriodClock / (8.0L * rpm));
  }
  return Nearest(rpm / static_cast<long double>(kRevStep));
}

double ValueOfCode(TCodedTable table, int version, int64_t code) {
  const auto c = static_cast<double>(code);
  switch (table) {
    case TCodedTable::SparkXX:
    case TCodedTable::SparkMax:
    case TCodedTable::SparkMain:
      return version == 1 ? SparkOldToUnits(c) : SparkToUnits(c);
    case TCodedTable::FuelXX:
    case TCodedTable::FuelMax:
    case TCodedTable::FuelMain:
      return FuelToUnits(c);
    case TCodedTable::WarmUpSpeed:
      return static_cast<double>(kIdleSpeedStep * code);
    case TCodedTable::MAF:
      return c;
  }
  return c;
}

int64_t CodeOfValue(TCodedTable table, int version, double value) {
  switch (table) {
    case TCodedTable::SparkXX:
    case TCodedTable::SparkMax:
    case TCodedTable::SparkMain:
      return static_cast<int64_t>(version == 1 ? SparkOldToCodes(value) : SparkToCodes(value));
    case TCodedTable::FuelXX:
    case TCodedTable::FuelMax:
    case TCodedTable::FuelMain:
      return static_cast<int64_t>(FuelToCodes(value));
    case TCodedTable::WarmUpSpeed:
      return NearestCode(value / static_cast<long double>(kIdleSpeedStep));
    case TCodedTable::MAF:
      return NearestCode(value);
  }
  return NearestCode(value);
}

double AxisValueOfUnits(TAxisKind axis, int64_t units) {
  switch (axis) {
    case TAxisKind::Rpm:
      return static_cast<double>(kRpmStep * units);
    case TAxisKind::Load:
      return static_cast<double>(units / kLoadUnitsPerMs);
    case TAxisKind::Temperature:
      return static_cast<double>(NearestCode(kTempScale * units - kTempOffset));
  }
  return 0;
}

int64_t AxisUnitsOfValue(TAxisKind axis, double value) {
  switch (axis) {
    case TAxisKind::Rpm:
      return NearestCode(value / kRpmStep);
    case TAxisKind::Load:
      return NearestCode(value * kLoadUnitsPerMs);
    case TAxisKind::Temperature:
      return NearestCode((value + kTempOffset) / kTempScale);
  }
  return 0;
}

namespace {
// A physical end value taken inward to `decimals` decimals, so that it still encodes to
// the end code it belongs to. The small allowance keeps an end that is already at that
// precision (-25, 0.04) from moving a step inward through representation error. The steps
// are multiplied out as the decoder does (positive values through RoundToDigit), so that
// an end a decoded value can reach is the very same float.
double InwardEnd(long double steps, int decimals) {
  const long double step = PowerOfTen(-decimals);
  const double value = static_cast<double>(steps * step);
  return value > 0 ? RoundToDigit(value, -decimals) : value;
}
double InwardLow(long double value, int decimals) {
  return InwardEnd(std::ceil(value / PowerOfTen(-decimals) - 1e-6L), decimals);
}
double InwardHigh(long double value, int decimals) {
  return InwardEnd(std::floor(value / PowerOfTen(-decimals) + 1e-6L), decimals);
}
constexpr int kLowestCode = 0, kHighestCode = 255;
}  // namespace

TValueRange StorableRange(TCodedTable table, int version) {
  switch (table) {
    case TCodedTable::SparkXX:
    case TCodedTable::SparkMax:
    case TCodedTable::SparkMain: {
      const bool old = version == 1;
      const long double scale = old ? kSparkScaleOld : kSparkScale;
      const long double offset = old ? kSparkOffsetOld : kSparkOffset;
      return {InwardLow(scale * kLowestCode - offset, 1),
              InwardHigh(scale * kHighestCode - offset, 1)};
    }
    case TCodedTable::FuelXX:
    case TCodedTable::FuelMax:
    case TCodedTable::FuelMain:
      return {InwardLow((kLowestCode - kFuelCentre) * kFuelStep + 1.0L, 2),
              InwardHigh((kHighestCode - kFuelCentre) * kFuelStep + 1.0L, 2)};
    case TCodedTable::WarmUpSpeed:
      return {0, static_cast<double>(kIdleSpeedStep * kHighestCode)};
    case TCodedTable::MAF:
      return {0, 65535};
  }
  return {};
}

double StoredFuelFactor(double factor) {
  return FuelToUnits(FuelToCodes(factor));
}

double UnitFuelFactor(double factor) {
  const double code = std::clamp(FuelToCodes(factor), 0.0, 255.0);
  return static_cast<double>((code - static_cast<long double>(kFuelCentre)) * kFuelStep + 1.0L);
}

double HoldInRange(double value, const TValueRange& range) {
  if (std::isnan(value)) return range.low;
  if (value > range.high) return range.high;
  if (value < range.low) return range.low;
  return value;
}

TValueRange Intersect(const TValueRange& a, const TValueRange& b) {
  return {std::max(a.low, b.low), std::min(a.high, b.high)};
}
