#pragma once
// TStringGrid: a classic string grid over QTableWidget. Coordinates are (column, row) with
// the fixed rows and columns counted in; fixed cells are real cells (header-coloured, not
// editable, never current) and Qt's own headers are hidden. Typed text reaches the cell at
// every keystroke, so what a handler reads is what the user sees.

#include <QPersistentModelIndex>
#include <QRect>
#include <QTableWidget>
#include <functional>

class TStringGrid : public QTableWidget {
  Q_OBJECT
 public:
  // Paints a cell itself, filling its whole rectangle, and returns true; or returns false
  // and draws nothing, leaving the cell to the default drawing. (A cell the hook paints
  // would cover the default drawing entirely, so that drawing is skipped.)
  using DrawCellHook = std::function<bool(QPainter& painter, const QRect& rect, int col, int row)>;

  // Draws over a cell once it is painted (by the paint hook or by default), under the focus
  // mark: marks of another view that leave the cell's own look in place.
  using CellOverlayHook =
      std::function<void(QPainter& painter, const QRect& rect, int col, int row)>;

  // A key press that the grid's owner runs as a command instead of letting the grid or its
  // open cell editor take it as typing; returns whether it did.
  using KeyCommandHook = std::function<bool(const QKeyEvent& key)>;

  TStringGrid(int colCount, int rowCount, int fixedCols, int fixedRows, QWidget* parent = nullptr);

  int ColCount() const { return columnCount(); }
  int RowCount() const { return rowCount(); }
  void SetColCount(int count);
  void SetRowCount(int count);
  int FixedCols() const { return fFixedCols; }
  int FixedRows() const { return fFixedRows; }
  void SetFixedCols(int count);
  int DefaultRowHeight() const;
  int DefaultColWidth() const;
  void SetDefaultRowHeight(int height);
  void SetDefaultColWidth(int width);

  QString Cell(int col, int row) const;
  void SetCell(int col, int row, const QString& text);

  // The current cell (column, row); (-1, -1) when there is none.
  int Col() const { return currentColumn(); }
  int Row() const { return currentRow(); }
  // Makes a cell current as a click would (raising the change and current events).
  void SelectCell(int col, int row);
  // The block of selected cells that the user can type into (fixed cells never count):
  // left/top are the first column/row, right/bottom the last; the current cell alone when
  // nothing else is selected, and a null rectangle when the grid has no current cell.
  QRect SelectedBlock() const;
  // Makes (left, top) current as a click would, then selects the block to (right, bottom)
  // as a drag would; the block is held within the cells the user can type into.
  void SelectBlock(int left, int top, int right, int bottom);
  // Ctrl+A: every cell the user can type into, the current cell staying where it is.
  void selectAll() override;
  // Closes the open cell editor, its text going into the cell (nothing when none is open).
  void EndEditing();
  // Repaints every cell.
  void Repaint();
  void SetDrawCellHook(DrawCellHook hook) { fDrawCell = std::move(hook); }
  const DrawCellHook& DrawCell() const { return fDrawCell; }
  // Paints a cell as the grid does without a hook: header cells in the button colour,
  // selected cells highlighted, the text on the left (for a hook that draws over it).
  void PaintPlainCell(QPainter& painter, const QRect& rect, int col, int row) const;
  void SetCellOverlay(CellOverlayHook hook) { fOverlay = std::move(hook); }
  const CellOverlayHook& CellOverlay() const { return fOverlay; }
  bool IsFixed(int col, int row) const { return col < fFixedCols || row < fFixedRows; }
  void SetKeyCommand(KeyCommandHook hook) { fKeyCommand = std::move(hook); }
  const KeyCommandHook& KeyCommand() const { return fKeyCommand; }

 signals:
  // A cell became current (by mouse or keyboard), or the current cell was clicked again.
  void CellBecameCurrent(int col, int row);
  // The grid (or its cell editor) received the input focus from outside.
  void Entered();
  // The input focus left the grid and its cell editor; typed text is in the cell by then.
  void Left();
  // The current cell is about to move from (fromCol, fromRow) to (toCol, toRow); the cell
  // being left holds its final text.
  void CellChanging(int fromCol, int fromRow, int toCol, int toRow);
  // An entry in a cell ended (its editor closes; after Escape the cell holds its text from
  // before the entry again), before the current cell moves on.
  void EntryEnded(int col, int row);

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // An entry starts: the cell's text is kept, so that Escape can give it back.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  // Escape (the delegate's revert) puts back the text the cell had when the entry started:
  // the typed text reaches the cell at every keystroke.
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  void ApplyFixedLook();
  void StyleItem(int col, int row);
  QTableWidgetItem* Item(int col, int row);
  void OnFocusChanged(QWidget* old, QWidget* now);
  bool Owns(QWidget* widget) const;

  int fFixedCols;
  int fFixedRows;
  bool fHasFocus = false;
  DrawCellHook fDrawCell;
  CellOverlayHook fOverlay;
  KeyCommandHook fKeyCommand;
  // The cell of the entry in progress and its text before it.
  QPersistentModelIndex fEntryCell;
  QString fEntryText;
};
