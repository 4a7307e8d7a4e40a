#include "image/DemoImage.h"

#include <array>
#include <functional>

#include "common/Filler.h"
#include "image/BuiltInConfig.h"
#include "image/Checksum.h"
#include "image/EfiOperator.h"

namespace {

using Codes = std::vector<uint8_t>;

// 16 RPM breakpoints shared by the part-load and full-load tables: 600, 800, 1000, 1200,
// 1600, 2000, ... 5600, 6400 rpm (each code the gap to the next in 40 rpm steps, the last
// 256 - 6400 / 40).
const Codes kRpmAxis = {5, 5, 5, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 20, 96};
// 12 load breakpoints of the part-load maps: 1, 1.5, 2, 2.5, 3, 4, ... 10 ms (in 1/20 ms).
const Codes kMainLoadAxis = {10, 10, 10, 10, 20, 20, 20, 20, 20, 20, 20, 56};
// 6 load breakpoints of the full-load ignition map: 4, 5, 6, 7, 8, 10 ms.
const Codes kFullLoadAxis = {20, 20, 20, 20, 40, 56};
// Idle tables: 640 ... 1200 rpm in 6 breakpoints, 1, 1.5, 2.5 ms in 3.
const Codes kIdleFuelRpm = {2, 2, 2, 2, 6, 226};
const Codes kIdleFuelLoad = {10, 20, 206};
// Idle ignition: 600 680 760 840 920 1000 1200 1600 rpm, 20 degrees throughout.
const Codes kIdleSparkRpm = {2, 2, 2, 2, 2, 5, 10, 216};
constexpr uint8_t kIdleSparkCode = 60;
// Warm-up: -20, 0, 40, 80 degrees C; idle at 1300, 1100, 900, 800 rpm.
const Codes kWarmUpTemp = {31, 60, 60, 86};
const Codes kWarmUpSpeed = {130, 110, 90, 80};
constexpr uint8_t kRevLimitCode = 100;  // 6500 rpm
constexpr uint8_t kCOCode = 128;        // no trim

class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& image) : fImage(image) {}
  void At(int address) { fPos = address; }
  void Put(uint8_t b) { fImage.at(static_cast<size_t>(fPos++)) = b; }
  void Put(const Codes& codes) {
    for (uint8_t b : codes) Put(b);
  }
  // The two bytes before a table and between its axes, which the program skips.
  void Gap() { Put({0, 0}); }
  // A map as the unit stores it: RPM codes, gap, load codes, values column by column.
  void Map(int address, const Codes& rpm, const Codes& load,
           const std::function<uint8_t(int row, int col)>& value) {
    At(address);
    Gap();
    Put(rpm);
    Gap();
    Put(load);
    for (int col = 1; col <= static_cast<int>(rpm.size()); ++col)
      for (int row = 1; row <= static_cast<int>(load.size()); ++row) Put(value(row, col));
  }
  // A curve: gap, then the RPM row and the value row.
  void Curve(int address, const Codes& rpm, const std::function<uint8_t(int col)>& value) {
    At(address);
    Gap();
    Put(rpm);
    for (int col = 0; col < static_cast<int>(rpm.size()); ++col) Put(value(col));
  }

 private:
  std::vector<uint8_t>& fImage;
  int fPos = 0;
};

uint8_t Byte(int v) {
  return static_cast<uint8_t>(v);
}

}  // namespace

std::vector<uint8_t> MakeDemoImage() {
  std::vector<uint8_t> image = PseudoRandomBytes(kImageSize, 0x7A2E1F05u);

  const TSData layout;
  Writer w(image);
  // Part-load fuel: about 0.90 lean at light load and low speed to 1.20 rich at full load.
  w.Map(layout.fStartMainFuelTableAddress_Lo, kRpmAxis, kMainLoadAxis,
        [](int row, int col) { return Byte(115 + (row - 1) * 26 / 11 + (col - 1) * 14 / 15); });
  // Part-load ignition: 10 to 40 degrees, rising with speed and falling with load.
  w.Map(layout.fStartMainSparkTableAddress_Lo, kRpmAxis, kMainLoadAxis,
        [](int row, int col) { return Byte(60 + (col - 1) * 26 / 15 - (row - 1) * 13 / 11); });
  // Full-load ignition: 9 to 30 degrees.
  w.Map(layout.fStartMaxSparkTableAddress, kRpmAxis, kFullLoadAxis,
        [](int row, int col) { return Byte(50 + (col - 1) * 24 / 15 - (row - 1)); });
  // Idle fuel: close to 1.00.
  w.Map(layout.fStartXXFuelTableAddress, kIdleFuelRpm, kIdleFuelLoad,
        [](int row, int col) { return Byte(124 + row * 2 + col % 2); });
  // Full-load fuel: 1.05 rising to 1.20 with speed.
  w.Curve(layout.fStartMaxFuelTableAddress, kRpmAxis,
          [](int col) { return Byte(135 + col * 20 / 15); });
  w.Curve(layout.fStartXXSparkTableAddress, kIdleSparkRpm, [](int) { return kIdleSparkCode; });
  // Warm-up idle speed: temperature row coded like an axis, speed row in 10 rpm steps.
  w.At(layout.fRPMTempCorrTableaddress);
  w.Gap();
  w.Put(kWarmUpTemp);
  w.Put(kWarmUpSpeed);
  // Air-mass meter: a rising curve of 16-bit values, low byte first.
  w.At(layout.fStartMAFAddress);
  for (int i = 0; i < layout.fMAFLength; ++i) {
    const int v = 64 + i * i - i * i / 64;
    w.Put(Byte(v & 0xFF));
    w.Put(Byte(v >> 8));
  }
  w.At(layout.fMaxRPMAddress1);
  w.Put(kRevLimitCode);
  w.At(layout.fCORegAddress);
  w.Put(kCOCode);
  // The version characters are stored last first.
  w.At(layout.fVersionAddress);
  for (int i = 9; i >= 0; --i) w.Put(Byte(kDemoVersionText[i]));
  // Last, over the finished data area: the checksum, so that the image verifies.
  TEFIOperator builtIn(false);
  builtIn.LoadDefaultConfig();
  StoreChecksum(image, builtIn, kDemoChecksumKind);
  return image;
}
