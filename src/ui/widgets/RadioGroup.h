#pragma once
// A captioned group of radio buttons with one selected index, like a classic radio group.

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);
  int ItemIndex() const;
  // Selects an item without raising clicked().
  void SetItemIndex(int index);
  int Count() const { return static_cast<int>(fButtons.buttons().size()); }
  QAbstractButton* Button(int index) const { return fButtons.button(index); }

 signals:
  // The user (or the program, through Click) chose an item.
  void clicked(int index);
  // The group received the input focus.
  void focusEntered();

 public slots:
  // Selects an item as a user click would, raising clicked() when the index changed.
  void Click(int index);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QButtonGroup fButtons;
};
