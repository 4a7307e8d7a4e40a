#include <gtest/gtest.h>

#include <ctime>

#include "SimTestSupport.h"
#include "link/ScanUtils.h"
#include "sim/SimSerialDevice.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Reads what comes within `ms`, as the adapter port's poller would.
Bytes ReadFor(SerialDevice& device, int ms) {
  Bytes bytes;
  const int64_t end = NowMs() + ms;
  while (NowMs() < end) {
    if (!device.waitReadable(5)) continue;
    for (int b; (b = device.readByte()) >= 0;) bytes.push_back(static_cast<uint8_t>(b));
  }
  return bytes;
}

// The image read as the window's read command does it: RTS around "r", then characters
// until the third CTS change. `ctsSeen` counts the level changes a poller sees; they are
// as far apart as the adapter settings say, so a poller slower than that may miss some.
struct ImageRead {
  Bytes bytes;
  int ctsSeen = 0;
  int64_t ctsChanges = 0;  // the device's own count
};
ImageRead ReadImage(SerialDevice& device, int waitMs) {
  ImageRead read;
  device.setRTS(true);
  SleepMs(1);
  device.writeByte('r');
  SleepMs(1);
  device.setRTS(false);
  int cts = device.cts();
  const int64_t end = NowMs() + waitMs;
  const int64_t before = device.ctsChanges();
  while (device.ctsChanges() - before < 3 && NowMs() < end) {
    device.waitReadable(2);
    for (int b; (b = device.readByte()) >= 0;) read.bytes.push_back(static_cast<uint8_t>(b));
    const int now = device.cts();
    if (now != cts) ++read.ctsSeen;
    cts = now;
  }
  read.ctsChanges = device.ctsChanges() - before;
  return read;
}

class SimDeviceTest : public ::testing::Test, public SimFixture {};

TEST_F(SimDeviceTest, TheKLineEchoesEveryByteWhileDtrIsSet) {
  auto device = OpenSimulatorDevice(sim);
  ASSERT_TRUE(device);
  EXPECT_EQ(sim->OpenDevices(), 1);
  device->setDTR(true);
  for (const uint8_t b : {0x00, 0x7E, 0xFF, 0x03}) {
    ASSERT_TRUE(device->writeByte(b));
    ASSERT_TRUE(device->waitReadable(500));
    EXPECT_EQ(device->readByte(), b);
  }
  EXPECT_EQ(device->readByte(), -1);
  EXPECT_TRUE(device->close());
  EXPECT_EQ(sim->OpenDevices(), 0);
}

TEST_F(SimDeviceTest, WaitingForTheSilentUnitCostsNoProcessorTime) {
  ASSERT_TRUE(Comm::OpenPort(0, 100, 100));
  ScanUtils::CurrentPort = 0;
  ScanUtils::Cancelled = false;
  timespec a{}, b{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
  uint8_t byte = 0;
  const int64_t t0 = NowMs();
  EXPECT_FALSE(ScanUtils::ReceiveByte(byte, 300));
  EXPECT_GE(NowMs() - t0, 300);
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
  const double cpuMs = (b.tv_sec - a.tv_sec) * 1e3 + (b.tv_nsec - a.tv_nsec) / 1e6;
  EXPECT_LT(cpuMs, 60.0) << "a busy wait would take the whole 300 ms";
}

TEST_F(SimDeviceTest, TheAdapterStreamsTheImageAndThenChangesCtsThreeTimes) {
  Bytes image(Simulator::kImageSize);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + i / 256);
  sim->SetImage(image);
  auto device = OpenSimulatorDevice(sim);
  const ImageRead read = ReadImage(*device, 30000);
  EXPECT_EQ(read.ctsChanges, 3);
  EXPECT_EQ(read.ctsSeen, 3) << "40 ms apart, a poller sees every change";
  ASSERT_EQ(read.bytes.size(), 32769u);
  EXPECT_EQ(Bytes(read.bytes.begin() + 1, read.bytes.end()), image);
  EXPECT_EQ(device->ctsChanges(), 3);
}

TEST_F(SimDeviceTest, ShortLongAndSilentImageStreamsCanBeInjected) {
  Adapter([](SimAdapterSettings& a) {
    a.ctsIntervalUs = 5000;
    a.streamLength = 32768;
  });
  auto device = OpenSimulatorDevice(sim);
  EXPECT_EQ(ReadImage(*device, 5000).bytes.size(), 32768u);

  Adapter([](SimAdapterSettings& a) { a.streamLength = 524289; });
  const ImageRead longRead = ReadImage(*device, 60000);
  EXPECT_EQ(longRead.bytes.size(), 524289u);
  EXPECT_EQ(longRead.ctsChanges, 3);

  Adapter([](SimAdapterSettings& a) {
    a.streamLength = 32769;
    a.ctsChanges = 0;
  });
  const ImageRead silent = ReadImage(*device, 300);
  EXPECT_EQ(silent.bytes.size(), 32769u);
  EXPECT_EQ(silent.ctsChanges, 0);
}

TEST_F(SimDeviceTest, AQuickAdapterChangesCtsWithinAMillisecondBeforeItsLastCharacters) {
  // The tail is held back for a whole second, so that a test thread that a busy machine
  // lets wait does not find it already there: the order of the events is what counts here.
  Adapter([](SimAdapterSettings& a) {
    a.ctsIntervalUs = 100;
    a.ctsAfterDrain = false;
    a.lateChars = 300;
    a.lateDelayMs = 1000;
  });
  auto device = OpenSimulatorDevice(sim);
  device->setRTS(true);
  device->writeByte('r');
  device->setRTS(false);
  const int64_t end = NowMs() + 5000;
  while (device->ctsChanges() < 3 && NowMs() < end) SleepMs(1);
  ASSERT_EQ(device->ctsChanges(), 3);
  // Nothing has been read yet: the changes did not wait for the program to drain the
  // stream, and the last characters are still on their way.
  Bytes bytes;
  for (int b; (b = device->readByte()) >= 0;) bytes.push_back(static_cast<uint8_t>(b));
  EXPECT_EQ(bytes.size(), 32769u - 300u);
  // The tail follows the changes.
  Bytes late;
  const int64_t tailEnd = NowMs() + 5000;
  while (late.size() < 300 && NowMs() < tailEnd) {
    const Bytes more = ReadFor(*device, 20);
    late.insert(late.end(), more.begin(), more.end());
  }
  EXPECT_EQ(late.size(), 300u);
  EXPECT_EQ(device->ctsChanges(), 3);
}

TEST_F(SimDeviceTest, TheAdapterTakesCommandsOnlyWhileRtsIsAsserted) {
  sim->SetImage(Bytes(Simulator::kImageSize, 0x5A));
  auto device = OpenSimulatorDevice(sim);
  device->setDTR(false);
  device->setRTS(false);
  for (const uint8_t command : {uint8_t{'r'}, uint8_t{'s'}, ScanUtils::kUploadCommand})
    device->writeByte(command);
  EXPECT_TRUE(ReadFor(*device, 100).empty());
  EXPECT_EQ(sim->StoreCommands(), 0);
  EXPECT_EQ(device->ctsChanges(), 0);

  device->setRTS(true);
  device->writeByte(ScanUtils::kUploadCommand);
  EXPECT_EQ(ReadFor(*device, 50), Bytes{ScanUtils::kUploadAnswer});
  device->setRTS(false);
  EXPECT_EQ(ReadImage(*device, 5000).bytes.size(), 32769u);
}

TEST_F(SimDeviceTest, TheStoreCommandIsAnsweredWith8CAndItsTailTakenSilently) {
  auto device = OpenSimulatorDevice(sim);
  device->setRTS(true);
  device->writeByte('s');
  EXPECT_EQ(ReadFor(*device, 50), Bytes{0x8C});
  device->writeByte('o');
  device->writeByte('k');
  device->setRTS(false);
  device->writeByte(0x0D);
  EXPECT_TRUE(ReadFor(*device, 30).empty());
  EXPECT_EQ(sim->StoreCommands(), 1);

  Adapter([](SimAdapterSettings& a) { a.storeAnswer = 0x8D; });
  device->setRTS(true);
  device->writeByte('s');
  EXPECT_EQ(ReadFor(*device, 50), Bytes{0x8D});
}

TEST_F(SimDeviceTest, TheUploadOnTheCommLineIsTakenWhole) {
  Bytes file(300);
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i ^ 0x5A);
  ScanUtils::OpenLineForAdapter(0, 0, 0);
  ScanUtils::SendRaw(ScanUtils::kUploadCommand);
  ASSERT_TRUE(ScanUtils::AdapterHandshake(2000));
  for (const uint8_t b : file) ScanUtils::SendRaw(b);
  ScanUtils::SetLineIdle(0);
  ScanUtils::CloseLine();
  Bytes expected{0x6F, 0x6B};
  expected.insert(expected.end(), file.begin(), file.end());
  EXPECT_EQ(sim->Uploaded(), expected);
  EXPECT_EQ(sim->OpenDevices(), 0);
}

TEST_F(SimDeviceTest, AnAdapterAnswering8EFailsTheHandshakeAndNothingFollows) {
  Adapter([](SimAdapterSettings& a) { a.uploadAnswer = 0x8E; });
  ScanUtils::OpenLineForAdapter(0, 0, 0);
  ScanUtils::SendRaw(ScanUtils::kUploadCommand);
  EXPECT_FALSE(ScanUtils::AdapterHandshake(2000));
  ScanUtils::SetLineIdle(0);
  ScanUtils::CloseLine();
  EXPECT_EQ(ProgramBytes(), Bytes{0x70});
  EXPECT_TRUE(sim->Uploaded().empty());
}

TEST_F(SimDeviceTest, AnUnpluggedDeviceFailsEveryCallAndCannotBeOpened) {
  auto device = OpenSimulatorDevice(sim);
  sim->Unplug();
  EXPECT_FALSE(device->setDTR(true));
  EXPECT_FALSE(device->setRTS(true));
  EXPECT_FALSE(device->setLineSettings(19200, 0, 0, 8));
  EXPECT_FALSE(device->writeByte(1));
  EXPECT_EQ(device->readByte(), -1);
  EXPECT_EQ(device->cts(), -1);
  EXPECT_FALSE(device->purgeInput());
  const int64_t t0 = NowMs();
  EXPECT_FALSE(device->waitReadable(20));
  EXPECT_GE(NowMs() - t0, 19) << "no spinning on a pulled device";
  EXPECT_FALSE(OpenSimulatorDevice(sim));
  EXPECT_FALSE(Comm::OpenPort(0, 100, 100));
  EXPECT_FALSE(device->close());
  EXPECT_EQ(sim->OpenDevices(), 0);
  sim->Replug();
  EXPECT_TRUE(Comm::OpenPort(0, 100, 100));
}

TEST_F(SimDeviceTest, OneSimulatorServesTheKLineAndTheAdapterPortAtOnce) {
  sim->SetFaultCodes({5});
  ScanUtils::OpenLine(0, 0, 0);
  auto adapterPort = OpenSimulatorDevice(sim);
  Adapter([](SimAdapterSettings& a) { a.ctsIntervalUs = 5000; });
  EXPECT_EQ(ReadImage(*adapterPort, 5000).bytes.size(), 32769u);
  // The diagnostic line still echoes meanwhile.
  EXPECT_TRUE(ScanUtils::SendEcho(0x42));
  ScanUtils::CloseLine();
  EXPECT_EQ(sim->OpenDevices(), 1);
}

TEST_F(SimDeviceTest, TheDemoImageIsServedWhenItIsThere) {
  const QByteArray source = qgetenv("TARVELO_SOURCE_DIR");
  const QString demo = QString::fromLocal8Bit(source) + "/data/demo.bin";
  if (source.isEmpty() || !QFile::exists(demo)) {
    EXPECT_FALSE(sim->LoadImageFile("/nonexistent/demo.bin"));
    EXPECT_EQ(sim->Image(), GeneratedImage());
    return;
  }
  ASSERT_TRUE(sim->LoadImageFile(demo));
  QFile file(demo);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.read(Simulator::kImageSize);
  EXPECT_EQ(sim->Image(), Bytes(bytes.begin(), bytes.end()));
}

}  // namespace
