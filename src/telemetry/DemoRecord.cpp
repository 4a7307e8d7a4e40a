#include "telemetry/DemoRecord.h"

#include <QFile>
#include <cerrno>
#include <optional>
#include <string>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/Numbers.h"

namespace {

double DemoNumber(QStringView piece, QChar separator) {
  std::optional<double> value = TryStrToFloat(piece, separator);
  if (!value && separator != QChar('.')) value = TryStrToFloat(piece, QChar('.'));
  if (!value) throw EConvertError::InvalidFloat(piece.toString());
  return *value;
}

// The engine speed becomes a whole number of revolutions for the live map cell: a value
// that no integer can hold is refused like text that is not a number.
double DemoSpeedNumber(QStringView piece, QChar separator) {
  const double value = DemoNumber(piece, separator);
  if (!TryNearest(value)) throw EConvertError::InvalidFloat(piece.toString());
  return value;
}

}  // namespace

void ParseDemoRecord(QStringView line, LiveRecord& values, QChar separator) {
  qsizetype start = 0;
  int slot = kRPM;
  for (;;) {
    const qsizetype semicolon = line.indexOf(QChar(';'), start);
    if (semicolon < 0) break;
    const QStringView piece = line.mid(start, semicolon - start);
    const double value =
        slot == kRPM ? DemoSpeedNumber(piece, separator) : DemoNumber(piece, separator);
    if (slot <= kSPEED) values[slot] = value;
    ++slot;
    start = semicolon + 1;
  }
  values[kSPEED] = RoundToDigit(DemoNumber(line.mid(start), separator), 0);
  values[kO2] = RoundToDigit(values[kO2], -2);
}

TDemoDataSource::TDemoDataSource(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  fFile = std::fopen(name.constData(), "rbe");
  if (!fFile) throw EInOutError::FromErrno(errno);
}

TDemoDataSource::~TDemoDataSource() {
  Close();
}

void TDemoDataSource::Close() {
  if (fFile) std::fclose(fFile);
  fFile = nullptr;
}

QString TDemoDataSource::NextLine() {
  if (!fFile) throw EInOutError(103);  // "File not open"
  int c = std::getc(fFile);
  if (c == EOF) {
    if (std::ferror(fFile)) throw EInOutError::FromErrno(errno);
    std::rewind(fFile);
    c = std::getc(fFile);
  }
  std::string line;
  while (c != EOF && c != '\n') {
    line.push_back(static_cast<char>(c));
    c = std::getc(fFile);
  }
  if (c == EOF && std::ferror(fFile)) throw EInOutError::FromErrno(errno);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  // The file is 8-bit text; Latin-1 keeps every byte, and numbers are plain ASCII.
  return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}
