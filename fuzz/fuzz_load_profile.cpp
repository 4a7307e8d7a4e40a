// LoadProfile on arbitrary text; then, for whatever configuration it gives, the checks,
// the settings file both ways when the tables are workable, and DecodeImage of a 32 KB
// image. A refused layout must be refused cleanly; an accepted one must decode without
// reading outside the image or indexing outside a table.

#include "FuzzSupport.h"
#include "common/Errors.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<uint8_t> image = MakeDemoImage();
  const QString profile = ScratchFile("input.prf");
  WriteWhole(profile, data, size);

  TEFIOperator op(true);
  try {
    op.LoadProfile(profile);
  } catch (const ERuntimeError&) {  // a checksum kind the program does not know
    return 0;
  }
  op.fImage = image;
  const QString layout = op.CheckLayout();
  try {
    op.DecodeImage();
    if (!layout.isEmpty()) __builtin_trap();  // decoded what the check refused
  } catch (const EZeroDivide&) {
  } catch (const ERuntimeError& e) {
    if (layout.isEmpty() || QString::fromUtf8(e.what()) != layout) __builtin_trap();
  }

  if (op.CheckTables().isEmpty()) {
    op.fVersionText = QStringLiteral("0123456789");
    if (op.fMaxRPM == 0) op.fMaxRPM = 6500;
    const QString settings = ScratchFile("out.dme");
    op.SaveSettings(1, settings);
    uint8_t mismatch = 0;
    try {
      op.LoadSettings(1, settings, mismatch);
    } catch (const EZeroDivide&) {  // a rev limit whose code is 0 in the older layout
    }
  }
  return 0;
}
