// The calibration loader on any bytes, as an image (.bin) or a settings file (.dme), the first
// byte choosing, under the built-in configuration. What loads must go into a calibration
// document, and an image written back from the unedited document must be the loaded image
// byte for byte.

#include "FuzzSupport.h"
#include "calibration/Calibration.h"
#include "calibration/Compare.h"
#include "common/Errors.h"
#include "image/EfiOperator.h"
#include "image/ImageWriteBack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool settings = data[0] & 1;
  const QString path = ScratchFile(settings ? "input.dme" : "input.bin");
  WriteWhole(path, data + 1, size - 1);

  TEFIOperator op(true);
  op.LoadDefaultConfig();
  try {
    LoadCalibrationFile(op, path);
  } catch (const ERuntimeError&) {
    return 0;
  }
  TCalibration doc;
  doc.Load(op);
  if (settings) return 0;
  TEFIOperator edited = op;
  doc.CollectInto(edited);
  try {
    if (WriteBackTables(op.fImage, op, edited) != op.fImage) __builtin_trap();
  } catch (const EZeroDivide&) {  // a rev limit that codes to 0
  }
  return 0;
}
