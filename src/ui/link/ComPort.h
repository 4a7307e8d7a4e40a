#pragma once
// TComPort: the event-driven adapter port of the main window. Over QSerialPort for a
// device file, over the line layer's device for a registered name such as the simulator
// ("sim" in "CTESTER.INI"). Received characters, CTS changes and ring are signals
// delivered on the interface thread.

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <memory>

class QTimer;
class SerialDevice;

class TComPort : public QObject {
  Q_OBJECT
 public:
  explicit TComPort(QObject* parent = nullptr);
  ~TComPort() override;

  // "COM1" ... "COM16": the device behind it comes from "CTESTER.INI".
  QString Port() const { return fPort; }
  void SetPort(const QString& port) { fPort = port; }
  // The port name as the window shows it: "(симулятор)" follows a simulated port.
  QString DisplayName() const;

  // Line settings (19200 8N1, no flow control unless the setup dialog changes them).
  qint32 BaudRate = 19200;
  QSerialPort::DataBits DataBits = QSerialPort::Data8;
  QSerialPort::Parity Parity = QSerialPort::NoParity;
  QSerialPort::StopBits StopBits = QSerialPort::OneStop;
  QSerialPort::FlowControl FlowControl = QSerialPort::NoFlowControl;

  // Opens the port with DTR and RTS released; false with the reason in LastError().
  bool Open();
  void Close();
  bool IsOpen() const;
  QString LastError() const { return fLastError; }
  void WriteStr(const QByteArray& text);
  // RTS asserted (true) or released (false).
  void SetRTS(bool enabled);
  // Takes up to `count` received characters (inside the RxChar handler).
  QByteArray Read(int count);

 signals:
  void RxChar(int count);
  void CTSChange();
  void Ring();

 private:
  void Poll();

  QString fPort = QStringLiteral("COM1");
  QString fLastError;
  std::unique_ptr<QSerialPort> fSerial;
  std::unique_ptr<SerialDevice> fDevice;
  QByteArray fPending;
  QTimer* fPollTimer;
  int fLastCts = -1;
  int64_t fLastCtsCount = 0;
};
