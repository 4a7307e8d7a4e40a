#include "ui/widgets/LineChart.h"

#include <QChart>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>
#include <algorithm>
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

namespace {
// Ticks of an axis with grid lines: multiples of `interval` inside low..high.
int TickCount(double low, double high, double interval) {
  return static_cast<int>(std::floor(high / interval + 1e-9) - std::ceil(low / interval - 1e-9)) +
         1;
}

// The next smaller interval of the 1-2-5 series (5 -> 2 -> 1 -> 0.5 ...).
double SmallerInterval(double interval) {
  const double power = std::pow(10.0, std::floor(std::log10(interval) + 1e-9));
  const double mantissa = interval / power;
  if (mantissa > 4.99) return 2 * power;
  if (mantissa > 1.99) return power;
  return power / 2;
}

// Decimals a label needs to tell ticks `interval` apart, at least `minimum`.
int LabelDecimals(double interval, int minimum) {
  const int needed = static_cast<int>(std::ceil(-std::log10(interval) - 1e-9));
  return std::clamp(needed, minimum, 6);
}

}  // namespace

void TLineChart::ApplyRange(QValueAxis* axis, double low, double high, double step, int decimals) {
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
    // Keep the number of grid lines bounded whatever the range, and give a narrow range
    // (full-load factors of 1.05 to 1.25 against a step of 5) finer lines of its own so
    // that its scale is labelled at all.
    double interval = step;
    while ((hi - lo) / interval > 20) interval *= 2;
    for (int i = 0; i < 60 && TickCount(lo, hi, interval) < 3; ++i)
      interval = SmallerInterval(interval);
    axis->setTickInterval(interval);
    decimals = LabelDecimals(interval, decimals);
  } else {
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setTickCount(5);
    decimals = LabelDecimals((hi - lo) / 4, decimals);
  }
  axis->setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + "f");
}

void TLineChart::SetXRange(double low, double high) {
  fXMin = low;
  fXMax = high;
  ApplyRange(fAxisX, low, high, fStyle.xGridStep, fStyle.xDecimals);
}

void TLineChart::SetYRange(double low, double high) {
  fYMin = low;
  fYMax = high;
  ApplyRange(fAxisY, low, high, fStyle.yGridStep, fStyle.yDecimals);
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
