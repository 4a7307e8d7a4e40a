#pragma once
// A serial device file (/dev/ttyUSB0, /dev/ttyS0, a pseudo-terminal) driven the way the
// diagnostic line needs it: raw bytes, reads that return at once, modem lines set only by
// the program, waits on poll() against the monotonic clock.

#include <termios.h>

#include <QString>
#include <memory>

#include "link/SerialDevice.h"

class PosixSerialDevice : public SerialDevice {
 public:
  // Opens the device exclusively and puts it in raw mode at 19200 8N1 with no flow
  // control; null when it cannot be opened or is not a terminal, with the reason (errno) in
  // `error` when given.
  static std::unique_ptr<PosixSerialDevice> Open(const QString& path, int* error = nullptr);
  ~PosixSerialDevice() override;

  bool setLineSettings(int32_t baud, int parity, int stopBits, int dataBits) override;
  bool setDTR(bool on) override;
  bool setRTS(bool on) override;
  int cts() override;
  int64_t ctsChanges() override;
  bool setBreak(bool on) override;
  int readByte() override;
  bool waitReadable(int ms) override;
  bool writeByte(uint8_t byte) override;
  bool purgeInput() override;
  bool close() override;

  int fd() const { return fFd; }

  // The kernel's running count of CTS changes on an open serial descriptor, or -1 when its
  // driver keeps none (pseudo-terminals, some USB adapters). Unlike polling the level, the
  // count misses no change, however quick.
  static int64_t CtsChangeCount(int fd);

  // The terminal settings for a line: raw, receiver on, modem lines not driving the
  // driver, no flow control, the given rate, parity code (0 none, 1 odd, 2 even), stop-bit
  // code (0 one) and data bits. False for a rate the platform does not have.
  static bool MakeLineTermios(termios& tio, int32_t baud, int parity, int stopBits, int dataBits);

 private:
  explicit PosixSerialDevice(int fd) : fFd(fd) {}
  bool SetModemLine(int bit, bool on);

  int fFd = -1;
};
