#include "ui/widgets/PagedChart.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "ui/widgets/Dial.h"

namespace {

// Sets an axis range with ticks at round values, about five of them. The axis lays out
// its ticks at each of the two changes, so the step is changed first when it grows and
// last when it shrinks: a wide range never meets a fine step.
void SetAxisRange(QValueAxis* axis, double lo, double hi) {
  // Values near the ends of the double range would overflow the span and the steps.
  constexpr double kLimit = 1e300;
  lo = std::clamp(lo, -kLimit, kLimit);
  hi = std::clamp(hi, -kLimit, kLimit);
  if (!(hi > lo)) hi = lo + std::max(1.0, std::fabs(lo) * 1e-9);
  if (axis->min() == lo && axis->max() == hi) return;
  const double step = DialMajorStep(hi - lo, 5);
  if (step >= axis->tickInterval()) {
    axis->setTickInterval(step);
    axis->setRange(lo, hi);
  } else {
    axis->setRange(lo, hi);
    axis->setTickInterval(step);
  }
}

}  // namespace

// The chart is handed to the view's constructor: a view made without one makes its own,
// which setChart would then release without deleting.
TPagedChart::TPagedChart(QWidget* parent) : QChartView(new QChart, parent) {
  QChart* chart = this->chart();
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  chart->setBackgroundBrush(QColor(128, 128, 128));
  chart->setPlotAreaBackgroundBrush(QColor(192, 192, 192));
  chart->setPlotAreaBackgroundVisible(true);
  chart->setMargins(QMargins(2, 2, 2, 2));
  fAxisX = new QValueAxis(chart);
  fAxisY = new QValueAxis(chart);
  for (QValueAxis* axis : {fAxisX, fAxisY}) {
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setGridLineColor(QColor(160, 160, 160));
    QFont font = axis->labelsFont();
    font.setPixelSize(10);
    axis->setLabelsFont(font);
  }
  chart->addAxis(fAxisX, Qt::AlignBottom);
  chart->addAxis(fAxisY, Qt::AlignLeft);
  for (int c = 0; c <= kCursorCurve; ++c) {
    auto* series = new QLineSeries(chart);
    series->setName(QStringLiteral("Graf%1").arg(c + 1));
    series->setPointLabelsFormat(QStringLiteral("@yPoint"));
    chart->addSeries(series);
    series->attachAxis(fAxisX);
    series->attachAxis(fAxisY);
    fSeries[c] = series;
  }
  SetCurveColor(kCursorCurve, Qt::white);
  SetAxisRange(fAxisX, 0, 1);
  SetAxisRange(fAxisY, 0, 1);
  setRenderHint(QPainter::Antialiasing, false);
}

void TPagedChart::SetRecords(const TEFILogList* records) {
  fRecords = records;
  SetPage(std::min(fPage, PageCount()));
}

void TPagedChart::SetCurveColor(int curve, QColor color) {
  QPen pen(color);
  pen.setWidth(curve == kCursorCurve ? 2 : 1);
  fSeries[curve]->setPen(pen);
  fSeries[curve]->setPointLabelsColor(color);
}

void TPagedChart::FillCurve(int curve, int slot) {
  Curve filled;
  if (slot > 0 && fRecords) {
    filled.slot = slot;
    // The extremes over the whole log, once; an empty curve counts as 0.
    const int n = fRecords->Count();
    if (n > 0) {
      filled.lo = filled.hi = ValueOf((*fRecords)[0], slot);
      for (int i = 1; i < n; ++i) {
        const double v = ValueOf((*fRecords)[i], slot);
        filled.lo = std::min(filled.lo, v);
        filled.hi = std::max(filled.hi, v);
      }
    }
  }
  fCurves[curve] = filled;
  ShowPage();
}

void TPagedChart::ClearCurve(int curve) {
  if (curve == kCursorCurve) {
    fSeries[kCursorCurve]->clear();
    fCursorShown = false;
    return;
  }
  fCurves[curve] = Curve{};
  ShowPage();
}

void TPagedChart::ClearAll() {
  fCurves.fill(Curve{});
  fSeries[kCursorCurve]->clear();
  fCursorShown = false;
  ShowPage();
}

int TPagedChart::CurvePointCount(int curve) const {
  if (curve == kCursorCurve) return fCursorShown ? 2 : 0;
  return fCurves[curve].slot > 0 && fRecords ? fRecords->Count() : 0;
}

int TPagedChart::PageCount() const {
  const int n = fRecords ? fRecords->Count() : 0;
  return std::max(1, (n + kPointsPerPage - 1) / kPointsPerPage);
}

void TPagedChart::NextPage() {
  SetPage(fPage + 1);
}
void TPagedChart::PreviousPage() {
  SetPage(fPage - 1);
}
void TPagedChart::FirstPage() {
  SetPage(1);
}
void TPagedChart::LastPage() {
  SetPage(PageCount());
}

void TPagedChart::SetPage(int page) {
  page = std::clamp(page, 1, PageCount());
  if (page == fPage) return;
  fPage = page;
  ShowPage();
}

void TPagedChart::ShowPage() {
  const int n = fRecords ? fRecords->Count() : 0;
  const int first = std::min(n, (fPage - 1) * kPointsPerPage);
  const int last = std::min(n, first + kPointsPerPage);
  // Each change of a line's points or of the axes makes the chart lay out (stroke) the
  // line again; emptying the curves before the axis moves leaves one layout per curve.
  for (int c = 0; c < kDataCurves; ++c)
    if (fSeries[c]->count() > 0) fSeries[c]->clear();
  // The time axis spans the page's records, whether or not a curve is drawn, so that the
  // cursor stands at the same place on every chart.
  if (first < last) {
    double lo = (*fRecords)[first][kTime], hi = lo;
    for (int i = first + 1; i < last; ++i) {
      lo = std::min(lo, (*fRecords)[i][kTime]);
      hi = std::max(hi, (*fRecords)[i][kTime]);
    }
    SetAxisRange(fAxisX, lo, hi);
  }
  UpdateValueAxis();
  for (int c = 0; c < kDataCurves; ++c) {
    if (fCurves[c].slot <= 0 || first == last) continue;
    QList<QPointF> points;
    points.reserve(last - first);
    for (int i = first; i < last; ++i) {
      const LiveRecord& r = (*fRecords)[i];
      points.append(QPointF(r[kTime], ValueOf(r, fCurves[c].slot)));
    }
    fSeries[c]->replace(points);
  }
}

void TPagedChart::UpdateValueAxis() {
  double lo = 0, hi = 0;
  for (const Curve& c : fCurves) {
    if (c.slot <= 0) continue;
    lo = std::min(lo, c.lo);
    hi = std::max(hi, c.hi);
  }
  SetAxisRange(fAxisY, lo, hi * 1.05);
}

void TPagedChart::DrawCursor(double x) {
  double lo = 0, hi = 0;
  for (const Curve& c : fCurves) {
    if (c.slot <= 0) continue;
    lo = std::min(lo, c.lo);
    hi = std::max(hi, c.hi);
  }
  // Kept finite for values near the ends of the double range.
  constexpr double kLimit = 1e300;
  fSeries[kCursorCurve]->replace(
      QList<QPointF>{QPointF(x, std::max(lo, -kLimit)), QPointF(x, std::min(hi * 1.05, kLimit))});
  fCursorShown = true;
}

void TPagedChart::SetValueLabelsVisible(int curve, bool visible) {
  fSeries[curve]->setPointLabelsVisible(visible);
}
