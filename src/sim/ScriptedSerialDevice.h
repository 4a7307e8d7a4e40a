#pragma once
// A device that plays back what a test or a fuzzer wrote for it, on the calling thread:
// the unit's bytes in order, each handed over only when the program looks for a byte and
// nothing else is waiting (so that emptying the input never throws away the script), the
// K-line echo of every byte written, and a responder that may answer a written byte.
// Everything the program does is recorded with its time.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "link/SerialDevice.h"

struct ScriptedLineSettings {
  int32_t baud = 0;
  int parity = -1;
  int stopBits = -1;
  int dataBits = 0;
};

struct ScriptedLevel {
  char line;  // 'D' DTR, 'R' RTS
  bool level;
  int64_t timeUs;
};

// The state behind a scripted device; the test keeps it to script and to inspect.
class ScriptedLine {
 public:
  // Unit bytes, released one at a time as the program reads.
  void Script(const std::vector<uint8_t>& bytes);
  // Bytes readable at once.
  void Arrive(const std::vector<uint8_t>& bytes);
  // Every written byte comes back as an echo (the K-line). On by default.
  void SetEcho(bool on);
  // Called after each written byte (and its echo) with the byte; may Arrive() answers.
  void SetResponder(std::function<void(uint8_t, ScriptedLine&)> responder);
  // Called when the program reads and neither waiting bytes nor script are left.
  void SetOnExhausted(std::function<void()> callback);
  // DTR, RTS and CTS calls fail, as on a pseudo-terminal.
  void SetModemLinesFail(bool fail);

  std::vector<uint8_t> Written() const;
  std::vector<ScriptedLevel> Levels() const;
  ScriptedLineSettings LineSettings() const;
  size_t ScriptLeft() const;
  int Opens() const;
  int Closes() const;

 private:
  friend class ScriptedSerialDevice;
  mutable std::mutex fMutex;
  std::deque<uint8_t> fScript;
  std::deque<uint8_t> fRx;
  bool fEcho = true;
  bool fModemFail = false;
  std::function<void(uint8_t, ScriptedLine&)> fResponder;
  std::function<void()> fOnExhausted;
  std::vector<uint8_t> fWritten;
  std::vector<ScriptedLevel> fLevels;
  ScriptedLineSettings fSettings;
  int fOpens = 0;
  int fCloses = 0;
};

class ScriptedSerialDevice : public SerialDevice {
 public:
  explicit ScriptedSerialDevice(std::shared_ptr<ScriptedLine> line);
  ~ScriptedSerialDevice() override;

  bool setLineSettings(int32_t baud, int parity, int stopBits, int dataBits) override;
  bool setDTR(bool on) override;
  bool setRTS(bool on) override;
  int cts() override;
  int readByte() override;
  bool waitReadable(int ms) override;
  bool writeByte(uint8_t byte) override;
  bool purgeInput() override;
  bool close() override;

 private:
  bool SetLevel(char line, bool on);
  std::shared_ptr<ScriptedLine> fLine;
  std::atomic<bool> fClosed{false};
};
