// The dialect of a delimited log found from its beginning: the header line, the delimiter,
// the decimal mark and the first rows.
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
#include "telemetry/DelimitedLog.h"
#include "telemetry/DelimitedText.h"
#include "telemetry/LogNumber.h"
#include "telemetry/LogPieces.h"
#include "telemetry/SnapshotFile.h"

namespace {
using namespace delimited;

// The header is looked for in the first kSniffBytes, and among the first 200 lines of it.
constexpr int kHeaderWithinLines = 200;

ERuntimeError NotALog(const char* why) {
  return ERuntimeError(Tr(why).toStdString());
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

namespace {}  // namespace

TLogDialect SniffLogFile(const QString& fileName, int sampleRows) {
  TSnapshotFile file(fileName);
  bool complete = false;
  const std::string head = ReadHead(file, complete);
  return SniffLogText(head, complete, sampleRows);
}
