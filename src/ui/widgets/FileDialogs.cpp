#include "ui/widgets/FileDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QPointer>

#include "ui/widgets/UserStore.h"

QFileDialog* MakeFileDialog(QWidget* owner, const char* name, bool save, const QString& title,
                            const QStringList& filters, const QString& suffix) {
  auto* dialog = new QFileDialog(owner);
  dialog->setObjectName(QString::fromLatin1(name));
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setWindowTitle(title);
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!filters.isEmpty()) dialog->setNameFilters(filters);
  dialog->setDefaultSuffix(suffix);
  MatchAllFilesForStarDotStar(dialog);
  QObject::connect(dialog, &QFileDialog::filterSelected, dialog,
                   [dialog] { MatchAllFilesForStarDotStar(dialog); });
  return dialog;
}

void MatchAllFilesForStarDotStar(QFileDialog* dialog) {
  if (!dialog->selectedNameFilter().endsWith(QLatin1String("(*.*)"))) return;
  // The dialog's own file model is its child; the filter text stays as it is shown.
  if (auto* model = dialog->findChild<QFileSystemModel*>())
    model->setNameFilters({QStringLiteral("*")});
}

namespace {
// Each kind of file (by the dialog's default suffix) opens where the user last was for it.
QString FolderKey(const QFileDialog* dialog) {
  const QString kind =
      dialog->defaultSuffix().isEmpty() ? dialog->objectName() : dialog->defaultSuffix();
  return QStringLiteral("folders/") + kind;
}

}  // namespace

QString RunFileDialog(QFileDialog* dialog) {
  QPointer<QWidget> focus = QApplication::focusWidget();
  MatchAllFilesForStarDotStar(dialog);
  const QString folder = UserStore().value(FolderKey(dialog)).toString();
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog->setDirectory(folder);
  const bool accepted = dialog->exec() == QDialog::Accepted;
  // A name typed into the dialog opens its completion list; a list left open over the
  // window would swallow the next click and keep the keyboard.
  for (QCompleter* completer : dialog->findChildren<QCompleter*>()) {
    if (completer->popup() && completer->popup()->isVisible()) completer->popup()->hide();
  }
  if (focus) {
    focus->activateWindow();
    focus->setFocus(Qt::OtherFocusReason);
  }
  if (!accepted) return QString();
  const QStringList files = dialog->selectedFiles();
  if (files.isEmpty()) return QString();
  UserStore().setValue(FolderKey(dialog), QFileInfo(files.front()).absolutePath());
  return files.front();
}
