#include "sim/SimSerialDevice.h"

#include "common/Clock.h"
#include "link/PortSettings.h"
#include "link/SerialDeviceRegistry.h"
#include "sim/SimEngine.h"
#include "sim/SimLine.h"
#include "sim/Simulator.h"

SimSerialDevice::SimSerialDevice(std::shared_ptr<Simulator> simulator)
    : fSim(std::move(simulator)), fLine(std::make_shared<SimLine>()) {
  fSim->DeviceOpened();
  auto engine = std::make_unique<SimEngine>(fLine, fSim);
  fThread = std::thread([engine = std::move(engine)] { engine->Run(); });
}

SimSerialDevice::~SimSerialDevice() {
  close();
}

bool SimSerialDevice::Failed() const {
  return fClosed || fSim->Unplugged();
}

bool SimSerialDevice::setLineSettings(int32_t, int, int, int) {
  return !Failed();
}

bool SimSerialDevice::setDTR(bool on) {
  if (Failed()) return false;
  fLine->Post(SimEvent::Dtr, on ? 1 : 0);
  return true;
}

bool SimSerialDevice::setRTS(bool on) {
  if (Failed()) return false;
  fLine->Post(SimEvent::Rts, on ? 1 : 0);
  return true;
}

bool SimSerialDevice::setBreak(bool on) {
  if (Failed()) return false;
  const SimUnitSettings unit = fSim->UnitSettings();
  if (unit.breakRefused) return false;
  if (!on && unit.breakEndDelayMs > 0) SleepMs(unit.breakEndDelayMs);
  fLine->Post(SimEvent::Break, on ? 1 : 0);
  return true;
}

int SimSerialDevice::cts() {
  return Failed() ? -1 : fLine->Cts();
}

int64_t SimSerialDevice::ctsChanges() {
  return Failed() ? -1 : fLine->CtsChanges();
}

int SimSerialDevice::readByte() {
  return Failed() ? -1 : fLine->Read();
}

bool SimSerialDevice::waitReadable(int ms) {
  if (Failed()) {
    SleepMs(ms);
    return false;
  }
  return fLine->WaitReadable(ms);
}

bool SimSerialDevice::writeByte(uint8_t byte) {
  if (Failed()) return false;
  fLine->Post(SimEvent::Byte, byte);
  return true;
}

bool SimSerialDevice::purgeInput() {
  if (Failed()) return false;
  fLine->Purge();
  return true;
}

bool SimSerialDevice::close() {
  if (fClosed.exchange(true)) return false;
  const bool unplugged = fSim->Unplugged();
  fLine->Post(SimEvent::Stop, 0);
  fThread.join();
  fSim->DeviceClosed();
  return !unplugged;
}

std::unique_ptr<SerialDevice> OpenSimulatorDevice(const std::shared_ptr<Simulator>& simulator) {
  if (simulator->Unplugged()) return nullptr;
  return std::make_unique<SimSerialDevice>(simulator);
}

void RegisterSimulator(const QString& name, std::shared_ptr<Simulator> simulator) {
  RegisterSerialDevice(name, [simulator] { return OpenSimulatorDevice(simulator); });
}

void RegisterSimulator() {
  const auto simulator = TheSimulator();
  simulator->LoadImageFile(QStringLiteral("demo.bin"));
  // The simulated interface is wired the way the port settings expect.
  SimUnitSettings unit = simulator->UnitSettings();
  unit.wakeLine = IniWakeLine;
  simulator->SetUnitSettings(unit);
  RegisterSimulator(QStringLiteral("sim"), simulator);
}
