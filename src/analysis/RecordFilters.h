#pragma once
// The records a fuel correction trusts. Each filter is on by default and counts what it
// removes, so that the tuner sees what to log next: a cold engine, a throttle or load that
// moves within a window around the record, overrun (fuel cut or closed throttle above idle),
// an O2 reading at or beyond the ends of the sensor's line (a cold or failed sensor), and the
// sensor's delay (the mixture of a record is read that many seconds later; records whose
// later reading the log no longer holds are dropped).

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "telemetry/LiveRecord.h"
#include "telemetry/WideBand.h"

// The filters in the order they are tried; a record is counted by the first that removes it.
enum class TRecordFilter { Stretch, Warm, Steady, Overrun, Delay, SensorEnds };
constexpr int kRecordFilterCount = 6;
// The short names the command line and the reports use ("stretch", "warm", "steady",
// "overrun", "delay", "sensor").
const char* RecordFilterName(TRecordFilter filter);
std::optional<TRecordFilter> RecordFilterOfName(const char* name);

// How the O2 channel stands for the mixture: a voltage on a straight line through two
// points (volts at two air-fuel ratios), or the ratio itself, or lambda.
struct TO2Sensor {
  enum class Kind { Line, Afr, Lambda };
  Kind kind = Kind::Line;
  // The lambda panel's wide-band line: 1 V at AFR 10, 0 V at AFR 20.
  double volts1 = 1.0, afr1 = 10;
  double volts2 = 0.0, afr2 = 20;

  // A line needs two different voltages and two different positive ratios.
  bool Valid() const;
  double AfrAt(double reading) const;
  // A reading at or beyond the line's ends (or a ratio that is no positive number): the
  // sensor is cold, failed or out of its range, and the ratio is unknown.
  bool AtEnds(double reading) const;
  // The lambda panel's wide-band range as a line: its maximum voltage at 10, minimum at 20.
  static TO2Sensor OfWideBand(const TWideBandRange& range) {
    return {Kind::Line, range.maxVolts, kWideBandAfrRich, range.minVolts, kWideBandAfrLean};
  }
};

constexpr double kStoichiometricAfr = 14.7;

struct TRecordFilters {
  // A stretch of the log: Time within [from, to], ends included (off unless set).
  std::optional<double> timeFrom, timeTo;
  bool warm = true;
  double minCoolant = 70;  // CLT strictly above, degrees
  bool steady = true;
  // The window before and after the record: three times the wall film's settling time, so
  // that the mixture has settled after a throttle movement.
  double steadySeconds = 1.5;
  double maxTpsChange = 2.0;   // TPS (max - min) in the window strictly under, percent
  double maxLoadChange = 0.1;  // LOAD (max - min) in the window under this share of LOAD
  bool overrun = true;
  double minInjection = 0.3;    // PW at or under this is fuel cut, ms
  double closedThrottle = 1.0;  // TPS at or under this is a closed throttle, percent
  double idleRpm = 1200;        // ... which above this speed is overrun
  bool sensorEnds = true;
  bool delay = true;
  double delaySeconds = 0.2;  // the O2 of a record is read this much later
};

struct TFilteredRecords {
  // For each record the air-fuel ratio it stands for, NaN where a filter removed it.
  std::vector<double> afr;
  std::array<int64_t, kRecordFilterCount> removed{};
  int64_t kept = 0;

  int64_t Removed(TRecordFilter f) const { return removed[static_cast<size_t>(f)]; }
};

// Runs the filters over `count` records in time order.
TFilteredRecords FilterRecords(const LiveRecord* records, int64_t count,
                               const TRecordFilters& filters, const TO2Sensor& sensor);
