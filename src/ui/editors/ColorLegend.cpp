#include "ui/editors/ColorLegend.h"

#include <QPainter>
#include <algorithm>

#include "ui/editors/TableColors.h"

namespace {
QColor IndexColor(int index) {
  return index < 0 || index > 12 ? QColor(Qt::black) : TableColors()[index];
}

// A box in the colour with the value in it, drawn as the map draws its cells.
void ValueBox(QPainter& painter, const QRect& box, const QColor& color, const QString& text) {
  painter.fillRect(box, color);
  painter.setPen(Qt::black);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  // Black text stays readable on every colour of the scale; on black it is drawn white.
  painter.setPen(color == QColor(Qt::black) ? Qt::white : Qt::black);
  painter.drawText(box, Qt::AlignCenter, text);
}
}  // namespace

TColorLegend::TColorLegend(QWidget* parent) : QWidget(parent) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(12);
  setFont(font);
  setToolTip(tr("Цвет наименьшего и наибольшего значения карты"));
}

void TColorLegend::SetEnds(const QString& lowText, int lowIndex, const QString& highText,
                           int highIndex) {
  fLowText = lowText;
  fHighText = highText;
  fLowIndex = lowIndex;
  fHighIndex = highIndex;
  update();
}

QColor TColorLegend::LowColor() const {
  return IndexColor(fLowIndex);
}

QColor TColorLegend::HighColor() const {
  return IndexColor(fHighIndex);
}

void TColorLegend::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const int boxWidth =
      std::max({metrics.horizontalAdvance(fLowText), metrics.horizontalAdvance(fHighText), 24}) + 8;
  const int h = height();
  const QRect low(0, 0, boxWidth, h);
  const QRect high(width() - boxWidth, 0, boxWidth, h);
  // The scale's colours from the low end's index to the high end's, in equal bands.
  const QRect strip(low.right() + 4, h / 4, high.left() - low.right() - 8, h / 2);
  if (fLowIndex >= 0 && fHighIndex >= 0 && strip.width() > 0) {
    const int steps = std::abs(fHighIndex - fLowIndex) + 1;
    const int dir = fHighIndex >= fLowIndex ? 1 : -1;
    for (int i = 0; i < steps; ++i) {
      const int x0 = strip.left() + strip.width() * i / steps;
      const int x1 = strip.left() + strip.width() * (i + 1) / steps;
      painter.fillRect(QRect(x0, strip.top(), x1 - x0, strip.height()),
                       IndexColor(fLowIndex + dir * i));
    }
  }
  ValueBox(painter, low, LowColor(), fLowText);
  ValueBox(painter, high, HighColor(), fHighText);
}
