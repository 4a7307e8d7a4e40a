#pragma once
// The engine control unit's K-line protocol over the Comm layer: line opening with its
// resting levels, the 5-baud wake-up, sync and keywords, byte handshakes by echo and
// complement, blocks of length, counter, title, data and end byte 0x03, and the one
// handshake the adapter upload uses. Every operation reports success or failure; nothing
// retries, throws or shows a message.
//
// The K-line is one wire: every byte the program sends comes back as an echo, and the
// receiver of a block byte answers with its complement (0xFF minus the byte).

#include <atomic>
#include <cstdint>

#include "link/AdapterBytes.h"
#include "link/KLineBytes.h"

namespace ScanUtils {

// Room for data bytes in the scan thread's receive buffer.
constexpr int kMaxBlockData = 81;
// The protocol's bytes under the names the line layer has always used.
using AdapterBytes::kUploadAnswer;
using AdapterBytes::kUploadCommand;
using KLine::Complement;
using KLine::kBlockEnd;
using KLine::kSyncByte;
constexpr int kEchoTimeoutMs = 100;
constexpr int kByteTimeoutMs = 500;
// The longest a wait for a byte sleeps before it looks at Cancelled again.
constexpr int kWaitSliceMs = 4;

// Module state, shared by the scan thread and the interface thread.
extern std::atomic<int> CurrentPort;
extern std::atomic<bool> Cancelled;  // set by CloseLine; every wait ends on it
extern std::atomic<bool> WakeOnDTR;
extern std::atomic<bool> WakeOnBreak;      // the wake-up holds breaks on the transmit line
extern std::atomic<uint8_t> BlockCounter;  // kept from one connection to the next
extern std::atomic<uint8_t> ParamA;
extern std::atomic<uint8_t> ParamB;
extern std::atomic<uint8_t> ParamC;

// Opens the diagnostic line: RTS cleared, DTR set. `parity` and `wakeLine` are the
// "PAR" and "L-LINE" values of "CTESTER.INI".
void OpenLine(int port, int32_t parity, int32_t wakeLine);
// Opens the line for the adapter upload: RTS set, DTR cleared.
void OpenLineForAdapter(int port, int32_t parity, int32_t wakeLine);
// Back to the resting levels: RTS cleared, DTR set.
void SetLineIdle(int port);
// Ends every wait (Cancelled) and closes the port.
void CloseLine();
// Lets the calling thread's pending window events run when it is the application's own
// thread, then answers Cancelled.
bool PollCancel();
// Wake-up level 1 sets, 0 clears the wake-up line (DTR or RTS); on the transmit line, 0
// holds a break and 1 lets the line go back to idle.
void SetWakeLevel(int level);

// How the line's driver answers a break held for a moment, as found before a wake-up on the
// transmit line: it holds one, refuses the request, or only simulates a short break (the
// request to end it waits for a slow character to go out: ch341 on chips without a break).
enum class TBreakCheck { Holds, Refused, Simulated };
TBreakCheck CheckBreak();

// Waits up to `timeoutMs` for one byte; at least one read is made whatever the time-out.
bool ReceiveByte(uint8_t& b, int timeoutMs);
// Sends a byte and awaits its echo within 100 ms.
bool SendEcho(uint8_t b);
// Sends a block byte: its echo and then the receiver's complement, 500 ms each.
bool SendEchoComplement(uint8_t b);
// Receives a block byte and answers with its complement (whose echo is awaited).
bool ReceiveAck(uint8_t& b, int timeoutMs);
// Sends a byte after emptying the input; no echo is awaited.
void SendRaw(uint8_t b);

// Wakes a unit address at 5 baud on the wake-up line: 1000 ms idle, start bit, the 7 low
// address bits least significant first, odd parity, stop bit, 200 ms each; the line is
// left set. Timed to absolute deadlines so the 3000 ms do not drift; ends early when
// the line is cancelled. A wake-up by breaks empties the input at the end of the stop bit:
// the receiver on the same wire took each break for a zero byte. Begins the session's trace.
void WakeUp5Baud(uint8_t address);
// Durations of the wake-up, for tests that cannot spend 3 s per connection.
void SetWakeTiming(int idleMs, int bitMs);
// Reads the sync byte 0x55 and the two keyword bytes (first × 256 + second).
bool ReadSyncKeywords(uint16_t& keywords);
// Answers the keywords with the complement of the second keyword byte.
bool AckKeyword(uint16_t keywords);
void SetBlockParams(uint8_t a, uint8_t b, uint8_t c);
// Sends one block with the next counter. Titles 1 and 2 carry ParamA..C and title 8
// ParamA instead of data; n is the number of bytes after the title. Fails without sending
// when the data it would need lie beyond `dataSize` bytes.
bool SendBlock(uint8_t title, const uint8_t* data, int n, int dataSize = kMaxBlockData);
// Receives one block and adopts its counter. count is the number of data bytes. A block
// with more data bytes than `capacity` is refused at its length byte (not acknowledged),
// so nothing is written beyond the buffer.
bool ReceiveBlock(uint8_t& title, uint8_t* data, int32_t& count, int capacity = kMaxBlockData);
// After SendRaw(kUploadCommand): waits for the adapter's answer, then sends the two upload
// start bytes 1 ms apart.
bool AdapterHandshake(int timeoutMs);

}  // namespace ScanUtils
