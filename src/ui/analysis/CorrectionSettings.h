#pragma once
// TCorrectionSettings: the fuel correction's settings in the log analysis window, and what
// its filters removed. The step a round may take, the authority around the image's own
// factor, the weight a cell needs; the sensor (the lambda panel's wide-band range by default,
// or a line through two points the user sets, or AFR or lambda logged in the O2 channel);
// the filters, each on by default: warm engine, steady state, overrun, a sensor at the ends
// of its line, and the sensor's delay.

#include <QWidget>

#include "analysis/FuelCorrection.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;

class TCorrectionSettings : public QWidget {
  Q_OBJECT
 public:
  explicit TCorrectionSettings(QWidget* parent);

  // The settings into a correction input; `panel` is the lambda panel's wide-band range.
  void ApplyTo(TFuelCorrectionInput& in, const TWideBandRange& panel) const;
  // Shows the panel's line in the two points while the panel's range is chosen.
  void FollowPanel(const TWideBandRange& panel);
  // What each filter removed from the last analysis (none: nothing analysed).
  void ShowCounts(const TFuelCorrection* correction);

  QDoubleSpinBox* seMaxStep = nullptr;
  QDoubleSpinBox* seAuthority = nullptr;
  QDoubleSpinBox* seMinWeight = nullptr;
  QComboBox* cbSensor = nullptr;
  QDoubleSpinBox* seSensorV1 = nullptr;
  QDoubleSpinBox* seSensorAfr1 = nullptr;
  QDoubleSpinBox* seSensorV2 = nullptr;
  QDoubleSpinBox* seSensorAfr2 = nullptr;
  QCheckBox* chkWarm = nullptr;
  QDoubleSpinBox* seMinClt = nullptr;
  QCheckBox* chkSteady = nullptr;
  QDoubleSpinBox* seSteadyWindow = nullptr;
  QDoubleSpinBox* seSteadyTps = nullptr;
  QCheckBox* chkOverrun = nullptr;
  QCheckBox* chkSensorEnds = nullptr;
  QDoubleSpinBox* seDelay = nullptr;
  QLabel* lblFilterCounts = nullptr;

 signals:
  void Changed();

 private:
  QWidget* BuildSensor();
  QWidget* BuildFilters();
  void SensorKindChanged();
};
