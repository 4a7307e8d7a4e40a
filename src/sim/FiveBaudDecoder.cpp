#include "sim/FiveBaudDecoder.h"

#include <cstdlib>

namespace {

constexpr int kFrameBits = 10;  // start, 7 data bits, parity, stop

}  // namespace

FiveBaudDecoder::FiveBaudDecoder(int64_t bitUs, double tolerance)
    : fBitUs(bitUs > 0 ? bitUs : 1),
      fTolUs(static_cast<int64_t>(static_cast<double>(fBitUs) * tolerance)) {}

void FiveBaudDecoder::Reset() {
  fState = State::WaitIdle;
  fKnown = false;
  fPending.reset();
}

void FiveBaudDecoder::Drop(int64_t timeUs) {
  fState = State::WaitIdle;
  if (fLevel) fHighSince = timeUs;
}

int64_t FiveBaudDecoder::BoundaryIndex(int64_t timeUs, bool& onGrid) const {
  const int64_t offset = timeUs - fStartUs;
  const int64_t k = (offset + fBitUs / 2) / fBitUs;
  onGrid = std::llabs(offset - k * fBitUs) <= fTolUs;
  return k;
}

void FiveBaudDecoder::Complete() {
  // The bits since the last edge all have the present level.
  for (int i = fLastBoundary; i < kFrameBits; ++i)
    if (fLevel) fBits |= static_cast<uint16_t>(1u << i);
  fState = fLevel ? State::Idle : State::WaitIdle;
  fHighSince = fLastEdgeUs;
  const bool start = fBits & 1u;
  const bool stop = fBits & (1u << 9);
  int ones = 0;
  for (int i = 1; i <= 8; ++i) ones += (fBits >> i) & 1;
  if (start || !stop || ones % 2 == 0) return;
  if (!fPending) fPending = static_cast<uint8_t>((fBits >> 1) & 0x7F);
}

int64_t FiveBaudDecoder::CompleteAtUs() const {
  return fStartUs + kFrameBits * fBitUs - fTolUs;
}

void FiveBaudDecoder::Level(int64_t timeUs, bool level) {
  if (!fKnown) {
    fKnown = true;
    fLevel = level;
    fHighSince = timeUs;
    fState = level ? State::Idle : State::WaitIdle;
    return;
  }
  if (fState == State::Frame && timeUs >= CompleteAtUs()) Complete();
  if (level == fLevel) return;
  fLevel = level;

  if (fState != State::Frame) {
    if (level) {
      fHighSince = timeUs;
      fState = State::Idle;
    } else if (fState == State::Idle && timeUs - fHighSince >= fBitUs - fTolUs) {
      // A falling edge after the line rested high for a bit time: the start bit.
      fState = State::Frame;
      fStartUs = timeUs;
      fLastEdgeUs = timeUs;
      fLastBoundary = 0;
      fBits = 0;
    } else {
      fState = State::WaitIdle;
    }
    return;
  }

  bool onGrid = false;
  const int64_t k = BoundaryIndex(timeUs, onGrid);
  if (!onGrid || k <= fLastBoundary || k >= kFrameBits) {
    Drop(timeUs);
    return;
  }
  // The level before this edge held from the previous boundary up to this one.
  for (int i = fLastBoundary; i < k; ++i)
    if (!level) fBits |= static_cast<uint16_t>(1u << i);
  fLastBoundary = static_cast<int>(k);
  fLastEdgeUs = timeUs;
}

std::optional<uint8_t> FiveBaudDecoder::Poll(int64_t nowUs) {
  if (fState == State::Frame && nowUs >= CompleteAtUs()) Complete();
  auto address = fPending;
  fPending.reset();
  return address;
}

int64_t FiveBaudDecoder::NextCheckUs() const {
  if (fPending) return 0;
  if (fState == State::Frame) return CompleteAtUs();
  return -1;
}

std::optional<uint8_t> DecodeFiveBaud(const std::vector<LevelChange>& levels, int64_t endUs,
                                      int64_t bitUs) {
  FiveBaudDecoder decoder(bitUs);
  std::optional<uint8_t> found;
  for (const LevelChange& change : levels) {
    decoder.Level(change.timeUs, change.level);
    if (!found) found = decoder.Poll(change.timeUs);
  }
  if (!found) found = decoder.Poll(endUs);
  return found;
}
