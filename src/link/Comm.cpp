#include "link/Comm.h"

#include <array>
#include <mutex>
#include <shared_mutex>

#include "link/PortSettings.h"
#include "link/SerialDeviceRegistry.h"

namespace Comm {
namespace {

// One port slot. Byte operations share the slot; opening and closing take it alone, so a
// close on one thread never frees a device another thread is reading.
struct PortSlot {
  std::shared_mutex mutex;
  std::unique_ptr<SerialDevice> device;
};

std::array<PortSlot, kPortCount> PortHandles;

PortSlot* Slot(int index) {
  if (index < 0 || index >= kPortCount) return nullptr;
  return &PortHandles[static_cast<size_t>(index)];
}

// Runs `op` on the open device of the slot, or answers `notOpen`.
template <typename R, typename Op>
R WithDevice(int index, R notOpen, Op op) {
  PortSlot* slot = Slot(index);
  if (!slot) return notOpen;
  const std::shared_lock lock(slot->mutex);
  if (!slot->device) return notOpen;
  return op(*slot->device);
}

}  // namespace

bool OpenPort(int index, int inQueue, int outQueue) {
  (void)inQueue;
  (void)outQueue;
  PortSlot* slot = Slot(index);
  if (!slot) return false;
  const std::unique_lock lock(slot->mutex);
  if (slot->device) return false;
  slot->device = OpenSerialDevice(PortDeviceName(PortName(index)));
  return slot->device != nullptr;
}

bool AttachDevice(int index, std::unique_ptr<SerialDevice> device) {
  PortSlot* slot = Slot(index);
  if (!device) return false;
  if (slot) {
    const std::unique_lock lock(slot->mutex);
    if (!slot->device) {
      slot->device = std::move(device);
      return true;
    }
  }
  device->close();
  return false;
}

bool SetPortState(int index, int32_t baud, int parity, int stopBits, int dataBits) {
  return WithDevice(index, false, [&](SerialDevice& d) {
    return d.setLineSettings(baud, parity, stopBits, dataBits);
  });
}

bool SetDTR(int index, char action) {
  return WithDevice(index, false, [&](SerialDevice& d) { return d.setDTR(action == kSet); });
}

bool SetRTS(int index, char action) {
  return WithDevice(index, false, [&](SerialDevice& d) { return d.setRTS(action == kSet); });
}

bool SetBreak(int index, bool on) {
  return WithDevice(index, false, [&](SerialDevice& d) { return d.setBreak(on); });
}

int ReadByte(int index) {
  return WithDevice(index, -1, [](SerialDevice& d) { return d.readByte(); });
}

int WriteByte(int index, uint8_t byte) {
  return WithDevice(index, -1, [&](SerialDevice& d) { return d.writeByte(byte) ? 0 : -1; });
}

bool PurgeInput(int index) {
  return WithDevice(index, false, [](SerialDevice& d) { return d.purgeInput(); });
}

bool ClosePort(int index) {
  PortSlot* slot = Slot(index);
  if (!slot) return false;
  std::unique_ptr<SerialDevice> device;
  {
    const std::unique_lock lock(slot->mutex);
    device = std::move(slot->device);
  }
  if (!device) return false;
  return device->close();
}

bool WaitReadable(int index, int ms) {
  PortSlot* slot = Slot(index);
  if (slot) {
    const std::shared_lock lock(slot->mutex);
    if (slot->device) return slot->device->waitReadable(ms);
  }
  SleepMs(ms);
  return false;
}

int Cts(int index) {
  return WithDevice(index, -1, [](SerialDevice& d) { return d.cts(); });
}

bool IsOpen(int index) {
  PortSlot* slot = Slot(index);
  if (!slot) return false;
  const std::shared_lock lock(slot->mutex);
  return slot->device != nullptr;
}

}  // namespace Comm
