#pragma once
// A small pie gauge: a disc filled clockwise from the top in proportion to its progress.

#include <QWidget>

class TPieGauge : public QWidget {
  Q_OBJECT
 public:
  explicit TPieGauge(QWidget* parent = nullptr);
  int Progress() const { return fProgress; }
  int MaxValue() const { return fMaxValue; }
  void SetProgress(int value);
  void SetMaxValue(int value);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int fProgress = 0;
  int fMaxValue = 100;
};
