// The port list in words: advice sentences, open failures, and the list as text and JSON
// for tarvelo-cli.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>

#include "link/SerialPorts.h"

namespace {

QJsonValue OrNull(const QString& text) {
  return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QString GroupOr(const QString& group) {
  return group.isEmpty() ? QStringLiteral("dialout") : group;
}

}  // namespace

QString AdviceText(const TPortAdvice& advice, const TSerialPort& port) {
  switch (advice.kind) {
    case TPortAdvice::LatencyTimer:
      return QStringLiteral(
                 "set the latency timer to 1 ms: echo 1 | sudo tee %1 (it is %2 ms, which makes "
                 "every answer of the unit late; the package's udev rule sets it at every plug-in)")
          .arg(port.latencyTimerPath)
          .arg(advice.value);
    case TPortAdvice::HeldByModem:
      return QStringLiteral(
          "ModemManager holds this port: sudo systemctl stop ModemManager, or install the "
          "package's udev rule, which keeps it away from the adapter, and plug the adapter in "
          "again");
    case TPortAdvice::HeldByBraille:
      return QStringLiteral(
                 "%1 holds this port: sudo apt remove brltty (unless a braille display is "
                 "used), then plug the adapter in again")
          .arg(advice.subject);
    case TPortAdvice::HeldBy:
      return QStringLiteral("%1 holds this port: end it before connecting").arg(advice.subject);
    case TPortAdvice::ModemMayTake:
      return QStringLiteral(
          "ModemManager runs and may probe this adapter for a while after it is plugged in: "
          "install the package's udev rule, or sudo systemctl stop ModemManager");
    case TPortAdvice::JoinGroup:
      return QStringLiteral(
                 "add yourself to the %1 group: sudo usermod -aG %1 $USER, then log out and in "
                 "again")
          .arg(GroupOr(advice.subject));
    case TPortAdvice::LogInAgain:
      return QStringLiteral(
                 "you are in the %1 group, but this session started before you were added: log "
                 "out and in again")
          .arg(GroupOr(advice.subject));
    case TPortAdvice::Absent:
      return QStringLiteral("%1 is not there: plug the adapter in (again)").arg(port.device);
  }
  return {};
}

QByteArray PortsJson(const std::vector<TSerialPort>& ports) {
  QJsonArray list;
  for (const TSerialPort& p : ports) {
    QJsonObject o;
    o[QStringLiteral("device")] = p.device;
    o[QStringLiteral("byId")] = QJsonArray::fromStringList(p.byId);
    o[QStringLiteral("present")] = p.present;
    o[QStringLiteral("driver")] = OrNull(p.driver);
    o[QStringLiteral("vendorId")] = OrNull(p.vendorId);
    o[QStringLiteral("productId")] = OrNull(p.productId);
    o[QStringLiteral("chip")] = OrNull(p.chip);
    o[QStringLiteral("product")] = OrNull(p.product);
    o[QStringLiteral("latencyTimerMs")] =
        p.latencyTimerMs ? QJsonValue(*p.latencyTimerMs) : QJsonValue(QJsonValue::Null);
    o[QStringLiteral("access")] = p.access;
    o[QStringLiteral("group")] = OrNull(p.group);
    o[QStringLiteral("heldBy")] = QJsonArray::fromStringList(p.heldBy);
    QStringList advice;
    for (const TPortAdvice& a : p.advice) advice << AdviceText(a, p);
    o[QStringLiteral("advice")] = QJsonArray::fromStringList(advice);
    list.append(o);
  }
  return QJsonDocument(list).toJson(QJsonDocument::Indented);
}

QString PortsText(const std::vector<TSerialPort>& ports) {
  if (ports.empty()) return QStringLiteral("no serial ports found\n");
  QString text;
  for (const TSerialPort& p : ports) {
    text += p.device;
    if (!p.driver.isEmpty()) text += QStringLiteral("  ") + p.driver;
    if (!p.vendorId.isEmpty()) text += QStringLiteral("  %1:%2").arg(p.vendorId, p.productId);
    if (!p.chip.isEmpty()) text += QStringLiteral("  ") + p.chip;
    text += QLatin1Char('\n');
    for (const QString& id : p.byId) text += QStringLiteral("  by-id: %1\n").arg(id);
    if (p.latencyTimerMs) text += QStringLiteral("  latency timer: %1 ms\n").arg(*p.latencyTimerMs);
    if (p.present)
      text += QStringLiteral("  access: %1 (group %2)\n")
                  .arg(p.access ? QStringLiteral("yes") : QStringLiteral("no"), p.group);
    if (!p.heldBy.isEmpty())
      text += QStringLiteral("  held by: %1\n").arg(p.heldBy.join(QStringLiteral(", ")));
    for (const TPortAdvice& a : p.advice)
      text += QStringLiteral("  advice: %1\n").arg(AdviceText(a, p));
  }
  return text;
}

TOpenFailure ExplainOpenFailure(const QString& root, const TPortUser& user, const QString& path,
                                int error) {
  TOpenFailure failure;
  failure.device = path;
  const TSerialPort port = DescribeSerialPort(root, user, path);
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      failure.kind = TOpenFailure::Absent;
      break;
    case EBUSY:
      failure.kind = TOpenFailure::Busy;
      failure.heldBy = port.heldBy;
      break;
    case EACCES:
    case EPERM:
      failure.kind = TOpenFailure::Permission;
      failure.group = port.group;
      break;
    case ENOTTY:
      failure.kind = TOpenFailure::NotSerial;
      break;
    default:
      failure.kind = TOpenFailure::Other;
      failure.systemText = QString::fromLocal8Bit(std::strerror(error));
      break;
  }
  return failure;
}

QString OpenFailureText(const TOpenFailure& f) {
  switch (f.kind) {
    case TOpenFailure::None:
      return {};
    case TOpenFailure::Absent:
      return QStringLiteral("%1 is not there: is the adapter plugged in, and is the name right?")
          .arg(f.device);
    case TOpenFailure::Busy:
      if (f.heldBy.isEmpty())
        return QStringLiteral(
                   "%1 is busy: another program holds it (one this user cannot see; sudo fuser "
                   "-v %1 names it)")
            .arg(f.device);
      return QStringLiteral("%1 is busy: %2 holds it")
          .arg(f.device, f.heldBy.join(QStringLiteral(", ")));
    case TOpenFailure::Permission:
      return QStringLiteral(
                 "%1 may not be opened by this user: add yourself to the %2 group (sudo usermod "
                 "-aG %2 $USER), then log out and in again")
          .arg(f.device, GroupOr(f.group));
    case TOpenFailure::NotSerial:
      return QStringLiteral("%1 is not a serial port").arg(f.device);
    case TOpenFailure::Other:
      return QStringLiteral("%1 cannot be opened: %2").arg(f.device, f.systemText);
  }
  return {};
}
