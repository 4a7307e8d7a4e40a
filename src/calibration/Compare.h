#pragma once
// Comparison of two calibrations: the current one and a reference, table by table and cell
// by cell, in grid coordinates. Axis cells count as cells, so a moved RPM or load breakpoint
// is a difference; values are compared, not texts ("1,0" and "1" are the same value). A table
// whose shape differs between the two (another layout or version) is listed as not
// comparable instead of being compared cell by cell.

#include <QString>
#include <optional>
#include <vector>

#include "calibration/Calibration.h"

class TEFIOperator;

// One cell whose value differs.
struct TCellDiff {
  int col = 0, row = 0;  // grid coordinates, fixed rows and columns counted in
  bool axis = false;     // a header cell (an axis breakpoint)
  QString currentText, referenceText;
  std::optional<double> current, reference;  // empty where the cell holds no number
  // The axis values the cell stands for in the current table (rpm, load, temperature);
  // empty where the table has no such axis.
  std::optional<double> columnAxis, rowAxis;
  // current - reference, where both are numbers, at the precision of the two texts.
  std::optional<double> Difference() const;
};

// One table of the comparison.
struct TTableDiff {
  TTableId id = TTableId::FuelMain;
  bool comparable = true;
  QString reason;  // why not comparable ("8 x 16 against 16 x 16")
  std::vector<TCellDiff> cells;
  // The difference at a cell, or null.
  const TCellDiff* Find(int col, int row) const;
};

struct TCompareResult {
  std::vector<TTableDiff> tables;  // one per table present in either calibration
  int DifferentCells() const;
  int NotComparable() const;
  bool Equal() const { return DifferentCells() == 0 && NotComparable() == 0; }
  const TTableDiff* Table(TTableId id) const;
};

// Whether two cell texts hold the same value (numbers by value, other texts as written).
bool SameCellValue(const QString& a, const QString& b);

// Compares one table of each; the two must have the same id.
TTableDiff CompareTable(const TCalTable& current, const TCalTable& reference);
// Compares the tables of both lists by id; a table only one list has is not comparable.
TCompareResult CompareTables(const std::vector<TCalTable>& current,
                             const std::vector<TCalTable>& reference);
TCompareResult Compare(const TCalibration& current, const TCalibration& reference);

// Reads a calibration file into `op`, whose configuration is set: a settings file by its
// ".dme" ending (its version text adopted), an image otherwise, decoded. Throws the core's
// errors (ERuntimeError with the reason where the configuration does not fit the file).
void LoadCalibrationFile(TEFIOperator& op, const QString& path);
