#include "telemetry/LogWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QLocale>
#include <cerrno>

#include "common/DecimalText.h"
#include "common/Errors.h"

namespace {

struct FieldFormat {
  int width;
  int decimals;
};

// Time, RPM, LOAD, O2, PW, IGNITION, MAF, TPS, CLT, MAT, Vboard, SPEED.
constexpr FieldFormat kFieldFormats[kLiveSlots] = {{5, 3}, {5, 0}, {2, 1}, {5, 2}, {3, 1}, {3, 1},
                                                   {5, 2}, {5, 0}, {5, 1}, {5, 1}, {5, 1}, {5, 0}};

}  // namespace

QByteArray LogHeaderLine() {
  QByteArray line;
  for (int k = 0; k < kLiveSlots; ++k) {
    if (k > 0) line += '\t';
    line += kLiveColumnNames[k];
  }
  return line + "\r\n";
}

QByteArray LogRecordLine(double timeSeconds, const LiveRecord& values, QChar separator) {
  QString line;
  for (int k = 0; k < kLiveSlots; ++k) {
    if (k > 0) line += QChar('\t');
    const double value = k == kTime ? timeSeconds : values[k];
    line += FormatFixed(value, kFieldFormats[k].width, kFieldFormats[k].decimals, separator);
  }
  line += QStringLiteral("\r\n");
  return line.toUtf8();
}

QString ProposedLogName(const QDateTime& now) {
  QString date = QLocale().toString(now.date(), QLocale::ShortFormat);
  date.replace(QChar('/'), QChar('.'));
  date.replace(QChar('\\'), QChar('.'));
  const QTime time = now.time();
  return QStringLiteral("%1-%2.%3.%4.txt")
      .arg(date)
      .arg(time.hour())
      .arg(time.minute())
      .arg(time.second());
}

TLogWriter::~TLogWriter() {
  if (fFd >= 0) ::close(fFd);
}

void TLogWriter::Create(const QString& path) {
  Close();
  const QByteArray name = QFile::encodeName(path);
  fFd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fFd < 0) throw EInOutError::FromErrno(errno);
  Write(LogHeaderLine());
}

void TLogWriter::Append(double timeSeconds, const LiveRecord& values, QChar separator) {
  Write(LogRecordLine(timeSeconds, values, separator));
}

void TLogWriter::Close() {
  if (fFd < 0) return;
  const int fd = fFd;
  fFd = -1;
  if (::close(fd) != 0 && errno != EINTR) throw EInOutError::FromErrno(errno);
}

void TLogWriter::Write(const QByteArray& bytes) {
  if (fFd < 0) throw EInOutError(103);  // "File not open"
  const char* p = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fFd, p, static_cast<size_t>(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EInOutError::FromErrno(errno);
    }
    p += n;
    left -= n;
  }
}
