#include "analysis/RecordFilters.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {
constexpr const char* kNames[kRecordFilterCount] = {"stretch", "warm",  "steady",
                                                    "overrun", "delay", "sensor"};

// Records further apart than this are a pause of the logger, not a stretch of driving.
constexpr double kLongestGap = 1.0;

// Indices of records in a window, their values falling (or rising) from the front: the
// front holds the window's largest (smallest) value. Every index enters once and leaves
// once, so the storage is one array the size of the log.
class MonotonicQueue {
 public:
  MonotonicQueue(const LiveRecord* records, LiveSlot slot, bool highest, int64_t count)
      : fRecords(records), fSlot(slot), fHighest(highest), fIndex(static_cast<size_t>(count)) {}
  void Push(int64_t i) {
    const double v = fRecords[i][fSlot];
    while (fTail > fHead && Dominated(fRecords[fIndex[fTail - 1]][fSlot], v)) --fTail;
    fIndex[fTail++] = i;
  }
  void PopBefore(int64_t left) {
    if (fTail > fHead && fIndex[fHead] < left) ++fHead;
  }
  bool Empty() const { return fTail == fHead; }
  double Front() const { return fRecords[fIndex[fHead]][fSlot]; }

 private:
  bool Dominated(double old, double v) const { return fHighest ? old <= v : old >= v; }
  const LiveRecord* fRecords;
  LiveSlot fSlot;
  bool fHighest;
  std::vector<int64_t> fIndex;
  size_t fHead = 0, fTail = 0;
};

// (max - min) of one channel over the records whose time lies within `seconds` of each
// record's, in one pass.
std::vector<double> WindowSpread(const LiveRecord* records, int64_t count, LiveSlot slot,
                                 double seconds) {
  std::vector<double> spread(static_cast<size_t>(count), 0);
  MonotonicQueue high(records, slot, true, count), low(records, slot, false, count);
  int64_t right = 0, left = 0;
  for (int64_t i = 0; i < count; ++i) {
    const double t = records[i][kTime];
    for (; right < count && records[right][kTime] <= t + seconds; ++right) {
      high.Push(right);
      low.Push(right);
    }
    for (; left < i && records[left][kTime] < t - seconds; ++left) {
      high.PopBefore(left + 1);
      low.PopBefore(left + 1);
    }
    // A log stepping back in time leaves the record alone in its window.
    if (high.Empty() || low.Empty()) continue;
    spread[static_cast<size_t>(i)] = high.Front() - low.Front();
  }
  return spread;
}

// The O2 reading `delay` seconds after record i, between the two records around that time;
// none when the log ends first. `j` moves forward with i.
std::optional<double> DelayedReading(const LiveRecord* records, int64_t count, int64_t i,
                                     double delay, int64_t& j) {
  if (delay <= 0) return records[i][kO2];
  const double t = records[i][kTime] + delay;
  if (j < i) j = i;
  while (j < count && records[j][kTime] < t) ++j;
  if (j >= count) return std::nullopt;
  const LiveRecord& b = records[j];
  if (j == i || b[kTime] == t) return b[kO2];
  const LiveRecord& a = records[j - 1];
  // A pause in the log: what the sensor read then was not logged.
  if (b[kTime] - a[kTime] > kLongestGap) return std::nullopt;
  const double share = (t - a[kTime]) / (b[kTime] - a[kTime]);
  return a[kO2] + share * (b[kO2] - a[kO2]);
}
}  // namespace

const char* RecordFilterName(TRecordFilter filter) {
  return kNames[static_cast<size_t>(filter)];
}

std::optional<TRecordFilter> RecordFilterOfName(const char* name) {
  for (int k = 0; k < kRecordFilterCount; ++k)
    if (std::strcmp(name, kNames[k]) == 0) return static_cast<TRecordFilter>(k);
  return std::nullopt;
}

bool TO2Sensor::Valid() const {
  if (kind != Kind::Line) return true;
  return std::isfinite(volts1) && std::isfinite(volts2) && volts1 != volts2 && afr1 > 0 &&
         afr2 > 0 && std::isfinite(afr1) && std::isfinite(afr2) && afr1 != afr2;
}

double TO2Sensor::AfrAt(double reading) const {
  switch (kind) {
    case Kind::Afr:
      return reading;
    case Kind::Lambda:
      return reading * kStoichiometricAfr;
    case Kind::Line:
      break;
  }
  return afr1 + (afr2 - afr1) * (reading - volts1) / (volts2 - volts1);
}

bool TO2Sensor::AtEnds(double reading) const {
  if (!std::isfinite(reading)) return true;
  if (kind != Kind::Line) return !(reading > 0);
  const double low = std::min(volts1, volts2), high = std::max(volts1, volts2);
  // Within a thousandth of the span of an end counts as at the end: a logger's rounding.
  const double margin = (high - low) * 1e-3;
  return reading <= low + margin || reading >= high - margin;
}

TFilteredRecords FilterRecords(const LiveRecord* records, int64_t count, const TRecordFilters& f,
                               const TO2Sensor& sensor) {
  TFilteredRecords out;
  out.afr.assign(static_cast<size_t>(count), std::numeric_limits<double>::quiet_NaN());
  std::vector<double> tpsSpread, loadSpread;
  if (f.steady) {
    tpsSpread = WindowSpread(records, count, kTPS, f.steadySeconds);
    loadSpread = WindowSpread(records, count, kLOAD, f.steadySeconds);
  }
  int64_t later = 0;
  for (int64_t i = 0; i < count; ++i) {
    const LiveRecord& r = records[i];
    const auto k = static_cast<size_t>(i);
    auto remove = [&out](TRecordFilter which) { ++out.removed[static_cast<size_t>(which)]; };
    if ((f.timeFrom && !(r[kTime] >= *f.timeFrom)) || (f.timeTo && !(r[kTime] <= *f.timeTo))) {
      remove(TRecordFilter::Stretch);
    } else if (f.warm && !(r[kCLT] > f.minCoolant)) {
      remove(TRecordFilter::Warm);
    } else if (f.steady && !(tpsSpread[k] < f.maxTpsChange &&
                             loadSpread[k] <= f.maxLoadChange * std::fabs(r[kLOAD]))) {
      remove(TRecordFilter::Steady);
    } else if (f.overrun &&
               (r[kPW] <= f.minInjection || (r[kTPS] <= f.closedThrottle && r[kRPM] > f.idleRpm))) {
      remove(TRecordFilter::Overrun);
    } else {
      const std::optional<double> reading =
          DelayedReading(records, count, i, f.delay ? f.delaySeconds : 0, later);
      if (!reading) {
        remove(TRecordFilter::Delay);
      } else if ((f.sensorEnds && sensor.AtEnds(*reading)) || !(sensor.AfrAt(*reading) > 0)) {
        remove(TRecordFilter::SensorEnds);
      } else {
        out.afr[k] = sensor.AfrAt(*reading);
        ++out.kept;
      }
    }
  }
  return out;
}
