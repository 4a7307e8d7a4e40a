#pragma once
// The cable test: a pattern of bytes sent one at a time at the diagnostic line's settings,
// each byte's echo awaited and timed. A K-line interface joins its transmit and receive
// lines on the one wire, so every byte comes back at once; no unit needs to be connected.
// What comes back tells what is wrong: nothing (no 12 V on the diagnostic plug, or not a
// K-line cable), other bytes (line settings, or no proper transceiver), late bytes (the
// adapter's latency timer), some bytes lost (a loose contact).

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/SerialDevice.h"

struct TCableTestOptions {
  int32_t iniParity = 0;  // "PAR" of CTESTER.INI
  std::vector<uint8_t> pattern = DefaultPattern();
  int echoWaitMs = 200;          // how long one echo is awaited
  int64_t slowMedianUs = 10000;  // a median round trip above this is slow
  int silentGiveUp = 4;          // the test stops after this many bytes when none came back
  std::function<void()> step;    // after each byte (the window lets its events run)

  // Both levels, walking ones and zeros (a stuck data bit), the protocol's own bytes.
  static std::vector<uint8_t> DefaultPattern();
};

struct TCableByte {
  uint8_t sent;
  int received = -1;         // the first byte that came back, -1 none
  int64_t roundTripUs = -1;  // from handing the byte over to its echo
  int extra = 0;             // further bytes that came back after it
};

struct TCableTestResult {
  enum Verdict { Right, NoEcho, WrongEcho, SlowEcho, LostEcho };
  Verdict verdict = NoEcho;
  std::vector<TCableByte> bytes;
  int right = 0;  // echoes that came back equal
  int wrong = 0;  // echoes that came back different, or with extra bytes
  int missing = 0;
  // Round trips of the right echoes, in microseconds (0 when there was none).
  int64_t minUs = 0;
  int64_t medianUs = 0;
  int64_t maxUs = 0;
};

// Runs the test on an open device: line settings 19200 baud, 8 data bits, parity from
// "PAR", one stop bit; the interface's supply lines at the diagnostic line's resting levels
// (RTS cleared, DTR set).
TCableTestResult RunCableTest(SerialDevice& device, const TCableTestOptions& options = {});
// The verdict for a list of timed bytes (what RunCableTest measured).
void JudgeCableTest(TCableTestResult& result, const TCableTestOptions& options);
// 0 when every echo came back right and in time, 1 otherwise.
int CableTestExitCode(const TCableTestResult& result);
// The result in English; `latencyCommand` (when not empty) is the command that sets the
// port's latency timer to 1 ms, named for a slow echo.
QString CableTestText(const TCableTestResult& result, const QString& latencyCommand = {});
