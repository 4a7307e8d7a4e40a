#pragma once
// TTableView: one grid of the map editors and the table of the calibration document it
// shows. It shows the table (every cell after a load, the changed cells after a step, an
// undo or a redo), checks a typed cell (a number, within what its code can store and the
// editors' limits) and records a checked cell whose value changed as one step.

#include <QObject>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "calibration/Calibration.h"
#include "common/ScopedFlag.h"
#include "image/CodeRange.h"

class TStringGrid;

// What the table views of one set of editors share: the value remembered from the cell
// that became current, and the flags that keep one handler from running inside another.
struct TEditorState {
  // The unit variant the limits are taken for.
  std::function<int()> variant;
  // The value of the float cell that last became current, in any grid.
  double valueBeforeEdit = 0;
  // Set while the document is being filled or shows a change, so that the widgets' change
  // signals record nothing.
  bool showing = false;
  // Set while a typed value is recorded: the grid has run its own follow-up.
  bool typing = false;
  // Set while a grid handler runs (see TTableView::GridCommand).
  bool inGridHandler = false;
};

class TTableView : public QObject {
  Q_OBJECT
 public:
  // How the cells of a grid are checked and when its checks run.
  struct Rule {
    TCodedTable table = TCodedTable::FuelMax;
    bool integer = false;
    // Without a calibration a refused entry gives back the remembered value to one decimal.
    bool oneDecimal = false;
    // A cell becoming current remembers its value only when it is not empty.
    bool rememberOnlyIfNotEmpty = false;
    // Column 0 (and, on moving, a move to row 0) is not checked.
    bool skipColumn0 = false;
  };
  // What the grid runs after the check on entering, leaving and moving, and what it
  // refreshes after its values changed other than by typing.
  struct FollowUps {
    std::function<void()> afterEnter, afterLeave, afterMove, afterChange;
  };

  TTableView(QObject* parent, TCalibration& doc, TTableId table, TStringGrid* grid,
             const Rule& rule, TEditorState& state);

  TStringGrid* Grid() const { return fGrid; }
  TTableId Table() const { return fTable; }
  void SetFollowUps(FollowUps followUps) { fFollow = std::move(followUps); }

  // Shows every cell of the document's table (after a load).
  void ShowAll();
  // Runs the refresh that follows a change of the table's values, then repaints.
  void FollowChange();
  // Ends typing as leaving the grid would: the open cell editor gives its text, the current
  // cell is checked and a changed value becomes a step (then the refresh follows).
  void FinishTyping();

  // Runs a grid handler as a command, unless another grid handler is still running: an
  // error box it shows takes the focus from the grid, which would report the grid as left
  // and run the same failing handler again, one box over the other.
  static void GridCommand(TEditorState& state, const std::function<void()>& handler);

 signals:
  // The grid received the input focus.
  void Entered();

 private:
  void Connect();
  void ShowCells(const std::vector<QPoint>& cells);
  void Remember(int col, int row);
  // The check of a cell: restore the held value when the text is not a number, hold it
  // within the values its code can store and, where the grid has them, within its limits.
  void CheckCell(int col, int row);
  void CheckCurrent();
  // The text the document holds for a cell (none before a load or outside the table).
  std::optional<QString> DocumentText(int col, int row) const;
  // A checked cell whose text differs from the document becomes one step.
  bool RecordTyped(int col, int row);
  void CheckAndRecordCurrent();

  TCalibration& fDoc;
  TTableId fTable;
  TStringGrid* fGrid;
  Rule fRule;
  TEditorState& fState;
  FollowUps fFollow;
  // The remembered value of an integer grid.
  int32_t fIntBeforeEdit = 0;
};
