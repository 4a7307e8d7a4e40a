#pragma once
// The serial devices the line layer can open by name: device files through the POSIX
// backend, and whatever the program or a test registered under a name of its own.

#include <QString>
#include <functional>
#include <memory>

#include "link/SerialDevice.h"

// Devices that are not files are found by name in a small registry of factories: the
// program registers the simulator as "sim" at start-up, tests register scripted devices.
// A factory returns null when its device cannot be opened now.
using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;

void RegisterSerialDevice(const QString& name, SerialDeviceFactory factory);
void UnregisterSerialDevice(const QString& name);
bool IsRegisteredSerialDevice(const QString& name);

// Opens a registered device by name, otherwise the device file at that path through the
// POSIX backend (under TARVELO_SYS_ROOT when that is set). Null when it cannot be opened.
std::unique_ptr<SerialDevice> OpenSerialDevice(const QString& name);
// Why the last OpenSerialDevice on this thread gave null (an errno value: ENOENT for no
// name, ENODEV for a registered device that cannot be opened now), 0 after a success.
int LastSerialOpenError();
