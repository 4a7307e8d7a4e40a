#pragma once
// The scales between the unit's byte codes and engineering units, shared by the image codec
// (ImageCodec.cpp) and the code ranges (CodeRange.cpp) inside the image library. Every step
// is computed in 80-bit precision and its result stored as a 64-bit float, as the settings
// files written so far depend on it to the bit.

#include <cstdint>

namespace codescales {

// An RPM axis code is the gap to the next breakpoint in steps of 40 rpm; the last code
// counts down from 256 to the top breakpoint.
constexpr long double kRpmStep = 40.0L;
constexpr long double kCodeTop = 256.0L;
// Load breakpoints are injection times in units of 1/20 ms, coded like the RPM axis.
constexpr long double kLoadUnitsPerMs = 20.0L;
// Ignition: degrees = scale x code - offset; the older units use a finer scale.
constexpr long double kSparkScale = 0.75L;
constexpr long double kSparkOffset = 25.0L;
constexpr long double kSparkScaleOld = 0.682L;
constexpr long double kSparkOffsetOld = 14.0L;
// Fuel: a correction factor, 1.00 at code 128, 0.0075 a step.
constexpr long double kFuelStep = 0.0075L;
constexpr int64_t kFuelCentre = 128;
// Warm-up temperatures: degrees = 0.664 x u - 32.9; idle speeds in steps of 10 rpm.
constexpr long double kTempScale = 0.664L;
constexpr long double kTempOffset = 32.9L;
constexpr int64_t kIdleSpeedStep = 10;
// The older units hold the rev limit as a period: rpm = 7380000 / (8 x code).
constexpr long double kPeriodClock = 7380000.0L;
constexpr int64_t kRevStep = 65;

// A table value's code and back: ignition (the older units' finer scale), fuel factors.
double SparkToUnits(double b);
double SparkToCodes(double deg);
double SparkOldToUnits(double b);
double SparkOldToCodes(double deg);
double FuelToUnits(double b);
double FuelToCodes(double f);

}  // namespace codescales
