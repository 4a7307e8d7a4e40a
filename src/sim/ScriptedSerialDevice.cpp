#include "sim/ScriptedSerialDevice.h"

#include <chrono>

#include "common/Clock.h"

namespace {

int64_t NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void ScriptedLine::Script(const std::vector<uint8_t>& bytes) {
  const std::lock_guard lock(fMutex);
  fScript.insert(fScript.end(), bytes.begin(), bytes.end());
}

void ScriptedLine::Arrive(const std::vector<uint8_t>& bytes) {
  const std::lock_guard lock(fMutex);
  fRx.insert(fRx.end(), bytes.begin(), bytes.end());
}

void ScriptedLine::SetEcho(bool on) {
  const std::lock_guard lock(fMutex);
  fEcho = on;
}

void ScriptedLine::SetResponder(std::function<void(uint8_t, ScriptedLine&)> responder) {
  const std::lock_guard lock(fMutex);
  fResponder = std::move(responder);
}

void ScriptedLine::SetOnExhausted(std::function<void()> callback) {
  const std::lock_guard lock(fMutex);
  fOnExhausted = std::move(callback);
}

void ScriptedLine::SetModemLinesFail(bool fail) {
  const std::lock_guard lock(fMutex);
  fModemFail = fail;
}

std::vector<uint8_t> ScriptedLine::Written() const {
  const std::lock_guard lock(fMutex);
  return fWritten;
}

std::vector<ScriptedLevel> ScriptedLine::Levels() const {
  const std::lock_guard lock(fMutex);
  return fLevels;
}

ScriptedLineSettings ScriptedLine::LineSettings() const {
  const std::lock_guard lock(fMutex);
  return fSettings;
}

size_t ScriptedLine::ScriptLeft() const {
  const std::lock_guard lock(fMutex);
  return fScript.size();
}

int ScriptedLine::Opens() const {
  const std::lock_guard lock(fMutex);
  return fOpens;
}

int ScriptedLine::Closes() const {
  const std::lock_guard lock(fMutex);
  return fCloses;
}

ScriptedSerialDevice::ScriptedSerialDevice(std::shared_ptr<ScriptedLine> line)
    : fLine(std::move(line)) {
  const std::lock_guard lock(fLine->fMutex);
  ++fLine->fOpens;
}

ScriptedSerialDevice::~ScriptedSerialDevice() {
  close();
}

bool ScriptedSerialDevice::setLineSettings(int32_t baud, int parity, int stopBits, int dataBits) {
  if (fClosed) return false;
  const std::lock_guard lock(fLine->fMutex);
  fLine->fSettings = ScriptedLineSettings{baud, parity, stopBits, dataBits};
  return true;
}

bool ScriptedSerialDevice::SetLevel(char line, bool on) {
  if (fClosed) return false;
  const std::lock_guard lock(fLine->fMutex);
  if (fLine->fModemFail) return false;
  fLine->fLevels.push_back(ScriptedLevel{line, on, NowUs()});
  return true;
}

bool ScriptedSerialDevice::setDTR(bool on) {
  return SetLevel('D', on);
}
bool ScriptedSerialDevice::setRTS(bool on) {
  return SetLevel('R', on);
}

int ScriptedSerialDevice::cts() {
  if (fClosed) return -1;
  const std::lock_guard lock(fLine->fMutex);
  return fLine->fModemFail ? -1 : 0;
}

int ScriptedSerialDevice::readByte() {
  if (fClosed) return -1;
  std::function<void()> exhausted;
  {
    const std::lock_guard lock(fLine->fMutex);
    auto& from = !fLine->fRx.empty() ? fLine->fRx : fLine->fScript;
    if (!from.empty()) {
      const uint8_t byte = from.front();
      from.pop_front();
      return byte;
    }
    exhausted = fLine->fOnExhausted;
  }
  if (exhausted) exhausted();
  return -1;
}

bool ScriptedSerialDevice::waitReadable(int ms) {
  {
    const std::lock_guard lock(fLine->fMutex);
    if (!fClosed && (!fLine->fRx.empty() || !fLine->fScript.empty())) return true;
  }
  // Nothing more will come from a script: the wait runs out.
  SleepMs(ms);
  return false;
}

bool ScriptedSerialDevice::writeByte(uint8_t byte) {
  if (fClosed) return false;
  std::function<void(uint8_t, ScriptedLine&)> responder;
  {
    const std::lock_guard lock(fLine->fMutex);
    fLine->fWritten.push_back(byte);
    if (fLine->fEcho) fLine->fRx.push_back(byte);
    responder = fLine->fResponder;
  }
  if (responder) responder(byte, *fLine);
  return true;
}

bool ScriptedSerialDevice::purgeInput() {
  if (fClosed) return false;
  const std::lock_guard lock(fLine->fMutex);
  fLine->fRx.clear();
  return true;
}

bool ScriptedSerialDevice::close() {
  if (fClosed.exchange(true)) return false;
  const std::lock_guard lock(fLine->fMutex);
  ++fLine->fCloses;
  return true;
}
