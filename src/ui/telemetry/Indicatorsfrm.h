#pragma once
// The dashboard window: nine dials and two numeric labels on a black panel.

#include <QWidget>

class TfrmIndicators : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmIndicators(QWidget* parent = nullptr);
};
