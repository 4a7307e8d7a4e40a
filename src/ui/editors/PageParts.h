#pragma once
// The small builders the map editor pages share: named widgets at their form geometry, the
// grids, the charts and the captions.

#include <QRect>
#include <QString>
#include <initializer_list>
#include <vector>

#include "ui/widgets/LineChart.h"

class QGroupBox;
class QLabel;
class QWidget;
class TStringGrid;

namespace PageParts {
template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& caption, int x, int y, int w,
                 int h);
QLabel* Text(QWidget* parent, const QString& text, int x, int y, const char* name = nullptr);
// The vertical caption beside a map: "Нагрузка" and "мс", one letter per line.
void LoadCaption(QWidget* parent, int x, int y);
// The small picture button at the top right of a table page; it has no action.
void PageButton(QWidget* page, const char* name);
// A grid at its form geometry with rows and columns fitted to it.
TStringGrid* Grid(QWidget* parent, const char* name, int cols, int rows, int fixedCols,
                  int fixedRows, QRect geometry);
TLineChart* Chart(QWidget* parent, const char* name, const TLineChart::Style& style,
                  QRect geometry);
// The red curve of the idle and full-load tables.
TLineChart::Style TableCurve();
// Fits the rows, the columns or both of a grid to its size.
void Fit(TStringGrid* grid, bool rows, bool cols);
// Sizes a small grid from the configuration; its cells are fitted again only when the
// configuration differs from the form.
void SizeFromConfig(TStringGrid* grid, int cols, int rows);
// Row 0 against row 1 of a grid, one point per column; the ranges run from column 0 and
// the pen starts at the origin.
void DrawRows(TLineChart* chart, TStringGrid* grid, double yTopExtra);
// A row of a decoded table (none where the table has fewer rows).
std::vector<double> MatrixRow(const std::vector<std::vector<double>>& table, int row);
// The enabled state of every widget given.
void Enable(std::initializer_list<QWidget*> widgets, bool enabled);
}  // namespace PageParts
