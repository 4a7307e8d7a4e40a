#include "link/SerialPorts.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace {

// A path of the machine under the root ("/dev/ttyUSB0" in a fake tree's dev/).
QString Under(const QString& root, const QString& path) {
  return QDir::cleanPath(root + QLatin1Char('/') + path);
}

QString ReadLine(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.read(4096)).trimmed();
}

QString LinkName(const QString& path) {
  const QFileInfo info(path);
  if (!info.isSymLink()) return {};
  return QFileInfo(info.symLinkTarget()).fileName();
}

// The processes holding each device open: "/dev/ttyUSB0" -> names, from /proc/*/fd links.
// Processes of other users cannot be looked into without privileges and are left out.
struct ProcessTable {
  std::map<QString, QStringList> holders;
  bool modemManagerRuns = false;
};

ProcessTable ScanProcesses(const QString& root) {
  ProcessTable table;
  const QDir proc(Under(root, QStringLiteral("/proc")));
  static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
  const bool realRoot = QDir(root).canonicalPath() == QLatin1String("/");
  const QString self = QString::number(getpid());
  for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (!number.match(pid).hasMatch()) continue;
    const QString comm = ReadLine(proc.filePath(pid + QStringLiteral("/comm")));
    if (comm == QLatin1String("ModemManager")) table.modemManagerRuns = true;
    // The program itself holding its own port is no obstacle.
    if (realRoot && pid == self) continue;
    const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
    for (const QString& fd :
         fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
      const QByteArray link = QFile::encodeName(fds.filePath(fd));
      char target[512];
      const ssize_t n = readlink(link.constData(), target, sizeof target - 1);
      if (n <= 0) continue;
      const QString device = QFile::decodeName(QByteArray(target, static_cast<int>(n)));
      if (!device.startsWith(QLatin1String("/dev/"))) continue;
      QStringList& names = table.holders[device];
      if (!names.contains(comm)) names << comm;
    }
  }
  return table;
}

// Group names by number, from <root>/etc/group, with their member lists.
struct GroupTable {
  std::map<uint32_t, QString> names;
  std::map<QString, QStringList> members;
};

GroupTable ReadGroups(const QString& root) {
  GroupTable table;
  QFile file(Under(root, QStringLiteral("/etc/group")));
  if (!file.open(QIODevice::ReadOnly)) return table;
  while (!file.atEnd()) {
    const QStringList f = QString::fromUtf8(file.readLine()).trimmed().split(QLatin1Char(':'));
    if (f.size() < 4) continue;
    bool ok = false;
    const uint32_t gid = f[2].toUInt(&ok);
    if (!ok) continue;
    table.names.emplace(gid, f[0]);
    table.members[f[0]] = f[3].split(QLatin1Char(','), Qt::SkipEmptyParts);
  }
  return table;
}

QString GroupName(const GroupTable& groups, const QString& root, uint32_t gid) {
  const auto it = groups.names.find(gid);
  if (it != groups.names.end()) return it->second;
  if (QDir(root).canonicalPath() == QLatin1String("/")) {
    if (const group* g = getgrgid(gid)) return QString::fromLocal8Bit(g->gr_name);
  }
  return QString::number(gid);
}

// Whether the user may read and write the file: the kernel's answer for this process (which
// counts access lists such as udev's uaccess), else the mode bits.
bool MayOpen(const QString& path, const struct stat& st, const TPortUser& user) {
  if (user.self) return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
  if (user.uid == 0) return true;
  const mode_t rw = S_IRUSR | S_IWUSR;
  if (st.st_uid == user.uid) return (st.st_mode & rw) == rw;
  if (std::find(user.gids.begin(), user.gids.end(), st.st_gid) != user.gids.end())
    return (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
  return (st.st_mode & (S_IROTH | S_IWOTH)) == (S_IROTH | S_IWOTH);
}

// The USB device above a tty's device: the nearest directory holding idVendor.
QString UsbDeviceDir(const QString& root, const QString& deviceLink) {
  QString dir = QFileInfo(deviceLink).canonicalFilePath();
  const QString sys = QFileInfo(Under(root, QStringLiteral("/sys"))).canonicalFilePath();
  while (!dir.isEmpty() && dir.startsWith(sys) && dir.size() > sys.size()) {
    if (QFileInfo::exists(dir + QStringLiteral("/idVendor"))) return dir;
    dir = QFileInfo(dir).path();
  }
  return {};
}

bool UdevSaysModemIgnore(const QString& root, const QString& classDir) {
  const QString dev = ReadLine(classDir + QStringLiteral("/dev"));
  if (dev.isEmpty()) return false;
  QFile data(Under(root, QStringLiteral("/run/udev/data/c") + dev));
  if (!data.open(QIODevice::ReadOnly)) return false;
  return data.readAll().contains("E:ID_MM_DEVICE_IGNORE=1");
}

int KindOrder(const QString& name) {
  if (name.startsWith(QLatin1String("ttyUSB"))) return 0;
  if (name.startsWith(QLatin1String("ttyACM"))) return 1;
  return 2;
}

int NumberOf(const QString& name) {
  qsizetype i = name.size();
  while (i > 0 && name[i - 1].isDigit()) --i;
  return name.mid(i).toInt();
}

void AddAdvice(TSerialPort& port, const ProcessTable& procs, const GroupTable& groups,
               const TPortUser& user) {
  if (!port.present) {
    port.advice.push_back({TPortAdvice::Absent, {}});
    return;
  }
  if (port.latencyTimerMs && *port.latencyTimerMs > 1)
    port.advice.push_back({TPortAdvice::LatencyTimer, {}, *port.latencyTimerMs});
  for (const QString& name : port.heldBy) {
    if (name == QLatin1String("ModemManager"))
      port.advice.push_back({TPortAdvice::HeldByModem, name});
    else if (name.startsWith(QLatin1String("brltty")))
      port.advice.push_back({TPortAdvice::HeldByBraille, name});
    else
      port.advice.push_back({TPortAdvice::HeldBy, name});
  }
  if (procs.modemManagerRuns && !port.vendorId.isEmpty() && !port.modemIgnored &&
      !port.heldBy.contains(QStringLiteral("ModemManager")))
    port.advice.push_back({TPortAdvice::ModemMayTake, QStringLiteral("ModemManager")});
  if (!port.access) {
    const auto it = groups.members.find(port.group);
    const bool member =
        it != groups.members.end() && !user.name.isEmpty() && it->second.contains(user.name);
    port.advice.push_back({member ? TPortAdvice::LogInAgain : TPortAdvice::JoinGroup, port.group});
  }
}

TSerialPort Describe(const QString& root, const TPortUser& user, const QString& name,
                     const ProcessTable& procs, const GroupTable& groups) {
  TSerialPort port;
  port.name = name;
  port.device = QStringLiteral("/dev/") + name;
  const QString classDir = Under(root, QStringLiteral("/sys/class/tty/") + name);
  const QString deviceLink = classDir + QStringLiteral("/device");
  port.driver = LinkName(deviceLink + QStringLiteral("/driver"));
  if (const QString usb = UsbDeviceDir(root, deviceLink); !usb.isEmpty()) {
    port.vendorId = ReadLine(usb + QStringLiteral("/idVendor")).toLower();
    port.productId = ReadLine(usb + QStringLiteral("/idProduct")).toLower();
    port.product = ReadLine(usb + QStringLiteral("/product"));
  }
  port.chip = ChipName(port.vendorId, port.productId, port.driver);
  port.latencyTimerPath = QStringLiteral("/sys/bus/usb-serial/devices/%1/latency_timer").arg(name);
  const QString latency = Under(root, port.latencyTimerPath);
  bool ok = false;
  const int ms = ReadLine(latency).toInt(&ok);
  if (ok) {
    port.latencyTimerMs = ms;
    struct stat st {};
    if (::stat(QFile::encodeName(latency).constData(), &st) == 0)
      port.latencyWritable = user.self ? ::access(QFile::encodeName(latency).constData(), W_OK) == 0
                                       : user.uid == 0 ||
                                             (st.st_uid == user.uid && (st.st_mode & S_IWUSR)) ||
                                             (st.st_mode & S_IWOTH);
  }
  const QDir byId(Under(root, QStringLiteral("/dev/serial/by-id")));
  for (const QString& link : byId.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
    if (LinkName(byId.filePath(link)) == name)
      port.byId << QStringLiteral("/dev/serial/by-id/") + link;
  const QString node = Under(root, port.device);
  struct stat st {};
  port.present = ::stat(QFile::encodeName(node).constData(), &st) == 0;
  if (port.present) {
    port.access = MayOpen(node, st, user);
    port.group = GroupName(groups, root, st.st_gid);
  }
  if (const auto it = procs.holders.find(port.device); it != procs.holders.end())
    port.heldBy = it->second;
  port.modemIgnored = UdevSaysModemIgnore(root, classDir);
  AddAdvice(port, procs, groups, user);
  return port;
}

// A tty of the list: a USB serial adapter, a USB modem-class device, or a UART that is
// really there (the kernel lists ttyS0..31 whether or not a UART answers; type 0 is none).
bool IsSerialTty(const QString& root, const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^tty(USB|ACM|S)[0-9]+$"));
  if (!pattern.match(name).hasMatch()) return false;
  const QString classDir = Under(root, QStringLiteral("/sys/class/tty/") + name);
  if (!QFileInfo::exists(classDir + QStringLiteral("/device"))) return false;
  if (name.startsWith(QLatin1String("ttyS"))) {
    const QString type = ReadLine(classDir + QStringLiteral("/type"));
    if (type == QLatin1String("0")) return false;
  }
  return true;
}

}  // namespace

QString SysRoot() {
  const QString root = qEnvironmentVariable("TARVELO_SYS_ROOT");
  return root.isEmpty() ? QStringLiteral("/") : root;
}

TPortUser TPortUser::Current() {
  TPortUser user;
  user.self = true;
  user.uid = getuid();
  user.gids.push_back(getgid());
  const int n = getgroups(0, nullptr);
  if (n > 0) {
    std::vector<gid_t> gids(static_cast<size_t>(n));
    const int got = getgroups(n, gids.data());
    for (int i = 0; i < got; ++i) user.gids.push_back(gids[static_cast<size_t>(i)]);
  }
  if (const passwd* pw = getpwuid(user.uid)) user.name = QString::fromLocal8Bit(pw->pw_name);
  return user;
}

std::vector<TSerialPort> ListSerialPorts(const QString& root, const TPortUser& user) {
  const ProcessTable procs = ScanProcesses(root);
  const GroupTable groups = ReadGroups(root);
  QStringList names;
  const QDir ttys(Under(root, QStringLiteral("/sys/class/tty")));
  for (const QString& name : ttys.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
    if (IsSerialTty(root, name)) names << name;
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    if (KindOrder(a) != KindOrder(b)) return KindOrder(a) < KindOrder(b);
    return NumberOf(a) < NumberOf(b);
  });
  std::vector<TSerialPort> ports;
  for (const QString& name : names) ports.push_back(Describe(root, user, name, procs, groups));
  return ports;
}

QString TtyNameOfDevice(const QString& root, const QString& path) {
  const QString inTree = Under(root, path);
  if (QFileInfo(inTree).isSymLink()) return LinkName(inTree);
  return QFileInfo(path).fileName();
}

TSerialPort DescribeSerialPort(const QString& root, const TPortUser& user, const QString& path) {
  const QString name = TtyNameOfDevice(root, path);
  if (!IsSerialTty(root, name)) return {};
  return Describe(root, user, name, ScanProcesses(root), ReadGroups(root));
}

QString ChipName(const QString& vendorId, const QString& productId, const QString& driver) {
  static const std::map<QString, QString> kChips = {
      {QStringLiteral("0403:6001"), QStringLiteral("FT232R")},
      {QStringLiteral("0403:6010"), QStringLiteral("FT2232")},
      {QStringLiteral("0403:6011"), QStringLiteral("FT4232H")},
      {QStringLiteral("0403:6014"), QStringLiteral("FT232H")},
      {QStringLiteral("0403:6015"), QStringLiteral("FT230X/FT231X")},
      {QStringLiteral("1a86:7523"), QStringLiteral("CH340")},
      {QStringLiteral("1a86:5523"), QStringLiteral("CH341")},
      {QStringLiteral("1a86:55d4"), QStringLiteral("CH9102")},
      {QStringLiteral("067b:2303"), QStringLiteral("PL2303")},
      {QStringLiteral("067b:23a3"), QStringLiteral("PL2303GC")},
      {QStringLiteral("067b:23c3"), QStringLiteral("PL2303GT")},
      {QStringLiteral("10c4:ea60"), QStringLiteral("CP2102")},
      {QStringLiteral("10c4:ea70"), QStringLiteral("CP2105")},
  };
  const auto it = kChips.find(vendorId + QLatin1Char(':') + productId);
  if (it != kChips.end()) return it->second;
  static const std::map<QString, QString> kByDriver = {
      {QStringLiteral("ftdi_sio"), QStringLiteral("FTDI")},
      {QStringLiteral("ch341"), QStringLiteral("CH340/CH341")},
      {QStringLiteral("pl2303"), QStringLiteral("PL2303")},
      {QStringLiteral("cp210x"), QStringLiteral("CP210x")},
      {QStringLiteral("cdc_acm"), QStringLiteral("USB CDC ACM")},
      {QStringLiteral("serial8250"), QStringLiteral("16550 UART")},
  };
  const auto d = kByDriver.find(driver);
  return d != kByDriver.end() ? d->second : QString();
}
