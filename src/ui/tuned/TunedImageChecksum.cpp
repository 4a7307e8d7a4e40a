// The tuned image's checksum bytes where the evidence is weak: the 16-bit sum of a unit
// without a checksum scheme kept by two filler bytes, shown by address before the image is
// written, and a scheme only the area search found corrected once the user has agreed.
#include <QMessageBox>
#include <QPushButton>

#include "calibration/CalibrationSession.h"
#include "image/ChecksumScheme.h"
#include "image/FillerSum.h"
#include "ui/tuned/TunedImageCommands.h"

namespace {
QString Hex(int64_t value, int digits) {
  return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}
}  // namespace

bool TTunedImageCommands::KeepImageSum(std::vector<uint8_t>& image) {
  QString why;
  const std::optional<TFillerBytes> bytes =
      FindFillerBytes(fSession.LoadedImage(), image, fSession.Efi(), why);
  if (!bytes) {
    QMessageBox refusal(QMessageBox::Warning, tr("Внимание!"), why, QMessageBox::Ok, fViews.window);
    refusal.setObjectName(QStringLiteral("KeepSumRefused"));
    refusal.exec();
    return false;
  }
  QStringList lines;
  for (int i = 0; i < 2; ++i)
    lines << tr("%1: %2 -> %3")
                 .arg(Hex(bytes->address + i, 4), Hex(bytes->before[static_cast<size_t>(i)], 2),
                      Hex(bytes->after[static_cast<size_t>(i)], 2));
  QMessageBox confirm(
      QMessageBox::Question, tr("Внимание!"),
      tr("Чтобы 16-битная сумма всех байтов прошивки осталась прежней (%1), будут изменены два "
         "байта заполнителя:\n\n%2\n\nЗаписать прошивку с изменениями?")
          .arg(Hex(ImageSum16(fSession.LoadedImage()), 4), lines.join(QLatin1Char('\n'))),
      QMessageBox::Ok | QMessageBox::Cancel, fViews.window);
  confirm.setObjectName(QStringLiteral("KeepSumBytes"));
  confirm.setDefaultButton(QMessageBox::Cancel);
  if (confirm.exec() != QMessageBox::Ok) return false;
  ApplyFillerBytes(image, *bytes);
  return true;
}

std::vector<TChecksumScheme> TTunedImageCommands::SchemesToCorrect() {
  std::vector<TChecksumScheme> agreed;
  for (const TChecksumScheme& scheme : fSession.LoadedSchemes().held) {
    if (!scheme.searched) {
      agreed.push_back(scheme);
      continue;
    }
    // Its sum may hold by chance: correcting it then rewrites code or data of the unit.
    QMessageBox question(
        QMessageBox::Question, tr("Внимание!"),
        tr("Контрольная сумма найдена только поиском и может совпасть случайно:\n\n%1\n\n"
           "Исправить её? Будут изменены байты %2 (сумма области %3). Иначе эти байты "
           "останутся прежними.")
            .arg(SchemeWords(scheme), SchemePlaceText(scheme),
                 Hex(scheme.ranges.front().first, 4) + QLatin1Char('-') +
                     Hex(scheme.ranges.front().last, 4)),
        QMessageBox::NoButton, fViews.window);
    question.setObjectName(QStringLiteral("SearchedChecksumQuestion"));
    QPushButton* correct = question.addButton(tr("Исправить"), QMessageBox::YesRole);
    correct->setObjectName(QStringLiteral("btnCorrectSearched"));
    QPushButton* leave = question.addButton(tr("Оставить байты"), QMessageBox::NoRole);
    leave->setObjectName(QStringLiteral("btnLeaveSearched"));
    question.setDefaultButton(correct);
    question.setEscapeButton(leave);
    question.exec();
    if (question.clickedButton() != leave) agreed.push_back(scheme);
  }
  return agreed;
}
