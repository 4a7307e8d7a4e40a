#pragma once
// Delimited logs of other loggers (wide-band controllers, data loggers): a header line of
// column names, then one record a line, the fields separated by commas, semicolons or tabs.
// The dialect is found from the file itself: the delimiter from the header line, the decimal
// mark from the data, banner or comment lines before the header skipped, fields in double
// quotes, CR LF or LF. A column mapping (LogColumns.h) puts the columns into the slots of the
// own log's records, so the log analysis and the telemetry window take them as they take the
// program's own logs. Big files are read in blocks with pread and parsed on all cores.

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string_view>

#include "telemetry/LogColumns.h"
#include "telemetry/LogReader.h"

struct TLogDialect {
  // The program's own log (tab-separated, the first name "Time"): TEFILogger reads it.
  bool ownFormat = false;
  char delimiter = ',';
  char decimal = '.';
  int64_t headerLine = 1;     // counted from 1, banner lines included
  int64_t bodyOffset = 0;     // the first byte after the header line
  QString headerText;         // the header line as written (the remembered mapping's key)
  QStringList names;          // the header's column names, without quotes
  QList<QStringList> sample;  // the first data rows, cell texts without quotes
};

// Reads the beginning of the file and finds its dialect. A file that is not a log is refused
// with one sentence (ERuntimeError): binary data, no header line with its data rows below it,
// no row of numbers; a file that cannot be opened as the own reader refuses it.
TLogDialect SniffLogFile(const QString& fileName, int sampleRows = 20);
// The same for text at hand; `complete` says the text is the whole file.
TLogDialect SniffLogText(std::string_view text, bool complete, int sampleRows = 20);

// The cells of one line of the dialect, quotes taken off ("" inside quotes is one quote).
QStringList SplitLogLine(std::string_view line, char delimiter);

struct TDelimitedLoadInfo {
  TLogDialect dialect;
  int64_t emptyCells = 0;  // empty cells of mapped columns, which took the value above them
};

// Reads the log with the mapping (LogColumnsProblem must have nothing against it) into
// `records` (replacing what they held) and `names` (the own log's twelve slots: the mapped
// columns' names in their slots, empty names elsewhere). The whole file or nothing: a cell
// that is not a number, a row without a mapped column or a time that goes wrong throws
// ELogLineError naming the line, the column and what was expected, and leaves both as they
// were. Lines that are empty, start with '#' or repeat the header are skipped.
TDelimitedLoadInfo ReadDelimitedLog(const QString& fileName, const TLogColumns& columns,
                                    TEFILogList& records, QStringList& names,
                                    const TEFILogger::Progress& progress = {});
