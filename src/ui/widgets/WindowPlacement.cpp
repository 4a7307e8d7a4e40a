#include "ui/widgets/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <limits>

#include "ui/widgets/UserStore.h"

namespace {
// The free area holding `point`, or the one nearest to it.
QRect AreaAt(const QPoint& point, const QList<QRect>& screens) {
  QRect nearest = screens.front();
  int best = std::numeric_limits<int>::max();
  for (const QRect& area : screens) {
    if (area.contains(point)) return area;
    const int dx = std::max({area.left() - point.x(), 0, point.x() - area.right()});
    const int dy = std::max({area.top() - point.y(), 0, point.y() - area.bottom()});
    if (dx + dy < best) {
      best = dx + dy;
      nearest = area;
    }
  }
  return nearest;
}

bool OnAScreen(const QPoint& point, const QList<QRect>& screens) {
  return std::any_of(screens.begin(), screens.end(),
                     [&point](const QRect& area) { return area.contains(point); });
}

// Moves `outer` by as little as it takes to lie within `area` (its top left corner first,
// where the title bar is, should it still not fit).
QPoint Shift(const QRect& outer, const QRect& area) {
  int dx = 0, dy = 0;
  if (outer.right() > area.right()) dx = area.right() - outer.right();
  if (outer.left() + dx < area.left()) dx = area.left() - outer.left();
  if (outer.bottom() > area.bottom()) dy = area.bottom() - outer.bottom();
  if (outer.top() + dy < area.top()) dy = area.top() - outer.top();
  return {dx, dy};
}
}  // namespace

QRect PlaceWindow(const QRect& stored, const QSize& size, const QMargins& frame,
                  const QRect& anchor, const QList<QRect>& screens, bool centreOnScreen) {
  if (screens.isEmpty()) return stored.isValid() ? stored : QRect(anchor.topLeft(), size);
  QRect client;
  QRect area;
  if (stored.isValid() && OnAScreen(stored.center(), screens)) {
    client = stored;
    area = AreaAt(stored.center(), screens);
  } else {
    area = AreaAt(anchor.center(), screens);
    client = QRect(QPoint(0, 0), size);
    const QPoint centre = centreOnScreen ? area.center() : anchor.center();
    client.moveCenter(centre +
                      QPoint(frame.left() - frame.right(), frame.top() - frame.bottom()) / 2);
  }
  const QSize room = area.size().shrunkBy(frame);
  client.setSize(client.size().boundedTo(room).expandedTo(QSize(1, 1)));
  return client.translated(Shift(client.marginsAdded(frame), area));
}

TWindowPlacement::TWindowPlacement(QWidget* window, const QString& key, QWidget* anchor,
                                   bool centreOnScreen)
    : QObject(window),
      fWindow(window),
      fKey(key + QStringLiteral("/placement")),
      fAnchor(anchor),
      fCentreOnScreen(centreOnScreen) {
  window->installEventFilter(this);
}

void TWindowPlacement::Place() {
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
  const QRect stored = UserStore().value(fKey).toRect();
  // The frame the desktop puts around windows, as the main window has it (a window not yet
  // shown has none to measure).
  QMargins frame;
  QRect anchor;
  if (fAnchor) {
    anchor = fAnchor->frameGeometry();
    const QRect inner = fAnchor->geometry();
    frame = QMargins(inner.left() - anchor.left(), inner.top() - anchor.top(),
                     anchor.right() - inner.right(), anchor.bottom() - inner.bottom());
  }
  fWindow->setGeometry(
      PlaceWindow(stored, fWindow->size(), frame, anchor, screens, fCentreOnScreen));
  fPlaced = true;
}

void TWindowPlacement::Keep() const {
  if (fPlaced) UserStore().setValue(fKey, fWindow->geometry());
}

bool TWindowPlacement::eventFilter(QObject* watched, QEvent* event) {
  if (watched == fWindow) {
    if (event->type() == QEvent::Show && !fPlaced) Place();
    if (event->type() == QEvent::Hide || event->type() == QEvent::Close) Keep();
  }
  return false;
}
