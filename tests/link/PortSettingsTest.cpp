#include <gtest/gtest.h>

#include "LinkTestSupport.h"
#include "link/PortSettings.h"

namespace {

TEST(PortSettings, MissingFileReadsZerosAndIsWrittenWithTheThreeKeys) {
  ConfigFolder config;
  IniPort = IniParity = IniWakeLine = 9;
  LoadPortSettings();
  EXPECT_EQ(IniPort, 0);
  EXPECT_EQ(IniParity, 0);
  EXPECT_EQ(IniWakeLine, 0);
  SavePortSettings();
  EXPECT_EQ(config.ReadIni(), QByteArray("[COMM]\r\nPORT=0\r\nPAR=0\r\nL-LINE=0\r\n"));
}

TEST(PortSettings, HexadecimalValuesAreReadAndBadOnesGiveZero) {
  ConfigFolder config;
  config.WriteIni("[comm]\r\nport=0x3\r\nPAR=$2\r\nL-LINE=abc\r\n");
  LoadPortSettings();
  EXPECT_EQ(IniPort, 3);
  EXPECT_EQ(IniParity, 2);
  EXPECT_EQ(IniWakeLine, 0);
}

TEST(PortSettings, WritingBackKeepsEveryOtherSectionAndKey) {
  ConfigFolder config;
  config.WriteIni(
      "; diagnostic port\r\n[DEVICES]\r\nCOM1=sim\r\n[COMM]\r\nPORT=2\r\nEXTRA=5\r\nPAR=1\r\n"
      "[OTHER]\r\nx=y\r\n");
  LoadPortSettings();
  EXPECT_EQ(IniPort, 2);
  EXPECT_EQ(IniParity, 1);
  IniWakeLine = 7;
  SavePortSettings();
  const QByteArray text = config.ReadIni();
  EXPECT_TRUE(text.contains("; diagnostic port\r\n[DEVICES]\r\nCOM1=sim\r\n")) << text.data();
  EXPECT_TRUE(text.contains("PORT=2\r\n"));
  EXPECT_TRUE(text.contains("EXTRA=5\r\n"));
  EXPECT_TRUE(text.contains("PAR=1\r\n"));
  EXPECT_TRUE(text.contains("L-LINE=7\r\n"));
  EXPECT_TRUE(text.contains("[OTHER]\r\nx=y\r\n"));
  IniPort = IniParity = IniWakeLine = 0;
}

TEST(PortSettings, ParityAndWakeLineCodes) {
  EXPECT_EQ(LineParityCode(0), 0);
  EXPECT_EQ(LineParityCode(1), 2);  // even
  EXPECT_EQ(LineParityCode(2), 1);  // odd
  EXPECT_EQ(LineParityCode(5), 0);
  EXPECT_EQ(LineParityCode(-1), 0);
  EXPECT_TRUE(WakeLineIsDTR(0));
  EXPECT_FALSE(WakeLineIsDTR(1));
  EXPECT_FALSE(WakeLineIsDTR(7));
}

TEST(PortSettings, PortNamesResolveThroughTheDevicesSection) {
  ConfigFolder config;
  EXPECT_EQ(PortName(0), "COM1");
  EXPECT_EQ(PortName(15), "COM16");
  EXPECT_EQ(PortDeviceName("COM1"), "/dev/ttyUSB0");
  EXPECT_EQ(PortDeviceName("COM16"), "/dev/ttyUSB15");
  EXPECT_EQ(PortDeviceName("/dev/ttyS3"), "/dev/ttyS3");
  EXPECT_FALSE(IsSimulatedPort("COM1"));

  config.WriteIni("[devices]\r\ncom1=scripted-port\r\nCOM2=/dev/ttyS1\r\n");
  RegisteredScript script("scripted-port");
  EXPECT_EQ(PortDeviceName("COM1"), "scripted-port");
  EXPECT_EQ(PortDeviceName("COM2"), "/dev/ttyS1");
  EXPECT_TRUE(IsSimulatedPort("COM1"));
  EXPECT_FALSE(IsSimulatedPort("COM2"));
}

}  // namespace
