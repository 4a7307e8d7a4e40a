#pragma once
// The two directions between a simulated device and its simulator thread: what the
// program does (bytes written, modem line levels, each stamped with the time it happened)
// goes to the simulator; the bytes the simulator sends and the CTS level come back.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

// Microseconds on the monotonic clock.
int64_t SimNowUs();

struct SimEvent {
  enum Kind : uint8_t { Byte, Dtr, Rts, Break, Stop };
  Kind kind;
  uint8_t value;
  int64_t timeUs;
};

class SimLine {
 public:
  // Program side.
  void Post(SimEvent::Kind kind, uint8_t value);
  int Read();
  bool WaitReadable(int ms);
  void Purge();
  int Cts() const { return fCts.load(); }
  int64_t CtsChanges() const { return fCtsChanges.load(); }

  // Simulator side.
  // The next event, waiting until `deadlineUs` at most; false when none came.
  bool WaitEvent(SimEvent& event, int64_t deadlineUs);
  void Send(uint8_t byte);
  void Send(const std::vector<uint8_t>& bytes);
  bool RxEmpty();
  void ToggleCts();

 private:
  std::mutex fEventMutex;
  std::condition_variable fEventReady;
  std::deque<SimEvent> fEvents;
  std::mutex fRxMutex;
  std::condition_variable fRxReady;
  std::deque<uint8_t> fRx;
  std::atomic<int> fCts{0};
  std::atomic<int64_t> fCtsChanges{0};
};
