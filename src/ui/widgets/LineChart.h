#pragma once
// TLineChart: a small line chart drawn like a pen plotter: set the x and y ranges, clear,
// move to a start point, draw lines to each point in turn, show. One x scale at the
// bottom, one y scale at the left.

#include <QChartView>
#include <QPointF>
#include <vector>

class QLineSeries;
class QValueAxis;

class TLineChart : public QChartView {
  Q_OBJECT
 public:
  struct Style {
    QColor lineColor = Qt::red;
    int lineWidth = 1;
    double xGridStep = 0;  // 0: no grid lines
    double yGridStep = 0;
    int xDecimals = 0;
    int yDecimals = 1;
  };

  explicit TLineChart(const Style& style, QWidget* parent = nullptr);

  void SetXRange(double low, double high);
  void SetYRange(double low, double high);
  void Clear();
  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  // Shows what has been drawn since the last Clear.
  void Show();

  double XMin() const { return fXMin; }
  double XMax() const { return fXMax; }
  double YMin() const { return fYMin; }
  double YMax() const { return fYMax; }
  // The pen path shown: the start point, then every point drawn to.
  const std::vector<QPointF>& Points() const { return fShown; }

 private:
  void ApplyRange(QValueAxis* axis, double low, double high, double step, int decimals);

  Style fStyle;
  QLineSeries* fSeries;
  QValueAxis* fAxisX;
  QValueAxis* fAxisY;
  double fXMin = 0, fXMax = 1, fYMin = 0, fYMax = 1;
  std::vector<QPointF> fPath;
  std::vector<QPointF> fShown;
};
