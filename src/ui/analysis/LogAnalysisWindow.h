#pragma once
// TfrmLogAnalysis: "Анализ ЛОГа на картах". Lays a telemetry log (a file in the program's
// own format, or the log the telemetry window holds) over the part-load fuel and ignition
// maps: per cell the records, the time spent and the mean, minimum and maximum of a chosen
// channel, as marks on the maps and tooltips. From a wide-band sensor's O2 it proposes a
// fuel correction, shown as a table in the window and applied to the fuel map as one
// undoable step only when the user says so. The wanted ratio is one AFR or a table of the
// fuel map's shape that the user edits, saves and loads.

#include <QWidget>
#include <functional>
#include <vector>

#include "analysis/FuelCorrection.h"
#include "analysis/LogAnalysis.h"
#include "telemetry/LogColumns.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TCorrectionSettings;
class TLogOverlay;
class TMapEditors;
class TStringGrid;

class TfrmLogAnalysis : public QWidget {
  Q_OBJECT
 public:
  // The records the telemetry window holds now (none when it holds no log).
  using TelemetryLog = std::function<std::vector<LiveRecord>()>;

  TfrmLogAnalysis(QWidget* parent, TMapEditors& maps);
  void SetTelemetryLog(TelemetryLog telemetryLog) { fTelemetryLog = std::move(telemetryLog); }
  ~TfrmLogAnalysis() override;

  // The log to analyse: a file read by the program's log reader, or the telemetry window's.
  // A file whose line is not a record keeps the records before it, and says so.
  void LoadLogFile(const QString& path);
  void TakeTelemetryLog();
  // Sets the records directly (`source` names them in the window).
  void SetRecords(std::vector<LiveRecord> records, const QString& source);
  // "Открыть ЛОГ...": the file dialog, then LoadLogFile.
  void OpenLogClick();
  // Analyses again with the window's settings and shows the result on the maps and in the
  // correction table.
  void Analyse();
  // A double click on a cell of the proposal (grid coordinates) locks it (the correction
  // leaves it as it is) or frees it again.
  void ToggleLock(int col, int row);
  // "Применить": the proposed correction as one step of the calibration's history.
  void ApplyClick();
  // "Сохранить цели..." / "Загрузить цели...": the file dialog, then SaveTargets / LoadTargets.
  void SaveTargetsClick();
  void LoadTargetsClick();
  // The target table as tab-separated text with the fuel map's headers. A file of another
  // shape, other headers or a target outside the limits is refused with one error box and
  // the table stays as it was; false then (and when the file cannot be written).
  bool SaveTargets(const QString& path);
  bool LoadTargets(const QString& path);
  // The wanted AFR of each fuel map cell, row by row as the correction takes them.
  const std::vector<double>& Targets() const { return fTargets; }

  const TLogAnalysis& FuelAnalysis() const { return fFuel; }
  const TLogAnalysis& IgnitionAnalysis() const { return fIgnition; }
  const TFuelCorrection& Correction() const { return fCorrection; }
  // The tooltip of a cell of the proposal table (grid coordinates): records, weight,
  // measured and target AFR, the change or why the cell stays.
  QString CorrectionTip(int col, int row) const;

  QPushButton* btnOpenLog = nullptr;
  QPushButton* btnTelemetryLog = nullptr;
  QLabel* lblSource = nullptr;
  QComboBox* cbChannel = nullptr;
  QSpinBox* seMinRecords = nullptr;
  QCheckBox* chkCoolant = nullptr;
  QDoubleSpinBox* seCoolant = nullptr;
  QCheckBox* chkTps = nullptr;
  QDoubleSpinBox* seTpsStep = nullptr;
  QCheckBox* chkTime = nullptr;
  QDoubleSpinBox* seTimeFrom = nullptr;
  QDoubleSpinBox* seTimeTo = nullptr;
  QCheckBox* chkShowOnMaps = nullptr;
  QLabel* lblSummary = nullptr;
  QRadioButton* rbTargetSingle = nullptr;
  QRadioButton* rbTargetTable = nullptr;
  QDoubleSpinBox* seTargetAfr = nullptr;
  TStringGrid* sgTargetAfr = nullptr;
  QPushButton* btnSaveTargets = nullptr;
  QPushButton* btnLoadTargets = nullptr;
  TCorrectionSettings* settings = nullptr;
  QDoubleSpinBox* seMaxStep = nullptr;  // settings' step, kept at hand
  QLabel* lblLegend = nullptr;
  QLabel* lblCorrection = nullptr;
  TStringGrid* sgCorrection = nullptr;
  QPushButton* btnApply = nullptr;
  QFileDialog* odLogFile = nullptr;
  QFileDialog* odTargetFile = nullptr;
  QFileDialog* sdTargetFile = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildSourceBox();
  QWidget* BuildFilterBox();
  QWidget* BuildCorrectionBox();
  QWidget* BuildTargetBox(QWidget* parent);
  void ConnectTargets();
  void ConnectControls();
  TLogFilter Filter() const;
  TFuelCorrectionInput CorrectionInput();
  void ShowOverlays();
  void ProposeCorrection();
  void ShowCorrection();
  void ShowSummary();
  bool PaintCorrectionCell(QPainter& painter, const QRect& rect, int col, int row);
  // The target table follows the fuel map: its headers, and its shape (a new shape starts
  // from the single target in every cell).
  void ShapeTargets();
  void ShowTargets();
  void TargetTyped(int col, int row);
  void TargetModeChanged();
  QString TargetsText() const;
  double SingleTarget() const;

  TMapEditors& fMaps;
  TelemetryLog fTelemetryLog;
  std::vector<LiveRecord> fRecords;
  // The mapping of the delimited log analysed, none for the own log.
  std::optional<TLogColumns> fColumns;
  static void FitToColumns(const TLogColumns& columns, TFuelCorrectionInput& in);
  QString fSource;
  TLogAnalysis fFuel;
  TLogAnalysis fIgnition;
  TFuelCorrection fCorrection;
  std::vector<double> fTargets;
  // The fuel map's factors as the image was loaded: the authority counts from them.
  std::vector<double> fOriginal;
  // The fuel map cells the user locked, row by row (empty: none).
  std::vector<char> fLocked;
  TMapAxes fTargetAxes;
  // The table holds the user's own targets (typed or loaded), not the single value's copy.
  bool fTargetsEdited = false;
  TLogOverlay* fFuelOverlay = nullptr;
  TLogOverlay* fIgnitionOverlay = nullptr;
  // Set while the window applies its correction: the document's change is its own.
  bool fApplying = false;
  // The proposal shown has been applied; it is not offered again until something changes.
  bool fApplied = false;
};
