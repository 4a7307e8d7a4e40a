#include "telemetry/Telemetryfrm.h"

TFrmTelemetry::TFrmTelemetry(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("FrmTelemetry"));
  setWindowTitle(QStringLiteral("Телеметрия DEMO"));
  resize(909, 730);
}
