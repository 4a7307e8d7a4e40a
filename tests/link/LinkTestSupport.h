#pragma once
// A configuration folder of its own for each test, so that "CTESTER.INI" starts absent,
// and the scripted devices the tests put behind port names.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "link/Comm.h"
#include "link/PortSettings.h"
#include "link/SerialDeviceRegistry.h"
#include "sim/ScriptedSerialDevice.h"

class ConfigFolder {
 public:
  ConfigFolder() : fOld(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", fDir.path().toLocal8Bit());
  }
  ~ConfigFolder() { qputenv("XDG_CONFIG_HOME", fOld); }

  void WriteIni(const QByteArray& text) const {
    QDir().mkpath(fDir.path() + "/Tarvelo");
    QFile file(PortSettingsPath());
    file.open(QIODevice::WriteOnly);
    file.write(text);
  }
  QByteArray ReadIni() const {
    QFile file(PortSettingsPath());
    file.open(QIODevice::ReadOnly);
    return file.readAll();
  }

 private:
  QByteArray fOld;
  QTemporaryDir fDir;
};

// A scripted device registered under a name for as long as the object lives.
class RegisteredScript {
 public:
  explicit RegisteredScript(const QString& name)
      : fName(name), fLine(std::make_shared<ScriptedLine>()) {
    RegisterSerialDevice(fName,
                         [line = fLine] { return std::make_unique<ScriptedSerialDevice>(line); });
  }
  ~RegisteredScript() {
    for (int i = 0; i < Comm::kPortCount; ++i) Comm::ClosePort(i);
    UnregisterSerialDevice(fName);
  }
  ScriptedLine& line() { return *fLine; }

 private:
  QString fName;
  std::shared_ptr<ScriptedLine> fLine;
};
