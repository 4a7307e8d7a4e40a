#pragma once
// The record lines of a telemetry log read in pieces side by side: the text after the header
// is cut at line ends into as many pieces as there are cores, every piece is parsed on its
// own thread straight into its place in the record list, and the pieces are then joined so
// that the result is the one a single reader going line by line would give (the parse
// buffer carried from line to line, the first bad line ending the load).

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "common/Errors.h"
#include "telemetry/LiveRecord.h"

// Stores the tab-separated fields of a line into the slots of the parse buffer in turn:
// field k goes to slot k, fields after the twelfth are ignored, missing ones leave their
// slot as it was. Returns the number of slots stored; throws EConvertError for a field that
// is not a number (the slots before it are stored already).
int ParseLogFields(std::string_view line, LiveRecord& buffer, std::string_view separator);

// The number of lines of `body`: its line feeds, and one more for text after the last.
int64_t CountLogLines(std::string_view body);

// `body` cut into `parts` pieces (at least one) of about equal size, each ending just after
// a line feed (the last at the end of the text): a cut never falls inside a line or between
// the CR and the LF of a line end. Pieces may be empty.
std::vector<std::string_view> SplitAtLineEnds(std::string_view body, int parts);

struct TLogPiecesResult {
  int64_t records = 0;  // records written to the front of `out`
  LiveRecord buffer{};  // the parse buffer after the last line read
  // The first line that is not a record, counted from 1 within the text (the caller adds
  // the header), and what was wrong with it.
  int64_t badLine = 0;
  std::optional<EConvertError> error;
};

// CountLogLines of every piece, counted side by side.
std::vector<int64_t> CountPieceLines(const std::vector<std::string_view>& pieces);

// Parses the record lines of the pieces (consecutive parts of one text, each ending at a line
// end, with `lines` their CountPieceLines) in parallel, one thread a piece, into `out`, which
// has room for all their lines. `buffer` is the parse buffer before the first line.
// `progress`, when given, is called on the calling thread now and then with the bytes parsed
// so far by all threads.
// On a bad line the result holds the records before it, the buffer as the last of them left
// it (or `buffer` when there are none) and the error.
TLogPiecesResult ParseLogPieces(const std::vector<std::string_view>& pieces,
                                const std::vector<int64_t>& lines, LiveRecord* out,
                                const LiveRecord& buffer, std::string_view separator,
                                const std::function<void(int64_t)>& progress = {});
