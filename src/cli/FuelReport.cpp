#include "cli/FuelReport.h"

#include <cmath>

#include "cli/TableReport.h"
#include "common/DecimalText.h"
#include "common/Numbers.h"

namespace {

std::string Num(double v) {
  return ReportNumber(v);
}

std::string JsonNum(double v) {
  return ReportJsonNumber(v);
}

const char* OutcomeName(TCellOutcome o) {
  switch (o) {
    case TCellOutcome::NoData:
      return "no-data";
    case TCellOutcome::FewData:
      return "few-data";
    case TCellOutcome::Locked:
      return "locked";
    case TCellOutcome::Deadband:
      return "deadband";
    case TCellOutcome::Kept:
      return "kept";
    case TCellOutcome::Changed:
      return "changed";
  }
  return "";
}

// Rows from the highest table row down (loads ascending from the top of the JSON array,
// as the other commands print maps).
template <typename Cell>
std::string JsonGrid(const TFuelCorrection& fc, Cell&& cell) {
  std::string out = "[";
  for (int row = fc.rows - 1; row >= 0; --row) {
    out += "[";
    for (int col = 0; col < fc.cols; ++col) out += (col ? "," : "") + cell(fc.Index(col, row));
    out += row ? "]," : "]";
  }
  return out + "]";
}

std::string JsonAxis(const std::vector<std::optional<double>>& axis, bool reversed) {
  std::string out = "[";
  for (size_t k = 0; k < axis.size(); ++k)
    out += (k ? "," : "") + JsonNum(*axis[reversed ? axis.size() - 1 - k : k]);
  return out + "]";
}

std::string Bool(bool b) {
  return b ? "true" : "false";
}

std::string FilterCounts(const TFuelCorrection& fc) {
  std::string out;
  for (int k = 0; k < kRecordFilterCount; ++k)
    out += std::string(k ? ", " : "") + RecordFilterName(static_cast<TRecordFilter>(k)) + " " +
           std::to_string(fc.removed[static_cast<size_t>(k)]);
  return out;
}

}  // namespace

std::string ReportNumber(double v) {
  return std::isfinite(v) ? FloatToStdString(v, '.') : std::string("-");
}

std::string ReportJsonNumber(double v) {
  return std::isfinite(v) ? FloatToStdString(v, '.') : std::string("null");
}

void TextGrid(std::string& out, const std::string& title, const TMapAxes& axes,
              const std::function<std::string(int col, int row)>& cell) {
  out += title + "\n" + "ms\\rpm   ";
  for (const auto& h : axes.rpm)
    out += std::string(9 - std::min<size_t>(8, Num(*h).size()), ' ') + Num(*h);
  out += '\n';
  for (int row = axes.Rows() - 1; row >= 0; --row) {
    const std::string label = Num(*axes.load[static_cast<size_t>(row)]);
    out += label + std::string(label.size() < 9 ? 9 - label.size() : 1, ' ');
    for (int col = 0; col < axes.Cols(); ++col) {
      const std::string text = cell(col, row);
      out += std::string(text.size() < 9 ? 9 - text.size() : 1, ' ') + text;
    }
    out += '\n';
  }
  out += '\n';
}

std::string FuelReportText(const TFuelCorrectionInput& in, const TFuelCorrection& fc,
                           const TFuelReportSettings& s) {
  if (fc.Refused()) return fc.refusal.toStdString() + "\n";
  const TRecordFilters& f = in.filters;
  std::string out = "Fuel correction of image " + s.image + ": " + std::to_string(fc.used) +
                    " of " + std::to_string(fc.records) + " records used (" +
                    std::to_string(fc.beyond) +
                    " beyond the map's axes); removed: " + FilterCounts(fc) + "\n";
  out += "Settings: target " +
         (s.targetTable.empty() ? "AFR " + Num(in.targetAfr) : "table " + s.targetTable) +
         ", step " + Num(in.maxStep * 100) + " %, authority " + Num(in.authority * 100) +
         " %, min weight " + Num(in.minWeight) + ", sensor " + s.sensor + ", delay " +
         (f.delay ? Num(f.delaySeconds) : std::string("off")) + " s, min CLT " +
         (f.warm ? Num(f.minCoolant) : std::string("off")) + ", steady " +
         (f.steady ? "on" : "off") + ", overrun " + (f.overrun ? "on" : "off") + ", sensor ends " +
         (f.sensorEnds ? "on" : "off") + ", locked cells " + std::to_string(s.locked) + "\n\n";
  TextGrid(out, "Weight per fuel map cell", in.axes, [&](int col, int row) {
    return Num(RoundToDecimals(fc.weight[fc.Index(col, row)], 1));
  });
  TextGrid(out, "Proposed part-load fuel map (* marks a change)", in.axes, [&](int col, int row) {
    const size_t i = fc.Index(col, row);
    return (fc.changed[i] ? "*" : "") + Num(fc.proposed[i]);
  });
  return out + std::to_string(fc.ChangedCount()) + " cells change.\n";
}

std::string FuelReportJson(const TFuelCorrectionInput& in, const TFuelCorrection& fc,
                           const TFuelReportSettings& s) {
  const TRecordFilters& f = in.filters;
  std::string out = "\"image\":" + JsonString(s.image);
  out += ",\"settings\":{\"target\":" + JsonNum(in.targetAfr) +
         ",\"targetTable\":" + (s.targetTable.empty() ? "null" : JsonString(s.targetTable)) +
         ",\"step\":" + JsonNum(in.maxStep * 100) +
         ",\"authority\":" + JsonNum(in.authority * 100) +
         ",\"minWeight\":" + JsonNum(in.minWeight) + ",\"sensor\":" + JsonString(s.sensor) +
         ",\"delay\":" + JsonNum(f.delay ? f.delaySeconds : 0) +
         ",\"minClt\":" + JsonNum(f.minCoolant) +
         ",\"lock\":" + (s.lockFile.empty() ? "null" : JsonString(s.lockFile)) +
         ",\"locked\":" + std::to_string(s.locked) + ",\"filters\":{\"warm\":" + Bool(f.warm) +
         ",\"steady\":" + Bool(f.steady) + ",\"overrun\":" + Bool(f.overrun) +
         ",\"sensor\":" + Bool(f.sensorEnds) + ",\"delay\":" + Bool(f.delay) + "}}";
  out += ",\"filters\":{\"removed\":{";
  for (int k = 0; k < kRecordFilterCount; ++k)
    out += std::string(k ? "," : "") + "\"" + RecordFilterName(static_cast<TRecordFilter>(k)) +
           "\":" + std::to_string(fc.removed[static_cast<size_t>(k)]);
  out += "},\"used\":" + std::to_string(fc.used) + ",\"beyond\":" + std::to_string(fc.beyond) + "}";
  out += ",\"fuel\":{";
  if (fc.Refused()) return out + "\"refusal\":" + JsonString(fc.refusal.toStdString()) + "}";
  out += "\"targetAfr\":" + JsonNum(in.targetAfr) + ",\"maxStep\":" + JsonNum(in.maxStep) +
         ",\"rpm\":" + JsonAxis(in.axes.rpm, false) + ",\"load\":" + JsonAxis(in.axes.load, true);
  out += ",\"current\":" + JsonGrid(fc, [&in](size_t i) { return JsonNum(in.current[i]); });
  out += ",\"proposed\":" + JsonGrid(fc, [&fc](size_t i) { return JsonNum(fc.proposed[i]); });
  out += ",\"measuredAfr\":" +
         JsonGrid(fc, [&fc](size_t i) { return JsonNum(RoundToDecimals(fc.measuredAfr[i], 2)); });
  out += ",\"target\":" + JsonGrid(fc, [&fc](size_t i) { return JsonNum(fc.target[i]); });
  out += ",\"weight\":" +
         JsonGrid(fc, [&fc](size_t i) { return JsonNum(RoundToDecimals(fc.weight[i], 3)); });
  out += ",\"hits\":" + JsonGrid(fc, [&fc](size_t i) { return std::to_string(fc.counts[i]); });
  out += ",\"outcome\":" + JsonGrid(fc, [&fc](size_t i) {
           return std::string("\"") + OutcomeName(fc.outcome[i]) + "\"";
         });
  return out + ",\"changed\":" + std::to_string(fc.ChangedCount()) + "}";
}
