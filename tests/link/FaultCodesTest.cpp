#include <gtest/gtest.h>

#include "link/FaultCodes.h"
#include "link/ScanThread.h"

namespace {

QString Line(std::initializer_list<uint8_t> data) {
  const std::vector<uint8_t> bytes(data);
  return FaultCodeLine(static_cast<int>(bytes.size()), bytes.data());
}

TEST(FaultCodes, LinesAreTheCodeInDecimalAndItsText) {
  EXPECT_EQ(Line({5}), "5 - Tank Ventilation Valve");
  EXPECT_EQ(Line({100}), "100 - DME Control Unit Final Stage");
  EXPECT_EQ(Line({1}),
            "1 - Fault in the DME control Unit - Reset and run vehicle if code returns "
            "replace DME.");
  EXPECT_EQ(Line({16}), "16 - Injection Valve(s)");
  EXPECT_EQ(Line({17}), "17 - Injection Valve(s)");
  EXPECT_EQ(Line({54}), "54 - Torque Converter Lockup Clutch");
  EXPECT_EQ(Line({0}), "0 - Unknown code");
  EXPECT_EQ(Line({255}), "255 - Unknown code");
  EXPECT_EQ(Line({2}), "2 - Unknown code");
}

TEST(FaultCodes, OnlyTheFirstDataByteCounts) {
  EXPECT_EQ(Line({0x10, 0x00, 0x23}), "16 - Injection Valve(s)");
}

TEST(FaultCodes, ABlockWithoutDataSaysThereAreNone) {
  const uint8_t stale[1] = {5};
  EXPECT_EQ(FaultCodeLine(0, stale), "TC отсутствуют!");
  // A malformed block with a length byte below 3 carries no code either.
  EXPECT_EQ(FaultCodeLine(-2, stale), "TC отсутствуют!");
}

TEST(FaultCodes, EveryTitleHasItsNotification) {
  EXPECT_EQ(NotifyCodeForTitle(0x09), 200);
  EXPECT_EQ(NotifyCodeForTitle(0x0A), 13);
  EXPECT_EQ(NotifyCodeForTitle(0xF6), 10);
  EXPECT_EQ(NotifyCodeForTitle(0xFB), 14);
  EXPECT_EQ(NotifyCodeForTitle(0xFC), 11);
  EXPECT_EQ(NotifyCodeForTitle(0xFD), 12);
  EXPECT_EQ(NotifyCodeForTitle(0xFE), 12);
  EXPECT_EQ(NotifyCodeForTitle(0x00), 99);
  EXPECT_EQ(NotifyCodeForTitle(0xFF), 99);
}

}  // namespace
