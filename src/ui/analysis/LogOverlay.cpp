#include "ui/analysis/LogOverlay.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "common/DecimalText.h"
#include "ui/widgets/StringGrid.h"

namespace {
// A number of the tooltip: two decimals, the user's decimal separator.
QString Num(double value) {
  return FormatFixed(value, 0, 2, DecimalSeparator());
}
}  // namespace

TLogOverlay::TLogOverlay(QObject* parent, TStringGrid* grid) : QObject(parent), fGrid(grid) {
  grid->SetCellOverlay(
      [this](QPainter& p, const QRect& rect, int c, int r) { Paint(p, rect, c, r); });
  grid->viewport()->installEventFilter(this);
}

TLogOverlay::~TLogOverlay() {
  if (fGrid) {
    fGrid->SetCellOverlay({});
    fGrid->viewport()->removeEventFilter(this);
  }
}

void TLogOverlay::Show(const TLogAnalysis& analysis, const QString& channel) {
  fAnalysis = analysis;
  fChannel = channel;
  fMaxSeconds = 0;
  for (const TCellStats& s : analysis.cells) fMaxSeconds = std::max(fMaxSeconds, s.seconds);
  if (fGrid) fGrid->Repaint();
}

void TLogOverlay::Clear() {
  if (!fAnalysis) return;
  fAnalysis.reset();
  if (fGrid) fGrid->Repaint();
}

const TCellStats* TLogOverlay::Stats(int col, int row) const {
  if (!fAnalysis || col < 1 || row < 1 || col > fAnalysis->cols || row > fAnalysis->rows)
    return nullptr;
  return &fAnalysis->At(col - 1, row - 1);
}

void TLogOverlay::Paint(QPainter& painter, const QRect& rect, int col, int row) const {
  const TCellStats* stats = Stats(col, row);
  if (!stats || stats->count == 0) return;
  // The bar's length follows the time spent, on a square-root scale so that a cell passed
  // briefly still shows next to the cells the engine sat in; at least a few pixels.
  const double share = fMaxSeconds > 0 ? std::sqrt(stats->seconds / fMaxSeconds) : 1.0;
  const int inner = rect.width() - 2;
  const int length = std::clamp(static_cast<int>(std::lround(share * inner)), 3, inner);
  const bool tooFew = fAnalysis->TooFew(col - 1, row - 1);
  const QRect bar(rect.left() + 1, rect.bottom() - 3, length, 3);
  // A white edge keeps the bar visible on the scale's dark colours as on its light ones.
  painter.fillRect(bar.adjusted(-1, -1, 1, 0), Qt::white);
  painter.fillRect(bar, tooFew ? QColor(128, 128, 128) : QColor(0, 0, 150));
}

QString TLogOverlay::CellText(int col, int row) const {
  const TCellStats* stats = Stats(col, row);
  if (!stats) return {};
  QString text = tr("Записей: %1, время: %2 с").arg(stats->count).arg(Num(stats->seconds));
  if (stats->count > 0)
    text += QLatin1Char('\n') +
            tr("%1: среднее %2, мин. %3, макс. %4")
                .arg(fChannel, Num(stats->Mean()), Num(stats->min), Num(stats->max));
  if (fAnalysis->TooFew(col - 1, row - 1)) text += QLatin1Char('\n') + tr("мало данных");
  return text;
}

bool TLogOverlay::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip && fGrid && watched == fGrid->viewport() && fAnalysis) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = fGrid->indexAt(help->pos());
    const QString text = index.isValid() ? CellText(index.column(), index.row()) : QString();
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), text, fGrid->viewport());
    return true;
  }
  return QObject::eventFilter(watched, event);
}
