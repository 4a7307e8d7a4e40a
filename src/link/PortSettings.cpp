#include "link/PortSettings.h"

#include <QStandardPaths>

#include "common/IniFile.h"

int32_t IniPort = 0;
int32_t IniParity = 0;
int32_t IniWakeLine = 0;

QString PortSettingsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
         QStringLiteral("/CTESTER.INI");
}

void LoadPortSettings() {
  const TIniFile ini(PortSettingsPath());
  IniPort = ini.ReadInteger("COMM", "PORT", 0);
  IniParity = ini.ReadInteger("COMM", "PAR", 0);
  IniWakeLine = ini.ReadInteger("COMM", "L-LINE", 0);
}

void SavePortSettings() {
  TIniFile ini(PortSettingsPath());
  ini.WriteInteger("COMM", "PORT", IniPort);
  ini.WriteInteger("COMM", "PAR", IniParity);
  ini.WriteInteger("COMM", "L-LINE", IniWakeLine);
  ini.Save();
}
