#pragma once
// The values a table's one-byte codes can hold, in engineering units. A value beyond them
// has no code: stored as it is it would wrap to an unrelated code (a -30 degree advance
// coming back as 161.7), so the editors and the settings file hold values within them.

#include <cstdint>

// The kinds of coded table value: ignition and fuel values of the idle ("xx"), full-load
// ("max") and part-load ("main") tables, the warm-up idle speeds and the air-mass curve.
enum class TCodedTable {
  SparkXX,
  SparkMax,
  SparkMain,
  FuelXX,
  FuelMax,
  FuelMain,
  WarmUpSpeed,
  MAF,
};

// Inclusive range in engineering units.
struct TValueRange {
  double low = 0;
  double high = 0;
};

// The range a code can store for this table and layout variant: the values of the lowest
// and the highest code, taken inward to the precision the table is shown with (ignition
// one decimal, fuel two, speeds and air-mass values whole), so that both ends encode to
// those codes and show as typed. Variant 1 uses the older ignition scale.
TValueRange StorableRange(TCodedTable table, int version);

// `value` held within `range` (a value inside is returned unchanged, to the bit).
double HoldInRange(double value, const TValueRange& range);

// The fuel factor a fuel table holds after storing `factor` and reading it back: the value
// of the nearest code (one code is 0.0075) as the maps show it, to two decimals. `factor`
// must lie within StorableRange of a fuel table.
double StoredFuelFactor(double factor);

// The factor the unit itself works with for a fuel value as the maps show it: the exact value
// of the code that value is stored as (0.9975 for a shown 1), before any rounding for display.
double UnitFuelFactor(double factor);

// The intersection of two ranges (a check's limits and the storable range).
TValueRange Intersect(const TValueRange& a, const TValueRange& b);

// The rev limiter rule of a layout variant: the rpm a stored code stands for, and the code
// of an rpm before it is taken to 8 bits. Variant 1 stores the period between sparks (its
// rpm to 10 rpm), the others the rpm in fixed steps. Both throw EZeroDivide for 0 in
// variant 1.
int64_t RevLimitFromCode(int version, int64_t code);
int64_t RevLimitCode(int version, int64_t rpm);

// One table value's code and back, as the decoder and the encoder compute them: the value a
// code stands for (ignition to one decimal, fuel to two, warm-up speeds in steps of 10 rpm,
// air-mass values as they are) and the code nearest to a value, before it is held to what
// the table's cells store.
double ValueOfCode(TCodedTable table, int version, int64_t code);
int64_t CodeOfValue(TCodedTable table, int version, double value);

// The axes are stored as whole counts of a unit: RPM breakpoints in 40 rpm, load
// breakpoints in 1/20 ms, warm-up temperatures as a count u that gives whole degrees.
// Counts run from 0 to 256 (an axis code counts down from 256).
enum class TAxisKind { Rpm, Load, Temperature };
constexpr int64_t kAxisUnitsTop = 256;
double AxisValueOfUnits(TAxisKind axis, int64_t units);
int64_t AxisUnitsOfValue(TAxisKind axis, double value);
