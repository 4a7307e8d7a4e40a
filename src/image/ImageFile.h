#pragma once
// Whole files of bytes: the firmware image file (".bin", the 32 KB image byte for byte, no
// header) and the two primitives the settings file is read and written with.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// Sets `image` to 32768 bytes (bytes already there keep their values, new ones are zero)
// and reads bytes 0 to 32767 of the file into it; a longer file's remaining bytes are
// ignored. Throws EInOutError: "File not found", "Read beyond end of file" for a shorter
// file (the bytes before the missing one are in `image` then), or the system's reason.
void LoadImageFile(const QString& path, std::vector<uint8_t>& image);

// Writes every byte of `image` to the file at `path` through WriteFileSafely: one of that
// name is replaced only once all bytes are on the disk. Throws EInOutError.
void SaveImageFile(const QString& path, const std::vector<uint8_t>& image);

// The first `maxBytes` bytes of the file (fewer when the file is shorter). Throws
// EInOutError when it cannot be opened or read.
QByteArray ReadFileHead(const QString& path, int64_t maxBytes);
