#include "sim/SimLine.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point FromUs(int64_t us) {
  // Kept within what the clock's nanoseconds can hold.
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 1000 / 2;
  return Clock::time_point(std::chrono::microseconds(std::min(us, kLimit)));
}

}  // namespace

int64_t SimNowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
      .count();
}

void SimLine::Post(SimEvent::Kind kind, uint8_t value) {
  {
    const std::lock_guard lock(fEventMutex);
    fEvents.push_back(SimEvent{kind, value, SimNowUs()});
  }
  fEventReady.notify_one();
}

int SimLine::Read() {
  const std::lock_guard lock(fRxMutex);
  if (fRx.empty()) return -1;
  const uint8_t byte = fRx.front();
  fRx.pop_front();
  return byte;
}

bool SimLine::WaitReadable(int ms) {
  std::unique_lock lock(fRxMutex);
  return fRx.size() > 0 || fRxReady.wait_for(lock, std::chrono::milliseconds(ms > 0 ? ms : 0),
                                             [this] { return !fRx.empty(); });
}

void SimLine::Purge() {
  const std::lock_guard lock(fRxMutex);
  fRx.clear();
}

bool SimLine::WaitEvent(SimEvent& event, int64_t deadlineUs) {
  std::unique_lock lock(fEventMutex);
  if (fEvents.empty() &&
      !fEventReady.wait_until(lock, FromUs(deadlineUs), [this] { return !fEvents.empty(); }))
    return false;
  event = fEvents.front();
  fEvents.pop_front();
  return true;
}

void SimLine::Send(uint8_t byte) {
  {
    const std::lock_guard lock(fRxMutex);
    fRx.push_back(byte);
  }
  fRxReady.notify_all();
}

void SimLine::Send(const std::vector<uint8_t>& bytes) {
  {
    const std::lock_guard lock(fRxMutex);
    fRx.insert(fRx.end(), bytes.begin(), bytes.end());
  }
  fRxReady.notify_all();
}

bool SimLine::RxEmpty() {
  const std::lock_guard lock(fRxMutex);
  return fRx.empty();
}

void SimLine::ToggleCts() {
  fCts = fCts.load() ? 0 : 1;
  ++fCtsChanges;
}
