// The wake-up sent on the K-line itself by holding breaks, for cables that have no other
// line to the unit; the driver that cannot hold a break, found before the wake-up; and the
// trace of a session, saved and read back.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "LinkWindow.h"
#include "SimTestSupport.h"
#include "link/LinkTrace.h"
#include "link/PortSettings.h"

namespace {

class BreakWakeUpTest : public ::testing::Test, public SimFixture {
 protected:
  void SetUp() override { PendingRequest = 0; }
};

struct TraceLine {
  double ms;
  QString what;   // ">", "<" or a line name
  QString value;  // the byte in hex, or the level
  double heldMs = -1;
};

// The trace file as a reader sees it: comment lines start with '#', then time, what, value.
std::vector<TraceLine> ReadTrace(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  std::vector<TraceLine> lines;
  static const QRegularExpression entry(
      R"(^\s*(\d+\.\d)\s+(>|<|DTR|RTS|TX-BREAK)\s+([0-9A-F]+)(?:\s+held (\d+\.\d) ms)?$)");
  for (const QByteArray& raw : file.readAll().split('\n')) {
    const QString line = QString::fromUtf8(raw);
    if (line.isEmpty() || line.startsWith('#')) continue;
    const auto m = entry.match(line);
    EXPECT_TRUE(m.hasMatch()) << line.toStdString();
    if (!m.hasMatch()) continue;
    lines.push_back({m.captured(1).toDouble(), m.captured(2), m.captured(3),
                     m.captured(4).isEmpty() ? -1 : m.captured(4).toDouble()});
  }
  return lines;
}

}  // namespace

TEST_F(BreakWakeUpTest, AUnitOnTheKLineAloneWakesOnBreaksAndTheirZerosAreNotTakenForSync) {
  Unit([](SimUnitSettings& u) { u.wakeLine = kWakeLineBreak; });
  LinkWindow window;
  ASSERT_TRUE(window.ConnectAnswered(kWakeLineBreak));
  EXPECT_TRUE(window.WaitForCode(LinkCode::Acknowledge));
  window.End();
  EXPECT_GE(sim->Connections(), 1);
  // The same breaks do not wake a unit whose interface carries the wake-up on DTR.
  Unit([](SimUnitSettings& u) { u.wakeLine = 0; });
  const int before = sim->Connections();
  LinkWindow other;
  other.Connect(kWakeLineBreak);
  EXPECT_TRUE(other.WaitFinished());
  EXPECT_EQ(sim->Connections(), before);
}

TEST_F(BreakWakeUpTest, ADriverThatCannotHoldABreakIsFoundBeforeTheWakeUp) {
  ScanUtils::OpenLine(0, 0, kWakeLineBreak);
  EXPECT_EQ(ScanUtils::CheckBreak(), ScanUtils::TBreakCheck::Holds);
  Unit([](SimUnitSettings& u) { u.breakRefused = true; });
  EXPECT_EQ(ScanUtils::CheckBreak(), ScanUtils::TBreakCheck::Refused);
  // A driver that only simulates a break makes the request to end it wait.
  Unit([](SimUnitSettings& u) {
    u.breakRefused = false;
    u.breakEndDelayMs = 150;
  });
  EXPECT_EQ(ScanUtils::CheckBreak(), ScanUtils::TBreakCheck::Simulated);
  ScanUtils::CloseLine();
}

TEST_F(BreakWakeUpTest, TheTraceOfASimulatedSessionReadsBackWithTheWakeUpAndEveryByte) {
  LinkWindow window;
  ASSERT_TRUE(window.ConnectAnswered());
  ASSERT_TRUE(window.WaitFor([&] { return window.Count(LinkCode::Acknowledge) >= 2; }));
  window.End();
  const auto trace = LastLinkTrace();
  ASSERT_TRUE(trace);
  QTemporaryDir dir;
  const QString path = dir.filePath("trace.txt");
  ASSERT_TRUE(trace->Save(path));
  const std::vector<TraceLine> lines = ReadTrace(path);

  // The wake-up of 0x10: idle, start, bits 0 0 0 0 1 0 0, parity 0, stop; each level held
  // about one bit time (25 ms here), measured.
  QString levels;
  size_t i = 0;
  for (; i < lines.size() && lines[i].what == "DTR"; ++i) {
    levels += lines[i].value;
    EXPECT_GE(lines[i].heldMs, SimFixture::kBitMs / 2.0) << i;
    EXPECT_LT(lines[i].heldMs, 20.0 * SimFixture::kBitMs) << i;
  }
  EXPECT_EQ(levels, "10000010001");
  // Then the sync and the keywords, the keyword's answer and its echo, the first block.
  QStringList bytes;
  for (size_t k = i; k < lines.size() && bytes.size() < 7; ++k)
    bytes << lines[k].what + lines[k].value;
  EXPECT_EQ(bytes, QStringList({"<55", "<00", "<81", ">7E", "<7E", "<0E", ">F1"}));
  for (size_t k = 1; k < lines.size(); ++k) EXPECT_GE(lines[k].ms, lines[k - 1].ms);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readLine().startsWith("# Tarvelo K-line trace"));
  EXPECT_TRUE(file.readLine().startsWith("# port COM1 = simtest; 19200 baud"));
}

TEST_F(BreakWakeUpTest, ABreakWakeUpIsTracedOnTheTransmitLine) {
  Unit([](SimUnitSettings& u) { u.wakeLine = kWakeLineBreak; });
  LinkWindow window;
  ASSERT_TRUE(window.ConnectAnswered(kWakeLineBreak));
  window.End();
  const QString text = LastLinkTrace()->Text();
  EXPECT_TRUE(text.contains("wake-up on a break on the transmit line"));
  EXPECT_EQ(text.count("TX-BREAK"), 11);
}

TEST(LinkTrace, ALongSessionKeepsItsStartAndItsLatestBytesWithinItsBound) {
  TLinkTrace trace("bounded", TLinkTrace::kKeptHead + 100);
  trace.Level('D', true);
  trace.EndLevels();
  for (int i = 0; i < 10000; ++i) trace.Sent(static_cast<uint8_t>(i));
  const auto entries = trace.Entries();
  EXPECT_EQ(entries.size(), TLinkTrace::kKeptHead + 100);
  EXPECT_EQ(entries.front().kind, TTraceEntry::Level);
  EXPECT_EQ(entries.back().value, static_cast<uint8_t>(9999));
  EXPECT_EQ(trace.Dropped(), 10001u - TLinkTrace::kKeptHead - 100);
  EXPECT_TRUE(
      trace.Text().contains(QStringLiteral("# %1 entries left out here\n").arg(trace.Dropped())));
}
