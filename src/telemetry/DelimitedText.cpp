// The pieces of text reading that the dialect sniffing and the log reading share.
#include "telemetry/DelimitedText.h"

#include <QCoreApplication>
#include <algorithm>

#include "telemetry/SnapshotFile.h"

namespace delimited {

QString Tr(const char* text) {
  return QCoreApplication::translate("DelimitedLog", text);
}

std::string_view WithoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool Blank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::optional<double> ParseClock(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int fields[3] = {0, 0, 0};
  size_t p = 0;
  for (int k = 0; k < 3; ++k) {
    if (k > 0) {
      if (p >= text.size() || text[p] != ':') return std::nullopt;
      ++p;
    }
    const size_t start = p;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9' && p - start < 2)
      fields[k] = fields[k] * 10 + (text[p++] - '0');
    if (p == start) return std::nullopt;
  }
  // The fraction's digits as one whole number over a power of ten: a time of .125 is then
  // exactly an eighth, as the same time written in seconds reads.
  int64_t digits = 0;
  double scale = 1;
  if (p < text.size() && (text[p] == '.' || text[p] == ',')) {
    for (++p; p < text.size() && text[p] >= '0' && text[p] <= '9' && scale < 1e15; ++p) {
      digits = digits * 10 + (text[p] - '0');
      scale *= 10;
    }
  }
  const double fraction = static_cast<double>(digits) / scale;
  if (p != text.size() || fields[0] > 23 || fields[1] > 59 || fields[2] > 60) return std::nullopt;
  return fields[0] * 3600.0 + fields[1] * 60.0 + fields[2] + fraction;
}

std::string ReadHead(TSnapshotFile& file, bool& complete) {
  std::string head(static_cast<size_t>(std::min<int64_t>(file.End(), kSniffBytes)), '\0');
  head.resize(file.Fill(0, head.data(), head.size()));
  complete = static_cast<int64_t>(head.size()) == file.End();
  return head;
}

}  // namespace delimited
