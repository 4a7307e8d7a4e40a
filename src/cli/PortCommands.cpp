// tarvelo-cli's `ports` and `cable-test`: the machine's serial devices and what stands in the
// way of each; a K-line cable's echo, timed byte by byte.

#include "cli/PortCommands.h"

#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "link/CableTest.h"
#include "link/LatencyTimer.h"
#include "link/PortSettings.h"
#include "link/SerialDeviceRegistry.h"
#include "link/SerialPorts.h"
#include "sim/SimSerialDevice.h"
#include "sim/Simulator.h"

namespace {

constexpr int kExitError = 2;

void Print(const QByteArray& text) {
  std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
}

int Error(const QString& message) {
  std::fprintf(stderr, "tarvelo-cli: %s\n", message.toUtf8().constData());
  return kExitError;
}

int Ports(const QStringList& args) {
  bool json = false;
  for (const QString& arg : args) {
    if (arg == QLatin1String("--json"))
      json = true;
    else
      return Error(QStringLiteral("ports: unexpected argument %1 (see --help)").arg(arg));
  }
  const auto ports = ListSerialPorts(SysRoot(), TPortUser::Current());
  Print(json ? PortsJson(ports) : PortsText(ports).toUtf8());
  return 0;
}

int CableTest(const QStringList& args) {
  if (args.size() != 1 || args[0].startsWith(QLatin1String("--")))
    return Error(QStringLiteral("cable-test needs one PORT (see --help)"));
  // CTESTER.INI of the program's own configuration folder: PAR and the DEVICES names.
  QCoreApplication::setApplicationName(QStringLiteral("Tarvelo"));
  LoadPortSettings();
  RegisterSimulator(QStringLiteral("sim"), TheSimulator());
  const QString& port = args[0];
  const QString device = PortIndexOfName(port) >= 0 ? PortDeviceName(port) : port;
  auto line = OpenSerialDevice(device);
  if (!line) {
    const TOpenFailure failure =
        ExplainOpenFailure(SysRoot(), TPortUser::Current(), device, LastSerialOpenError());
    return Error(QStringLiteral("cable-test: ") + OpenFailureText(failure));
  }
  const QString parity = IniParity == 1   ? QStringLiteral("even")
                         : IniParity == 2 ? QStringLiteral("odd")
                                          : QStringLiteral("none");
  Print(QStringLiteral("cable test on %1%2, 19200 baud, 8 data bits, parity %3, 1 stop bit\n")
            .arg(port,
                 device == port ? QString() : QStringLiteral(" (") + device + QLatin1Char(')'),
                 parity)
            .toUtf8());
  std::fflush(stdout);
  TCableTestOptions options;
  options.iniParity = IniParity;
  const TCableTestResult result = RunCableTest(*line, options);
  line->close();
  const TSerialPort info = DescribeSerialPort(SysRoot(), TPortUser::Current(), device);
  const QString command =
      info.latencyTimerMs && *info.latencyTimerMs > 1 ? LatencyCommand(info) : QString();
  Print(CableTestText(result, command).toUtf8());
  return CableTestExitCode(result);
}

}  // namespace

std::optional<int> RunPortCommand(const QString& command, const QStringList& args) {
  if (command == QLatin1String("ports")) return Ports(args);
  if (command == QLatin1String("cable-test")) return CableTest(args);
  return std::nullopt;
}
