#pragma once
// TMapEditors: the map editor pages of the main window. It builds the grids, charts and
// settings controls on their tab sheets (MapPages.cpp, SettingsPanel.cpp), moves the
// tables between TEFIOperator and the grids (FillGrids, CollectGrids: MapEditors.cpp),
// checks typed values (CellEditing.cpp), keeps the colour scale of the part-load maps
// (ColorScale.cpp) and redraws the table charts (TableCharts.cpp). The grids show the
// calibration document it owns; typed values and settings become steps of the document's
// history, and every change of the document shows in the grids (DocumentView.cpp).

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "calibration/Calibration.h"
#include "image/CodeRange.h"
#include "image/EfiOperator.h"

class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPainter;
class QPushButton;
class QRect;
class QScrollBar;
class QSpinBox;
class QWidget;
class QToolButton;
class TColorLegend;
class QTabWidget;
class TEFIOperator;
class TCalibrationSession;
class TStatusStrip;
struct TLiveMark;
class TLineChart;
class TRadioGroup;
class TStringGrid;

class TMapEditors : public QObject {
  Q_OBJECT
 public:
  // The tab sheets the pages are built on, and the page control (the MAF page's tab).
  struct Pages {
    QTabWidget* control = nullptr;
    QWidget* fuel = nullptr;
    QWidget* ignition = nullptr;
    QWidget* settings = nullptr;
    QWidget* idle = nullptr;
    QWidget* fullLoad = nullptr;
    QWidget* maf = nullptr;
  };
  // The editors show and change the calibration of `session`, show the version and take the
  // colour toggle on `strip`, and mark the live operating point that `live` holds.
  TMapEditors(QObject* parent, TCalibrationSession& session, const Pages& pages,
              TStatusStrip& strip, const TLiveMark& live);

  // Lays out the grids for the decoded tables of the session's image object, loads them into
  // the document and shows it.
  void FillGrids();
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

  // The calibration the grids show.
  TCalibration& Doc() { return fDoc; }
  const TCalibration& Doc() const { return fDoc; }
  // The grid of a table, and the table a grid shows (none for other widgets).
  TStringGrid* GridOf(TTableId table) const;
  std::optional<TTableId> TableOf(const QObject* grid) const;
  // Ends typing in a grid as leaving it would: the open cell editor gives its text, the
  // current cell is checked and a changed value becomes a step of the history.
  void FinishTyping(TStringGrid* grid);

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

 signals:
  // The grids show tables filled for the current configuration.
  void TablesFilled();
  // A table grid received the input focus.
  void GridEntered(TStringGrid* grid);

 private:
  // What the editors take from the main window (all of it in MapEditors.cpp).
  struct LiveMark {
    bool active = false;
    int col = 0, row = 0;
  };
  TEFIOperator& Efi() const;
  int Variant() const;
  void EnableMAFPage(bool enabled);
  void ShowVersionText(const QString& text);
  LiveMark LiveCell() const;

  TStringGrid* BuildMainMapPage(QWidget* page, const char* group, const char* grid,
                                const char* button, TColorLegend*& legend);
  void BuildIdlePage(QWidget* page);
  void BuildFullLoadPage(QWidget* page);
  void BuildSettingsPage(QWidget* page);
  void BuildMAFPage(QWidget* page);
  void ConnectEditing();
  void ConnectSettings();
  void ConnectColorScale(QToolButton* toggle);

  // The steps of FillGrids.
  void LayOutSplitVariant(const TEFIOperator& efi);
  void LayOutSingleMapVariant(const TEFIOperator& efi);
  void PlotIdleAndFullLoad(const TEFIOperator& efi);
  void PlotMAF(const TEFIOperator& efi);
  void ShowCOTrimOf(const TEFIOperator& efi);

  // The document in the grids and the settings panel (DocumentView.cpp).
  void ShowDocument();
  void ShowCells(TTableId table, const std::vector<QPoint>& cells);
  // What a grid refreshes after its values changed other than by typing (an operation,
  // an undo, a redo): the colour range of a part-load map, a chart, the repaint.
  void FollowTable(TTableId table);
  // A checked cell whose text differs from the document becomes one step.
  bool RecordTyped(TStringGrid* grid, int col, int row);
  void ConnectDocument();
  void RecordSetting(const QString& key, double value);
  void ShowSetting(const QString& key, double value);
  void TakeSettingsBaseline();

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
  // The text the calibration holds for a cell of a table grid (none before a load).
  std::optional<QString> DocumentText(TStringGrid* grid, int col, int row) const;
  void CheckCurrent(TStringGrid* grid, const CheckRule& rule);
  // Runs a grid handler as a command, unless another grid handler is still running: an
  // error box it shows takes the focus from the grid, which would report the grid as left
  // and run the same failing redraw again, one box over the other.
  void GridCommand(const std::function<void()>& handler);
  struct GridBinding;
  void Bind(const GridBinding& binding);
  void Remember(TStringGrid* grid, int col, int row, bool onlyIfNotEmpty, int32_t* integer);
  bool PaintMapCell(TStringGrid* grid, bool fuel, QPainter& painter, const QRect& rect, int col,
                    int row);
  void ShowCOTrim(int position);
  // Takes a map's colour range from its data cells (widened by `widening` on each side
  // when `widen`) and shows the ends on its key.
  int ColorIndex(bool fuel, double value) const;
  void RecomputeRange(TStringGrid* grid, bool fuel, double& low, double& high, double widening,
                      bool widen);

  TCalibrationSession& fSession;
  TEFIOperator& fEFI;
  Pages fPages;
  TStatusStrip& fStrip;
  const TLiveMark& fLive;
  bool fFillingCOreg = false;
  bool fInGridHandler = false;
  TCalibration& fDoc;
  // Each grid's binding, for checks run outside its own signals.
  std::map<const TStringGrid*, CheckRule> fRules;
  // Set while the document is being filled or shows a change, so that the widgets' change
  // signals record nothing.
  bool fShowing = false;
  // Set while a typed value is recorded: the grid has run its own follow-up.
  bool fTyping = false;
  // Set while consecutive changes of one control are joined into one step.
  bool fMerging = false;
  // The settings key of the last step recorded, and the history's state after it: a next
  // change of the same control while nothing else happened joins that step.
  QString fMergeKey;
  int fHistoryStamp = 0, fMergeStamp = -1;
};
