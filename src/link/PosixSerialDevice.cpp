#include "link/PosixSerialDevice.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

speed_t SpeedFor(int32_t baud) {
  switch (baud) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    default:
      return B0;
  }
}

tcflag_t SizeFor(int dataBits) {
  switch (dataBits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

// Raw mode: no line editing, no translation, no echo by the driver, no signals, no
// software or hardware flow control; the receiver is on and the modem lines are ignored
// for carrier, and closing does not drop DTR and RTS behind the program's back.
void MakeRaw(termios& tio) {
  tio.c_iflag &=
      ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | HUPCL | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
}

// Asks the driver to hand received bytes over at once instead of batching them; drivers
// that do not know the request are left as they are.
void TryLowLatency(int fd) {
  serial_struct serial{};
  if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
  serial.flags |= ASYNC_LOW_LATENCY;
  ioctl(fd, TIOCSSERIAL, &serial);
}

// poll() on one descriptor until `deadline`, retried after signals.
short PollUntil(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{fd, events, 0};
    const int n = poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
    if (n > 0) return p.revents;
    if (n == 0) {
      // poll() rounds down to whole milliseconds; finish the last fraction.
      if (Clock::now() >= deadline) return 0;
      continue;
    }
    if (errno != EINTR) return POLLERR;
  }
}

}  // namespace

std::unique_ptr<PosixSerialDevice> PosixSerialDevice::Open(const QString& path, int* error) {
  const QByteArray name = path.toLocal8Bit();
  int fd;
  do {
    fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  const auto fail = [&]() -> std::unique_ptr<PosixSerialDevice> {
    if (error) *error = errno;
    if (fd >= 0) ::close(fd);
    return nullptr;
  };
  if (fd < 0) return fail();
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return fail();
  // Take the port for this program alone; a second opener gets EBUSY.
  if (ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY && errno != EINVAL) return fail();
  MakeRaw(tio);
  cfsetispeed(&tio, B19200);
  cfsetospeed(&tio, B19200);
  if (tcsetattr(fd, TCSANOW, &tio) != 0) return fail();
  TryLowLatency(fd);
  return std::unique_ptr<PosixSerialDevice>(new PosixSerialDevice(fd));
}

PosixSerialDevice::~PosixSerialDevice() {
  close();
}

bool PosixSerialDevice::MakeLineTermios(termios& tio, int32_t baud, int parity, int stopBits,
                                        int dataBits) {
  const speed_t speed = SpeedFor(baud);
  if (speed == B0) return false;
  MakeRaw(tio);
  tio.c_cflag &= ~CSIZE;
  tio.c_cflag |= SizeFor(dataBits);
  if (parity == 1) tio.c_cflag |= PARENB | PARODD;
  if (parity == 2) tio.c_cflag |= PARENB;
  // One and a half stop bits exist only with 5 data bits; the driver gives two.
  if (stopBits != 0) tio.c_cflag |= CSTOPB;
  cfsetispeed(&tio, speed);
  cfsetospeed(&tio, speed);
  return true;
}

bool PosixSerialDevice::setLineSettings(int32_t baud, int parity, int stopBits, int dataBits) {
  if (fFd < 0) return false;
  termios tio{};
  if (tcgetattr(fFd, &tio) != 0) return false;
  if (!MakeLineTermios(tio, baud, parity, stopBits, dataBits)) return false;
  return tcsetattr(fFd, TCSANOW, &tio) == 0;
}

bool PosixSerialDevice::SetModemLine(int bit, bool on) {
  if (fFd < 0) return false;
  return ioctl(fFd, on ? TIOCMBIS : TIOCMBIC, &bit) == 0;
}

bool PosixSerialDevice::setDTR(bool on) {
  return SetModemLine(TIOCM_DTR, on);
}
bool PosixSerialDevice::setRTS(bool on) {
  return SetModemLine(TIOCM_RTS, on);
}

int PosixSerialDevice::cts() {
  int bits = 0;
  if (fFd < 0 || ioctl(fFd, TIOCMGET, &bits) != 0) return -1;
  return (bits & TIOCM_CTS) ? 1 : 0;
}

int64_t PosixSerialDevice::CtsChangeCount(int fd) {
  serial_icounter_struct counts{};
  if (fd < 0 || ioctl(fd, TIOCGICOUNT, &counts) != 0) return -1;
  return counts.cts;
}

int64_t PosixSerialDevice::ctsChanges() {
  return CtsChangeCount(fFd);
}

bool PosixSerialDevice::setBreak(bool on) {
  if (fFd < 0) return false;
  return ioctl(fFd, on ? TIOCSBRK : TIOCCBRK) == 0;
}

int PosixSerialDevice::readByte() {
  if (fFd < 0) return -1;
  uint8_t byte = 0;
  for (;;) {
    const ssize_t n = ::read(fFd, &byte, 1);
    if (n == 1) return byte;
    if (n < 0 && errno == EINTR) continue;
    return -1;
  }
}

bool PosixSerialDevice::waitReadable(int ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 0);
  if (fFd < 0) {
    std::this_thread::sleep_until(deadline);
    return false;
  }
  const short revents = PollUntil(fFd, POLLIN, deadline);
  if (revents & POLLIN) return true;
  // A hung-up or failed line reports at once, again and again; wait out the time so that
  // a caller polling in a loop does not spin.
  if (revents != 0) std::this_thread::sleep_until(deadline);
  return false;
}

bool PosixSerialDevice::writeByte(uint8_t byte) {
  if (fFd < 0) return false;
  // A full output queue is waited out for a while; a line that takes nothing for a second
  // is broken.
  const auto deadline = Clock::now() + std::chrono::seconds(1);
  for (;;) {
    const ssize_t n = ::write(fFd, &byte, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    if (!(PollUntil(fFd, POLLOUT, deadline) & POLLOUT)) return false;
  }
}

bool PosixSerialDevice::purgeInput() {
  if (fFd < 0) return false;
  if (tcflush(fFd, TCIFLUSH) == 0) return true;
  while (readByte() >= 0) {
  }
  return true;
}

bool PosixSerialDevice::close() {
  if (fFd < 0) return false;
  tcflush(fFd, TCIOFLUSH);
  ioctl(fFd, TIOCNXCL);
  const int result = ::close(fFd);
  fFd = -1;
  return result == 0;
}
