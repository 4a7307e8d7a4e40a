#include "ui/profile/HexView.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {
// Columns in characters: address "7FF0", two spaces, 16 bytes of "xx " with a gap after the
// eighth, two spaces, 16 characters.
constexpr int kAddressChars = 6;
constexpr int kByteChars = 3;
constexpr int kGroupGap = 1;
constexpr int kTextGap = 2;

int ByteColumn(int col) {
  return kAddressChars + col * kByteChars + (col >= 8 ? kGroupGap : 0);
}
int TextColumn(int col) {
  return ByteColumn(THexView::kBytesPerRow) + kTextGap + col;
}
}  // namespace

THexView::THexView(QWidget* parent) : QAbstractScrollArea(parent) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(12);
  setFont(font);
  viewport()->setFont(font);
  const QFontMetrics metrics(font);
  fCharWidth = metrics.horizontalAdvance(QLatin1Char('0'));
  fRowHeight = metrics.height() + 2;
  setMinimumWidth(fCharWidth * (TextColumn(kBytesPerRow) + 1) +
                  verticalScrollBar()->sizeHint().width());
  viewport()->setCursor(Qt::PointingHandCursor);
}

int64_t THexView::Size() const {
  return fImage ? static_cast<int64_t>(fImage->size()) : 0;
}

void THexView::SetImage(const std::vector<uint8_t>* image) {
  fImage = image;
  UpdateScrollBar();
  viewport()->update();
}

void THexView::SetSpans(std::vector<Span> spans, int64_t versionFirst, int64_t versionEnd) {
  fSpans = std::move(spans);
  fVersionFirst = versionFirst;
  fVersionEnd = versionEnd;
  viewport()->update();
}

void THexView::UpdateScrollBar() {
  const int rows = static_cast<int>((Size() + kBytesPerRow - 1) / kBytesPerRow);
  const int visible = std::max(viewport()->height() / fRowHeight, 1);
  verticalScrollBar()->setRange(0, std::max(rows - visible, 0));
  verticalScrollBar()->setPageStep(visible);
}

void THexView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBar();
}

void THexView::ScrollTo(int64_t address) {
  if (address < 0 || address >= Size()) return;
  const int row = static_cast<int>(address / kBytesPerRow);
  const int top = verticalScrollBar()->value();
  if (row < top || row >= top + verticalScrollBar()->pageStep())
    verticalScrollBar()->setValue(std::max(row - 3, 0));
  viewport()->update();
}

QRect THexView::ByteRect(int64_t address) const {
  const int row = static_cast<int>(address / kBytesPerRow) - verticalScrollBar()->value();
  if (address < 0 || address >= Size() || row < 0 || row * fRowHeight > viewport()->height())
    return {};
  const int col = static_cast<int>(address % kBytesPerRow);
  return {ByteColumn(col) * fCharWidth, row * fRowHeight, 2 * fCharWidth, fRowHeight};
}

int64_t THexView::ByteAt(const QPoint& point) const {
  const int64_t row = point.y() / fRowHeight + verticalScrollBar()->value();
  const int x = point.x() / fCharWidth;
  for (int col = 0; col < kBytesPerRow; ++col) {
    const bool onByte = x >= ByteColumn(col) && x < ByteColumn(col) + 2;
    const bool onText = x == TextColumn(col);
    if (!onByte && !onText) continue;
    const int64_t address = row * kBytesPerRow + col;
    return address < Size() ? address : -1;
  }
  return -1;
}

const THexView::Span* THexView::SpanOf(int64_t address) const {
  const Span* found = nullptr;
  for (const Span& span : fSpans)
    if (!span.wrong && address >= span.first && address < span.end) found = &span;
  return found;
}

void THexView::mousePressEvent(QMouseEvent* event) {
  const int64_t address = ByteAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && address >= 0) emit ByteClicked(address);
}

void THexView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().base());
  if (Size() == 0) {
    painter.drawText(viewport()->rect(), Qt::AlignCenter, tr("Образ не загружен"));
    return;
  }
  const int first = verticalScrollBar()->value();
  const int rows = viewport()->height() / fRowHeight + 1;
  const int ascent = painter.fontMetrics().ascent() + 1;
  for (int r = 0; r < rows; ++r) {
    const int64_t base = int64_t{first + r} * kBytesPerRow;
    if (base >= Size()) break;
    const int y = r * fRowHeight;
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(0, y + ascent,
                     QStringLiteral("%1").arg(base, 4, 16, QLatin1Char('0')).toUpper());
    for (int col = 0; col < kBytesPerRow && base + col < Size(); ++col) {
      const int64_t address = base + col;
      const uint8_t byte = (*fImage)[static_cast<size_t>(address)];
      const QRect cell(ByteColumn(col) * fCharWidth - fCharWidth / 2, y, kByteChars * fCharWidth,
                       fRowHeight);
      const QRect text(TextColumn(col) * fCharWidth, y, fCharWidth, fRowHeight);
      const bool version = address >= fVersionFirst && address < fVersionEnd;
      if (const Span* span = SpanOf(address)) {
        painter.fillRect(cell, span->colour);
        painter.fillRect(text, span->colour);
        if (span->current) {
          painter.setPen(QPen(Qt::black, 1));
          painter.drawLine(cell.bottomLeft(), cell.bottomRight());
        }
      }
      if (version) painter.fillRect(text, QColor(255, 230, 120));
      const bool wrong = std::any_of(fSpans.begin(), fSpans.end(), [&](const Span& s) {
        return s.wrong && address >= s.first && address < s.end;
      });
      painter.setPen(wrong ? QColor(200, 0, 0) : palette().color(QPalette::Text));
      QFont font = painter.font();
      font.setBold(wrong || version);
      painter.setFont(font);
      painter.drawText(ByteColumn(col) * fCharWidth, y + ascent,
                       QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper());
      const QChar shown = byte >= 0x20 && byte < 0x7F ? QChar(byte) : QChar('.');
      painter.drawText(text.left(), y + ascent, shown);
    }
  }
}
