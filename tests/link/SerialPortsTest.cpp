// The ports of made-up machines: what the kernel's trees say of each adapter, who holds it,
// whether this user may open it, and the advice that follows; the JSON tarvelo-cli prints.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>

#include "FakeSysTree.h"
#include "link/LatencyTimer.h"
#include "link/SerialPorts.h"

namespace {

// Someone who is neither the nodes' owner nor in their group.
TPortUser Stranger(const QString& name = "anna") {
  TPortUser user;
  user.uid = 4242;
  user.gids = {4242};
  user.name = name;
  return user;
}

// The owner of everything the test makes (the one who may write the latency timer).
TPortUser Owner() {
  TPortUser user;
  user.uid = getuid();
  user.gids = {static_cast<uint32_t>(getegid())};
  return user;
}

const TSerialPort& Port(const std::vector<TSerialPort>& ports, const QString& name) {
  for (const auto& p : ports)
    if (p.name == name) return p;
  static const TSerialPort none;
  ADD_FAILURE() << "no port " << name.toStdString();
  return none;
}

std::vector<TPortAdvice::Kind> Kinds(const TSerialPort& port) {
  std::vector<TPortAdvice::Kind> kinds;
  for (const auto& a : port.advice) kinds.push_back(a.kind);
  return kinds;
}

// The machine of the cases: an FTDI adapter at 16 ms with a by-id name, a CH340
// held by ModemManager, a PL2303 only its group may open, a cdc-acm device, a real UART and
// a ttyS the kernel lists without one.
class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.AddUsb("ttyUSB0", "ftdi_sio", "0403", "6001", 16, 0666);
    tree.Link("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "../../ttyUSB0");
    tree.AddUsb("ttyUSB1", "ch341", "1A86", "7523", std::nullopt, 0666);
    tree.AddUsb("ttyUSB10", "pl2303", "067b", "2303", std::nullopt, 0660);
    tree.AddUsb("ttyACM0", "cdc_acm", "2341", "0043", std::nullopt, 0666);
    tree.AddUart("ttyS0", 4);
    tree.AddUart("ttyS1", 0);
    tree.AddProcess(812, "ModemManager", {"/dev/ttyUSB1", "/dev/null"});
    tree.AddProcess(900, "bash", {"/dev/pts/3"});
    tree.NameNodeGroup("dialout");
    // udev tells ModemManager to keep off every adapter but the first.
    for (int tty : {1, 2, 3})
      tree.Write(QStringLiteral("run/udev/data/c188:%1").arg(tty), "E:ID_MM_DEVICE_IGNORE=1\n");
  }
  std::vector<TSerialPort> List(const TPortUser& user = Stranger()) {
    return ListSerialPorts(tree.root(), user);
  }
  FakeSysTree tree;
};

}  // namespace

TEST_F(MachineTest, ListsTheAdaptersAndRealUartsInOrderWithWhatTheKernelSays) {
  const auto ports = List();
  QStringList names;
  for (const auto& p : ports) names << p.name;
  EXPECT_EQ(names, QStringList({"ttyUSB0", "ttyUSB1", "ttyUSB10", "ttyACM0", "ttyS0"}));

  const TSerialPort& ftdi = Port(ports, "ttyUSB0");
  EXPECT_EQ(ftdi.device, "/dev/ttyUSB0");
  EXPECT_EQ(ftdi.driver, "ftdi_sio");
  EXPECT_EQ(ftdi.vendorId, "0403");
  EXPECT_EQ(ftdi.productId, "6001");
  EXPECT_EQ(ftdi.chip, "FT232R");
  EXPECT_EQ(ftdi.byId,
            QStringList{"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"});
  ASSERT_TRUE(ftdi.latencyTimerMs);
  EXPECT_EQ(*ftdi.latencyTimerMs, 16);
  EXPECT_TRUE(ftdi.access);
  ASSERT_FALSE(ftdi.advice.empty());
  EXPECT_EQ(ftdi.advice[0].kind, TPortAdvice::LatencyTimer);
  EXPECT_TRUE(AdviceText(ftdi.advice[0], ftdi)
                  .startsWith("set the latency timer to 1 ms: echo 1 | sudo tee "
                              "/sys/bus/usb-serial/devices/ttyUSB0/latency_timer"));

  // Upper-case ids in sysfs come out lower case; the chip by its ids.
  const TSerialPort& ch340 = Port(ports, "ttyUSB1");
  EXPECT_EQ(ch340.vendorId, "1a86");
  EXPECT_EQ(ch340.chip, "CH340");
  EXPECT_FALSE(ch340.latencyTimerMs);

  const TSerialPort& acm = Port(ports, "ttyACM0");
  EXPECT_EQ(acm.driver, "cdc_acm");
  EXPECT_EQ(acm.vendorId, "2341");
  EXPECT_EQ(acm.chip, "USB CDC ACM");
  EXPECT_TRUE(acm.advice.empty());

  const TSerialPort& uart = Port(ports, "ttyS0");
  EXPECT_EQ(uart.driver, "serial8250");
  EXPECT_TRUE(uart.vendorId.isEmpty());
}

TEST_F(MachineTest, AProcessHoldingThePortIsNamedAndModemManagerGetsItsOwnAdvice) {
  const auto ports = List();
  const TSerialPort& ch340 = Port(ports, "ttyUSB1");
  EXPECT_EQ(ch340.heldBy, QStringList{"ModemManager"});
  ASSERT_EQ(Kinds(ch340), std::vector{TPortAdvice::HeldByModem});
  EXPECT_TRUE(AdviceText(ch340.advice[0], ch340).startsWith("ModemManager holds this port: "));
  // ModemManager runs: an adapter it does not hold yet may be probed, unless udev tells it
  // to keep off.
  EXPECT_EQ(Kinds(Port(ports, "ttyUSB0")),
            (std::vector{TPortAdvice::LatencyTimer, TPortAdvice::ModemMayTake}));
  tree.Write("run/udev/data/c188:0", "E:ID_MM_DEVICE_IGNORE=1\nG:uaccess\n");
  EXPECT_EQ(Kinds(Port(List(), "ttyUSB0")), std::vector{TPortAdvice::LatencyTimer});
  // Another program holding a port is named too.
  tree.AddProcess(1234, "minicom", {"/dev/ttyACM0"});
  const TSerialPort acm = Port(List(), "ttyACM0");
  EXPECT_EQ(acm.heldBy, QStringList{"minicom"});
  ASSERT_FALSE(acm.advice.empty());
  EXPECT_EQ(AdviceText(acm.advice[0], acm), "minicom holds this port: end it before connecting");
}

TEST_F(MachineTest, APortOnlyItsGroupMayOpenNamesTheGroupAndHowToJoinIt) {
  const TSerialPort pl = Port(List(), "ttyUSB10");
  EXPECT_EQ(pl.chip, "PL2303");
  EXPECT_FALSE(pl.access);
  EXPECT_EQ(pl.group, "dialout");
  ASSERT_EQ(Kinds(pl), std::vector{TPortAdvice::JoinGroup});
  EXPECT_TRUE(AdviceText(pl.advice[0], pl)
                  .startsWith("add yourself to the dialout group: sudo usermod -aG dialout"));
  // In the group's member list but not in this session's groups: a new login is missing.
  tree.NameNodeGroup("dialout", "anna");
  EXPECT_EQ(Kinds(Port(List(), "ttyUSB10")), std::vector{TPortAdvice::LogInAgain});
  // With the group in the session, the port opens.
  TPortUser member = Stranger();
  member.gids.push_back(static_cast<uint32_t>(getegid()));
  const TSerialPort opened = Port(List(member), "ttyUSB10");
  EXPECT_TRUE(opened.access);
  EXPECT_TRUE(opened.advice.empty());
}

TEST_F(MachineTest, AnAbsentNodeAndAByIdNameAreDescribedAsTheDeviceTheyLeadTo) {
  QFile::remove(tree.Path("dev/ttyACM0"));
  const TSerialPort acm = Port(List(), "ttyACM0");
  EXPECT_FALSE(acm.present);
  EXPECT_EQ(Kinds(acm), std::vector{TPortAdvice::Absent});

  const QString byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  EXPECT_EQ(TtyNameOfDevice(tree.root(), byId), "ttyUSB0");
  EXPECT_EQ(DescribeSerialPort(tree.root(), Stranger(), byId).device, "/dev/ttyUSB0");
  EXPECT_TRUE(DescribeSerialPort(tree.root(), Stranger(), "/dev/pts/3").name.isEmpty());
}

TEST_F(MachineTest, TheJsonCarriesEveryFieldWithNullWhereThereIsNone) {
  const QJsonArray list = QJsonDocument::fromJson(PortsJson(List())).array();
  ASSERT_EQ(list.size(), 5);
  const QJsonObject ftdi = list[0].toObject();
  EXPECT_EQ(ftdi["device"].toString(), "/dev/ttyUSB0");
  EXPECT_EQ(ftdi["byId"].toArray().size(), 1);
  EXPECT_EQ(ftdi["driver"].toString(), "ftdi_sio");
  EXPECT_EQ(ftdi["vendorId"].toString(), "0403");
  EXPECT_EQ(ftdi["productId"].toString(), "6001");
  EXPECT_EQ(ftdi["chip"].toString(), "FT232R");
  EXPECT_EQ(ftdi["latencyTimerMs"].toInt(), 16);
  EXPECT_TRUE(ftdi["access"].isBool());
  EXPECT_EQ(ftdi["group"].toString(), "dialout");
  EXPECT_TRUE(ftdi["heldBy"].isArray());
  EXPECT_TRUE(ftdi["advice"].toArray()[0].toString().startsWith("set the latency timer to 1 ms: "));
  const QJsonObject ch340 = list[1].toObject();
  EXPECT_EQ(ch340["heldBy"].toArray()[0].toString(), "ModemManager");
  EXPECT_TRUE(ch340["latencyTimerMs"].isNull());
  EXPECT_TRUE(ch340["advice"].toArray()[0].toString().startsWith("ModemManager holds this port: "));
  EXPECT_FALSE(list[2].toObject()["access"].toBool());
  EXPECT_TRUE(list[2].toObject()["advice"].toArray()[0].toString().startsWith(
      "add yourself to the dialout group: "));
  const QJsonObject uart = list[4].toObject();
  EXPECT_TRUE(uart["vendorId"].isNull());
  EXPECT_TRUE(uart["productId"].isNull());
}

TEST_F(MachineTest, AFailedOpenIsExplainedInWords) {
  const auto text = [&](const QString& device, int error) {
    return OpenFailureText(ExplainOpenFailure(tree.root(), Stranger(), device, error));
  };
  EXPECT_EQ(text("/dev/ttyUSB1", EBUSY), "/dev/ttyUSB1 is busy: ModemManager holds it");
  EXPECT_TRUE(text("/dev/ttyUSB0", EBUSY).contains("another program holds it"));
  EXPECT_TRUE(text("/dev/ttyUSB10", EACCES).contains("add yourself to the dialout group"));
  EXPECT_TRUE(text("/dev/ttyUSB7", ENOENT).startsWith("/dev/ttyUSB7 is not there"));
  EXPECT_EQ(text("/dev/null", ENOTTY), "/dev/null is not a serial port");
  EXPECT_TRUE(text("/dev/ttyUSB0", EIO).contains("Input/output error"));
}

TEST_F(MachineTest, TheLatencyTimerIsLoweredWhereItMayBeWrittenElseTheCommandIsNamed) {
  const TLatencyFix refused = LowerLatencyTimer(tree.root(), Stranger(), "/dev/ttyUSB0");
  EXPECT_EQ(refused.result, TLatencyFix::CannotSet);
  EXPECT_EQ(refused.wasMs, 16);
  EXPECT_EQ(refused.command, "echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer");

  const TLatencyFix set = LowerLatencyTimer(tree.root(), Owner(), "/dev/ttyUSB0");
  EXPECT_EQ(set.result, TLatencyFix::SetNow);
  EXPECT_EQ(*Port(List(), "ttyUSB0").latencyTimerMs, 1);
  EXPECT_EQ(LowerLatencyTimer(tree.root(), Owner(), "/dev/ttyUSB0").result,
            TLatencyFix::AlreadyLow);
  EXPECT_EQ(LowerLatencyTimer(tree.root(), Owner(), "/dev/ttyUSB1").result, TLatencyFix::NotFtdi);
}

#ifdef TARVELO_CLI
#include "support/CliRun.h"

TEST_F(MachineTest, TheCommandLineToolListsThePortsOfTheRootItIsGiven) {
  qputenv("TARVELO_SYS_ROOT", tree.root().toLocal8Bit());
  const TCliRun json = RunCli(TARVELO_CLI, {"ports", "--json"});
  const TCliRun text = RunCli(TARVELO_CLI, {"ports"});
  qunsetenv("TARVELO_SYS_ROOT");
  ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
  const QJsonArray list = QJsonDocument::fromJson(json.out.toUtf8()).array();
  ASSERT_EQ(list.size(), 5);
  EXPECT_EQ(list[1].toObject()["heldBy"].toArray()[0].toString(), "ModemManager");
  ASSERT_EQ(text.exitCode, 0);
  EXPECT_TRUE(
      text.out.startsWith("/dev/ttyUSB0  ftdi_sio  0403:6001  FT232R\n"
                          "  by-id: /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-"
                          "if00-port0\n  latency timer: 16 ms\n"))
      << text.out.toStdString();
}
#endif
