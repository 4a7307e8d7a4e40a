#include "ui/editors/EditorRules.h"

#include <algorithm>

#include "calibration/Calibration.h"
#include "common/DecimalText.h"
#include "common/Numbers.h"
#include "image/CodeRange.h"

int FitCellSize(int extent, int count) {
  if (count <= 0) return 1;
  return static_cast<int>(Nearest(static_cast<long double>(extent) / count)) - 2;
}

namespace {
int ClampIndex(long double index) {
  return static_cast<int>(std::clamp<int64_t>(Nearest(index), 0, 12));
}
}  // namespace

int FuelColorIndex(double value, double rangeMin, double rangeMax) {
  // Beyond the map's editor limits: the end of the table on that side.
  const TValueRange limits = PartLoadLimits(TCodedTable::FuelMain);
  if (value < limits.low) return 0;
  if (value > limits.high) return 12;
  if (rangeMax > 0 && rangeMin > 0 && rangeMax != rangeMin)
    return ClampIndex((static_cast<long double>(value) - rangeMin) /
                      ((static_cast<long double>(rangeMax) - rangeMin) / 12.5L));
  return -1;
}

int SparkColorIndex(double value, double rangeMin, double rangeMax) {
  const TValueRange limits = PartLoadLimits(TCodedTable::SparkMain);
  if (value < limits.low) return 12;
  if (value > limits.high) return 0;
  if (rangeMax != rangeMin) {
    const int64_t step = Nearest((static_cast<long double>(value) - rangeMin) /
                                 ((static_cast<long double>(rangeMax) - rangeMin) / 12.5L));
    return static_cast<int>(std::clamp<int64_t>(12 - step, 0, 12));
  }
  return -1;
}

int SnapMaxRPM(int version, int rpm) {
  if (version != 1) return static_cast<int>(RevLimitFromCode(version, RevLimitCode(version, rpm)));
  // The unit counts a period inversely proportional to the speed.
  if (rpm == 0) return 0;
  // A code beyond a byte is stored as 255, so the field shows what that code stands for.
  const int64_t code = std::min<int64_t>(RevLimitCode(version, rpm), 255);
  if (code == 0) return rpm;
  return static_cast<int>(RevLimitFromCode(version, code));
}

std::optional<double> TypedCellValue(const QString& text, bool integer) {
  if (integer) {
    if (const auto whole = TryStrToInt(text)) return *whole;
    return std::nullopt;
  }
  return TryTypedFloat(text, DecimalSeparator());
}
