#pragma once
// The telemetry log reader (unit EfiLog): TEFILogList holds live records in the order read,
// TEFILogger reads a tab-separated log file (a header line of column names, then one record a line)
// into it.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "common/Errors.h"
#include "telemetry/LiveRecord.h"
#include "telemetry/TypedList.h"

struct TLogColumns;

// A list of live records, compared on slot SortField. Adding falls back to replacing the
// oldest record when the list cannot grow.

class TEFILogList : public TTypedList<LiveRecord> {
 public:
  // The slot the comparisons look at (0 .. 11).
  uint8_t SortField = 0;

  // Overwrites item i (a list error for an index outside the list).
  void PutRecord(int i, const LiveRecord& record);
  // Replaces the oldest record and makes the new one the last.
  void AddRolling(const LiveRecord& record);
  // The list's Add; when the list cannot grow (list error, out of memory) the record is
  // added rolling instead.
  void Add(const LiveRecord& record) override;

 protected:
  const char* ClassName() const override { return "TEFILogList"; }
  bool IsLess(const LiveRecord& a, const LiveRecord& b) const override;
  bool IsGreater(const LiveRecord& a, const LiveRecord& b) const override;
  bool IsEqual(const LiveRecord& a, const LiveRecord& b) const override;
};

// A log line that is not a record: the message names the line (the header is line 1) and
// then what was wrong with it.
class ELogLineError : public EConvertError {
 public:
  ELogLineError(int64_t line, const EConvertError& cause);
  int64_t Line() const { return fLine; }
  // The conversion error alone ("'x' is not a valid floating point value").
  const std::string& Reason() const { return fReason; }

 private:
  int64_t fLine;
  std::string fReason;
};

// Reads telemetry log files. The parse buffer keeps its values from line to line and from
// one file to the next, so a line with fewer fields inherits the rest from the line before.
class TEFILogger {
 public:
  // Reports how many bytes of the file have been read so far, out of its size.
  using Progress = std::function<void(int64_t done, int64_t total)>;

  TEFILogger() = default;

  // Reads a log file; a full stop and a comma are both read as the decimal mark. With
  // `append` false the records read replace those held, with true they follow them.
  // A file that cannot be opened or read changes nothing: Records, ColumnNames, the parse
  // buffer and FileName stay as they were, and the error is thrown. A line with a field
  // that is not a number ends the load there: the records before it are held together
  // with the file's names and name, the parse buffer is as the last of them left it, and
  // ELogLineError is thrown.
  void LoadFromFile(const QString& fileName, bool append, const Progress& progress = {});

  // Reads a delimited log of another logger through its column mapping (DelimitedLog.h):
  // the whole file replaces Records and ColumnNames, or nothing changes and the error is
  // thrown. The parse buffer is not used. Returns the number of empty cells that took the value
  // of the record above them.
  int64_t LoadDelimitedFromFile(const QString& fileName, const TLogColumns& columns,
                                const Progress& progress = {});

  const QString& FileName() const { return fFileName; }

  // Files from this size up are read in pieces on several threads (ParallelParts of them, or
  // one a core, at least two), giving the same records as reading line by line. Settings
  // for tests and measurements.
  static inline int64_t ParallelFromBytes = int64_t{1} << 20;
  static inline int ParallelParts = 0;
  const LiveRecord& ParseBuffer() const { return fBuffer; }

  TEFILogList Records;
  // The names of the first line of the file last read, split at tabs.
  QStringList ColumnNames;

 private:
  QString fFileName;
  LiveRecord fBuffer{};
};
