// TTunedImageCommands: the checksum status of the loaded image on the strip, the tuned image
// built with the user's answers, and "Сохранить BIN с изменениями...". The upload to the
// unit takes the same image.
#include "ui/tuned/TunedImageCommands.h"

#include <QAction>
#include <QColor>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "calibration/CalibrationSession.h"
#include "image/ImageFile.h"
#include "image/SettingsFileCheck.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/RecentFiles.h"
#include "ui/widgets/StatusStrip.h"

namespace {
QColor ChecksumColor(const TSchemeSearch& search) {
  if (!search.held.empty()) return {0, 128, 0};
  // A wrong checksum sends the unit into its fault mode; one not found may be a kind the
  // program does not know.
  return search.NamedFails() ? QColor(Qt::red) : QColor(128, 96, 0);
}
}  // namespace

TTunedImageCommands::TTunedImageCommands(QObject* parent, TCalibrationSession& session,
                                         std::function<void()> collect, const Views& views)
    : QObject(parent), fSession(session), fCollect(std::move(collect)), fViews(views) {
  setObjectName(QStringLiteral("TunedImageCommands"));
  connect(&fSession, &TCalibrationSession::LoadedImageChanged, this,
          &TTunedImageCommands::ShowLoadedState);
}

void TTunedImageCommands::ShowLoadedState() {
  if (fSession.HasTunedImage()) {
    const TSchemeSearch& schemes = fSession.LoadedSchemes();
    fViews.strip->ShowChecksum(SchemeStatusText(schemes), ChecksumColor(schemes));
    // Every scheme that holds, in words, for the one the short text cannot name.
    QStringList held;
    for (const TChecksumScheme& scheme : schemes.held) held << SchemeWords(scheme);
    if (!held.isEmpty()) fViews.strip->lChecksum->setToolTip(held.join(QLatin1Char('\n')));
  } else {
    fViews.strip->ShowChecksum(QString(), Qt::black);
  }
  fViews.saveAction->setEnabled(fSession.HasTunedImage());
}

bool TTunedImageCommands::HasChanges() {
  if (!fSession.HasTunedImage()) return false;
  fCollect();
  return fSession.HasTunedChanges();
}

std::optional<std::vector<uint8_t>> TTunedImageCommands::Build(bool& checksumKept) {
  if (!fSession.HasTunedImage()) return std::nullopt;
  const TSchemeSearch& schemes = fSession.LoadedSchemes();
  // Only the schemes that held on the loaded image are corrected; never one that did not.
  checksumKept = schemes.held.empty();
  bool keepSum = false;
  if (checksumKept) {
    const QString text =
        !schemes.NamedFails()
            ? tr("Вид контрольной суммы загруженной прошивки не найден: прошивка с изменениями "
                 "сохранит прежние байты контрольной суммы, и если они неверны, DME будет "
                 "работать в аварийном режиме.\n\nВсё равно записать прошивку с изменениями?")
            : tr("Контрольная сумма загруженной прошивки неверна: прошивка с изменениями "
                 "сохранит прежние байты контрольной суммы, и DME будет работать в аварийном "
                 "режиме.\n\nВсё равно записать прошивку с изменениями?");
    QMessageBox question(QMessageBox::Question, tr("Внимание!"), text,
                         QMessageBox::Yes | QMessageBox::No, fViews.window);
    question.setObjectName(QStringLiteral("ChecksumQuestion"));
    QPushButton* keep = question.addButton(tr("Сохранить сумму образа"), QMessageBox::AcceptRole);
    keep->setObjectName(QStringLiteral("btnKeepSum"));
    question.setDefaultButton(QMessageBox::No);
    question.exec();
    keepSum = question.clickedButton() == keep;
    if (!keepSum && question.clickedButton() != question.button(QMessageBox::Yes))
      return std::nullopt;
  }
  fCollect();
  std::vector<uint8_t> image = fSession.WriteTunedTables();
  if (!checksumKept) CorrectSchemes(image, SchemesToCorrect());
  if (keepSum && !KeepImageSum(image)) return std::nullopt;
  return image;
}

bool TTunedImageCommands::ConfirmAxes() {
  const QString problem = AxisOrderProblem(fSession.Efi());
  if (problem.isEmpty()) return true;
  QMessageBox question(QMessageBox::Warning, tr("Внимание!"),
                       tr("Ось таблицы не возрастает: %1\n\nDME не сможет работать с такой "
                          "прошивкой. Всё равно загрузить её в DME?")
                           .arg(problem),
                       QMessageBox::Yes | QMessageBox::No, fViews.window);
  question.setObjectName(QStringLiteral("AxisOrderQuestion"));
  question.setDefaultButton(QMessageBox::No);
  return question.exec() == QMessageBox::Yes;
}

void TTunedImageCommands::SaveClick() {
  bool checksumKept = false;
  const std::optional<std::vector<uint8_t>> image = Build(checksumKept);
  if (!image) return;
  const QString path = RunFileDialog(fViews.saveDialog);
  if (path.isEmpty()) return;
  SaveImageFile(path, *image);
  // The changes are kept in a file now: in the image, which loads back into the editors.
  fSession.Doc().MarkSaved();
  fViews.strip->ShowFileName(path);
  fViews.recent->Add(path);
  if (!checksumKept) return;
  const QString why = fSession.LoadedChecksum().kind == TChecksumKind::None
                          ? tr("Прошивка с изменениями записана в файл %1.\n\nКонтрольная сумма "
                               "не исправлена: её вид не найден в загруженной прошивке.")
                          : tr("Прошивка с изменениями записана в файл %1.\n\nКонтрольная сумма "
                               "не исправлена: она была неверна уже в загруженной прошивке.");
  QMessageBox note(QMessageBox::Warning, tr("Внимание!"), why.arg(QDir::toNativeSeparators(path)),
                   QMessageBox::Ok, fViews.window);
  note.setObjectName(QStringLiteral("ChecksumNotCorrected"));
  note.exec();
}
