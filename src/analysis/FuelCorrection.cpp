#include "analysis/FuelCorrection.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/LeastSquares.h"
#include "common/MapInterpolation.h"

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// One code of a fuel table.
constexpr double kFuelCodeStep = 0.0075;
// How strongly a solved cell is held to its current factor, per unit of its evidence: enough
// to keep a cell whose records all sit between it and a neighbour from drifting along with
// that neighbour, far too little to bias a cell its records pin down.
constexpr double kRidge = 1e-3;
// A cell moves only when the solve wants more than this many standard errors: with one, a
// cell already right moves on noise alone every third round.
constexpr double kSigmas = 3;

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
        "Коррекция топлива невозможна: характеристика датчика должна пройти через две точки "
        "с разными напряжениями и разным положительным AFR.");
  const size_t cells = static_cast<size_t>(in.axes.Cols()) * static_cast<size_t>(in.axes.Rows());
  const auto sized = [cells](size_t n) { return n == 0 || n == cells; };
  if (in.current.size() != cells || !sized(in.original.size()) || !sized(in.locked.size()))
    return QCoreApplication::translate(
        "FuelCorrection", "Коррекция топлива невозможна: размер карты не совпадает с её осями.");
  if (!sized(in.targetTable.size()))
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
  if (!(in.maxStep >= 0) || !std::isfinite(in.maxStep) || !(in.authority >= 0) ||
      !(in.minWeight >= 0))
    return QCoreApplication::translate(
        "FuelCorrection",
        "Коррекция топлива невозможна: шаг, допуск и наименьший вес должны быть не меньше 0.");
  const auto axisOk = [](const std::vector<std::optional<double>>& axis) {
    std::vector<double> values;
    for (const auto& v : axis) {
      if (!v || !std::isfinite(*v)) return false;
      values.push_back(*v);
    }
    return StrictlyMonotonic(values);
  };
  if (!axisOk(in.axes.rpm) || !axisOk(in.axes.load))
    return QCoreApplication::translate(
        "FuelCorrection",
        "Коррекция топлива невозможна: заголовки карты топлива должны быть числами, идущими "
        "по порядку.");
  return {};
}

std::vector<double> AxisValues(const std::vector<std::optional<double>>& axis) {
  std::vector<double> values;
  for (const auto& v : axis) values.push_back(*v);
  return values;
}

// What the records say about each cell: the normal equations of the least-squares problem
// (sum over records of the weights' outer product, and of weight x wanted delivery) and the
// per-cell statistics the tooltip and the deadband need.
struct Evidence {
  explicit Evidence(size_t n)
      : cells(n),
        normal(n * n, 0),
        rhs(n, 0),
        weight(n, 0),
        weight2(n, 0),
        afr(n, 0),
        wanted(n, 0),
        wanted2(n, 0),
        hits(n, 0) {}
  size_t cells;
  std::vector<double> normal, rhs, weight, weight2, afr, wanted, wanted2;
  std::vector<int64_t> hits;
  int64_t used = 0, beyond = 0;
};

// The records the filters kept, each with its four cells' weights and the delivery that
// would have given the target there (fuel is inversely proportional to the ratio).
struct TRecordView {
  const LiveRecord* records;
  int64_t count;
  const TFilteredRecords& kept;
  std::vector<double> rpmAxis, loadAxis;
  const std::vector<double>& delivery;
  const std::vector<double>& target;

  template <typename Visit>
  void ForEach(Visit&& visit) const {
    for (int64_t i = 0; i < count; ++i) {
      const double afr = kept.afr[static_cast<size_t>(i)];
      if (std::isnan(afr)) continue;
      const TCellWeights w =
          BilinearWeights(rpmAxis, loadAxis, records[i][kRPM], records[i][kLOAD]);
      double delivered = 0, wantedAfr = 0;
      for (size_t k = 0; k < 4; ++k) {
        delivered += w.weight[k] * delivery[w.cell[k]];
        wantedAfr += w.weight[k] * target[w.cell[k]];
      }
      visit(w, afr, delivered * afr / wantedAfr);
    }
  }
};

Evidence Gather(const TRecordView& view) {
  Evidence e(view.delivery.size());
  const size_t n = e.cells;
  view.ForEach([&e, n](const TCellWeights& w, double afr, double wanted) {
    ++e.used;
    e.beyond += w.beyond ? 1 : 0;
    for (size_t k = 0; k < 4; ++k) {
      const double wk = w.weight[k];
      if (wk == 0) continue;
      const size_t c = w.cell[k];
      for (size_t m = 0; m < 4; ++m) e.normal[c * n + w.cell[m]] += wk * w.weight[m];
      e.rhs[c] += wk * wanted;
      e.weight[c] += wk;
      e.afr[c] += wk * afr;
      ++e.hits[c];
    }
  });
  return e;
}

// One standard error of each solved factor: the scatter of its records about the solved
// map (weighted by their share in the cell) times how much of the data is the cell's own
// (the inverse normal matrix's diagonal). Held cells get the scatter over their weight.
std::vector<double> Uncertainties(const TRecordView& view, const Evidence& e,
                                  const std::vector<double>& solved,
                                  const std::vector<double>& spread) {
  std::vector<double> scatter(e.cells, 0);
  view.ForEach([&](const TCellWeights& w, double, double wanted) {
    double fitted = 0;
    for (size_t k = 0; k < 4; ++k) fitted += w.weight[k] * solved[w.cell[k]];
    const double r2 = (wanted - fitted) * (wanted - fitted);
    for (size_t k = 0; k < 4; ++k) scatter[w.cell[k]] += w.weight[k] * r2;
  });
  std::vector<double> u(e.cells, kNone);
  for (size_t c = 0; c < e.cells; ++c) {
    if (e.weight[c] <= 0) continue;
    const double variance = scatter[c] / e.weight[c];
    u[c] = std::sqrt(variance * (spread[c] > 0 ? spread[c] : 1 / e.weight[c]));
  }
  return u;
}

TFactorLimits CellLimits(const TFuelCorrectionInput& in, size_t i, int col, int row) {
  TFactorLimits limits = in.limits ? in.limits(col, row) : TFactorLimits{-kInfinity, kInfinity};
  const double origin = in.original.empty() ? in.current[i] : in.original[i];
  if (std::isfinite(origin)) {
    limits.low = std::max(limits.low, origin - std::fabs(origin) * in.authority);
    limits.high = std::min(limits.high, origin + std::fabs(origin) * in.authority);
  }
  return limits;
}

void Decide(const TFuelCorrectionInput& in, const std::vector<double>& delivery,
            const std::vector<double>& solved, TFuelCorrection& out) {
  for (int row = 0; row < out.rows; ++row)
    for (int col = 0; col < out.cols; ++col) {
      const size_t i = out.Index(col, row);
      TCellOutcome& outcome = out.outcome[i];
      if (outcome != TCellOutcome::Changed) continue;  // decided before the solve
      const double current = in.current[i];
      const double step = in.codeStep ? in.codeStep(col, row, current) : kFuelCodeStep;
      const double off = std::fabs(solved[i] - delivery[i]);
      const double deadband = std::max(step / 2, kSigmas * out.uncertainty[i]);
      if (off <= deadband) {
        outcome = TCellOutcome::Deadband;
        continue;
      }
      std::function<double(double)> quantise;
      if (in.quantise) quantise = [&in, col, row](double v) { return in.quantise(col, row, v); };
      // The solve works on the unit's factors; the step and the limits on the shown ones.
      const double wanted = current + (solved[i] - delivery[i]);
      const double factor =
          LimitedFactor(current, wanted, in.maxStep, CellLimits(in, i, col, row), quantise);
      // Next to a wider gap between storable values, half a code is not enough: a change
      // must bring the cell nearer the solved factor by more than the deadband, or a cell
      // whose solved factor lies midway between two storable values jumps across it.
      const double after = in.exact ? in.exact(factor) : factor;
      if (std::fabs(after - solved[i]) > off - deadband) {
        outcome = TCellOutcome::Deadband;
        continue;
      }
      out.proposed[i] = factor;
      out.changed[i] = factor != current;
      outcome = out.changed[i] ? TCellOutcome::Changed : TCellOutcome::Kept;
    }
}

}  // namespace

int TFuelCorrection::ChangedCount() const {
  return static_cast<int>(std::count(changed.begin(), changed.end(), 1));
}

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
                                      const TFuelCorrectionInput& in) {
  TFuelCorrection out;
  out.cols = in.axes.Cols();
  out.rows = in.axes.Rows();
  out.records = count;
  out.refusal = InputProblem(in);
  if (out.Refused()) return out;
  const size_t cells = in.current.size();
  const TFilteredRecords kept = FilterRecords(records, count, in.filters, in.sensor);
  out.removed = kept.removed;
  std::vector<double> delivery(cells), target(cells);
  for (size_t i = 0; i < cells; ++i) {
    delivery[i] = in.exact ? in.exact(in.current[i]) : in.current[i];
    target[i] = in.targetTable.empty() ? in.targetAfr : in.targetTable[i];
  }
  const TRecordView view{records,  count, kept, AxisValues(in.axes.rpm), AxisValues(in.axes.load),
                         delivery, target};
  const Evidence e = Gather(view);
  out.used = e.used;
  out.beyond = e.beyond;
  out.proposed = in.current;
  out.target = target;
  out.weight = e.weight;
  out.counts = e.hits;
  out.changed.assign(cells, 0);
  out.outcome.assign(cells, TCellOutcome::Changed);
  out.measuredAfr.assign(cells, kNone);
  std::vector<char> free(cells, 0);
  for (size_t i = 0; i < cells; ++i) {
    if (e.weight[i] > 0) out.measuredAfr[i] = e.afr[i] / e.weight[i];
    TCellOutcome& o = out.outcome[i];
    if (e.hits[i] == 0)
      o = TCellOutcome::NoData;
    else if (!in.locked.empty() && in.locked[i])
      o = TCellOutcome::Locked;
    else if (e.weight[i] < in.minWeight || !std::isfinite(in.current[i]))
      o = TCellOutcome::FewData;
    free[i] = o == TCellOutcome::Changed;
  }
  std::vector<double> ridge(cells);
  for (size_t i = 0; i < cells; ++i) ridge[i] = kRidge * e.weight[i] + 1e-12;
  std::vector<double> spread;
  out.solved = SolveHeldLeastSquares(e.normal, e.rhs, ridge, delivery, free, &spread);
  out.uncertainty = Uncertainties(view, e, out.solved, spread);
  for (size_t i = 0; i < cells; ++i)
    if (e.hits[i] == 0) out.solved[i] = kNone;
  Decide(in, delivery, out.solved, out);
  return out;
}
