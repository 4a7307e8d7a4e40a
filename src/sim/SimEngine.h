#pragma once
// The thread behind one simulated device: it watches the program's line levels for the
// unit's 5-baud wake-up, plays the engine control unit on the K-line and the image adapter
// when DTR is released (see Simulator.h).

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "sim/FiveBaudDecoder.h"
#include "sim/SimLine.h"
#include "sim/Simulator.h"

class SimEngine {
 public:
  SimEngine(std::shared_ptr<SimLine> line, std::shared_ptr<Simulator> simulator);
  // The thread body; returns when the device posts Stop.
  void Run();

 private:
  struct Stopped {};    // the device was closed
  struct Restarted {};  // a new wake-up came in the middle of a connection

  struct Block {
    uint8_t title;
    std::vector<uint8_t> data;
  };

  // Handles the program's events until `done` holds (true) or `deadlineUs` passes (false).
  bool Pump(int64_t deadlineUs, const std::function<bool()>& done);
  void Pause(int ms);
  void PauseUntil(int64_t timeUs);
  void Handle(const SimEvent& event);
  void Service(int64_t nowUs);
  int64_t NextServiceUs() const;

  // The unit.
  void Connection();
  // Sync byte and keywords after a wake-up; true when the program answered the keywords.
  bool AnswerWakeUp();
  // Does what a block of the program asks (fault codes queued, cleared, the end); false
  // when the connection ends.
  bool Obey(const Block& request, std::deque<Block>& queue);
  bool TakeByte(uint8_t& byte);
  void UnitSend(uint8_t byte);
  void Complement(uint8_t byte);
  bool SendUnitBlock(uint8_t counter, const Block& block);
  bool ReceiveProgramBlock(uint8_t& counter, Block& block);
  void KLineByte(uint8_t byte, int64_t timeUs);
  void NewDecoders();
  FiveBaudDecoder* WiredDecoder(int wakeLine);

  // The adapter.
  void AdapterByte(uint8_t byte);
  void StreamImage();

  std::shared_ptr<SimLine> fLine;
  std::shared_ptr<Simulator> fSim;
  SimUnitSettings fUnit;
  SimAdapterSettings fAdapter;

  bool fDtr = false;
  bool fRts = false;
  bool fBreak = false;
  FiveBaudDecoder fDtrDecoder;
  FiveBaudDecoder fRtsDecoder;
  FiveBaudDecoder fBreakDecoder;  // the K-line's level: low while a break is held
  int fDecoderBitMs = 0;
  bool fWakePending = false;
  int64_t fWakeEndUs = 0;

  bool fInConnection = false;
  std::deque<uint8_t> fUnitInput;
  int fProgramBytes = 0;       // K-line bytes written by the program in this connection
  int fComplemented = 0;       // bytes of the program's blocks the unit complemented
  int fUnitBlocks = 0;         // blocks the unit sent in this connection
  bool fTimeNextByte = false;  // the next program byte answers a unit block byte
  int64_t fUnitByteUs = 0;

  enum class AdapterState { Idle, Store, Upload };
  AdapterState fAdapterState = AdapterState::Idle;
  int fCtsLeft = 0;
  int64_t fNextCtsUs = 0;
  std::vector<uint8_t> fLate;  // the end of the stream, still on its way
  int64_t fLateAtUs = 0;
};
