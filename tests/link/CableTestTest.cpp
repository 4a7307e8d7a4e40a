// The cable test on a pseudo-terminal whose far end plays the cable: an echo that comes back
// right, changed, late or not at all; the verdicts and tarvelo-cli's exit codes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "common/Clock.h"
#include "link/CableTest.h"
#include "link/PosixSerialDevice.h"
#include "support/CliRun.h"

namespace {

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

TCableTestResult TestOver(EchoPeer::Mode mode) {
  EchoPeer peer(mode);
  auto device = PosixSerialDevice::Open(peer.slave());
  EXPECT_TRUE(device);
  if (!device) return {};
  return RunCableTest(*device);
}

}  // namespace

TEST(CableTest, AnEchoingCableIsRightWithItsRoundTrips) {
  const TCableTestResult r = TestOver(EchoPeer::Right);
  EXPECT_EQ(r.verdict, TCableTestResult::Right);
  EXPECT_EQ(r.right, static_cast<int>(TCableTestOptions::DefaultPattern().size()));
  EXPECT_EQ(r.wrong + r.missing, 0);
  EXPECT_GT(r.minUs, 0);
  EXPECT_LE(r.minUs, r.medianUs);
  EXPECT_LE(r.medianUs, r.maxUs);
  EXPECT_EQ(CableTestExitCode(r), 0);
  EXPECT_TRUE(CableTestText(r).startsWith("echo right: 32 of 32 bytes came back, round trip min "));
}

TEST(CableTest, ChangedLateAndMissingEchoesEachGetTheirVerdict) {
  const TCableTestResult wrong = TestOver(EchoPeer::Wrong);
  EXPECT_EQ(wrong.verdict, TCableTestResult::WrongEcho);
  EXPECT_EQ(wrong.wrong, 32);
  EXPECT_TRUE(CableTestText(wrong).contains("(sent 55, received 71)"));
  EXPECT_TRUE(CableTestText(wrong).contains("line settings"));

  const TCableTestResult slow = TestOver(EchoPeer::Slow);
  EXPECT_EQ(slow.verdict, TCableTestResult::SlowEcho);
  EXPECT_GE(slow.medianUs, 30000);
  EXPECT_TRUE(CableTestText(slow, "echo 1 | sudo tee X")
                  .contains("(its latency timer); set it to 1 ms: echo 1 | sudo tee X"));

  // No echo at all: the test gives up after a few bytes instead of waiting out the pattern.
  const TCableTestResult silent = TestOver(EchoPeer::Silent);
  EXPECT_EQ(silent.verdict, TCableTestResult::NoEcho);
  EXPECT_EQ(silent.bytes.size(), 4u);
  EXPECT_TRUE(CableTestText(silent).contains("no 12 V"));
  for (const auto& r : {wrong, slow, silent}) EXPECT_EQ(CableTestExitCode(r), 1);
}

TEST(CableTest, ALostEchoAndAnExtraByteAreNotTakenForARightCable) {
  TCableTestResult r;
  r.bytes = {{0x55, 0x55, 900}, {0xAA, -1, -1}, {0x00, 0x00, 800}};
  JudgeCableTest(r, {});
  EXPECT_EQ(r.verdict, TCableTestResult::LostEcho);
  EXPECT_EQ(r.missing, 1);
  EXPECT_EQ(r.medianUs, 900);
  r.bytes = {{0x55, 0x55, 900}, {0xAA, 0xAA, 800, 1}};
  JudgeCableTest(r, {});
  EXPECT_EQ(r.verdict, TCableTestResult::WrongEcho);
  EXPECT_TRUE(CableTestText(r).contains("(sent AA, received AA and 1 more)"));
}

#ifdef TARVELO_CLI
TEST(CableTest, TheCommandLineToolExitsZeroOneOrTwo) {
  {
    EchoPeer peer(EchoPeer::Right);
    const TCliRun run = RunCli(TARVELO_CLI, {"cable-test", peer.slave()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("echo right: 32 of 32")) << run.out.toStdString();
    EXPECT_TRUE(run.out.startsWith("cable test on " + peer.slave() + ", 19200 baud"));
  }
  {
    EchoPeer peer(EchoPeer::Slow);
    const TCliRun run = RunCli(TARVELO_CLI, {"cable-test", peer.slave()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains("slow echo")) << run.out.toStdString();
  }
  const TCliRun absent = RunCli(TARVELO_CLI, {"cable-test", "/dev/ttyUSB-none"});
  EXPECT_EQ(absent.exitCode, 2);
  EXPECT_EQ(absent.err.trimmed(),
            "tarvelo-cli: cable-test: /dev/ttyUSB-none is not there: is the adapter plugged in, "
            "and is the name right?");
}
#endif
