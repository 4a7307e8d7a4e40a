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

// The intersection of two ranges (a check's limits and the storable range).
TValueRange Intersect(const TValueRange& a, const TValueRange& b);
