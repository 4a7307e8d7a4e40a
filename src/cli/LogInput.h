#pragma once
// The log a command reads: the program's own log, or a delimited log of another logger through
// a column mapping (--columns, or the guess, which is then printed on standard error), and the
// convert command that writes such a log in the own format.

#include <QString>
#include <QStringList>
#include <optional>

#include "telemetry/LogColumns.h"
#include "telemetry/LogReader.h"

struct TLogInputOptions {
  std::optional<QString> columns;  // --columns
  std::optional<double> rate;      // --rate
};

// Reads `path` into `logger`. A delimited log is read when the options name a mapping or a
// rate, or when the file is not tab-separated under a "Time" header; its mapping is returned.
// Throws std::invalid_argument for a mapping that cannot be understood, std::runtime_error
// naming the file for one that cannot be read.
std::optional<TLogColumns> LoadCommandLog(const QString& path, const TLogInputOptions& options,
                                          TEFILogger& logger);

// The value of --rate: records a second, above 0.
double RateOption(const QString& text);

// Runs `convert LOG OUT [--columns ...] [--rate HZ]`; returns the exit code, throws as above.
int RunConvert(const QStringList& args);
