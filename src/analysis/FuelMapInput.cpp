#include "analysis/FuelMapInput.h"

#include <cmath>
#include <memory>

#include "image/CodeRange.h"

TMapAxes AxesOfTable(const TCalTable& table) {
  TMapAxes axes;
  for (int c = 1; c < table.cols; ++c) axes.rpm.push_back(table.Value(c, 0));
  for (int r = 1; r < table.rows; ++r) axes.load.push_back(table.Value(0, r));
  return axes;
}

std::vector<double> ValuesOfTable(const TCalTable& table) {
  std::vector<double> values;
  for (int r = 1; r < table.rows; ++r)
    for (int c = 1; c < table.cols; ++c) values.push_back(table.Value(c, r).value_or(NAN));
  return values;
}

TFuelCorrectionInput FuelMapInput(const TCalTable& table) {
  TFuelCorrectionInput in;
  in.axes = AxesOfTable(table);
  in.current = ValuesOfTable(table);
  in.exact = [](double shown) { return UnitFuelFactor(shown); };
  const auto rules = std::make_shared<const TCalTable>(table);
  in.limits = [rules](int col, int row) {
    const TValueRange range = rules->Rule(col + 1, row + 1).Range();
    return TFactorLimits{range.low, range.high};
  };
  in.quantise = [rules](int col, int row, double factor) {
    return rules->Rule(col + 1, row + 1).Quantise(factor);
  };
  in.codeStep = [rules](int col, int row, double factor) {
    const TCellRule rule = rules->Rule(col + 1, row + 1);
    const double up = rule.Step(factor, 1) - factor;
    const double down = factor - rule.Step(factor, -1);
    const double step = std::min(up > 0 ? up : down, down > 0 ? down : up);
    return step > 0 ? step : 0.0075;
  };
  return in;
}

TEditStep CorrectionStep(const TCalTable& table, const TFuelCorrection& correction,
                         const QString& title) {
  TEditStep step;
  step.title = title;
  for (int r = 0; r < correction.rows; ++r)
    for (int c = 0; c < correction.cols; ++c) {
      // A cell whose factor is no number (none to start from) is never written.
      const size_t i = correction.Index(c, r);
      if (!correction.changed[i] || !std::isfinite(correction.proposed[i])) continue;
      const double after = table.Rule(c + 1, r + 1).AsShown(correction.At(c, r));
      step.cells.push_back({table.id, c + 1, r + 1, table.Value(c + 1, r + 1), after});
    }
  return step;
}
