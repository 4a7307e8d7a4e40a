#include "link/CableTest.h"

#include <algorithm>
#include <chrono>

#include "link/PortSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLineBaud = 19200;
constexpr int kWaitSliceMs = 4;

int64_t UsSince(Clock::time_point t0) {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count();
}

// The first byte to come back within `ms`, or -1.
int WaitByte(SerialDevice& device, int ms, Clock::time_point t0) {
  const auto deadline = t0 + std::chrono::milliseconds(ms);
  for (;;) {
    const int r = device.readByte();
    if (r >= 0) return r;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left < 0) return -1;
    device.waitReadable(static_cast<int>(std::min<int64_t>(kWaitSliceMs, left + 1)));
  }
}

QString Hex(int b) {
  return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

QString Ms(int64_t us) {
  return QString::number(static_cast<double>(us) / 1000.0, 'f', 1);
}

}  // namespace

std::vector<uint8_t> TCableTestOptions::DefaultPattern() {
  return {0x55, 0xAA, 0x00, 0xFF, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40,
          0x80, 0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F, 0x7E, 0x81,
          0x03, 0xFC, 0x33, 0xCC, 0x0F, 0xF0, 0x5A, 0xA5, 0x69, 0x96};
}

TCableTestResult RunCableTest(SerialDevice& device, const TCableTestOptions& options) {
  device.setLineSettings(kLineBaud, LineParityCode(options.iniParity), 0, 8);
  // Many interfaces draw their supply from the modem lines; a pseudo-terminal has none.
  device.setRTS(false);
  device.setDTR(true);
  device.purgeInput();
  TCableTestResult result;
  for (const uint8_t b : options.pattern) {
    TCableByte probe{b};
    const auto t0 = Clock::now();
    if (device.writeByte(b)) {
      probe.received = WaitByte(device, options.echoWaitMs, t0);
      if (probe.received >= 0) probe.roundTripUs = UsSince(t0);
    }
    // Whatever else came back with this byte (a wrong rate splits one byte into two).
    if (probe.received >= 0) {
      device.waitReadable(2);
      while (device.readByte() >= 0) ++probe.extra;
    }
    result.bytes.push_back(probe);
    if (options.step) options.step();
    const bool anyEcho = std::any_of(result.bytes.begin(), result.bytes.end(),
                                     [](const TCableByte& p) { return p.received >= 0; });
    if (!anyEcho && static_cast<int>(result.bytes.size()) >= options.silentGiveUp) break;
  }
  JudgeCableTest(result, options);
  return result;
}

void JudgeCableTest(TCableTestResult& result, const TCableTestOptions& options) {
  result.right = result.wrong = result.missing = 0;
  std::vector<int64_t> trips;
  for (const TCableByte& p : result.bytes) {
    if (p.received < 0) {
      ++result.missing;
    } else if (p.received != p.sent || p.extra > 0) {
      ++result.wrong;
    } else {
      ++result.right;
      trips.push_back(p.roundTripUs);
    }
  }
  std::sort(trips.begin(), trips.end());
  result.minUs = trips.empty() ? 0 : trips.front();
  result.maxUs = trips.empty() ? 0 : trips.back();
  result.medianUs = trips.empty() ? 0 : trips[trips.size() / 2];
  if (result.right == 0 && result.wrong == 0)
    result.verdict = TCableTestResult::NoEcho;
  else if (result.wrong > 0)
    result.verdict = TCableTestResult::WrongEcho;
  else if (result.missing > 0)
    result.verdict = TCableTestResult::LostEcho;
  else if (result.medianUs > options.slowMedianUs)
    result.verdict = TCableTestResult::SlowEcho;
  else
    result.verdict = TCableTestResult::Right;
}

int CableTestExitCode(const TCableTestResult& result) {
  return result.verdict == TCableTestResult::Right ? 0 : 1;
}

QString CableTestText(const TCableTestResult& r, const QString& latencyCommand) {
  const int n = static_cast<int>(r.bytes.size());
  const QString times = QStringLiteral("round trip min %1 / median %2 / max %3 ms")
                            .arg(Ms(r.minUs), Ms(r.medianUs), Ms(r.maxUs));
  switch (r.verdict) {
    case TCableTestResult::Right:
      return QStringLiteral("echo right: %1 of %1 bytes came back, %2\n").arg(n).arg(times);
    case TCableTestResult::NoEcho:
      return QStringLiteral(
                 "no echo: none of %1 bytes came back. Either the diagnostic plug has no 12 V "
                 "(the ignition on? the cable's supply?), or this is not a K-line cable (its "
                 "transmit and receive lines do not meet on the K-line)\n")
          .arg(n);
    case TCableTestResult::WrongEcho: {
      QString example;
      for (const TCableByte& p : r.bytes)
        if (p.received >= 0 && (p.received != p.sent || p.extra > 0)) {
          example = QStringLiteral("sent %1, received %2").arg(Hex(p.sent), Hex(p.received));
          if (p.extra > 0) example += QStringLiteral(" and %1 more").arg(p.extra);
          break;
        }
      return QStringLiteral(
                 "wrong echo: %1 of %2 bytes came back changed (%3). The line settings do not "
                 "match the cable (PAR in CTESTER.INI), or the cable has no proper K-line "
                 "transceiver\n")
          .arg(r.wrong)
          .arg(n)
          .arg(example);
    }
    case TCableTestResult::SlowEcho: {
      QString text = QStringLiteral(
                         "slow echo: every byte came back, but late (%1): the adapter holds "
                         "received bytes back (its latency timer)")
                         .arg(times);
      if (!latencyCommand.isEmpty()) text += QStringLiteral("; set it to 1 ms: ") + latencyCommand;
      return text + QLatin1Char('\n');
    }
    case TCableTestResult::LostEcho:
      return QStringLiteral(
                 "echo lost: %1 of %2 bytes did not come back (%3 for the others): a loose "
                 "contact or a noisy line\n")
          .arg(r.missing)
          .arg(n)
          .arg(times);
  }
  return {};
}
