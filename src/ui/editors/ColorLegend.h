#pragma once
// TColorLegend: the small key beside a part-load map: the colour of the lowest and of the
// highest value now on the map, each with that value, and between them the colours of the
// scale that lie between. The scale adapts to the map's range, so the key follows it.

#include <QColor>
#include <QString>
#include <QWidget>

class TColorLegend : public QWidget {
  Q_OBJECT
 public:
  explicit TColorLegend(QWidget* parent = nullptr);

  // The lowest and highest value as shown on the map and their colour indexes (0..12, or
  // -1 for black when the range gives no colour).
  void SetEnds(const QString& lowText, int lowIndex, const QString& highText, int highIndex);

  QString LowText() const { return fLowText; }
  QString HighText() const { return fHighText; }
  QColor LowColor() const;
  QColor HighColor() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString fLowText, fHighText;
  int fLowIndex = -1, fHighIndex = -1;
};
