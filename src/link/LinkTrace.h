#pragma once
// The trace of one K-line session: every byte the program sent and received, and the
// wake-up's line levels with the time each one held, stamped with the time since the
// wake-up began. Bounded in memory: the wake-up and the first bytes are always kept, of the
// rest only the latest, with a count of what was left out between. Written by the scan
// thread, read by the interface thread (saving it while the session runs is safe).

#include <QString>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

struct TTraceEntry {
  enum Kind : uint8_t { Sent, Received, Level };
  Kind kind;
  uint8_t value;   // the byte, or the level (1 set, 0 cleared)
  char line;       // Level: 'D' DTR, 'R' RTS, 'B' the transmit line held in a break
  int64_t timeUs;  // since the wake-up began
  int64_t heldUs;  // Level: how long it held until the next level (-1 while it holds)
};

class TLinkTrace {
 public:
  // `heading` describes the session (port, device, line settings, wake-up line).
  explicit TLinkTrace(QString heading, size_t limit = kDefaultLimit);

  static constexpr size_t kDefaultLimit = 100000;  // entries; about 2.4 MB
  static constexpr size_t kKeptHead = 4096;        // first entries that are never dropped

  void Sent(uint8_t byte);
  void Received(uint8_t byte);
  void Level(char line, bool level);
  // The last level of the wake-up has held its time: its held time is taken now.
  void EndLevels();

  std::vector<TTraceEntry> Entries() const;
  // Entries left out between the kept head and the latest ones.
  uint64_t Dropped() const;
  // The trace as text: a heading, then one line per entry, time in ms with 0.1 ms.
  QString Text() const;
  // Writes Text() to a file; false when it cannot be written.
  bool Save(const QString& path) const;

 private:
  void Add(TTraceEntry entry);
  void CloseLastLevel(int64_t nowUs);
  int64_t NowUs() const;

  mutable std::mutex fMutex;
  QString fHeading;
  size_t fLimit;
  int64_t fStartUs;
  std::vector<TTraceEntry> fHead;
  std::deque<TTraceEntry> fTail;
  uint64_t fDropped = 0;
  int64_t fLastLevel = -1;  // index in the head of the level still holding
};

// The K-line session under way or the last one (null before the first): a session begins
// with the wake-up and ends when the line is closed.
std::shared_ptr<TLinkTrace> LastLinkTrace();
// Starts a new session's trace and makes it the last one.
std::shared_ptr<TLinkTrace> BeginLinkTrace(const QString& heading);
// The session ended: bytes on the line are no longer traced.
void EndLinkTrace();
// The trace of the session under way, null when none runs (for the line layer's records).
std::shared_ptr<TLinkTrace> ActiveLinkTrace();
