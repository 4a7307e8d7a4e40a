#include "telemetry/LogReader.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "telemetry/LogPieces.h"
#include "telemetry/SnapshotFile.h"

// ---------------------------------------------------------------------------------------
// TEFILogList

void TEFILogList::PutRecord(int i, const LiveRecord& record) {
  if (CheckIndex(i)) Put(i, record);
}

void TEFILogList::AddRolling(const LiveRecord& record) {
  PutRecord(0, record);
  Move(0, Count() - 1);
}

void TEFILogList::Add(const LiveRecord& record) {
  try {
    TTypedList::Add(record);
  } catch (const EListError&) {
    AddRolling(record);
  } catch (const std::bad_alloc&) {
    AddRolling(record);
  }
}

bool TEFILogList::IsLess(const LiveRecord& a, const LiveRecord& b) const {
  if (SortField >= kLiveSlots) ListError();
  return a[SortField] < b[SortField];
}

bool TEFILogList::IsGreater(const LiveRecord& a, const LiveRecord& b) const {
  if (SortField >= kLiveSlots) ListError();
  return a[SortField] > b[SortField];
}

bool TEFILogList::IsEqual(const LiveRecord& a, const LiveRecord& b) const {
  if (SortField >= kLiveSlots) ListError();
  return a[SortField] == b[SortField];
}

// ---------------------------------------------------------------------------------------
// Reading the file

namespace {

// Big blocks keep the number of system calls small; a line longer than a block grows it.
constexpr size_t kBlockSize = size_t{1} << 20;
// A log whose first megabyte holds no line end has no header line: it is no log at all
// (a disk image, a file of zeros) and is refused before anything is read into memory.
constexpr int64_t kHeaderWithin = int64_t{1} << 20;
// A log line is a dozen numbers. A line this long is garbage, and is refused rather than
// held whole in memory.
constexpr size_t kLongestLine = size_t{16} << 20;
// The blocks that are parsed in pieces side by side.
constexpr size_t kPiecesBlock = size_t{8} << 20;

ERuntimeError NotALog(const char* why) {
  return ERuntimeError(QCoreApplication::translate("LogReader", "Это не ЛОГ: %1")
                           .arg(QCoreApplication::translate("LogReader", why))
                           .toStdString());
}

[[noreturn]] void LineTooLong() {
  throw NotALog(QT_TRANSLATE_NOOP("LogReader", "строка длиннее 16 МБ"));
}

// The first megabyte must hold the header's line end.
void RequireHeaderLine(TSnapshotFile& file) {
  if (file.End() <= kHeaderWithin) return;
  std::vector<char> head(static_cast<size_t>(kHeaderWithin));
  int64_t got = 0;
  while (got < kHeaderWithin) {
    const size_t n = file.ReadAt(got, head.data() + got, head.size() - static_cast<size_t>(got));
    if (std::memchr(head.data() + got, '\n', n)) return;
    got += static_cast<int64_t>(n);
  }
  throw NotALog(QT_TRANSLATE_NOOP("LogReader", "в первом мегабайте нет конца строки"));
}

// The number of lines of the file (line feeds plus one), to size the record list once
// instead of letting it grow by doubling, which would briefly need one and a half times
// the memory of the records.
int64_t CountLines(TSnapshotFile& file, std::vector<char>& block) {
  int64_t lines = 1;
  for (int64_t offset = 0; offset < file.End();) {
    const size_t n = file.ReadAt(offset, block.data(), block.size());
    lines += std::count(block.data(), block.data() + n, '\n');
    offset += static_cast<int64_t>(n);
  }
  return lines;
}

// Hands out the lines of a file without their CR LF, reading it block by block.
class LineReader {
 public:
  LineReader(TSnapshotFile& file, std::vector<char>& block) : fFile(file), fBuf(block) {}

  bool Next(std::string_view& line) {
    for (;;) {
      const char* start = fBuf.data() + fBegin;
      const void* lf = std::memchr(fBuf.data() + fScan, '\n', fEnd - fScan);
      if (lf) {
        const size_t length = static_cast<const char*>(lf) - start;
        fBegin += length + 1;
        fScan = fBegin;
        line = Trimmed(start, length);
        return true;
      }
      if (fOffset >= fFile.End()) {
        if (fBegin == fEnd) return false;
        line = Trimmed(start, fEnd - fBegin);
        fBegin = fScan = fEnd;
        return true;
      }
      const size_t rest = fEnd - fBegin;
      std::memmove(fBuf.data(), start, rest);
      fBegin = 0;
      fScan = fEnd = rest;
      if (fEnd == fBuf.size()) {
        if (fBuf.size() >= kLongestLine) LineTooLong();
        fBuf.resize(fBuf.size() * 2);
      }
      const size_t n = fFile.ReadAt(fOffset, fBuf.data() + fEnd, fBuf.size() - fEnd);
      fEnd += n;
      fOffset += static_cast<int64_t>(n);
    }
  }
  int64_t Consumed() const { return fOffset; }

 private:
  static std::string_view Trimmed(const char* start, size_t length) {
    if (length > 0 && start[length - 1] == '\r') --length;
    return {start, length};
  }

  TSnapshotFile& fFile;
  std::vector<char>& fBuf;
  size_t fBegin = 0, fScan = 0, fEnd = 0;
  int64_t fOffset = 0;
};

QStringList SplitHeader(std::string_view line) {
  QStringList names;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    const std::string_view piece =
        line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
    names.append(QString::fromLocal8Bit(piece.data(), static_cast<qsizetype>(piece.size())));
    if (tab == std::string_view::npos) return names;
    start = tab + 1;
  }
}

}  // namespace

ELogLineError::ELogLineError(int64_t line, const EConvertError& cause)
    : EConvertError(QCoreApplication::translate("LogReader", "Строка %1: %2")
                        .arg(line)
                        .arg(QString::fromStdString(cause.what()))
                        .toStdString()),
      fLine(line),
      fReason(cause.what()) {}

namespace {

// What a read gives back to the logger: the records (after those already held), the parse
// buffer after them, the header's names and the first bad line.
struct ReadTarget {
  TEFILogList& records;
  LiveRecord& buffer;
  QStringList& names;
  std::optional<ELogLineError>& badLine;
};

// Reads the file line by line through one block: for small files, lists that roll or keep
// an order, and files too big for the list.
void ReadSerially(TSnapshotFile& file, std::string_view sep, const ReadTarget& to,
                  const TEFILogger::Progress& progress) {
  const int64_t total = file.End();
  // Small files get a small block; a line longer than the block grows it.
  std::vector<char> block(
      static_cast<size_t>(std::clamp<int64_t>(total + 1, 4096, static_cast<int64_t>(kBlockSize))));
  TEFILogList& records = to.records;
  const int64_t lines = CountLines(file, block);
  try {
    records.Reserve(static_cast<int>(
        std::min<int64_t>(records.Count() + lines, static_cast<int64_t>(records.MaxCount))));
  } catch (const std::bad_alloc&) {
    // Too big to reserve at once: let the list grow, and roll when it no longer can.
  }
  LiveRecord& buffer = to.buffer;
  const LiveRecord before = buffer;
  LineReader reader(file, block);
  std::string_view line;
  if (!reader.Next(line)) line = {};
  to.names = SplitHeader(line);

  int64_t lineNumber = 1;  // the header
  bool added = false;
  int64_t reported = -1;
  while (reader.Next(line)) {
    ++lineNumber;
    // An empty line holds no record; a line starting with a double quote is a comment.
    if (line.empty() || line.front() == '"') continue;
    if (std::memchr(line.data(), '\t', line.size())) {
      try {
        ParseLogFields(line, buffer, sep);
      } catch (const EConvertError& e) {
        // The records before the bad line are kept, and so is the parse buffer as the last
        // of them left it, so that what is held is one consistent log.
        buffer = added ? records[records.Count() - 1] : before;
        to.badLine.emplace(lineNumber, e);
        break;
      }
    }
    // A line without a tab repeats the record before it.
    records.Add(buffer);
    added = true;
    if (progress && reader.Consumed() != reported) {
      reported = reader.Consumed();
      progress(reported, total);
    }
  }
  if (progress) progress(reader.Consumed(), total);
}

// Reads a big file block by block, every block parsed in pieces on all cores straight into
// the places of its lines in the list; only one block of text is held at a time. False
// (nothing changed) when the list cannot be made long enough; the caller then reads the file
// serially.
bool ReadInPieces(TSnapshotFile& file, int parts, std::string_view sep, const ReadTarget& to,
                  const TEFILogger::Progress& progress) {
  std::vector<char> block(kPiecesBlock);
  const std::string_view first = file.WholeLines(0, block);
  const size_t lf = first.find('\n');
  std::string_view header = first.substr(0, lf);
  if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
  QStringList names = SplitHeader(header);
  const int64_t bodyStart = lf == std::string_view::npos ? file.End() : int64_t(lf) + 1;

  // The lines are counted first, so that the list is sized once (a block's count may be one
  // too many where it ends inside a line; the list is cut to what was read at the end).
  int64_t room = 0;
  for (int64_t offset = bodyStart; offset < file.End();) {
    const std::string_view text = file.WholeLines(offset, block);
    for (int64_t n : CountPieceLines(SplitAtLineEnds(text, parts))) room += n;
    offset += static_cast<int64_t>(text.size());
  }
  TEFILogList& records = to.records;
  const int held = records.Count();
  if (held + room > records.MaxCount) return false;
  try {
    records.ResizeForFill(static_cast<int>(held + room));
  } catch (const std::bad_alloc&) {
    return false;
  }

  const int64_t total = file.End();
  int64_t offset = bodyStart, filled = 0, linesBefore = 0;
  LiveRecord buffer = to.buffer;
  std::function<void(int64_t)> report;
  if (progress) report = [&](int64_t done) { progress(offset + done, total); };
  while (offset < file.End()) {
    const std::string_view text = file.WholeLines(offset, block);
    const std::vector<std::string_view> pieces = SplitAtLineEnds(text, parts);
    const std::vector<int64_t> lines = CountPieceLines(pieces);
    int64_t blockLines = 0;
    for (int64_t n : lines) blockLines += n;
    // The file may have been rewritten with more lines since they were counted.
    if (held + filled + blockLines > records.Count()) {
      if (held + filled + blockLines > records.MaxCount)
        throw EInOutError(
            EIO, QCoreApplication::translate("LogReader", "Файл изменился, пока его читали")
                     .toStdString());
      records.ResizeForFill(static_cast<int>(held + filled + blockLines));
    }
    const TLogPiecesResult result =
        ParseLogPieces(pieces, lines, records.Slots() + held + filled, buffer, sep, report);
    filled += result.records;
    buffer = result.buffer;
    if (result.error) {
      to.badLine.emplace(1 + linesBefore + result.badLine, *result.error);
      break;
    }
    linesBefore += blockLines;
    offset += static_cast<int64_t>(text.size());
  }
  records.ResizeForFill(static_cast<int>(held + filled));
  to.names = std::move(names);
  to.buffer = buffer;
  if (progress) progress(total, total);
  return true;
}

}  // namespace

void TEFILogger::LoadFromFile(const QString& fileName, bool append, const Progress& progress) {
  const QByteArray separator = QString(DecimalSeparator()).toUtf8();
  const std::string_view sep(separator.constData(), static_cast<size_t>(separator.size()));
  TSnapshotFile file(fileName);
  RequireHeaderLine(file);
  const int64_t total = file.End();

  // Everything is read into fresh copies that replace the held ones only at the end, so a
  // file that cannot be read leaves the logger as it was.
  TEFILogList records;
  if (append) records = Records;
  records.SortOrder = Records.SortOrder;
  records.DuplicatePolicy = Records.DuplicatePolicy;
  records.SortField = Records.SortField;
  records.MaxCount = Records.MaxCount;
  LiveRecord buffer = fBuffer;
  QStringList names;
  std::optional<ELogLineError> badLine;
  const ReadTarget target{records, buffer, names, badLine};
  // Pieces side by side only where adding is plain appending: no order kept, duplicates
  // taken, and room for every line.
  const bool plain = records.SortOrder == 0 && records.DuplicatePolicy == 1;
  const int parts = ParallelParts > 0
                        ? ParallelParts
                        : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 2u, 8u));
  if (!(plain && total > 0 && total >= ParallelFromBytes &&
        ReadInPieces(file, parts, sep, target, progress)))
    ReadSerially(file, sep, target, progress);

  Records.SwapItems(records);
  ColumnNames = std::move(names);
  fBuffer = buffer;
  fFileName = fileName;
  if (badLine) throw *badLine;
}
