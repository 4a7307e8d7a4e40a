#include "telemetry/LogReader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
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

class FileHandle {
 public:
  explicit FileHandle(const QString& name) {
    const QByteArray path = QFile::encodeName(name);
    fFd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fFd < 0) throw EInOutError::FromErrno(errno);
  }
  ~FileHandle() { ::close(fFd); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int Fd() const { return fFd; }

  // Reads up to `size` bytes; 0 at the end of the file.
  size_t Read(char* buffer, size_t size) const {
    for (;;) {
      const ssize_t n = ::read(fFd, buffer, size);
      if (n >= 0) return static_cast<size_t>(n);
      if (errno != EINTR) throw EInOutError::FromErrno(errno);
    }
  }
  void Rewind() const {
    if (::lseek(fFd, 0, SEEK_SET) < 0) throw EInOutError::FromErrno(errno);
  }
  int64_t Size() const {
    struct stat st {};
    return ::fstat(fFd, &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : 0;
  }

 private:
  int fFd = -1;
};

// The number of lines of the file (line feeds plus one), to size the record list once
// instead of letting it grow by doubling, which would briefly need one and a half times
// the memory of the records.
int64_t CountLines(const FileHandle& file, std::vector<char>& block) {
  int64_t lines = 1;
  while (const size_t n = file.Read(block.data(), block.size()))
    lines += std::count(block.data(), block.data() + n, '\n');
  return lines;
}

// Hands out the lines of a file without their CR LF, reading it block by block.
class LineReader {
 public:
  LineReader(const FileHandle& file, std::vector<char>& block) : fFile(file), fBuf(block) {}

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
      if (fAtEnd) {
        if (fBegin == fEnd) return false;
        line = Trimmed(start, fEnd - fBegin);
        fBegin = fScan = fEnd;
        return true;
      }
      const size_t rest = fEnd - fBegin;
      std::memmove(fBuf.data(), start, rest);
      fBegin = 0;
      fScan = fEnd = rest;
      if (fEnd == fBuf.size()) fBuf.resize(fBuf.size() * 2);
      const size_t n = fFile.Read(fBuf.data() + fEnd, fBuf.size() - fEnd);
      fAtEnd = n == 0;
      fEnd += n;
      fConsumed += static_cast<int64_t>(n);
    }
  }
  int64_t Consumed() const { return fConsumed; }

 private:
  static std::string_view Trimmed(const char* start, size_t length) {
    if (length > 0 && start[length - 1] == '\r') --length;
    return {start, length};
  }

  const FileHandle& fFile;
  std::vector<char>& fBuf;
  size_t fBegin = 0, fScan = 0, fEnd = 0;
  bool fAtEnd = false;
  int64_t fConsumed = 0;
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

// Reads the file line by line through one block: for small files, lists that roll or keep
// an order, and files that cannot be mapped.
void ReadSerially(const FileHandle& file, int64_t total, std::string_view sep, TEFILogList& records,
                  LiveRecord& buffer, QStringList& names, std::optional<ELogLineError>& badLine,
                  const TEFILogger::Progress& progress) {
  // Small files get a small block; a line longer than the block grows it.
  std::vector<char> block(
      static_cast<size_t>(std::clamp<int64_t>(total + 1, 4096, static_cast<int64_t>(kBlockSize))));
  const int64_t lines = CountLines(file, block);
  file.Rewind();
  try {
    records.Reserve(static_cast<int>(
        std::min<int64_t>(records.Count() + lines, static_cast<int64_t>(records.MaxCount))));
  } catch (const std::bad_alloc&) {
    // Too big to reserve at once: let the list grow, and roll when it no longer can.
  }
  const LiveRecord before = buffer;
  LineReader reader(file, block);
  std::string_view line;
  if (!reader.Next(line)) line = {};
  names = SplitHeader(line);

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
        badLine.emplace(lineNumber, e);
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

// A read-only mapping of a whole file, unmapped on leaving.
class FileMapping {
 public:
  FileMapping(const FileHandle& file, int64_t size) : fSize(static_cast<size_t>(size)) {
    void* p = ::mmap(nullptr, fSize, PROT_READ, MAP_PRIVATE, file.Fd(), 0);
    fData = p == MAP_FAILED ? nullptr : static_cast<const char*>(p);
    if (fData) ::madvise(const_cast<char*>(fData), fSize, MADV_SEQUENTIAL);
  }
  ~FileMapping() {
    if (fData) ::munmap(const_cast<char*>(fData), fSize);
  }
  FileMapping(const FileMapping&) = delete;
  FileMapping& operator=(const FileMapping&) = delete;
  std::string_view Text() const { return {fData, fData ? fSize : 0}; }

 private:
  size_t fSize;
  const char* fData;
};

// Reads a big file in pieces on all cores: the file is mapped, never copied, and its lines
// are parsed straight into their places in the list. False (nothing changed) when the file
// cannot be mapped or the list not made long enough; the caller then reads it serially.
bool ReadInPieces(const FileHandle& file, int64_t total, int parts, std::string_view sep,
                  TEFILogList& records, LiveRecord& buffer, QStringList& names,
                  std::optional<ELogLineError>& badLine, const TEFILogger::Progress& progress) {
  const FileMapping mapping(file, total);
  const std::string_view text = mapping.Text();
  if (text.empty()) return false;
  const size_t lf = text.find('\n');
  std::string_view header = text.substr(0, lf);
  if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
  const std::string_view body =
      lf == std::string_view::npos ? std::string_view{} : text.substr(lf + 1);
  const std::vector<std::string_view> pieces = SplitAtLineEnds(body, parts);
  const std::vector<int64_t> lines = CountPieceLines(pieces);
  int64_t room = 0;
  for (int64_t n : lines) room += n;
  const int held = records.Count();
  if (held + room > records.MaxCount) return false;
  try {
    records.ResizeForFill(static_cast<int>(held + room));
  } catch (const std::bad_alloc&) {
    return false;
  }
  const int64_t headerBytes = static_cast<int64_t>(text.size() - body.size());
  std::function<void(int64_t)> report;
  if (progress) report = [&](int64_t done) { progress(headerBytes + done, total); };
  const TLogPiecesResult result =
      ParseLogPieces(pieces, lines, records.Slots() + held, buffer, sep, report, true);
  records.ResizeForFill(static_cast<int>(held + result.records));
  names = SplitHeader(header);
  buffer = result.buffer;
  if (result.error) badLine.emplace(1 + result.badLine, *result.error);
  if (progress) progress(total, total);
  return true;
}

}  // namespace

void TEFILogger::LoadFromFile(const QString& fileName, bool append, const Progress& progress) {
  const QByteArray separator = QString(DecimalSeparator()).toUtf8();
  const std::string_view sep(separator.constData(), static_cast<size_t>(separator.size()));
  const FileHandle file(fileName);
  const int64_t total = file.Size();

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
  // Pieces side by side only where adding is plain appending: no order kept, duplicates
  // taken, and room for every line.
  const bool plain = records.SortOrder == 0 && records.DuplicatePolicy == 1;
  const int parts = ParallelParts > 0
                        ? ParallelParts
                        : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 2u, 8u));
  if (!(plain && total > 0 && total >= ParallelFromBytes &&
        ReadInPieces(file, total, parts, sep, records, buffer, names, badLine, progress)))
    ReadSerially(file, total, sep, records, buffer, names, badLine, progress);

  Records.SwapItems(records);
  ColumnNames = std::move(names);
  fBuffer = buffer;
  fFileName = fileName;
  if (badLine) throw *badLine;
}
