// Speed figures of the diagnostic line: byte latency through the simulated device and a
// pseudo-terminal pair, the program's answer time to the unit's block bytes over a long
// session, and the processor time the program spends while a connection idles.
//   build/bench/bench_link [seconds of the idle session, default 10]
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

#include "link/Comm.h"
#include "link/PortSettings.h"
#include "link/PosixSerialDevice.h"
#include "link/ScanThread.h"
#include "link/ScanUtils.h"
#include "link/SerialDeviceRegistry.h"
#include "sim/SimLine.h"
#include "sim/SimSerialDevice.h"
#include "sim/Simulator.h"

namespace {

int64_t NowUs() {
  return SimNowUs();
}

double CpuSeconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void Report(const char* what, std::vector<int64_t> us, const char* goal) {
  if (us.empty()) {
    std::printf("%-58s no samples\n", what);
    return;
  }
  std::sort(us.begin(), us.end());
  const auto at = [&](double q) {
    return static_cast<double>(us[static_cast<size_t>(q * static_cast<double>(us.size() - 1))]) /
           1000.0;
  };
  std::printf("%-58s n=%-7zu p50 %.3f ms  p99 %.3f ms  max %.3f ms  (goal %s)\n", what, us.size(),
              at(0.5), at(0.99), at(1.0), goal);
}

// A byte written by the program comes back as the K-line echo of the simulator thread.
void SimRoundTrip(int samples) {
  auto sim = std::make_shared<Simulator>();
  auto device = OpenSimulatorDevice(sim);
  device->setDTR(true);
  std::vector<int64_t> us;
  for (int i = 0; i < samples; ++i) {
    const int64_t t0 = NowUs();
    device->writeByte(static_cast<uint8_t>(i));
    while (device->readByte() < 0) device->waitReadable(5);
    us.push_back(NowUs() - t0);
    if (i % 64 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  Report("simulated device: write -> echo read (round trip)", us, "p99 < 0.5 ms");
}

struct Pty {
  int master = -1;
  QString slave;
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master);
    unlockpt(master);
    slave = QString::fromLocal8Bit(ptsname(master));
  }
  ~Pty() { close(master); }
};

// One way: a writer thread on the master side, the program reading on the slave side.
void PtyOneWay(int samples) {
  Pty pty;
  auto device = PosixSerialDevice::Open(pty.slave);
  std::atomic<int64_t> sentAt{0};
  std::mutex mutex;
  std::condition_variable turned;
  int turn = 0;
  std::thread writer([&] {
    for (int i = 0; i < samples; ++i) {
      {
        std::unique_lock lock(mutex);
        turned.wait(lock, [&] { return turn == i; });
      }
      std::this_thread::sleep_for(std::chrono::microseconds(100 + (i % 7) * 50));
      const uint8_t b = static_cast<uint8_t>(i);
      sentAt = NowUs();
      if (write(pty.master, &b, 1) != 1) return;
    }
  });
  std::vector<int64_t> us;
  for (int i = 0; i < samples; ++i) {
    int b;
    while ((b = device->readByte()) < 0) device->waitReadable(5);
    us.push_back(NowUs() - sentAt.load());
    {
      const std::lock_guard lock(mutex);
      turn = i + 1;
    }
    turned.notify_one();
  }
  writer.join();
  Report("pseudo-terminal: master write -> slave ReadByte (one way)", us, "p99 < 1 ms");
}

// Round trip: the program writes on the slave, a thread on the master echoes it back.
void PtyRoundTrip(int samples) {
  Pty pty;
  auto device = PosixSerialDevice::Open(pty.slave);
  std::atomic<bool> stop{false};
  std::thread echo([&] {
    fcntl(pty.master, F_SETFL, O_NONBLOCK);
    uint8_t b;
    while (!stop) {
      pollfd p{pty.master, POLLIN, 0};
      if (poll(&p, 1, 50) > 0 && read(pty.master, &b, 1) == 1) (void)!write(pty.master, &b, 1);
    }
  });
  std::vector<int64_t> us;
  for (int i = 0; i < samples; ++i) {
    const int64_t t0 = NowUs();
    device->writeByte(static_cast<uint8_t>(i));
    while (device->readByte() < 0) device->waitReadable(5);
    us.push_back(NowUs() - t0);
  }
  stop = true;
  echo.join();
  Report("pseudo-terminal: slave write -> echo read (round trip)", us, "p99 < 1 ms");
}

// A whole connection on the scan thread against the simulated unit, left idling on
// acknowledgements; the simulator times each answer of the program to a unit byte.
void IdleSession(int seconds) {
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QDir().mkpath(config.path() + "/Tarvelo");
  QFile ini(PortSettingsPath());
  ini.open(QIODevice::WriteOnly);
  ini.write("[DEVICES]\r\nCOM1=benchsim\r\n");
  ini.close();
  auto sim = std::make_shared<Simulator>();
  RegisterSimulator("benchsim", sim);
  SimUnitSettings unit;
  unit.wakeBitMs = 25;
  sim->SetUnitSettings(unit);
  ScanUtils::SetWakeTiming(25, 25);

  ScanUtils::OpenLine(0, 0, 0);
  TScanThread thread;
  QObject receiver;
  std::atomic<pthread_t> scanThread{};
  std::atomic<bool> haveThread{false};
  int blocks = 0;
  double mainCpu0 = 0;
  double scanCpu0 = 0;
  double processCpu0 = 0;
  int64_t start = 0;
  clockid_t scanClock{};
  const auto processCpu = [] {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
  };
  QObject::connect(
      &thread, &TScanThread::LinkNotify, &thread,
      [&](int) {
        if (!haveThread.exchange(true)) scanThread = pthread_self();
      },
      Qt::DirectConnection);
  QObject::connect(
      &thread, &TScanThread::LinkNotify, &receiver,
      [&](int code) {
        if (code == LinkCode::Acknowledge) ++blocks;
        if (code == LinkCode::Connected) {
          pthread_getcpuclockid(scanThread.load(), &scanClock);
          sim->SetLatencyRecording(true);
          mainCpu0 = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
          scanCpu0 = CpuSeconds(scanClock);
          processCpu0 = processCpu();
          start = NowUs();
          blocks = 0;
          QTimer::singleShot(seconds * 1000, [&] {
            const double wall = static_cast<double>(NowUs() - start) / 1e6;
            const double mainCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - mainCpu0;
            const double scanCpu = CpuSeconds(scanClock) - scanCpu0;
            const double all = processCpu() - processCpu0;
            Report("unit byte arrives -> program's answer leaves (idle session)",
                   sim->ComplementLatenciesUs(), "p99 < 1 ms");
            std::printf(
                "idle session %.1f s, %d acknowledgements: program side %.2f %% of one core "
                "(scan thread %.3f s, interface thread %.3f s); whole process with the "
                "simulator %.2f %%  (goal < 5 %%)\n",
                wall, blocks, 100.0 * (mainCpu + scanCpu) / wall, scanCpu, mainCpu,
                100.0 * all / wall);
            EndScanThread(&thread);
            QCoreApplication::quit();
          });
        }
        if (code == LinkCode::Disconnected) ScanUtils::CloseLine();
      },
      Qt::BlockingQueuedConnection);
  thread.start();
  QCoreApplication::exec();
  UnregisterSerialDevice("benchsim");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("Tarvelo");
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  SimRoundTrip(20000);
  PtyOneWay(5000);
  PtyRoundTrip(10000);
  IdleSession(seconds);
  return 0;
}
