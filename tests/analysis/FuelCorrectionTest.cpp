// The fuel correction: the unit's interpolation weights, the least-squares solve on a map
// with a known answer, the deadband, locks, the authority, limits, quantisation, refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "analysis/FuelCorrection.h"
#include "common/MapInterpolation.h"
#include "image/CodeRange.h"

namespace {

// Three columns (1000, 2000, 4000 rpm) and three rows (6, 3, 1 ms, loads falling as the grid
// shows them): nine cells.
const std::vector<double> kRpm = {1000, 2000, 4000};
const std::vector<double> kLoad = {6, 3, 1};

TFuelCorrectionInput Input(std::vector<double> current = std::vector<double>(9, 1.0)) {
  TFuelCorrectionInput in;
  in.axes = {{kRpm.begin(), kRpm.end()}, {kLoad.begin(), kLoad.end()}};
  in.current = std::move(current);
  in.minWeight = 2;
  in.maxStep = 0.5;
  in.authority = 0.5;
  in.filters.delay = false;  // the sweep's mixture is logged without a delay
  const TValueRange storable = StorableRange(TCodedTable::FuelMain, 2);
  in.limits = [storable](int, int) { return TFactorLimits{storable.low, storable.high}; };
  return in;
}

void Quantised(TFuelCorrectionInput& in) {
  in.exact = [](double f) { return UnitFuelFactor(f); };
  in.quantise = [](int, int, double f) { return StoredFuelFactor(f); };
}

// A warm, steady engine whose mixture follows a fuel need `need` (on the map's own axes)
// against the delivery `map`, at every point of a fine sweep over the map, each point held
// for `per` records a tenth of a second apart (points two seconds apart, so each is steady). The O2
// voltage comes from the default sensor line (1 V at 10, 0 V at 20).
std::vector<LiveRecord> Sweep(const std::vector<double>& map, const std::vector<double>& need,
                              int per = 4, double noise = 0, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::normal_distribution<double> gauss(0, noise > 0 ? noise : 1);
  std::vector<LiveRecord> log;
  for (double rpm = 900; rpm <= 4100; rpm += 100)
    for (double load = 0.9; load <= 6.1; load += 0.2)
      for (int k = 0; k < per; ++k) {
        LiveRecord r{};
        r[kTime] = static_cast<double>(log.size() / static_cast<size_t>(per)) * 2 + k * 0.1;
        r[kRPM] = rpm;
        r[kLOAD] = load;
        r[kPW] = load;
        r[kTPS] = 20;
        r[kCLT] = 90;
        double afr = 14.7 * Interpolate(kRpm, kLoad, need, rpm, load) /
                     Interpolate(kRpm, kLoad, map, rpm, load);
        if (noise > 0) afr += gauss(random);
        r[kO2] = 1.0 - (afr - 10) / 10;
        log.push_back(r);
      }
  return log;
}

TFuelCorrection Propose(const std::vector<LiveRecord>& log, const TFuelCorrectionInput& in) {
  return ProposeFuelCorrection(log.data(), static_cast<int64_t>(log.size()), in);
}

// A need that differs cell by cell, chequered as no per-cell average would see it.
const std::vector<double> kNeed = {1.08, 0.94, 1.10, 0.92, 1.06, 0.95, 1.04, 0.90, 1.12};

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
  // The correction reads the same line.
  const TO2Sensor line = TO2Sensor::OfWideBand(range);
  EXPECT_NEAR(line.AfrAt(0.7), 15, 1e-12);
  EXPECT_TRUE(line.AtEnds(1.2));
  EXPECT_TRUE(line.AtEnds(0.1));
  EXPECT_FALSE(line.AtEnds(0.7));
}

TEST(MapInterpolation, WeightsAtCornersCentresAndBeyondTheAxes) {
  // On a breakpoint: the whole weight on its cell, on falling axes as on rising ones.
  TCellWeights w = BilinearWeights(kRpm, kLoad, 2000, 3);
  double sum = 0;
  for (size_t k = 0; k < 4; ++k) sum += w.cell[k] == 4 ? w.weight[k] : 0;
  EXPECT_DOUBLE_EQ(sum, 1);
  EXPECT_FALSE(w.beyond);
  // In the middle of four cells: a quarter each.
  w = BilinearWeights(kRpm, kLoad, 3000, 2);
  EXPECT_EQ(w.cell, (std::array<size_t, 4>{4, 5, 7, 8}));
  for (double x : w.weight) EXPECT_DOUBLE_EQ(x, 0.25);
  // A third of the way between columns, on a row: two cells, 2/3 and 1/3.
  w = BilinearWeights(kRpm, kLoad, 1000 + 1000.0 / 3, 6);
  EXPECT_EQ(w.cell[0], 0u);
  EXPECT_NEAR(w.weight[0], 2.0 / 3, 1e-12);
  EXPECT_NEAR(w.weight[1], 1.0 / 3, 1e-12);
  // Beyond the last breakpoint the unit holds the edge.
  w = BilinearWeights(kRpm, kLoad, 6000, 0.5);
  EXPECT_TRUE(w.beyond);
  EXPECT_EQ(w.cell[0], 8u);
  EXPECT_DOUBLE_EQ(w.weight[0], 1);
  const std::vector<double> values = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_DOUBLE_EQ(Interpolate(kRpm, kLoad, values, 1500, 4.5), (1 + 2 + 4 + 5) / 4.0);
  EXPECT_FALSE(StrictlyMonotonic({1, 2, 2}));
  EXPECT_TRUE(StrictlyMonotonic({6, 3, 1}));
}

TEST(FuelCorrection, SolveFindsAKnownChequeredNeedInOneRound) {
  const std::vector<double> map(9, 1.0);
  const auto log = Sweep(map, kNeed);
  const TFuelCorrection c = Propose(log, Input(map));
  ASSERT_FALSE(c.Refused());
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_NEAR(c.proposed[i], kNeed[i], 2e-3) << "cell " << i;
    EXPECT_EQ(c.outcome[i], TCellOutcome::Changed);
    EXPECT_GT(c.weight[i], 2);
  }
  EXPECT_EQ(c.used, static_cast<int64_t>(log.size()));
  EXPECT_GT(c.beyond, 0);  // the sweep starts below 1000 rpm
  // With the unit's codes: every proposal storable and within a code of the need.
  TFuelCorrectionInput in = Input(map);
  Quantised(in);
  const TFuelCorrection q = Propose(log, in);
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(StoredFuelFactor(q.proposed[i]), q.proposed[i]);
    EXPECT_NEAR(UnitFuelFactor(q.proposed[i]), kNeed[i], 0.0075 * 1.5) << "cell " << i;
  }
}

TEST(FuelCorrection, DeadbandKeepsCellsWithinHalfACodeOrTheirUncertainty) {
  const std::vector<double> map(9, 1.0);
  std::vector<double> need = map;
  need[4] = 1.002;  // a third of a code away
  need[0] = 1.03;   // four codes away
  TFuelCorrectionInput in = Input(map);
  Quantised(in);
  TFuelCorrection c = Propose(Sweep(map, need), in);
  EXPECT_EQ(c.outcome[4], TCellOutcome::Deadband);
  EXPECT_EQ(c.proposed[4], 1.0);
  EXPECT_EQ(c.outcome[0], TCellOutcome::Changed);
  // With noise each cell reports its uncertainty. A cell whose solved factor lies within half
  // a code or three standard errors of where it is stays; one that changes lands closer to the
  // solved factor than it was. Across seeds some cell more than half a code off is kept by
  // its uncertainty alone.
  bool keptByUncertainty = false;
  for (unsigned seed = 1; seed <= 20; ++seed) {
    c = Propose(Sweep(map, need, 1, 1.5, seed), in);
    for (size_t i = 0; i < 9; ++i) {
      ASSERT_GT(c.uncertainty[i], 0);
      const double off = std::fabs(c.solved[i] - UnitFuelFactor(map[i]));
      if (off <= std::max(0.00375, 3 * c.uncertainty[i])) {
        EXPECT_EQ(c.outcome[i], TCellOutcome::Deadband);
      }
      if (c.outcome[i] == TCellOutcome::Changed) {
        EXPECT_LT(std::fabs(UnitFuelFactor(c.proposed[i]) - c.solved[i]), off);
      }
      keptByUncertainty |= c.outcome[i] == TCellOutcome::Deadband && off > 0.00375;
    }
  }
  EXPECT_TRUE(keptByUncertainty);
}

TEST(FuelCorrection, LockedAndFewDataCellsKeepTheirFactorAndTheOthersStillFit) {
  const std::vector<double> map(9, 1.0);
  TFuelCorrectionInput in = Input(map);
  in.locked.assign(9, 0);
  in.locked[4] = 1;
  auto log = Sweep(map, kNeed);
  TFuelCorrection c = Propose(log, in);
  EXPECT_EQ(c.outcome[4], TCellOutcome::Locked);
  EXPECT_EQ(c.proposed[4], 1.0);
  // The neighbours take what the locked cell cannot: they are solved with it held, so the
  // error near it is shared rather than ignored, and far cells stay right.
  EXPECT_NEAR(c.proposed[0], kNeed[0], 0.03);
  EXPECT_NEAR(c.proposed[8], kNeed[8], 0.03);
  // A minimum weight above what a cell got leaves it alone.
  in.locked.clear();
  in.minWeight = 1e9;
  c = Propose(log, in);
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(c.outcome[i], TCellOutcome::FewData);
  EXPECT_EQ(c.ChangedCount(), 0);
}

TEST(FuelCorrection, StepAndAuthorityHoldTheProposal) {
  const std::vector<double> map(9, 1.0);
  std::vector<double> need(9, 1.30);
  const auto log = Sweep(map, need);
  TFuelCorrectionInput in = Input(map);
  Quantised(in);
  in.maxStep = 0.05;
  TFuelCorrection c = Propose(log, in);
  for (double f : c.proposed) {
    EXPECT_LE(f, 1.05);
    EXPECT_GE(f, 1.04);
  }
  // The authority counts from the image's original factor, not from this round's start.
  in.maxStep = 0.5;
  in.authority = 0.1;
  in.current.assign(9, 1.08);
  in.original.assign(9, 1.0);
  c = Propose(log, in);
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_LE(c.proposed[i], 1.1);
    EXPECT_GE(c.proposed[i], 1.09);
  }
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
  EXPECT_DOUBLE_EQ(LimitedFactor(1.0, 1.2, 0.05, wide, {}), 1.05);
  // Per cell limits and a target table through the whole proposal.
  const std::vector<double> map(9, 1.0);
  TFuelCorrectionInput in = Input(map);
  Quantised(in);
  in.targetTable.assign(9, 14.7);
  in.targetTable[0] = 14.7 / 1.1;  // richer there: 10 % more fuel wanted
  in.limits = [](int col, int) { return TFactorLimits{0.5, col == 2 ? 1.02 : 1.95}; };
  const TFuelCorrection c = Propose(Sweep(map, std::vector<double>(9, 1.05)), in);
  EXPECT_NEAR(c.At(0, 0), 1.155, 0.011);
  EXPECT_EQ(c.At(2, 1), StoredFuelFactor(1.02));
  EXPECT_NEAR(c.At(1, 1), 1.05, 0.008);
  EXPECT_NEAR(c.target[0], 14.7 / 1.1, 1e-12);
}

TEST(FuelCorrection, RefusedWithAReasonForANarrowBandSensorAndUnusableSettings) {
  const auto log = Sweep(std::vector<double>(9, 1.0), kNeed);
  const auto refused = [&log](const TFuelCorrectionInput& in) {
    return Propose(log, in).Refused();
  };
  TFuelCorrectionInput in = Input();
  in.wideBand = false;
  const TFuelCorrection c = Propose(log, in);
  ASSERT_TRUE(c.Refused());
  EXPECT_TRUE(c.refusal.contains(QStringLiteral("узкополосный")));
  EXPECT_TRUE(c.proposed.empty());
  in = Input();
  in.sensor = TO2Sensor::OfWideBand({0.45, 0.45});
  EXPECT_TRUE(refused(in));
  in = Input();
  in.targetAfr = 0;
  EXPECT_TRUE(refused(in));
  in = Input();
  in.targetTable = {14.7};
  EXPECT_TRUE(refused(in));
  in = Input();
  in.current.pop_back();
  EXPECT_TRUE(refused(in));
  in = Input();
  in.axes.rpm[1] = std::nullopt;  // an empty header
  EXPECT_TRUE(refused(in));
  in = Input();
  in.axes.load = {6.0, 6.0, 1.0};  // out of order
  EXPECT_TRUE(refused(in));
}
