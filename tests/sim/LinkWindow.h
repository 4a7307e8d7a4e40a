#pragma once
// The main window's side of a connection, for tests that run the scan thread against a
// simulator.
#include <QObject>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <memory>

#include "SimTestSupport.h"
#include "link/FaultCodes.h"
#include "link/ScanThread.h"

// The main window's side of a connection: it opens the line, starts the thread, takes
// every notification on the interface thread while the thread waits, closes the line on
// notification 2 and writes the fault-code lines.
class LinkWindow {
 public:
  ~LinkWindow() { End(); }

  void Connect(int32_t wakeLine = 0) {
    ScanUtils::OpenLine(0, 0, wakeLine);
    fThread = std::make_unique<TScanThread>();
    QObject::connect(
        fThread.get(), &TScanThread::LinkNotify, &fReceiver,
        [this](int code, const QByteArray& block) {
          codes.push_back(code);
          blocks.push_back(block);
          if (code == LinkCode::FaultCode) lines << FaultCodeLine(block);
          if (code == LinkCode::Disconnected) ScanUtils::CloseLine();
          if (onNotify) onNotify(code);
        },
        Qt::BlockingQueuedConnection);
    fThread->start();
  }
  // Connects and waits for notification 1, trying again (up to five times) when the unit
  // did not answer: at the short bit times of the tests a busy machine can spoil a
  // wake-up. The unit's answers are what these tests are about.
  bool ConnectAnswered(int32_t wakeLine = 0) {
    for (int attempt = 0; attempt < 5; ++attempt) {
      Connect(wakeLine);
      WaitFor([&] { return Count(LinkCode::Connected) > 0 || Count(LinkCode::Finished) > 0; });
      if (Count(LinkCode::Connected) > 0) return true;
      fThread->wait();
      codes.clear();
      blocks.clear();
      lines.clear();
    }
    return false;
  }
  bool WaitFor(const std::function<bool()>& done, int ms = 5000) { return PumpUntil(done, ms); }
  // Waits for a notification; false when it did not come, also when the thread ended.
  bool WaitForCode(int code, int ms = 5000) {
    WaitFor([&] { return Count(code) > 0 || Count(LinkCode::Finished) > 0; }, ms);
    return Count(code) > 0;
  }
  int Count(int code) const {
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
  }
  // Waits for the thread's last notification and its end.
  bool WaitFinished(int ms = 5000) {
    if (!WaitFor([&] { return !codes.empty() && codes.back() == LinkCode::Finished; }, ms))
      return false;
    return fThread->wait(2000);
  }
  // Ends a connection that is still running, as closing the window does.
  void End() {
    if (fThread && !fThread->isFinished()) EndScanThread(fThread.get());
  }
  // The last two notifications are 2 then 0, and nothing else has the code 0 or 2.
  bool EndedCleanly() const {
    return codes.size() >= 2 && codes[codes.size() - 2] == LinkCode::Disconnected &&
           codes.back() == LinkCode::Finished && Count(LinkCode::Disconnected) == 1 &&
           Count(LinkCode::Finished) == 1 && fThread->isFinished();
  }

  std::vector<int> codes;
  // The data bytes each notification carried.
  std::vector<QByteArray> blocks;
  QStringList lines;
  std::function<void(int)> onNotify;

 private:
  QObject fReceiver;
  std::unique_ptr<TScanThread> fThread;
};
