// The fuel correction from a wide-band sensor: limits, quantisation and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/FuelCorrection.h"
#include "image/CodeRange.h"

namespace {

// Two columns (1000, 3000 rpm) and two rows (6, 2 ms): four cells.
TFuelCorrectionInput Input() {
  TFuelCorrectionInput in;
  in.axes = {{1000.0, 3000.0}, {6.0, 2.0}};
  in.current = {1.0, 1.0, 1.0, 1.0};
  in.sensor = {0.0, 1.0};  // 1 V at 10:1, 0 V at 20:1
  in.quantise = [](int, int, double f) { return StoredFuelFactor(f); };
  const TValueRange storable = StorableRange(TCodedTable::FuelMain, 2);
  in.limits = [storable](int, int) { return TFactorLimits{storable.low, storable.high}; };
  return in;
}

// `n` records at `rpm`/`load` with the O2 voltage `volts`.
void Add(std::vector<LiveRecord>& log, int n, double rpm, double load, double volts) {
  for (int i = 0; i < n; ++i) {
    LiveRecord r{};
    r[kTime] = static_cast<double>(log.size()) * 0.1;
    r[kRPM] = rpm;
    r[kLOAD] = load;
    r[kO2] = volts;
    r[kCLT] = 90;
    log.push_back(r);
  }
}

bool Storable(double f) {
  return StoredFuelFactor(f) == f;
}

}  // namespace

TEST(WideBandLine, ChartEndsAndRatiosComeFromTheSameLine) {
  const TWideBandRange range{0.2, 1.2};
  EXPECT_EQ(range.VoltsAt(kWideBandAfrRich), 1.2);  // the chart's first point, exactly
  EXPECT_EQ(range.VoltsAt(kWideBandAfrLean), 0.2);  // and its last
  EXPECT_NEAR(range.AfrAt(0.7), 15, 1e-12);
  EXPECT_NEAR(range.AfrAt(range.VoltsAt(14.7)), 14.7, 1e-12);
  EXPECT_EQ(range.AfrAt(1.5), 10);  // beyond the range: held at its ends
  EXPECT_EQ(range.AfrAt(0.0), 20);
  EXPECT_FALSE((TWideBandRange{0.5, 0.5}).Valid());
}

TEST(FuelCorrection, FactorFollowsTheMeasuredRatioWithinTheStepAndQuantised) {
  std::vector<LiveRecord> log;
  Add(log, 10, 1500, 5, 0.30);  // cell (0, 0): 17:1, lean -> more fuel, held to +5 %
  Add(log, 10, 3500, 5, 0.70);  // cell (1, 0): 13:1, rich -> less fuel, held to -5 %
  Add(log, 12, 1500, 1, 0.55);  // cell (0, 1): 14.5:1 -> a small step, quantised
  Add(log, 9, 3500, 1, 0.30);   // cell (1, 1): too few records, unchanged
  const TFuelCorrection c =
      ProposeFuelCorrection(log.data(), static_cast<int64_t>(log.size()), Input());
  ASSERT_FALSE(c.Refused());
  EXPECT_EQ(c.At(0, 0), StoredFuelFactor(1.05));
  EXPECT_LE(c.At(0, 0), 1.05);
  EXPECT_GE(c.At(1, 0), 0.95);
  EXPECT_LE(c.At(1, 0), 0.96);
  const double wanted = 14.5 / 14.7;
  EXPECT_EQ(c.At(0, 1), StoredFuelFactor(wanted));
  EXPECT_NEAR(c.At(0, 1), wanted, 0.0075);
  EXPECT_EQ(c.At(1, 1), 1.0);
  EXPECT_FALSE(c.changed[c.Index(1, 1)]);
  EXPECT_NEAR(c.measuredAfr[c.Index(1, 1)], 17, 1e-12);  // shown, not applied
  EXPECT_EQ(c.counts[c.Index(1, 1)], 9);
  for (double f : c.proposed) EXPECT_TRUE(Storable(f)) << f;
}

TEST(FuelCorrection, QuantisedValueNeverLeavesTheStepWindowOrTheCellLimits) {
  // A 3.5 % step: 1.035 has no code, its nearest (1.04) lies beyond; 1.03 is taken.
  const auto quantise = [](double f) { return StoredFuelFactor(f); };
  const TFactorLimits wide{0.04, 1.95};
  EXPECT_EQ(LimitedFactor(1.0, 1.2, 0.035, wide, quantise), StoredFuelFactor(1.03));
  EXPECT_EQ(LimitedFactor(1.0, 0.8, 0.035, wide, quantise), StoredFuelFactor(0.97));
  // The cell's limits bind before the step.
  EXPECT_EQ(LimitedFactor(1.0, 1.2, 0.05, {0.9, 1.02}, quantise), StoredFuelFactor(1.02));
  EXPECT_EQ(LimitedFactor(1.94, 2.5, 0.05, wide, quantise), 1.95);
  // A factor beyond its limits comes back within one step; farther away it is left alone
  // (no step reaches the limits). A zero step changes nothing.
  EXPECT_DOUBLE_EQ(LimitedFactor(2.0, 1.0, 0.05, wide, quantise), 1.9);
  EXPECT_EQ(LimitedFactor(3.0, 1.0, 0.05, wide, quantise), 3.0);
  EXPECT_EQ(LimitedFactor(1.0, 1.2, 0, wide, quantise), 1.0);
  // Without a quantiser the held value itself.
  EXPECT_DOUBLE_EQ(LimitedFactor(1.0, 1.2, 0.05, wide, {}), 1.05);
  // Per cell limits and a target table through the whole proposal.
  std::vector<LiveRecord> log;
  Add(log, 10, 1500, 5, 0.30);  // 17:1
  Add(log, 10, 3500, 5, 0.30);
  TFuelCorrectionInput in = Input();
  in.targetTable = {17.0, 14.7, 14.7, 14.7};  // cell (0, 0) already on target
  in.limits = [](int col, int) { return TFactorLimits{0.5, col == 1 ? 1.02 : 1.95}; };
  const TFuelCorrection c = ProposeFuelCorrection(log.data(), 20, in);
  EXPECT_EQ(c.At(0, 0), 1.0);
  EXPECT_FALSE(c.changed[c.Index(0, 0)]);
  EXPECT_EQ(c.At(1, 0), StoredFuelFactor(1.02));
  EXPECT_LE(c.At(1, 0), 1.02);
  EXPECT_TRUE(c.changed[c.Index(1, 0)]);
  EXPECT_TRUE(std::isnan(c.measuredAfr[c.Index(0, 1)]));  // no records there
  EXPECT_EQ(c.At(0, 1), 1.0);
}

TEST(FuelCorrection, RefusedWithAReasonForANarrowBandSensorAndUnusableSettings) {
  std::vector<LiveRecord> log;
  Add(log, 10, 1500, 5, 0.30);
  TFuelCorrectionInput in = Input();
  in.wideBand = false;
  TFuelCorrection c = ProposeFuelCorrection(log.data(), 10, in);
  ASSERT_TRUE(c.Refused());
  EXPECT_TRUE(c.refusal.contains(QStringLiteral("узкополосный")));
  EXPECT_TRUE(c.proposed.empty());

  in = Input();
  in.sensor = {0.45, 0.45};
  EXPECT_TRUE(ProposeFuelCorrection(log.data(), 10, in).Refused());
  in = Input();
  in.targetAfr = 0;
  EXPECT_TRUE(ProposeFuelCorrection(log.data(), 10, in).Refused());
  in = Input();
  in.targetTable = {14.7};
  EXPECT_TRUE(ProposeFuelCorrection(log.data(), 10, in).Refused());
  in = Input();
  in.current.pop_back();
  EXPECT_TRUE(ProposeFuelCorrection(log.data(), 10, in).Refused());
}
