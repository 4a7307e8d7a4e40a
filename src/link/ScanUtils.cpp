#include "link/ScanUtils.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <thread>

#include "link/Comm.h"
#include "link/LinkTrace.h"
#include "link/PortSettings.h"

namespace ScanUtils {

std::atomic<int> CurrentPort{0};
std::atomic<bool> Cancelled{false};
std::atomic<bool> WakeOnDTR{true};
std::atomic<bool> WakeOnBreak{false};
std::atomic<uint8_t> BlockCounter{0};
std::atomic<uint8_t> ParamA{0};
std::atomic<uint8_t> ParamB{0};
std::atomic<uint8_t> ParamC{0};

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLineBaud = 19200;
constexpr int kLineDataBits = 8;
constexpr int kOneStopBit = 0;
constexpr int kQueueSize = 100;

// A driver that takes this long to end a short break only simulated it.
constexpr int kSimulatedBreakMs = 100;
constexpr int kBreakProbeMs = 5;

std::atomic<int> LineParity{0};
std::atomic<int> WakeIdleMs{1000};
std::atomic<int> WakeBitDurationMs{200};

// Sleeps until an absolute time on the monotonic clock, looking at Cancelled every few
// milliseconds; false when the line was cancelled meanwhile.
bool SleepUntil(Clock::time_point deadline) {
  for (;;) {
    if (Cancelled.load()) return false;
    const auto now = Clock::now();
    if (now >= deadline) return true;
    std::this_thread::sleep_until(std::min(deadline, now + std::chrono::milliseconds(10)));
  }
}

// Writes one byte, recorded in the session's trace.
int Write(int port, uint8_t b) {
  if (const auto trace = ActiveLinkTrace()) trace->Sent(b);
  return Comm::WriteByte(port, b);
}

QString TraceHeading(int port) {
  static const char* const kParity[] = {"none", "even", "odd"};
  const int32_t parity = LineParity.load();
  const char* wake = WakeOnBreak.load() ? "a break on the transmit line"
                     : WakeOnDTR.load() ? "DTR"
                                        : "RTS";
  return QStringLiteral("port %1 = %2; %3 baud 8 data bits, parity %4, 1 stop bit; wake-up on %5")
      .arg(PortName(port), PortDeviceName(PortName(port)))
      .arg(kLineBaud)
      .arg(QLatin1String(parity >= 0 && parity <= 2 ? kParity[parity] : kParity[0]),
           QLatin1String(wake));
}

void OpenAndSetState(int port, int32_t parity) {
  LineParity = LineParityCode(parity) == 2 ? 1 : LineParityCode(parity) == 1 ? 2 : 0;
  Comm::OpenPort(port, kQueueSize, kQueueSize);
  Comm::SetPortState(port, kLineBaud, LineParityCode(parity), kOneStopBit, kLineDataBits);
}

}  // namespace

void OpenLine(int port, int32_t parity, int32_t wakeLine) {
  WakeOnDTR = WakeLineIsDTR(wakeLine);
  WakeOnBreak = WakeLineFor(wakeLine) == TWakeLine::Break;
  CurrentPort = port;
  OpenAndSetState(port, parity);
  Comm::SetRTS(port, Comm::kClear);
  Comm::SetDTR(port, Comm::kSet);
  Cancelled = false;
}

void OpenLineForAdapter(int port, int32_t parity, int32_t wakeLine) {
  (void)wakeLine;
  CurrentPort = port;
  OpenAndSetState(port, parity);
  Comm::SetRTS(port, Comm::kSet);
  Comm::SetDTR(port, Comm::kClear);
  Cancelled = false;
}

void SetLineIdle(int port) {
  Comm::SetRTS(port, Comm::kClear);
  Comm::SetDTR(port, Comm::kSet);
}

void CloseLine() {
  // Cancel first, so that a wait on another thread ends at its next look instead of
  // finding the port gone and waiting out its time.
  Cancelled = true;
  Comm::ClosePort(CurrentPort);
  EndLinkTrace();
}

bool PollCancel() {
  // Only the interface thread has window events; the scan thread has none to run.
  const QCoreApplication* app = QCoreApplication::instance();
  if (app && QThread::currentThread() == app->thread()) QCoreApplication::processEvents();
  return Cancelled.load();
}

void SetWakeLevel(int level) {
  const auto trace = ActiveLinkTrace();
  if (WakeOnBreak.load()) {
    if (trace) trace->Level('B', level == 1);
    Comm::SetBreak(CurrentPort, level != 1);
    return;
  }
  const char action = level == 1 ? Comm::kSet : Comm::kClear;
  if (trace) trace->Level(WakeOnDTR.load() ? 'D' : 'R', level == 1);
  if (WakeOnDTR.load())
    Comm::SetDTR(CurrentPort, action);
  else
    Comm::SetRTS(CurrentPort, action);
}

TBreakCheck CheckBreak() {
  const int port = CurrentPort;
  if (!Comm::SetBreak(port, true)) {
    Comm::SetBreak(port, false);
    return TBreakCheck::Refused;
  }
  SleepMs(kBreakProbeMs);
  const int64_t t0 = Comm::NowMs();
  const bool ended = Comm::SetBreak(port, false);
  const int64_t took = Comm::NowMs() - t0;
  // The receiver on the K-line took the break for a zero byte.
  SleepMs(kBreakProbeMs);
  Comm::PurgeInput(port);
  if (!ended) return TBreakCheck::Refused;
  return took >= kSimulatedBreakMs ? TBreakCheck::Simulated : TBreakCheck::Holds;
}

bool ReceiveByte(uint8_t& b, int timeoutMs) {
  const int port = CurrentPort;
  const int64_t t0 = Comm::NowMs();
  for (;;) {
    // A byte is taken at once, even when the wait has just been cancelled or run out.
    const int r = Comm::ReadByte(port);
    if (r >= 0) {
      b = static_cast<uint8_t>(r);
      if (const auto trace = ActiveLinkTrace()) trace->Received(b);
      return true;
    }
    if (PollCancel()) return false;
    const int64_t elapsed = Comm::NowMs() - t0;
    if (elapsed > timeoutMs) return false;
    // Sleep on the device until a byte comes, in short slices so that Cancelled and the
    // time-out are seen promptly.
    const int64_t left = timeoutMs - elapsed + 1;
    Comm::WaitReadable(port, static_cast<int>(std::min<int64_t>(kWaitSliceMs, left)));
  }
}

bool SendEcho(uint8_t b) {
  const int port = CurrentPort;
  Comm::PurgeInput(port);
  if (Write(port, b) != 0) return false;
  uint8_t echo = 0;
  return ReceiveByte(echo, kEchoTimeoutMs) && echo == b;
}

bool SendEchoComplement(uint8_t b) {
  const int port = CurrentPort;
  Comm::PurgeInput(port);
  if (Write(port, b) != 0) return false;
  uint8_t echo = 0;
  if (!ReceiveByte(echo, kByteTimeoutMs) || echo != b) return false;
  uint8_t answer = 0;
  return ReceiveByte(answer, kByteTimeoutMs) && answer == Complement(b);
}

bool ReceiveAck(uint8_t& b, int timeoutMs) {
  return ReceiveByte(b, timeoutMs) && SendEcho(Complement(b));
}

void SendRaw(uint8_t b) {
  const int port = CurrentPort;
  Comm::PurgeInput(port);
  Write(port, b);
}

void SetWakeTiming(int idleMs, int bitMs) {
  WakeIdleMs = std::max(0, idleMs);
  WakeBitDurationMs = std::max(1, bitMs);
}

void WakeUp5Baud(uint8_t address) {
  BeginLinkTrace(TraceHeading(CurrentPort));
  const auto idle = std::chrono::milliseconds(WakeIdleMs.load());
  const auto bit = std::chrono::milliseconds(WakeBitDurationMs.load());
  // Each level change is timed from the start, not from the previous change, so that
  // scheduling delays do not add up over the eleven steps.
  auto t = Clock::now();
  const auto level = [&](int value, std::chrono::milliseconds length) {
    SetWakeLevel(value);
    t += length;
    return SleepUntil(t);
  };
  if (!level(1, idle) || !level(0, bit)) return;  // idle, start bit
  const uint8_t data = address & 0x7F;
  int ones = 0;
  for (int i = 0; i < 7; ++i) {
    const int value = (data >> i) & 1;
    ones += value;
    if (!level(value, bit)) return;
  }
  // Odd parity: the parity bit makes the number of ones odd.
  if (!level(ones % 2 == 0 ? 1 : 0, bit)) return;
  // Stop bit; the line stays set. The unit answers no sooner than the stop bit's end, so
  // emptying the input then loses no sync byte, only the zeros the breaks left.
  if (level(1, bit) && WakeOnBreak.load()) Comm::PurgeInput(CurrentPort);
  if (const auto trace = ActiveLinkTrace()) trace->EndLevels();
}

bool ReadSyncKeywords(uint16_t& keywords) {
  // The input is not emptied first: a sync byte that came during the stop bit counts.
  uint8_t sync = 0;
  if (!ReceiveByte(sync, kByteTimeoutMs) || sync != kSyncByte) return false;
  uint8_t k1 = 0;
  uint8_t k2 = 0;
  if (!ReceiveByte(k1, kByteTimeoutMs) || !ReceiveByte(k2, kByteTimeoutMs)) return false;
  keywords = static_cast<uint16_t>(k1 * 256 + k2);
  return true;
}

bool AckKeyword(uint16_t keywords) {
  return SendEcho(Complement(keywords & 0xFF));
}

void SetBlockParams(uint8_t a, uint8_t b, uint8_t c) {
  ParamA = a;
  ParamB = b;
  ParamC = c;
}

bool SendBlock(uint8_t title, const uint8_t* data, int n, int dataSize) {
  const uint8_t a = ParamA;
  const uint8_t params[3] = {a, ParamB, ParamC};
  // The data bytes this block takes from the caller's buffer.
  int fromData = 0;
  if (title == 2)
    fromData = a;
  else if (title != 1 && title != 8)
    fromData = n;
  if (n < 0 || fromData > dataSize || (fromData > 0 && !data)) return false;

  const uint8_t counter = static_cast<uint8_t>(BlockCounter.load() + 1);
  BlockCounter = counter;
  if (!SendEchoComplement(static_cast<uint8_t>(n + 3))) return false;
  if (!SendEchoComplement(counter)) return false;
  if (!SendEchoComplement(title)) return false;
  if (title == 1 || title == 2) {
    for (const uint8_t p : params)
      if (!SendEchoComplement(p)) return false;
  } else if (title == 8) {
    if (!SendEchoComplement(a)) return false;
  }
  for (int i = 0; i < fromData; ++i)
    if (!SendEchoComplement(data[i])) return false;
  // The end byte is not complemented by the unit; only its echo is awaited.
  return SendEcho(kBlockEnd);
}

bool ReceiveBlock(uint8_t& title, uint8_t* data, int32_t& count, int capacity) {
  uint8_t length = 0;
  if (!ReceiveByte(length, kByteTimeoutMs)) return false;
  count = length - 3;
  // A block longer than the buffer is refused before it is acknowledged: the unit stops
  // for want of a complement and nothing is written past the buffer.
  if (count > capacity) return false;
  if (!SendEcho(Complement(length))) return false;
  uint8_t counter = 0;
  if (!ReceiveAck(counter, kByteTimeoutMs)) return false;
  BlockCounter = counter;
  if (!ReceiveAck(title, kByteTimeoutMs)) return false;
  for (int i = 0; i < count; ++i) {
    uint8_t byte = 0;
    if (!ReceiveAck(byte, kByteTimeoutMs)) return false;
    data[i] = byte;
  }
  uint8_t end = 0;
  return ReceiveByte(end, kByteTimeoutMs) && end == kBlockEnd;
}

bool AdapterHandshake(int timeoutMs) {
  uint8_t answer = 0;
  if (!ReceiveByte(answer, timeoutMs) || answer != kUploadAnswer) return false;
  SendRaw(AdapterBytes::kUploadStart1);
  SleepMs(1);
  SendRaw(AdapterBytes::kUploadStart2);
  return true;
}

}  // namespace ScanUtils
