#pragma once
// One serial line as the line layer sees it: a device file, the built-in simulator or a
// scripted test device. Calls never throw; failures come back as false or -1.

#include <cstdint>

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;

  // Line settings. Parity code: 0 none, 1 odd, 2 even. Stop-bit code: 0 one, 1 one and a
  // half, 2 two. Data bits 5 to 8.
  virtual bool setLineSettings(int32_t baud, int parity, int stopBits, int dataBits) = 0;
  // Asserts (true) or releases (false) a modem control line.
  virtual bool setDTR(bool on) = 0;
  virtual bool setRTS(bool on) = 0;
  // Level of the CTS input: 1 asserted, 0 released, -1 when the device cannot tell.
  virtual int cts() = 0;
  // Running count of CTS changes since the device was opened, or -1 when the device
  // keeps no such count (a reader polling cts() can miss quick changes; the count cannot).
  virtual int64_t ctsChanges() { return -1; }
  // The next received byte 0..255, or -1 at once when nothing has arrived or on error.
  virtual int readByte() = 0;
  // Waits at most `ms` milliseconds for a byte; true as soon as one can be read. A failed
  // device waits out the time and answers false, so that callers do not spin.
  virtual bool waitReadable(int ms) = 0;
  // Holds the transmit line low (a break) or lets it go back to idle (high); false when the
  // driver refused. Some drivers take the request and only simulate a short break.
  virtual bool setBreak(bool on) {
    (void)on;
    return false;
  }
  // Hands one byte to the line; true when it was taken.
  virtual bool writeByte(uint8_t byte) = 0;
  // Discards everything received and not yet read.
  virtual bool purgeInput() = 0;
  // Ends the line; later calls fail. True when the device closed cleanly.
  virtual bool close() = 0;
};
