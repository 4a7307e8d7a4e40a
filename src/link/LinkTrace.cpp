#include "link/LinkTrace.h"

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <chrono>

#include "common/SafeFileWrite.h"

namespace {

int64_t SteadyUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

QString Ms(int64_t us) {
  return QString::number(static_cast<double>(us) / 1000.0, 'f', 1);
}

QString LineName(char line) {
  switch (line) {
    case 'D':
      return QStringLiteral("DTR");
    case 'R':
      return QStringLiteral("RTS");
    default:
      return QStringLiteral("TX-BREAK");
  }
}

QString EntryLine(const TTraceEntry& e) {
  const QString time = Ms(e.timeUs).rightJustified(10);
  switch (e.kind) {
    case TTraceEntry::Sent:
      return QStringLiteral("%1  >  %2").arg(time).arg(e.value, 2, 16, QLatin1Char('0')).toUpper();
    case TTraceEntry::Received:
      return QStringLiteral("%1  <  %2").arg(time).arg(e.value, 2, 16, QLatin1Char('0')).toUpper();
    case TTraceEntry::Level:
      break;
  }
  QString line = QStringLiteral("%1  %2 %3").arg(time, LineName(e.line)).arg(e.value);
  if (e.heldUs >= 0) line += QStringLiteral("  held %1 ms").arg(Ms(e.heldUs));
  return line;
}

std::mutex gSessionMutex;
std::shared_ptr<TLinkTrace> gLast;
bool gActive = false;

}  // namespace

TLinkTrace::TLinkTrace(QString heading, size_t limit)
    : fHeading(std::move(heading)), fLimit(std::max(limit, kKeptHead + 1)), fStartUs(SteadyUs()) {
  fHead.reserve(kKeptHead);
}

int64_t TLinkTrace::NowUs() const {
  return SteadyUs() - fStartUs;
}

void TLinkTrace::Add(TTraceEntry entry) {
  if (fHead.size() < kKeptHead) {
    fHead.push_back(entry);
    return;
  }
  fTail.push_back(entry);
  if (fHead.size() + fTail.size() > fLimit) {
    fTail.pop_front();
    ++fDropped;
  }
}

void TLinkTrace::Sent(uint8_t byte) {
  const std::lock_guard lock(fMutex);
  Add({TTraceEntry::Sent, byte, 0, NowUs(), -1});
}

void TLinkTrace::Received(uint8_t byte) {
  const std::lock_guard lock(fMutex);
  Add({TTraceEntry::Received, byte, 0, NowUs(), -1});
}

void TLinkTrace::CloseLastLevel(int64_t nowUs) {
  // The level before held until now: that is the bit time the line really had. Levels come
  // only during the wake-up, so they lie in the head, which never moves.
  if (fLastLevel < 0) return;
  fHead[static_cast<size_t>(fLastLevel)].heldUs =
      nowUs - fHead[static_cast<size_t>(fLastLevel)].timeUs;
  fLastLevel = -1;
}

void TLinkTrace::Level(char line, bool level) {
  const std::lock_guard lock(fMutex);
  const int64_t now = NowUs();
  CloseLastLevel(now);
  Add({TTraceEntry::Level, static_cast<uint8_t>(level ? 1 : 0), line, now, -1});
  if (fTail.empty() && !fHead.empty()) fLastLevel = static_cast<int64_t>(fHead.size()) - 1;
}

void TLinkTrace::EndLevels() {
  const std::lock_guard lock(fMutex);
  CloseLastLevel(NowUs());
}

std::vector<TTraceEntry> TLinkTrace::Entries() const {
  const std::lock_guard lock(fMutex);
  std::vector<TTraceEntry> all(fHead);
  all.insert(all.end(), fTail.begin(), fTail.end());
  return all;
}

uint64_t TLinkTrace::Dropped() const {
  const std::lock_guard lock(fMutex);
  return fDropped;
}

QString TLinkTrace::Text() const {
  const std::lock_guard lock(fMutex);
  QString text = QStringLiteral("# Tarvelo K-line trace\n# %1\n").arg(fHeading);
  text += QStringLiteral(
      "# time in ms since the wake-up began; > sent by the program, < received (echoes "
      "included); wake-up levels with the time each held\n");
  for (const TTraceEntry& e : fHead) text += EntryLine(e) + QLatin1Char('\n');
  if (fDropped > 0) text += QStringLiteral("# %1 entries left out here\n").arg(fDropped);
  for (const TTraceEntry& e : fTail) text += EntryLine(e) + QLatin1Char('\n');
  return text;
}

bool TLinkTrace::Save(const QString& path) const {
  try {
    WriteFileSafely(path, Text().toUtf8());
    return true;
  } catch (const ERuntimeError&) {
    return false;
  }
}

std::shared_ptr<TLinkTrace> LastLinkTrace() {
  const std::lock_guard lock(gSessionMutex);
  return gLast;
}

std::shared_ptr<TLinkTrace> BeginLinkTrace(const QString& heading) {
  auto trace = std::make_shared<TLinkTrace>(
      heading + QStringLiteral("; started ") +
      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
  const std::lock_guard lock(gSessionMutex);
  gLast = trace;
  gActive = true;
  return trace;
}

void EndLinkTrace() {
  const std::lock_guard lock(gSessionMutex);
  gActive = false;
}

std::shared_ptr<TLinkTrace> ActiveLinkTrace() {
  const std::lock_guard lock(gSessionMutex);
  return gActive ? gLast : nullptr;
}
