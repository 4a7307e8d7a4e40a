#include "cli/AnalyzeCommand.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/FuelCorrection.h"
#include "analysis/FuelMapInput.h"
#include "analysis/LogAnalysis.h"
#include "analysis/TargetTable.h"
#include "calibration/Calibration.h"
#include "cli/FuelReport.h"
#include "cli/LogInput.h"
#include "cli/TableReport.h"
#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "image/Checksum.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"
#include "image/ImageWriteBack.h"
#include "telemetry/LogReader.h"

namespace {

struct Options {
  QString log;
  std::optional<QString> image;
  QString channel = QStringLiteral("O2");
  bool json = false;
  // The fuel correction's settings, as the window's defaults.
  std::optional<double> target;
  std::optional<QString> targetTable;
  double step = 5;
  double authority = 25;
  double minWeight = 5;
  std::optional<QString> sensor;
  double delay = 0.2;
  double minClt = 70;
  QStringList noFilter;
  std::optional<QString> lock;
  std::optional<QString> out;
  // A delimited log's mapping and rate.
  TLogInputOptions input;
};

double NumberOf(const QString& option, const QString& text) {
  const std::optional<double> v = TryStrToFloat(text, QLatin1Char('.'));
  if (!v || !std::isfinite(*v) || *v < 0)
    throw std::invalid_argument(option.toStdString() + " needs a number not below 0, not " +
                                text.toStdString());
  return *v;
}

Options ParseOptions(const QStringList& args) {
  Options o;
  QStringList positional;
  const QStringList valued = {"--image", "--channel",   "--target",     "--target-table",
                              "--step",  "--authority", "--min-weight", "--sensor",
                              "--delay", "--min-clt",   "--no-filter",  "--lock",
                              "--out",   "--columns",   "--rate"};
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (valued.contains(arg)) {
      if (i + 1 >= args.size()) throw std::invalid_argument(arg.toStdString() + " needs a value");
      const QString& v = args[++i];
      if (arg == QLatin1String("--image"))
        o.image = v;
      else if (arg == QLatin1String("--channel"))
        o.channel = v;
      else if (arg == QLatin1String("--target"))
        o.target = NumberOf(arg, v);
      else if (arg == QLatin1String("--target-table"))
        o.targetTable = v;
      else if (arg == QLatin1String("--step"))
        o.step = NumberOf(arg, v);
      else if (arg == QLatin1String("--authority"))
        o.authority = NumberOf(arg, v);
      else if (arg == QLatin1String("--min-weight"))
        o.minWeight = NumberOf(arg, v);
      else if (arg == QLatin1String("--sensor"))
        o.sensor = v;
      else if (arg == QLatin1String("--delay"))
        o.delay = NumberOf(arg, v);
      else if (arg == QLatin1String("--min-clt"))
        o.minClt = TryStrToFloat(v, QLatin1Char('.')).value_or(NAN);
      else if (arg == QLatin1String("--no-filter"))
        o.noFilter << v;
      else if (arg == QLatin1String("--lock"))
        o.lock = v;
      else if (arg == QLatin1String("--columns"))
        o.input.columns = v;
      else if (arg == QLatin1String("--rate"))
        o.input.rate = RateOption(v);
      else
        o.out = v;
    } else if (arg == QLatin1String("--json")) {
      o.json = true;
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw std::invalid_argument("unknown option " + arg.toStdString());
    } else {
      positional << arg;
    }
  }
  if (positional.size() != 1) throw std::invalid_argument("wrong number of arguments (see --help)");
  if (!std::isfinite(o.minClt)) throw std::invalid_argument("--min-clt needs a number");
  if (o.target && !(*o.target >= kTargetAfrLow && *o.target <= kTargetAfrHigh))
    throw std::invalid_argument("--target needs an AFR from 9 to 20");
  for (const QString& name : o.noFilter)
    if (!RecordFilterOfName(name.toLatin1().constData()) || name == QLatin1String("stretch"))
      throw std::invalid_argument("--no-filter knows warm, steady, overrun, sensor, delay; not " +
                                  name.toStdString());
  if (o.out && !o.out->endsWith(QLatin1String(".dme"), Qt::CaseInsensitive) &&
      !o.out->endsWith(QLatin1String(".bin"), Qt::CaseInsensitive))
    throw std::invalid_argument("--out names a settings file (.dme) or an image (.bin)");
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

void LoadMaps(TEFIOperator& op, const Options& o) {
  op.LoadDefaultConfig();
  if (o.image) {
    try {
      LoadImageFile(*o.image, op.fImage);
    } catch (const ERuntimeError& e) {
      throw std::runtime_error(o.image->toStdString() + ": " + e.what());
    }
  } else {
    std::fprintf(stderr, "tarvelo-cli: no --image given: the demo image is used\n");
    op.fImage = MakeDemoImage();
  }
  if (const QString problem = op.CheckLayout(); !problem.isEmpty())
    throw std::runtime_error("built-in configuration: " + problem.toStdString());
  op.DecodeImage();
}

// "V1:AFR1,V2:AFR2" (a line through two points), "afr" or "lambda" (the channel holds it).
TO2Sensor SensorOf(const QString& text) {
  TO2Sensor sensor;
  if (text.compare(QLatin1String("afr"), Qt::CaseInsensitive) == 0) {
    sensor.kind = TO2Sensor::Kind::Afr;
    return sensor;
  }
  if (text.compare(QLatin1String("lambda"), Qt::CaseInsensitive) == 0) {
    sensor.kind = TO2Sensor::Kind::Lambda;
    return sensor;
  }
  const QStringList points = text.split(QLatin1Char(','));
  std::vector<double> v;
  for (const QString& point : points)
    for (const QString& part : point.split(QLatin1Char(':')))
      if (const auto n = TryStrToFloat(part, QLatin1Char('.')); n && points.size() == 2)
        v.push_back(*n);
  if (v.size() != 4)
    throw std::invalid_argument("--sensor needs V1:AFR1,V2:AFR2, afr or lambda, not " +
                                text.toStdString());
  sensor = {TO2Sensor::Kind::Line, v[0], v[1], v[2], v[3]};
  return sensor;
}

QString ReadText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error(path.toStdString() + ": cannot be read (" +
                             file.errorString().toStdString() + ")");
  return QString::fromUtf8(file.readAll());
}

// The cells a lock file names: one "RPM LOAD" pair a line (space, tab, comma or semicolon
// between), each the headers of a fuel map cell; "#" starts a comment.
std::vector<char> LocksOf(const QString& path, const TMapAxes& axes, int& locked) {
  std::vector<char> locks(static_cast<size_t>(axes.Cols() * axes.Rows()), 0);
  const auto find = [](const std::vector<std::optional<double>>& axis, double v) {
    for (size_t k = 0; k < axis.size(); ++k)
      if (axis[k] && std::fabs(*axis[k] - v) <= 1e-9 * std::max(1.0, std::fabs(v)))
        return static_cast<int>(k);
    return -1;
  };
  int lineNo = 0;
  for (QString line : ReadText(path).split(QLatin1Char('\n'))) {
    ++lineNo;
    line = line.section(QLatin1Char('#'), 0, 0).trimmed();
    if (line.isEmpty()) continue;
    const QStringList f = line.split(QRegularExpression(QStringLiteral("[\\s,;]+")));
    const auto rpm = f.size() == 2 ? TryStrToFloat(f[0], QLatin1Char('.')) : std::nullopt;
    const auto load = f.size() == 2 ? TryStrToFloat(f[1], QLatin1Char('.')) : std::nullopt;
    const int col = rpm ? find(axes.rpm, *rpm) : -1;
    const int row = load ? find(axes.load, *load) : -1;
    if (col < 0 || row < 0)
      throw std::runtime_error(path.toStdString() + ": line " + std::to_string(lineNo) +
                               " names no fuel map cell (RPM LOAD of its headers)");
    char& cell = locks[static_cast<size_t>(row * axes.Cols() + col)];
    locked += cell ? 0 : 1;
    cell = 1;
  }
  return locks;
}

TFuelCorrectionInput CorrectionInput(const Options& o, const TCalTable& fuelMap,
                                     TFuelReportSettings& settings) {
  TFuelCorrectionInput in = FuelMapInput(fuelMap);
  settings.image = o.image ? o.image->toStdString() : std::string("demo");
  settings.sensor = o.sensor ? o.sensor->toStdString() : std::string("1:10,0:20");
  if (o.sensor) in.sensor = SensorOf(*o.sensor);
  if (o.target) in.targetAfr = *o.target;
  if (o.targetTable) {
    const auto table = ParseTargetTable(ReadText(*o.targetTable), in.axes, QLatin1Char('.'));
    if (!table)
      throw std::runtime_error(o.targetTable->toStdString() +
                               ": not a target table of the fuel map's shape and headers with "
                               "targets from 9 to 20");
    in.targetTable = *table;
    settings.targetTable = o.targetTable->toStdString();
  }
  in.maxStep = o.step / 100;
  in.authority = o.authority / 100;
  in.minWeight = o.minWeight;
  in.filters.delaySeconds = o.delay;
  in.filters.minCoolant = o.minClt;
  for (const QString& name : o.noFilter) {
    switch (*RecordFilterOfName(name.toLatin1().constData())) {
      case TRecordFilter::Warm:
        in.filters.warm = false;
        break;
      case TRecordFilter::Steady:
        in.filters.steady = false;
        break;
      case TRecordFilter::Overrun:
        in.filters.overrun = false;
        break;
      case TRecordFilter::Delay:
        in.filters.delay = false;
        break;
      case TRecordFilter::SensorEnds:
        in.filters.sensorEnds = false;
        break;
      case TRecordFilter::Stretch:
        break;
    }
  }
  if (o.lock) {
    in.locked = LocksOf(*o.lock, in.axes, settings.locked);
    settings.lockFile = o.lock->toStdString();
  }
  return in;
}

// The proposal applied to the document and written: a settings file as "Сохранить" writes
// it, or the image it was loaded from with only the changed cells' bytes and its checksum
// stored anew (kept, and said so, when it was not right in the loaded image).
void WriteOut(const Options& o, const TEFIOperator& op, TCalibration& doc,
              const TFuelCorrection& correction) {
  const TCalTable& fuelMap = doc.Table(TTableId::FuelMain);
  doc.Apply(CorrectionStep(fuelMap, correction, QStringLiteral("analyze")));
  TEFIOperator edited(op);
  doc.CollectInto(edited);
  const QString& out = *o.out;
  try {
    if (out.endsWith(QLatin1String(".dme"), Qt::CaseInsensitive)) {
      edited.SaveSettings(1, out);
      return;
    }
    const TChecksumStatus status = CheckChecksum(op.fImage, op);
    if (!status.valid)
      std::fprintf(
          stderr, "tarvelo-cli: %s: the checksum is not corrected (%s in the loaded image)\n",
          out.toStdString().c_str(), status.kind == TChecksumKind::None ? "not found" : "wrong");
    SaveImageFile(out, WriteBackImage(op.fImage, op, edited,
                                      status.valid ? status.kind : TChecksumKind::None));
  } catch (const ERuntimeError& e) {
    throw std::runtime_error(out.toStdString() + ": " + e.what());
  }
}

std::string Num(double v) {
  return ReportNumber(v);
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
  return ReportJsonNumber(v);
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
  const TFuelCorrectionInput& fuelInput;
  const TFuelReportSettings& settings;
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
  TextGrid(out, "Records per cell (part-load fuel map)", r.cellAxes,
           [&a](int col, int row) { return std::to_string(a.At(col, row).count); });
  TextGrid(out, "Seconds per cell", r.cellAxes,
           [&a](int col, int row) { return Num(RoundToDigit(a.At(col, row).seconds, -1)); });
  TextGrid(out, channel + " mean", r.cellAxes,
           stat([](const TCellStats& s) { return RoundToDigit(s.Mean(), -3); }));
  TextGrid(out, channel + " minimum", r.cellAxes, stat([](const TCellStats& s) { return s.min; }));
  TextGrid(out, channel + " maximum", r.cellAxes, stat([](const TCellStats& s) { return s.max; }));
  return out + FuelReportText(r.fuelInput, r.fuel, r.settings);
}

std::string JsonResults(const Results& r) {
  const TLogAnalysis& a = r.cells;
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
  return out + "," + FuelReportJson(r.fuelInput, r.fuel, r.settings) + "}\n";
}

// A delimited log's mixture says what the sensor is, and filters whose channel the log does
// not hold would take out every record: without coolant the warm-up filter is off, without
// throttle overrun is told by the injection time alone.
void FitToColumns(const TLogColumns& columns, TFuelCorrectionInput& in,
                  TFuelReportSettings& settings) {
  if (columns.mixtureKind == TLogMixture::Afr) {
    in.sensor.kind = TO2Sensor::Kind::Afr;
    settings.sensor = "afr";
  } else if (columns.mixtureKind == TLogMixture::Lambda) {
    in.sensor.kind = TO2Sensor::Kind::Lambda;
    settings.sensor = "lambda";
  }
  if (!columns.Has(kCLT) && in.filters.warm) {
    in.filters.warm = false;
    std::fprintf(stderr, "tarvelo-cli: the log has no coolant column: the warm-up filter is off\n");
  }
  if (!columns.Has(kTPS) && in.filters.overrun) {
    in.filters.closedThrottle = -1;
    std::fprintf(stderr,
                 "tarvelo-cli: the log has no throttle column: overrun is told by the injection "
                 "time alone\n");
  }
}

}  // namespace

int RunAnalyze(const QStringList& args) {
  const Options o = ParseOptions(args);
  TEFILogger logger;
  const std::optional<TLogColumns> mapped = LoadCommandLog(o.log, o.input, logger);
  if (mapped && mapped->mixtureKind != TLogMixture::Volts && o.sensor)
    throw std::invalid_argument(
        "--sensor is for a mixture in volts (o2=): afr= and lambda= say what the column holds");
  // A header alone would analyse to tables of zeros.
  if (logger.Records.Count() == 0) throw std::runtime_error(o.log.toStdString() + ": no records");
  const LiveSlot channel = ChannelSlot(o.channel, logger.ColumnNames);
  TEFIOperator op(true);
  LoadMaps(op, o);
  TCalibration doc;
  doc.Load(op);
  // The counts and the proposal on the fuel map's own axes, as the window lays them.
  const TCalTable& fuelMap = doc.Table(TTableId::FuelMain);
  const TMapAxes axes = AxesOfTable(fuelMap);
  const LiveRecord* records = logger.Records.Data();
  const int64_t count = logger.Records.Count();
  TAnalysisOptions options;
  options.channel = channel;
  const TLogAnalysis cells = AnalyseLog(records, count, axes, options);

  TFuelReportSettings settings;
  TFuelCorrectionInput input = CorrectionInput(o, fuelMap, settings);
  if (mapped) FitToColumns(*mapped, input, settings);
  const TFuelCorrection correction = ProposeFuelCorrection(records, count, input);
  if (o.out && !correction.Refused()) WriteOut(o, op, doc, correction);

  const Results results{o, count, cells, axes, correction, input, settings};
  const std::string text = o.json ? JsonResults(results) : TextResults(results);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
