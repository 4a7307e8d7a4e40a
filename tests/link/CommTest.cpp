#include <gtest/gtest.h>

#include "LinkTestSupport.h"
#include "common/Clock.h"
#include "link/Comm.h"

namespace {

class CommTest : public ::testing::Test {
 protected:
  void SetUp() override { config.WriteIni("[DEVICES]\r\nCOM4=scripted\r\nCOM17=scripted\r\n"); }

  ConfigFolder config;
  RegisteredScript script{"scripted"};
};

TEST_F(CommTest, IndexThreeOpensTheDeviceBehindCom4AndOnlyOnce) {
  EXPECT_TRUE(Comm::OpenPort(3, 100, 100));
  EXPECT_EQ(script.line().Opens(), 1);
  // A second open leaves the first one open and usable.
  EXPECT_FALSE(Comm::OpenPort(3, 100, 100));
  EXPECT_EQ(script.line().Opens(), 1);
  EXPECT_EQ(Comm::WriteByte(3, 0x42), 0);
  EXPECT_EQ(Comm::ReadByte(3), 0x42);  // the scripted K-line echoes
  EXPECT_TRUE(Comm::ClosePort(3));
  EXPECT_FALSE(Comm::ClosePort(3));
  EXPECT_EQ(script.line().Closes(), 1);
}

TEST_F(CommTest, IndexOutsideTheTableOpensNothingAndIsNeverOpen) {
  for (const int index : {-1, 16, 1000}) {
    EXPECT_FALSE(Comm::OpenPort(index, 100, 100)) << index;
    EXPECT_FALSE(Comm::IsOpen(index));
    EXPECT_FALSE(Comm::SetPortState(index, 19200, 0, 0, 8));
    EXPECT_FALSE(Comm::SetDTR(index, 'S'));
    EXPECT_FALSE(Comm::SetRTS(index, 'S'));
    EXPECT_EQ(Comm::ReadByte(index), -1);
    EXPECT_EQ(Comm::WriteByte(index, 1), -1);
    EXPECT_FALSE(Comm::PurgeInput(index));
    EXPECT_FALSE(Comm::ClosePort(index));
  }
  EXPECT_EQ(script.line().Opens(), 0);
}

TEST_F(CommTest, EveryCallOnAClosedSlotGivesTheNotOpenValue) {
  EXPECT_FALSE(Comm::SetPortState(3, 19200, 0, 0, 8));
  EXPECT_FALSE(Comm::SetDTR(3, 'S'));
  EXPECT_FALSE(Comm::SetRTS(3, 'C'));
  EXPECT_EQ(Comm::ReadByte(3), -1);
  EXPECT_EQ(Comm::WriteByte(3, 0x55), -1);
  EXPECT_FALSE(Comm::PurgeInput(3));
  EXPECT_FALSE(Comm::ClosePort(3));
  EXPECT_EQ(Comm::Cts(3), -1);
  EXPECT_TRUE(script.line().Written().empty());
}

TEST_F(CommTest, ReadWithNothingReceivedAnswersAtOnce) {
  ASSERT_TRUE(Comm::OpenPort(3, 100, 100));
  const int64_t t0 = NowMs();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(Comm::ReadByte(3), -1);
  EXPECT_LT(NowMs() - t0, 50);
}

TEST_F(CommTest, LineSettingsAndModemLinesReachTheDevice) {
  ASSERT_TRUE(Comm::OpenPort(3, 100, 100));
  EXPECT_TRUE(Comm::SetPortState(3, 19200, 2, 0, 8));
  const ScriptedLineSettings s = script.line().LineSettings();
  EXPECT_EQ(s.baud, 19200);
  EXPECT_EQ(s.parity, 2);
  EXPECT_EQ(s.stopBits, 0);
  EXPECT_EQ(s.dataBits, 8);

  EXPECT_TRUE(Comm::SetDTR(3, 'S'));
  EXPECT_TRUE(Comm::SetDTR(3, 'C'));
  EXPECT_TRUE(Comm::SetRTS(3, 'S'));
  EXPECT_TRUE(Comm::SetRTS(3, 'x'));  // any other character releases the line
  const auto levels = script.line().Levels();
  ASSERT_EQ(levels.size(), 4u);
  EXPECT_EQ(levels[0].line, 'D');
  EXPECT_TRUE(levels[0].level);
  EXPECT_FALSE(levels[1].level);
  EXPECT_EQ(levels[2].line, 'R');
  EXPECT_TRUE(levels[2].level);
  EXPECT_FALSE(levels[3].level);
}

TEST_F(CommTest, PurgeDiscardsWhatWasReceived) {
  ASSERT_TRUE(Comm::OpenPort(3, 100, 100));
  script.line().Arrive({1, 2, 3});
  EXPECT_TRUE(Comm::PurgeInput(3));
  EXPECT_EQ(Comm::ReadByte(3), -1);
}

TEST_F(CommTest, ADeviceThatCannotBeOpenedLeavesTheSlotClosed) {
  config.WriteIni("[DEVICES]\r\nCOM2=/nonexistent/ttyX\r\n");
  EXPECT_FALSE(Comm::OpenPort(1, 100, 100));
  EXPECT_FALSE(Comm::IsOpen(1));
  EXPECT_EQ(Comm::ReadByte(1), -1);
  EXPECT_FALSE(Comm::ClosePort(1));
}

TEST_F(CommTest, WaitOnAClosedPortWaitsOutItsTimeInsteadOfSpinning) {
  const int64_t t0 = NowMs();
  EXPECT_FALSE(Comm::WaitReadable(5, 20));
  EXPECT_GE(NowMs() - t0, 19);
}

TEST_F(CommTest, AnAttachedDeviceTakesAFreeSlotOnly) {
  auto line = std::make_shared<ScriptedLine>();
  EXPECT_TRUE(Comm::AttachDevice(7, std::make_unique<ScriptedSerialDevice>(line)));
  EXPECT_TRUE(Comm::IsOpen(7));
  EXPECT_FALSE(Comm::AttachDevice(7, std::make_unique<ScriptedSerialDevice>(line)));
  EXPECT_FALSE(Comm::AttachDevice(16, std::make_unique<ScriptedSerialDevice>(line)));
  EXPECT_EQ(line->Closes(), 2);  // the refused ones were closed
  EXPECT_TRUE(Comm::ClosePort(7));
}

}  // namespace
