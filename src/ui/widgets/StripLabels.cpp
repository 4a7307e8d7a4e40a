#include "ui/widgets/StripLabels.h"

#include <QPainter>

namespace {
void PaintText(QLabel* label, const QFont& font, const QString& text) {
  QPainter painter(label);
  painter.setFont(font);
  painter.setPen(label->palette().color(label->foregroundRole()));
  painter.drawText(label->contentsRect(), static_cast<int>(label->alignment()), text);
}
}  // namespace

QFont TFittingLabel::ShownFont() const {
  QFont font = this->font();
  const int room = contentsRect().width();
  // Half a point at a time, down to a size still readable.
  qreal size = QFontInfo(font).pointSizeF();
  while (QFontMetrics(font).horizontalAdvance(text()) > room && size > 6) {
    size -= 0.5;
    font.setPointSizeF(size);
  }
  return font;
}

void TFittingLabel::paintEvent(QPaintEvent* /*event*/) {
  PaintText(this, ShownFont(), text());
}

QString TElidedLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

void TElidedLabel::paintEvent(QPaintEvent* /*event*/) {
  PaintText(this, font(), ShownText());
}
