// Fuzzes the "demo.dat" record parser: any bytes, line by line, with the full stop and the
// comma as the user's separator, into one live record carried from line to line as the
// acquisition loop carries it. A line either parses or throws the conversion error; after
// a line that parsed, the engine speed can be taken to a whole number, and the live map
// cell is found for it, as the display does with every record.
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "common/Errors.h"
#include "common/Numbers.h"
#include "telemetry/DemoRecord.h"
#include "telemetry/LiveCell.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::optional<double> Header(int index) {
  if (index > 16) return std::nullopt;
  return 600.0 + 400.0 * index;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static LiveRecord values{};
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  for (int lines = 0; lines < 64 && start <= text.size(); ++lines) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const QString qline = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    const QChar separator = (lines & 1) ? QChar(',') : QChar('.');
    try {
      ParseDemoRecord(qline, values, separator);
      const std::optional<int64_t> speed = TryNearest(values[kRPM]);
      Check(speed.has_value());
      Check(*speed == Nearest(values[kRPM]));
    } catch (const EConvertError&) {
    }
    const int col = FindLiveColumn(Header, 17, values[kRPM]);
    Check(col >= 1 && col <= 16);
    const int row = FindLiveRow(Header, 17, values[kLOAD]);
    Check(row >= 1 && row <= 16);
    start = end + 1;
  }
  return 0;
}
