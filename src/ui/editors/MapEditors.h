#pragma once
// TMapEditors: the map editor pages of the main window, composed: the part-load fuel and
// ignition maps (PartLoadPage), the idle and full-load tables (IdlePage, FullLoadPage), the
// settings panel (SettingsPage) and the air-mass meter (MafPage), each built on its tab
// sheet and showing the calibration document of the session. It lays the pages out for a
// loaded image and loads the document (FillGrids), hands the tables back for a save
// (CollectGrids) and tells the other parts which grid shows which table.

#include <QObject>
#include <array>
#include <cstdint>
#include <optional>

#include "calibration/Calibration.h"
#include "image/CodeRange.h"
#include "telemetry/WideBand.h"
#include "ui/editors/TableView.h"

class QTabWidget;
class QWidget;
class TCalibrationSession;
class TEFIOperator;
class TFullLoadPage;
class TIdlePage;
class TMafPage;
class TPartLoadPage;
class TSettingsPage;
class TStatusStrip;
class TStringGrid;
struct TLiveMark;

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

  // The calibration the grids show.
  TCalibration& Doc() { return fDoc; }
  const TCalibration& Doc() const { return fDoc; }
  // The grid of a table, and the table a grid shows (none for other widgets).
  TStringGrid* GridOf(TTableId table) const;
  std::optional<TTableId> TableOf(const QObject* grid) const;
  // Ends typing in a grid as leaving it would: the open cell editor gives its text, the
  // current cell is checked and a changed value becomes a step of the history.
  void FinishTyping(TStringGrid* grid);

  // The range the colours of a part-load map (FuelMain or IgnMain) spread over now.
  TValueRange ColorRange(TTableId map) const;
  // Redraws what follows a table's values (a chart, a colour range) from its grid.
  void FollowTable(TTableId table);
  // The value remembered from the last decimal cell that became current: a refused entry
  // gets it back where the document holds none.
  double RememberedValue() const { return fState.valueBeforeEdit; }
  // The lambda panel: whether a wide-band sensor is chosen, and its voltage range.
  bool WideBand() const;
  TWideBandRange LambdaRange() const;

 signals:
  // The grids show tables filled for the current configuration.
  void TablesFilled();
  // A table grid received the input focus.
  void GridEntered(TStringGrid* grid);

 private:
  TTableView& View(TTableId table) const { return *fViews[static_cast<size_t>(table)]; }
  void ShowVersionText(const QString& text);
  void ConnectViews();

  TCalibrationSession& fSession;
  TEFIOperator& fEFI;
  TStatusStrip& fStrip;
  TCalibration& fDoc;
  TEditorState fState;
  TPartLoadPage* fFuel = nullptr;
  TPartLoadPage* fIgnition = nullptr;
  TIdlePage* fIdle = nullptr;
  TFullLoadPage* fFullLoad = nullptr;
  TSettingsPage* fSettings = nullptr;
  TMafPage* fMaf = nullptr;
  // The view of each table, in the order of TTableId.
  std::array<TTableView*, kTableCount> fViews{};
};
