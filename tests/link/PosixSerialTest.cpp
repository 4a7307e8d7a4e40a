#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "LinkTestSupport.h"
#include "common/Clock.h"
#include "link/Comm.h"
#include "link/PosixSerialDevice.h"

namespace {

// A pseudo-terminal pair: the test plays the far end on the master side.
class PtyPair {
 public:
  PtyPair() {
    fMaster = posix_openpt(O_RDWR | O_NOCTTY);
    if (fMaster >= 0 && grantpt(fMaster) == 0 && unlockpt(fMaster) == 0)
      fSlave = QString::fromLocal8Bit(ptsname(fMaster));
  }
  ~PtyPair() {
    if (fMaster >= 0) close(fMaster);
  }
  bool ok() const { return !fSlave.isEmpty(); }
  const QString& slave() const { return fSlave; }
  void Write(uint8_t b) const { ASSERT_EQ(write(fMaster, &b, 1), 1); }
  int Read(int timeoutMs) const {
    const int64_t end = NowMs() + timeoutMs;
    uint8_t b = 0;
    fcntl(fMaster, F_SETFL, O_NONBLOCK);
    while (NowMs() < end) {
      if (read(fMaster, &b, 1) == 1) return b;
      SleepMs(1);
    }
    return -1;
  }

 private:
  int fMaster = -1;
  QString fSlave;
};

TEST(PosixSerial, MovesBytesBothWaysThroughAPseudoTerminal) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  auto device = PosixSerialDevice::Open(pty.slave());
  ASSERT_TRUE(device);
  EXPECT_TRUE(device->setLineSettings(19200, 0, 0, 8));

  EXPECT_EQ(device->readByte(), -1);
  pty.Write(0x55);
  pty.Write(0x00);
  EXPECT_TRUE(device->waitReadable(500));
  EXPECT_EQ(device->readByte(), 0x55);
  EXPECT_EQ(device->readByte(), 0x00);
  EXPECT_EQ(device->readByte(), -1);

  EXPECT_TRUE(device->writeByte(0x7E));
  EXPECT_TRUE(device->writeByte(0xFF));
  EXPECT_EQ(pty.Read(500), 0x7E);
  EXPECT_EQ(pty.Read(500), 0xFF);

  // Raw mode: a carriage return and a control character pass unchanged.
  pty.Write(0x0D);
  pty.Write(0x03);
  ASSERT_TRUE(device->waitReadable(500));
  EXPECT_EQ(device->readByte(), 0x0D);
  EXPECT_TRUE(device->waitReadable(500));
  EXPECT_EQ(device->readByte(), 0x03);

  EXPECT_TRUE(device->close());
  EXPECT_FALSE(device->close());
  EXPECT_EQ(device->readByte(), -1);
  EXPECT_FALSE(device->writeByte(1));
}

TEST(PosixSerial, ModemLineCallsFailCleanlyOnAPseudoTerminal) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  auto device = PosixSerialDevice::Open(pty.slave());
  ASSERT_TRUE(device);
  EXPECT_FALSE(device->setDTR(true));
  EXPECT_FALSE(device->setRTS(false));
  EXPECT_EQ(device->cts(), -1);
  EXPECT_EQ(device->ctsChanges(), -1);
  // The line still works after the refused calls.
  pty.Write(0x42);
  ASSERT_TRUE(device->waitReadable(500));
  EXPECT_EQ(device->readByte(), 0x42);
}

TEST(PosixSerial, LineSettingsAreRawWithTheRequestedParity) {
  termios tio{};
  tio.c_iflag = ICRNL | IXON | IXOFF | INPCK;
  tio.c_lflag = ICANON | ECHO | ISIG;
  tio.c_cflag = HUPCL | CRTSCTS | CSTOPB;
  ASSERT_TRUE(PosixSerialDevice::MakeLineTermios(tio, 19200, 1, 0, 8));
  EXPECT_TRUE(tio.c_cflag & PARENB);
  EXPECT_TRUE(tio.c_cflag & PARODD);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_FALSE(tio.c_cflag & CSTOPB);
  EXPECT_TRUE(tio.c_cflag & CLOCAL);
  EXPECT_TRUE(tio.c_cflag & CREAD);
  EXPECT_FALSE(tio.c_cflag & HUPCL);
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);
  EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | INPCK | ICRNL));
  EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_EQ(tio.c_cc[VMIN], 0);
  EXPECT_EQ(tio.c_cc[VTIME], 0);
  EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B19200));
  EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B19200));

  ASSERT_TRUE(PosixSerialDevice::MakeLineTermios(tio, 19200, 2, 0, 8));
  EXPECT_TRUE(tio.c_cflag & PARENB);
  EXPECT_FALSE(tio.c_cflag & PARODD);
  ASSERT_TRUE(PosixSerialDevice::MakeLineTermios(tio, 9600, 0, 2, 7));
  EXPECT_FALSE(tio.c_cflag & PARENB);
  EXPECT_TRUE(tio.c_cflag & CSTOPB);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
  EXPECT_FALSE(PosixSerialDevice::MakeLineTermios(tio, 12345, 0, 0, 8));
}

TEST(PosixSerial, APseudoTerminalTakesTheLineSettingsInRawMode) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  auto device = PosixSerialDevice::Open(pty.slave());
  ASSERT_TRUE(device);
  // The pseudo-terminal driver has no parity (it refuses one), so only raw mode is checked.
  ASSERT_TRUE(device->setLineSettings(19200, 0, 0, 8));
  termios tio{};
  ASSERT_EQ(tcgetattr(device->fd(), &tio), 0);
  EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_FALSE(tio.c_cflag & HUPCL);
  EXPECT_EQ(tio.c_cc[VMIN], 0);
  EXPECT_EQ(tio.c_cc[VTIME], 0);
  EXPECT_FALSE(device->setLineSettings(12345, 0, 0, 8));
}

TEST(PosixSerial, WaitEndsAsSoonAsAByteArrivesAndOtherwiseRunsItsTime) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  auto device = PosixSerialDevice::Open(pty.slave());
  ASSERT_TRUE(device);

  int64_t t0 = NowMs();
  EXPECT_FALSE(device->waitReadable(30));
  EXPECT_GE(NowMs() - t0, 29);

  std::thread writer([&] {
    SleepMs(40);
    pty.Write(0x10);
  });
  t0 = NowMs();
  EXPECT_TRUE(device->waitReadable(2000));
  const int64_t waited = NowMs() - t0;
  writer.join();
  EXPECT_GE(waited, 30);
  EXPECT_LT(waited, 1000);
  EXPECT_EQ(device->readByte(), 0x10);
}

TEST(PosixSerial, PurgeDiscardsPendingInput) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  auto device = PosixSerialDevice::Open(pty.slave());
  ASSERT_TRUE(device);
  pty.Write(1);
  pty.Write(2);
  ASSERT_TRUE(device->waitReadable(500));
  SleepMs(20);
  EXPECT_TRUE(device->purgeInput());
  EXPECT_EQ(device->readByte(), -1);
}

TEST(PosixSerial, FilesThatAreNotTerminalsAreRefused) {
  EXPECT_FALSE(PosixSerialDevice::Open("/dev/null"));
  EXPECT_FALSE(PosixSerialDevice::Open("/nonexistent/ttyUSB0"));
}

TEST(PosixSerial, CommOpensADeviceFileNamedInTheDevicesSection) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ConfigFolder config;
  config.WriteIni("[DEVICES]\r\nCOM2=" + pty.slave().toLocal8Bit() + "\r\n");
  ASSERT_TRUE(Comm::OpenPort(1, 100, 100));
  EXPECT_TRUE(Comm::SetPortState(1, 19200, 0, 0, 8));
  EXPECT_FALSE(Comm::SetDTR(1, 'S'));  // a pseudo-terminal has no modem lines
  EXPECT_EQ(Comm::WriteByte(1, 0x33), 0);
  EXPECT_EQ(pty.Read(500), 0x33);
  pty.Write(0x44);
  EXPECT_TRUE(Comm::WaitReadable(1, 500));
  EXPECT_EQ(Comm::ReadByte(1), 0x44);
  EXPECT_TRUE(Comm::ClosePort(1));
}

}  // namespace
