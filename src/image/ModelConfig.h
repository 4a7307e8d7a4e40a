#pragma once
// The model configuration: where each calibration table lies in the 32 KB image, its
// breakpoint counts and the layout variant. All zero until a model is confirmed or a
// profile is loaded.

#include <QString>
#include <cstdint>

// How the image's checksum over its data area is formed and stored (Checksum.h). None: not
// named, the kind is found by trying each on the loaded image.
enum class TChecksumKind : uint8_t {
  None,
  Sum16BE,            // 16-bit sum of the area's bytes, high byte first
  Sum16LE,            // the same, low byte first
  Sum16BEComplement,  // Sum16BE followed by 0xFFFF - sum, high byte first
  Sum16LEComplement,  // Sum16LE followed by 0xFFFF - sum, low byte first
  Sum8,               // 8-bit sum of the area's bytes
  Code16BE,           // 16-bit sum of the whole code area (all but the last 256 bytes), stored
                      // high byte first in the first two bytes after it; no area fields used
  Code16LE,           // the same, low byte first
  Mirror,             // the area is a block that fCRCAddress holds a copy of
};

struct TModelConfig {
  int32_t fVersion = 0;           // 1: split part-load maps and older scales; other: single maps
  uint32_t fVersionFileSize = 0;  // carried, not used
  int32_t fVersionAddress = 0;    // offset of the 10 version bytes
  uint16_t fpageSize = 0;         // carried, not used

  uint8_t fFuelMainMatrixDim1_Lo = 0;  // load breakpoints of the part-load fuel map (low part)
  uint8_t fFuelMainMatrixDim2_Lo = 0;  // its RPM breakpoints
  uint8_t fFuelMainMatrixDim1_Hi = 0;  // load breakpoints of the high part (variant 1)
  uint8_t fFuelMainMatrixDim2_Hi = 0;  // carried, not used
  uint8_t fFuelMainRows = 0;
  uint8_t fFuelMainCols = 0;
  uint8_t fFuelXXRows = 0;
  uint8_t fFuelXXCols = 0;
  uint8_t fFuelMaxMatrixDim1 = 0;
  uint8_t fFuelMaxMatrixDim2 = 0;
  uint8_t fSparkMainMatrixDim1_Lo = 0;
  uint8_t fSparkMainMatrixDim2_Lo = 0;
  uint8_t fSparkMainMatrixDim1_Hi = 0;
  uint8_t fSparkMainMatrixDim2_Hi = 0;
  uint8_t fSparkMainRows = 0;
  uint8_t fSparkMainCols = 0;
  uint8_t fSparkXXMatrixDim1 = 0;
  uint8_t fSparkXXMatrixDim2 = 0;
  uint8_t fSparkMaxMatrixDim1 = 0;  // variant 1: rows of the curve; otherwise load breakpoints
  uint8_t fSparkMaxMatrixDim2 = 0;

  int32_t fMaxRPMAddress1 = 0;
  int32_t fMaxRPMAddress2 = 0;  // 2 to 8: carried, not used
  int32_t fMaxRPMAddress3 = 0;
  int32_t fMaxRPMAddress4 = 0;
  int32_t fMaxRPMAddress5 = 0;
  int32_t fMaxRPMAddress6 = 0;
  int32_t fMaxRPMAddress7 = 0;
  int32_t fMaxRPMAddress8 = 0;
  int32_t fInjectorOutputAddress = 0;
  int32_t fStartMainFuelTableAddress_Lo = 0;
  int32_t fStartMainFuelTableAddress_Hi = 0;
  int32_t fMainFuelTableLength1 = 0;
  int32_t fMainFuelTableLength2 = 0;
  int32_t fStartXXFuelTableAddress = 0;
  int32_t fXXFuelTableLength = 0;
  int32_t fStartMaxFuelTableAddress = 0;
  int32_t fMaxFuelTableLength = 0;
  int32_t fStartMainSparkTableAddress_Lo = 0;
  int32_t fStartMainSparkTableAddress_Hi = 0;
  int32_t fMainSparkTableLength1 = 0;
  int32_t fMainSparkTableLength2 = 0;
  int32_t fStartXXSparkTableAddress = 0;
  int32_t fXXSparkTableLength = 0;
  int32_t fStartMaxSparkTableAddress = 0;
  int32_t fMaxSparkTableLength = 0;
  int32_t fStartMAFAddress = 0;
  int32_t fMAFLength = 0;
  int32_t fStartDataAreaAddress = 0;  // first byte of the checksummed data area
  int32_t fEndDataAreaAddress = 0;    // its last byte (inclusive)
  int32_t fCRCAddress = 0;            // first byte of the stored checksum
  int32_t fRPMTempCorrTableaddress = 0;
  uint8_t fRPMTempCorrDim1 = 0;
  uint8_t fRPMTempCorrDim2 = 0;
  int32_t fCORegAddress = 0;
  // The checksum kind a profile names (key CRCKind); None lets the loaded image tell.
  TChecksumKind fCRCKind = TChecksumKind::None;
  // The value a named 16-bit sum starts from (key CRCStart), and a second range it also
  // covers, both ends inclusive (key CRCRange2; 0-0 names none).
  uint16_t fCRCStart = 0;
  int32_t fCRCRange2First = 0;
  int32_t fCRCRange2Last = 0;

  bool operator==(const TModelConfig&) const = default;

  // Rows and columns of fSparkMaxMatrix: the curve in variant 1, the map with axes otherwise.
  int SparkMaxRows() const;
  int SparkMaxCols() const;
  // Recomputes fFuelMainRows/Cols and fSparkMainRows/Cols (sums in 8 bits).
  void ComputeDerivedSizes();
};
