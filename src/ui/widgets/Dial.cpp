#include "ui/widgets/Dial.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <numbers>

QColor SystemActiveCaptionColor() {
  return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

double DialMajorStep(double range, int divisions) {
  if (!(range > 0) || divisions < 1) return 1;
  const double target = range / divisions;
  const double decade = std::pow(10.0, std::floor(std::log10(target)));
  double best = decade, bestError = INFINITY;
  for (double scale : {decade / 10, decade, decade * 10})
    for (double mantissa : {1.0, 2.0, 5.0}) {
      const double step = mantissa * scale;
      const double error = std::fabs(std::log(step / target));
      if (error < bestError - 1e-12) {
        best = step;
        bestError = error;
      }
    }
  return best;
}

Dial::Dial(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  fCoverColor = palette().color(QPalette::Button);
}

void Dial::SetArc(Arc arc) {
  Set(fArc, arc);
}

void Dial::SetScale(double minimum, double maximum, int divisions) {
  fMinimum = minimum;
  fMaximum = maximum;
  fMajorStep = DialMajorStep(maximum - minimum, divisions);
  fValue = Clamp(fValue);
  fSecondValue = Clamp(fSecondValue);
  update();
}

void Dial::SetZones(double low, double high, QColor lowColor, QColor normalColor,
                    QColor highColor) {
  fLow = low;
  fHigh = high;
  fLowColor = lowColor;
  fNormalColor = normalColor;
  fHighColor = highColor;
  update();
}

void Dial::SetCaption(const QString& caption, int pixelSize) {
  fCaption = caption;
  fCaptionPixels = pixelSize;
  update();
}

void Dial::SetCaptionAboveHub(bool above) {
  Set(fCaptionAbove, above);
}

void Dial::SetMinorTicks(bool on) {
  Set(fMinorTicks, on);
}

void Dial::SetNeedleWidth(int pixels) {
  Set(fNeedleWidth, pixels);
}

void Dial::SetSecondNeedleVisible(bool on) {
  Set(fSecondNeedle, on);
}

void Dial::SetCoverColor(QColor color) {
  Set(fCoverColor, color);
}

double Dial::Clamp(double value) const {
  if (std::isnan(value)) return fMinimum;
  return std::clamp(value, fMinimum, fMaximum);
}

void Dial::SetValue(double value) {
  const double shown = Clamp(value);
  if (shown == fValue) return;
  fValue = shown;
  update();
}

void Dial::SetSecondValue(double value) {
  const double shown = Clamp(value);
  if (shown == fSecondValue) return;
  fSecondValue = shown;
  if (fSecondNeedle) update();
}

double Dial::AngleOf(double value) const {
  const double span = fMaximum - fMinimum;
  const double fraction = span > 0 ? (value - fMinimum) / span : 0;
  if (fArc == Arc::Deg180) return 180.0 - 180.0 * fraction;
  return 240.0 - 300.0 * fraction;
}

namespace {

QPointF Polar(QPointF centre, double radius, double degrees) {
  const double a = degrees * std::numbers::pi / 180.0;
  return {centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a)};
}

QRectF Square(QPointF centre, double radius) {
  return {centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius};
}

void DrawNeedle(QPainter& p, QPointF centre, double tip, double tail, double angle, int width,
                QColor color, QColor outline) {
  const QPointF from = Polar(centre, -tail, angle);
  const QPointF to = Polar(centre, tip, angle);
  if (outline.isValid()) {
    p.setPen(QPen(outline, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    width = std::max(1, width - 2);
  }
  p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
}

}  // namespace

Dial::Face Dial::FaceGeometry() const {
  Face face;
  if (fArc == Arc::Deg180) {
    face.radius = std::min(width() / 2.0 - 6, height() - 18.0);
    face.centre = QPointF(width() / 2.0, height() - 12.0);
  } else {
    face.radius = std::min(width(), height()) / 2.0 - 6;
    face.centre = QPointF(width() / 2.0, height() / 2.0 + face.radius * 0.06);
  }
  face.band = std::max(4.0, face.radius * 0.08);
  face.scaleRadius = face.radius - 1;
  return face;
}

void Dial::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), Qt::black);
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  const Face face = FaceGeometry();
  if (face.radius < 10) return;
  DrawScale(p, face);
  DrawTicks(p, face);
  DrawCaption(p, face);
  DrawNeedles(p, face);
}

void Dial::DrawScale(QPainter& p, const Face& face) const {
  // Zones on the scale background, the white scale line on their outer edge.
  auto zone = [&](double from, double to, QColor color) {
    from = Clamp(from);
    to = Clamp(to);
    if (to <= from) return;
    const double a1 = AngleOf(from), a2 = AngleOf(to);
    p.setPen(QPen(color, face.band, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(Square(face.centre, face.scaleRadius - face.band / 2), qRound(a1 * 16),
              qRound((a2 - a1) * 16));
  };
  zone(fMinimum, fLow, fLowColor);
  zone(fLow, fHigh, fNormalColor);
  zone(fHigh, fMaximum, fHighColor);
  const double a0 = AngleOf(fMinimum), a1 = AngleOf(fMaximum);
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::FlatCap));
  p.drawArc(Square(face.centre, face.scaleRadius), qRound(a0 * 16), qRound((a1 - a0) * 16));
}

void Dial::DrawTicks(QPainter& p, const Face& face) const {
  // Ticks at round values, short ones between them, both inside the zone band so that
  // they stay visible on a white zone; the labels inside the ticks.
  const double step = fMajorStep;
  const double tickStart = face.scaleRadius - face.band;
  const double majorLength = std::max(5.0, face.radius * 0.1);
  const double epsilon = step * 1e-9;
  if (fMinorTicks) {
    const double first = std::round(step / std::pow(10.0, std::floor(std::log10(step))));
    const double minor = step / (first == 2 ? 4 : 5);
    p.setPen(QPen(Qt::white, 1));
    for (double k = std::ceil((fMinimum - epsilon) / minor); k * minor <= fMaximum + epsilon; ++k) {
      const double a = AngleOf(k * minor);
      p.drawLine(Polar(face.centre, tickStart, a),
                 Polar(face.centre, tickStart - majorLength / 2, a));
    }
  }
  QFont labelFont = font();
  labelFont.setPixelSize(11);
  labelFont.setBold(true);
  p.setFont(labelFont);
  const QFontMetricsF labelMetrics(labelFont);
  for (double k = std::ceil((fMinimum - epsilon) / step); k * step <= fMaximum + epsilon; ++k) {
    const double v = k * step;
    const double a = AngleOf(v);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(Polar(face.centre, face.scaleRadius, a),
               Polar(face.centre, tickStart - majorLength, a));
    const QString text = QString::number(std::round(v), 'f', 0);
    const QSizeF size = labelMetrics.size(0, text);
    // Step in by half the label's extent along the radius, whatever its direction.
    const double inset = face.band + majorLength + 3 +
                         0.5 * (std::fabs(std::cos(a * std::numbers::pi / 180)) * size.width() +
                                std::fabs(std::sin(a * std::numbers::pi / 180)) * size.height());
    const QPointF at = Polar(face.centre, face.scaleRadius - inset, a);
    p.drawText(
        QRectF(at.x() - size.width() / 2, at.y() - size.height() / 2, size.width(), size.height()),
        Qt::AlignCenter, text);
  }
}

void Dial::DrawCaption(QPainter& p, const Face& face) const {
  QFont captionFont = font();
  captionFont.setPixelSize(fCaptionPixels);
  captionFont.setBold(true);
  p.setFont(captionFont);
  p.setPen(Qt::white);
  const double y = face.centre.y();
  const double captionY = fArc == Arc::Deg180 ? y - face.radius * 0.42
                          : fCaptionAbove     ? y - face.radius * 0.3
                                              : y + face.radius * 0.32;
  p.drawText(QRectF(face.centre.x() - face.radius, captionY - fCaptionPixels, 2 * face.radius,
                    2.0 * fCaptionPixels),
             Qt::AlignCenter, fCaption);
}

void Dial::DrawNeedles(QPainter& p, const Face& face) const {
  // The second needle under the main one, then the centre cover.
  const double tip = face.scaleRadius - face.band - 2;
  const double tail = 0;
  if (fSecondNeedle)
    DrawNeedle(p, face.centre, tip, tail, AngleOf(fSecondValue), 7, Qt::black, Qt::white);
  DrawNeedle(p, face.centre, tip, tail, AngleOf(fValue), fNeedleWidth, Qt::red, QColor());
  const double cover = std::max(fNeedleWidth * 0.9, face.radius * 0.09);
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(fCoverColor);
  p.drawEllipse(face.centre, cover, cover);
}
