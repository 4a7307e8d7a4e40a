#pragma once
// Unit SetData, TSData: the built-in model configuration (an M3.1-type layout), nothing but its
// values.

#include <cstdint>

#include "image/ModelConfig.h"

class TSData {
 public:
  int32_t fVersionAddress = 0x7DF6;
  int32_t fVersion = 2;
  int32_t fVersionFileSize = 0x8000;
  int32_t fpageSize = 64;
  int32_t fFuelMainMatrixDim1_Lo = 12;
  int32_t fFuelMainMatrixDim2_Lo = 16;
  int32_t fFuelXXMatrixDim1 = 3;
  int32_t fFuelXXMatrixDim2 = 6;
  int32_t fFuelMaxMatrixDim1 = 2;
  int32_t fFuelMaxMatrixDim2 = 16;
  int32_t fSparkMainMatrixDim1_Lo = 12;
  int32_t fSparkMainMatrixDim2_Lo = 16;
  int32_t fSparkXXMatrixDim1 = 2;
  int32_t fSparkXXMatrixDim2 = 8;
  int32_t fSparkMaxMatrixDim1 = 6;
  int32_t fSparkMaxMatrixDim2 = 16;
  int32_t fMaxRPMAddress1 = 0x6A19;
  int32_t fInjectorOutputAddress = 0;
  int32_t fStartMainFuelTableAddress_Lo = 0x70FC;
  int32_t fMainFuelTableLength1 = 0xC0;
  int32_t fStartXXFuelTableAddress = 0x70BB;
  int32_t fXXFuelTableLength = 18;
  int32_t fStartMaxFuelTableAddress = 0x70DA;
  int32_t fMaxFuelTableLength = 32;
  int32_t fStartMainSparkTableAddress_Lo = 0x7425;
  int32_t fMainSparkTableLength1 = 0xC0;
  int32_t fMainSparkTableLength2 = 0x76;
  int32_t fStartXXSparkTableAddress = 0x738F;
  int32_t fXXSparkTableLength = 16;
  int32_t fStartMaxSparkTableAddress = 0x73AB;
  int32_t fMaxSparkTableLength = 0x60;
  int32_t fStartMAFAddress = 0x6BFC;
  int32_t fMAFLength = 256;
  int32_t fCRCAddress = 0x7980;
  int32_t fStartDataAreaAddress = 0x69FE;
  int32_t fEndDataAreaAddress = 0x797F;
  int32_t fRPMTempCorrTableaddress = 0x780C;
  int32_t fRPMTempCorrDim1 = 2;
  int32_t fRPMTempCorrDim2 = 4;
  int32_t fCORegAddress = 0x7E8B;
  // The checksum this layout carries: a 16-bit sum of the data area, high byte first, stored
  // right after it. Known, so a mismatch is a wrong checksum, not an unknown one.
  TChecksumKind fCRCKind = TChecksumKind::Sum16BE;
};
