#pragma once
// TWindowPlacement: where a resizable window of the program opens and what it keeps between
// runs. It opens where it was last closed, at that size, when that place is still on a
// screen; otherwise on the screen the main window is on, centred over the main window (or on
// that screen) at its own size. Either way it is held within the free area of its screen, so
// that no part of it (a button at its foot) lies off a laptop's screen.

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

// The rule on plain rectangles, all in screen coordinates. `stored`: the client area kept
// from the last run (null: none). `size`: the window's own client size. `frame`: what the
// window's frame adds on the left, top, right and bottom (the title bar). `anchor`: the
// main window's frame; `screens`: the free areas of the screens. `centreOnScreen`: a window
// without a stored place is centred on the anchor's screen instead of over the anchor.
// Returns the client area to give the window.
QRect PlaceWindow(const QRect& stored, const QSize& size, const QMargins& frame,
                  const QRect& anchor, const QList<QRect>& screens, bool centreOnScreen);

class TWindowPlacement : public QObject {
  Q_OBJECT
 public:
  // Keeps `window`'s place and size under `key` in the per-user store: placed when it is
  // first shown, kept whenever it is hidden or closed. `anchor` is the main window.
  TWindowPlacement(QWidget* window, const QString& key, QWidget* anchor,
                   bool centreOnScreen = false);

  // Puts the window where PlaceWindow says, from the store and the screens as they are now.
  void Place();
  // Writes the window's client area to the store.
  void Keep() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* fWindow;
  QString fKey;
  QWidget* fAnchor;
  bool fCentreOnScreen;
  bool fPlaced = false;
};
