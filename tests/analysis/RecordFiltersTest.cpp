// The filters of the fuel correction, each on a hand-made log: what it removes, that it
// counts it, and that everything else passes.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/RecordFilters.h"

namespace {

// A warm engine cruising steadily at 2000 rpm, 3 ms, 20 % throttle; a record every 0.1 s;
// the O2 voltage 0.53 (AFR 14.7 on the default line).
std::vector<LiveRecord> Cruise(int n) {
  std::vector<LiveRecord> log;
  for (int i = 0; i < n; ++i) {
    LiveRecord r{};
    r[kTime] = i * 0.1;
    r[kRPM] = 2000;
    r[kLOAD] = 3;
    r[kPW] = 3;
    r[kO2] = 0.53;
    r[kTPS] = 20;
    r[kCLT] = 90;
    log.push_back(r);
  }
  return log;
}

// The filters without the sensor delay, and with a half-second steady window.
TRecordFilters NoDelay() {
  TRecordFilters f;
  f.delay = false;
  f.steadySeconds = 0.5;
  return f;
}

TFilteredRecords Filtered(const std::vector<LiveRecord>& log, const TRecordFilters& f = NoDelay(),
                          const TO2Sensor& sensor = {}) {
  return FilterRecords(log.data(), static_cast<int64_t>(log.size()), f, sensor);
}

int64_t Total(const TFilteredRecords& out) {
  int64_t n = out.kept;
  for (int64_t r : out.removed) n += r;
  return n;
}

}  // namespace

TEST(RecordFilters, ASteadyWarmCruiseAllPassesAndEveryRecordIsCountedOnce) {
  const auto log = Cruise(50);
  const TFilteredRecords out = Filtered(log);
  EXPECT_EQ(out.kept, 50);
  EXPECT_NEAR(out.afr[10], 14.7, 1e-9);
  EXPECT_EQ(Total(out), 50);
  EXPECT_EQ(RecordFilterOfName("steady"), TRecordFilter::Steady);
  EXPECT_EQ(RecordFilterOfName("sensor"), TRecordFilter::SensorEnds);
  EXPECT_FALSE(RecordFilterOfName("fast").has_value());
}

TEST(RecordFilters, ColdEngineIsRemovedUntilTheCoolantPassesTheThreshold) {
  auto log = Cruise(40);
  for (int i = 0; i < 40; ++i) log[static_cast<size_t>(i)][kCLT] = 40 + i;  // 40 .. 79 degrees
  TFilteredRecords out = Filtered(log);
  EXPECT_EQ(out.Removed(TRecordFilter::Warm), 31);  // up to 70 included
  EXPECT_TRUE(std::isnan(out.afr[30]));
  EXPECT_FALSE(std::isnan(out.afr[31]));
  TRecordFilters off = NoDelay();
  off.warm = false;
  EXPECT_EQ(Filtered(log, off).kept, 40);
}

TEST(RecordFilters, ATransientRemovesTheWindowBeforeAndAfterIt) {
  // A throttle blip at record 20 (t = 2.0 s): 20 -> 40 % for one record. With a 0.5 s window
  // the records from 1.5 s to 2.5 s see it: 11 records; a load step the same way.
  auto log = Cruise(60);
  log[20][kTPS] = 40;
  TFilteredRecords out = Filtered(log);
  EXPECT_EQ(out.Removed(TRecordFilter::Steady), 11);
  EXPECT_TRUE(std::isnan(out.afr[15]));
  EXPECT_TRUE(std::isnan(out.afr[25]));
  EXPECT_FALSE(std::isnan(out.afr[14]));
  EXPECT_FALSE(std::isnan(out.afr[26]));
  // A slow throttle drift under the limit within the window passes.
  log = Cruise(60);
  for (int i = 0; i < 60; ++i) log[static_cast<size_t>(i)][kTPS] = 20 + i * 0.15;
  EXPECT_EQ(Filtered(log).Removed(TRecordFilter::Steady), 0);
  // Load: a 20 % step at 4.0 s.
  log = Cruise(60);
  for (size_t i = 40; i < 60; ++i) log[i][kLOAD] = 3.6;
  out = Filtered(log);
  EXPECT_EQ(out.Removed(TRecordFilter::Steady), 10);  // 3.5 .. 3.9 s and 4.0 .. 4.4 s
}

TEST(RecordFilters, OverrunIsFuelCutOrAClosedThrottleAboveIdle) {
  auto log = Cruise(30);
  for (size_t i = 0; i < 10; ++i) log[i][kPW] = 0;  // fuel cut
  for (size_t i = 10; i < 20; ++i) {
    log[i][kTPS] = 0.5;  // closed throttle at 2000 rpm
  }
  for (size_t i = 20; i < 30; ++i) {
    log[i][kTPS] = 0.5;  // closed throttle at idle: the idle cells count
    log[i][kRPM] = 850;
  }
  TRecordFilters f = NoDelay();
  f.steady = false;
  const TFilteredRecords out = Filtered(log, f);
  EXPECT_EQ(out.Removed(TRecordFilter::Overrun), 20);
  EXPECT_EQ(out.kept, 10);
  EXPECT_FALSE(std::isnan(out.afr[25]));
}

TEST(RecordFilters, SensorAtOrBeyondItsLineEndsIsRemovedAndOtherKindsRead) {
  auto log = Cruise(20);
  log[3][kO2] = 1.0;   // at the rich end: the sensor's ceiling
  log[4][kO2] = 0.0;   // at the lean end (overrun air, a cold sensor)
  log[5][kO2] = -0.2;  // beyond
  log[6][kO2] = NAN;
  TFilteredRecords out = Filtered(log);
  EXPECT_EQ(out.Removed(TRecordFilter::SensorEnds), 4);
  // A line set by two points, 0.5 V at 10 and 4.5 V at 20 (a 0-5 V controller output).
  const TO2Sensor line{TO2Sensor::Kind::Line, 0.5, 10, 4.5, 20};
  log = Cruise(10);
  log[0][kO2] = 2.5;
  log[1][kO2] = 4.6;
  out = Filtered(log, NoDelay(), line);
  EXPECT_DOUBLE_EQ(out.afr[0], 15);
  EXPECT_EQ(out.Removed(TRecordFilter::SensorEnds), 1);
  EXPECT_NEAR(out.afr[2], 10.075, 1e-9);  // 0.53 V: just above the line's rich end
  // The ratio itself, and lambda, from the channel.
  log = Cruise(3);
  log[0][kO2] = 13.2;
  EXPECT_DOUBLE_EQ(Filtered(log, NoDelay(), {TO2Sensor::Kind::Afr}).afr[0], 13.2);
  log[0][kO2] = 0.9;
  EXPECT_NEAR(Filtered(log, NoDelay(), {TO2Sensor::Kind::Lambda}).afr[0], 13.23, 1e-9);
  log[0][kO2] = 0;
  EXPECT_EQ(Filtered(log, NoDelay(), {TO2Sensor::Kind::Lambda}).Removed(TRecordFilter::SensorEnds),
            1);
}

TEST(RecordFilters, DelayReadsTheMixtureLaterAndDropsWhatTheLogNoLongerHolds) {
  // The mixture turns rich at 2.0 s; the sensor reports it 0.25 s later. Read with that delay
  // the record at 2.0 s sees the richer mixture, the one at 1.9 s half of it (the reading
  // lies between two records), the one at 1.8 s none.
  auto log = Cruise(40);
  for (size_t i = 22; i < 40; ++i) log[i][kO2] = 0.63;  // 13.7 from 2.2 s on
  TRecordFilters f = NoDelay();
  f.delay = true;
  f.delaySeconds = 0.25;
  TFilteredRecords out = Filtered(log, f);
  EXPECT_NEAR(out.afr[19], 14.2, 1e-9);
  EXPECT_NEAR(out.afr[18], 14.7, 1e-9);
  EXPECT_NEAR(out.afr[20], 13.7, 1e-9);
  EXPECT_NEAR(out.afr[out.afr.size() - 4], 13.7, 1e-9);
  // The last records have no reading 0.25 s later.
  EXPECT_EQ(out.Removed(TRecordFilter::Delay), 3);
  // Nor has a record before a pause of the logger.
  log = Cruise(40);
  for (size_t i = 20; i < 40; ++i) log[i][kTime] += 5;
  out = Filtered(log, f);
  EXPECT_EQ(out.Removed(TRecordFilter::Delay), 3 + 3);
}
