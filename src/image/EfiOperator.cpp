#include "image/EfiOperator.h"

#include <algorithm>

#include "image/BuiltInConfig.h"
#include "image/ProfileKeys.h"

TEFIOperator::TEFIOperator(bool profileSwitch) : fProfileSwitch(profileSwitch) {}

void TEFIOperator::LoadDefaultConfig() {
  const TSData data;
  fVersionAddress = data.fVersionAddress;
  fVersion = data.fVersion;
  fVersionFileSize = static_cast<uint32_t>(data.fVersionFileSize);
  fpageSize = static_cast<uint16_t>(data.fpageSize);
  fFuelMainMatrixDim1_Lo = static_cast<uint8_t>(data.fFuelMainMatrixDim1_Lo);
  fFuelMainMatrixDim2_Lo = static_cast<uint8_t>(data.fFuelMainMatrixDim2_Lo);
  fFuelXXRows = static_cast<uint8_t>(data.fFuelXXMatrixDim1 + 1);
  fFuelXXCols = static_cast<uint8_t>(data.fFuelXXMatrixDim2 + 1);
  fFuelMaxMatrixDim1 = static_cast<uint8_t>(data.fFuelMaxMatrixDim1);
  fFuelMaxMatrixDim2 = static_cast<uint8_t>(data.fFuelMaxMatrixDim2);
  fSparkMainMatrixDim1_Lo = static_cast<uint8_t>(data.fSparkMainMatrixDim1_Lo);
  fSparkMainMatrixDim2_Lo = static_cast<uint8_t>(data.fSparkMainMatrixDim2_Lo);
  fSparkXXMatrixDim1 = static_cast<uint8_t>(data.fSparkXXMatrixDim1);
  fSparkXXMatrixDim2 = static_cast<uint8_t>(data.fSparkXXMatrixDim2);
  fSparkMaxMatrixDim1 = static_cast<uint8_t>(data.fSparkMaxMatrixDim1);
  fSparkMaxMatrixDim2 = static_cast<uint8_t>(data.fSparkMaxMatrixDim2);
  fMaxRPMAddress1 = data.fMaxRPMAddress1;
  fInjectorOutputAddress = data.fInjectorOutputAddress;
  fStartMainFuelTableAddress_Lo = data.fStartMainFuelTableAddress_Lo;
  fMainFuelTableLength1 = data.fMainFuelTableLength1;
  fStartXXFuelTableAddress = data.fStartXXFuelTableAddress;
  fXXFuelTableLength = data.fXXFuelTableLength;
  fStartMaxFuelTableAddress = data.fStartMaxFuelTableAddress;
  fMaxFuelTableLength = data.fMaxFuelTableLength;
  fStartMainSparkTableAddress_Lo = data.fStartMainSparkTableAddress_Lo;
  fMainSparkTableLength1 = data.fMainSparkTableLength1;
  fMainSparkTableLength2 = data.fMainSparkTableLength2;
  fStartXXSparkTableAddress = data.fStartXXSparkTableAddress;
  fXXSparkTableLength = data.fXXSparkTableLength;
  fStartMaxSparkTableAddress = data.fStartMaxSparkTableAddress;
  fMaxSparkTableLength = data.fMaxSparkTableLength;
  fStartMAFAddress = data.fStartMAFAddress;
  fMAFLength = data.fMAFLength;
  fCRCAddress = data.fCRCAddress;
  fStartDataAreaAddress = data.fStartDataAreaAddress;
  fEndDataAreaAddress = data.fEndDataAreaAddress;
  fRPMTempCorrTableaddress = data.fRPMTempCorrTableaddress;
  fRPMTempCorrDim1 = static_cast<uint8_t>(data.fRPMTempCorrDim1);
  fRPMTempCorrDim2 = static_cast<uint8_t>(data.fRPMTempCorrDim2);
  fCORegAddress = data.fCORegAddress;
  fCRCKind = data.fCRCKind;
  // Fields the built-in layout has no value for.
  fFuelMainMatrixDim1_Hi = 1;
  fFuelMainMatrixDim2_Hi = 1;
  fSparkMainMatrixDim1_Hi = 1;
  fSparkMainMatrixDim2_Hi = 1;
  fMaxRPMAddress2 = fMaxRPMAddress3 = fMaxRPMAddress4 = fMaxRPMAddress5 = 0;
  fMaxRPMAddress6 = fMaxRPMAddress7 = fMaxRPMAddress8 = 0;
  fStartMainFuelTableAddress_Hi = 0;
  fMainFuelTableLength2 = 1;
  fStartMainSparkTableAddress_Hi = 0;
  ComputeDerivedSizes();
  ResizeTables();
}

void TEFIOperator::LoadProfile(const QString& path) {
  static_cast<TModelConfig&>(*this) = ReadProfile(path);
  ResizeTables();
}

namespace {
template <typename T>
void Resize(std::vector<std::vector<T>>& table, int rows, int cols) {
  table.resize(static_cast<size_t>(std::max(rows, 0)));
  for (auto& row : table) row.resize(static_cast<size_t>(std::max(cols, 0)), T{});
}
}  // namespace

void TEFIOperator::ResizeTables() {
  Resize(fFuelMainMatrix, fFuelMainRows, fFuelMainCols);
  Resize(fSparkMainMatrix, fSparkMainRows, fSparkMainCols);
  Resize(fFuelXXMatrix, fFuelXXRows, fFuelXXCols);
  Resize(fSparkXXMatrix, fSparkXXMatrixDim1, fSparkXXMatrixDim2);
  Resize(fFuelMaxMatrix, fFuelMaxMatrixDim1, fFuelMaxMatrixDim2);
  Resize(fSparkMaxMatrix, SparkMaxRows(), SparkMaxCols());
  // A negative length from a profile gives an empty curve rather than a huge one.
  fMAFTable.resize(static_cast<size_t>(std::clamp(fMAFLength, 0, 65536)), 0);
  Resize(fRPMTempCorrTable, fRPMTempCorrDim1, fRPMTempCorrDim2);
}
