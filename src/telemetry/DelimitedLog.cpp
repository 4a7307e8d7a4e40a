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
#include "telemetry/LogNumber.h"
#include "telemetry/LogPieces.h"
#include "telemetry/SnapshotFile.h"

namespace {

// The header is looked for in the first 256 KB, and among the first 200 lines of it.
constexpr size_t kSniffBytes = size_t{256} << 10;
constexpr int kHeaderWithinLines = 200;
// The body is read in blocks of this size, each parsed in pieces side by side.
constexpr size_t kBlockSize = size_t{8} << 20;
// A log line is a few dozen numbers: a longer one is garbage, refused rather than held.
constexpr size_t kLongestLine = size_t{16} << 20;
constexpr double kDay = 86400;

QString Tr(const char* text) {
  return QCoreApplication::translate("DelimitedLog", text);
}

ERuntimeError NotALog(const char* why) {
  return ERuntimeError(Tr(why).toStdString());
}

std::string_view WithoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool Blank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Delimiters outside double quotes.
int CountOutsideQuotes(std::string_view line, char delimiter) {
  int n = 0;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (c == delimiter && !quoted) ++n;
  }
  return n;
}

bool IsNumberText(const QString& cell) {
  const QByteArray text = cell.toUtf8();
  return ParseLogNumber(std::string_view(text.constData(), static_cast<size_t>(text.size())), ".")
      .has_value();
}

bool IsClockText(const QString& cell);

// A line of a delimited log's body: it holds a number or a clock time in some cell.
bool HasNumber(const QStringList& cells) {
  return std::any_of(cells.begin(), cells.end(),
                     [](const QString& c) { return IsNumberText(c) || IsClockText(c); });
}

// hh:mm:ss or hh:mm:ss.sss (a comma as the mark too), the seconds of the day; nothing when the
// text is not such a time.
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

bool IsClockText(const QString& cell) {
  const QByteArray text = cell.toUtf8();
  return ParseClock(std::string_view(text.constData(), static_cast<size_t>(text.size())))
      .has_value();
}

// The delimiter a header line uses: the one of tab, semicolon and comma it holds most often
// outside quotes (a tie goes to the one listed first); none when it holds none of them.
std::optional<char> HeaderDelimiter(std::string_view line) {
  char best = 0;
  int most = 0;
  for (char d : {'\t', ';', ','}) {
    const int n = CountOutsideQuotes(line, d);
    if (n > most) {
      most = n;
      best = d;
    }
  }
  return most > 0 ? std::optional<char>(best) : std::nullopt;
}

// The decimal mark of the data: a comma where the cells write "0,95" and not "0.95".
char DecimalOf(const QList<QStringList>& sample, char delimiter) {
  if (delimiter == ',') return '.';
  int commas = 0, points = 0;
  for (const QStringList& row : sample)
    for (const QString& cell : row) {
      if (!IsNumberText(cell)) continue;
      commas += cell.contains(QLatin1Char(',')) ? 1 : 0;
      points += cell.contains(QLatin1Char('.')) ? 1 : 0;
    }
  return commas > points ? ',' : '.';
}

// Lines of `text` with their ends: the last one only when the text is complete.
struct TextLine {
  std::string_view text;
  size_t next;  // the offset after its line end
};
std::vector<TextLine> LinesOf(std::string_view text, bool complete, size_t most) {
  std::vector<TextLine> lines;
  size_t start = 0;
  while (start < text.size() && lines.size() < most) {
    const size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      if (complete) lines.push_back({WithoutCr(text.substr(start)), text.size()});
      break;
    }
    lines.push_back({WithoutCr(text.substr(start, lf - start)), lf + 1});
    start = lf + 1;
  }
  return lines;
}

bool LooksBinary(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return true;
  const auto controls = std::count_if(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 && c != '\t' && c != '\r' && c != '\n';
  });
  return controls * 100 > static_cast<int64_t>(text.size());
}

// The own log's header begins with "Time" and is tab-separated; its other names are whatever
// the columns were called, the position deciding, so any such file reads as the own log.
bool IsOwnHeader(const QStringList& names, char delimiter) {
  return delimiter == '\t' && !names.isEmpty() && names.front() == QLatin1String("Time");
}

}  // namespace

QStringList SplitLogLine(std::string_view line, char delimiter) {
  QStringList cells;
  QByteArray cell;
  bool quoted = false;
  for (size_t k = 0; k < line.size(); ++k) {
    const char c = line[k];
    if (quoted) {
      if (c == '"' && k + 1 < line.size() && line[k + 1] == '"') {
        cell += '"';
        ++k;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == delimiter) {
      cells << QString::fromUtf8(cell).trimmed();
      cell.clear();
    } else {
      cell += c;
    }
  }
  cells << QString::fromUtf8(cell).trimmed();
  return cells;
}

TLogDialect SniffLogText(std::string_view text, bool complete, int sampleRows) {
  if (LooksBinary(text))
    throw NotALog(QT_TRANSLATE_NOOP("DelimitedLog", "Это не ЛОГ: файл двоичный, а не текст."));
  const std::vector<TextLine> lines = LinesOf(text, complete, kHeaderWithinLines + 1000);
  bool sawNumbersOnly = false;
  for (size_t i = 0; i < lines.size() && i < static_cast<size_t>(kHeaderWithinLines); ++i) {
    const std::string_view line = lines[i].text;
    const std::optional<char> delimiter = Blank(line) ? std::nullopt : HeaderDelimiter(line);
    if (!delimiter || line.front() == '#') continue;
    const QStringList names = SplitLogLine(line, *delimiter);
    if (HasNumber(names) &&
        std::all_of(names.begin(), names.end(), [](const QString& n) { return IsNumberText(n); })) {
      sawNumbersOnly = true;  // numbers without names above them
      continue;
    }
    // The header is the line whose next row of data has as many cells and holds numbers: a
    // banner line with a delimiter in it ("Logger: X, v1.2") has none below it.
    size_t j = i + 1;
    while (j < lines.size() && (Blank(lines[j].text) || lines[j].text.front() == '#')) ++j;
    if (j >= lines.size()) continue;
    const QStringList first = SplitLogLine(lines[j].text, *delimiter);
    if (first.size() != names.size() || !HasNumber(first)) continue;
    TLogDialect d;
    d.delimiter = *delimiter;
    d.headerLine = static_cast<int64_t>(i) + 1;
    d.bodyOffset = static_cast<int64_t>(lines[i].next);
    d.headerText = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    d.names = names;
    for (size_t k = j; k < lines.size() && d.sample.size() < sampleRows; ++k) {
      if (Blank(lines[k].text) || lines[k].text.front() == '#' || lines[k].text == line) continue;
      d.sample << SplitLogLine(lines[k].text, *delimiter);
    }
    d.decimal = DecimalOf(d.sample, d.delimiter);
    d.ownFormat = IsOwnHeader(names, d.delimiter);
    return d;
  }
  if (sawNumbersOnly)
    throw NotALog(QT_TRANSLATE_NOOP(
        "DelimitedLog",
        "Это не ЛОГ: над строками чисел нет строки заголовка с названиями столбцов."));
  if (std::none_of(lines.begin(), lines.end(), [](const TextLine& l) {
        const auto d = HeaderDelimiter(l.text);
        return d && HasNumber(SplitLogLine(l.text, *d));
      }))
    throw NotALog(
        QT_TRANSLATE_NOOP("DelimitedLog", "Это не ЛОГ: в файле нет ни одной строки с числами."));
  throw NotALog(QT_TRANSLATE_NOOP(
      "DelimitedLog",
      "Это не ЛОГ: не найдена строка заголовка, под которой идут строки с тем же числом полей."));
}

namespace {

std::string ReadHead(TSnapshotFile& file, bool& complete) {
  std::string head(static_cast<size_t>(std::min<int64_t>(file.End(), kSniffBytes)), '\0');
  size_t got = 0;
  while (got < head.size())
    got += file.ReadAt(static_cast<int64_t>(got), head.data() + got, head.size() - got);
  complete = static_cast<int64_t>(head.size()) == file.End();
  return head;
}

}  // namespace

TLogDialect SniffLogFile(const QString& fileName, int sampleRows) {
  TSnapshotFile file(fileName);
  bool complete = false;
  const std::string head = ReadHead(file, complete);
  return SniffLogText(head, complete, sampleRows);
}

namespace {

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

// Fills `block` from `offset` as far as the file and the block reach and returns its whole
// lines (all of it at the end of the file); a block without a line end grows until it holds one.
std::string_view WholeLines(TSnapshotFile& file, int64_t offset, std::vector<char>& block) {
  for (;;) {
    size_t got = 0;
    while (got < block.size() && offset + static_cast<int64_t>(got) < file.End())
      got +=
          file.ReadAt(offset + static_cast<int64_t>(got), block.data() + got, block.size() - got);
    const std::string_view text(block.data(), got);
    if (offset + static_cast<int64_t>(got) >= file.End()) return text;
    const size_t lf = text.rfind('\n');
    if (lf != std::string_view::npos) return text.substr(0, lf + 1);
    if (block.size() >= kLongestLine)
      throw ERuntimeError(
          QCoreApplication::translate("DelimitedLog", "Это не ЛОГ: строка длиннее 16 МБ.")
              .toStdString());
    block.resize(block.size() * 2);
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
    const std::string_view text = WholeLines(file, offset, block);
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
    const std::string_view text = WholeLines(file, offset, block);
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
