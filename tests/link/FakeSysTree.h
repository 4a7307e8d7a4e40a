#pragma once
// A made-up machine under a temporary root, shaped as the kernel lays out its trees:
// USB serial adapters and UARTs in sys/, device nodes and by-id names in dev/, processes with
// their open files in proc/, the group file in etc/.
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

class FakeSysTree {
 public:
  QString root() const { return fDir.path(); }
  QString Path(const QString& rel) const { return fDir.path() + "/" + rel; }

  void Write(const QString& rel, const QByteArray& text, mode_t mode = 0644) const {
    QDir().mkpath(QFileInfo(Path(rel)).path());
    QFile file(Path(rel));
    file.open(QIODevice::WriteOnly);
    file.write(text);
    file.close();
    chmod(QFile::encodeName(Path(rel)).constData(), mode);
  }
  void Link(const QString& rel, const QString& target) const {
    QDir().mkpath(QFileInfo(Path(rel)).path());
    QFile::link(target, Path(rel));
  }

  // A USB serial adapter: the USB device with its ids, the usb-serial port below its
  // interface (the tty's device, whose driver link names the driver), the class entry and the
  // device node. cdc_acm devices have no usb-serial port: the tty's device is the interface.
  void AddUsb(const QString& name, const QString& driver, const QString& vid, const QString& pid,
              std::optional<int> latencyMs = std::nullopt, mode_t nodeMode = 0660) {
    const QString usb = QStringLiteral("sys/devices/pci0000:00/usb1/1-%1").arg(++fUsbCount);
    Write(usb + "/idVendor", vid.toLatin1() + "\n");
    Write(usb + "/idProduct", pid.toLatin1() + "\n");
    Write(usb + "/product", "Adapter " + name.toLatin1() + "\n");
    const QString iface = usb + QStringLiteral("/1-%1:1.0").arg(fUsbCount);
    const bool acm = driver == "cdc_acm";
    const QString device = acm ? iface : iface + "/" + name;
    QDir().mkpath(Path(device));
    const QString bus = acm ? "sys/bus/usb/drivers/" : "sys/bus/usb-serial/drivers/";
    QDir().mkpath(Path(bus + driver));
    Link(device + "/driver", Path(bus + driver));
    AddClass(name, device);
    if (latencyMs) {
      Write(device + "/latency_timer", QByteArray::number(*latencyMs) + "\n");
      Link("sys/bus/usb-serial/devices/" + name, Path(device));
    }
    Write("dev/" + name, {}, nodeMode);
  }
  // A UART: type 0 is a ttyS the kernel lists with no UART behind it.
  void AddUart(const QString& name, int type) {
    const QString device = "sys/devices/platform/serial8250/" + name;
    QDir().mkpath(Path(device));
    QDir().mkpath(Path("sys/bus/platform/drivers/serial8250"));
    Link(device + "/driver", Path("sys/bus/platform/drivers/serial8250"));
    AddClass(name, device);
    Write("sys/class/tty/" + name + "/type", QByteArray::number(type) + "\n");
    Write("dev/" + name, {});
  }
  void AddProcess(int pid, const QByteArray& comm, const QStringList& openFiles) const {
    const QString dir = QStringLiteral("proc/%1").arg(pid);
    Write(dir + "/comm", comm + "\n");
    QDir().mkpath(Path(dir + "/fd"));
    int fd = 3;
    for (const QString& f : openFiles) Link(dir + QStringLiteral("/fd/%1").arg(fd++), f);
  }
  // The group of the device nodes (the group the test process makes files with) as `name`.
  void NameNodeGroup(const QString& name, const QString& members = {}) const {
    Write("etc/group",
          QStringLiteral("%1:x:%2:%3\n").arg(name).arg(getegid()).arg(members).toLatin1());
  }

 private:
  void AddClass(const QString& name, const QString& device) {
    // The class entry lives below the device, as in sysfs, and is linked from class/tty.
    const QString entry = device + "/tty/" + name;
    QDir().mkpath(Path(entry));
    Link(entry + "/device", Path(device));
    Write(entry + "/dev", QStringLiteral("188:%1\n").arg(fTtyCount++).toLatin1());
    Link("sys/class/tty/" + name, Path(entry));
  }

  QTemporaryDir fDir;
  int fUsbCount = 0;
  int fTtyCount = 0;
};
