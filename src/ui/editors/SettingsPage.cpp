// TSettingsPage: the rev limiter, the CO trim and the lambda panel, and their values as
// settings of the calibration document: a change of a control is a step of the history,
// and every change of the document's settings shows in the controls.
#include "ui/editors/SettingsPage.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <functional>

#include "calibration/Calibration.h"
#include "image/EfiOperator.h"
#include "ui/editors/EditorRules.h"
#include "ui/editors/PageParts.h"
#include "ui/editors/TableView.h"
#include "ui/widgets/DecimalSpinBox.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/RadioGroup.h"

using namespace PageParts;

namespace {
// A sensor voltage box at the right of its group, two decimals in steps of 0.1 V.
QDoubleSpinBox* VoltageBox(QWidget* parent, const char* name, double low, double high, double value,
                           int y) {
  auto* box = Named(new TDecimalSpinBox(parent), name);
  box->setRange(low, high);
  box->setSingleStep(0.1);
  box->setDecimals(2);
  box->setValue(value);
  box->setGeometry(100, y, 70, 22);
  return box;
}

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

// The step titles of the settings panel's values.
QString SettingTitle(const QString& key) {
  if (key == QLatin1String("MaxRPM"))
    return QCoreApplication::translate("TMapEditors", "Порог оборотов");
  if (key == QLatin1String("COTrim"))
    return QCoreApplication::translate("TMapEditors", "Регулировка СО");
  if (key == QLatin1String("O2Type"))
    return QCoreApplication::translate("TMapEditors", "Тип лямбда зонда");
  if (key == QLatin1String("O2Switch"))
    return QCoreApplication::translate("TMapEditors", "Лямбда ВКЛ/ВЫКЛ");
  return QCoreApplication::translate("TMapEditors", "Вольтаж лямбда зонда");
}
}  // namespace

TSettingsPage::TSettingsPage(QObject* parent, TCalibration& doc, TEditorState& state,
                             QWidget* sheet)
    : QObject(parent), fDoc(doc), fState(state) {
  BuildRevAndCO(sheet);
  BuildLambda(sheet);
  PageButton(sheet, "sbECURPM");
  ConnectControls();
  ConnectDocument();
}

void TSettingsPage::BuildRevAndCO(QWidget* page) {
  QGroupBox* rev = Group(page, "GroupBox2", tr("Ограничитель оборотов двигателя"), 4, 2, 300, 58);
  Text(rev, tr("Порог срабатывания:"), 8, 28);
  seMaxRMP = Named(new QSpinBox(rev), "seMaxRMP");
  seMaxRMP->setRange(0, 9000);
  seMaxRMP->setSingleStep(40);
  seMaxRMP->setValue(0);
  seMaxRMP->setGeometry(140, 24, 76, 22);
  seMaxRMP->setEnabled(false);
  Text(rev, tr("об./мин."), 222, 28);

  gbCOreg = Group(page, "gbCOreg", tr("Регулировка СО"), 4, 64, 300, 92);
  Text(gbCOreg, tr("бедно"), 8, 24);
  sbCOreg = Named(new QScrollBar(Qt::Horizontal, gbCOreg), "sbCOreg");
  sbCOreg->setRange(-50, 50);
  sbCOreg->setPageStep(1);
  sbCOreg->setSingleStep(1);
  sbCOreg->setGeometry(48, 22, 196, 17);
  Text(gbCOreg, tr("богато"), 250, 24);
  Label13 = Text(gbCOreg, QStringLiteral("0"), 142, 44, "Label13");
  Label13->setFixedWidth(40);
  btnCOReset = Named(new QPushButton(tr("Сброс"), gbCOreg), "btnCOReset");
  btnCOReset->setGeometry(110, 62, 75, 23);
  gbCOreg->setVisible(false);

  // Each caption stands on its own line above its edit box and button: beside them it
  // would run under the box at the default font size.
  QGroupBox* throttle = Group(page, "GroupBox1", tr("Калибровка дросселя"), 4, 160, 300, 116);
  Text(throttle, tr("Полностью закрытый дроссель:"), 8, 20);
  auto* closed = Named(new QLineEdit(QStringLiteral("0"), throttle), "sdtClosedTrottle");
  closed->setGeometry(8, 38, 48, 22);
  Named(new QPushButton(tr("Измерить"), throttle), "btnClosedTrottle")->setGeometry(62, 37, 80, 24);
  Text(throttle, tr("Полностью открытый дроссель:"), 8, 66);
  auto* open = Named(new QLineEdit(QStringLiteral("255"), throttle), "Edit1");
  open->setGeometry(8, 84, 48, 22);
  Named(new QPushButton(tr("Измерить"), throttle), "Button1")->setGeometry(62, 83, 80, 24);
  throttle->setEnabled(false);
}

void TSettingsPage::BuildLambda(QWidget* page) {
  QGroupBox* lambda = Group(page, "GroupBox3", tr("Лямбда зонд"), 310, 2, 364, 300);
  rgO2Type = Named(
      new TRadioGroup(tr("Тип лямбда зонда"), {tr("узкополосный"), tr("широкополосный")}, lambda),
      "rgO2Type");
  rgO2Type->setGeometry(8, 18, 160, 62);
  rgO2Type->SetItemIndex(1);

  gbWideLam = Group(lambda, "gbWideLam", tr("Диапазон датчика"), 176, 18, 180, 80);
  Text(gbWideLam, tr("Мин. вольтаж"), 8, 24);
  seLamMin = VoltageBox(gbWideLam, "seLamMin", 0, 0.45, 0, 20);
  Text(gbWideLam, tr("Макс. вольтаж"), 8, 52);
  seLamMax = VoltageBox(gbWideLam, "seLamMax", 0.6, 1.5, 1.0, 48);

  gbRegLam = Group(lambda, "gbRegLam", tr("Пороговое значение"), 176, 18, 180, 56);
  Text(gbRegLam, tr("Вольтаж"), 8, 26);
  seRegLamSwitch = VoltageBox(gbRegLam, "seRegLamSwitch", 0.35, 0.6, 0.45, 22);

  gbLamGrf = Group(lambda, "gbLamGrf", tr("Характеристика датчика"), 8, 102, 348, 126);
  TLineChart::Style lambdaStyle;
  lambdaStyle.lineColor = Qt::red;
  lambdaStyle.lineWidth = 2;
  lambdaStyle.yDecimals = 2;
  chrtLambda = Chart(gbLamGrf, "chrtLambda", lambdaStyle, QRect(6, 16, 336, 104));

  rgO2Switch = Named(
      new TRadioGroup(tr("Лямбда ВКЛ/ВЫКЛ"),
                      {tr("Использовать лямбда зонд"), tr("НЕ использовать лямбда зонд")}, lambda),
      "rgO2Switch");
  rgO2Switch->setGeometry(8, 232, 348, 62);
  rgO2Switch->SetItemIndex(0);
  rgO2Switch->setEnabled(false);
}

void TSettingsPage::LayOut(const TEFIOperator& efi) {
  seMaxRMP->setEnabled(true);
  if (efi.fVersion == 1) {
    // No CO trim and no lambda switch in variant 1.
    seMaxRMP->setSingleStep(40);
    rgO2Switch->setEnabled(false);
    rgO2Switch->SetItemIndex(0);
    gbCOreg->setVisible(false);
  } else {
    seMaxRMP->setSingleStep(60);
    rgO2Switch->setEnabled(true);
    rgO2Switch->Click(1);
  }
}

void TSettingsPage::ShowLoaded(const TEFIOperator& efi) {
  seMaxRMP->setValue(efi.fMaxRPM);
  // The CO trim stands at the code's offset from 128; its label is left as it is.
  if (efi.fVersion != 1) {
    fFillingCOreg = true;
    sbCOreg->setValue(efi.fCOReg - 128);
    fFillingCOreg = false;
  }
}

void TSettingsPage::CollectMaxRPM(TEFIOperator& efi) const {
  // The box holds 0 to 9000 rpm: a loaded rev limit beyond it stays as loaded until the
  // user sets another.
  fDoc.CollectMaxRPM(seMaxRMP->value(), efi);
}

bool TSettingsPage::WideBand() const {
  return rgO2Type->ItemIndex() == 1;
}

TWideBandRange TSettingsPage::LambdaRange() const {
  return {seLamMin->value(), seLamMax->value()};
}

void TSettingsPage::DrawLambda() {
  // The wide-band sensor's line falls from the maximum voltage at 10 to the minimum at 20;
  // the log analysis reads voltages through the same line.
  const TWideBandRange range = LambdaRange();
  chrtLambda->SetXRange(kWideBandAfrRich, kWideBandAfrLean);
  chrtLambda->SetYRange(range.minVolts, range.maxVolts);
  chrtLambda->Clear();
  chrtLambda->MoveTo(kWideBandAfrRich, range.VoltsAt(kWideBandAfrRich));
  chrtLambda->LineTo(kWideBandAfrLean, range.VoltsAt(kWideBandAfrLean));
  chrtLambda->Show();
}

void TSettingsPage::SnapRevLimit() {
  seMaxRMP->interpretText();
  const int snapped = SnapMaxRPM(fState.variant(), seMaxRMP->value());
  // The field holds the result within 0 to 9000.
  seMaxRMP->setValue(snapped);
}

void TSettingsPage::ShowCOTrim(int position) {
  Label13->setText(QString::number(position));
}

void TSettingsPage::ConnectControls() {
  new TLeaveWatcher(this, seMaxRMP, [this] { RunCommand([this] { SnapRevLimit(); }); });

  auto showLambdaGroups = [this] {
    const bool wide = WideBand();
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

// --- The settings in the document ---

void TSettingsPage::TakeBaseline() {
  fDoc.SetBaseline(QStringLiteral("MaxRPM"), seMaxRMP->value());
  fDoc.SetBaseline(QStringLiteral("COTrim"), sbCOreg->value());
  fDoc.SetBaseline(QStringLiteral("O2Type"), rgO2Type->ItemIndex());
  fDoc.SetBaseline(QStringLiteral("LamMin"), seLamMin->value());
  fDoc.SetBaseline(QStringLiteral("LamMax"), seLamMax->value());
  fDoc.SetBaseline(QStringLiteral("RegLamSwitch"), seRegLamSwitch->value());
  fDoc.SetBaseline(QStringLiteral("O2Switch"), rgO2Switch->ItemIndex());
  fMergeKey.clear();
}

void TSettingsPage::RecordSetting(const QString& key, double value) {
  if (fState.showing || fMerging || !fDoc.Loaded()) return;
  // Consecutive changes of one control (spinning, typing a number) make one step.
  if (key == fMergeKey && fMergeStamp == fHistoryStamp && fDoc.CanUndo()) {
    fMerging = true;
    fDoc.Undo();
    fMerging = false;
  }
  const double before = fDoc.Setting(key);
  if (value != before) {
    TEditStep step;
    step.title = SettingTitle(key);
    step.settings.push_back({key, before, value});
    fDoc.Apply(std::move(step));
  }
  fMergeKey = key;
  fMergeStamp = fHistoryStamp;
}

void TSettingsPage::ShowSetting(const QString& key, double value) {
  const TScopedFlag showing(fState.showing);
  const int whole = static_cast<int>(value);
  if (key == QLatin1String("MaxRPM")) seMaxRMP->setValue(whole);
  if (key == QLatin1String("COTrim")) {
    sbCOreg->setValue(whole);
    ShowCOTrim(whole);
  }
  // A radio group set as a click would: the panels that follow it follow.
  if (key == QLatin1String("O2Type")) rgO2Type->Click(whole);
  if (key == QLatin1String("O2Switch")) rgO2Switch->Click(whole);
  // A box that holds the value already is left alone: setting it would write its text anew
  // under the user's typing ("0,8" of "0,85" becoming "0,80", so the "5" no longer fits).
  auto show = [value](QDoubleSpinBox* box) {
    if (box->value() != value) box->setValue(value);
  };
  if (key == QLatin1String("LamMin")) show(seLamMin);
  if (key == QLatin1String("LamMax")) show(seLamMax);
  if (key == QLatin1String("RegLamSwitch")) show(seRegLamSwitch);
}

void TSettingsPage::ConnectDocument() {
  connect(&fDoc, &TCalibration::SettingChanged, this, [this](const QString& key, double value) {
    if (!fMerging) ShowSetting(key, value);
  });
  connect(&fDoc, &TCalibration::HistoryChanged, this, [this] { ++fHistoryStamp; });
  auto record = [this](const char* key) {
    return [this, key](double value) { RecordSetting(QString::fromLatin1(key), value); };
  };
  connect(seMaxRMP, &QSpinBox::valueChanged, this, record("MaxRPM"));
  connect(sbCOreg, &QScrollBar::valueChanged, this, record("COTrim"));
  connect(rgO2Type, &TRadioGroup::clicked, this, record("O2Type"));
  connect(rgO2Switch, &TRadioGroup::clicked, this, record("O2Switch"));
  connect(seLamMin, &QDoubleSpinBox::valueChanged, this, record("LamMin"));
  connect(seLamMax, &QDoubleSpinBox::valueChanged, this, record("LamMax"));
  connect(seRegLamSwitch, &QDoubleSpinBox::valueChanged, this, record("RegLamSwitch"));
}
