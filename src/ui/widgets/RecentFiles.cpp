#include "ui/widgets/RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include "ui/widgets/UserStore.h"

namespace {
constexpr char kKey[] = "recentFiles";

void Save(const QStringList& files) {
  UserStore().setValue(QLatin1String(kKey), files);
}
}  // namespace

QStringList WithRecentFile(QStringList list, const QString& path, int limit) {
  list.removeAll(path);
  list.prepend(path);
  while (list.size() > limit) list.removeLast();
  return list;
}

TRecentFiles::TRecentFiles(QMenu* menu, QAction* before, std::function<void(const QString&)> open)
    : QObject(menu), fOpen(std::move(open)) {
  for (int i = 0; i < kCount; ++i) {
    auto* entry = new QAction(menu);
    entry->setObjectName(QStringLiteral("actRecent%1").arg(i + 1));
    menu->insertAction(before, entry);
    connect(entry, &QAction::triggered, this, [this, i] { Trigger(i); });
    fEntries.push_back(entry);
  }
  fSeparator = menu->insertSeparator(before);
  Show();
}

QStringList TRecentFiles::Files() const {
  return UserStore().value(QLatin1String(kKey)).toStringList();
}

void TRecentFiles::Add(const QString& path) {
  Save(WithRecentFile(Files(), QFileInfo(path).absoluteFilePath(), kCount));
  Show();
}

void TRecentFiles::SetEnabled(bool enabled) {
  fEnabled = enabled;
  Show();
}

void TRecentFiles::Show() {
  const QStringList files = Files();
  for (int i = 0; i < kCount; ++i) {
    QAction* entry = fEntries[i];
    entry->setVisible(i < files.size());
    entry->setEnabled(fEnabled);
    if (i >= files.size()) continue;
    entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
    entry->setToolTip(QDir::toNativeSeparators(files[i]));
    entry->setData(files[i]);
  }
  fSeparator->setVisible(!files.isEmpty());
}

void TRecentFiles::Trigger(int index) {
  const QString path = fEntries[index]->data().toString();
  if (!QFileInfo::exists(path)) {
    QStringList files = Files();
    files.removeAll(path);
    Save(files);
    Show();
    QMessageBox box(
        QMessageBox::Warning, tr("Внимание!"),
        tr("Файл %1 не найден; он убран из списка.").arg(QDir::toNativeSeparators(path)),
        QMessageBox::Ok, static_cast<QMenu*>(parent())->window());
    box.setObjectName(QStringLiteral("RecentFileMissing"));
    box.exec();
    return;
  }
  fOpen(path);
}
