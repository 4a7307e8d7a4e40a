// The builders the map editor pages share.
#include "ui/editors/PageParts.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <vector>

#include "common/DecimalText.h"
#include "ui/editors/EditorRules.h"
#include "ui/widgets/CurvePlot.h"
#include "ui/widgets/StringGrid.h"

namespace PageParts {
QGroupBox* Group(QWidget* parent, const char* name, const QString& caption, int x, int y, int w,
                 int h) {
  auto* group = Named(new QGroupBox(caption, parent), name);
  group->setGeometry(x, y, w, h);
  return group;
}

QLabel* Text(QWidget* parent, const QString& text, int x, int y, const char* name) {
  auto* label = new QLabel(text, parent);
  if (name) label->setObjectName(QString::fromLatin1(name));
  label->move(x, y);
  label->adjustSize();
  return label;
}

void LoadCaption(QWidget* parent, int x, int y) {
  auto* label = new QLabel(
      QCoreApplication::translate("TMapEditors", "Н\nа\nг\nр\nу\nз\nк\nа\n\nм\nс"), parent);
  label->setAlignment(Qt::AlignHCenter);
  label->move(x, y);
  label->adjustSize();
}

void PageButton(QWidget* page, const char* name) {
  auto* button = Named(new QToolButton(page), name);
  button->setIcon(page->style()->standardIcon(QStyle::SP_ComputerIcon));
  button->setAutoRaise(true);
  button->setGeometry(680, 6, 23, 22);
}

TStringGrid* Grid(QWidget* parent, const char* name, int cols, int rows, int fixedCols,
                  int fixedRows, QRect geometry) {
  auto* grid = Named(new TStringGrid(cols, rows, fixedCols, fixedRows, parent), name);
  grid->setGeometry(geometry);
  Fit(grid, true, true);
  grid->setEnabled(false);
  return grid;
}

TLineChart* Chart(QWidget* parent, const char* name, const TLineChart::Style& style,
                  QRect geometry) {
  auto* chart = Named(new TLineChart(style, parent), name);
  chart->setGeometry(geometry);
  return chart;
}

TLineChart::Style TableCurve() {
  TLineChart::Style style;
  style.lineColor = Qt::red;
  style.lineWidth = 3;
  style.xGridStep = 500;
  style.yGridStep = 5;
  style.xDecimals = 0;
  style.yDecimals = 1;
  return style;
}

void Fit(TStringGrid* grid, bool rows, bool cols) {
  if (rows) grid->SetDefaultRowHeight(FitCellSize(grid->height(), grid->RowCount()));
  if (cols) grid->SetDefaultColWidth(FitCellSize(grid->width(), grid->ColCount()));
}

void SizeFromConfig(TStringGrid* grid, int cols, int rows) {
  const bool changed = grid->ColCount() != cols || grid->RowCount() != rows;
  grid->SetColCount(std::max(cols, 0));
  grid->SetRowCount(std::max(rows, 0));
  if (changed) Fit(grid, true, true);
}
void DrawRows(TLineChart* chart, TStringGrid* grid, double yTopExtra) {
  std::vector<double> x, y;
  for (int c = 0; c < grid->ColCount(); ++c) {
    x.push_back(StrToFloat(grid->Cell(c, 0)));
    y.push_back(StrToFloat(grid->Cell(c, 1)));
  }
  PlotCurve(*chart, x, y, yTopExtra);
}

std::vector<double> MatrixRow(const std::vector<std::vector<double>>& table, int row) {
  return row < static_cast<int>(table.size()) ? table[row] : std::vector<double>{};
}

void Enable(std::initializer_list<QWidget*> widgets, bool enabled) {
  for (QWidget* widget : widgets) widget->setEnabled(enabled);
}
}  // namespace PageParts
