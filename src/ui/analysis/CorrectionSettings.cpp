#include "ui/analysis/CorrectionSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/analysis/NamedControls.h"

namespace {
// The choices of the sensor box, in its order.
enum SensorChoice { kPanelRange, kTwoPoints, kAfrChannel, kLambdaChannel };

}  // namespace

TCorrectionSettings::TCorrectionSettings(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("wCorrectionSettings"));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  seMaxStep = NamedSpin(this, "seMaxStep", 0.5, 50, 5, 1, tr(" %"));
  seMaxStep->setToolTip(tr("Наибольшее изменение ячейки за один круг коррекции"));
  seAuthority = NamedSpin(this, "seAuthority", 1, 50, 25, 0, tr(" %"));
  seAuthority->setToolTip(
      tr("Насколько ячейка может уйти от значения загруженной прошивки за все круги"));
  seMinWeight = NamedSpin(this, "seMinWeight", 0.5, 100000, 5, 1);
  seMinWeight->setToolTip(
      tr("Сумма весов записей, без которой ячейка не меняется: запись в узле карты весит 1, "
         "в середине между четырьмя узлами - по 0,25 каждому"));
  grid->addWidget(new QLabel(tr("Наибольший шаг"), this), 0, 0);
  grid->addWidget(seMaxStep, 0, 1);
  grid->addWidget(new QLabel(tr("Допуск от исходной"), this), 0, 2);
  grid->addWidget(seAuthority, 0, 3);
  grid->addWidget(new QLabel(tr("Наименьший вес"), this), 0, 4);
  grid->addWidget(seMinWeight, 0, 5);
  grid->addWidget(BuildSensor(), 1, 0, 1, 6);
  grid->addWidget(BuildFilters(), 2, 0, 1, 6);
  lblFilterCounts = new QLabel(this);
  lblFilterCounts->setObjectName(QStringLiteral("lblFilterCounts"));
  lblFilterCounts->setWordWrap(true);
  grid->addWidget(lblFilterCounts, 3, 0, 1, 6);
  for (QDoubleSpinBox* spin : findChildren<QDoubleSpinBox*>())
    connect(spin, &QDoubleSpinBox::valueChanged, this, &TCorrectionSettings::Changed);
  for (QCheckBox* box : findChildren<QCheckBox*>())
    connect(box, &QCheckBox::toggled, this, &TCorrectionSettings::Changed);
  connect(cbSensor, &QComboBox::currentIndexChanged, this, [this] {
    SensorKindChanged();
    emit Changed();
  });
  SensorKindChanged();
}

QWidget* TCorrectionSettings::BuildSensor() {
  auto* box = new QWidget(this);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  cbSensor = new QComboBox(box);
  cbSensor->setObjectName(QStringLiteral("cbSensor"));
  cbSensor->addItems({tr("Диапазон панели лямбда-зонда"), tr("Линия по двум точкам"),
                      tr("AFR в канале O2"), tr("Лямбда в канале O2")});
  seSensorV1 = NamedSpin(box, "seSensorV1", -10, 10, 1, 3, tr(" В"));
  seSensorAfr1 = NamedSpin(box, "seSensorAfr1", 5, 30, 10, 2);
  seSensorV2 = NamedSpin(box, "seSensorV2", -10, 10, 0, 3, tr(" В"));
  seSensorAfr2 = NamedSpin(box, "seSensorAfr2", 5, 30, 20, 2);
  row->addWidget(new QLabel(tr("Датчик"), box));
  row->addWidget(cbSensor);
  row->addWidget(seSensorV1);
  row->addWidget(new QLabel(tr("при AFR"), box));
  row->addWidget(seSensorAfr1);
  row->addWidget(seSensorV2);
  row->addWidget(new QLabel(tr("при AFR"), box));
  row->addWidget(seSensorAfr2);
  row->addStretch(1);
  return box;
}

QWidget* TCorrectionSettings::BuildFilters() {
  auto* box = new QWidget(this);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  chkWarm = NamedCheck(box, "chkWarm", tr("Прогретый двигатель: CLT выше"), true);
  seMinClt = NamedSpin(box, "seMinClt", -40, 150, 70, 0, tr(" °C"));
  chkSteady = NamedCheck(box, "chkSteady", tr("Установившийся режим: до и после записи, с"), true);
  seSteadyWindow = NamedSpin(box, "seSteadyWindow", 0.1, 10, 1.5, 1);
  seSteadyTps = NamedSpin(box, "seSteadyTps", 0.1, 100, 2, 1, tr(" % TPS"));
  seSteadyTps->setToolTip(tr("Наибольшее изменение TPS в окне (нагрузка - не более 10 %)"));
  chkOverrun = NamedCheck(box, "chkOverrun", tr("Без принудительного холостого хода"), true);
  chkOverrun->setToolTip(
      tr("Отбрасывает записи с временем впрыска около нуля и с закрытым дросселем выше "
         "холостых оборотов"));
  chkSensorEnds =
      NamedCheck(box, "chkSensorEnds", tr("Без показаний на краях линии датчика"), true);
  seDelay = NamedSpin(box, "seDelay", 0, 5, 0.2, 2, tr(" с"));
  seDelay->setToolTip(tr("Состав смеси записи читается позже на это время (по умолчанию 0,2 с)"));
  grid->addWidget(chkWarm, 0, 0);
  grid->addWidget(seMinClt, 0, 1);
  grid->addWidget(chkSteady, 1, 0);
  grid->addWidget(seSteadyWindow, 1, 1);
  grid->addWidget(seSteadyTps, 1, 2);
  grid->addWidget(chkOverrun, 2, 0);
  grid->addWidget(chkSensorEnds, 2, 1, 1, 2);
  grid->addWidget(new QLabel(tr("Задержка датчика (по умолчанию 0,2 с)"), box), 3, 0);
  grid->addWidget(seDelay, 3, 1);
  grid->setColumnStretch(3, 1);
  return box;
}

void TCorrectionSettings::SensorKindChanged() {
  const int kind = cbSensor->currentIndex();
  for (QDoubleSpinBox* spin : {seSensorV1, seSensorAfr1, seSensorV2, seSensorAfr2}) {
    spin->setEnabled(kind == kTwoPoints);
    spin->setVisible(kind == kPanelRange || kind == kTwoPoints);
  }
}

void TCorrectionSettings::FollowPanel(const TWideBandRange& panel) {
  if (cbSensor->currentIndex() != kPanelRange) return;
  const TO2Sensor line = TO2Sensor::OfWideBand(panel);
  const QSignalBlocker a(seSensorV1), b(seSensorAfr1), c(seSensorV2), d(seSensorAfr2);
  seSensorV1->setValue(line.volts1);
  seSensorAfr1->setValue(line.afr1);
  seSensorV2->setValue(line.volts2);
  seSensorAfr2->setValue(line.afr2);
}

void TCorrectionSettings::ApplyTo(TFuelCorrectionInput& in, const TWideBandRange& panel) const {
  in.maxStep = seMaxStep->value() / 100;
  in.authority = seAuthority->value() / 100;
  in.minWeight = seMinWeight->value();
  switch (cbSensor->currentIndex()) {
    case kTwoPoints:
      in.sensor = {TO2Sensor::Kind::Line, seSensorV1->value(), seSensorAfr1->value(),
                   seSensorV2->value(), seSensorAfr2->value()};
      break;
    case kAfrChannel:
      in.sensor.kind = TO2Sensor::Kind::Afr;
      break;
    case kLambdaChannel:
      in.sensor.kind = TO2Sensor::Kind::Lambda;
      break;
    default:
      in.sensor = TO2Sensor::OfWideBand(panel);
  }
  // Only the panel's own range depends on the panel's sensor type.
  if (cbSensor->currentIndex() != kPanelRange) in.wideBand = true;
  TRecordFilters& f = in.filters;
  f.warm = chkWarm->isChecked();
  f.minCoolant = seMinClt->value();
  f.steady = chkSteady->isChecked();
  f.steadySeconds = seSteadyWindow->value();
  f.maxTpsChange = seSteadyTps->value();
  f.overrun = chkOverrun->isChecked();
  f.sensorEnds = chkSensorEnds->isChecked();
  f.delay = seDelay->value() > 0;
  f.delaySeconds = seDelay->value();
}

void TCorrectionSettings::ShowCounts(const TFuelCorrection* c) {
  if (!c || c->Refused() || c->records == 0) {
    lblFilterCounts->setText(QString());
    return;
  }
  const auto n = [c](TRecordFilter f) { return c->removed[static_cast<size_t>(f)]; };
  lblFilterCounts->setText(
      tr("Отброшено фильтрами: холодный двигатель %1, переходные режимы %2, принудительный "
         "холостой ход %3, задержка датчика %4, датчик на краю линии %5, вне отрезка ЛОГа %6. "
         "В коррекции записей: %7 из %8 (за краями осей карты: %9).")
          .arg(n(TRecordFilter::Warm))
          .arg(n(TRecordFilter::Steady))
          .arg(n(TRecordFilter::Overrun))
          .arg(n(TRecordFilter::Delay))
          .arg(n(TRecordFilter::SensorEnds))
          .arg(n(TRecordFilter::Stretch))
          .arg(c->used)
          .arg(c->records)
          .arg(c->beyond));
}
