#pragma once
// UScanT: the diagnostic connection's own thread: it wakes the unit, checks its keywords and then
// answers every block the unit sends with an acknowledgement or the request the user made
// last, reporting each step to the main window.

#include <QByteArray>
#include <QThread>
#include <atomic>
#include <cstdint>

#include "link/KLineBytes.h"

// Notification codes of LinkNotify.
namespace LinkCode {
constexpr int Finished = 0;
constexpr int Connected = 1;
constexpr int Disconnected = 2;
constexpr int BlockF6 = 10;
constexpr int FaultCode = 11;
constexpr int BlockFDFE = 12;
constexpr int Block0A = 13;
constexpr int BlockFB = 14;
constexpr int OtherBlock = 99;
constexpr int Acknowledge = 200;
constexpr int RequestTaken = 201;
}  // namespace LinkCode

// Request values of PendingRequest; except for Parameters, each is the title of the block
// it sends.
namespace LinkRequest {
constexpr uint8_t None = 0;
constexpr uint8_t ClearCodes = KLine::Title::ClearCodes;
constexpr uint8_t End = KLine::Title::End;
constexpr uint8_t ReadCodes = KLine::Title::ReadCodes;
constexpr uint8_t Parameters = 151;  // title 1 with parameters 13, 0, 55
}  // namespace LinkRequest

// The user's request for the next block (0 none); written by the window, taken by the
// scan thread once after each received block. A later request replaces an earlier one.
extern std::atomic<uint8_t> PendingRequest;

// The notification code for a received block title.
int NotifyCodeForTitle(uint8_t title);

class TScanThread : public QThread {
  Q_OBJECT
 public:
  using QThread::QThread;
  // Waits for a running connection to end first; end it with EndScanThread.
  ~TScanThread() override;

 signals:
  // One step of the connection. The window connects it with Qt::BlockingQueuedConnection,
  // so that its handler runs on the interface thread while this thread waits. A received
  // block's notification carries the block's data bytes; the others carry none. The last
  // notification of every thread is 0, and 2 comes just before it.
  void LinkNotify(int code, const QByteArray& data);

 protected:
  // Execute: wake-up, keywords, then the block exchange until the first failure or a stop
  // request (requestInterruption()).
  void run() override;

 private:
  void Notify(int code, const QByteArray& data = {});
  // Sends the block that answers a received one (whose data bytes are `received`): the
  // pending request, else an acknowledgement. False when the exchange failed.
  bool Answer(const uint8_t* received);
  // Only in builds with the thread sanitizer: marks on the interface thread where a
  // notification's hand-over begins and ends (see ScanThread.cpp).
  Q_INVOKABLE void FenceBeforeNotify();
  Q_INVOKABLE void FenceAfterNotify();
};

// Scan threads running now, and the most that ever ran at once since the last reset: one
// connection never has a second thread beside it.
int RunningScanThreads();
int PeakScanThreads();
void ResetPeakScanThreads();

// Ends a running connection: cancels every wait, closes the line and waits for the thread
// to finish, letting the calling thread's events run meanwhile so that the thread's last
// notifications can be handled. For the window's close and for tests.
void EndScanThread(TScanThread* thread);
