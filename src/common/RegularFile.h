#pragma once
// Only regular files are read: a named pipe blocks its reader until some writer comes, a
// device such as /dev/zero never ends, and a directory gives nothing but an error number.
// These checks refuse them at once, naming what the path is.

#include <sys/types.h>

#include <QString>

// What a file of this mode is when it is not a regular file ("Is a directory", ...); empty
// for a regular file.
QString NotRegularFileReason(mode_t mode);

// The same for a path: empty for a regular file and for a path that does not exist (opening
// it then reports the missing file as usual).
QString NotRegularFileReason(const QString& path);

// Throws EInOutError (EISDIR for a directory, ENODEV otherwise) naming what the path is when
// it exists and is not a regular file. A path that does not exist passes: opening it then
// reports the missing file as usual.
void RequireRegularFile(const QString& path);

// The same for a file already open (opened without blocking, so that a named pipe cannot
// hold the open).
void RequireRegularFile(int fd);
