// Fuzzes the reader of other loggers' delimited logs: any bytes as a file, its dialect found,
// the mapping guessed from its header, then read. Checks that a file is either refused in one
// sentence, or read whole, or refused at a line of the file with nothing loaded; that a read
// holds at most one record a line, and that the mapping's text reads back as the same mapping.
#include <sys/mman.h>
#include <unistd.h>

#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "common/Errors.h"
#include "telemetry/DelimitedLog.h"
#include "telemetry/LogColumns.h"
#include "telemetry/LogReader.h"

namespace {
void Check(bool ok, int line = __builtin_LINE()) {
  if (ok) return;
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("fuzz-delimited", 0);
  static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
  if (fd < 0) std::abort();
  if (ftruncate(fd, 0) != 0) std::abort();
  if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int64_t lines = 1;
  for (char c : text) lines += c == '\n';

  TLogDialect dialect;
  try {
    dialect = SniffLogFile(path);
  } catch (const ERuntimeError&) {
    return 0;  // not a log: one sentence, nothing read
  }
  if (dialect.ownFormat) return 0;
  Check(dialect.headerLine >= 1 && dialect.headerLine <= lines);
  Check(dialect.bodyOffset >= 0 && dialect.bodyOffset <= static_cast<int64_t>(size));
  TLogColumns columns = GuessLogColumns(dialect.names, dialect.sample);
  if (columns.rate <= 0) columns.rate = 10;
  if (!LogColumnsProblem(columns, dialect.names).isEmpty()) return 0;
  // The mapping as the command line writes it reads back as the same mapping.
  const QString written = LogColumnsText(columns, dialect.names);
  try {
    TLogColumns again = ParseLogColumns(written, dialect.names, dialect.sample);
    again.rate = columns.rate;
    Check(again == columns);
  } catch (const ERuntimeError&) {
    Check(false);
  }
  TEFILogList records;
  QStringList names;
  try {
    ReadDelimitedLog(path, columns, records, names);
    Check(records.Count() <= lines);
    Check(names.size() == kLiveSlots);
  } catch (const ELogLineError& e) {
    Check(e.Line() >= 1 && e.Line() <= lines);
    Check(records.Count() == 0);
  } catch (const ERuntimeError&) {
    Check(records.Count() == 0);
  }
  return 0;
}
