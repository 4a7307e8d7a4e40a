#include "editors/LineChart.h"

#include <QChart>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>
#include <cmath>

TLineChart::TLineChart(const Style& style, QWidget* parent)
    // The view gets its chart at construction: a chart set later would leave the view's
    // default chart released but never deleted.
    : QChartView(new QChart, parent),
      fStyle(style),
      fSeries(new QLineSeries),
      fAxisX(new QValueAxis),
      fAxisY(new QValueAxis) {
  QChart* chart = this->chart();
  chart->legend()->hide();
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->setBackgroundRoundness(0);
  // Axis labels with the user's decimal separator.
  chart->setLocalizeNumbers(true);
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  chart->setLocale(locale);
  chart->addSeries(fSeries);
  QPen pen(style.lineColor);
  pen.setWidth(style.lineWidth);
  fSeries->setPen(pen);
  QFont labels(QStringLiteral("MS Sans Serif"));
  labels.setPixelSize(10);
  for (QValueAxis* axis : {fAxisX, fAxisY}) {
    axis->setLabelsFont(labels);
    axis->setGridLineVisible(false);
    axis->setMinorGridLineVisible(false);
    axis->setTruncateLabels(false);
  }
  fAxisX->setLabelFormat(QStringLiteral("%.") + QString::number(style.xDecimals) + "f");
  fAxisY->setLabelFormat(QStringLiteral("%.") + QString::number(style.yDecimals) + "f");
  QPen grid(Qt::gray);
  grid.setStyle(Qt::DotLine);
  if (style.xGridStep > 0) {
    fAxisX->setGridLineVisible(true);
    fAxisX->setGridLinePen(grid);
  }
  if (style.yGridStep > 0) {
    fAxisY->setGridLineVisible(true);
    fAxisY->setGridLinePen(grid);
  }
  chart->addAxis(fAxisX, Qt::AlignBottom);
  chart->addAxis(fAxisY, Qt::AlignLeft);
  fSeries->attachAxis(fAxisX);
  fSeries->attachAxis(fAxisY);
  setRenderHint(QPainter::Antialiasing);
}

void TLineChart::ApplyRange(QValueAxis* axis, double low, double high, double step) {
  // An empty range (low equal to high) is widened a little so the line stays visible;
  // a backward range is shown the right way round.
  double lo = std::min(low, high), hi = std::max(low, high);
  if (!(hi > lo)) {
    const double pad = std::max(std::fabs(lo) * 0.01, 0.5);
    lo -= pad;
    hi += pad;
  }
  axis->setRange(lo, hi);
  if (step > 0) {
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    // Keep the number of grid lines bounded whatever the range.
    double interval = step;
    while ((hi - lo) / interval > 20) interval *= 2;
    axis->setTickInterval(interval);
  } else {
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setTickCount(5);
  }
}

void TLineChart::SetXRange(double low, double high) {
  fXMin = low;
  fXMax = high;
  ApplyRange(fAxisX, low, high, fStyle.xGridStep);
}

void TLineChart::SetYRange(double low, double high) {
  fYMin = low;
  fYMax = high;
  ApplyRange(fAxisY, low, high, fStyle.yGridStep);
}

void TLineChart::Clear() {
  fPath.clear();
  fShown.clear();
  fSeries->clear();
}

void TLineChart::MoveTo(double x, double y) {
  fPath.clear();
  fPath.emplace_back(x, y);
}

void TLineChart::LineTo(double x, double y) {
  fPath.emplace_back(x, y);
}

void TLineChart::Show() {
  fShown = fPath;
  fSeries->replace(QList<QPointF>(fShown.begin(), fShown.end()));
}
