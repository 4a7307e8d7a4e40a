#pragma once
// A pseudo-terminal whose far end plays a cable on the K-line.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QString>
#include <atomic>
#include <cstdlib>
#include <thread>

#include "common/Clock.h"

// The far end of a pseudo-terminal, answering each byte as the chosen cable would.
class EchoPeer {
 public:
  enum Mode { Right, Wrong, Slow, Silent };
  explicit EchoPeer(Mode mode) : fMode(mode) {
    fMaster = posix_openpt(O_RDWR | O_NOCTTY);
    if (fMaster >= 0 && grantpt(fMaster) == 0 && unlockpt(fMaster) == 0)
      fSlave = QString::fromLocal8Bit(ptsname(fMaster));
    fThread = std::thread([this] { Run(); });
  }
  ~EchoPeer() {
    fStop = true;
    fThread.join();
    if (fMaster >= 0) close(fMaster);
  }
  const QString& slave() const { return fSlave; }

 private:
  void Run() {
    while (!fStop) {
      pollfd p{fMaster, POLLIN, 0};
      if (poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN)) continue;
      uint8_t b = 0;
      if (read(fMaster, &b, 1) != 1) continue;
      if (fMode == Silent) continue;
      if (fMode == Slow) SleepMs(30);
      // A receiver at the wrong rate or without a proper transceiver garbles bits.
      const uint8_t back = fMode == Wrong ? static_cast<uint8_t>(b ^ 0x24) : b;
      if (write(fMaster, &back, 1) != 1) return;
    }
  }

  Mode fMode;
  int fMaster = -1;
  QString fSlave;
  std::atomic<bool> fStop{false};
  std::thread fThread;
};
