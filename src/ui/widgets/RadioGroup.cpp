#include "ui/widgets/RadioGroup.h"

#include <QEvent>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), fButtons(this) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(0);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    fButtons.addButton(button, i);
    button->installEventFilter(this);
    layout->addWidget(button);
  }
  connect(&fButtons, &QButtonGroup::idClicked, this, &TRadioGroup::clicked);
  setFocusPolicy(Qt::TabFocus);
}

int TRadioGroup::ItemIndex() const {
  return fButtons.checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
  if (auto* button = fButtons.button(index)) button->setChecked(true);
}

void TRadioGroup::Click(int index) {
  const bool changed = index != ItemIndex();
  SetItemIndex(index);
  if (changed) emit clicked(index);
}

bool TRadioGroup::eventFilter(QObject* watched, QEvent* event) {
  // A click on one of the buttons gives the focus to that button: the group has it then.
  if (event->type() == QEvent::FocusIn) emit focusEntered();
  return QGroupBox::eventFilter(watched, event);
}

void TRadioGroup::focusInEvent(QFocusEvent* event) {
  QGroupBox::focusInEvent(event);
  emit focusEntered();
}
