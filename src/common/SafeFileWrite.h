#pragma once
// Writing a whole file so that a failure never costs the file that was there: the bytes go
// to a temporary file beside the target, every write is checked, the data is flushed to
// the disk, and only then is the temporary file renamed over the target. A full disk, a
// lost device or a refused rename leaves an earlier file of that name as it was and is
// reported; nothing is ever reported as written that is not on the disk.

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "common/Errors.h"

// A write that failed: the input/output code is the system's error number, and the text
// says it in words ("I/O error 28: No space left on device").
class EFileWriteError : public EInOutError {
 public:
  explicit EFileWriteError(int err);
  const char* what() const noexcept override { return fText.c_str(); }

 private:
  std::string fText;
};

// Writes `bytes` as the whole file at `path` (a symbolic link: the file it points to). The
// new file takes the mode of the one it replaces, or 0666 less the umask. Throws
// EInOutError "File not found" when the folder is not there, EFileWriteError for any other
// failure (the temporary file is removed then).
void WriteFileSafely(const QString& path, const QByteArray& bytes);

// For tests: the next writes fail with `err` once `afterBytes` bytes of the file are
// written (a full disk midway); a negative `afterBytes` ends the failure.
void FailSafeWritesForTests(int64_t afterBytes, int err);
