#include "link/UScanT.h"

#include <QCoreApplication>

#include "common/Clock.h"

std::atomic<uint8_t> PendingRequest{0};
uint8_t RecvTitle = 0;
uint8_t RecvData[ScanUtils::kMaxBlockData] = {};
int32_t RecvCount = 0;

namespace {

constexpr uint8_t kUnitAddress = 0x10;
constexpr uint16_t kExpectedKeywords = 0x0081;
constexpr uint8_t kTitleAcknowledge = 0x09;
constexpr uint8_t kTitleParameters = 0x01;
// The pause between receiving a block and answering it.
constexpr int kAnswerPauseMs = 10;

}  // namespace

int NotifyCodeForTitle(uint8_t title) {
  switch (title) {
    case 0x09:
      return LinkCode::Acknowledge;
    case 0x0A:
      return LinkCode::Block0A;
    case 0xF6:
      return LinkCode::BlockF6;
    case 0xFB:
      return LinkCode::BlockFB;
    case 0xFC:
      return LinkCode::FaultCode;
    case 0xFD:
    case 0xFE:
      return LinkCode::BlockFDFE;
    default:
      return LinkCode::OtherBlock;
  }
}

void TScanThread::Notify(int code) {
  emit LinkNotify(code);
}

void TScanThread::run() {
  using namespace ScanUtils;
  WakeUp5Baud(kUnitAddress);
  uint16_t keywords = 0;
  if (ReadSyncKeywords(keywords) && keywords == kExpectedKeywords && AckKeyword(keywords)) {
    Notify(LinkCode::Connected);
    while (!isInterruptionRequested()) {
      uint8_t title = 0;
      int32_t count = 0;
      const bool received = ReceiveBlock(title, RecvData, count);
      RecvTitle = title;
      RecvCount = count;
      if (!received) break;
      Notify(NotifyCodeForTitle(title));
      SleepMs(kAnswerPauseMs);

      uint8_t sendTitle = kTitleAcknowledge;
      int n = 0;
      if (PendingRequest.load() != LinkRequest::None) {
        Notify(LinkCode::RequestTaken);
        // Taken in one step, so that a request written meanwhile is not lost.
        const uint8_t request = PendingRequest.exchange(LinkRequest::None);
        if (request == LinkRequest::Parameters) {
          SetBlockParams(13, 0, 55);
          sendTitle = kTitleParameters;
          n = 3;
        } else if (request != LinkRequest::None) {
          sendTitle = request;
        }
      }
      if (!SendBlock(sendTitle, RecvData, n)) break;
    }
  }
  Notify(LinkCode::Disconnected);
  Notify(LinkCode::Finished);
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
