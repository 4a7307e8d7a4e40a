#pragma once
// TScopedFlag: sets a flag for as long as it lives, and clears it however the scope ends
// (an exception included), for the guards that keep one handler from running inside another.

struct TScopedFlag {
  explicit TScopedFlag(bool& flag) : fFlag(flag) { fFlag = true; }
  ~TScopedFlag() { fFlag = false; }
  TScopedFlag(const TScopedFlag&) = delete;
  TScopedFlag& operator=(const TScopedFlag&) = delete;

 private:
  bool& fFlag;
};
