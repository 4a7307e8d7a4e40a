// Fuzzes the telemetry log reader: any bytes as a log file, read with the full stop or the
// comma as decimal separator, into a logger that keeps its records and parse buffer from
// one input to the next. Checks that a load either succeeds or throws one of the file or
// number errors and then changes nothing, and that the fast number reader accepts exactly
// what the common parser accepts, with the same value.
#include <sys/mman.h>
#include <unistd.h>

#include <QLocale>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "telemetry/EfiLog.h"
#include "telemetry/LogNumber.h"

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
    for (char sep : {'.', ','}) {
      const auto expected = TryParseFloat(piece, sep);
      const auto got = ParseLogNumber(piece, std::string_view(&sep, 1));
      Check(expected.has_value() == got.has_value());
      if (expected) Check(*expected == *got);
    }
    start = end + 1;
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
  const QStringList names = logger.ColumnNames;
  try {
    logger.LoadFromFile(path, append);
    // One record at most per line after the header.
    int64_t lines = 1;
    for (char c : text) lines += c == '\n';
    Check(logger.Records.Count() <= (append ? before : 0) + lines);
    Check(!logger.ColumnNames.isEmpty());
  } catch (const EConvertError&) {
    Check(logger.Records.Count() == before);
    Check(logger.ParseBuffer() == buffer);
    Check(logger.ColumnNames == names);
  }
  return 0;
}
