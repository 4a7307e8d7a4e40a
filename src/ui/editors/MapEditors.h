#pragma once
// TMapEditors: the map editor pages of the main window. It builds the grids, charts and
// settings controls on their tab sheets, moves the tables between TEFIOperator and the
// grids (FillGrids, CollectGrids), checks typed values, keeps the colour scale of the
// part-load maps and redraws the table charts.

#include <QObject>
#include <cstdint>
#include <functional>

#include "image/CodeRange.h"

class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QWidget;
class QToolButton;
class TColorLegend;
class TfrmMain;
class TLineChart;
class TRadioGroup;
class TStringGrid;

class TMapEditors : public QObject {
  Q_OBJECT
 public:
  explicit TMapEditors(TfrmMain& form);

  // Copies the tables into the grids (decoding the image first unless `alreadyDecoded`).
  void FillGrids(bool alreadyDecoded);
  // Parses the grids back into the tables (mode 1; other modes do nothing).
  void CollectGrids(uint8_t mode);

  // Recomputes a map's colour range from its data cells, widened or not.
  void RecomputeFuelRange(bool widen);
  void RecomputeSparkRange(bool widen);

  // Chart redraws from the grid cells (the fill draws from the tables).
  void DrawXXIgnFromGrid();
  void DrawMaxIgnFromGrid();
  void DrawMaxFuelFromGrid();
  void DrawMAFFromGrid();
  void DrawLambda();

  // The values a cell of this table may hold in the current variant: what its code can
  // store, and for the part-load maps no more than their limits.
  TValueRange EditRange(TCodedTable table) const;

  // Rev limiter snapping on leaving seMaxRMP.
  void SnapRevLimit();

  // --- Widgets (object names as the class members) ---
  TStringGrid* sgFuelMain = nullptr;
  TStringGrid* sgIgnMain = nullptr;
  TStringGrid* sgrdIgnXX = nullptr;
  TStringGrid* sgrdFuelXX = nullptr;
  TStringGrid* sgrdRPMTempCorr = nullptr;
  TStringGrid* sgrdIgnMax = nullptr;
  TStringGrid* sgrdFuelMax = nullptr;
  TStringGrid* sgMAF = nullptr;
  // The keys of the part-load maps' colour scale.
  TColorLegend* FuelLegend = nullptr;
  TColorLegend* SparkLegend = nullptr;
  TLineChart* chrtXXIgn = nullptr;
  TLineChart* chrtMaxIgn = nullptr;
  TLineChart* chrtMaxFuel = nullptr;
  TLineChart* chrtMAF = nullptr;
  TLineChart* chrtLambda = nullptr;
  QGroupBox* gbFuelXX = nullptr;
  QGroupBox* gbMAF = nullptr;
  QGroupBox* gbCOreg = nullptr;
  QGroupBox* gbWideLam = nullptr;
  QGroupBox* gbRegLam = nullptr;
  QGroupBox* gbLamGrf = nullptr;
  QSpinBox* seMaxRMP = nullptr;
  QDoubleSpinBox* seLamMin = nullptr;
  QDoubleSpinBox* seLamMax = nullptr;
  QDoubleSpinBox* seRegLamSwitch = nullptr;
  TRadioGroup* rgO2Type = nullptr;
  TRadioGroup* rgO2Switch = nullptr;
  QScrollBar* sbCOreg = nullptr;
  QLabel* Label13 = nullptr;
  QPushButton* btnCOReset = nullptr;

  // --- Editing state ---
  double FuelRangeMin = 0, FuelRangeMax = 0, SparkRangeMin = 0, SparkRangeMax = 0;
  double ValueBeforeEdit = 0;
  int32_t MAFValueBeforeEdit = 0;
  int32_t TempCorrValueBeforeEdit = 0;

 private:
  TStringGrid* BuildMainMapPage(QWidget* page, const char* group, const char* grid,
                                const char* button, TColorLegend*& legend);
  void BuildIdlePage();
  void BuildFullLoadPage();
  void BuildSettingsPage();
  void BuildMAFPage();
  void ConnectEditing();
  void ConnectSettings();
  void ConnectColorScale();

  // The check of a cell: restore the remembered value when the text is not a number,
  // hold it within the values its code can store and, where the grid has them, within
  // its limits.
  struct CheckRule {
    TCodedTable table = TCodedTable::FuelMax;
    bool integer = false;
    bool oneDecimal = false;
    int32_t* rememberedInt = nullptr;
  };
  void CheckCell(TStringGrid* grid, int col, int row, const CheckRule& rule);
  void CheckCurrent(TStringGrid* grid, const CheckRule& rule);
  // Runs a grid handler as a command, unless another grid handler is still running: an
  // error box it shows takes the focus from the grid, which would report the grid as left
  // and run the same failing redraw again, one box over the other.
  void GridCommand(const std::function<void()>& handler);
  void Remember(TStringGrid* grid, int col, int row, bool onlyIfNotEmpty, int32_t* integer);
  bool PaintMapCell(TStringGrid* grid, bool fuel, QPainter& painter, const QRect& rect, int col,
                    int row);
  void FillMainMap(TStringGrid* grid, int lo, int hi, int cols, const void* table);
  void ShowCOTrim(int position);

  TfrmMain& fForm;
  bool fFillingCOreg = false;
  bool fInGridHandler = false;
};
