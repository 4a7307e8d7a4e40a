#include "telemetry/DelimitedLog.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <thread>
#include <vector>

#include "common/Errors.h"
#include "common/ShownText.h"
#include "telemetry/DelimitedText.h"
#include "telemetry/LogNumber.h"
#include "telemetry/LogPieces.h"
#include "telemetry/SnapshotFile.h"

namespace {
using namespace delimited;

// The body is read in blocks of this size, each parsed in pieces side by side.
constexpr size_t kBlockSize = size_t{8} << 20;
constexpr double kDay = 86400;

// Where each mapped column goes, and how its cells are read.
enum class TCellUse : char { None, Number, Time };
constexpr int kNoSlot = -1;

struct ColumnPlan {
  std::vector<TCellUse> use;           // by column
  std::vector<std::array<int, 2>> to;  // the slots a number goes to (load: LOAD and PW)
  std::vector<QString> names;          // for the messages
  int lastColumn = -1;
  TLogTime time = TLogTime::None;
  char delimiter = ',';
  std::string decimal = ".";
  std::string header;
};

ColumnPlan PlanOf(const TLogColumns& c, const TLogDialect& d) {
  ColumnPlan plan;
  const int n = static_cast<int>(d.names.size());
  plan.use.assign(static_cast<size_t>(n), TCellUse::None);
  plan.to.assign(static_cast<size_t>(n), {kNoSlot, kNoSlot});
  plan.names = std::vector<QString>(d.names.begin(), d.names.end());
  const auto map = [&plan](int col, int slot, int second = kNoSlot) {
    if (col < 0) return;
    plan.use[static_cast<size_t>(col)] = TCellUse::Number;
    auto& to = plan.to[static_cast<size_t>(col)];
    // A column mapped twice feeds both slots.
    if (to[0] == kNoSlot)
      to = {slot, second};
    else
      to[1] = slot;
    plan.lastColumn = std::max(plan.lastColumn, col);
  };
  map(c.rpm, kRPM);
  map(c.load, kLOAD, kPW);
  map(c.mixture, kO2);
  map(c.clt, kCLT);
  map(c.tps, kTPS);
  if (c.time >= 0) {
    map(c.time, kTime);
    plan.use[static_cast<size_t>(c.time)] = TCellUse::Time;
  }
  plan.time = c.time >= 0 ? c.timeKind : TLogTime::None;
  plan.delimiter = d.delimiter;
  plan.decimal = std::string(1, d.decimal);
  plan.header = d.headerText.toStdString();
  return plan;
}

EConvertError CellError(const ColumnPlan& plan, int col, std::string_view cell,
                        const char* expected) {
  return EConvertError(
      QCoreApplication::translate("DelimitedLog", "столбец %1 «%2»: «%3» — ожидалось %4")
          .arg(col + 1)
          .arg(ShownPiece(plan.names[static_cast<size_t>(col)]))
          .arg(ShownPiece(QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()))))
          .arg(Tr(expected))
          .toStdString());
}

// Stores one cell of a mapped column; an empty cell stores NaN, for the value above it.
void StoreCell(const ColumnPlan& plan, int col, std::string_view cell, LiveRecord& r,
               int64_t& empty) {
  const auto& to = plan.to[static_cast<size_t>(col)];
  const TCellUse use = plan.use[static_cast<size_t>(col)];
  std::optional<double> v;
  const bool clock = use == TCellUse::Time && plan.time == TLogTime::Clock;
  if (clock) {
    v = ParseClock(cell);
  } else {
    v = ParseLogNumber(cell, plan.decimal);
    if (v && use == TCellUse::Time && plan.time == TLogTime::Milliseconds) *v /= 1000;
  }
  // An empty cell is looked for only when the cell is no number: most cells are.
  if (!v && Blank(cell)) {
    v = std::numeric_limits<double>::quiet_NaN();
    ++empty;
  }
  if (!v)
    throw CellError(plan, col, cell,
                    clock ? QT_TRANSLATE_NOOP("DelimitedLog", "время чч:мм:сс.ссс")
                          : QT_TRANSLATE_NOOP("DelimitedLog", "число"));
  r[to[0]] = *v;
  if (to[1] != kNoSlot) r[to[1]] = *v;
}

// The cells of a line with quotes: the slow path, for lines that hold a double quote.
std::vector<std::string> QuotedCells(std::string_view line, char delimiter) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (size_t k = 0; k < line.size(); ++k) {
    const char c = line[k];
    if (c == '"' && quoted && k + 1 < line.size() && line[k + 1] == '"') {
      cells.back() += '"';
      ++k;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == delimiter && !quoted) {
      cells.emplace_back();
    } else {
      cells.back() += c;
    }
  }
  return cells;
}

[[noreturn]] void MissingColumn(const ColumnPlan& plan, int cells) {
  int col = 0;
  while (col < static_cast<int>(plan.use.size()) &&
         (col < cells || plan.use[static_cast<size_t>(col)] == TCellUse::None))
    ++col;
  throw EConvertError(QCoreApplication::translate("DelimitedLog", "полей %1, нет столбца %2 «%3»")
                          .arg(cells)
                          .arg(col + 1)
                          .arg(ShownPiece(plan.names[static_cast<size_t>(col)]))
                          .toStdString());
}

// Parses one data line into `r` (unmapped slots 0).
void ParseRow(const ColumnPlan& plan, std::string_view line, LiveRecord& r, int64_t& empty) {
  r.fill(0);
  if (std::memchr(line.data(), '"', line.size())) {
    const std::vector<std::string> cells = QuotedCells(line, plan.delimiter);
    if (static_cast<int>(cells.size()) <= plan.lastColumn)
      MissingColumn(plan, static_cast<int>(cells.size()));
    for (int col = 0; col <= plan.lastColumn; ++col)
      if (plan.use[static_cast<size_t>(col)] != TCellUse::None)
        StoreCell(plan, col, cells[static_cast<size_t>(col)], r, empty);
    return;
  }
  const char* p = line.data();
  const char* end = p + line.size();
  for (int col = 0; col <= plan.lastColumn; ++col) {
    const char* cellEnd = p;
    while (cellEnd != end && *cellEnd != plan.delimiter) ++cellEnd;
    if (plan.use[static_cast<size_t>(col)] != TCellUse::None)
      StoreCell(plan, col, std::string_view(p, static_cast<size_t>(cellEnd - p)), r, empty);
    if (cellEnd == end && col < plan.lastColumn) MissingColumn(plan, col + 1);
    p = cellEnd + 1;
  }
}

struct PieceResult {
  int64_t records = 0;
  int64_t lines = 0;  // lines read, the bad one included
  int64_t empty = 0;
  std::optional<EConvertError> error;
};

void ParsePiece(const ColumnPlan& plan, std::string_view text, LiveRecord* out,
                PieceResult& result) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p != end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const std::string_view line =
        WithoutCr(std::string_view(p, static_cast<size_t>((lf ? lf : end) - p)));
    p = lf ? lf + 1 : end;
    ++result.lines;
    // Empty lines, comments and a header written again (a logger restarted) hold no record.
    if (line.empty() || line.front() == '#' || Blank(line) || line == plan.header) continue;
    try {
      ParseRow(plan, line, out[result.records], result.empty);
    } catch (const EConvertError& e) {
      result.error = e;
      return;
    }
    ++result.records;
  }
}

// Empty cells take the value above them; clock times become seconds from the first record
// (a step back of more than half a day is midnight); a log without time gets the rate's.
void FinishRecords(TEFILogList& records, const TLogColumns& c) {
  LiveRecord* r = records.Slots();
  const int64_t n = records.Count();
  LiveRecord above{};
  double day = 0, first = 0, previous = 0;
  for (int64_t i = 0; i < n; ++i) {
    for (int s = 0; s < kLiveSlots; ++s)
      if (std::isnan(r[i][s])) r[i][s] = above[s];
    above = r[i];
    if (c.time < 0) {
      r[i][kTime] = static_cast<double>(i) / c.rate;
    } else if (c.timeKind == TLogTime::Clock) {
      const double t = r[i][kTime];
      if (i == 0) first = t;
      if (i > 0 && t < previous - kDay / 2) day += kDay;
      previous = t;
      r[i][kTime] = t + day - first;
    }
  }
}

}  // namespace

namespace {

[[noreturn]] void TooManyRecords() {
  throw ERuntimeError(
      QCoreApplication::translate("DelimitedLog", "В ЛОГе больше записей, чем помещается в список.")
          .toStdString());
}

// The lines of the body, counted first so that the list is sized once: growing it block by
// block would copy the records and have fresh pages cleared again and again.
int64_t CountBodyLines(TSnapshotFile& file, int64_t bodyOffset, int parts,
                       std::vector<char>& block) {
  int64_t count = 0;
  for (int64_t offset = bodyOffset; offset < file.End();) {
    const std::string_view text = file.WholeLines(offset, block);
    for (int64_t l : CountPieceLines(SplitAtLineEnds(text, parts))) count += l;
    offset += static_cast<int64_t>(text.size());
  }
  return count;
}

// Where a block's reading stands: records filled so far, the file's line before the block.
struct BlockState {
  int64_t filled = 0;
  int64_t lineBefore = 0;
  int64_t empty = 0;
};

// Parses the whole lines of one block in pieces side by side, each straight into its place
// in the list, then moves the pieces' records together; the first bad line ends the read.
void ParseBlock(const ColumnPlan& plan, std::string_view text, int parts, TEFILogList& read,
                BlockState& at) {
  const std::vector<std::string_view> pieces =
      SplitAtLineEnds(text, text.size() < (size_t{1} << 16) ? 1 : parts);
  const std::vector<int64_t> lines = CountPieceLines(pieces);
  int64_t room = 0;
  for (int64_t l : lines) room += l;
  if (at.filled + room > read.MaxCount) TooManyRecords();
  // A file rewritten with more lines since they were counted.
  if (at.filled + room > read.Count()) read.ResizeForFill(static_cast<int>(at.filled + room));
  std::vector<PieceResult> results(pieces.size());
  std::vector<int64_t> first(pieces.size(), at.filled);
  for (size_t k = 1; k < pieces.size(); ++k) first[k] = first[k - 1] + lines[k - 1];
  {
    std::vector<std::jthread> threads;
    for (size_t k = 1; k < pieces.size(); ++k)
      threads.emplace_back(
          [&, k] { ParsePiece(plan, pieces[k], read.Slots() + first[k], results[k]); });
    ParsePiece(plan, pieces[0], read.Slots() + first[0], results[0]);
  }
  for (size_t k = 0; k < pieces.size(); ++k) {
    const PieceResult& piece = results[k];
    if (piece.records > 0 && at.filled != first[k])
      std::memmove(static_cast<void*>(read.Slots() + at.filled), read.Slots() + first[k],
                   static_cast<size_t>(piece.records) * sizeof(LiveRecord));
    at.filled += piece.records;
    at.empty += piece.empty;
    if (piece.error) throw ELogLineError(at.lineBefore + piece.lines, *piece.error);
    at.lineBefore += piece.lines;
  }
}

// The own log's twelve slot names: the mapped columns' names, empty elsewhere.
QStringList SlotNames(const TLogColumns& c, const QStringList& names) {
  QStringList named;
  for (int s = 0; s < kLiveSlots; ++s) named << QString();
  const auto name = [&names](int col) { return col >= 0 ? names.value(col) : QString(); };
  named[kTime] = c.time >= 0 ? name(c.time) : QStringLiteral("Time");
  named[kRPM] = name(c.rpm);
  named[kLOAD] = name(c.load);
  named[kPW] = name(c.load);
  named[kO2] = name(c.mixture);
  named[kCLT] = name(c.clt);
  named[kTPS] = name(c.tps);
  return named;
}

}  // namespace

TDelimitedLoadInfo ReadDelimitedLog(const QString& fileName, const TLogColumns& columns,
                                    TEFILogList& records, QStringList& names,
                                    const TEFILogger::Progress& progress) {
  TSnapshotFile file(fileName);
  TDelimitedLoadInfo info;
  {
    bool complete = false;
    const std::string head = ReadHead(file, complete);
    info.dialect = SniffLogText(head, complete);
  }
  const TLogDialect& d = info.dialect;
  if (const QString problem = LogColumnsProblem(columns, d.names); !problem.isEmpty())
    throw ERuntimeError(problem.toStdString());
  const ColumnPlan plan = PlanOf(columns, d);
  const int parts = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));

  TEFILogList read;
  read.MaxCount = records.MaxCount;
  std::vector<char> block(static_cast<size_t>(
      std::clamp<int64_t>(file.End() - d.bodyOffset + 1, 4096, static_cast<int64_t>(kBlockSize))));
  const int64_t lineCount = CountBodyLines(file, d.bodyOffset, parts, block);
  if (lineCount > read.MaxCount) TooManyRecords();
  read.ResizeForFill(static_cast<int>(lineCount));
  BlockState at;
  at.lineBefore = d.headerLine;
  for (int64_t offset = d.bodyOffset; offset < file.End();) {
    const std::string_view text = file.WholeLines(offset, block);
    ParseBlock(plan, text, parts, read, at);
    offset += static_cast<int64_t>(text.size());
    if (progress) progress(offset, file.End());
  }
  read.ResizeForFill(static_cast<int>(at.filled));
  if (at.filled == 0)
    throw ERuntimeError(QCoreApplication::translate(
                            "DelimitedLog", "Это не ЛОГ: под заголовком нет ни одной записи.")
                            .toStdString());
  FinishRecords(read, columns);
  info.emptyCells = at.empty;
  records.SwapItems(read);
  names = SlotNames(columns, d.names);
  return info;
}

int64_t TEFILogger::LoadDelimitedFromFile(const QString& fileName, const TLogColumns& columns,
                                          const Progress& progress) {
  const TDelimitedLoadInfo info =
      ReadDelimitedLog(fileName, columns, Records, ColumnNames, progress);
  fFileName = fileName;
  return info.emptyCells;
}
