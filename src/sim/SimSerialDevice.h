#pragma once
// A line to a Simulator: bytes and line levels go to a simulator thread of its own, as
// they would go to a device at the end of a cable, and its answers come back.

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
