#pragma once
// AdapterBytes: the bytes the program and the image adapter fitted to the unit exchange: the
// read, store and upload commands, the adapter's answers, and the shape of the image stream.
// The window's adapter commands, the line layer's upload handshake and the simulated adapter
// all speak from this list.

#include <cstdint>

namespace AdapterBytes {

// Read: the adapter streams a filler character and then the image, and ends the stream
// with CTS changes.
constexpr char kReadCommand = 'r';
constexpr int kImageBytes = 32768;
constexpr int kStreamLength = 1 + kImageBytes;
constexpr int kStreamEndCtsChanges = 3;

// Store: the adapter answers kStoreAnswer; "ok" and a carriage return close the exchange.
constexpr char kStoreCommand = 's';
constexpr uint8_t kStoreAnswer = 0x8C;
constexpr char kStoreClose[] = "ok";
constexpr char kCommandEnd = '\r';

// Upload: the adapter answers the command with its complement; the program then sends two
// start bytes and the file.
constexpr uint8_t kUploadCommand = 0x70;
constexpr uint8_t kUploadAnswer = 0x8F;
constexpr uint8_t kUploadStart1 = 0x6F;
constexpr uint8_t kUploadStart2 = 0x6B;

}  // namespace AdapterBytes
