#pragma once
// THexView: the firmware image as a hex dump, 16 bytes a row with the row's address in front
// and the bytes as characters behind. The bytes of each configured part are tinted in its
// colour, the current table framed, shared or out-of-place bytes struck in red, and the
// version text marked; a click on a byte reports its address.

#include <QAbstractScrollArea>
#include <QColor>
#include <cstdint>
#include <vector>

class THexView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  struct Span {
    int64_t first = 0, end = 0;  // bytes [first, end)
    QColor colour;
    bool current = false;  // the table being edited: underlined
    bool wrong = false;    // bytes with a problem: red and bold over the tint (no tint itself)
  };

  static constexpr int kBytesPerRow = 16;

  explicit THexView(QWidget* parent = nullptr);

  // The image shown (held by the caller, kept alive while shown); empty: nothing to show.
  void SetImage(const std::vector<uint8_t>* image);
  // The tinted spans, the later drawn over the earlier; the version text's bytes.
  void SetSpans(std::vector<Span> spans, int64_t versionFirst, int64_t versionEnd);
  // Scrolls so that `address` is in view (three rows above it when it was not).
  void ScrollTo(int64_t address);
  // The byte under a point of the viewport, or -1.
  int64_t ByteAt(const QPoint& point) const;
  // Where a byte is drawn in the viewport (an empty rectangle when it is scrolled away).
  QRect ByteRect(int64_t address) const;

 signals:
  void ByteClicked(int64_t address);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int64_t Size() const;
  void UpdateScrollBar();
  const Span* SpanOf(int64_t address) const;

  const std::vector<uint8_t>* fImage = nullptr;
  std::vector<Span> fSpans;
  int64_t fVersionFirst = 0, fVersionEnd = 0;
  int fCharWidth = 8, fRowHeight = 16;
};
