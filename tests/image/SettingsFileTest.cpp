// The settings file (".dme") and the image file (".bin").

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/ImageTestUtil.h"
#include "common/Errors.h"
#include "image/DemoImage.h"
#include "image/ImageFile.h"

namespace {

class SettingsFile : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return fDir.filePath(name); }
  // The demo image decoded under the built-in configuration.
  void DecodeDemo(TEFIOperator& op) {
    UseBuiltIn(op);
    op.fImage = MakeDemoImage();
    op.DecodeImage();
  }
  QStringList FilesInDir() const { return QDir(fDir.path()).entryList(QDir::Files); }

  QTemporaryDir fDir;
};

template <typename E>
std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST_F(SettingsFile, BuiltInLayoutHas1172BytesInTheDocumentedOrder) {
  TEFIOperator op(true);
  DecodeDemo(op);
  const std::vector<uint8_t> image = op.fImage;
  op.SaveSettings(1, Path("demo.dme"));
  const std::vector<uint8_t> file = FileBytes(Path("demo.dme"));
  ASSERT_EQ(file.size(), 1172u);
  EXPECT_EQ(op.SettingsFileSize(), 1172);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(file[i], i) << i;  // digits of "0123456789"
  EXPECT_EQ(file[10], 100);                                 // 6500 rpm
  // Full-load fuel curve row by row, straight from the image after its two skipped bytes.
  for (int i = 0; i < 32; ++i) EXPECT_EQ(file[11 + i], image[0x70DA + 2 + i]) << i;
  // Full-load ignition: 16 RPM codes, the separator, 6 load codes.
  for (int i = 0; i < 16; ++i) EXPECT_EQ(file[43 + i], image[0x73AB + 2 + i]) << i;
  EXPECT_EQ(file[59], 0xFF);
  EXPECT_EQ(file[60], 0xFF);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(file[61 + i], image[0x73AB + 20 + i]) << i;
  // Idle ignition after both part-load maps; warm-up table last.
  const std::vector<uint8_t> idle(file.begin() + 607, file.begin() + 623);
  EXPECT_EQ(idle,
            (std::vector<uint8_t>{2, 2, 2, 2, 2, 5, 10, 216, 60, 60, 60, 60, 60, 60, 60, 60}));
  const std::vector<uint8_t> warmUp(file.end() - 8, file.end());
  EXPECT_EQ(warmUp, (std::vector<uint8_t>{31, 60, 60, 86, 130, 110, 90, 80}));
  // The air-mass curve, low byte first, just before it.
  EXPECT_EQ(file[1172 - 8 - 512], 64);
  EXPECT_EQ(file[1172 - 8 - 1], 64073 >> 8);
  EXPECT_EQ(FilesInDir(), QStringList{"demo.dme"});
}

TEST_F(SettingsFile, ProfileDefaultsGive676Bytes) {
  TEFIOperator op(true);
  UseProfileDefaults(op, 100);
  op.DecodeImage();
  op.fVersionText = "0261200402";
  op.SaveSettings(1, Path("old.dme"));
  EXPECT_EQ(FileBytes(Path("old.dme")).size(), 676u);
  EXPECT_EQ(op.SettingsFileSize(), 676);
}

TEST_F(SettingsFile, CodesBeyondAByteAreHeldAtTheNearerEndNeverWrapped) {
  TEFIOperator op(true);
  DecodeDemo(op);
  op.fFuelMaxMatrix[1][0] = 2.0;      // code 261, whose low 8 bits (5) would mean 0.08
  op.fSparkXXMatrix[1][0] = -30;      // code -7, whose low 8 bits (249) would mean 161.7 degrees
  op.fRPMTempCorrTable[1][0] = 3000;  // code 300
  op.SaveSettings(1, Path("x.dme"));
  const std::vector<uint8_t> file = FileBytes(Path("x.dme"));
  EXPECT_EQ(file[11 + 16], 255);
  EXPECT_EQ(file[607 + 8], 0);
  EXPECT_EQ(file[1164 + 4], 255);
  uint8_t mismatch = 0;
  TEFIOperator back(true);
  UseBuiltIn(back);
  back.LoadSettings(1, Path("x.dme"), mismatch);
  EXPECT_DOUBLE_EQ(back.fSparkXXMatrix[1][0], -24.9);  // code 0, as an image shows it
  EXPECT_DOUBLE_EQ(back.fFuelMaxMatrix[1][0], 1.95);
}

TEST_F(SettingsFile, SavingLeavesTheTablesInCodes) {
  TEFIOperator op(true);
  DecodeDemo(op);
  op.SaveSettings(1, Path("x.dme"));
  EXPECT_EQ(op.fSparkXXMatrix[1][0], 60);
  EXPECT_EQ(op.fRPMTempCorrTable[1][0], 130);
  EXPECT_EQ(op.fMaxRPM, 6500);
}

TEST_F(SettingsFile, FailedSaveLeavesTheEarlierFileIntact) {
  TEFIOperator op(true);
  DecodeDemo(op);
  WriteBytes(Path("keep.dme"), "earlier");
  op.fVersionText = "01234A6789";
  EXPECT_EQ(ErrorOf<EConvertError>([&] { op.SaveSettings(1, Path("keep.dme")); }),
            "'A' is not a valid integer value");
  EXPECT_EQ(Bytes(FileBytes(Path("keep.dme"))), "earlier");

  TEFIOperator older(true);
  UseProfileDefaults(older, 100);
  older.DecodeImage();
  older.fVersionText = "0123456789";
  older.fMaxRPM = 0;
  EXPECT_EQ(ErrorOf<EZeroDivide>([&] { older.SaveSettings(1, Path("keep.dme")); }),
            "Floating point division by zero");
  EXPECT_EQ(Bytes(FileBytes(Path("keep.dme"))), "earlier");
  EXPECT_EQ(FilesInDir(), QStringList{"keep.dme"});  // no temporary file left behind
}

TEST_F(SettingsFile, SaveIntoAMissingFolderIsFileNotFound) {
  TEFIOperator op(true);
  DecodeDemo(op);
  try {
    op.SaveSettings(1, Path("no/such/folder.dme"));
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), EInOutError::kFileNotFound);
  }
}

TEST_F(SettingsFile, VersionCheckAdoptsComparesAndNeverMatchesTwoDigitBytes) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  WriteBytes(Path("a.dme"), QByteArray("\x00\x02\x06\x01\x02\x00\x00\x04\x00\x02tail", 14));
  uint8_t mismatch = 9;
  op.LoadSettings(0, Path("a.dme"), mismatch);
  EXPECT_EQ(mismatch, 0);
  EXPECT_EQ(op.fVersionText, "0261200402");
  op.LoadSettings(0, Path("a.dme"), mismatch);
  EXPECT_EQ(mismatch, 0);

  WriteBytes(Path("b.dme"), QByteArray("\x0c\x02\x06\x01\x02\x00\x00\x04\x00\x02", 10));
  op.LoadSettings(0, Path("b.dme"), mismatch);
  EXPECT_EQ(mismatch, 1);
  EXPECT_EQ(op.fVersionText, "0261200402");
  op.fVersionText.clear();
  op.LoadSettings(0, Path("b.dme"), mismatch);
  EXPECT_EQ(op.fVersionText, "12261200402");  // 11 characters
}

TEST_F(SettingsFile, ShortAndMissingFilesStopWithTheRuntimeMessages) {
  TEFIOperator op(true);
  DecodeDemo(op);
  op.SaveSettings(1, Path("full.dme"));
  const std::vector<uint8_t> full = FileBytes(Path("full.dme"));
  uint8_t mismatch = 0;
  WriteBytes(Path("nine.dme"), QByteArray(9, '\x01'));
  EXPECT_EQ(ErrorOf<EInOutError>([&] { op.LoadSettings(0, Path("nine.dme"), mismatch); }),
            "Read beyond end of file");
  EXPECT_EQ(ErrorOf<EInOutError>([&] { op.LoadSettings(0, Path("none.dme"), mismatch); }),
            "File not found");
  EXPECT_EQ(ErrorOf<EInOutError>([&] { op.LoadSettings(1, Path("none.dme"), mismatch); }),
            "File not found");
  // One byte short: everything up to the warm-up table is read, the image stays whole.
  TEFIOperator other(true);
  UseBuiltIn(other, 0x11);
  WriteBytes(Path("short.dme"), Bytes(full).chopped(1));
  mismatch = 1;
  EXPECT_EQ(ErrorOf<EInOutError>([&] { other.LoadSettings(1, Path("short.dme"), mismatch); }),
            "Read beyond end of file");
  EXPECT_EQ(mismatch, 1);
  EXPECT_EQ(other.fImage.size(), size_t{kImageSize});
  EXPECT_EQ(other.fSparkXXMatrix[1][0], 20);
  EXPECT_EQ(other.fMaxRPM, 6500);
}

TEST_F(SettingsFile, FullLoadReadsEveryTableAndCutsTheImageToTenBytes) {
  TEFIOperator op(true);
  DecodeDemo(op);
  const TEFIOperator decoded = op;
  op.SaveSettings(1, Path("a.dme"));

  TEFIOperator loaded(true);
  UseBuiltIn(loaded, 0x42);
  loaded.fCOReg = 77;
  loaded.fVersionText = "keep";
  uint8_t mismatch = 1;
  loaded.LoadSettings(1, Path("a.dme"), mismatch);
  EXPECT_EQ(mismatch, 0);
  EXPECT_EQ(loaded.fImage, std::vector<uint8_t>(10, 0x42));
  EXPECT_EQ(loaded.fVersionText, "keep");
  EXPECT_EQ(loaded.fCOReg, 77);
  EXPECT_EQ(loaded.fMaxRPM, 6500);
  EXPECT_EQ(loaded.fSparkMainMatrix, decoded.fSparkMainMatrix);
  EXPECT_EQ(loaded.fSparkMaxMatrix, decoded.fSparkMaxMatrix);
  EXPECT_EQ(loaded.fSparkXXMatrix, decoded.fSparkXXMatrix);
  EXPECT_EQ(loaded.fMAFTable, decoded.fMAFTable);
  EXPECT_EQ(loaded.fRPMTempCorrTable, decoded.fRPMTempCorrTable);
  EXPECT_EQ(loaded.fFuelMainMatrix[0], decoded.fFuelMainMatrix[0]);

  // Saving what was loaded gives the same bytes again.
  loaded.fVersionText = "0123456789";
  loaded.SaveSettings(1, Path("b.dme"));
  EXPECT_EQ(FileBytes(Path("b.dme")), FileBytes(Path("a.dme")));

  // An empty image after start-up becomes ten zero bytes.
  TEFIOperator fresh(true);
  fresh.LoadDefaultConfig();
  fresh.LoadSettings(0, Path("a.dme"), mismatch);
  fresh.LoadSettings(1, Path("a.dme"), mismatch);
  EXPECT_EQ(fresh.fImage, std::vector<uint8_t>(10, 0));
  EXPECT_EQ(fresh.fVersionText, "0123456789");
}

TEST_F(SettingsFile, OlderUnitsRepeatTheRpmAxisForTheHighPartAndKeepTheIdleFuelTable) {
  TEFIOperator op(true);
  UseProfileDefaults(op, 100);
  op.DecodeImage();
  op.fVersionText = "0000000001";
  op.fFuelXXMatrix[1][1] = 129;  // not converted in this variant: written as it is
  const auto sparkRpm = op.fSparkMainMatrix[0];
  op.SaveSettings(1, Path("old.dme"));
  const std::vector<uint8_t> file = FileBytes(Path("old.dme"));
  // Rows: 10 + 1 + 32 + 32, then the low part (16 + 2 + 8 + 128), then the high part.
  const size_t low = 75, high = low + 154;
  for (size_t j = 0; j < 16; ++j) EXPECT_EQ(file[high + j], file[low + j]) << j;
  EXPECT_EQ(file[high + 16], 0xFF);
  const size_t idleFuel = 10 + 1 + 32 + 32 + 274 + 274 + 16;
  EXPECT_EQ(file[idleFuel + 6 + 2 + 3], 129);

  TEFIOperator loaded(true);
  UseProfileDefaults(loaded, 0);
  uint8_t mismatch = 1;
  loaded.LoadSettings(1, Path("old.dme"), mismatch);
  EXPECT_EQ(loaded.fSparkMainMatrix[0], sparkRpm);
  EXPECT_EQ(loaded.fFuelXXMatrix[1][1], 129);
  EXPECT_EQ(loaded.fMaxRPM, 10 * 922);  // code 100
}

TEST(ImageFile, LoadsTheFirst32768BytesAndRefusesShortFiles) {
  QTemporaryDir dir;
  QByteArray big(40000, '\0');
  for (int i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  WriteBytes(dir.filePath("big.bin"), big);
  std::vector<uint8_t> image(10, 0xAA);
  LoadImageFile(dir.filePath("big.bin"), image);
  EXPECT_EQ(Bytes(image), big.left(kImageSize));

  WriteBytes(dir.filePath("short.bin"), QByteArray(100, '\x33'));
  image.assign(5, 0xAA);
  try {
    LoadImageFile(dir.filePath("short.bin"), image);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), EInOutError::kReadBeyondEnd);
    EXPECT_STREQ(e.what(), "Read beyond end of file");
  }
  ASSERT_EQ(image.size(), size_t{kImageSize});
  EXPECT_EQ(image[99], 0x33);
  EXPECT_EQ(image[100], 0);

  EXPECT_THROW(LoadImageFile(dir.filePath("missing.bin"), image), EInOutError);
  try {
    LoadImageFile(dir.path(), image);  // a folder
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_NE(e.ErrorCode(), EInOutError::kReadBeyondEnd);
  }
}

TEST(ImageFile, SavesEveryByteAndReplacesAnEarlierFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("out.bin");
  WriteBytes(path, QByteArray(50000, 'x'));
  const std::vector<uint8_t> image = MakeDemoImage();
  SaveImageFile(path, image);
  EXPECT_EQ(FileBytes(path), image);
  SaveImageFile(path, std::vector<uint8_t>(10, 1));
  EXPECT_EQ(FileBytes(path), std::vector<uint8_t>(10, 1));
  EXPECT_THROW(SaveImageFile(dir.filePath("no/such/out.bin"), image), EInOutError);
}
