#include "link/LatencyTimer.h"

#include <QDir>
#include <QFile>

QString LatencyCommand(const TSerialPort& port) {
  return QStringLiteral("echo 1 | sudo tee ") + port.latencyTimerPath;
}

TLatencyFix LowerLatencyTimer(const QString& root, const TPortUser& user,
                              const QString& devicePath) {
  TLatencyFix fix;
  const TSerialPort port = DescribeSerialPort(root, user, devicePath);
  if (!port.latencyTimerMs) return fix;
  fix.wasMs = *port.latencyTimerMs;
  if (fix.wasMs <= 1) {
    fix.result = TLatencyFix::AlreadyLow;
    return fix;
  }
  if (port.latencyWritable) {
    QFile file(QDir::cleanPath(root + QLatin1Char('/') + port.latencyTimerPath));
    // sysfs takes the value in one write; a short or refused write leaves the timer as it was.
    if (file.open(QIODevice::WriteOnly) && file.write("1\n") == 2 && file.flush()) {
      fix.result = TLatencyFix::SetNow;
      return fix;
    }
  }
  fix.result = TLatencyFix::CannotSet;
  fix.command = LatencyCommand(port);
  return fix;
}
