// tarvelo-cli: the calibration core without a window. Decodes images, converts them to
// settings files, prints settings files and makes the demo image.

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>

#include "cli/AnalyzeCommand.h"
#include "cli/ChecksumCommands.h"
#include "cli/CliLanguage.h"
#include "cli/CsvCommands.h"
#include "cli/Diff.h"
#include "cli/LogInput.h"
#include "cli/PortCommands.h"
#include "cli/ProfileCheckCommand.h"
#include "cli/TableReport.h"
#include "common/Errors.h"
#include "common/RegularFile.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr char kHelp[] =
    "Usage: tarvelo-cli COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  decode IMAGE.bin [--profile P.prf] [--json]\n"
    "      Decode a 32 KB firmware image and print every table in engineering units with\n"
    "      its axes, the version text, the rev limit and the CO trim byte.\n"
    "  decode IMAGE.bin --csv DIR [--profile P.prf]\n"
    "      Write every table with its axes to DIR as TABLE.csv (full stop, \",\").\n"
    "  apply-csv IMAGE.bin TABLE.csv OUT.dme [--profile P.prf] [--strict]\n"
    "      Set one table (axes and values) from such a file; write a settings file. Each\n"
    "      value held within the table's limits is named on standard error; with --strict\n"
    "      such a value writes nothing and the exit code is 2.\n"
    "  bin2dme IMAGE.bin OUT.dme [--profile P.prf]\n"
    "      Decode an image and write its tables as a settings file.\n"
    "  dme SETTINGS.dme [--profile P.prf] [--json]\n"
    "      Load a settings file and print its tables as decode does.\n"
    "  analyze LOG [--image IMAGE.bin] [--channel NAME] [--json] [--columns MAPPING]\n"
    "          [--rate HZ] [fuel options]\n"
    "      Lay a telemetry log over the part-load fuel map (of the demo image without\n"
    "      --image): records, seconds and the channel's (default O2) mean, minimum and\n"
    "      maximum per cell, and the fuel correction the O2 sensor proposes. Fuel options:\n"
    "      --target AFR (14.7) | --target-table FILE, --step PCT (5) a round's largest\n"
    "      change, --authority PCT (25) from the image's factor, --min-weight W (5),\n"
    "      --sensor V1:AFR1,V2:AFR2 (1:10,0:20) | afr | lambda, --delay S (0.2),\n"
    "      --min-clt C (70), --no-filter warm|steady|overrun|sensor|delay (repeatable),\n"
    "      --lock FILE (lines \"RPM LOAD\" of cells that stay), --out OUT.dme|OUT.bin.\n"
    "      LOG may be another logger's delimited log (comma, semicolon or tab; see below).\n"
    "  convert LOG.csv OUT.txt [--columns MAPPING] [--rate HZ]\n"
    "      Write a delimited log in the program's own log format.\n"
    "  diff A B [--profile P.prf] [--json]\n"
    "      Compare two calibrations (each a .bin image or a .dme settings file) and print\n"
    "      each differing cell: table, cell with its axis values, A, B. Exit status 0 when\n"
    "      equal, 1 when they differ, 2 on an error, as diff's.\n"
    "  make-demo OUT.bin\n"
    "      Write the synthetic demo image (the same bytes every time).\n"
    // checksum, apply
    TARVELO_CHECKSUM_COMMANDS_HELP TARVELO_PROFILE_CHECK_HELP
        // ports, cable-test
        TARVELO_PORT_COMMANDS_HELP
    "  --help\n"
    "      Show this text.\n"
    "\n"
    "A delimited log is read through --columns rpm=NAME,load=NAME,afr=NAME[,clt=NAME]\n"
    "[,tps=NAME][,time=NAME[:ms]], NAME a header name or a column number from 1 (#N); lambda= or\n"
    "o2= (sensor volts, on the --sensor line) instead of afr=; time=NAME:s or :clock says the\n"
    "time's unit. The load is the injection time in ms. --rate HZ gives the records a second\n"
    "of a log without time. Without --columns the guess from the names is used and printed on\n"
    "standard error.\n"
    "\n"
    "Without --profile the built-in configuration (an M3.1-type layout) is used. Maps are\n"
    "printed with the RPM axis in the first row and the load axis (injection time, ms) in\n"
    "the first column, load ascending. Numbers are printed with a full stop as the decimal\n"
    "separator (the C locale's), and every text is English, whatever the user's locale.\n"
    "Errors are reported on one line on standard error; the exit code is then 1 (2 for a\n"
    "command line that cannot be understood).\n";

// A failure that ends the run with a one-line message.
struct Failure {
  std::string message;
  int code = kExitFailure;
};

std::string Utf8(const QString& text) {
  return text.toStdString();
}

struct Arguments {
  QStringList positional;
  std::optional<QString> profile;
  bool json = false;
};

Arguments Parse(const QStringList& args, bool allowJson, int positionalCount) {
  Arguments a;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--profile")) {
      if (i + 1 >= args.size()) throw Failure{"--profile needs a file name", kExitUsage};
      a.profile = args[++i];
    } else if (arg == QLatin1String("--json") && allowJson) {
      a.json = true;
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw Failure{"unknown option " + Utf8(arg), kExitUsage};
    } else {
      a.positional << arg;
    }
  }
  if (a.positional.size() != positionalCount)
    throw Failure{"wrong number of arguments (see --help)", kExitUsage};
  return a;
}

// Built-in configuration, or the profile when one is named. The profile must be readable:
// the configuration reader alone would quietly take its defaults.
void Configure(TEFIOperator& op, const Arguments& a) {
  if (!a.profile) {
    op.LoadDefaultConfig();
    return;
  }
  if (const QString why = NotRegularFileReason(*a.profile); !why.isEmpty())
    throw Failure{"profile " + Utf8(*a.profile) + ": " + Utf8(why)};
  QFile file(*a.profile);
  if (!file.open(QIODevice::ReadOnly))
    throw Failure{"profile " + Utf8(*a.profile) + ": cannot be read (" + Utf8(file.errorString()) +
                  ")"};
  op.LoadProfile(*a.profile);
}

std::string Where(const Arguments& a) {
  return a.profile ? "profile " + Utf8(*a.profile) : std::string("built-in configuration");
}

void Decoded(TEFIOperator& op, const Arguments& a, const QString& imagePath) {
  Configure(op, a);
  try {
    LoadImageFile(imagePath, op.fImage);
  } catch (const ERuntimeError& e) {
    throw Failure{Utf8(imagePath) + ": " + e.what()};
  }
  if (const QString problem = op.CheckLayout(); !problem.isEmpty())
    throw Failure{Where(a) + ": " + Utf8(problem)};
  op.DecodeImage();
}

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

int Decode(const QStringList& args) {
  const Arguments a = Parse(args, true, 1);
  TEFIOperator op(true);
  Decoded(op, a, a.positional[0]);
  const TReportContent content{op.fVersion != 1, op.fVersion > 1, op.fVersion > 1};
  Print(a.json ? JsonReport(op, content) : TextReport(op, content));
  return 0;
}

int BinToDme(const QStringList& args) {
  const Arguments a = Parse(args, false, 2);
  TEFIOperator op(true);
  Decoded(op, a, a.positional[0]);
  try {
    op.SaveSettings(1, a.positional[1]);
  } catch (const ERuntimeError& e) {
    throw Failure{Utf8(a.positional[1]) + ": " + e.what()};
  }
  return 0;
}

int Dme(const QStringList& args) {
  const Arguments a = Parse(args, true, 1);
  TEFIOperator op(true);
  Configure(op, a);
  if (const QString problem = op.CheckTables(); !problem.isEmpty())
    throw Failure{Where(a) + ": " + Utf8(problem)};
  uint8_t mismatch = 0;
  try {
    op.LoadSettings(0, a.positional[0], mismatch);
    op.LoadSettings(1, a.positional[0], mismatch);
  } catch (const ERuntimeError& e) {
    throw Failure{Utf8(a.positional[0]) + ": " + e.what()};
  }
  // The settings file has no CO byte; the idle fuel table is decoded outside variant 1 only.
  const TReportContent content{op.fVersion != 1, op.fVersion != 1, false};
  Print(a.json ? JsonReport(op, content) : TextReport(op, content));
  return 0;
}

int MakeDemo(const QStringList& args) {
  const Arguments a = Parse(args, false, 1);
  try {
    SaveImageFile(a.positional[0], MakeDemoImage());
  } catch (const ERuntimeError& e) {
    throw Failure{Utf8(a.positional[0]) + ": " + e.what()};
  }
  return 0;
}

int Run(const QStringList& args) {
  if (args.isEmpty()) throw Failure{"no command given (see --help)", kExitUsage};
  const QString command = args[0];
  const QStringList rest = args.mid(1);
  if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
      command == QLatin1String("help")) {
    Print(kHelp);
    return 0;
  }
  if (command == QLatin1String("decode"))
    return rest.contains(QLatin1String("--csv")) ? DecodeToCsv(rest) : Decode(rest);
  if (command == QLatin1String("apply-csv")) return ApplyCsv(rest);
  if (command == QLatin1String("bin2dme")) return BinToDme(rest);
  if (command == QLatin1String("dme")) return Dme(rest);
  if (command == QLatin1String("make-demo")) return MakeDemo(rest);
  if (const std::optional<int> code = RunChecksumCommand(command, rest)) return *code;
  if (const std::optional<int> code = RunPortCommand(command, rest)) return *code;
  if (command == QLatin1String("analyze")) {
    try {
      return RunAnalyze(rest);
    } catch (const std::invalid_argument& e) {
      throw Failure{e.what(), kExitUsage};
    }
  }
  if (command == QLatin1String("convert")) {
    try {
      return RunConvert(rest);
    } catch (const std::invalid_argument& e) {
      throw Failure{e.what(), kExitUsage};
    }
  }
  if (command == QLatin1String("diff")) return RunDiff(rest);
  if (command == QLatin1String("profile-check")) return RunProfileCheck(rest);
  throw Failure{"unknown command " + Utf8(command) + " (see --help)", kExitUsage};
}

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const QCoreApplication app(argc, argv);
  UseEnglishAndTheCLocale();
  try {
    return Run(args);
  } catch (const Failure& f) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", f.message.c_str());
    return f.code;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", e.what());
    return kExitFailure;
  }
}
