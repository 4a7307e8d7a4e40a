// The file commands of the main window: load an image file, save it, load a settings file,
// save the settings ("&Сохранить").
#include <QAction>
#include <QMessageBox>
#include <QPushButton>

#include "calibration/CalibrationSession.h"
#include "image/ImageFile.h"
#include "ui/app/MainWindow.h"
#include "ui/editors/MapEditors.h"
#include "ui/link/AdapterCommands.h"
#include "ui/tuned/TunedImageCommands.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/RecentFiles.h"
#include "ui/widgets/StatusStrip.h"

void TfrmMain::UpdateImageCommands() {
  // actSaveTunedBin follows the session's loaded image (TTunedImageCommands).
  N9->setEnabled(EFI().fImage.size() == static_cast<size_t>(kImageSize));
}

void TfrmMain::BIN1Click() {
  const QString path = RunFileDialog(odOpenFile);
  if (!path.isEmpty() && ConfirmDiscard()) OpenImageFile(path);
}

void TfrmMain::OpenImageFile(const QString& path) {
  fStrip->ShowFileName(path);
  // The first 32768 bytes; a shorter file stops here with "Read beyond end of file".
  fSession->ReadImageFile(path);
  UpdateImageCommands();
  FillGrids(false);
  N7->setEnabled(true);
  fRecent->Add(path);
}

void TfrmMain::N9Click() {
  // With table edits the image as loaded is no longer what the grids show: the user says
  // which of the two is meant. Without them the command writes the image as it always did.
  if (HasTunedChanges()) {
    QMessageBox question(QMessageBox::Question, tr("Внимание!"),
                         tr("Таблицы изменены. Сохранить прошивку с изменениями или такой, "
                            "как она была загружена?"),
                         QMessageBox::NoButton, this);
    question.setObjectName(QStringLiteral("SaveBinQuestion"));
    QPushButton* tuned = question.addButton(tr("С изменениями"), QMessageBox::AcceptRole);
    tuned->setObjectName(QStringLiteral("btnSaveWithChanges"));
    QPushButton* loaded = question.addButton(tr("Как загружена"), QMessageBox::DestructiveRole);
    loaded->setObjectName(QStringLiteral("btnSaveAsLoaded"));
    question.addButton(QMessageBox::Cancel);
    question.setDefaultButton(tuned);
    question.exec();
    if (question.clickedButton() == tuned) {
      fTuned->SaveClick();
      return;
    }
    if (question.clickedButton() != loaded) return;
    const QString path = RunFileDialog(sdSaveFile);
    if (path.isEmpty()) return;
    SaveImageFile(path, EFI().fImage);
    fStrip->ShowFileName(path);
    fRecent->Add(path);
    return;
  }
  const QString path = RunFileDialog(sdSaveFile);
  if (path.isEmpty()) return;
  SaveImageFile(path, EFI().fImage);
  fRecent->Add(path);
}

bool TfrmMain::HasTunedChanges() {
  return fTuned->HasChanges();
}

void TfrmMain::N7Click() {
  if (!fSession->Loaded() || fAdapter->Busy()) return;
  // The unit is asked to keep its adapted values first; without an answer the changes go
  // into the file only (the exchange says so).
  fAdapter->StoreExchange();
  const QString path = RunFileDialog(sdSetSaveFile);
  if (path.isEmpty()) return;
  // The grids go back into the tables first.
  CollectGrids(1);
  fSession->SaveSettingsFile(path);
}

void TfrmMain::N17Click() {
  const QString path = RunFileDialog(odDMEFile);
  if (!path.isEmpty() && ConfirmDiscard()) OpenSettingsFile(path);
}

void TfrmMain::OpenFile(const QString& path) {
  if (path.endsWith(QLatin1String(".dme"), Qt::CaseInsensitive))
    OpenSettingsFile(path);
  else
    OpenImageFile(path);
}

void TfrmMain::OpenSettingsFile(const QString& path) {
  fStrip->ShowFileName(path);
  const bool mismatch = fSession->SettingsFileMismatch(path);
  if (!mismatch) {
    fSession->ReadSettingsFile(path);
  } else {
    QMessageBox question(QMessageBox::Question, tr("Внимание!"),
                         tr("Загружаемые данные не соответствуют текущей версии "
                            "прошивки! Продолжить загрузку?"),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName(QStringLiteral("VersionQuestion"));
    if (question.exec() == QMessageBox::Yes) fSession->ReadSettingsFile(path);
  }
  UpdateImageCommands();
  if (!mismatch) FillGrids(true);
  N7->setEnabled(true);
  fRecent->Add(path);
}

bool TfrmMain::ConfirmDiscard() {
  if (!fMaps->Doc().IsModified()) return true;
  QMessageBox question(QMessageBox::Question, tr("Внимание!"),
                       tr("Изменения калибровки не сохранены. Сохранить их в файл "
                          "настроек?"),
                       QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  question.setObjectName(QStringLiteral("UnsavedQuestion"));
  question.setDefaultButton(QMessageBox::Save);
  switch (question.exec()) {
    case QMessageBox::Save:
      // The save of "&Сохранить"; cancelling its file dialog keeps the changes and stops.
      N7Click();
      return !fMaps->Doc().IsModified();
    case QMessageBox::Discard:
      return true;
    default:
      return false;
  }
}
