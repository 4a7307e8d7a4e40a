#pragma once
// The serial ports of this machine and what the kernel says of each: driver, USB ids and the
// chip's common name, the FTDI latency timer, whether this user may open the device and
// which processes hold it open, with advice in words for what stands in the way. Everything
// is read under a root directory (TARVELO_SYS_ROOT, default "/"), so tests build fake trees:
//   <root>/sys/class/tty/NAME/device         (its driver link; the USB device is the nearest
//                                            directory above it that holds idVendor)
//   <root>/sys/bus/usb-serial/devices/NAME/latency_timer
//   <root>/proc/PID/comm, <root>/proc/PID/fd/*   (who holds the port)
//   <root>/dev/NAME, <root>/dev/serial/by-id/*   <root>/etc/group
//   <root>/run/udev/data/cMAJOR:MINOR            (udev's properties of the device)

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// The root under which the kernel's trees are read: TARVELO_SYS_ROOT, or "/".
QString SysRoot();

// Who asks: the process's own identity, or one a test makes up.
struct TPortUser {
  bool self = false;  // this process: access is asked of the kernel (ACLs count)
  uint32_t uid = 0;
  std::vector<uint32_t> gids;  // primary and supplementary groups of the session
  QString name;                // login name, for the group file's member lists
  static TPortUser Current();
};

// One piece of advice about a port; the texts are made by AdviceText (English) or by the
// window (its own language).
struct TPortAdvice {
  enum Kind {
    LatencyTimer,   // an FTDI adapter above 1 ms; value: its milliseconds
    HeldByModem,    // ModemManager holds it; subject: the process name
    HeldByBraille,  // brltty holds it
    HeldBy,         // another process holds it; subject: the process name
    ModemMayTake,   // ModemManager runs, may probe the adapter and is not told to keep off
    JoinGroup,      // no access; subject: the group that has it
    LogInAgain,     // the user is in the group, but this session started before
    Absent,         // the device node is missing
  };
  Kind kind;
  QString subject;
  int value = 0;
};

struct TSerialPort {
  QString name;          // ttyUSB0
  QString device;        // /dev/ttyUSB0
  QStringList byId;      // /dev/serial/by-id/... names that lead to it
  bool present = false;  // the device node exists
  QString driver;        // ftdi_sio, ch341, pl2303, cp210x, cdc_acm, serial8250; empty unknown
  QString vendorId;      // four lower-case hex digits; empty when not a USB device
  QString productId;
  QString chip;     // the chip's common name ("FT232R", "CH340"); empty unknown
  QString product;  // the USB device's own product string
  std::optional<int> latencyTimerMs;
  QString latencyTimerPath;  // as the user writes it (without the root)
  bool latencyWritable = false;
  bool access = false;        // this user may open it for reading and writing
  QString group;              // the device's group (the one that may open it)
  QStringList heldBy;         // names of the processes that hold it open
  bool modemIgnored = false;  // udev tells ModemManager to keep off (ID_MM_DEVICE_IGNORE)
  std::vector<TPortAdvice> advice;
};

// Every serial device: ttyUSB*, ttyACM*, ttyS* with a UART behind it, sorted by kind and
// number. `root` is normally SysRoot().
std::vector<TSerialPort> ListSerialPorts(const QString& root, const TPortUser& user);
// What is known of one device path (/dev/ttyUSB0, a /dev/serial/by-id name); the port is
// empty (name empty) when the path leads to no serial device of the list.
TSerialPort DescribeSerialPort(const QString& root, const TPortUser& user, const QString& path);
// The tty name a device path leads to ("ttyUSB0"), looking through by-id links under root.
QString TtyNameOfDevice(const QString& root, const QString& path);

// The chip's common name for USB ids (lower-case hex), else a name from the driver.
QString ChipName(const QString& vendorId, const QString& productId, const QString& driver);
// The advice in English, one sentence with the command to run.
QString AdviceText(const TPortAdvice& advice, const TSerialPort& port);

// The port list as JSON: an array of objects with device, byId, driver, vendorId,
// productId, chip, latencyTimerMs, access, group, heldBy and advice (null where unknown).
QByteArray PortsJson(const std::vector<TSerialPort>& ports);
// The port list as text for a terminal.
QString PortsText(const std::vector<TSerialPort>& ports);

// Why a device could not be opened, in the terms a user can act on.
struct TOpenFailure {
  enum Kind { None, Absent, Busy, Permission, NotSerial, Other };
  Kind kind = None;
  QString device;      // the path that was opened
  QStringList heldBy;  // Busy: the processes seen holding it (may be empty: another user's)
  QString group;       // Permission: the group that may open it
  QString systemText;  // Other: the system's words for the error
};
// Explains an open that failed with `error` (errno), from what the trees say of the device.
TOpenFailure ExplainOpenFailure(const QString& root, const TPortUser& user, const QString& path,
                                int error);
// The explanation in English.
QString OpenFailureText(const TOpenFailure& failure);
