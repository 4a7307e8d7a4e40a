#pragma once
// The serial line layer: 16 port slots addressed by index (0 = "COM1"), one byte at a
// time, reads that never wait, DTR and RTS driven by the program. Results are values,
// never exceptions: false or -1 for a port that is not open. An index outside 0..15 is
// never open.

#include <QString>
#include <cstdint>
#include <memory>

#include "common/Clock.h"
#include "link/SerialDevice.h"

namespace Comm {

constexpr int kPortCount = 16;
// Action characters of SetDTR and SetRTS.
constexpr char kSet = 'S';
constexpr char kClear = 'C';

// Opens the device behind "COM<index+1>" (see PortDeviceName). False when the slot is
// already open (the open port stays as it is) or the device cannot be opened. Queue
// sizes are the driver's business on this platform and only recorded.
bool OpenPort(int index, int inQueue, int outQueue);
// Parity code 0 none, 1 odd, 2 even; stop-bit code 0 one stop bit.
bool SetPortState(int index, int32_t baud, int parity, int stopBits, int dataBits);
// "S" asserts the line; any other character releases it.
bool SetDTR(int index, char action);
bool SetRTS(int index, char action);
// Holds the transmit line in a break (true) or lets it go (false); false when not open or
// the driver refused.
bool SetBreak(int index, bool on);
// The received byte, or -1 at once when nothing arrived, on error or when not open.
int ReadByte(int index);
// 0 when the byte was handed to the line, -1 otherwise.
int WriteByte(int index, uint8_t byte);
// Discards everything received; false when not open.
bool PurgeInput(int index);
// Cancels pending input/output and closes; false when not open.
bool ClosePort(int index);
// The program's monotonic millisecond clock; every time-out is a difference of two readings.
inline int64_t NowMs() {
  return ::NowMs();
}

// Waits at most `ms` for a byte on the port: true as soon as one can be read. On a port
// that is not open it waits out the time and answers false.
bool WaitReadable(int index, int ms);
// CTS level (1/0), -1 when not open or unknown.
int Cts(int index);
bool IsOpen(int index);
// Puts a device the caller opened itself into a closed slot (tools and tests that bring
// their own line); false, and the device is closed, when the slot is taken or out of range.
bool AttachDevice(int index, std::unique_ptr<SerialDevice> device);

}  // namespace Comm
