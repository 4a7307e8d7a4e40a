#pragma once
// The last five images and settings files opened, listed in "&Файл" for one-click reopening
// and kept in the per-user settings store.

#include <QObject>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;

// The list after opening `path`: it comes first, once, and at most `limit` names stay.
QStringList WithRecentFile(QStringList list, const QString& path, int limit);

class TRecentFiles : public QObject {
  Q_OBJECT
 public:
  static constexpr int kCount = 5;

  // Puts the entries actRecent1 .. actRecent5 into `menu` before `before`; a triggered entry
  // calls `open` with its path, or says the file is gone and drops it.
  TRecentFiles(QMenu* menu, QAction* before, std::function<void(const QString&)> open);

  // A file opened by any command.
  void Add(const QString& path);
  QStringList Files() const;
  // Entries can be used only while opening a file is allowed.
  void SetEnabled(bool enabled);

 private:
  void Show();
  void Trigger(int index);

  QList<QAction*> fEntries;
  QAction* fSeparator = nullptr;
  std::function<void(const QString&)> fOpen;
  bool fEnabled = false;
};
