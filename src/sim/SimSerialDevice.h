#pragma once
// A line to a Simulator, and the simulator as a named device of the line layer: bytes and
// line levels go to a simulator thread of its own, as they would go to a device at the end
// of a cable, and its answers come back.

#include <QString>
#include <atomic>
#include <memory>
#include <thread>

#include "link/SerialDevice.h"

class Simulator;
class SimLine;

class SimSerialDevice : public SerialDevice {
 public:
  explicit SimSerialDevice(std::shared_ptr<Simulator> simulator);
  ~SimSerialDevice() override;

  bool setLineSettings(int32_t baud, int parity, int stopBits, int dataBits) override;
  bool setDTR(bool on) override;
  bool setRTS(bool on) override;
  int cts() override;
  int64_t ctsChanges() override;
  bool setBreak(bool on) override;
  int readByte() override;
  bool waitReadable(int ms) override;
  bool writeByte(uint8_t byte) override;
  bool purgeInput() override;
  bool close() override;

 private:
  bool Failed() const;

  std::shared_ptr<Simulator> fSim;
  std::shared_ptr<SimLine> fLine;
  std::thread fThread;
  std::atomic<bool> fClosed{false};
};

// A new line to the simulator; null while it is unplugged. The device keeps the simulator
// alive for as long as its thread runs.
std::unique_ptr<SerialDevice> OpenSimulatorDevice(const std::shared_ptr<Simulator>& simulator);
// Registers "sim" with the line layer; it serves "demo.bin" of the working folder when
// there is one, else a generated image, and its unit is woken on the line that "L-LINE"
// of the port settings names. Called once by the program at start-up, after the port
// settings are read.
void RegisterSimulator();
// Registers a simulator under another device name (tests keep their own).
void RegisterSimulator(const QString& name, std::shared_ptr<Simulator> simulator);
