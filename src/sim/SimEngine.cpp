#include "sim/SimEngine.h"

#include <algorithm>

#include "link/AdapterBytes.h"
#include "link/KLineBytes.h"

namespace {

// Far enough to mean never, near enough to stay in range as clock nanoseconds.
constexpr int64_t kForever = int64_t{1} << 52;

// The protocol's bytes, shared with the program's side.
using KLine::kBlockEnd;
namespace Title = KLine::Title;

}  // namespace

SimEngine::SimEngine(std::shared_ptr<SimLine> line, std::shared_ptr<Simulator> simulator)
    : fLine(std::move(line)), fSim(std::move(simulator)) {
  fUnit = fSim->UnitSettings();
  fAdapter = fSim->AdapterSettings();
  NewDecoders();
}

void SimEngine::NewDecoders() {
  fDecoderBitMs = std::max(1, fUnit.wakeBitMs);
  fDtrDecoder = FiveBaudDecoder(int64_t{fDecoderBitMs} * 1000);
  fRtsDecoder = FiveBaudDecoder(int64_t{fDecoderBitMs} * 1000);
  fBreakDecoder = FiveBaudDecoder(int64_t{fDecoderBitMs} * 1000);
  fDtrDecoder.Level(SimNowUs(), fDtr);
  fRtsDecoder.Level(SimNowUs(), fRts);
  fBreakDecoder.Level(SimNowUs(), !fBreak);
}

FiveBaudDecoder* SimEngine::WiredDecoder(int wakeLine) {
  if (wakeLine == 0) return &fDtrDecoder;
  if (wakeLine == 2) return &fBreakDecoder;
  return &fRtsDecoder;
}

void SimEngine::Run() {
  try {
    for (;;) {
      if (!fWakePending) {
        fUnit = fSim->UnitSettings();
        if (fUnit.wakeBitMs != fDecoderBitMs) NewDecoders();
        Pump(kForever, [this] { return fWakePending; });
      }
      fWakePending = false;
      try {
        Connection();
      } catch (const Restarted&) {
      }
      fInConnection = false;
    }
  } catch (const Stopped&) {
  }
}

// ---------------------------------------------------------------------------------------
// Events of the program

bool SimEngine::Pump(int64_t deadlineUs, const std::function<bool()>& done) {
  for (;;) {
    Service(SimNowUs());
    if (done && done()) return true;
    const int64_t now = SimNowUs();
    if (now >= deadlineUs) return false;
    SimEvent event{};
    if (fLine->WaitEvent(event, std::min(deadlineUs, NextServiceUs()))) Handle(event);
  }
}

void SimEngine::Pause(int ms) {
  if (ms > 0) PauseUntil(SimNowUs() + int64_t{ms} * 1000);
}

void SimEngine::PauseUntil(int64_t timeUs) {
  Pump(timeUs, nullptr);
}

void SimEngine::Handle(const SimEvent& event) {
  switch (event.kind) {
    case SimEvent::Stop:
      throw Stopped{};
    case SimEvent::Dtr:
      fDtr = event.value != 0;
      fDtrDecoder.Level(event.timeUs, fDtr);
      // The diagnostic line's resting level ends any adapter exchange.
      if (fDtr) fAdapterState = AdapterState::Idle;
      break;
    case SimEvent::Rts: {
      const bool was = fRts;
      fRts = event.value != 0;
      fRtsDecoder.Level(event.timeUs, fRts);
      // A new adapter command starts with RTS asserted; an upload ends with it released.
      if (!was && fRts && fAdapterState == AdapterState::Store) fAdapterState = AdapterState::Idle;
      if (!fRts && fAdapterState == AdapterState::Upload) fAdapterState = AdapterState::Idle;
      break;
    }
    case SimEvent::Break:
      if (fBreak == (event.value != 0)) break;
      fBreak = event.value != 0;
      fBreakDecoder.Level(event.timeUs, !fBreak);
      // The receiver on the K-line reads a break as one zero byte with a framing error.
      if (!fBreak && fDtr) {
        fLine->Send(0x00);
        fSim->LogWire(false, 0x00);
      }
      break;
    case SimEvent::Byte:
      fSim->LogWire(true, event.value);
      if (fDtr)
        KLineByte(event.value, event.timeUs);
      else
        AdapterByte(event.value);
      break;
  }
}

void SimEngine::Service(int64_t nowUs) {
  for (FiveBaudDecoder* decoder : {&fDtrDecoder, &fRtsDecoder, &fBreakDecoder}) {
    const auto address = decoder->Poll(nowUs);
    if (!address) continue;
    const SimUnitSettings unit = fSim->UnitSettings();
    // The unit's K-line receiver sees only the line the interface is wired to.
    FiveBaudDecoder* wired = WiredDecoder(unit.wakeLine);
    if (decoder != wired || unit.silent || *address != unit.address) continue;
    fWakePending = true;
    fWakeEndUs = std::max(nowUs, decoder->LastFrameEndUs());
    if (fInConnection) throw Restarted{};
  }
  // CTS changes after the image stream, each once the program has read everything unless
  // the adapter is a quick one.
  if (fCtsLeft > 0 && nowUs >= fNextCtsUs) {
    const int interval = std::max(0, fAdapter.ctsIntervalUs);
    if (!fAdapter.ctsAfterDrain || fLine->RxEmpty()) {
      fLine->ToggleCts();
      --fCtsLeft;
      if (fCtsLeft == 0 && !fLate.empty())
        fLateAtUs = nowUs + int64_t{std::max(0, fAdapter.lateDelayMs)} * 1000;
      fNextCtsUs = nowUs + interval;
    } else {
      // Looked at again a little later while the program reads.
      fNextCtsUs = nowUs + std::max(interval, 1000);
    }
  }
  if (!fLate.empty() && fCtsLeft == 0 && nowUs >= fLateAtUs) {
    fLine->Send(fLate);
    fLate.clear();
  }
}

int64_t SimEngine::NextServiceUs() const {
  int64_t next = kForever;
  for (const FiveBaudDecoder* decoder : {&fDtrDecoder, &fRtsDecoder, &fBreakDecoder}) {
    const int64_t t = decoder->NextCheckUs();
    if (t >= 0) next = std::min(next, t);
  }
  if (fCtsLeft > 0) next = std::min(next, fNextCtsUs);
  if (!fLate.empty() && fCtsLeft == 0) next = std::min(next, fLateAtUs);
  return next;
}

// ---------------------------------------------------------------------------------------
// The engine control unit

void SimEngine::KLineByte(uint8_t byte, int64_t timeUs) {
  // The wire carries the program's own byte back to it, unless this echo is to be lost.
  if (fProgramBytes++ != fUnit.dropEchoAt || !fInConnection) {
    fLine->Send(byte);
    fSim->LogWire(false, byte);
  }
  if (fTimeNextByte) {
    fSim->RecordComplementLatency(timeUs - fUnitByteUs);
    fTimeNextByte = false;
  }
  if (fInConnection) fUnitInput.push_back(byte);
}

bool SimEngine::TakeByte(uint8_t& byte) {
  const int64_t deadline = SimNowUs() + int64_t{fUnit.waitMs} * 1000;
  if (!Pump(deadline, [this] { return !fUnitInput.empty(); })) return false;
  byte = fUnitInput.front();
  fUnitInput.pop_front();
  return true;
}

void SimEngine::UnitSend(uint8_t byte) {
  fLine->Send(byte);
  fSim->LogWire(false, byte);
}

void SimEngine::Complement(uint8_t byte) {
  Pause(fUnit.byteDelayMs);
  const bool wrong = fComplemented++ == fUnit.wrongComplementAt;
  UnitSend(wrong ? fUnit.wrongComplement : KLine::Complement(byte));
}

void SimEngine::Connection() {
  fInConnection = true;
  fUnit = fSim->UnitSettings();
  fAdapter = fSim->AdapterSettings();
  fUnitInput.clear();
  fProgramBytes = 0;
  fComplemented = 0;
  fUnitBlocks = 0;
  fTimeNextByte = false;
  if (!AnswerWakeUp()) return;

  std::deque<Block> queue;
  for (const auto& g : fUnit.greeting)
    if (!g.empty()) queue.push_back(Block{g[0], std::vector<uint8_t>(g.begin() + 1, g.end())});
  uint8_t counter = fUnit.firstCounter;
  for (;;) {
    Block out{Title::Acknowledge, {}};
    if (!queue.empty()) {
      out = queue.front();
      queue.pop_front();
    }
    Pause(fUnit.blockDelayMs);
    if (!SendUnitBlock(counter, out)) return;
    ++fUnitBlocks;
    if (fUnit.unplugAfterBlocks >= 0 && fUnitBlocks >= fUnit.unplugAfterBlocks) {
      fSim->Unplug();
      return;
    }
    Block in{};
    uint8_t programCounter = 0;
    if (!ReceiveProgramBlock(programCounter, in)) return;
    // The answer must carry the counter of the unit's block plus one; a block out of
    // sequence ends the connection, as on a real unit.
    if (programCounter != static_cast<uint8_t>(counter + 1)) return;
    counter = static_cast<uint8_t>(programCounter + 1);
    if (!Obey(in, queue)) return;
  }
}

bool SimEngine::AnswerWakeUp() {
  PauseUntil(fWakeEndUs + int64_t{fUnit.syncDelayMs} * 1000);
  UnitSend(fUnit.syncByte);
  fSim->CountConnection();
  Pause(fUnit.keywordDelayMs);
  UnitSend(fUnit.keyword1);
  Pause(fUnit.keywordDelayMs);
  UnitSend(fUnit.keyword2);
  uint8_t answer = 0;
  return TakeByte(answer) && answer == KLine::Complement(fUnit.keyword2);
}

bool SimEngine::Obey(const Block& request, std::deque<Block>& queue) {
  if (request.title == Title::ReadCodes) {
    const std::vector<uint8_t> codes = fSim->FaultCodes();
    if (codes.empty()) queue.push_back(Block{Title::FaultCode, {}});
    for (const uint8_t code : codes) queue.push_back(Block{Title::FaultCode, {code}});
  } else if (request.title == Title::ClearCodes) {
    fSim->ClearFaultCodes();
  } else if (request.title == Title::End) {
    return false;  // falls silent until the next wake-up
  }
  return true;
}

bool SimEngine::SendUnitBlock(uint8_t counter, const Block& block) {
  std::vector<uint8_t> data = block.data;
  if (fUnitBlocks == fUnit.overlongAt) data.assign(static_cast<size_t>(fUnit.overlongCount), 0xA5);
  std::vector<uint8_t> bytes;
  bytes.push_back(static_cast<uint8_t>(data.size() + 3));
  bytes.push_back(counter);
  bytes.push_back(block.title);
  bytes.insert(bytes.end(), data.begin(), data.end());
  if (fUnitBlocks == fUnit.slowAt) Pause(fUnit.slowMs);
  for (const uint8_t byte : bytes) {
    UnitSend(byte);
    fUnitByteUs = SimNowUs();
    fTimeNextByte = true;
    uint8_t answer = 0;
    if (!TakeByte(answer) || answer != KLine::Complement(byte)) return false;
    Pause(fUnit.byteDelayMs);
  }
  fTimeNextByte = false;
  UnitSend(fUnitBlocks == fUnit.badEndAt ? fUnit.badEnd : kBlockEnd);
  return true;
}

bool SimEngine::ReceiveProgramBlock(uint8_t& counter, Block& block) {
  uint8_t length = 0;
  if (!TakeByte(length)) return false;
  Complement(length);
  if (!TakeByte(counter)) return false;
  Complement(counter);
  if (!TakeByte(block.title)) return false;
  Complement(block.title);
  for (int i = 3; i < length; ++i) {
    uint8_t byte = 0;
    if (!TakeByte(byte)) return false;
    Complement(byte);
    block.data.push_back(byte);
  }
  uint8_t end = 0;
  return TakeByte(end) && end == kBlockEnd;
}

// ---------------------------------------------------------------------------------------
// The adapter

void SimEngine::AdapterByte(uint8_t byte) {
  switch (fAdapterState) {
    case AdapterState::Idle:
      // The adapter listens for commands only while RTS is asserted.
      if (!fRts) break;
      fAdapter = fSim->AdapterSettings();
      if (byte == AdapterBytes::kReadCommand) {
        StreamImage();
      } else if (byte == AdapterBytes::kStoreCommand) {
        fSim->CountStore();
        UnitSend(fAdapter.storeAnswer);
        fAdapterState = AdapterState::Store;
      } else if (byte == AdapterBytes::kUploadCommand) {
        UnitSend(fAdapter.uploadAnswer);
        if (fAdapter.uploadAnswer == AdapterBytes::kUploadAnswer) {
          fSim->StartUpload();
          fAdapterState = AdapterState::Upload;
        }
      }
      break;
    case AdapterState::Store:
      // "ok" and the carriage return that close the store command.
      if (byte == AdapterBytes::kCommandEnd) fAdapterState = AdapterState::Idle;
      break;
    case AdapterState::Upload:
      fSim->AddUploaded(byte);
      break;
  }
}

void SimEngine::StreamImage() {
  const std::vector<uint8_t> image = fSim->Image();
  const int length = std::max(0, fAdapter.streamLength);
  std::vector<uint8_t> stream;
  stream.reserve(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i)
    stream.push_back(i == 0 ? fAdapter.filler : image[static_cast<size_t>(i - 1) % image.size()]);
  // The tail still on its way arrives after the CTS changes.
  const auto tail = stream.end() - std::clamp(fAdapter.lateChars, 0, length);
  fLate.assign(tail, stream.end());
  stream.erase(tail, stream.end());
  fLine->Send(stream);
  fCtsLeft = std::max(0, fAdapter.ctsChanges);
  fNextCtsUs = SimNowUs() + std::max(0, fAdapter.ctsIntervalUs);
  fLateAtUs = SimNowUs() + int64_t{std::max(0, fAdapter.lateDelayMs)} * 1000;
}
