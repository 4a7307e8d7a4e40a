#include "profile/AxisSearch.h"

#include <algorithm>

namespace {

// Where a real axis of each kind starts and ends.
struct TPlausible {
  double firstLow, firstHigh, lastLow, lastHigh;
};

TPlausible Bounds(TAxisKind kind) {
  switch (kind) {
    case TAxisKind::Rpm:
      return {300, 3000, 1000, 9000};
    case TAxisKind::Load:
      return {0.25, 5, 1, 12.8};
    case TAxisKind::Temperature:
      return {-45, 20, 40, 130};
  }
  return {};
}

// True when the `count` codes from `at` lie inside the image and decode to a plausible axis.
bool PlausibleAt(const std::vector<uint8_t>& image, int64_t at, TAxisKind kind, int count,
                 std::vector<double>* values) {
  if (at < 0 || count < 2 || at + count > static_cast<int64_t>(image.size())) return false;
  // Every code but the last is a gap of at least one step: a 0 among them cannot increase.
  for (int i = 0; i + 1 < count; ++i)
    if (image[static_cast<size_t>(at + i)] == 0) return false;
  std::vector<double> axis = AxisOfCodes(kind, image.data() + at, count);
  if (!PlausibleAxis(kind, axis)) return false;
  if (values) *values = std::move(axis);
  return true;
}

}  // namespace

std::vector<double> AxisOfCodes(TAxisKind kind, const uint8_t* codes, int count) {
  std::vector<double> values(static_cast<size_t>(std::max(count, 0)));
  int64_t units = kAxisUnitsTop;
  for (int i = count - 1; i >= 0; --i) {
    units = i == count - 1 ? kAxisUnitsTop - codes[i] : units - codes[i];
    values[static_cast<size_t>(i)] = AxisValueOfUnits(kind, units);
  }
  return values;
}

bool Increasing(const std::vector<double>& values) {
  for (size_t i = 1; i < values.size(); ++i)
    if (!(values[i] > values[i - 1])) return false;
  return true;
}

bool PlausibleAxis(TAxisKind kind, const std::vector<double>& values) {
  if (values.size() < 2 || !Increasing(values)) return false;
  const TPlausible b = Bounds(kind);
  return values.front() >= b.firstLow && values.front() <= b.firstHigh &&
         values.back() >= b.lastLow && values.back() <= b.lastHigh;
}

std::vector<TAxisCandidate> FindAxes(const std::vector<uint8_t>& image, TAxisKind kind, int count,
                                     size_t limit) {
  std::vector<TAxisCandidate> found;
  std::vector<double> values;
  for (int64_t at = 0; at + count <= static_cast<int64_t>(image.size()) && found.size() < limit;
       ++at)
    if (PlausibleAt(image, at, kind, count, &values)) found.push_back({at, values});
  return found;
}

const TImageRegion* FindRegion(const std::vector<TImageRegion>& regions, TImageTable table,
                               bool highPart) {
  for (const TImageRegion& region : regions)
    if (region.table == table && region.highPart == highPart) return &region;
  return nullptr;
}

std::vector<TTableCandidate> FindTableStarts(const std::vector<uint8_t>& image,
                                             const TModelConfig& config, TImageTable table,
                                             bool highPart, size_t limit) {
  const std::vector<TImageRegion> regions = ImageRegions(config);
  const TImageRegion* region = FindRegion(regions, table, highPart);
  std::vector<TTableCandidate> found;
  if (!region || region->axes.empty()) return found;
  const auto size = static_cast<int64_t>(image.size());
  for (int64_t start = 0; start + region->bytes <= size && found.size() < limit; ++start) {
    TTableCandidate candidate{start, {}};
    bool all = true;
    for (const TAxisPlace& axis : region->axes) {
      std::vector<double> values;
      all = PlausibleAt(image, start + axis.offset, axis.kind, axis.count, &values);
      if (!all) break;
      candidate.axes.push_back(std::move(values));
    }
    if (all) found.push_back(std::move(candidate));
  }
  return found;
}
