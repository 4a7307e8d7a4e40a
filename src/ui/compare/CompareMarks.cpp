// TCompareMarks: the reference calibration, the comparison of every table with it and the
// marks it leaves on the grids.
#include "ui/compare/CompareMarks.h"

#include <QEvent>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "common/DecimalText.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/StringGrid.h"

namespace {
QString Signed(double value) {
  return (value > 0 ? QStringLiteral("+") : QString()) + FloatToStr(value);
}
}  // namespace

TCompareMarks::TCompareMarks(QObject* parent, const Grids& grids, TStatusStrip& strip,
                             const TCalibration& current)
    : QObject(parent), fStrip(strip), fCurrent(current) {
  for (size_t i = 0; i < grids.size(); ++i) fGrids[i] = grids[i];
  setObjectName(QStringLiteral("CompareMarks"));
  for (const auto& grid : fGrids)
    if (grid) grid->viewport()->installEventFilter(this);
  // The comparison follows the document: every accepted change, undo, redo and load.
  connect(&fCurrent, &TCalibration::CellsChanged, this,
          [this](TTableId table, const std::vector<QPoint>&) { MarkDirty(table); });
  connect(&fCurrent, &TCalibration::Reloaded, this, [this] { MarkAllDirty(); });
}

TCompareMarks::~TCompareMarks() {
  Uninstall();
}

void TCompareMarks::Start(std::unique_ptr<TCalibration> reference, const QString& name) {
  Uninstall();
  fReference = std::move(reference);
  fName = name;
  for (size_t i = 0; i < fGrids.size(); ++i) Install(i);
  MarkAllDirty();
  Refresh();
}

void TCompareMarks::End() {
  Uninstall();
  fReference.reset();
  fName.clear();
  fResult = {};
  fDirty.fill(false);
  fStrip.ShowComparison(QString(), QString());
  for (const auto& grid : fGrids)
    if (grid) grid->Repaint();
  emit Changed();
}

// The mark is drawn over the grid's own painting hook (the colour scale of the part-load
// maps), which keeps working underneath; End puts the hook back as it was.
void TCompareMarks::Install(size_t index) {
  TStringGrid* grid = fGrids[index];
  if (!grid) return;
  fPrevious[index] = grid->DrawCell();
  grid->SetDrawCellHook([this, index](QPainter& p, const QRect& rect, int col, int row) {
    return PaintCell(index, p, rect, col, row);
  });
}

void TCompareMarks::Uninstall() {
  if (!fReference) return;
  for (size_t i = 0; i < fGrids.size(); ++i)
    if (fGrids[i]) fGrids[i]->SetDrawCellHook(fPrevious[i]);
  fPrevious = {};
}

bool TCompareMarks::PaintCell(size_t index, QPainter& painter, const QRect& rect, int col,
                              int row) {
  const auto& previous = fPrevious[index];
  const TTableDiff* table = fResult.Table(static_cast<TTableId>(index));
  if (!table || !table->Find(col, row)) return previous ? previous(painter, rect, col, row) : false;
  if (!previous || !previous(painter, rect, col, row))
    fGrids[index]->PaintPlainCell(painter, rect, col, row);
  PaintMark(painter, rect);
  return true;
}

void TCompareMarks::PaintMark(QPainter& painter, const QRect& rect) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  // A dashed black frame on a white one: it shows on light cells, on every colour of the
  // scale and on black, and differs from the solid frame of the current cell.
  const QRect frame = rect.adjusted(1, 1, -2, -2);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::white, 2));
  painter.drawRect(frame);
  QPen dashed(Qt::black, 2, Qt::DashLine);
  dashed.setDashPattern({2, 2});
  painter.setPen(dashed);
  painter.drawRect(frame);
  // The corner triangle at the top right, black edged in white.
  const int side = std::max(5, std::min(rect.width(), rect.height()) / 2);
  QPainterPath corner;
  corner.moveTo(rect.right() + 1 - side, rect.top());
  corner.lineTo(rect.right() + 1, rect.top());
  corner.lineTo(rect.right() + 1, rect.top() + side);
  corner.closeSubpath();
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(Qt::black);
  painter.drawPath(corner);
  painter.restore();
}

TStringGrid* TCompareMarks::Grid(TTableId id) const {
  return fGrids[static_cast<size_t>(id)].data();
}

TCalTable TCompareMarks::Current(TTableId id) const {
  if (fCurrent.Loaded()) return fCurrent.Table(id);
  TCalTable none;
  none.id = id;
  return none;
}

const TCompareResult& TCompareMarks::Result() {
  Refresh();
  return fResult;
}

QString TCompareMarks::ToolTip(TTableId id, int col, int row) {
  if (!Active()) return {};
  const TTableDiff* table = Result().Table(id);
  const TCellDiff* cell = table ? table->Find(col, row) : nullptr;
  if (!cell) return {};
  QString text = tr("эталон: ") + cell->referenceText;
  if (const auto delta = cell->Difference()) text += tr("\nразница: ") + Signed(*delta);
  return text;
}

void TCompareMarks::MarkDirty(TTableId id) {
  if (!Active()) return;
  fDirty[static_cast<size_t>(id)] = true;
  if (fRefreshQueued) return;
  fRefreshQueued = true;
  QTimer::singleShot(0, this, [this] { Refresh(); });
}

void TCompareMarks::MarkAllDirty() {
  for (int i = 0; i < kTableCount; ++i) MarkDirty(static_cast<TTableId>(i));
}

void TCompareMarks::Refresh() {
  fRefreshQueued = false;
  if (!Active()) return;
  bool any = false;
  for (size_t i = 0; i < fDirty.size(); ++i) {
    if (!fDirty[i]) continue;
    fDirty[i] = false;
    any = true;
    const auto id = static_cast<TTableId>(i);
    TTableDiff diff = CompareTable(Current(id), fReference->Table(id));
    auto it = std::find_if(fResult.tables.begin(), fResult.tables.end(),
                           [id](const TTableDiff& t) { return t.id == id; });
    if (it == fResult.tables.end()) {
      it = std::find_if(fResult.tables.begin(), fResult.tables.end(),
                        [id](const TTableDiff& t) { return t.id > id; });
      fResult.tables.insert(it, std::move(diff));
    } else {
      *it = std::move(diff);
    }
    if (fGrids[i]) fGrids[i]->Repaint();
  }
  if (!any) return;
  ShowCount();
  emit Changed();
}

void TCompareMarks::ShowCount() {
  const int cells = fResult.DifferentCells();
  const int apart = fResult.NotComparable();
  QString tip = tr("Эталон: %1\nОтличающихся ячеек во всех таблицах: %2").arg(fName).arg(cells);
  if (apart > 0) tip += tr("\nНесравнимых таблиц: %1").arg(apart);
  fStrip.ShowComparison(tr("Различий: %1").arg(cells), tip);
}

bool TCompareMarks::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip || !Active()) return false;
  for (size_t i = 0; i < fGrids.size(); ++i) {
    TStringGrid* grid = fGrids[i].data();
    if (!grid || grid->viewport() != watched) continue;
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = grid->indexAt(help->pos());
    if (!index.isValid()) return false;
    const QString text = ToolTip(static_cast<TTableId>(i), index.column(), index.row());
    if (text.isEmpty()) return false;
    QToolTip::showText(help->globalPos(), text, grid->viewport());
    return true;
  }
  return false;
}
