#include "link/ScanThread.h"

#include <QCoreApplication>
#include <algorithm>

#include "common/Clock.h"
#include "link/ScanUtils.h"

#if defined(__SANITIZE_THREAD__)
#define TARVELO_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TARVELO_THREAD_SANITIZER 1
#endif
#endif

#ifdef TARVELO_THREAD_SANITIZER
// The Qt libraries are not built with the thread sanitizer, so it cannot see the locks
// inside a blocking queued connection or a thread's end (QMutex and QSemaphore wait on
// futexes it does not know), and takes the hand-over of each notification for a race. Each
// notification is therefore fenced by two extra round trips to the interface thread that
// tell the sanitizer what the blocking connection does: everything the scan thread did
// before a notification happens before its handler, and the handler happens before the scan
// thread goes on. What no fence can reach is left out, and only that:
// - the signal's argument array, which moc's TScanThread::LinkNotify itself fills on the scan
//   thread's stack and the handler reads while the scan thread waits inside Qt;
// - the calls Qt Core itself makes to the functions the sanitizer intercepts: the queued
//   call events it allocates on the scan thread and frees on the interface thread, and the
//   thread's wait condition, woken by the ending thread inside Qt after run() and destroyed
//   with the thread object. The accesses of this program's own code, handlers included, are
//   all checked.
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
extern "C" const char* __tsan_default_suppressions() {
  return "race_top:TScanThread::LinkNotify\n"
         "called_from_lib:libQt6Core.so.6\n";
}
namespace {
char NotifyFence;
}  // namespace
#endif

std::atomic<uint8_t> PendingRequest{0};

namespace {

// The pause between receiving a block and answering it.
constexpr int kAnswerPauseMs = 10;

std::atomic<int> gRunning{0};
std::atomic<int> gPeak{0};

// Counts the thread's body while it runs.
struct RunningCount {
  RunningCount() {
    const int now = ++gRunning;
    int peak = gPeak.load();
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
  }
  ~RunningCount() { --gRunning; }
  RunningCount(const RunningCount&) = delete;
  RunningCount& operator=(const RunningCount&) = delete;
};

}  // namespace

int NotifyCodeForTitle(uint8_t title) {
  namespace Title = KLine::Title;
  switch (title) {
    case Title::Acknowledge:
      return LinkCode::Acknowledge;
    case Title::Block0A:
      return LinkCode::Block0A;
    case Title::BlockF6:
      return LinkCode::BlockF6;
    case Title::BlockFB:
      return LinkCode::BlockFB;
    case Title::FaultCode:
      return LinkCode::FaultCode;
    case Title::BlockFD:
    case Title::BlockFE:
      return LinkCode::BlockFDFE;
    default:
      return LinkCode::OtherBlock;
  }
}

void TScanThread::Notify(int code, const QByteArray& data) {
#ifdef TARVELO_THREAD_SANITIZER
  __tsan_release(&NotifyFence);
  QMetaObject::invokeMethod(this, "FenceBeforeNotify", Qt::BlockingQueuedConnection);
  emit LinkNotify(code, data);
  // After the last notification the window stops running events for this thread; the
  // thread's end is fenced by the destructor instead.
  if (code != LinkCode::Finished)
    QMetaObject::invokeMethod(this, "FenceAfterNotify", Qt::BlockingQueuedConnection);
  __tsan_acquire(&NotifyFence);
#else
  emit LinkNotify(code, data);
#endif
}

void TScanThread::FenceBeforeNotify() {
#ifdef TARVELO_THREAD_SANITIZER
  __tsan_acquire(&NotifyFence);
#endif
}

void TScanThread::FenceAfterNotify() {
#ifdef TARVELO_THREAD_SANITIZER
  __tsan_release(&NotifyFence);
#endif
}

TScanThread::~TScanThread() {
  wait();
#ifdef TARVELO_THREAD_SANITIZER
  __tsan_acquire(&NotifyFence);
#endif
}

int RunningScanThreads() {
  return gRunning.load();
}

int PeakScanThreads() {
  return gPeak.load();
}

void ResetPeakScanThreads() {
  gPeak = gRunning.load();
}

void TScanThread::run() {
  using namespace ScanUtils;
  const RunningCount running;
  WakeUp5Baud(KLine::kUnitAddress);
  uint16_t keywords = 0;
  if (ReadSyncKeywords(keywords) && keywords == KLine::kExpectedKeywords && AckKeyword(keywords)) {
    Notify(LinkCode::Connected);
    while (!isInterruptionRequested()) {
      uint8_t title = 0;
      uint8_t data[kMaxBlockData] = {};
      int32_t count = 0;
      if (!ReceiveBlock(title, data, count)) break;
      // A block shorter than its title carries no data.
      const QByteArray received(reinterpret_cast<const char*>(data), std::max(0, count));
      Notify(NotifyCodeForTitle(title), received);
      SleepMs(kAnswerPauseMs);
      if (!Answer(data)) break;
    }
  }
  // A request not yet sent belongs to this connection: it is never sent to a later one.
  PendingRequest = LinkRequest::None;
  Notify(LinkCode::Disconnected);
  Notify(LinkCode::Finished);
#ifdef TARVELO_THREAD_SANITIZER
  __tsan_release(&NotifyFence);
#endif
}

bool TScanThread::Answer(const uint8_t* received) {
  using namespace ScanUtils;
  uint8_t title = KLine::Title::Acknowledge;
  int n = 0;
  if (PendingRequest.load() != LinkRequest::None) {
    Notify(LinkCode::RequestTaken);
    // Taken in one step, so that a request written meanwhile is not lost.
    const uint8_t request = PendingRequest.exchange(LinkRequest::None);
    if (request == LinkRequest::Parameters) {
      SetBlockParams(13, 0, 55);
      title = KLine::Title::Parameters;
      n = 3;
    } else if (request != LinkRequest::None) {
      title = request;
    }
  }
  // Title 2 takes its data bytes from the buffer of the block just received.
  return SendBlock(title, received, n);
}

void EndScanThread(TScanThread* thread) {
  if (!thread) return;
  thread->requestInterruption();
  ScanUtils::CloseLine();
  const QCoreApplication* app = QCoreApplication::instance();
  const bool pump = app && QThread::currentThread() == app->thread();
  while (!thread->wait(pump ? 2 : 50)) {
    if (pump) QCoreApplication::processEvents();
  }
}
