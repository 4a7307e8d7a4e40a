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

TEST(PortSettings, ChoosingTheDiagnosticDeviceWritesPortAndDevicesAsByHand) {
  ConfigFolder config;
  config.WriteIni(
      "; mine\r\n[COMM]\r\nPORT=1\r\nPAR=2\r\nL-LINE=2\r\nTRACE=1\r\n"
      "[DEVICES]\r\nCOM3=sim\r\n");
  LoadPortSettings();
  EXPECT_EQ(IniTrace, 1);
  EXPECT_EQ(WakeLineFor(IniWakeLine), TWakeLine::Break);
  // The port in use (COM2, by default /dev/ttyUSB1) already leads there: nothing is written.
  const QByteArray before = config.ReadIni();
  ASSERT_TRUE(ChooseDiagnosticDevice("/dev/ttyUSB1"));
  EXPECT_EQ(config.ReadIni(), before);
  // A COM name that maps to the device is taken; the others get the entry of the port in use.
  ASSERT_TRUE(ChooseDiagnosticDevice("sim"));
  EXPECT_EQ(IniPort, 2);
  const QString byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  ASSERT_TRUE(ChooseDiagnosticDevice(byId));
  EXPECT_EQ(IniPort, 2);
  EXPECT_EQ(PortDeviceName("COM3"), byId);
  EXPECT_EQ(config.ReadIni(),
            "; mine\r\n[COMM]\r\nPORT=2\r\nPAR=2\r\nL-LINE=2\r\nTRACE=1\r\n[DEVICES]\r\nCOM3=" +
                byId.toLatin1() + "\r\n");
  // Written back at the end as chosen; TRACE is never written by the program.
  SavePortSettings();
  EXPECT_TRUE(config.ReadIni().contains("PORT=2\r\nPAR=2\r\nL-LINE=2\r\nTRACE=1\r\n"));
  EXPECT_EQ(WakeLineFor(0), TWakeLine::Dtr);
  EXPECT_EQ(WakeLineFor(1), TWakeLine::Rts);
  EXPECT_EQ(WakeLineFor(7), TWakeLine::Rts);
}
