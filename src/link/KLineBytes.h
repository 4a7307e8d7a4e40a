#pragma once
// KLineBytes: the bytes of the K-line diagnostic protocol as both ends name them: the unit's
// address and keywords, the sync and block-end bytes, the complement rule and the block
// titles. The scan thread, the window and the simulated unit all speak from this list.

#include <cstdint>

namespace KLine {

constexpr uint8_t kUnitAddress = 0x10;  // woken at 5 baud
constexpr uint8_t kSyncByte = 0x55;
constexpr uint8_t kKeyword1 = 0x00;
constexpr uint8_t kKeyword2 = 0x81;
// Both keyword bytes as ReadSyncKeywords reports them (first × 256 + second).
constexpr uint16_t kExpectedKeywords = kKeyword1 * 256 + kKeyword2;
constexpr uint8_t kBlockEnd = 0x03;

// The receiver of a block byte answers with its complement.
constexpr uint8_t Complement(uint8_t b) {
  return static_cast<uint8_t>(0xFF - b);
}

// Block titles.
namespace Title {
constexpr uint8_t Parameters = 0x01;  // the program's block with three parameter bytes
constexpr uint8_t ClearCodes = 0x05;  // the program asks the unit to clear its fault codes
constexpr uint8_t End = 0x06;         // the program ends the connection
constexpr uint8_t ReadCodes = 0x07;   // the program asks for the stored fault codes
constexpr uint8_t Acknowledge = 0x09;
constexpr uint8_t Block0A = 0x0A;
constexpr uint8_t BlockF6 = 0xF6;  // the unit's identification after the keywords
constexpr uint8_t BlockFB = 0xFB;
constexpr uint8_t FaultCode = 0xFC;  // one stored fault code, or none
constexpr uint8_t BlockFD = 0xFD;
constexpr uint8_t BlockFE = 0xFE;
}  // namespace Title

}  // namespace KLine
