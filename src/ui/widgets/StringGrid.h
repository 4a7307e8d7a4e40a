#pragma once
// TStringGrid: a classic string grid over QTableWidget. Coordinates are (column, row) with
// the fixed rows and columns counted in; fixed cells are real cells (header-coloured, not
// editable, never current) and Qt's own headers are hidden. Typed text reaches the cell at
// every keystroke, so what a handler reads is what the user sees.

#include <QTableWidget>
#include <functional>

class TStringGrid : public QTableWidget {
  Q_OBJECT
 public:
  // Paints a cell itself, filling its whole rectangle, and returns true; or returns false
  // and draws nothing, leaving the cell to the default drawing. (A cell the hook paints
  // would cover the default drawing entirely, so that drawing is skipped.)
  using DrawCellHook = std::function<bool(QPainter& painter, const QRect& rect, int col, int row)>;

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
  // Repaints every cell.
  void Repaint();
  void SetDrawCellHook(DrawCellHook hook) { fDrawCell = std::move(hook); }
  const DrawCellHook& DrawCell() const { return fDrawCell; }
  bool IsFixed(int col, int row) const { return col < fFixedCols || row < fFixedRows; }

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

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void mousePressEvent(QMouseEvent* event) override;

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
};
