#include "link/PortSettings.h"

#include <QStandardPaths>

#include "common/IniFile.h"
#include "link/SerialDeviceRegistry.h"

int32_t IniPort = 0;
int32_t IniParity = 0;
int32_t IniWakeLine = 0;
int32_t IniTrace = 0;

QString PortSettingsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
         QStringLiteral("/CTESTER.INI");
}

void LoadPortSettings() {
  const TIniFile ini(PortSettingsPath());
  IniPort = ini.ReadInteger("COMM", "PORT", 0);
  IniParity = ini.ReadInteger("COMM", "PAR", 0);
  IniWakeLine = ini.ReadInteger("COMM", "L-LINE", 0);
  IniTrace = ini.ReadInteger("COMM", "TRACE", 0);
}

bool SavePortSettings() {
  TIniFile ini(PortSettingsPath());
  ini.WriteInteger("COMM", "PORT", IniPort);
  ini.WriteInteger("COMM", "PAR", IniParity);
  ini.WriteInteger("COMM", "L-LINE", IniWakeLine);
  return ini.Save();
}

int LineParityCode(int32_t iniParity) {
  switch (iniParity) {
    case 1:
      return 2;
    case 2:
      return 1;
    default:
      return 0;
  }
}

bool WakeLineIsDTR(int32_t iniWakeLine) {
  return iniWakeLine == 0;
}

TWakeLine WakeLineFor(int32_t iniWakeLine) {
  if (iniWakeLine == 0) return TWakeLine::Dtr;
  if (iniWakeLine == kWakeLineBreak) return TWakeLine::Break;
  return TWakeLine::Rts;
}

int PortIndexOfName(const QString& portName) {
  if (!portName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) return -1;
  bool ok = false;
  const int n = portName.mid(3).toInt(&ok);
  return ok && n >= 1 && n <= 16 ? n - 1 : -1;
}

QString PortName(int index) {
  return QStringLiteral("COM%1").arg(index + 1);
}

QString PortDeviceName(const QString& portName) {
  const TIniFile ini(PortSettingsPath());
  const QString mapped = ini.ReadString("DEVICES", portName, QString());
  if (!mapped.isEmpty()) return mapped;
  if (portName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
    bool ok = false;
    const int n = portName.mid(3).toInt(&ok);
    if (ok && n >= 1) return QStringLiteral("/dev/ttyUSB%1").arg(n - 1);
  }
  return portName;
}

bool IsSimulatedPort(const QString& portName) {
  return IsRegisteredSerialDevice(PortDeviceName(portName));
}

bool ChooseDiagnosticDevice(const QString& device) {
  const int current = IniPort >= 0 && IniPort < 16 ? IniPort : 0;
  if (IniPort == current && PortDeviceName(PortName(current)) == device) return true;
  TIniFile ini(PortSettingsPath());
  int index = current;
  for (int i = 0; i < 16; ++i)
    if (ini.ReadString("DEVICES", PortName(i), QString()) == device) {
      index = i;
      break;
    }
  if (PortDeviceName(PortName(index)) != device)
    ini.WriteString("DEVICES", PortName(index), device);
  ini.WriteInteger("COMM", "PORT", index);
  if (!ini.Save()) return false;
  IniPort = index;
  return true;
}

bool ChooseWakeLine(int32_t iniWakeLine) {
  TIniFile ini(PortSettingsPath());
  ini.WriteInteger("COMM", "L-LINE", iniWakeLine);
  if (!ini.Save()) return false;
  IniWakeLine = iniWakeLine;
  return true;
}
