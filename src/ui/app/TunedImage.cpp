// The edited calibration written back into the firmware image it was loaded from: the
// loaded state kept after each decode, the checksum status on the strip, and
// "Сохранить BIN с изменениями...". The upload to the unit takes the same image.
#include <QAction>
#include <QColor>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

#include "image/ImageFile.h"
#include "image/ImageWriteBack.h"
#include "image/SettingsFileCheck.h"
#include "ui/app/MainWindow.h"
#include "ui/app/RecentFiles.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/StatusStrip.h"

namespace {
QColor ChecksumColor(const TSchemeSearch& search) {
  if (!search.held.empty()) return {0, 128, 0};
  // A wrong checksum sends the unit into its fault mode; one not found may be a kind the
  // program does not know.
  return search.NamedFails() ? QColor(Qt::red) : QColor(128, 96, 0);
}
}  // namespace

void TfrmMain::KeepLoadedImage(bool decodedNow) {
  fLoaded.reset();
  fChecksum = {};
  fSchemes = {};
  if (decodedNow && fEFI->fImage.size() == static_cast<size_t>(kImageSize)) {
    fLoaded = std::make_unique<TEFIOperator>(*fEFI);
    fChecksum = CheckChecksum(fEFI->fImage, *fEFI);
    fSchemes = FindSchemes(fEFI->fImage, *fEFI);
    fStrip->ShowChecksum(SchemeStatusText(fSchemes), ChecksumColor(fSchemes));
    // Every scheme that holds, in words, for the one the short text cannot name.
    QStringList held;
    for (const TChecksumScheme& scheme : fSchemes.held) held << SchemeWords(scheme);
    if (!held.isEmpty()) fStrip->lChecksum->setToolTip(held.join(QLatin1Char('\n')));
  } else {
    fStrip->ShowChecksum(QString(), Qt::black);
  }
  actSaveTunedBin->setEnabled(HasTunedImage());
}

bool TfrmMain::HasTunedImage() const {
  return fLoaded && fEFI->fImage.size() == static_cast<size_t>(kImageSize);
}

TEFIOperator TfrmMain::TunedTables() {
  // The grids' texts go back into the tables first, as before a settings-file save.
  CollectGrids(1);
  TEFIOperator tuned(*fEFI);
  // The CO trim is calibration data the image keeps: a trim the user moved is written, one
  // left as loaded keeps the loaded byte (beyond the bar's ends too). The settings file keeps
  // the loaded byte either way.
  if (fEFI->fVersion != 1 && fLoaded) {
    const int loaded = std::clamp(int{fLoaded->fCOReg} - 128, -50, 50);
    const int trim = static_cast<int>(fMaps->Doc().Setting(QStringLiteral("COTrim")));
    if (trim != loaded) tuned.fCOReg = static_cast<uint8_t>(128 + trim);
  }
  return tuned;
}

bool TfrmMain::HasTunedChanges() {
  if (!HasTunedImage()) return false;
  return WriteBackTables(fLoaded->fImage, *fLoaded, TunedTables()) != fLoaded->fImage;
}

std::optional<std::vector<uint8_t>> TfrmMain::BuildTunedImage(bool& checksumKept) {
  if (!HasTunedImage()) return std::nullopt;
  // Only the schemes that held on the loaded image are corrected; never one that did not.
  checksumKept = fSchemes.held.empty();
  bool keepSum = false;
  if (checksumKept) {
    const QString text =
        !fSchemes.NamedFails()
            ? tr("Вид контрольной суммы загруженной прошивки не найден: прошивка с изменениями "
                 "сохранит прежние байты контрольной суммы, и если они неверны, DME будет "
                 "работать в аварийном режиме.\n\nВсё равно записать прошивку с изменениями?")
            : tr("Контрольная сумма загруженной прошивки неверна: прошивка с изменениями "
                 "сохранит прежние байты контрольной суммы, и DME будет работать в аварийном "
                 "режиме.\n\nВсё равно записать прошивку с изменениями?");
    QMessageBox question(QMessageBox::Question, tr("Внимание!"), text,
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName(QStringLiteral("ChecksumQuestion"));
    QPushButton* keep = question.addButton(tr("Сохранить сумму образа"), QMessageBox::AcceptRole);
    keep->setObjectName(QStringLiteral("btnKeepSum"));
    question.setDefaultButton(QMessageBox::No);
    question.exec();
    keepSum = question.clickedButton() == keep;
    if (!keepSum && question.clickedButton() != question.button(QMessageBox::Yes))
      return std::nullopt;
  }
  std::vector<uint8_t> image = WriteBackTables(fLoaded->fImage, *fLoaded, TunedTables());
  if (!checksumKept) CorrectSchemes(image, SchemesToCorrect());
  if (keepSum && !KeepImageSum(image)) return std::nullopt;
  return image;
}

bool TfrmMain::ConfirmTunedAxes() {
  const QString problem = AxisOrderProblem(*fEFI);
  if (problem.isEmpty()) return true;
  QMessageBox question(QMessageBox::Warning, tr("Внимание!"),
                       tr("Ось таблицы не возрастает: %1\n\nDME не сможет работать с такой "
                          "прошивкой. Всё равно загрузить её в DME?")
                           .arg(problem),
                       QMessageBox::Yes | QMessageBox::No, this);
  question.setObjectName(QStringLiteral("AxisOrderQuestion"));
  question.setDefaultButton(QMessageBox::No);
  return question.exec() == QMessageBox::Yes;
}

void TfrmMain::SaveTunedBinClick() {
  bool checksumKept = false;
  const std::optional<std::vector<uint8_t>> image = BuildTunedImage(checksumKept);
  if (!image) return;
  const QString path = RunFileDialog(sdSaveFile);
  if (path.isEmpty()) return;
  SaveImageFile(path, *image);
  // The changes are kept in a file now: in the image, which loads back into the editors.
  fMaps->Doc().MarkSaved();
  fStrip->ShowFileName(path);
  fRecent->Add(path);
  if (!checksumKept) return;
  const QString why = fChecksum.kind == TChecksumKind::None
                          ? tr("Прошивка с изменениями записана в файл %1.\n\nКонтрольная сумма "
                               "не исправлена: её вид не найден в загруженной прошивке.")
                          : tr("Прошивка с изменениями записана в файл %1.\n\nКонтрольная сумма "
                               "не исправлена: она была неверна уже в загруженной прошивке.");
  QMessageBox note(QMessageBox::Warning, tr("Внимание!"), why.arg(QDir::toNativeSeparators(path)),
                   QMessageBox::Ok, this);
  note.setObjectName(QStringLiteral("ChecksumNotCorrected"));
  note.exec();
}
