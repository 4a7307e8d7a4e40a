#pragma once
// Labels of fixed width for the status strip that never cut their text: one shrinks its font
// until the text fits, one elides a long text in the middle. Both keep the whole text in
// text(), so whoever reads the label reads what was set.

#include <QLabel>

// Shows its whole text in its width, in a smaller font where the normal one is too wide.
class TFittingLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;
  // The font the text is painted in.
  QFont ShownFont() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Shows a text too long for its width with "…" in the middle, so both the start and the end
// (a file name's extension) stay visible; the tooltip carries the rest.
class TElidedLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;
  // The text as painted.
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
