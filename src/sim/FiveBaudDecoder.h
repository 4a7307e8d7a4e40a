#pragma once
// FiveBaudDecoder: decodes a 5-baud address frame from the timed levels of a modem line, as the
// engine control unit's K-line receiver sees the wake-up: the line rests high, a start bit (low),
// seven address bits least significant first, an odd parity bit and a stop bit (high),
// each one bit time long. A frame whose edges are off the bit grid, whose framing or
// parity is wrong, is dropped. Pure: fed with times, never reads a clock.

#include <cstdint>
#include <optional>
#include <vector>

struct LevelChange {
  int64_t timeUs;
  bool level;
};

class FiveBaudDecoder {
 public:
  // `bitUs` is one bit time (200 ms at 5 baud); an edge may stray from its bit boundary by
  // `tolerance` of a bit time.
  explicit FiveBaudDecoder(int64_t bitUs = 200000, double tolerance = 0.4);

  // A level of the line from `timeUs` on; levels equal to the current one are ignored.
  // Times must not go back.
  void Level(int64_t timeUs, bool level);
  // The 7-bit address of a frame complete by `nowUs` (framing and parity correct), once.
  std::optional<uint8_t> Poll(int64_t nowUs);
  // When Poll could next give an address, or -1 when no frame is under way.
  int64_t NextCheckUs() const;
  // Where the stop bit of the last frame ended (its start plus ten bit times).
  int64_t LastFrameEndUs() const { return fStartUs + 10 * fBitUs; }
  void Reset();

 private:
  enum class State { WaitIdle, Idle, Frame };
  void Drop(int64_t timeUs);
  void Complete();
  int64_t CompleteAtUs() const;
  int64_t BoundaryIndex(int64_t timeUs, bool& onGrid) const;

  int64_t fBitUs;
  int64_t fTolUs;
  State fState = State::WaitIdle;
  bool fLevel = false;
  bool fKnown = false;      // a level has been seen
  int64_t fHighSince = 0;   // when the line last went high
  int64_t fStartUs = 0;     // falling edge of the start bit
  int64_t fLastEdgeUs = 0;  // last edge inside the frame
  int fLastBoundary = 0;    // bit boundary of the last edge inside the frame
  uint16_t fBits = 0;       // level during bits 0..9 (start .. stop)
  std::optional<uint8_t> fPending;
};

// The address carried by a whole recorded wake-up, or nothing when the levels do not make
// a correct frame. `endUs` is the time up to which the line was watched.
std::optional<uint8_t> DecodeFiveBaud(const std::vector<LevelChange>& levels, int64_t endUs,
                                      int64_t bitUs = 200000);
