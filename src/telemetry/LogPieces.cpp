#include "telemetry/LogPieces.h"

#include <QString>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <limits>
#include <thread>

#include "telemetry/LogNumber.h"

int ParseLogFields(std::string_view line, LiveRecord& buffer, std::string_view separator) {
  const char* p = line.data();
  const char* end = p + line.size();
  for (int k = 0; k < kLiveSlots; ++k) {
    // Fields are a few characters long: a plain scan beats a memchr call per field.
    const char* pieceEnd = p;
    while (pieceEnd != end && *pieceEnd != '\t') ++pieceEnd;
    const char* tab = pieceEnd != end ? pieceEnd : nullptr;
    const auto value = ParseLogNumber(std::string_view(p, pieceEnd - p), separator);
    if (!value)
      throw EConvertError::InvalidFloat(
          QString::fromLocal8Bit(p, static_cast<qsizetype>(pieceEnd - p)));
    buffer[k] = *value;
    if (!tab) return k + 1;
    p = tab + 1;
  }
  return kLiveSlots;
}

int64_t CountLogLines(std::string_view body) {
  // memchr finds line feeds several times faster than a byte-by-byte count. An empty piece
  // may have no storage at all, and memchr must not be given a null pointer.
  if (body.empty()) return 0;
  int64_t feeds = 0;
  const char* p = body.data();
  const char* end = p + body.size();
  while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p))))) {
    ++feeds;
    ++p;
  }
  return feeds + (!body.empty() && body.back() != '\n' ? 1 : 0);
}

std::vector<std::string_view> SplitAtLineEnds(std::string_view body, int parts) {
  parts = std::max(parts, 1);
  std::vector<std::string_view> pieces;
  size_t begin = 0;
  for (int k = 1; k <= parts; ++k) {
    size_t end = body.size();
    if (k < parts) {
      const size_t target = std::max(begin, body.size() / static_cast<size_t>(parts) * k);
      const size_t lf = body.find('\n', target);
      end = lf == std::string_view::npos ? body.size() : lf + 1;
    }
    pieces.push_back(body.substr(begin, end - begin));
    begin = end;
  }
  return pieces;
}

namespace {

constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
// Bytes parsed between updates of the shared count.
constexpr size_t kStride = size_t{1} << 20;

// What one piece gave on its own. Slots the piece has not stored yet belong to the pieces
// before it: `own[s]` is the first record of the piece that holds its own value of slot s.
struct PieceResult {
  int64_t records = 0;
  int64_t lines = 0;  // lines read, the bad one included
  LiveRecord buffer{};
  std::array<int64_t, kLiveSlots> own{};
  std::optional<EConvertError> error;
};

// What the threads share: the bytes parsed so far and who reports them.
struct Shared {
  std::string_view separator;
  std::atomic<int64_t> done{0};
  const std::function<void(int64_t)>* progress = nullptr;  // the first piece reports
};

void ParsePiece(std::string_view text, LiveRecord* out, const LiveRecord& start, bool first,
                Shared& shared, PieceResult& result) {
  const std::string_view separator = shared.separator;
  LiveRecord buffer = start;
  int ownSlots = first ? kLiveSlots : 0;
  result.own.fill(first ? 0 : kNever);
  const char* p = text.data();
  const char* end = p + text.size();
  const char* reported = p;
  int64_t records = 0;
  while (p != end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
    const char* lineEnd = lf ? lf : end;
    std::string_view line(p, lineEnd - p);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    p = lf ? lf + 1 : end;
    ++result.lines;
    // An empty line holds no record; a line starting with a double quote is a comment.
    if (line.empty() || line.front() == '"') continue;
    // A line without a tab repeats the record before it.
    if (line.find('\t') != std::string_view::npos) {
      try {
        const int stored = ParseLogFields(line, buffer, separator);
        for (; ownSlots < stored; ++ownSlots) result.own[static_cast<size_t>(ownSlots)] = records;
      } catch (const EConvertError& e) {
        result.error = e;
        break;
      }
    }
    out[records++] = buffer;
    if (static_cast<size_t>(p - reported) >= kStride) {
      const int64_t done = shared.done.fetch_add(p - reported, std::memory_order_relaxed);
      if (first && *shared.progress) (*shared.progress)(done + (p - reported));
      reported = p;
    }
  }
  shared.done.fetch_add(p - reported, std::memory_order_relaxed);
  result.records = records;
  result.buffer = buffer;
}

}  // namespace

std::vector<int64_t> CountPieceLines(const std::vector<std::string_view>& pieces) {
  std::vector<int64_t> lines(pieces.size(), 0);
  {
    std::vector<std::jthread> threads;
    for (size_t k = 1; k < pieces.size(); ++k)
      threads.emplace_back([&, k] { lines[k] = CountLogLines(pieces[k]); });
    if (!pieces.empty()) lines[0] = CountLogLines(pieces[0]);
  }
  return lines;
}

TLogPiecesResult ParseLogPieces(const std::vector<std::string_view>& pieces,
                                const std::vector<int64_t>& lines, LiveRecord* out,
                                const LiveRecord& buffer, std::string_view separator,
                                const std::function<void(int64_t)>& progress) {
  const size_t n = pieces.size();
  std::vector<PieceResult> results(n);
  std::vector<int64_t> offsets(n, 0);
  for (size_t k = 1; k < n; ++k) offsets[k] = offsets[k - 1] + lines[k - 1];
  Shared shared;
  shared.separator = separator;
  shared.progress = &progress;
  {
    std::vector<std::jthread> threads;
    for (size_t k = 1; k < n; ++k)
      threads.emplace_back(
          [&, k] { ParsePiece(pieces[k], out + offsets[k], buffer, false, shared, results[k]); });
    if (n > 0) ParsePiece(pieces[0], out, buffer, true, shared, results[0]);
  }
  // Join the pieces in order: each moves down behind the records before it, and the slots it
  // had not stored yet take the values the pieces before it left in the buffer.
  TLogPiecesResult result;
  result.buffer = buffer;
  int64_t linesBefore = 0;
  for (size_t k = 0; k < n; ++k) {
    const PieceResult& piece = results[k];
    LiveRecord* moved = out + result.records;
    if (piece.records > 0 && moved != out + offsets[k])
      std::memmove(static_cast<void*>(moved), out + offsets[k],
                   static_cast<size_t>(piece.records) * sizeof(LiveRecord));
    for (int s = 0; s < kLiveSlots; ++s) {
      const int64_t own = std::min(piece.own[static_cast<size_t>(s)], piece.records);
      for (int64_t j = 0; j < own; ++j) moved[j][s] = result.buffer[s];
    }
    LiveRecord carried = piece.buffer;
    for (int s = 0; s < kLiveSlots; ++s)
      if (piece.own[static_cast<size_t>(s)] == kNever) carried[s] = result.buffer[s];
    result.records += piece.records;
    if (piece.error) {
      // The half-read bad line does not linger: the buffer is the last record's.
      if (result.records > 0) result.buffer = out[result.records - 1];
      result.badLine = linesBefore + piece.lines;
      result.error = piece.error;
      return result;
    }
    result.buffer = carried;
    linesBefore += piece.lines;
  }
  return result;
}
