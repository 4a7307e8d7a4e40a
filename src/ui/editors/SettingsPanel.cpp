// The engine settings page: rev limiter, lambda sensor, lambda switch and CO trim.
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

#include "ui/editors/EditorRules.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/RadioGroup.h"

namespace {
// Calls `onLeave` whenever the watched widget loses the input focus, for as long as its
// owner lives.
class TLeaveWatcher : public QObject {
 public:
  TLeaveWatcher(QObject* owner, QWidget* watched, std::function<void()> onLeave)
      : QObject(owner), fOnLeave(std::move(onLeave)) {
    watched->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) fOnLeave();
    return false;
  }

 private:
  std::function<void()> fOnLeave;
};
}  // namespace

void TMapEditors::SnapRevLimit() {
  seMaxRMP->interpretText();
  const int snapped = SnapMaxRPM(Variant(), seMaxRMP->value());
  // The field holds the result within 0 to 9000.
  seMaxRMP->setValue(snapped);
}

void TMapEditors::ShowCOTrim(int position) {
  Label13->setText(QString::number(position));
}

void TMapEditors::ConnectSettings() {
  new TLeaveWatcher(this, seMaxRMP, [this] { RunCommand([this] { SnapRevLimit(); }); });

  auto showLambdaGroups = [this] {
    const bool wide = rgO2Type->ItemIndex() == 1;
    gbRegLam->setVisible(!wide);
    gbWideLam->setVisible(wide);
    gbLamGrf->setVisible(wide);
  };
  connect(rgO2Type, &TRadioGroup::clicked, this, showLambdaGroups);
  showLambdaGroups();

  auto showCOGroup = [this] { gbCOreg->setVisible(rgO2Switch->ItemIndex() == 1); };
  connect(rgO2Switch, &TRadioGroup::clicked, this, showCOGroup);
  connect(rgO2Switch, &TRadioGroup::focusEntered, this, showCOGroup);

  connect(seLamMin, &QDoubleSpinBox::valueChanged, this, [this] { DrawLambda(); });
  connect(seLamMax, &QDoubleSpinBox::valueChanged, this, [this] { DrawLambda(); });
  DrawLambda();

  // The label follows the user's scrolling only, not the position set by the fill.
  connect(sbCOreg, &QScrollBar::valueChanged, this, [this](int position) {
    if (!fFillingCOreg) ShowCOTrim(position);
  });
  connect(btnCOReset, &QPushButton::clicked, this, [this] {
    fFillingCOreg = true;
    sbCOreg->setValue(0);
    fFillingCOreg = false;
    Label13->setText(QStringLiteral("0"));
  });
}
