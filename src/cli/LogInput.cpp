#include "cli/LogInput.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/SafeFileWrite.h"
#include "telemetry/DelimitedLog.h"
#include "telemetry/LogWriter.h"

namespace {
std::runtime_error FileError(const QString& path, const std::string& why) {
  return std::runtime_error(path.toStdString() + ": " + why);
}
}  // namespace

double RateOption(const QString& text) {
  const std::optional<double> v = TryStrToFloat(text, QLatin1Char('.'));
  if (!v || !std::isfinite(*v) || *v <= 0)
    throw std::invalid_argument("--rate needs records a second above 0, not " + text.toStdString());
  return *v;
}

std::optional<TLogColumns> LoadCommandLog(const QString& path, const TLogInputOptions& options,
                                          TEFILogger& logger) {
  const bool mapped = options.columns || options.rate;
  std::optional<TLogDialect> dialect;
  try {
    dialect = SniffLogFile(path);
  } catch (const ERuntimeError& e) {
    // Without a mapping, what is no delimited log goes to the own reader, which says why.
    if (mapped) throw FileError(path, e.what());
  }
  if (!mapped && (!dialect || dialect->ownFormat)) {
    try {
      logger.LoadFromFile(path, false);
    } catch (const ERuntimeError& e) {
      throw FileError(path, e.what());
    }
    return std::nullopt;
  }
  TLogColumns columns;
  if (options.columns) {
    try {
      columns = ParseLogColumns(*options.columns, dialect->names, dialect->sample);
    } catch (const ERuntimeError& e) {
      throw std::invalid_argument("--columns: " + std::string(e.what()));
    }
  } else {
    columns = GuessLogColumns(dialect->names, dialect->sample);
    std::fprintf(stderr, "tarvelo-cli: %s: columns guessed: --columns %s\n",
                 path.toStdString().c_str(),
                 LogColumnsText(columns, dialect->names).toStdString().c_str());
  }
  if (options.rate) columns.rate = *options.rate;
  if (const QString problem = LogColumnsProblem(columns, dialect->names); !problem.isEmpty())
    throw FileError(path, problem.toStdString());
  try {
    const TDelimitedLoadInfo info =
        ReadDelimitedLog(path, columns, logger.Records, logger.ColumnNames);
    if (info.emptyCells > 0)
      std::fprintf(stderr, "tarvelo-cli: %s: %lld empty cells took the value above them\n",
                   path.toStdString().c_str(), static_cast<long long>(info.emptyCells));
  } catch (const ERuntimeError& e) {
    throw FileError(path, e.what());
  }
  return columns;
}

int RunConvert(const QStringList& args) {
  TLogInputOptions options;
  QStringList positional;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--columns") || arg == QLatin1String("--rate")) {
      if (i + 1 >= args.size()) throw std::invalid_argument(arg.toStdString() + " needs a value");
      if (arg == QLatin1String("--columns"))
        options.columns = args[++i];
      else
        options.rate = RateOption(args[++i]);
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw std::invalid_argument("unknown option " + arg.toStdString());
    } else {
      positional << arg;
    }
  }
  if (positional.size() != 2) throw std::invalid_argument("wrong number of arguments (see --help)");
  TEFILogger logger;
  const std::optional<TLogColumns> columns = LoadCommandLog(positional[0], options, logger);
  // The own log as the live loop writes it, with a full stop as the decimal mark.
  QByteArray text = LogHeaderLine();
  const LiveRecord* r = logger.Records.Data();
  for (int i = 0; i < logger.Records.Count(); ++i)
    text += LogRecordLine(r[i][kTime], r[i], QLatin1Char('.'));
  try {
    WriteFileSafely(positional[1], text);
  } catch (const ERuntimeError& e) {
    throw FileError(positional[1], e.what());
  }
  // The own log does not say what its O2 column holds: a mixture that is AFR or lambda, not
  // the sensor's volts, is analysed only when the reader is told so, and filters whose
  // channel the log had not are written as zeros.
  if (columns) {
    const char* sensor = columns->mixtureKind == TLogMixture::Afr      ? "afr"
                         : columns->mixtureKind == TLogMixture::Lambda ? "lambda"
                                                                       : nullptr;
    if (sensor)
      std::fprintf(stderr,
                   "tarvelo-cli: %s: the O2 column holds %s, not volts: analyze it with "
                   "--sensor %s\n",
                   positional[1].toStdString().c_str(),
                   columns->mixtureKind == TLogMixture::Afr ? "the AFR" : "lambda", sensor);
    if (!columns->Has(kCLT))
      std::fprintf(stderr,
                   "tarvelo-cli: %s: the log had no coolant column: CLT is written as 0, "
                   "analyze it with --no-filter warm\n",
                   positional[1].toStdString().c_str());
  }
  return 0;
}
