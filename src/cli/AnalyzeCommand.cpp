#include "cli/AnalyzeCommand.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/FuelCorrection.h"
#include "analysis/LogAnalysis.h"
#include "cli/TableReport.h"
#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "image/CodeRange.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"
#include "telemetry/LogReader.h"

namespace {

struct Options {
  QString log;
  std::optional<QString> image;
  QString channel = QStringLiteral("O2");
  bool json = false;
};

Options ParseOptions(const QStringList& args) {
  Options o;
  QStringList positional;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--image") || arg == QLatin1String("--channel")) {
      if (i + 1 >= args.size()) throw std::invalid_argument(arg.toStdString() + " needs a value");
      (arg == QLatin1String("--image") ? o.image.emplace() : o.channel) = args[++i];
    } else if (arg == QLatin1String("--json")) {
      o.json = true;
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw std::invalid_argument("unknown option " + arg.toStdString());
    } else {
      positional << arg;
    }
  }
  if (positional.size() != 1) throw std::invalid_argument("wrong number of arguments (see --help)");
  o.log = positional[0];
  return o;
}

// The slot of a channel named as in the log's header or by its usual name, any case.
LiveSlot ChannelSlot(const QString& name, const QStringList& header) {
  for (int k = 0; k < kLiveSlots; ++k) {
    const bool inHeader = k < header.size() && header[k].compare(name, Qt::CaseInsensitive) == 0;
    if (inHeader || name.compare(QLatin1String(kLiveColumnNames[static_cast<size_t>(k)]),
                                 Qt::CaseInsensitive) == 0)
      return static_cast<LiveSlot>(k);
  }
  throw std::invalid_argument("unknown channel " + name.toStdString());
}

// A part-load map as its grid shows it: the rpm headers, the loads falling from top to
// bottom and the values row by row. The grid rows take the table rows as the map editor
// lays them out (variant 1 keeps the high part's first row in place of the low part's last).
struct GridMap {
  TMapAxes axes;
  std::vector<double> values;
};

GridMap GridOf(const TFloatMatrix& table, int version, int lo, int hi, int cols) {
  GridMap map;
  const int rowCount = version == 1 ? lo + hi : lo + 1;
  auto at = [&table](int r, int c) -> double {
    return r < static_cast<int>(table.size()) && c < static_cast<int>(table[r].size()) ? table[r][c]
                                                                                       : 0.0;
  };
  for (int c = 1; c <= cols; ++c) map.axes.rpm.emplace_back(at(0, c));
  for (int r = 1; r < rowCount; ++r) {
    const int i = rowCount - r;
    const int tableRow = version != 1 || i < lo ? i : (i == lo ? lo + 1 : i + 1);
    map.axes.load.emplace_back(at(tableRow, 0));
    for (int c = 1; c <= cols; ++c) map.values.push_back(at(tableRow, c));
  }
  return map;
}

void LoadMaps(TEFIOperator& op, const Options& o) {
  op.LoadDefaultConfig();
  if (o.image) {
    try {
      LoadImageFile(*o.image, op.fImage);
    } catch (const ERuntimeError& e) {
      throw std::runtime_error(o.image->toStdString() + ": " + e.what());
    }
  } else {
    op.fImage = MakeDemoImage();
  }
  if (const QString problem = op.CheckLayout(); !problem.isEmpty())
    throw std::runtime_error("built-in configuration: " + problem.toStdString());
  op.DecodeImage();
}

std::string Num(double v) {
  return std::isfinite(v) ? FloatToStdString(v, '.') : std::string("-");
}

// The tables are printed as the other commands print maps: rpm across, load ascending down.
template <typename Cell>
void TextGrid(std::string& out, const std::string& title, const TMapAxes& axes, Cell&& cell) {
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

template <typename Cell>
std::string JsonGrid(const TMapAxes& axes, Cell&& cell) {
  std::string out = "[";
  for (int row = axes.Rows() - 1; row >= 0; --row) {
    out += "[";
    for (int col = 0; col < axes.Cols(); ++col) out += (col ? "," : "") + cell(col, row);
    out += row ? "]," : "]";
  }
  return out + "]";
}

std::string JsonNum(double v) {
  return std::isfinite(v) ? FloatToStdString(v, '.') : std::string("null");
}

std::string JsonAxis(const std::vector<std::optional<double>>& axis, bool reversed) {
  std::string out = "[";
  for (size_t k = 0; k < axis.size(); ++k)
    out += (k ? "," : "") + JsonNum(*axis[reversed ? axis.size() - 1 - k : k]);
  return out + "]";
}

struct Results {
  const Options& options;
  int64_t records;
  const TLogAnalysis& cells;
  const TMapAxes& cellAxes;
  const TFuelCorrection& fuel;
  const TMapAxes& fuelAxes;
  const TFuelCorrectionInput& fuelInput;
};

std::string TextResults(const Results& r) {
  const TLogAnalysis& a = r.cells;
  const std::string channel = kLiveColumnNames[static_cast<size_t>(a.channel)];
  std::string out = "Log " + r.options.log.toStdString() + ": " + std::to_string(r.records) +
                    " records, " + std::to_string(a.outside) + " outside the map\n" +
                    "Cells with fewer than " + std::to_string(a.minRecords) +
                    " records are marked \"few\" in the channel tables.\n\n";
  auto stat = [&a](double (*pick)(const TCellStats&)) {
    return [&a, pick](int col, int row) {
      return a.At(col, row).count == 0 ? std::string("-")
             : a.TooFew(col, row)      ? std::string("few")
                                       : Num(pick(a.At(col, row)));
    };
  };
  TextGrid(out, "Records per cell (part-load ignition map)", r.cellAxes,
           [&a](int col, int row) { return std::to_string(a.At(col, row).count); });
  TextGrid(out, "Seconds per cell", r.cellAxes,
           [&a](int col, int row) { return Num(RoundToDigit(a.At(col, row).seconds, -1)); });
  TextGrid(out, channel + " mean", r.cellAxes,
           stat([](const TCellStats& s) { return RoundToDigit(s.Mean(), -3); }));
  TextGrid(out, channel + " minimum", r.cellAxes, stat([](const TCellStats& s) { return s.min; }));
  TextGrid(out, channel + " maximum", r.cellAxes, stat([](const TCellStats& s) { return s.max; }));
  if (r.fuel.Refused()) return out + r.fuel.refusal.toStdString() + "\n";
  const TFuelCorrection& f = r.fuel;
  TextGrid(out,
           "Proposed part-load fuel map (wide-band sensor 0 .. 1 V, target AFR 14.7, "
           "step 5 %; * marks a change)",
           r.fuelAxes, [&f](int col, int row) {
             return (f.changed[f.Index(col, row)] ? "*" : "") + Num(f.At(col, row));
           });
  return out;
}

std::string JsonResults(const Results& r) {
  const TLogAnalysis& a = r.cells;
  const TFuelCorrection& f = r.fuel;
  auto grid = [&a, &r](auto pick) {
    return JsonGrid(r.cellAxes, [&a, pick](int col, int row) { return pick(a.At(col, row)); });
  };
  std::string out = "{\"log\":" + JsonString(r.options.log.toStdString()) +
                    ",\"records\":" + std::to_string(r.records) +
                    ",\"filtered\":" + std::to_string(a.filtered) +
                    ",\"outside\":" + std::to_string(a.outside) +
                    ",\"channel\":" + JsonString(kLiveColumnNames[static_cast<size_t>(a.channel)]) +
                    ",\"minRecords\":" + std::to_string(a.minRecords) +
                    ",\"rpm\":" + JsonAxis(r.cellAxes.rpm, false) +
                    ",\"load\":" + JsonAxis(r.cellAxes.load, true);
  out += ",\"count\":" + grid([](const TCellStats& s) { return std::to_string(s.count); });
  // Times to a tenth of a millisecond and means to the thousandth the text shows: a sum
  // of record intervals carries binary noise that no log value has.
  out += ",\"seconds\":" +
         grid([](const TCellStats& s) { return JsonNum(RoundToDecimals(s.seconds, 4)); });
  auto orNull = [](const TCellStats& s, double v) { return s.count ? JsonNum(v) : "null"; };
  out += ",\"mean\":" +
         grid([&](const TCellStats& s) { return orNull(s, RoundToDigit(s.Mean(), -3)); });
  out += ",\"min\":" + grid([&](const TCellStats& s) { return orNull(s, s.min); });
  out += ",\"max\":" + grid([&](const TCellStats& s) { return orNull(s, s.max); });
  out += ",\"tooFew\":" + JsonGrid(r.cellAxes, [&a](int col, int row) {
           return std::string(a.TooFew(col, row) ? "true" : "false");
         });
  out += ",\"fuel\":{";
  if (f.Refused()) return out + "\"refusal\":" + JsonString(f.refusal.toStdString()) + "}}\n";
  out += "\"targetAfr\":" + JsonNum(r.fuelInput.targetAfr) +
         ",\"maxStep\":" + JsonNum(r.fuelInput.maxStep) +
         ",\"rpm\":" + JsonAxis(r.fuelAxes.rpm, false) +
         ",\"load\":" + JsonAxis(r.fuelAxes.load, true) + ",\"current\":" +
         JsonGrid(r.fuelAxes,
                  [&r](int col, int row) {
                    return JsonNum(r.fuelInput.current[static_cast<size_t>(row) *
                                                           static_cast<size_t>(r.fuelAxes.Cols()) +
                                                       static_cast<size_t>(col)]);
                  }) +
         ",\"proposed\":" +
         JsonGrid(r.fuelAxes, [&f](int col, int row) { return JsonNum(f.At(col, row)); }) +
         ",\"measuredAfr\":" + JsonGrid(r.fuelAxes, [&f](int col, int row) {
           return JsonNum(RoundToDecimals(f.measuredAfr[f.Index(col, row)], 2));
         });
  return out + "}}\n";
}

}  // namespace

int RunAnalyze(const QStringList& args) {
  const Options o = ParseOptions(args);
  TEFILogger logger;
  try {
    logger.LoadFromFile(o.log, false);
  } catch (const ERuntimeError& e) {
    throw std::runtime_error(o.log.toStdString() + ": " + e.what());
  }
  // A header alone would analyse to tables of zeros.
  if (logger.Records.Count() == 0) throw std::runtime_error(o.log.toStdString() + ": no records");
  const LiveSlot channel = ChannelSlot(o.channel, logger.ColumnNames);
  TEFIOperator op(true);
  LoadMaps(op, o);
  // The cells as the live mark finds them: on the ignition map's headers.
  const GridMap ignition = GridOf(op.fSparkMainMatrix, op.fVersion, op.fSparkMainMatrixDim1_Lo,
                                  op.fSparkMainMatrixDim1_Hi, op.fSparkMainMatrixDim2_Lo);
  const GridMap fuel = GridOf(op.fFuelMainMatrix, op.fVersion, op.fFuelMainMatrixDim1_Lo,
                              op.fFuelMainMatrixDim1_Hi, op.fFuelMainMatrixDim2_Lo);
  const LiveRecord* records = logger.Records.Data();
  const int64_t count = logger.Records.Count();
  TAnalysisOptions options;
  options.channel = channel;
  const TLogAnalysis cells = AnalyseLog(records, count, ignition.axes, options);

  // The lambda panel's settings at start: a wide-band sensor over 0 .. 1 V.
  TFuelCorrectionInput input;
  input.axes = fuel.axes;
  input.current = fuel.values;
  const TValueRange storable = StorableRange(TCodedTable::FuelMain, op.fVersion);
  input.limits = [storable](int, int) { return TFactorLimits{storable.low, storable.high}; };
  input.quantise = [](int, int, double f) { return StoredFuelFactor(f); };
  const TFuelCorrection correction = ProposeFuelCorrection(records, count, input);

  const Results results{o, count, cells, ignition.axes, correction, fuel.axes, input};
  const std::string text = o.json ? JsonResults(results) : TextResults(results);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
