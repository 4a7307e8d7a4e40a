#include <gtest/gtest.h>

#include "LinkTestSupport.h"
#include "common/Clock.h"
#include "link/ScanUtils.h"

namespace {

using namespace ScanUtils;
using Bytes = std::vector<uint8_t>;

// The unit's side of a block the program sends: every byte but the end byte is answered
// with its complement, or with `wrong` at position `wrongAt`.
std::function<void(uint8_t, ScriptedLine&)> UnitReceivesBlocks(int wrongAt = -1,
                                                               uint8_t wrong = 0) {
  struct State {
    int index = 0;
    int length = 0;
    int answered = 0;
  };
  auto state = std::make_shared<State>();
  return [state, wrongAt, wrong](uint8_t b, ScriptedLine& line) {
    if (state->index == 0) state->length = b;
    if (state->index == state->length) {  // the end byte
      state->index = 0;
      return;
    }
    ++state->index;
    line.Arrive({state->answered++ == wrongAt ? wrong : Complement(b)});
  };
}

// A scripted line on port 0 as an open diagnostic line.
class ScanUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Comm::AttachDevice(0, std::make_unique<ScriptedSerialDevice>(line)));
    CurrentPort = 0;
    Cancelled = false;
    WakeOnDTR = true;
    BlockCounter = 0;
  }
  void TearDown() override {
    Comm::ClosePort(0);
    SetWakeTiming(1000, 200);
    Cancelled = false;
  }

  std::shared_ptr<ScriptedLine> line = std::make_shared<ScriptedLine>();
};

// Levels of one line as 0/1 and the times between them, in ms.
void Split(const std::vector<ScriptedLevel>& levels, char which, std::vector<int>& values,
           std::vector<double>& startsMs) {
  for (const auto& l : levels) {
    if (l.line != which) continue;
    values.push_back(l.level ? 1 : 0);
    startsMs.push_back(static_cast<double>(l.timeUs - levels.front().timeUs) / 1000.0);
  }
}

TEST_F(ScanUtilsTest, WakingAddress10TakesThreeSecondsWithItsElevenLevels) {
  const int64_t t0 = NowMs();
  WakeUp5Baud(0x10);
  const int64_t took = NowMs() - t0;
  EXPECT_GE(took, 2995);
  EXPECT_LE(took, 3050);

  std::vector<int> values;
  std::vector<double> starts;
  Split(line->Levels(), 'D', values, starts);
  EXPECT_EQ(values, (std::vector<int>{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1}));
  ASSERT_EQ(starts.size(), 11u);
  // Each change lies on its own point of the 1000 + 10 × 200 ms grid: no drift.
  for (size_t i = 1; i < starts.size(); ++i)
    EXPECT_NEAR(starts[i], 1000.0 + 200.0 * static_cast<double>(i - 1), 40.0) << i;
  EXPECT_TRUE(line->Written().empty());
}

TEST_F(ScanUtilsTest, WakeUpSendsSevenAddressBitsWithOddParityOnTheChosenLine) {
  SetWakeTiming(2, 2);
  struct Case {
    uint8_t address;
    std::vector<int> levels;
  };
  const Case cases[] = {
      {0x01, {1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}},  // one bit set: parity 0
      {0x03, {1, 0, 1, 1, 0, 0, 0, 0, 0, 1, 1}},  // two bits set: parity 1
      {0x90, {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1}},  // the eighth bit is not sent
  };
  for (const Case& c : cases) {
    for (const bool onDTR : {true, false}) {
      const size_t before = line->Levels().size();
      WakeOnDTR = onDTR;
      WakeUp5Baud(c.address);
      const auto all = line->Levels();
      const std::vector<ScriptedLevel> levels(all.begin() + static_cast<long>(before), all.end());
      std::vector<int> values;
      std::vector<double> starts;
      Split(levels, onDTR ? 'D' : 'R', values, starts);
      EXPECT_EQ(values, c.levels) << int(c.address) << " DTR " << onDTR;
      EXPECT_EQ(levels.size(), values.size()) << "the other line is left alone";
    }
  }
}

TEST_F(ScanUtilsTest, CancellingEndsTheWakeUpEarly) {
  Cancelled = true;
  const int64_t t0 = NowMs();
  WakeUp5Baud(0x10);
  EXPECT_LT(NowMs() - t0, 100);
}

TEST_F(ScanUtilsTest, SyncAndKeywords0081AreReadAndAcknowledgedWith7E) {
  line->Script({0x55, 0x00, 0x81});
  uint16_t keywords = 0;
  ASSERT_TRUE(ReadSyncKeywords(keywords));
  EXPECT_EQ(keywords, 0x0081);
  EXPECT_TRUE(line->Written().empty()) << "the keywords are not acknowledged while read";
  EXPECT_TRUE(AckKeyword(keywords));
  EXPECT_EQ(line->Written(), Bytes{0x7E});
}

TEST_F(ScanUtilsTest, AWrongSyncByteFailsAtOnceWithoutReadingTheKeywords) {
  line->Script({0x54, 0x00, 0x81});
  uint16_t keywords = 0;
  const int64_t t0 = NowMs();
  EXPECT_FALSE(ReadSyncKeywords(keywords));
  EXPECT_LT(NowMs() - t0, 50);
  EXPECT_EQ(line->ScriptLeft(), 2u);
}

TEST_F(ScanUtilsTest, AMissingEchoFailsTheKeywordAcknowledgement) {
  line->SetEcho(false);
  const int64_t t0 = NowMs();
  EXPECT_FALSE(AckKeyword(0x0081));
  EXPECT_GE(NowMs() - t0, kEchoTimeoutMs);
  line->SetEcho(true);
  line->SetResponder([](uint8_t, ScriptedLine& l) { l.Arrive({0x00}); });
  line->SetEcho(false);
  EXPECT_FALSE(AckKeyword(0x0081)) << "an answer other than the echo";
}

TEST_F(ScanUtilsTest, AnAcknowledgeBlockIsFourBytesOnTheWire) {
  line->SetResponder(UnitReceivesBlocks());
  BlockCounter = 0x05;
  EXPECT_TRUE(SendBlock(0x09, nullptr, 0));
  EXPECT_EQ(line->Written(), (Bytes{0x03, 0x06, 0x09, 0x03}));
  EXPECT_EQ(BlockCounter.load(), 0x06);
}

TEST_F(ScanUtilsTest, TheCounterWrapsFromFFTo00) {
  line->SetResponder(UnitReceivesBlocks());
  BlockCounter = 0xFF;
  EXPECT_TRUE(SendBlock(0x07, nullptr, 0));
  EXPECT_EQ(line->Written(), (Bytes{0x03, 0x00, 0x07, 0x03}));
  EXPECT_EQ(BlockCounter.load(), 0x00);
}

TEST_F(ScanUtilsTest, ParameterBlocksCarryTheParameters) {
  line->SetResponder(UnitReceivesBlocks());
  BlockCounter = 0x10;
  SetBlockParams(13, 0, 55);
  EXPECT_TRUE(SendBlock(0x01, nullptr, 3));
  EXPECT_TRUE(SendBlock(0x08, nullptr, 1));
  const uint8_t data[2] = {0xAB, 0xCD};
  EXPECT_TRUE(SendBlock(0x21, data, 2));
  EXPECT_EQ(line->Written(), (Bytes{0x06, 0x11, 0x01, 0x0D, 0x00, 0x37, 0x03,  //
                                    0x04, 0x12, 0x08, 0x0D, 0x03,              //
                                    0x05, 0x13, 0x21, 0xAB, 0xCD, 0x03}));
}

TEST_F(ScanUtilsTest, AWrongLengthComplementFailsBeforeTheCounterIsSent) {
  line->SetResponder(UnitReceivesBlocks(0, 0x00));
  EXPECT_FALSE(SendBlock(0x09, nullptr, 0));
  EXPECT_EQ(line->Written(), Bytes{0x03});
}

TEST_F(ScanUtilsTest, BlocksThatWouldReadPastTheDataAreRefusedUnsent) {
  line->SetResponder(UnitReceivesBlocks());
  const uint8_t data[4] = {1, 2, 3, 4};
  EXPECT_FALSE(SendBlock(0x21, data, 5, 4));
  SetBlockParams(200, 0, 0);  // title 2 sends ParamA data bytes
  EXPECT_FALSE(SendBlock(0x02, data, 3, 4));
  EXPECT_FALSE(SendBlock(0x21, nullptr, 1));
  EXPECT_TRUE(line->Written().empty());
}

TEST_F(ScanUtilsTest, AReceivedBlockIsAcknowledgedByteByByteAndAdoptsTheCounter) {
  line->Script({0x04, 0x05, 0xFC, 0x05, 0x03});
  uint8_t title = 0;
  uint8_t data[kMaxBlockData] = {};
  int32_t count = -7;
  ASSERT_TRUE(ReceiveBlock(title, data, count));
  EXPECT_EQ(title, 0xFC);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(data[0], 0x05);
  EXPECT_EQ(BlockCounter.load(), 0x05);
  EXPECT_EQ(line->Written(), (Bytes{0xFB, 0xFA, 0x03, 0xFA}));
}

TEST_F(ScanUtilsTest, ABlockWithLengthThreeHasNoData) {
  line->Script({0x03, 0x07, 0x09, 0x03});
  uint8_t title = 0;
  uint8_t data[kMaxBlockData] = {0xEE};
  int32_t count = -1;
  ASSERT_TRUE(ReceiveBlock(title, data, count));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(title, 0x09);
  EXPECT_EQ(data[0], 0xEE);
}

TEST_F(ScanUtilsTest, AnEndByteOtherThan03FailsTheBlock) {
  line->Script({0x03, 0x07, 0x09, 0x02});
  uint8_t title = 0;
  uint8_t data[kMaxBlockData] = {};
  int32_t count = 0;
  EXPECT_FALSE(ReceiveBlock(title, data, count));
  EXPECT_EQ(line->Written().size(), 3u) << "all other bytes were acknowledged";
}

TEST_F(ScanUtilsTest, ABlockLongerThanTheBufferIsRefusedAndNothingIsWrittenPastIt) {
  struct {
    uint8_t data[kMaxBlockData];
    uint8_t guard[16];
  } buffer{};
  std::fill(std::begin(buffer.guard), std::end(buffer.guard), 0x5A);
  Bytes block{static_cast<uint8_t>(kMaxBlockData + 4), 0x01, 0xFC};
  block.resize(block.size() + kMaxBlockData + 1, 0x11);
  block.push_back(0x03);
  line->Script(block);
  uint8_t title = 0;
  int32_t count = 0;
  EXPECT_FALSE(ReceiveBlock(title, buffer.data, count));
  EXPECT_TRUE(line->Written().empty()) << "the length byte is not acknowledged";
  for (const uint8_t g : buffer.guard) EXPECT_EQ(g, 0x5A);

  // A block that fills the buffer exactly is taken.
  ASSERT_TRUE(Comm::PurgeInput(0));
  Bytes full{static_cast<uint8_t>(kMaxBlockData + 3), 0x02, 0xFC};
  full.resize(full.size() + kMaxBlockData, 0x22);
  full.push_back(0x03);
  auto fresh = std::make_shared<ScriptedLine>();
  Comm::ClosePort(0);
  ASSERT_TRUE(Comm::AttachDevice(0, std::make_unique<ScriptedSerialDevice>(fresh)));
  fresh->Script(full);
  EXPECT_TRUE(ReceiveBlock(title, buffer.data, count));
  EXPECT_EQ(count, kMaxBlockData);
  EXPECT_EQ(buffer.data[kMaxBlockData - 1], 0x22);
  for (const uint8_t g : buffer.guard) EXPECT_EQ(g, 0x5A);
}

TEST_F(ScanUtilsTest, ReceiveByteTakesAWaitingByteEvenWhenCancelled) {
  line->Arrive({0x42});
  Cancelled = true;
  uint8_t b = 0;
  EXPECT_TRUE(ReceiveByte(b, 500));
  EXPECT_EQ(b, 0x42);
  const int64_t t0 = NowMs();
  EXPECT_FALSE(ReceiveByte(b, 500));
  EXPECT_LT(NowMs() - t0, 50);
}

TEST_F(ScanUtilsTest, ReceiveByteRunsOutAfterItsTimeOut) {
  uint8_t b = 0;
  const int64_t t0 = NowMs();
  EXPECT_FALSE(ReceiveByte(b, 30));
  const int64_t took = NowMs() - t0;
  EXPECT_GE(took, 30);
  EXPECT_LT(took, 80);
}

TEST_F(ScanUtilsTest, AdapterHandshakeAnswers8FWith6FAnd6B) {
  line->SetEcho(false);
  line->Script({0x8F});
  EXPECT_TRUE(AdapterHandshake(2000));
  EXPECT_EQ(line->Written(), (Bytes{0x6F, 0x6B}));
}

TEST_F(ScanUtilsTest, AdapterHandshakeReceiving8EFailsAndSendsNothing) {
  line->SetEcho(false);
  line->Script({0x8E});
  EXPECT_FALSE(AdapterHandshake(2000));
  EXPECT_TRUE(line->Written().empty());
  const int64_t t0 = NowMs();
  EXPECT_FALSE(AdapterHandshake(40));  // nothing at all
  EXPECT_GE(NowMs() - t0, 40);
}

TEST_F(ScanUtilsTest, SendRawEmptiesTheInputFirst) {
  line->SetEcho(false);
  line->Arrive({1, 2, 3});
  SendRaw(0x70);
  EXPECT_EQ(line->Written(), Bytes{0x70});
  EXPECT_EQ(Comm::ReadByte(0), -1);
}

// Opening and closing through the port settings and the device registry.
TEST(ScanUtilsLine, OpeningSetsTheRestingLevelsAndClosingCancels) {
  ConfigFolder config;
  config.WriteIni("[DEVICES]\r\nCOM3=scripted-line\r\n");
  RegisteredScript script("scripted-line");

  OpenLine(2, 2, 1);
  EXPECT_TRUE(Comm::IsOpen(2));
  EXPECT_EQ(CurrentPort.load(), 2);
  EXPECT_FALSE(WakeOnDTR.load());
  EXPECT_FALSE(Cancelled.load());
  EXPECT_EQ(script.line().LineSettings().baud, 19200);
  EXPECT_EQ(script.line().LineSettings().parity, 1);  // "PAR" 2 is odd
  EXPECT_EQ(script.line().LineSettings().dataBits, 8);
  EXPECT_EQ(script.line().LineSettings().stopBits, 0);
  auto levels = script.line().Levels();
  ASSERT_EQ(levels.size(), 2u);
  EXPECT_EQ(levels[0].line, 'R');
  EXPECT_FALSE(levels[0].level);
  EXPECT_EQ(levels[1].line, 'D');
  EXPECT_TRUE(levels[1].level);
  CloseLine();
  EXPECT_TRUE(Cancelled.load());
  EXPECT_FALSE(Comm::IsOpen(2));

  OpenLineForAdapter(2, 1, 0);
  EXPECT_EQ(script.line().LineSettings().parity, 2);  // "PAR" 1 is even
  levels = script.line().Levels();
  ASSERT_EQ(levels.size(), 4u);
  EXPECT_EQ(levels[2].line, 'R');
  EXPECT_TRUE(levels[2].level);
  EXPECT_EQ(levels[3].line, 'D');
  EXPECT_FALSE(levels[3].level);
  SetLineIdle(2);
  levels = script.line().Levels();
  ASSERT_EQ(levels.size(), 6u);
  EXPECT_FALSE(levels[4].level);
  EXPECT_TRUE(levels[5].level);
  CloseLine();
  EXPECT_EQ(script.line().Closes(), 2);
}

}  // namespace
