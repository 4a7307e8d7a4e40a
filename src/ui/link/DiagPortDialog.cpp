#include "ui/link/DiagPortDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "link/PortSettings.h"
#include "link/SerialDeviceRegistry.h"
#include "sim/Simulator.h"
#include "ui/link/PortTexts.h"
#include "ui/widgets/ErrorBox.h"

namespace {

const QString kSim = QStringLiteral("sim");
constexpr int kDeviceRole = Qt::UserRole;
constexpr int kPortRole = Qt::UserRole + 1;  // index into the list, -1 the simulator

// The name written into CTESTER.INI: a by-id name stays the same whichever order adapters
// are plugged in, so it is preferred.
QString ChoiceName(const TSerialPort& port) {
  return port.byId.isEmpty() ? port.device : port.byId.first();
}

// The wake-up line choices and the "L-LINE" value each writes.
const int32_t kWakeValues[] = {0, 1, kWakeLineBreak};

int WakeIndexOf(int32_t iniWakeLine) {
  switch (WakeLineFor(iniWakeLine)) {
    case TWakeLine::Dtr:
      return 0;
    case TWakeLine::Rts:
      return 1;
    case TWakeLine::Break:
      return 2;
  }
  return 0;
}

}  // namespace

TfrmDiagPort::TfrmDiagPort(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmDiagPort"));
  setWindowTitle(tr("Порт диагностики"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Порт K-линии для диагностики и загрузки прошивки:"), this));
  lvPorts = new QTreeWidget(this);
  lvPorts->setObjectName(QStringLiteral("lvPorts"));
  lvPorts->setRootIsDecorated(false);
  lvPorts->setHeaderLabels({tr("Устройство"), tr("Драйвер"), tr("Чип"), tr("VID:PID"),
                            tr("Задержка"), tr("Доступ"), tr("Занят")});
  lvPorts->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(lvPorts, 1);
  lPortAdvice = new QLabel(this);
  lPortAdvice->setObjectName(QStringLiteral("lPortAdvice"));
  lPortAdvice->setWordWrap(true);
  lPortAdvice->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lPortAdvice->setMinimumHeight(60);
  lPortAdvice->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  layout->addWidget(lPortAdvice);
  auto* wake = new QHBoxLayout;
  wake->addWidget(new QLabel(tr("Пробуждение блока:"), this));
  cbWakeLine = new QComboBox(this);
  cbWakeLine->setObjectName(QStringLiteral("cbWakeLine"));
  cbWakeLine->addItems(
      {tr("по DTR"), tr("по RTS"), tr("разрывом на линии K (кабель только с K-линией)")});
  wake->addWidget(cbWakeLine, 1);
  layout->addLayout(wake);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  QPushButton* refresh = buttons->addButton(tr("Обновить"), QDialogButtonBox::ResetRole);
  refresh->setObjectName(QStringLiteral("btnRefresh"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(refresh, &QPushButton::clicked, this, Guarded([this] { Fill(); }));
  connect(lvPorts, &QTreeWidget::currentItemChanged, this, [this] { ShowAdvice(); });
  resize(780, 400);
}

void TfrmDiagPort::Fill() {
  fPorts = ListSerialPorts(SysRoot(), LinkPortUser());
  const QString inUse = PortDeviceName(PortName(IniPort));
  lvPorts->clear();
  QTreeWidgetItem* current = nullptr;
  for (size_t i = 0; i < fPorts.size(); ++i) {
    const TSerialPort& p = fPorts[i];
    const QString latency =
        p.latencyTimerMs ? tr("%1 мс").arg(*p.latencyTimerMs) : QStringLiteral("—");
    const QString access = !p.present ? tr("нет устройства")
                           : p.access ? tr("да")
                                      : tr("нет (группа %1)").arg(p.group);
    const QString ids = p.vendorId.isEmpty() ? QStringLiteral("—") : p.vendorId + ':' + p.productId;
    auto* item = new QTreeWidgetItem(
        lvPorts, {p.device, p.driver, p.chip, ids, latency, access, p.heldBy.join(", ")});
    item->setData(0, kDeviceRole, ChoiceName(p));
    item->setData(0, kPortRole, static_cast<int>(i));
    item->setToolTip(0, p.byId.join('\n'));
    if (!p.advice.empty()) item->setForeground(0, QColor(Qt::darkRed));
    if (inUse == p.device || p.byId.contains(inUse)) current = item;
  }
  auto* sim = new QTreeWidgetItem(lvPorts, {tr("Симулятор (sim)"), tr("встроенный")});
  sim->setData(0, kDeviceRole, kSim);
  sim->setData(0, kPortRole, -1);
  if (inUse == kSim) current = sim;
  lvPorts->setCurrentItem(current ? current : lvPorts->topLevelItem(0));
  ShowAdvice();
}

void TfrmDiagPort::ShowAdvice() {
  const QTreeWidgetItem* item = lvPorts->currentItem();
  if (!item) {
    lPortAdvice->setText(tr("Последовательных портов не найдено."));
    return;
  }
  const int index = item->data(0, kPortRole).toInt();
  if (index < 0) {
    lPortAdvice->setText(
        tr("Встроенный симулятор блока управления и адаптера: всё можно "
           "попробовать без автомобиля."));
    return;
  }
  const TSerialPort& port = fPorts[static_cast<size_t>(index)];
  QStringList lines;
  for (const QString& id : port.byId) lines << id;
  for (const TPortAdvice& a : port.advice)
    lines << QStringLiteral("• ") + PortTexts::Advice(a, port);
  if (port.advice.empty()) lines << tr("Препятствий не найдено.");
  lPortAdvice->setText(lines.join('\n'));
}

int TfrmDiagPort::exec() {
  Fill();
  fWakeIndex = WakeIndexOf(IniWakeLine);
  cbWakeLine->setCurrentIndex(fWakeIndex);
  const int result = QDialog::exec();
  if (result == QDialog::Accepted) RunCommand([this] { Apply(); });
  return result;
}

void TfrmDiagPort::Apply() {
  if (const QTreeWidgetItem* item = lvPorts->currentItem()) {
    if (!ChooseDiagnosticDevice(item->data(0, kDeviceRole).toString()))
      PortTexts::Warn(this, "DiagPortNotSaved",
                      tr("Не удалось записать %1").arg(PortSettingsPath()));
  }
  // The wake-up line is written only when the user changed it: "L-LINE" values the list
  // shows alike (RTS is any value but 0 and 2) keep their own digits.
  if (cbWakeLine->currentIndex() != fWakeIndex) {
    if (!ChooseWakeLine(kWakeValues[cbWakeLine->currentIndex()]))
      PortTexts::Warn(this, "DiagPortNotSaved",
                      tr("Не удалось записать %1").arg(PortSettingsPath()));
    // The built-in simulator's interface is wired as the settings say.
    SimUnitSettings unit = TheSimulator()->UnitSettings();
    unit.wakeLine = IniWakeLine;
    TheSimulator()->SetUnitSettings(unit);
  }
}
