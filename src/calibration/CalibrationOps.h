#pragma once
// The operations on a block of cells, the clipboard and CSV: each computes the step that
// the document then applies as one undo entry. Every result is a value the unit can store:
// held within the cell's limits, turned into the nearest code and shown as that code shows.

#include <QChar>
#include <QString>

#include "calibration/Calibration.h"

// A block of cells in grid coordinates, both corners included.
struct TSelection {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// A cell whose asked value the limits cut: where, what was asked, what it holds now.
struct THeldCell {
  int col = 0, row = 0;
  double asked = 0, stored = 0;
};

// What an operation gives: the step to apply, how many cells the limits cut (the CSV import
// also names them), and an error (what and where) when it cannot be done; with an error the
// step is empty.
struct TOpResult {
  TEditStep step;
  int limited = 0;
  std::vector<THeldCell> held;
  QString error;
};

// Only the data cells of the selection are written (fixed cells never).
TOpResult SetValue(const TCalTable& table, const TSelection& sel, double value);
TOpResult AddValue(const TCalTable& table, const TSelection& sel, double delta);
// percent: 105 = 5 % more.
TOpResult ScalePercent(const TCalTable& table, const TSelection& sel, double percent);
TOpResult StepCodes(const TCalTable& table, const TSelection& sel, int steps);
// Linear between the selection's edge cells, weighted by the axis values (by the index
// where the table has no axis); 2D is bilinear from the four corners.
TOpResult InterpolateH(const TCalTable& table, const TSelection& sel);
TOpResult InterpolateV(const TCalTable& table, const TSelection& sel);
TOpResult Interpolate2D(const TCalTable& table, const TSelection& sel);
// A 3 x 3 weighted average inside the selection; neighbours outside it are read, never written.
TOpResult Smooth(const TCalTable& table, const TSelection& sel);

// The selected cells as tab-separated lines with `decimal` as the decimal separator.
QString CopyText(const TCalTable& table, const TSelection& sel, QChar decimal);
// A block of tab- or semicolon-separated numbers (either decimal mark) placed with its top
// left at (col, row).
TOpResult Paste(const TCalTable& table, int col, int row, const QString& text, QChar decimal);
// The whole table with its axes; fields separated by ";" where `decimal` is ',' and by ","
// otherwise.
QString ExportCsv(const TCalTable& table, QChar decimal);
// Axes and values from such a file, as one step; the shape must match the table. A value
// equal to the cell's own is no change and keeps its text, inside the limits or not; every
// other one is held to the cell's limits.
TOpResult ImportCsv(const TCalTable& table, const QString& csv, QChar decimal);
