#pragma once
// Small makers of the analysis windows' controls, each with its object name (the name tests
// and users find it by).

#include <QCheckBox>
#include <QPushButton>
#include <QString>

#include "ui/widgets/DecimalSpinBox.h"

inline QDoubleSpinBox* NamedSpin(QWidget* parent, const char* name, double low, double high,
                                 double value, int decimals, const QString& suffix = {}) {
  auto* spin = new TDecimalSpinBox(parent);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(low, high);
  spin->setDecimals(decimals);
  spin->setValue(value);
  spin->setSuffix(suffix);
  return spin;
}

inline QCheckBox* NamedCheck(QWidget* parent, const char* name, const QString& caption,
                             bool checked = false) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(checked);
  return box;
}

inline QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}
