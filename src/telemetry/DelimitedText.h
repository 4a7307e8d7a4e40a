#pragma once
// The pieces of text reading that the sniffing of a delimited log's dialect and the reading
// of its body share.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

class TSnapshotFile;

namespace delimited {
// The beginning of the file looked at for its dialect, and how much of it is looked at.
constexpr size_t kSniffBytes = size_t{256} << 10;

// A text of the reader's own, translated.
QString Tr(const char* text);
// A line without its CR of a CR LF end.
std::string_view WithoutCr(std::string_view line);
// Whether a line holds nothing but spaces and tabs.
bool Blank(std::string_view line);
// hh:mm:ss or hh:mm:ss.sss (a comma as the mark too), the seconds of the day; nothing when
// the text is not such a time.
std::optional<double> ParseClock(std::string_view text);
// The file's first kSniffBytes; `complete` is set when that is the whole file.
std::string ReadHead(TSnapshotFile& file, bool& complete);
}  // namespace delimited
