// A profile's checksum fields (CRCKind, the area and the checksum's place, among every other
// key) on the demo image: the status must be decided without reading outside the image; where
// a kind is known and the place fits, storing the checksum of that kind must make the status
// right, and the profile checks must run to the end.

#include "FuzzSupport.h"
#include "common/Errors.h"
#include "image/Checksum.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "profile/ProfileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<uint8_t> demo = MakeDemoImage();
  const QString profile = ScratchFile("checksum.prf");
  WriteWhole(profile, data, size);

  TEFIOperator op(true);
  try {
    op.LoadProfile(profile);
  } catch (const ERuntimeError&) {
    return 0;  // a profile the reader refuses
  }
  std::vector<uint8_t> image = demo;
  const TChecksumStatus status = CheckChecksum(image, op);
  (void)ChecksumStatusText(status);
  if (status.kind != TChecksumKind::None) {
    try {
      StoreChecksum(image, op, status.kind);
    } catch (const ERuntimeError&) {
      return 0;  // the area or the place lies outside the image
    }
    if (image.size() != demo.size()) __builtin_trap();
    if (!ChecksumMatches(image, op, status.kind)) __builtin_trap();
  }
  op.fImage = demo;
  (void)CheckProfile(op, op.fImage);
  return 0;
}
