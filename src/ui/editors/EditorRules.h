#pragma once
// The rules of the map editors as plain functions of plain values (no widgets): grid
// fitting, the colour index, rev limiter snapping, the number a typed cell holds. The limits and
// the row mapping of the part-load maps are the calibration's (calibration/Calibration.h).

#include <QString>
#include <optional>
#include <vector>

// Fits `count` rows (or columns) into `extent` pixels: extent / count taken to the nearest
// integer (halves to the even neighbour), less 2 for the grid lines.
int FitCellSize(int extent, int count);

// Colour index 0..12 of a fuel factor for the range, or -1 when the range gives none
// (the cell is then black). Values outside the table take its nearer end.
int FuelColorIndex(double value, double rangeMin, double rangeMax);
// The same for an ignition advance: large advance takes the red end (index 0).
int SparkColorIndex(double value, double rangeMin, double rangeMax);

// The rev limit the unit can store nearest to `rpm`: in variant 1 the speed of the period
// code nearest to it, to 10 rpm (0 stays 0; below the speed of the highest code, 255, that
// speed, 3620 rpm); otherwise a multiple of 65 rpm.
int SnapMaxRPM(int version, int rpm);

// The number a typed cell text stands for, as the cell's check reads it: a whole number
// where the grid holds integers (decimal, or hexadecimal after "$"), otherwise a decimal
// with the user's mark or the other one; none for a text the check refuses.
std::optional<double> TypedCellValue(const QString& text, bool integer);
