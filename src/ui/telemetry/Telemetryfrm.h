#pragma once
// The telemetry playback window.

#include <QWidget>

class TFrmTelemetry : public QWidget {
  Q_OBJECT
 public:
  explicit TFrmTelemetry(QWidget* parent = nullptr);
};
