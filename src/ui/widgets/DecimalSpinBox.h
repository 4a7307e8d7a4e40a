#pragma once
// TDecimalSpinBox: a number box for decimals that takes either decimal mark as it is typed.
// A plain QDoubleSpinBox under Russian settings drops a typed "." (a keypad's decimal key
// gives one), so "14.5" would become 145 and then the box's limit: here the other mark
// becomes the user's as it is typed, and the number typed is the number taken.

#include <QDoubleSpinBox>

class TDecimalSpinBox : public QDoubleSpinBox {
  Q_OBJECT
 public:
  using QDoubleSpinBox::QDoubleSpinBox;

  QValidator::State validate(QString& input, int& pos) const override;
  double valueFromText(const QString& text) const override;
};
