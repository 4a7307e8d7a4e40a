#pragma once
// The telemetry playback window TFrmTelemetry (unit Telemetryfrm): loads a log through the
// program's one TEFILogger, draws up to twelve of its columns on three paged charts, marks the
// current record with a cursor on every chart, shows its values, and steps, jumps or plays through
// the records.

#include <QWidget>
#include <array>
#include <memory>

#include "telemetry/LogReader.h"

class QCheckBox;
class QComboBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QToolButton;
class TPagedChart;

class TFrmTelemetry : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kPointsPerPage = 500;

  explicit TFrmTelemetry(QWidget* parent = nullptr);
  ~TFrmTelemetry() override;

  // --- Handlers (each runs inside the error box wrapper when connected) ---
  // Asks for a log, loads it, fills the combo boxes and curves, goes to record 1.
  void LoadLogBtnClick();
  void OKBtnClick();
  // Combo box k (1 to 12) chose another column: refill its curve.
  void cbParamChange(int k);
  // Hidden check box k (1 to 12): value labels of the curve of combo box k.
  void cbGrafTicksClick(int k);
  // The position p of scbarLog changed: page follow-up, cursors, value boxes.
  void scbarLogChange(int p);
  void btnPlayClick();
  void btnPauseClick();
  void btnStopClick();
  void btnToBeginClick();
  void btnRewindClick();
  void btnMinusClick();
  void btnPlusClick();
  void btnForwardClick();
  void btnToEndClick();

  // Chart h (1 to 3) and its combo boxes.
  TPagedChart* Chart(int h) const { return fCharts[h - 1]; }
  QComboBox* ParamCombo(int k) const { return fCombos[k - 1]; }

  std::unique_ptr<TEFILogger> TelemetryLogger;
  bool StopRequested = false;

  TPagedChart* DualChart1 = nullptr;
  TPagedChart* DualChart2 = nullptr;
  TPagedChart* DualChart3 = nullptr;
  QScrollBar* scbarLog = nullptr;
  QFrame* pnlButtons = nullptr;
  QPushButton* LoadLogBtn = nullptr;
  QPushButton* OKBtn = nullptr;
  QFileDialog* ODLogFile = nullptr;
  QToolButton* btnPlay = nullptr;
  QToolButton* btnPause = nullptr;
  QToolButton* btnStop = nullptr;
  QToolButton* btnToBegin = nullptr;
  QToolButton* btnRewind = nullptr;
  QToolButton* btnMinus = nullptr;
  QToolButton* btnPlus = nullptr;
  QToolButton* btnForward = nullptr;
  QToolButton* btnToEnd = nullptr;
  // edRPM ... edSpeed (slots 1 to 11), then edTime (slot 0).
  std::array<QLineEdit*, 12> ValueEdits{};

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildBands(QFrame* area);
  void BuildBottom(QFrame* panel);
  QLayout* BuildValueBoxes(QFrame* panel);
  QFrame* BuildPlayerButtons(QFrame* panel);
  void FillCurveFromCombo(int k);
  void ShowRecord(int p);
  void SetPosition(int p);
  int RecordCount() const;
  template <typename F>
  void ForEachChart(F f);

  std::array<TPagedChart*, 3> fCharts{};
  std::array<QComboBox*, 12> fCombos{};
  std::array<QCheckBox*, 12> fTickBoxes{};
};
