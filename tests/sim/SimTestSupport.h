#pragma once
// A simulator of its own behind COM1 for each test, with short wake-up bits so that a
// connection takes a fraction of a second, and the event pumping the interface thread
// does while a scan thread runs.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>

#include "common/Clock.h"
#include "link/Comm.h"
#include "link/PortSettings.h"
#include "link/ScanUtils.h"
#include "link/SerialDeviceRegistry.h"
#include "sim/SimSerialDevice.h"
#include "sim/Simulator.h"

// Lets the interface thread's events run until `done` or `timeoutMs`.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const int64_t end = NowMs() + timeoutMs;
  while (!done()) {
    if (NowMs() > end) return false;
    QCoreApplication::processEvents();
    QThread::usleep(200);
  }
  return true;
}

class SimFixture {
 public:
  static constexpr int kBitMs = 25;

  SimFixture() : fOld(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", fDir.path().toLocal8Bit());
    QDir().mkpath(fDir.path() + "/Tarvelo");
    QFile file(PortSettingsPath());
    file.open(QIODevice::WriteOnly);
    file.write("[DEVICES]\r\nCOM1=simtest\r\n");
    file.close();
    RegisterSimulator("simtest", sim);
    SimUnitSettings unit;
    unit.wakeBitMs = kBitMs;
    unit.syncDelayMs = 2;
    unit.keywordDelayMs = 1;
    unit.blockDelayMs = 1;
    sim->SetUnitSettings(unit);
    sim->SetWireLogging(true);
    ScanUtils::SetWakeTiming(kBitMs, kBitMs);
  }
  ~SimFixture() {
    for (int i = 0; i < Comm::kPortCount; ++i) Comm::ClosePort(i);
    ScanUtils::SetWakeTiming(1000, 200);
    UnregisterSerialDevice("simtest");
    qputenv("XDG_CONFIG_HOME", fOld);
  }

  // Changes the unit's settings from the fixture's.
  void Unit(const std::function<void(SimUnitSettings&)>& change) {
    SimUnitSettings unit = sim->UnitSettings();
    change(unit);
    sim->SetUnitSettings(unit);
  }
  void Adapter(const std::function<void(SimAdapterSettings&)>& change) {
    SimAdapterSettings adapter = sim->AdapterSettings();
    change(adapter);
    sim->SetAdapterSettings(adapter);
  }
  // The bytes the program put on the wire.
  std::vector<uint8_t> ProgramBytes() const {
    std::vector<uint8_t> bytes;
    for (const auto& w : sim->WireLog())
      if (w.fromProgram) bytes.push_back(w.value);
    return bytes;
  }

  std::shared_ptr<Simulator> sim = std::make_shared<Simulator>();

 private:
  QByteArray fOld;
  QTemporaryDir fDir;
};
