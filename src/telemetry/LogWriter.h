#pragma once
// The telemetry log file: a header line of the twelve column names and one line per
// record, fields separated by tabs, lines ending with CR LF.

#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QString>

#include "telemetry/LiveRecord.h"

// "Time\tRPM\t...\tSPEED\r\n".
QByteArray LogHeaderLine();

// One record line: Time from `timeSeconds`, the other eleven fields from slots 1 to 11,
// each in its fixed format ("%5.3f", "%5.0f", "%2.1f", ...) with `separator`.
QByteArray LogRecordLine(double timeSeconds, const LiveRecord& values, QChar separator);

// The name proposed for a new log: the user's short date, "-", hour, ".", minute, ".",
// second without leading zeros, ".txt" (08.12.2026-9.5.7.txt). A "/" or "\" of the date
// format becomes "." so that the name stays one file name.
QString ProposedLogName(const QDateTime& now);

// Writes one log file. Each record line goes to the system as soon as it is appended, so
// a crash of the program loses at most the line being written. Errors throw EInOutError.
class TLogWriter {
 public:
  TLogWriter() = default;
  ~TLogWriter();
  TLogWriter(const TLogWriter&) = delete;
  TLogWriter& operator=(const TLogWriter&) = delete;

  // Creates (or empties) the file and writes the header line.
  void Create(const QString& path);
  void Append(double timeSeconds, const LiveRecord& values, QChar separator);
  void Close();
  bool IsOpen() const { return fFd >= 0; }

 private:
  void Write(const QByteArray& bytes);
  int fFd = -1;
};
