#include "analysis/FuelCorrection.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/CellGathering.h"

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

QString InputProblem(const TFuelCorrectionInput& in) {
  if (!in.wideBand)
    return QCoreApplication::translate(
        "FuelCorrection",
        "Коррекция топлива невозможна: выбран узкополосный лямбда-зонд. Его напряжение "
        "показывает только \"богаче\" или \"беднее\" порога, а не состав смеси. Выберите "
        "широкополосный датчик и задайте его диапазон.");
  if (!in.sensor.Valid())
    return QCoreApplication::translate(
        "FuelCorrection",
        "Коррекция топлива невозможна: максимальное напряжение датчика должно быть выше "
        "минимального.");
  const size_t cells = static_cast<size_t>(in.axes.Cols()) * static_cast<size_t>(in.axes.Rows());
  if (in.current.size() != cells)
    return QCoreApplication::translate(
        "FuelCorrection", "Коррекция топлива невозможна: размер карты не совпадает с её осями.");
  if (!in.targetTable.empty() && in.targetTable.size() != cells)
    return QCoreApplication::translate(
        "FuelCorrection",
        "Коррекция топлива невозможна: размер таблицы целевого состава смеси не совпадает с "
        "картой.");
  auto badTarget = [](double afr) { return !(afr > 0) || !std::isfinite(afr); };
  if (in.targetTable.empty() ? badTarget(in.targetAfr)
                             : std::any_of(in.targetTable.begin(), in.targetTable.end(), badTarget))
    return QCoreApplication::translate(
        "FuelCorrection",
        "Коррекция топлива невозможна: целевой состав смеси должен быть положительным числом.");
  if (!(in.maxStep >= 0) || !std::isfinite(in.maxStep))
    return QCoreApplication::translate(
        "FuelCorrection", "Коррекция топлива невозможна: шаг коррекции должен быть не меньше 0.");
  return {};
}

}  // namespace

double LimitedFactor(double current, double wanted, double maxStep, const TFactorLimits& limits,
                     const std::function<double(double)>& quantise) {
  const double low = std::max(current - std::fabs(current) * maxStep, limits.low);
  const double high = std::min(current + std::fabs(current) * maxStep, limits.high);
  // A factor so far beyond its limits that no step reaches them is left for the user.
  if (!(low <= high) || std::isnan(wanted)) return current;
  const double held = std::clamp(wanted, low, high);
  if (!quantise) return held;
  const double q = quantise(held);
  if (q >= low && q <= high) return q;
  // Over the edge by less than half a storable step: walk back towards the current factor
  // until the nearest storable value lies inside.
  const double edge = q > high ? high : low;
  const double toCurrent = current - edge;
  for (double part = 1.0 / 64; part <= 1; part *= 2) {
    const double inside = quantise(edge + toCurrent * part);
    if (inside >= low && inside <= high) return inside;
  }
  return current;
}

TFuelCorrection ProposeFuelCorrection(const LiveRecord* records, int64_t count,
                                      const TFuelCorrectionInput& input) {
  TFuelCorrection out;
  out.cols = input.axes.Cols();
  out.rows = input.axes.Rows();
  out.refusal = InputProblem(input);
  if (out.Refused()) return out;
  const size_t cells = input.current.size();
  std::vector<double> afrSum(cells, 0);
  out.counts.assign(cells, 0);
  int64_t filtered = 0, outside = 0;
  analysis_detail::ForEachPlacedRecord(records, count, input.axes, input.filter, filtered, outside,
                                       [&](size_t cell, const LiveRecord& r, double) {
                                         afrSum[cell] += input.sensor.AfrAt(r[kO2]);
                                         ++out.counts[cell];
                                       });
  out.proposed = input.current;
  out.measuredAfr.assign(cells, kNone);
  out.changed.assign(cells, 0);
  for (int row = 0; row < out.rows; ++row) {
    for (int col = 0; col < out.cols; ++col) {
      const size_t i = out.Index(col, row);
      if (out.counts[i] == 0) continue;
      const double measured = afrSum[i] / static_cast<double>(out.counts[i]);
      out.measuredAfr[i] = measured;
      if (out.counts[i] < input.minRecords) continue;
      const double current = input.current[i];
      const double target = input.targetTable.empty() ? input.targetAfr : input.targetTable[i];
      const TFactorLimits limits = input.limits
                                       ? input.limits(col, row)
                                       : TFactorLimits{-std::numeric_limits<double>::infinity(),
                                                       std::numeric_limits<double>::infinity()};
      std::function<double(double)> quantise;
      if (input.quantise)
        quantise = [&input, col, row](double v) { return input.quantise(col, row, v); };
      const double factor =
          LimitedFactor(current, current * measured / target, input.maxStep, limits, quantise);
      out.proposed[i] = factor;
      out.changed[i] = factor != current;
    }
  }
  return out;
}
