#include "ui/widgets/PieGauge.h"

#include <QPainter>

TPieGauge::TPieGauge(QWidget* parent) : QWidget(parent) {}

void TPieGauge::SetProgress(int value) {
  if (value == fProgress) return;
  fProgress = value;
  update();
}

void TPieGauge::SetMaxValue(int value) {
  fMaxValue = value;
  update();
}

void TPieGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height()) - 2;
  const QRectF disc((width() - side) / 2.0, (height() - side) / 2.0, side, side);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::white);
  painter.drawEllipse(disc);
  if (fMaxValue > 0 && fProgress > 0) {
    painter.setBrush(Qt::black);
    const int span = -static_cast<int>(360.0 * 16 * std::min(fProgress, fMaxValue) / fMaxValue);
    painter.drawPie(disc, 90 * 16, span);
  }
}
