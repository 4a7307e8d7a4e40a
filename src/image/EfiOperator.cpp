#include "image/EfiOperator.h"

#include <algorithm>

#include "common/IniFile.h"
#include "image/BuiltInConfig.h"
#include "image/Checksum.h"

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
  const TIniFile ini(path);
  const QString section = QStringLiteral("config");
  auto key = [&](const char* name, int32_t def) { return ini.ReadInteger(section, name, def); };
  // 8- and 16-bit fields keep the low bits of the value read.
  auto u8 = [&](const char* name, int32_t def) { return static_cast<uint8_t>(key(name, def)); };
  fVersion = key("fVersion", 1);
  fVersionFileSize = static_cast<uint32_t>(key("fVersionFileSize", 32768));
  fVersionAddress = key("fVersionAddress", 0x1F0C);
  fpageSize = static_cast<uint16_t>(key("fpageSize", 64));
  fFuelMainMatrixDim1_Lo = u8("fFuelMainMatrixDim1_Lo", 8);
  fFuelMainMatrixDim2_Lo = u8("fFuelMainMatrixDim2_Lo", 16);
  fFuelMainMatrixDim1_Hi = u8("fFuelMainMatrixDim1_Hi", 6);
  fFuelMainMatrixDim2_Hi = u8("fFuelMainMatrixDim2_Hi", 16);
  fFuelXXRows = static_cast<uint8_t>(key("fFuelXXMatrixDim1", 3) + 1);
  fFuelXXCols = static_cast<uint8_t>(key("fFuelXXMatrixDim2", 6) + 1);
  fFuelMaxMatrixDim1 = u8("fFuelMaxMatrixDim1", 2);
  fFuelMaxMatrixDim2 = u8("fFuelMaxMatrixDim2", 16);
  fSparkMainMatrixDim1_Lo = u8("fSparkMainMatrixDim1_Lo", 8);
  fSparkMainMatrixDim2_Lo = u8("fSparkMainMatrixDim2_Lo", 16);
  fSparkMainMatrixDim1_Hi = u8("fSparkMainMatrixDim1_Hi", 6);
  fSparkMainMatrixDim2_Hi = u8("fSparkMainMatrixDim2_Hi", 16);
  fSparkXXMatrixDim1 = u8("fSparkXXMatrixDim1", 2);
  fSparkXXMatrixDim2 = u8("fSparkXXMatrixDim2", 8);
  fSparkMaxMatrixDim1 = u8("fSparkMaxMatrixDim1", 2);
  fSparkMaxMatrixDim2 = u8("fSparkMaxMatrixDim2", 16);
  fMaxRPMAddress1 = key("fMaxRPMAddress1", 17117);
  fMaxRPMAddress2 = key("fMaxRPMAddress2", 17161);
  fMaxRPMAddress3 = key("fMaxRPMAddress3", 17205);
  fMaxRPMAddress4 = key("fMaxRPMAddress4", 17249);
  fMaxRPMAddress5 = key("fMaxRPMAddress5", 17293);
  fMaxRPMAddress6 = key("fMaxRPMAddress6", 17337);
  fMaxRPMAddress7 = key("fMaxRPMAddress7", 17381);
  fMaxRPMAddress8 = key("fMaxRPMAddress8", 17425);
  fInjectorOutputAddress = key("fInjectorOutputAddress", 0);
  fStartMainFuelTableAddress_Lo = key("fStartMainFuelTableAddress_Lo", 0x51B6);
  fStartMainFuelTableAddress_Hi = key("fStartMainFuelTableAddress_Hi", 0x5252);
  fMainFuelTableLength1 = key("fMainFuelTableLength1", 152);
  fMainFuelTableLength2 = key("fMainFuelTableLength2", 118);
  fStartXXFuelTableAddress = key("fStartXXFuelTableAddress", 0x70BB);
  fXXFuelTableLength = key("fXXFuelTableLength", 18);
  fStartMaxFuelTableAddress = key("fStartMaxFuelTableAddress", 0x4EB7);
  fMaxFuelTableLength = key("fMaxFuelTableLength", 32);
  fStartMainSparkTableAddress_Lo = key("fStartMainSparkTableAddress_Lo", 0x59CB);
  fStartMainSparkTableAddress_Hi = key("fStartMainSparkTableAddress_Hi", 0x5A67);
  fMainSparkTableLength1 = key("fMainSparkTableLength1", 152);
  fMainSparkTableLength2 = key("fMainSparkTableLength2", 118);
  fStartXXSparkTableAddress = key("fStartXXSparkTableAddress", 0x557C);
  fXXSparkTableLength = key("fXXSparkTableLength", 16);
  fStartMaxSparkTableAddress = key("fStartMaxSparkTableAddress", 0x56E5);
  fMaxSparkTableLength = key("fMaxSparkTableLength", 32);
  fStartMAFAddress = key("fStartMAFAddress", 0);
  fMAFLength = key("fMAFLength", 256);
  fStartDataAreaAddress = key("fStartDataAreaAddress", 0);
  fEndDataAreaAddress = key("fEndDataAreaAddress", 0);
  fCRCAddress = key("fCRCAddress", 0);
  fRPMTempCorrTableaddress = key("fRPMTempCorrTableaddress", 0x780C);
  fRPMTempCorrDim1 = u8("fRPMTempCorrDim1", 2);
  fRPMTempCorrDim2 = u8("fRPMTempCorrDim2", 4);
  fCORegAddress = key("fCORegAddress", 0x7E8B);
  // A kind the program does not know is taken as not named, like any other bad key.
  fCRCKind = ChecksumKindFromName(ini.ReadString(section, QStringLiteral("CRCKind"), {}))
                 .value_or(TChecksumKind::None);
  ComputeDerivedSizes();
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
