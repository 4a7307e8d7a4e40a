#pragma once
// A log file read with pread up to the size it had when it was opened. The live loop may be
// appending to the very log being read, and another program may cut it short: a file that
// becomes shorter while it is read is an error (a mapping of it would end the process with
// SIGBUS instead), bytes appended after the opening are not read, and a last line that was
// still being written when the file was opened is left out rather than read half.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class TSnapshotFile {
 public:
  // Opens the file for reading; refuses at once what is not a regular file.
  explicit TSnapshotFile(const QString& name);
  ~TSnapshotFile();
  TSnapshotFile(const TSnapshotFile&) = delete;
  TSnapshotFile& operator=(const TSnapshotFile&) = delete;

  // Where the readable text ends: the size at opening, or less once the last line turns out
  // to be unfinished.
  int64_t End() const { return fEnd; }

  // Reads up to `size` bytes at `offset` (below End()) and returns how many were read, at
  // least one. Throws EInOutError when the file has become shorter than End().
  size_t ReadAt(int64_t offset, char* buffer, size_t size);
  // Fills `buffer` from `offset` as far as it and the readable text reach (a last line left
  // out ends it early); the bytes read, 0 at End() or beyond.
  size_t Fill(int64_t offset, char* buffer, size_t size) {
    return offset < fEnd && size > 0 ? ReadAt(offset, buffer, size) : 0;
  }
  // The whole lines of `block` filled from `offset`: up to its last line end, or all of it at
  // the end of the text. A block without a line end grows until it holds one; a line longer
  // than 16 MB is refused as no log (ERuntimeError).
  std::string_view WholeLines(int64_t offset, std::vector<char>& block);

  // Called after every read, for tests that change the file while it is read.
  static inline std::function<void()> AfterRead;

 private:
  int fFd = -1;
  int64_t fEnd = 0;
};
