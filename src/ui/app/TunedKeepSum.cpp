// The tuned image of a unit without a checksum scheme: its 16-bit sum kept by two filler
// bytes, shown by address before the image is written.
#include <QMessageBox>

#include "image/FillerSum.h"
#include "ui/app/mainfrm.h"

namespace {
QString Hex(int64_t value, int digits) {
  return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}
}  // namespace

bool TfrmMain::KeepImageSum(std::vector<uint8_t>& image) {
  QString why;
  const std::optional<TFillerBytes> bytes = FindFillerBytes(fLoaded->fImage, image, *fEFI, why);
  if (!bytes) {
    QMessageBox refusal(QMessageBox::Warning, tr("Внимание!"), why, QMessageBox::Ok, this);
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
          .arg(Hex(ImageSum16(fLoaded->fImage), 4), lines.join(QLatin1Char('\n'))),
      QMessageBox::Ok | QMessageBox::Cancel, this);
  confirm.setObjectName(QStringLiteral("KeepSumBytes"));
  confirm.setDefaultButton(QMessageBox::Cancel);
  if (confirm.exec() != QMessageBox::Ok) return false;
  ApplyFillerBytes(image, *bytes);
  return true;
}
