#pragma once
// The per-user settings store of the program (the desktop's native place for it): the main
// window's placement, the recent files and the folder each kind of file dialog last used.

#include <QSettings>

inline QSettings UserStore() {
  return QSettings(QStringLiteral("Tarvelo"), QStringLiteral("Tarvelo"));
}
