#include "ui/link/ComPort.h"

#include <QTimer>

#include "link/PortSettings.h"
#include "link/PosixSerialDevice.h"
#include "link/SerialDeviceRegistry.h"

TComPort::TComPort(QObject* parent) : QObject(parent), fPollTimer(new QTimer(this)) {
  setObjectName(QStringLiteral("ComPort"));
  // QSerialPort reports received data but not CTS; the line-layer devices report
  // neither, so both are polled while the port is open.
  fPollTimer->setInterval(1);
  connect(fPollTimer, &QTimer::timeout, this, &TComPort::Poll);
}

TComPort::~TComPort() {
  Close();
}

QString TComPort::DisplayName() const {
  return IsSimulatedPort(fPort) ? fPort + tr(" (симулятор)") : fPort;
}

bool TComPort::Open() {
  Close();
  fPending.clear();
  const QString device = PortDeviceName(fPort);
  if (IsRegisteredSerialDevice(device)) {
    fDevice = OpenSerialDevice(device);
    if (!fDevice) {
      fLastError = tr("Не удалось открыть порт %1").arg(fPort);
      return false;
    }
    const int parity = Parity == QSerialPort::OddParity    ? 1
                       : Parity == QSerialPort::EvenParity ? 2
                                                           : 0;
    fDevice->setLineSettings(BaudRate, parity, StopBits == QSerialPort::TwoStop ? 2 : 0, DataBits);
    fDevice->setDTR(false);
    fDevice->setRTS(false);
    fLastCts = fDevice->cts();
    fLastCtsCount = fDevice->ctsChanges();
  } else {
    fSerial = std::make_unique<QSerialPort>(device);
    fSerial->setBaudRate(BaudRate);
    fSerial->setDataBits(DataBits);
    fSerial->setParity(Parity);
    fSerial->setStopBits(StopBits);
    fSerial->setFlowControl(FlowControl);
    if (!fSerial->open(QIODevice::ReadWrite)) {
      fLastError =
          tr("Не удалось открыть порт %1 (%2): %3").arg(fPort, device, fSerial->errorString());
      fSerial.reset();
      return false;
    }
    fSerial->setDataTerminalReady(false);
    fSerial->setRequestToSend(false);
    fLastCts = (fSerial->pinoutSignals() & QSerialPort::ClearToSendSignal) ? 1 : 0;
    fLastCtsCount = PosixSerialDevice::CtsChangeCount(static_cast<int>(fSerial->handle()));
    connect(fSerial.get(), &QSerialPort::readyRead, this, [this] {
      fPending += fSerial->readAll();
      if (!fPending.isEmpty()) emit RxChar(static_cast<int>(fPending.size()));
    });
  }
  fPollTimer->start();
  return true;
}

void TComPort::Close() {
  fPollTimer->stop();
  if (fDevice) {
    fDevice->close();
    fDevice.reset();
  }
  if (fSerial) {
    fSerial->close();
    fSerial.reset();
  }
}

bool TComPort::IsOpen() const {
  return fDevice || fSerial;
}

void TComPort::WriteStr(const QByteArray& text) {
  if (fDevice) {
    for (char ch : text) fDevice->writeByte(static_cast<uint8_t>(ch));
  } else if (fSerial) {
    fSerial->write(text);
    fSerial->flush();
  }
}

void TComPort::SetRTS(bool enabled) {
  if (fDevice) fDevice->setRTS(enabled);
  if (fSerial) fSerial->setRequestToSend(enabled);
}

QByteArray TComPort::Read(int count) {
  const QByteArray taken = fPending.left(count);
  fPending.remove(0, taken.size());
  return taken;
}

void TComPort::Poll() {
  // The CTS count is taken before the input is read, so that every character of a line
  // device that came before a change is delivered before the change is reported. A device
  // file delivers its characters through readyRead; the read takes those still on their
  // way after the last change.
  int64_t count = -1;
  if (fDevice) count = fDevice->ctsChanges();
  if (fSerial) count = PosixSerialDevice::CtsChangeCount(static_cast<int>(fSerial->handle()));
  if (fDevice) {
    const auto before = fPending.size();
    for (int byte = fDevice->readByte(); byte >= 0; byte = fDevice->readByte())
      fPending.append(static_cast<char>(byte));
    if (fPending.size() > before) emit RxChar(static_cast<int>(fPending.size()));
    if (!fDevice) return;  // the handler closed the port
  }
  // A driver that counts CTS changes misses none, however quick they are; otherwise the
  // level is compared with the last poll's.
  if (count >= 0 && fLastCtsCount >= 0) {
    for (; fLastCtsCount < count && IsOpen(); ++fLastCtsCount) emit CTSChange();
    return;
  }
  int cts = -1;
  if (fDevice) cts = fDevice->cts();
  if (fSerial) cts = (fSerial->pinoutSignals() & QSerialPort::ClearToSendSignal) ? 1 : 0;
  if (cts >= 0 && fLastCts >= 0 && cts != fLastCts) emit CTSChange();
  if (cts >= 0) fLastCts = cts;
}
