#include "image/FillerSum.h"

#include <QCoreApplication>
#include <algorithm>

#include "image/ImageRegions.h"

namespace {

constexpr int64_t kShortestRun = 16;

// The difference the two bytes must take back, as a signed number of units.
int Difference(uint16_t loaded, uint16_t edited) {
  return static_cast<int16_t>(static_cast<uint16_t>(loaded - edited));
}

}  // namespace

uint16_t ImageSum16(const std::vector<uint8_t>& image) {
  uint32_t sum = 0;
  for (const uint8_t b : image) sum += b;
  return static_cast<uint16_t>(sum & 0xFFFF);
}

std::optional<TFillerBytes> FindFillerBytes(const std::vector<uint8_t>& loaded,
                                            const std::vector<uint8_t>& edited,
                                            const TModelConfig& config, QString& why) {
  const int difference = Difference(ImageSum16(loaded), ImageSum16(edited));
  const std::vector<TImageRegion> regions = ImageRegions(config);
  const auto size = static_cast<int64_t>(std::min(loaded.size(), edited.size()));
  const auto fits = [&](int64_t first, int64_t end) {
    return std::none_of(regions.begin(), regions.end(),
                        [&](const TImageRegion& r) { return first < r.End() && r.address < end; });
  };
  bool anyRun = false;
  for (int64_t first = 0; first < size;) {
    const uint8_t fill = edited[static_cast<size_t>(first)];
    int64_t end = first;
    while (end < size && edited[static_cast<size_t>(end)] == fill &&
           loaded[static_cast<size_t>(end)] == fill)
      ++end;
    if (end == first) end = first + 1;
    if ((fill == 0x00 || fill == 0xFF) && end - first >= kShortestRun && fits(first, end)) {
      anyRun = true;
      // The pair's new values: their old sum plus the difference, within 0..510.
      const int total = 2 * fill + difference;
      if (total >= 0 && total <= 2 * 0xFF) {
        TFillerBytes bytes;
        bytes.address = first + (end - first) / 2 - 1;
        bytes.before = {fill, fill};
        bytes.after = {static_cast<uint8_t>((total + 1) / 2), static_cast<uint8_t>(total / 2)};
        return bytes;
      }
    }
    first = end;
  }
  why = anyRun ? QCoreApplication::translate(
                     "FillerSum",
                     "Сумма прошивки изменилась на %1: два байта заполнителя не могут её вернуть")
                     .arg(-difference)
               : QCoreApplication::translate(
                     "FillerSum",
                     "В прошивке нет заполнителя (16 байт 0xFF или 0x00 подряд вне "
                     "таблиц), чтобы сохранить её сумму");
  return std::nullopt;
}

void ApplyFillerBytes(std::vector<uint8_t>& image, const TFillerBytes& bytes) {
  image.at(static_cast<size_t>(bytes.address)) = bytes.after[0];
  image.at(static_cast<size_t>(bytes.address) + 1) = bytes.after[1];
}
