// LoadSettings on arbitrary bytes, under the built-in configuration and under the one an
// empty profile gives (the older, split layout). Every failure must be one of the program's
// own errors; anything else, or a stray read or write, is a finding.

#include "FuzzSupport.h"
#include "common/Errors.h"
#include "image/EfiOperator.h"

namespace {

void LoadBothModes(TEFIOperator& op, const QString& path) {
  uint8_t mismatch = 0;
  try {
    op.LoadSettings(0, path, mismatch);
  } catch (const ERuntimeError&) {
  }
  try {
    op.LoadSettings(1, path, mismatch);
  } catch (const ERuntimeError&) {
    return;
  }
  // What was loaded must save again, as long as the version text is digits.
  op.fVersionText = QStringLiteral("0123456789");
  try {
    op.SaveSettings(1, ScratchFile("again.dme"));
  } catch (const EZeroDivide&) {  // a rev limit that coded to 0 in the older layout
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = ScratchFile("input.dme");
  WriteWhole(path, data, size);

  TEFIOperator builtIn(true);
  builtIn.LoadDefaultConfig();
  LoadBothModes(builtIn, path);

  TEFIOperator older(true);
  older.LoadProfile(ScratchFile("no-such-profile.prf"));  // every key at its default
  older.fVersionText = QStringLiteral("0261200402");      // so that mode 0 may disagree
  LoadBothModes(older, path);
  return 0;
}
