#pragma once
// TVirtualEngine: an engine on a software test bench, for practice without a car and for the
// fuel correction's own tests. The unit delivers fuel by the part-load fuel map the program
// holds, interpolated between four cells as the unit does; the engine needs its own "true"
// amount, which differs from the map, and the mixture is their ratio. A drive sweeps the map
// point by point with throttle transients between the points, starts cold (warm-up
// enrichment until the coolant is warm), has spells of overrun (fuel cut), and the wide-band
// sensor reports the mixture late and with noise, as a voltage on its line, held at the ends
// of its range. Each Step gives one record of the program's log.

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "telemetry/LiveRecord.h"

struct TVirtualEngineOptions {
  double stepSeconds = 0.1;   // one record every
  double noiseAfr = 0.15;     // the sensor's noise, one standard deviation
  double delaySeconds = 0.2;  // the mixture reaches the sensor this much later
  bool coldStart = true;      // the coolant starts at 20 degrees and warms in about 5 minutes
  bool transients = true;     // wall wetting: leaner while opening, richer while closing
  bool overrun = true;        // a fuel cut now and then between the points
  double holdSeconds = 3;     // at each point of the sweep
  double moveSeconds = 1;     // from one point to the next
  // The sensor's line: volts at AFR 10 and at AFR 20 (the lambda panel's default 1 V, 0 V).
  double voltsRich = 1.0, voltsLean = 0.0;
  unsigned seed = 1;
};

// A need that differs from a map (its factors as the unit uses them, row by row, `cols` to
// a row) by a smooth error of up to 5 % and a chequered one of 3 %: the kind of fault a
// per-cell average does not see.
std::vector<double> PracticeNeed(const std::vector<double>& factors, size_t cols);

class TVirtualEngine {
 public:
  // The map's axes as its grid shows them (rpm rising, loads falling), and the fuel the
  // engine truly needs at each cell (as a factor of the same kind, row by row).
  TVirtualEngine(std::vector<double> rpmAxis, std::vector<double> loadAxis,
                 std::vector<double> need, TVirtualEngineOptions options = {});

  // The fuel map the unit delivers by: its factors as the unit uses them, row by row.
  void SetFuelMap(std::vector<double> factors);
  // Starts the drive again from the beginning (cold again when so set), with a new sweep.
  void Restart(unsigned seed);

  // The next record of the drive.
  LiveRecord Step();
  // The records of `seconds` of driving.
  std::vector<LiveRecord> Drive(double seconds);
  // How long one sweep over the map takes.
  double SweepSeconds() const;

  // The mixture at an operating point (warm, steady): 14.7 x need / delivery.
  double SteadyAfr(double rpm, double load) const;
  const std::vector<double>& Need() const { return fNeed; }

 private:
  struct Point {
    double rpm, load;
    bool overrun;
  };
  void PlanSweep();
  double ThrottleOf(double rpm, double load) const;

  std::vector<double> fRpm, fLoad, fNeed, fFuel;
  TVirtualEngineOptions fOptions;
  std::mt19937 fRandom;
  std::vector<Point> fPlan;
  size_t fPoint = 0;
  double fTime = 0, fInPoint = 0;
  double fCoolant = 20;
  double fWetting = 0;  // the wall film's effect on the mixture, a share
  double fLastTps = 0;
  Point fFrom{}, fTo{};
  std::deque<double> fPipe;  // the mixture on its way to the sensor
};
