// The model configuration: built-in values, profile reading, derived sizes, resizing.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "image/EfiOperator.h"

namespace {
class Profile {
 public:
  explicit Profile(const QByteArray& text) {
    QFile file(fDir.filePath("p.prf"));
    file.open(QIODevice::WriteOnly);
    file.write(text);
  }
  QString Path() const { return fDir.filePath("p.prf"); }

 private:
  QTemporaryDir fDir;
};

// The configuration an empty profile must give: every profile default.
TModelConfig ProfileDefaults() {
  TModelConfig c;
  c.fVersion = 1;
  c.fVersionFileSize = 32768;
  c.fVersionAddress = 7948;
  c.fpageSize = 64;
  c.fFuelMainMatrixDim1_Lo = 8;
  c.fFuelMainMatrixDim2_Lo = 16;
  c.fFuelMainMatrixDim1_Hi = 6;
  c.fFuelMainMatrixDim2_Hi = 16;
  c.fFuelMainRows = 15;
  c.fFuelMainCols = 17;
  c.fFuelXXRows = 4;
  c.fFuelXXCols = 7;
  c.fFuelMaxMatrixDim1 = 2;
  c.fFuelMaxMatrixDim2 = 16;
  c.fSparkMainMatrixDim1_Lo = 8;
  c.fSparkMainMatrixDim2_Lo = 16;
  c.fSparkMainMatrixDim1_Hi = 6;
  c.fSparkMainMatrixDim2_Hi = 16;
  c.fSparkMainRows = 15;
  c.fSparkMainCols = 17;
  c.fSparkXXMatrixDim1 = 2;
  c.fSparkXXMatrixDim2 = 8;
  c.fSparkMaxMatrixDim1 = 2;
  c.fSparkMaxMatrixDim2 = 16;
  c.fMaxRPMAddress1 = 17117;
  c.fMaxRPMAddress2 = 17161;
  c.fMaxRPMAddress3 = 17205;
  c.fMaxRPMAddress4 = 17249;
  c.fMaxRPMAddress5 = 17293;
  c.fMaxRPMAddress6 = 17337;
  c.fMaxRPMAddress7 = 17381;
  c.fMaxRPMAddress8 = 17425;
  c.fStartMainFuelTableAddress_Lo = 20918;
  c.fStartMainFuelTableAddress_Hi = 21074;
  c.fMainFuelTableLength1 = 152;
  c.fMainFuelTableLength2 = 118;
  c.fStartXXFuelTableAddress = 28859;
  c.fXXFuelTableLength = 18;
  c.fStartMaxFuelTableAddress = 20151;
  c.fMaxFuelTableLength = 32;
  c.fStartMainSparkTableAddress_Lo = 22987;
  c.fStartMainSparkTableAddress_Hi = 23143;
  c.fMainSparkTableLength1 = 152;
  c.fMainSparkTableLength2 = 118;
  c.fStartXXSparkTableAddress = 21884;
  c.fXXSparkTableLength = 16;
  c.fStartMaxSparkTableAddress = 22245;
  c.fMaxSparkTableLength = 32;
  c.fMAFLength = 256;
  c.fRPMTempCorrTableaddress = 30732;
  c.fRPMTempCorrDim1 = 2;
  c.fRPMTempCorrDim2 = 4;
  c.fCORegAddress = 32395;
  return c;
}

size_t Rows(const TFloatMatrix& m) {
  return m.size();
}
size_t Cols(const TFloatMatrix& m) {
  return m.empty() ? 0 : m[0].size();
}
}  // namespace

TEST(ModelConfig, CreatedEmptyWithTheProfileSwitchAsAsked) {
  const TEFIOperator efi(true);
  EXPECT_TRUE(efi.fProfileSwitch);
  EXPECT_EQ(efi.fVersion, 0);
  EXPECT_TRUE(efi.fImage.empty());
  EXPECT_TRUE(efi.fFuelMainMatrix.empty());
  EXPECT_FALSE(TEFIOperator(false).fProfileSwitch);
}

TEST(ModelConfig, BuiltInConfigurationAndItsTableSizes) {
  TEFIOperator efi(true);
  efi.LoadDefaultConfig();
  EXPECT_EQ(efi.fVersion, 2);
  EXPECT_EQ(efi.fVersionAddress, 0x7DF6);
  EXPECT_EQ(efi.fFuelMainMatrixDim1_Hi, 1);
  EXPECT_EQ(efi.fMainFuelTableLength2, 1);
  EXPECT_EQ(efi.fMaxRPMAddress8, 0);
  EXPECT_EQ(efi.fStartMAFAddress, 0x6BFC);
  // 13x17, 13x17, 4x7, 2x8, 2x16, 7x17, 256 and 2x4.
  EXPECT_EQ(Rows(efi.fFuelMainMatrix), 13u);
  EXPECT_EQ(Cols(efi.fFuelMainMatrix), 17u);
  EXPECT_EQ(Rows(efi.fSparkMainMatrix), 13u);
  EXPECT_EQ(Cols(efi.fSparkMainMatrix), 17u);
  EXPECT_EQ(Rows(efi.fFuelXXMatrix), 4u);
  EXPECT_EQ(Cols(efi.fFuelXXMatrix), 7u);
  EXPECT_EQ(Rows(efi.fSparkXXMatrix), 2u);
  EXPECT_EQ(Cols(efi.fSparkXXMatrix), 8u);
  EXPECT_EQ(Rows(efi.fFuelMaxMatrix), 2u);
  EXPECT_EQ(Cols(efi.fFuelMaxMatrix), 16u);
  EXPECT_EQ(Rows(efi.fSparkMaxMatrix), 7u);
  EXPECT_EQ(Cols(efi.fSparkMaxMatrix), 17u);
  EXPECT_EQ(efi.fMAFTable.size(), 256u);
  EXPECT_EQ(efi.fRPMTempCorrTable.size(), 2u);
  EXPECT_EQ(efi.fRPMTempCorrTable[0].size(), 4u);
}

TEST(ModelConfig, EmptyProfileGivesExactlyTheProfileDefaults) {
  TEFIOperator efi(true);
  Profile empty("");
  efi.LoadProfile(empty.Path());
  EXPECT_TRUE(static_cast<const TModelConfig&>(efi) == ProfileDefaults());
  EXPECT_EQ(Rows(efi.fFuelMainMatrix), 15u);
  EXPECT_EQ(Rows(efi.fSparkMaxMatrix), 2u);
  EXPECT_EQ(Cols(efi.fSparkMaxMatrix), 16u);
}

TEST(ModelConfig, UnreadableProfileGivesAllDefaults) {
  TEFIOperator efi(true);
  efi.LoadDefaultConfig();
  efi.LoadProfile("/nonexistent/folder/none.prf");
  EXPECT_TRUE(static_cast<const TModelConfig&>(efi) == ProfileDefaults());
}

TEST(ModelConfig, ProfileValuesInDecimalAndBothHexForms) {
  for (const char* value : {"0x7DF6", "0X7DF6", "$7DF6", "32246", " 32246 "}) {
    TEFIOperator efi(true);
    Profile p(QByteArray("[config]\r\nfVersionAddress=") + value + "\r\n");
    efi.LoadProfile(p.Path());
    EXPECT_EQ(efi.fVersionAddress, 32246) << value;
  }
}

TEST(ModelConfig, SectionAndKeyNamesIgnoreCaseOtherSectionsIgnored) {
  TEFIOperator efi(true);
  Profile p(
      "[other]\r\nfVersion=7\r\n[CONFIG]\r\nFVERSION=2\r\nfstartmafaddress=$6BFC\r\n"
      "fVersionAddress=banana\r\nfMAFLength=\r\n");
  efi.LoadProfile(p.Path());
  EXPECT_EQ(efi.fVersion, 2);
  EXPECT_EQ(efi.fStartMAFAddress, 0x6BFC);
  // Bad and empty values take the profile default.
  EXPECT_EQ(efi.fVersionAddress, 7948);
  EXPECT_EQ(efi.fMAFLength, 256);
  // Variant 2 sizes: the high part does not count, the full-load ignition has axes.
  EXPECT_EQ(efi.fFuelMainRows, 9);
  EXPECT_EQ(Rows(efi.fSparkMaxMatrix), 3u);
  EXPECT_EQ(Cols(efi.fSparkMaxMatrix), 17u);
}

TEST(ModelConfig, NarrowFieldsKeepTheirLowBitsAndSumsWrapInEightBits) {
  TEFIOperator efi(true);
  Profile p(
      "[config]\r\nfFuelMainMatrixDim1_Lo=300\r\nfpageSize=65537\r\nfFuelXXMatrixDim1=255\r\n"
      "fSparkMainMatrixDim1_Lo=250\r\nfSparkMainMatrixDim1_Hi=10\r\n");
  efi.LoadProfile(p.Path());
  EXPECT_EQ(efi.fFuelMainMatrixDim1_Lo, 44);
  EXPECT_EQ(efi.fpageSize, 1);
  EXPECT_EQ(efi.fFuelXXRows, 0);     // 255 + 1 in 8 bits
  EXPECT_EQ(efi.fSparkMainRows, 5);  // 250 + 10 + 1 = 261 -> 5
  EXPECT_EQ(efi.fFuelMainRows, 44 + 6 + 1);
}

TEST(ModelConfig, ResizingKeepsExistingCellsAndZeroesNewOnes) {
  TEFIOperator efi(true);
  efi.LoadDefaultConfig();
  efi.fFuelMainMatrix[2][3] = 1.25;
  efi.fSparkMaxMatrix[6][16] = 12.5;
  efi.fMAFTable[100] = 777;
  Profile p("[config]\r\nfVersion=2\r\nfFuelMainMatrixDim1_Lo=14\r\nfSparkMaxMatrixDim1=4\r\n");
  efi.LoadProfile(p.Path());
  EXPECT_EQ(Rows(efi.fFuelMainMatrix), 15u);
  EXPECT_EQ(efi.fFuelMainMatrix[2][3], 1.25);
  EXPECT_EQ(efi.fFuelMainMatrix[14][3], 0.0);
  EXPECT_EQ(Rows(efi.fSparkMaxMatrix), 5u);  // shrunk from 7: row 6 is gone
  EXPECT_EQ(efi.fMAFTable[100], 777);
  efi.LoadDefaultConfig();
  EXPECT_EQ(efi.fFuelMainMatrix[2][3], 1.25);
  EXPECT_EQ(efi.fSparkMaxMatrix[6][16], 0.0);
}
