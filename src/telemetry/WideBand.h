#pragma once
// The characteristic of a wide-band lambda sensor as the lambda panel sets it: a straight
// line from the panel's maximum voltage at an air-fuel ratio of 10 to its minimum voltage at
// 20. The sensor chart draws this line and the log analysis reads O2 voltages through it.

constexpr double kWideBandAfrRich = 10;  // the ratio at the maximum voltage
constexpr double kWideBandAfrLean = 20;  // the ratio at the minimum voltage

struct TWideBandRange {
  double minVolts = 0;
  double maxVolts = 1.0;

  // A line needs two different voltages, the maximum above the minimum.
  bool Valid() const { return maxVolts > minVolts; }
  // The voltage the sensor gives at `afr`; exactly maxVolts at 10 and minVolts at 20.
  double VoltsAt(double afr) const {
    const double t = (afr - kWideBandAfrRich) / (kWideBandAfrLean - kWideBandAfrRich);
    return (1 - t) * maxVolts + t * minVolts;
  }
  // The air-fuel ratio a voltage stands for, held within 10 .. 20: the line is the sensor's
  // characteristic over its range only, a voltage beyond it says "at least that rich/lean".
  // Needs Valid().
  double AfrAt(double volts) const {
    const double afr = kWideBandAfrRich + (kWideBandAfrLean - kWideBandAfrRich) *
                                              (maxVolts - volts) / (maxVolts - minVolts);
    return afr < kWideBandAfrRich ? kWideBandAfrRich
                                  : (afr > kWideBandAfrLean ? kWideBandAfrLean : afr);
  }
};
