#include "cli/TableReport.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/DecimalText.h"
#include "common/ShownText.h"
#include "image/EfiOperator.h"

namespace {

std::string Num(double v) {
  return FloatToStdString(v, '.');
}

enum class Shape { Map, Curve };

struct TableView {
  const char* name;
  const char* title;
  const char* unit;
  Shape shape;
  const TFloatMatrix* table;
};

std::vector<TableView> Tables(const TEFIOperator& op, const TReportContent& content) {
  const Shape sparkMax = op.fVersion == 1 ? Shape::Curve : Shape::Map;
  std::vector<TableView> views = {
      {"fFuelMainMatrix", "Part-load fuel map", "factor", Shape::Map, &op.fFuelMainMatrix},
      {"fSparkMainMatrix", "Part-load ignition map", "degrees", Shape::Map, &op.fSparkMainMatrix},
      {"fFuelXXMatrix", "Idle fuel map", "factor", Shape::Map, &op.fFuelXXMatrix},
      {"fSparkXXMatrix", "Idle ignition curve", "degrees", Shape::Curve, &op.fSparkXXMatrix},
      {"fFuelMaxMatrix", "Full-load fuel curve", "factor", Shape::Curve, &op.fFuelMaxMatrix},
      {"fSparkMaxMatrix", "Full-load ignition", "degrees", sparkMax, &op.fSparkMaxMatrix},
  };
  if (!content.idleFuel) views.erase(views.begin() + 2);
  return views;
}

// --- Text ---

constexpr int kCell = 8;

void Cell(std::string& out, const std::string& text) {
  out += std::string(static_cast<size_t>(std::max(0, kCell - static_cast<int>(text.size()))), ' ');
  out += text;
}

void Label(std::string& out, const std::string& text) {
  out += text;
  out += std::string(static_cast<size_t>(std::max(1, 10 - static_cast<int>(text.size()))), ' ');
}

template <typename T>
void Row(std::string& out, const std::string& label, const std::vector<T>& row, size_t from) {
  Label(out, label);
  for (size_t j = from; j < row.size(); ++j) Cell(out, Num(static_cast<double>(row[j])));
  out += '\n';
}

void TextTable(std::string& out, const TableView& v) {
  const TFloatMatrix& t = *v.table;
  out += std::string(v.title) + " " + v.name + " (" + v.unit + ")\n";
  if (t.empty()) return;
  if (v.shape == Shape::Curve) {
    Row(out, "rpm", t[0], 0);
    if (t.size() > 1) Row(out, v.unit == std::string("factor") ? "factor" : "deg", t[1], 0);
    for (size_t i = 2; i < t.size(); ++i) Row(out, "row " + std::to_string(i), t[i], 0);
  } else {
    Row(out, "ms\\rpm", t[0], 1);
    for (size_t i = 1; i < t.size(); ++i) Row(out, Num(t[i][0]), t[i], 1);
  }
  out += '\n';
}

// --- JSON ---

template <typename T>
std::string JsonArray(const std::vector<T>& row, size_t from) {
  std::string out = "[";
  for (size_t j = from; j < row.size(); ++j) {
    if (j > from) out += ',';
    out += Num(static_cast<double>(row[j]));
  }
  return out + "]";
}

std::string JsonTable(const TableView& v) {
  const TFloatMatrix& t = *v.table;
  std::string out = std::string("{\"unit\":") + JsonString(v.unit);
  if (t.empty()) return out + "}";
  if (v.shape == Shape::Curve) {
    out += ",\"rpm\":" + JsonArray(t[0], 0);
    out += ",\"values\":" + (t.size() > 1 ? JsonArray(t[1], 0) : std::string("[]"));
    if (t.size() > 2) {
      out += ",\"extraRows\":[";
      for (size_t i = 2; i < t.size(); ++i) {
        if (i > 2) out += ',';
        out += JsonArray(t[i], 0);
      }
      out += "]";
    }
  } else {
    std::vector<double> load;
    for (size_t i = 1; i < t.size(); ++i) load.push_back(t[i][0]);
    out += ",\"rpm\":" + JsonArray(t[0], 1) + ",\"load\":" + JsonArray(load, 0) + ",\"values\":[";
    for (size_t i = 1; i < t.size(); ++i) {
      if (i > 1) out += ',';
      out += JsonArray(t[i], 1);
    }
    out += "]";
  }
  return out + "}";
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  auto escaped = [&out](unsigned code) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
    out += buffer;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto u = static_cast<unsigned char>(c);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7f) {
      escaped(u);
    } else if (u == 0xc2 && next >= 0x80 && next <= 0x9f) {
      // A C1 control character (U+0080 .. U+009F) in UTF-8: terminals act on some of them.
      escaped(next);
      ++i;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string TextReport(const TEFIOperator& op, const TReportContent& content) {
  std::string out;
  out += "Version: " + EscapeControls(op.fVersionText).toStdString() + "\n";
  out += "Layout variant (fVersion): " + std::to_string(op.fVersion) + "\n";
  out += "Rev limit: " + std::to_string(op.fMaxRPM) + " rpm\n";
  if (content.coTrim)
    out += "CO trim code: " + std::to_string(op.fCOReg) + " (trim " +
           std::to_string(int{op.fCOReg} - 128) + ")\n";
  out += "Maps: first row rpm, first column load in ms, load ascending.\n\n";
  for (const TableView& v : Tables(op, content)) TextTable(out, v);
  if (!op.fRPMTempCorrTable.empty()) {
    out += "Warm-up idle speed fRPMTempCorrTable\n";
    Row(out, "temp C", op.fRPMTempCorrTable[0], 0);
    if (op.fRPMTempCorrTable.size() > 1) Row(out, "rpm", op.fRPMTempCorrTable[1], 0);
    out += '\n';
  }
  if (content.maf) {
    out += "Air-mass meter curve fMAFTable (raw)\n";
    for (size_t i = 0; i < op.fMAFTable.size(); i += 8) {
      Label(out, std::to_string(i));
      for (size_t j = i; j < std::min(i + 8, op.fMAFTable.size()); ++j)
        Cell(out, std::to_string(op.fMAFTable[j]));
      out += '\n';
    }
  }
  return out;
}

std::string JsonReport(const TEFIOperator& op, const TReportContent& content) {
  std::string out = "{\"version\":" + JsonString(op.fVersionText.toStdString());
  out += ",\"fVersion\":" + std::to_string(op.fVersion);
  out += ",\"maxRPM\":" + std::to_string(op.fMaxRPM);
  if (content.coTrim) out += ",\"coReg\":" + std::to_string(op.fCOReg);
  out += ",\"tables\":{";
  bool first = true;
  for (const TableView& v : Tables(op, content)) {
    if (!first) out += ',';
    first = false;
    out += JsonString(v.name) + ":" + JsonTable(v);
  }
  out += "}";
  if (!op.fRPMTempCorrTable.empty()) {
    out += ",\"warmUp\":{\"temp\":" + JsonArray(op.fRPMTempCorrTable[0], 0);
    out += ",\"rpm\":" +
           (op.fRPMTempCorrTable.size() > 1 ? JsonArray(op.fRPMTempCorrTable[1], 0)
                                            : std::string("[]")) +
           "}";
  }
  if (content.maf) out += ",\"maf\":" + JsonArray(op.fMAFTable, 0);
  return out + "}\n";
}
