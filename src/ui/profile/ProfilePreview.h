#pragma once
// The profile editor's live decode: one table of an image object shown as a grid and a small
// chart, the way the map pages lay it out (a map with the RPM axis in the top row and the
// load axis in the first column, the last load row at the top; a curve as its axis row over
// its value row).

#include <QString>

#include "image/EfiOperator.h"
#include "image/ImageTable.h"

class TStringGrid;
class TLineChart;

// Fills the grid and the chart with `table` of `op`, decoded (tables of no grid, such as the
// rev limiter, leave both empty).
void ShowPreview(TStringGrid& grid, TLineChart& chart, const TEFIOperator& op, TImageTable table);
// Empties both.
void ClearPreview(TStringGrid& grid, TLineChart& chart);
// One line on a single value of the image: the version text, the rev limit or the CO trim;
// empty for a table.
QString ValueLine(const TEFIOperator& op, TImageTable table);
