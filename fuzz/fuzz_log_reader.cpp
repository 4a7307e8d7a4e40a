// Fuzzes the telemetry log reader: any bytes as a log file, read with the full stop or the
// comma as the user's separator, into a logger that keeps its records and parse buffer from
// one input to the next. Checks that a load either succeeds or stops at a bad line, keeping
// the records before it and naming the line; that the fast number reader accepts exactly
// what the common parser accepts with either decimal mark, with the same value; and that
// every record loaded (absurd values included) writes back as a log line whose fields
// read again.
#include <sys/mman.h>
#include <unistd.h>

#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "telemetry/LogNumber.h"
#include "telemetry/LogReader.h"
#include "telemetry/LogWriter.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CompareNumberReaders(std::string_view text) {
  size_t start = 0;
  for (int pieces = 0; pieces < 64 && start <= text.size(); ++pieces) {
    size_t end = text.find_first_of("\t\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view piece = text.substr(start, end - start);
    auto expected = TryParseFloat(piece, '.');
    if (!expected) expected = TryParseFloat(piece, ',');
    for (char sep : {'.', ','}) {
      const auto got = ParseLogNumber(piece, std::string_view(&sep, 1));
      Check(expected.has_value() == got.has_value());
      if (expected) Check(*expected == *got);
    }
    start = end + 1;
  }
}

// The writer's text of a record: every field is a number the reader takes back.
void CheckWritesBack(const LiveRecord& record) {
  const QByteArray line = LogRecordLine(record[kTime], record, QChar(','));
  std::string_view rest(line.constData(), static_cast<size_t>(line.size()));
  Check(rest.size() >= 2 && rest.substr(rest.size() - 2) == "\r\n");
  rest.remove_suffix(2);
  for (;;) {
    const size_t tab = rest.find('\t');
    const std::string_view field = rest.substr(0, tab);
    const bool finite = field.find_first_of("NI") == std::string_view::npos;
    if (finite) Check(ParseLogNumber(field, ".").has_value());
    if (tab == std::string_view::npos) break;
    rest.remove_prefix(tab + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("fuzz-log", 0);
  static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
  static TEFILogger logger;
  if (fd < 0) std::abort();
  if (ftruncate(fd, 0) != 0) std::abort();
  if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CompareNumberReaders(text);

  QLocale::setDefault(size > 0 && (data[0] & 1) ? QLocale(QLocale::Russian)
                                                : QLocale(QLocale::English));
  const bool append = logger.Records.Count() < 5000 && size % 3 == 0;
  const int before = logger.Records.Count();
  const LiveRecord buffer = logger.ParseBuffer();
  std::vector<LiveRecord> kept;
  for (int i = 0; i < before && i < 16; ++i) kept.push_back(logger.Records[i]);
  int64_t lines = 1;
  for (char c : text) lines += c == '\n';
  try {
    logger.LoadFromFile(path, append);
  } catch (const ELogLineError& e) {
    // The bad line is one after the header; the records before it are held.
    Check(e.Line() >= 2 && e.Line() <= lines);
  }
  // One record at most per line after the header.
  Check(logger.Records.Count() <= (append ? before : 0) + lines);
  Check(!logger.ColumnNames.isEmpty());
  if (append) {
    for (int i = 0; i < before && i < 16; ++i) Check(logger.Records[i] == kept[i]);
  }
  // The parse buffer is the last record held, or the one before the load when none was read.
  if (logger.Records.Count() > (append ? before : 0))
    Check(logger.ParseBuffer() == logger.Records[logger.Records.Count() - 1]);
  else
    Check(logger.ParseBuffer() == buffer);
  for (int i = std::max(0, logger.Records.Count() - 8); i < logger.Records.Count(); ++i)
    CheckWritesBack(logger.Records[i]);
  return 0;
}
