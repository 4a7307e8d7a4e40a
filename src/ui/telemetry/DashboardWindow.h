#pragma once
// The dashboard window TfrmIndicators (unit Indicatorsfrm): nine dials and two numeric labels on a
// black panel, fed with the live values while it is showing.

#include <QWidget>

#include "telemetry/LiveRecord.h"

class Dial;
class QLabel;

class TfrmIndicators : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmIndicators(QWidget* parent = nullptr);

  // Shows one live record on the meters and labels. The second needle of RPMmeter follows
  // the engine speed while it rises and stays while it falls.
  void ShowOnDashboard(const LiveRecord& values);

  Dial* RPMmeter = nullptr;
  Dial* MAFmeter = nullptr;
  Dial* LambdaMeter = nullptr;
  Dial* VoltMeter = nullptr;
  Dial* CoolantMeter = nullptr;
  Dial* AirTMeter = nullptr;
  Dial* IgnAngMeter = nullptr;
  Dial* DCycleMeter = nullptr;
  Dial* TrottleMeter = nullptr;
  QLabel* lLambdaNum = nullptr;
  QLabel* lSpeed = nullptr;
  QLabel* Label2 = nullptr;

 private:
  void KeepUnitBesideSpeed();
};
