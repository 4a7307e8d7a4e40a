#include "ui/widgets/DecimalSpinBox.h"

namespace {
// The text with the box's own decimal mark in place of the other one, when it has only that.
QString InOwnMark(const QString& text, const QLocale& locale) {
  const QString own = locale.decimalPoint();
  const QString other = own == QLatin1String(",") ? QStringLiteral(".") : QStringLiteral(",");
  if (text.contains(own) || !text.contains(other)) return text;
  QString out = text;
  out.replace(other, own);
  return out;
}
}  // namespace

QValidator::State TDecimalSpinBox::validate(QString& input, int& pos) const {
  input = InOwnMark(input, locale());
  return QDoubleSpinBox::validate(input, pos);
}

double TDecimalSpinBox::valueFromText(const QString& text) const {
  return QDoubleSpinBox::valueFromText(InOwnMark(text, locale()));
}
