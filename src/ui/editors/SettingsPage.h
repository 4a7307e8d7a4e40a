#pragma once
// TSettingsPage: the engine settings page: the rev limiter, the CO trim, the throttle
// calibration (not in use) and the lambda panel (sensor type and range, the switch and the
// sensor's line). Its values are settings of the calibration document: a change is a step
// of the history (consecutive changes of one control join into one), and every change of
// the document shows in the controls.

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include "telemetry/WideBand.h"

class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QWidget;
class TCalibration;
class TEFIOperator;
class TLineChart;
class TRadioGroup;
struct TEditorState;

class TSettingsPage : public QObject {
  Q_DECLARE_TR_FUNCTIONS(TMapEditors)
 public:
  TSettingsPage(QObject* parent, TCalibration& doc, TEditorState& state, QWidget* sheet);

  // Sets the controls up for the variant of `efi` (before the load).
  void LayOut(const TEFIOperator& efi);
  // Shows the loaded rev limit and CO trim.
  void ShowLoaded(const TEFIOperator& efi);
  // The values the panel shows now become the document's unedited settings.
  void TakeBaseline();
  // The rev limit into `efi` as the save stores it.
  void CollectMaxRPM(TEFIOperator& efi) const;

  // Whether a wide-band sensor is chosen, and the voltage range it is set to.
  bool WideBand() const;
  TWideBandRange LambdaRange() const;
  void DrawLambda();
  // Rev limiter snapping on leaving seMaxRMP.
  void SnapRevLimit();

 private:
  void BuildRevAndCO(QWidget* sheet);
  void BuildLambda(QWidget* sheet);
  void ConnectControls();
  void ConnectDocument();
  void ShowCOTrim(int position);
  void RecordSetting(const QString& key, double value);
  void ShowSetting(const QString& key, double value);

  TCalibration& fDoc;
  TEditorState& fState;
  QSpinBox* seMaxRMP = nullptr;
  QGroupBox* gbCOreg = nullptr;
  QScrollBar* sbCOreg = nullptr;
  QLabel* Label13 = nullptr;
  QPushButton* btnCOReset = nullptr;
  TRadioGroup* rgO2Type = nullptr;
  QGroupBox* gbWideLam = nullptr;
  QDoubleSpinBox* seLamMin = nullptr;
  QDoubleSpinBox* seLamMax = nullptr;
  QGroupBox* gbRegLam = nullptr;
  QDoubleSpinBox* seRegLamSwitch = nullptr;
  QGroupBox* gbLamGrf = nullptr;
  TLineChart* chrtLambda = nullptr;
  TRadioGroup* rgO2Switch = nullptr;
  bool fFillingCOreg = false;
  // Set while consecutive changes of one control are joined into one step.
  bool fMerging = false;
  // The settings key of the last step recorded, and the history's state after it: a next
  // change of the same control while nothing else happened joins that step.
  QString fMergeKey;
  int fHistoryStamp = 0, fMergeStamp = -1;
};
