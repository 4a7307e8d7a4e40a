#pragma once
// Dial: a round gauge painted with QPainter: a 300° or 180° scale with round major ticks,
// three coloured zones, a caption, a red main needle and an optional second needle. Values
// beyond the scale show at its ends; the dial repaints only when what it shows changes.

#include <QColor>
#include <QPointF>
#include <QString>
#include <QWidget>

// The colour the desktop marks active things with (window captions, selections); used
// for the "active caption" colours of the gauges and the curves.
QColor SystemActiveCaptionColor();

// A round step (1, 2 or 5 times a power of ten) that cuts `range` into about `divisions`
// parts, the closest on a logarithmic scale.
double DialMajorStep(double range, int divisions);

class QPainter;

class Dial : public QWidget {
  Q_OBJECT
 public:
  enum class Arc { Deg300, Deg180 };

  explicit Dial(QWidget* parent = nullptr);

  // --- Set-up ---
  void SetArc(Arc arc);
  void SetScale(double minimum, double maximum, int divisions);
  void SetZones(double low, double high, QColor lowColor, QColor normalColor, QColor highColor);
  void SetCaption(const QString& caption, int pixelSize);
  // A round dial puts its caption below the hub unless told otherwise; a half dial always
  // above it.
  void SetCaptionAboveHub(bool above);
  void SetMinorTicks(bool on);
  void SetNeedleWidth(int pixels);
  void SetSecondNeedleVisible(bool on);
  void SetCoverColor(QColor color);

  // --- Readings ---
  // Moves the main needle to the value clamped to the scale; repaints only on a change.
  void SetValue(double value);
  void SetSecondValue(double value);
  // What the needles show (clamped).
  double Value() const { return fValue; }
  double SecondValue() const { return fSecondValue; }
  double Minimum() const { return fMinimum; }
  double Maximum() const { return fMaximum; }
  double MajorStep() const { return fMajorStep; }
  QString Caption() const { return fCaption; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Where the dial face lies in the widget: the hub, the outer radius, the width of the
  // zone band and the radius of the scale line.
  struct Face {
    QPointF centre;
    double radius = 0, band = 0, scaleRadius = 0;
  };
  // Sets a set-up field and repaints.
  template <typename T>
  void Set(T& field, const T& value) {
    field = value;
    update();
  }
  Face FaceGeometry() const;
  void DrawScale(QPainter& p, const Face& face) const;
  void DrawTicks(QPainter& p, const Face& face) const;
  void DrawCaption(QPainter& p, const Face& face) const;
  void DrawNeedles(QPainter& p, const Face& face) const;
  double Clamp(double value) const;
  // Angle in degrees, counter-clockwise from three o'clock, of a scale value.
  double AngleOf(double value) const;

  Arc fArc = Arc::Deg300;
  double fMinimum = 0, fMaximum = 100, fMajorStep = 10;
  double fLow = 0, fHigh = 100;
  QColor fLowColor = Qt::white, fNormalColor = Qt::white, fHighColor = Qt::red;
  QString fCaption;
  int fCaptionPixels = 16;
  bool fCaptionAbove = false;
  bool fMinorTicks = true;
  int fNeedleWidth = 7;
  bool fSecondNeedle = false;
  QColor fCoverColor;
  double fValue = 0, fSecondValue = 0;
};
