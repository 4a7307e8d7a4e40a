#include "ui/link/ComPortSetup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

#include "link/PortSettings.h"
#include "ui/link/ComPort.h"

namespace {
QComboBox* Box(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

void Select(QComboBox* box, const QVariant& value) {
  const int index = box->findData(value);
  if (index >= 0) box->setCurrentIndex(index);
}
}  // namespace

TComPortSetup::TComPortSetup(TComPort& port, QWidget* parent) : QDialog(parent), fPort(port) {
  setObjectName(QStringLiteral("Setup"));
  setWindowTitle(QStringLiteral("Setup"));
  auto* form = new QFormLayout(this);
  fPortBox = Box(this, "cbPort");
  // COM1 to COM16 with the device each stands for.
  for (int i = 0; i < 16; ++i) {
    const QString name = PortName(i);
    fPortBox->addItem(name + QStringLiteral("  (") + PortDeviceName(name) + QLatin1Char(')'), name);
  }
  fBaudBox = Box(this, "cbBaudRate");
  for (int baud : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
    fBaudBox->addItem(QString::number(baud), baud);
  fDataBox = Box(this, "cbDataBits");
  for (int bits : {5, 6, 7, 8}) fDataBox->addItem(QString::number(bits), bits);
  fStopBox = Box(this, "cbStopBits");
  fStopBox->addItem(QStringLiteral("1"), QSerialPort::OneStop);
  fStopBox->addItem(QStringLiteral("1.5"), QSerialPort::OneAndHalfStop);
  fStopBox->addItem(QStringLiteral("2"), QSerialPort::TwoStop);
  fParityBox = Box(this, "cbParity");
  fParityBox->addItem(QStringLiteral("None"), QSerialPort::NoParity);
  fParityBox->addItem(QStringLiteral("Odd"), QSerialPort::OddParity);
  fParityBox->addItem(QStringLiteral("Even"), QSerialPort::EvenParity);
  fParityBox->addItem(QStringLiteral("Mark"), QSerialPort::MarkParity);
  fParityBox->addItem(QStringLiteral("Space"), QSerialPort::SpaceParity);
  fFlowBox = Box(this, "cbFlowControl");
  fFlowBox->addItem(QStringLiteral("None"), QSerialPort::NoFlowControl);
  fFlowBox->addItem(QStringLiteral("Hardware"), QSerialPort::HardwareControl);
  fFlowBox->addItem(QStringLiteral("Software"), QSerialPort::SoftwareControl);
  form->addRow(QStringLiteral("Port"), fPortBox);
  form->addRow(QStringLiteral("Baud rate"), fBaudBox);
  form->addRow(QStringLiteral("Data bits"), fDataBox);
  form->addRow(QStringLiteral("Stop bits"), fStopBox);
  form->addRow(QStringLiteral("Parity"), fParityBox);
  form->addRow(QStringLiteral("Flow control"), fFlowBox);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int TComPortSetup::exec() {
  Select(fPortBox, fPort.Port());
  Select(fBaudBox, fPort.BaudRate);
  Select(fDataBox, static_cast<int>(fPort.DataBits));
  Select(fStopBox, fPort.StopBits);
  Select(fParityBox, fPort.Parity);
  Select(fFlowBox, fPort.FlowControl);
  const int result = QDialog::exec();
  if (result == QDialog::Accepted) {
    fPort.SetPort(fPortBox->currentData().toString());
    fPort.BaudRate = fBaudBox->currentData().toInt();
    fPort.DataBits = static_cast<QSerialPort::DataBits>(fDataBox->currentData().toInt());
    fPort.StopBits = static_cast<QSerialPort::StopBits>(fStopBox->currentData().toInt());
    fPort.Parity = static_cast<QSerialPort::Parity>(fParityBox->currentData().toInt());
    fPort.FlowControl = static_cast<QSerialPort::FlowControl>(fFlowBox->currentData().toInt());
  }
  return result;
}
