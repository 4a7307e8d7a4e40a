#include "sim/VirtualEngine.h"

#include <algorithm>
#include <cmath>

#include "common/MapInterpolation.h"

namespace {
constexpr double kStoichiometric = 14.7;
constexpr double kIdleRpm = 850;
// The coolant warms towards its thermostat's temperature with this time constant (seconds).
constexpr double kWarmCoolant = 92, kWarmingSeconds = 150;
// Cold, the unit enriches: up to 30 % more fuel at 20 degrees, none from 70.
constexpr double kEnrichedBelow = 70, kColdEnrichment = 0.3;
// A record's worth of throttle movement wets the manifold wall by this share per percent of
// throttle; the film settles with this time constant.
constexpr double kWettingPerTps = 0.01, kWettingSeconds = 0.5;
// The mixture with the fuel cut: far beyond any sensor's lean end.
constexpr double kFuelCutAfr = 40;
// A spell of overrun lasts this much longer than the stay at a point.
constexpr double kOverrunExtraSeconds = 3;
// Idle before the sweep, while the engine warms.
constexpr int kColdIdlePoints = 60;

double Lerp(double a, double b, double t) {
  return a + (b - a) * t;
}
}  // namespace

std::vector<double> PracticeNeed(const std::vector<double>& factors, size_t cols) {
  std::vector<double> need;
  for (size_t i = 0; i < factors.size(); ++i) {
    const auto c = static_cast<double>(i % cols), r = static_cast<double>(i / cols);
    const double chequer = (i % cols + i / cols) % 2 ? 0.03 : -0.03;
    need.push_back(factors[i] * (1 + 0.05 * std::sin(1.3 * c + 0.7 * r) + chequer));
  }
  return need;
}

TVirtualEngine::TVirtualEngine(std::vector<double> rpmAxis, std::vector<double> loadAxis,
                               std::vector<double> need, TVirtualEngineOptions options)
    : fRpm(std::move(rpmAxis)),
      fLoad(std::move(loadAxis)),
      fNeed(std::move(need)),
      fFuel(fNeed.size(), 1.0),
      fOptions(options),
      fRandom(options.seed) {
  Restart(options.seed);
}

void TVirtualEngine::SetFuelMap(std::vector<double> factors) {
  if (factors.size() == fNeed.size()) fFuel = std::move(factors);
}

void TVirtualEngine::Restart(unsigned seed) {
  fRandom.seed(seed);
  fTime = 0;
  fInPoint = 0;
  fPoint = 0;
  fCoolant = fOptions.coldStart ? 20 : kWarmCoolant;
  fWetting = 0;
  fPipe.clear();
  PlanSweep();
  fFrom = fTo = fPlan.front();
  fLastTps = ThrottleOf(fFrom.rpm, fFrom.load);
}

void TVirtualEngine::PlanSweep() {
  // Every breakpoint and every midpoint between two, on both axes, jittered by up to a
  // quarter of the gap; row by row, each row the other way round, from a row the seed picks.
  const auto positions = [](const std::vector<double>& axis) {
    std::vector<double> p;
    for (size_t k = 0; k < axis.size(); ++k) {
      p.push_back(axis[k]);
      if (k + 1 < axis.size()) p.push_back((axis[k] + axis[k + 1]) / 2);
    }
    return p;
  };
  const std::vector<double> rpms = positions(fRpm), loads = positions(fLoad);
  std::uniform_real_distribution<double> jitter(-0.25, 0.25);
  const double rpmGap = (fRpm.back() - fRpm.front()) / static_cast<double>(rpms.size());
  const double loadGap = (fLoad.front() - fLoad.back()) / static_cast<double>(loads.size());
  const double loadLow = std::min(fLoad.front(), fLoad.back());
  fPlan.clear();
  if (fOptions.coldStart)
    for (int k = 0; k < kColdIdlePoints; ++k) fPlan.push_back({kIdleRpm, loadLow * 1.2, false});
  const size_t first = std::uniform_int_distribution<size_t>(0, loads.size() - 1)(fRandom);
  for (size_t n = 0; n < loads.size(); ++n) {
    const size_t row = (first + n) % loads.size();
    for (size_t m = 0; m < rpms.size(); ++m) {
      const size_t col = n % 2 ? rpms.size() - 1 - m : m;
      fPlan.push_back(
          {rpms[col] + jitter(fRandom) * rpmGap, loads[row] + jitter(fRandom) * loadGap, false});
      if (fOptions.overrun && fPlan.size() % 12 == 0)
        fPlan.push_back({std::max(2500.0, fPlan.back().rpm), loadLow, true});
    }
  }
}

double TVirtualEngine::SweepSeconds() const {
  double seconds = 0;
  for (const Point& p : fPlan)
    seconds += fOptions.moveSeconds + fOptions.holdSeconds + (p.overrun ? kOverrunExtraSeconds : 0);
  return seconds;
}

double TVirtualEngine::ThrottleOf(double rpm, double load) const {
  const double low = std::min(fLoad.front(), fLoad.back());
  const double high = std::max(fLoad.front(), fLoad.back());
  const double share = (load - low) / (high - low);
  return std::clamp(3 + 85 * share * (0.6 + 0.4 * rpm / fRpm.back()), 2.0, 100.0);
}

double TVirtualEngine::SteadyAfr(double rpm, double load) const {
  return kStoichiometric * Interpolate(fRpm, fLoad, fNeed, rpm, load) /
         Interpolate(fRpm, fLoad, fFuel, rpm, load);
}

LiveRecord TVirtualEngine::Step() {
  const double dt = fOptions.stepSeconds;
  const double move = fOptions.moveSeconds;
  // A coast with the fuel cut lasts longer than a stay at a point.
  const double hold = fOptions.holdSeconds + (fTo.overrun ? kOverrunExtraSeconds : 0);
  if (fInPoint >= move + hold) {
    fInPoint = 0;
    fPoint = (fPoint + 1) % fPlan.size();
    fFrom = fTo;
    fTo = fPlan[fPoint];
  }
  const double t = move > 0 ? std::min(1.0, fInPoint / move) : 1;
  const double rpm = Lerp(fFrom.rpm, fTo.rpm, t);
  const double load = Lerp(fFrom.load, fTo.load, t);
  const bool cut = fTo.overrun && t >= 1;
  const bool idle = fTo.rpm == kIdleRpm;
  const double tps = cut || idle ? 0 : ThrottleOf(rpm, load);
  fCoolant += (kWarmCoolant - fCoolant) * dt / kWarmingSeconds;
  fWetting = fWetting * std::exp(-dt / kWettingSeconds) +
             (fOptions.transients ? kWettingPerTps * (tps - fLastTps) : 0);
  fLastTps = tps;
  const double enrichment =
      1 +
      kColdEnrichment * std::clamp((kEnrichedBelow - fCoolant) / (kEnrichedBelow - 20), 0.0, 1.0);
  const double delivery = Interpolate(fRpm, fLoad, fFuel, rpm, load) * enrichment;
  const double afr = cut ? kFuelCutAfr
                         : kStoichiometric * Interpolate(fRpm, fLoad, fNeed, rpm, load) / delivery *
                               (1 + fWetting);
  // The sensor sees the mixture of `delay` ago, with noise, as a voltage held in its range.
  fPipe.push_back(afr);
  const auto lag = static_cast<size_t>(std::lround(fOptions.delaySeconds / dt));
  while (fPipe.size() > lag + 1) fPipe.pop_front();
  std::normal_distribution<double> noise(0, fOptions.noiseAfr > 0 ? fOptions.noiseAfr : 1);
  const double seen = fPipe.front() + (fOptions.noiseAfr > 0 ? noise(fRandom) : 0);
  const double volts = Lerp(fOptions.voltsRich, fOptions.voltsLean, (seen - 10) / (20 - 10));
  LiveRecord r{};
  r[kTime] = fTime;
  r[kRPM] = rpm;
  r[kLOAD] = load;
  r[kO2] = std::clamp(volts, std::min(fOptions.voltsRich, fOptions.voltsLean),
                      std::max(fOptions.voltsRich, fOptions.voltsLean));
  r[kPW] = cut ? 0 : load * delivery;
  r[kIGNITION] = 10 + rpm / 200;
  r[kMAF] = rpm * load / 100;
  r[kTPS] = tps;
  r[kCLT] = fCoolant;
  r[kMAT] = 25;
  r[kVboard] = 14;
  r[kSPEED] = idle ? 0 : rpm / 40;
  fTime += dt;
  fInPoint += dt;
  return r;
}

std::vector<LiveRecord> TVirtualEngine::Drive(double seconds) {
  std::vector<LiveRecord> log;
  const auto n = static_cast<size_t>(seconds / fOptions.stepSeconds);
  log.reserve(n);
  for (size_t k = 0; k < n; ++k) log.push_back(Step());
  return log;
}
