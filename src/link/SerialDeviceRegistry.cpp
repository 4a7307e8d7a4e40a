#include "link/SerialDeviceRegistry.h"

#include <map>
#include <mutex>

#include "link/PosixSerialDevice.h"

namespace {

struct Registry {
  std::mutex mutex;
  std::map<QString, SerialDeviceFactory> factories;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterSerialDevice(const QString& name, SerialDeviceFactory factory) {
  Registry& r = TheRegistry();
  const std::lock_guard lock(r.mutex);
  r.factories[name] = std::move(factory);
}

void UnregisterSerialDevice(const QString& name) {
  Registry& r = TheRegistry();
  const std::lock_guard lock(r.mutex);
  r.factories.erase(name);
}

bool IsRegisteredSerialDevice(const QString& name) {
  Registry& r = TheRegistry();
  const std::lock_guard lock(r.mutex);
  return r.factories.count(name) != 0;
}

std::unique_ptr<SerialDevice> OpenSerialDevice(const QString& name) {
  SerialDeviceFactory factory;
  {
    Registry& r = TheRegistry();
    const std::lock_guard lock(r.mutex);
    const auto it = r.factories.find(name);
    if (it != r.factories.end()) factory = it->second;
  }
  // The factory runs outside the lock: it may start a simulator thread.
  if (factory) return factory();
  if (name.isEmpty()) return nullptr;
  return PosixSerialDevice::Open(name);
}
