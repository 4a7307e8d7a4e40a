#include "ui/widgets/StringGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {
// The mark of the current cell while the grid has the focus: a black frame two pixels wide
// inside a white one, so that it shows on the light default cells, on every colour of the
// maps' scale and on a black cell alike. The style's own focus mark may draw nothing.
void DrawFocusMark(QPainter* painter, const QRect& rect) {
  const QRect outer = rect.adjusted(0, 0, -1, -1);
  painter->save();
  painter->setClipRect(rect);
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setBrush(Qt::NoBrush);
  painter->setPen(QPen(Qt::white, 1));
  painter->drawRect(outer);
  painter->setPen(QPen(Qt::black, 1));
  painter->drawRect(outer.adjusted(1, 1, -1, -1));
  painter->drawRect(outer.adjusted(2, 2, -2, -2));
  painter->restore();
}

// The selection over a cell the paint hook has coloured: a light veil of the highlight
// colour, so that the cell keeps its colour and its black text, and the block's outline in
// the highlight colour on the sides where the block ends.
void DrawSelectionVeil(QPainter* painter, const QStyleOptionViewItem& option, const QRect& block,
                       int col, int row) {
  const QColor highlight = option.palette.highlight().color();
  QColor veil = highlight;
  veil.setAlpha(48);
  painter->fillRect(option.rect, veil);
  const QRect r = option.rect;
  constexpr int kEdge = 2;
  if (col == block.left()) painter->fillRect(r.left(), r.top(), kEdge, r.height(), highlight);
  if (col == block.right())
    painter->fillRect(r.right() + 1 - kEdge, r.top(), kEdge, r.height(), highlight);
  if (row == block.top()) painter->fillRect(r.left(), r.top(), r.width(), kEdge, highlight);
  if (row == block.bottom())
    painter->fillRect(r.left(), r.bottom() + 1 - kEdge, r.width(), kEdge, highlight);
}

// Draws fixed cells like headers and hands every cell to the grid's paint hook; its cell
// editor writes the typed text into the cell at each keystroke.
class TGridDelegate : public QStyledItemDelegate {
 public:
  explicit TGridDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), fGrid(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const int col = index.column(), row = index.row();
    if (fGrid->DrawCell()) {
      painter->save();
      painter->setClipRect(option.rect);
      const bool painted = fGrid->DrawCell()(*painter, option.rect, col, row);
      painter->restore();
      // The colour covers the selection highlight; the focus mark stays. A selected block
      // of more than one cell shows through a veil of the highlight colour over its cells.
      if (painted) {
        const QRect block = fGrid->SelectedBlock();
        if ((option.state & QStyle::State_Selected) && block.width() * block.height() > 1)
          DrawSelectionVeil(painter, option, block, col, row);
        DrawOverlay(painter, option.rect, col, row);
        if (option.state & QStyle::State_HasFocus) DrawFocusMark(painter, option.rect);
        return;
      }
    }
    if (fGrid->IsFixed(col, row)) {
      painter->fillRect(option.rect, option.palette.button());
      painter->setPen(Qt::black);
      painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                        index.data().toString());
      DrawOverlay(painter, option.rect, col, row);
    } else {
      QStyleOptionViewItem plain = option;
      plain.state &= ~QStyle::State_HasFocus;
      QStyledItemDelegate::paint(painter, plain, index);
      DrawOverlay(painter, option.rect, col, row);
      if (option.state & QStyle::State_HasFocus) DrawFocusMark(painter, option.rect);
    }
  }

  // What another view lays over the cell, drawn over its colour and text but under the
  // focus mark.
  void DrawOverlay(QPainter* painter, const QRect& rect, int col, int row) const {
    if (!fGrid->CellOverlay()) return;
    painter->save();
    painter->setClipRect(rect);
    fGrid->CellOverlay()(*painter, rect, col, row);
    painter->restore();
  }

  // A key the grid's owner runs as a command never reaches the open cell editor.
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && fGrid->KeyCommand() &&
        fGrid->KeyCommand()(*static_cast<QKeyEvent*>(event)))
      return true;
    return QStyledItemDelegate::eventFilter(object, event);
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setFrame(false);
      auto* self = const_cast<TGridDelegate*>(this);
      connect(line, &QLineEdit::textEdited, self, [self, line] { emit self->commitData(line); });
    }
    return editor;
  }

 private:
  TStringGrid* fGrid;
};
}  // namespace

TStringGrid::TStringGrid(int colCount, int rowCount, int fixedCols, int fixedRows, QWidget* parent)
    : QTableWidget(rowCount, colCount, parent), fFixedCols(fixedCols), fFixedRows(fixedRows) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed);
  setItemDelegate(new TGridDelegate(this));
  setWordWrap(false);
  // Numbers are cut at the cell's edge, never replaced by an ellipsis.
  setTextElideMode(Qt::ElideNone);
  // The classic 13-pixel grid font is narrow; its wider substitutes get one pixel less.
  QFont gridFont(QStringLiteral("MS Sans Serif"));
  gridFont.setPixelSize(12);
  setFont(gridFont);
  ApplyFixedLook();
  connect(qApp, &QApplication::focusChanged, this, &TStringGrid::OnFocusChanged);
}

QTableWidgetItem* TStringGrid::Item(int col, int row) {
  QTableWidgetItem* cell = item(row, col);
  if (!cell) {
    cell = new QTableWidgetItem;
    setItem(row, col, cell);
    StyleItem(col, row);
  }
  return cell;
}

void TStringGrid::StyleItem(int col, int row) {
  QTableWidgetItem* cell = item(row, col);
  if (!cell) return;
  // Fixed cells can neither be edited nor become current.
  cell->setFlags(IsFixed(col, row) ? Qt::NoItemFlags
                                   : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
}

void TStringGrid::ApplyFixedLook() {
  // A fixed cell that has no item yet (a corner never filled) gets one, so that its flags
  // keep it from becoming current when the grid first receives the focus.
  for (int r = 0; r < rowCount(); ++r)
    for (int c = 0; c < columnCount(); ++c) {
      if (IsFixed(c, r)) Item(c, r);
      StyleItem(c, r);
    }
  viewport()->update();
}

void TStringGrid::SetColCount(int count) {
  if (count == columnCount()) return;
  const int height = DefaultRowHeight();
  const int width = DefaultColWidth();
  setColumnCount(count);
  SetDefaultColWidth(width);
  SetDefaultRowHeight(height);
  ApplyFixedLook();
}

void TStringGrid::SetRowCount(int count) {
  if (count == rowCount()) return;
  const int height = DefaultRowHeight();
  setRowCount(count);
  SetDefaultRowHeight(height);
  ApplyFixedLook();
}

void TStringGrid::SetFixedCols(int count) {
  fFixedCols = count;
  ApplyFixedLook();
}

int TStringGrid::DefaultRowHeight() const {
  return verticalHeader()->defaultSectionSize();
}

int TStringGrid::DefaultColWidth() const {
  return horizontalHeader()->defaultSectionSize();
}

void TStringGrid::SetDefaultRowHeight(int height) {
  verticalHeader()->setDefaultSectionSize(height);
  for (int r = 0; r < rowCount(); ++r) setRowHeight(r, height);
}

void TStringGrid::SetDefaultColWidth(int width) {
  horizontalHeader()->setDefaultSectionSize(width);
  for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, width);
}

QString TStringGrid::Cell(int col, int row) const {
  const QTableWidgetItem* cell = item(row, col);
  return cell ? cell->text() : QString();
}

void TStringGrid::SetCell(int col, int row, const QString& text) {
  if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount()) return;
  Item(col, row)->setText(text);
}

void TStringGrid::SelectCell(int col, int row) {
  if (IsFixed(col, row)) return;
  const bool same = col == currentColumn() && row == currentRow();
  setCurrentCell(row, col);
  if (same) emit CellBecameCurrent(col, row);
}

QRect TStringGrid::SelectedBlock() const {
  if (currentColumn() < 0 || currentRow() < 0) return {};
  int left = columnCount(), top = rowCount(), right = -1, bottom = -1;
  for (const QTableWidgetSelectionRange& range : selectedRanges()) {
    left = std::min(left, std::max(range.leftColumn(), fFixedCols));
    top = std::min(top, std::max(range.topRow(), fFixedRows));
    right = std::max(right, range.rightColumn());
    bottom = std::max(bottom, range.bottomRow());
  }
  if (right < left || bottom < top) return QRect(currentColumn(), currentRow(), 1, 1);
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

void TStringGrid::SelectBlock(int left, int top, int right, int bottom) {
  left = std::max(left, fFixedCols);
  top = std::max(top, fFixedRows);
  right = std::min(right, columnCount() - 1);
  bottom = std::min(bottom, rowCount() - 1);
  if (right < left || bottom < top) return;
  SelectCell(left, top);
  setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
}

void TStringGrid::selectAll() {
  const int col = currentColumn(), row = currentRow();
  if (columnCount() <= fFixedCols || rowCount() <= fFixedRows) return;
  clearSelection();
  setRangeSelected(
      QTableWidgetSelectionRange(fFixedRows, fFixedCols, rowCount() - 1, columnCount() - 1), true);
  // The current cell stays current (and its check does not run).
  if (col >= 0 && row >= 0)
    selectionModel()->setCurrentIndex(model()->index(row, col), QItemSelectionModel::NoUpdate);
}

void TStringGrid::EndEditing() {
  QWidget* editor = indexWidget(currentIndex());
  if (!editor) return;
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TStringGrid::Repaint() {
  viewport()->update();
}

void TStringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  // The base commits the open cell editor first, so the cell being left holds its text.
  QTableWidget::currentChanged(current, previous);
  if (previous.isValid() && current != previous)
    emit CellChanging(previous.column(), previous.row(), current.column(), current.row());
  if (current.isValid() && current != previous)
    emit CellBecameCurrent(current.column(), current.row());
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
  const QModelIndex before = currentIndex();
  const QModelIndex hit = indexAt(event->position().toPoint());
  QTableWidget::mousePressEvent(event);
  // A click on the cell that is already current is reported as well.
  if (hit.isValid() && hit == before && currentIndex() == before)
    emit CellBecameCurrent(hit.column(), hit.row());
}

void TStringGrid::keyPressEvent(QKeyEvent* event) {
  if (fKeyCommand && fKeyCommand(*event)) {
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

bool TStringGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const bool open = index.isValid() && indexWidget(index);
  const QString before = index.isValid() ? Cell(index.column(), index.row()) : QString();
  const bool editing = QTableWidget::edit(index, trigger, event);
  if (editing && !open) {
    fEntryCell = index;
    fEntryText = before;
  }
  return editing;
}

void TStringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  const QPersistentModelIndex cell = fEntryCell;
  fEntryCell = QPersistentModelIndex();
  if (cell.isValid()) {
    if (hint == QAbstractItemDelegate::RevertModelCache)
      SetCell(cell.column(), cell.row(), fEntryText);
    emit EntryEnded(cell.column(), cell.row());
  }
  QTableWidget::closeEditor(editor, hint);
}

bool TStringGrid::Owns(QWidget* widget) const {
  for (QWidget* w = widget; w; w = w->parentWidget())
    if (w == this) return true;
  return false;
}

void TStringGrid::OnFocusChanged(QWidget*, QWidget* now) {
  const bool inside = Owns(now);
  if (inside == fHasFocus) return;
  fHasFocus = inside;
  if (inside) {
    emit Entered();
  } else {
    // An editor still open (focus taken away without a key) gives its text first.
    if (QWidget* editor = indexWidget(currentIndex())) commitData(editor);
    emit Left();
  }
}

void TStringGrid::PaintPlainCell(QPainter& painter, const QRect& rect, int col, int row) const {
  const QPalette& colours = palette();
  const bool fixed = IsFixed(col, row);
  const bool selected =
      !fixed && selectionModel() && selectionModel()->isSelected(model()->index(row, col));
  painter.fillRect(rect, fixed      ? colours.button()
                         : selected ? colours.highlight()
                                    : colours.base());
  painter.setPen(selected ? colours.highlightedText().color() : colours.text().color());
  painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, Cell(col, row));
}
