// The target AFR table file of the log analysis: any text against the demo fuel map's
// headers, with either decimal mark. An accepted table has one target per cell, each within
// the limits and a whole number of tenths; a text in the form the window saves is accepted.

#include <QString>
#include <cmath>

#include "analysis/TargetTable.h"

namespace {

constexpr double kLow = 9.0, kHigh = 20.0;

const TMapAxes& Axes() {
  static const TMapAxes axes = [] {
    TMapAxes a;
    for (double rpm : {600.0, 1000.0, 1520.0, 2000.0, 3000.0, 4480.0}) a.rpm.emplace_back(rpm);
    for (double load : {9.5, 6.0, 3.25, 1.0}) a.load.emplace_back(load);
    a.load.emplace_back(std::nullopt);  // a header that holds no number
    return a;
  }();
  return axes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const QChar decimal = data[0] & 1 ? QLatin1Char(',') : QLatin1Char('.');
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  const TMapAxes& axes = Axes();
  const auto targets = ParseTargetTable(text, axes, kLow, kHigh, decimal);
  if (!targets) return 0;
  if (targets->size() != static_cast<size_t>(axes.Cols() * axes.Rows())) __builtin_trap();
  for (double t : *targets) {
    if (!(t >= kLow && t <= kHigh)) __builtin_trap();
    if (std::abs(t * 10 - std::round(t * 10)) > 1e-6) __builtin_trap();
  }
  return 0;
}
