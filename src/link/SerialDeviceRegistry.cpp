#include "link/SerialDeviceRegistry.h"

#include <QDir>
#include <cerrno>
#include <map>
#include <mutex>

#include "link/PosixSerialDevice.h"

namespace {

struct Registry {
  std::mutex mutex;
  std::map<QString, SerialDeviceFactory> factories;
};

thread_local int gLastOpenError = 0;

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
  gLastOpenError = 0;
  // The factory runs outside the lock: it may start a simulator thread.
  if (factory) {
    auto device = factory();
    if (!device) gLastOpenError = ENODEV;
    return device;
  }
  if (name.isEmpty()) {
    gLastOpenError = ENOENT;
    return nullptr;
  }
  // Under a root of its own (TARVELO_SYS_ROOT, a test's made-up machine) the device node is
  // the one of that tree.
  const QString root = qEnvironmentVariable("TARVELO_SYS_ROOT");
  const QString path =
      root.isEmpty() || !name.startsWith(QLatin1Char('/')) ? name : QDir::cleanPath(root + name);
  return PosixSerialDevice::Open(path, &gLastOpenError);
}

int LastSerialOpenError() {
  return gLastOpenError;
}
