// Configurations that would read outside the image or index outside a table are refused
// before anything is read or written.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "support/ImageTestUtil.h"
#include "common/Errors.h"

namespace {

struct Hostile {
  const char* name;
  bool olderUnits;  // start from the profile defaults (variant 1) instead of the built-in
  std::function<void(TEFIOperator&)> spoil;
  const char* reason;  // a fragment of the refusal
};

const char* const kOutside = "выходит за пределы образа прошивки";

std::vector<Hostile> HostileLayouts() {
  return {
      {"negative table address", false,
       [](TEFIOperator& op) { op.fStartMainSparkTableAddress_Lo = -1; }, kOutside},
      {"table running past the end", false,
       [](TEFIOperator& op) { op.fStartMainFuelTableAddress_Lo = kImageSize - 223; }, kOutside},
      {"huge address", false, [](TEFIOperator& op) { op.fStartXXSparkTableAddress = INT32_MAX; },
       kOutside},
      {"version bytes past the end", false,
       [](TEFIOperator& op) { op.fVersionAddress = kImageSize - 9; }, kOutside},
      {"rev limiter past the end", false, [](TEFIOperator& op) { op.fMaxRPMAddress1 = kImageSize; },
       kOutside},
      {"CO byte before the start", false, [](TEFIOperator& op) { op.fCORegAddress = -100; },
       kOutside},
      {"air-mass curve too long", false,
       [](TEFIOperator& op) {
         op.fMAFLength = 20000;
         op.ResizeTables();
       },
       kOutside},
      {"air-mass curve of negative length", false,
       [](TEFIOperator& op) {
         op.fMAFLength = -4;
         op.ResizeTables();
       },
       "fMAFTable"},
      {"air-mass curve longer than its table", false,
       [](TEFIOperator& op) { op.fMAFLength = 70000; }, "fMAFTable"},
      {"one warm-up row", false,
       [](TEFIOperator& op) {
         op.fRPMTempCorrDim1 = 1;
         op.ResizeTables();
       },
       "fRPMTempCorrTable"},
      {"no warm-up column", false,
       [](TEFIOperator& op) {
         op.fRPMTempCorrDim2 = 0;
         op.ResizeTables();
       },
       "fRPMTempCorrTable"},
      {"idle ignition curve of one row", false,
       [](TEFIOperator& op) {
         op.fSparkXXMatrixDim1 = 1;
         op.ResizeTables();
       },
       "fSparkXXMatrix"},
      {"full-load fuel curve without columns", false,
       [](TEFIOperator& op) {
         op.fFuelMaxMatrixDim2 = 0;
         op.ResizeTables();
       },
       "fFuelMaxMatrix"},
      {"full-load ignition map without load breakpoints", false,
       [](TEFIOperator& op) {
         op.fSparkMaxMatrixDim1 = 0;
         op.ResizeTables();
       },
       "fSparkMaxMatrix"},
      {"part-load map without load breakpoints", false,
       [](TEFIOperator& op) {
         op.fFuelMainMatrixDim1_Lo = 0;
         op.ComputeDerivedSizes();
         op.ResizeTables();
       },
       "fFuelMainMatrix"},
      {"part-load map whose rows wrap to zero", false,
       [](TEFIOperator& op) {
         op.fSparkMainMatrixDim1_Lo = 255;
         op.ComputeDerivedSizes();
         op.ResizeTables();
       },
       "fSparkMainMatrix"},
      {"part-load map without RPM breakpoints", false,
       [](TEFIOperator& op) {
         op.fSparkMainMatrixDim2_Lo = 0;
         op.ComputeDerivedSizes();
         op.ResizeTables();
       },
       "fSparkMainMatrix"},
      {"idle fuel rows wrapping to zero", false,
       [](TEFIOperator& op) {
         op.fFuelXXRows = 0;
         op.ResizeTables();
       },
       "fFuelXXMatrix"},
      {"split map whose row count wraps below its low part", true,
       [](TEFIOperator& op) {
         op.fFuelMainMatrixDim1_Lo = 200;
         op.fFuelMainMatrixDim1_Hi = 100;
         op.ComputeDerivedSizes();
         op.ResizeTables();
       },
       "fFuelMainMatrix"},
      {"high part past the end", true,
       [](TEFIOperator& op) { op.fStartMainSparkTableAddress_Hi = kImageSize - 10; }, kOutside},
      {"older full-load ignition curve of one row", true,
       [](TEFIOperator& op) {
         op.fSparkMaxMatrixDim1 = 1;
         op.ResizeTables();
       },
       "fSparkMaxMatrix"},
      {"checksum place past the end", false,
       [](TEFIOperator& op) {
         op.fCRCKind = TChecksumKind::Sum16BE;
         op.fCRCAddress = kImageSize - 1;
       },
       kOutside},
      {"checksum place before the start", false, [](TEFIOperator& op) { op.fCRCAddress = -1; },
       kOutside},
      {"checksum area past the end", false,
       [](TEFIOperator& op) { op.fEndDataAreaAddress = kImageSize; }, kOutside},
      {"older checksum area before the start", true,
       [](TEFIOperator& op) {
         op.fStartDataAreaAddress = -4;
         op.fEndDataAreaAddress = 100;
         op.fCRCAddress = 101;
       },
       kOutside},
      {"image cut to the version bytes", false, [](TEFIOperator& op) { op.fImage.resize(10); },
       kOutside},
      {"no image", false, [](TEFIOperator& op) { op.fImage.clear(); }, kOutside},
      {"no model chosen", false, [](TEFIOperator& op) { op = TEFIOperator(true); },
       "fFuelMainMatrix"},
  };
}

}  // namespace

TEST(Layout, BuiltInAndProfileDefaultsFitAWholeImage) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  EXPECT_EQ(op.CheckLayout(), "");
  UseProfileDefaults(op);
  EXPECT_EQ(op.CheckLayout(), "");
  // A table may end on the image's last byte.
  op.fStartMaxFuelTableAddress = kImageSize - 34;
  EXPECT_EQ(op.CheckLayout(), "");
}

TEST(Layout, HostileLayoutsAreRefusedBeforeAnyByteIsRead) {
  for (const Hostile& h : HostileLayouts()) {
    SCOPED_TRACE(h.name);
    TEFIOperator op(true);
    if (h.olderUnits)
      UseProfileDefaults(op);
    else
      UseBuiltIn(op);
    h.spoil(op);
    op.fVersionText = "untouched";
    op.fMaxRPM = 4321;
    const QString reason = op.CheckLayout();
    EXPECT_TRUE(reason.contains(QString::fromUtf8(h.reason))) << reason.toStdString();
    try {
      op.DecodeImage();
      ADD_FAILURE() << "decoded";
    } catch (const EZeroDivide&) {
      ADD_FAILURE() << "reached the rev limiter";
    } catch (const ERuntimeError& e) {
      EXPECT_EQ(QString::fromUtf8(e.what()), op.CheckLayout());
    }
    EXPECT_EQ(op.fVersionText, "untouched");
    EXPECT_EQ(op.fMaxRPM, 4321);
  }
}

TEST(Layout, ReasonNamesTheTableItsAddressAndTheImageSize) {
  TEFIOperator op(true);
  UseBuiltIn(op);
  op.fStartXXSparkTableAddress = 0x7FF0;
  EXPECT_EQ(op.CheckLayout(),
            "Таблица fSparkXXMatrix (адрес 0x7FF0, 18 байт) выходит за пределы образа прошивки "
            "(32768 байт)");
  op.fStartXXSparkTableAddress = 0x738F;
  op.fRPMTempCorrDim1 = 1;
  op.ResizeTables();
  EXPECT_EQ(op.CheckTables(),
            "Таблица прогрева fRPMTempCorrTable (1 x 4): нужно не менее двух строк и одного "
            "столбца");
  op.fRPMTempCorrDim1 = 2;
  op.ResizeTables();
  op.fFuelMaxMatrix[1].resize(3);
  EXPECT_EQ(op.CheckTables(), "Таблица fFuelMaxMatrix: строки разной длины");
  op.ResizeTables();
  op.fFuelMaxMatrix.resize(3, std::vector<double>(16));
  EXPECT_EQ(op.CheckTables(),
            "Таблица fFuelMaxMatrix: размер 3 x 16 не соответствует конфигурации (2 x 16)");
}

TEST(Layout, TablesTheVariantDoesNotReadMayLieAnywhere) {
  TEFIOperator op(true);
  UseProfileDefaults(op);
  // The older units have no air-mass curve, CO byte or idle fuel table in the image.
  op.fStartMAFAddress = -1;
  op.fCORegAddress = kImageSize;
  op.fStartXXFuelTableAddress = kImageSize;
  EXPECT_EQ(op.CheckLayout(), "");
  EXPECT_NO_THROW(op.DecodeImage());
}

TEST(Layout, SettingsFilesRefuseUnworkableTablesAndWriteNothing) {
  QTemporaryDir dir;
  const QString path = dir.filePath("out.dme");
  for (const Hostile& h : HostileLayouts()) {
    const std::string reason = h.reason;
    if (reason == kOutside) continue;  // the settings file needs no image
    SCOPED_TRACE(h.name);
    TEFIOperator op(true);
    if (h.olderUnits)
      UseProfileDefaults(op);
    else
      UseBuiltIn(op);
    op.fVersionText = "0123456789";
    op.fMaxRPM = 6500;
    h.spoil(op);
    EXPECT_THROW(op.SaveSettings(1, path), ERuntimeError);
    EXPECT_FALSE(QFileInfo::exists(path));
  }
  // Loading: a file written under the built-in configuration, read under hostile ones.
  TEFIOperator good(true);
  UseBuiltIn(good);
  good.DecodeImage();
  good.fVersionText = "0123456789";
  good.SaveSettings(1, path);
  for (const Hostile& h : HostileLayouts()) {
    const std::string reason = h.reason;
    if (reason == kOutside || h.olderUnits) continue;
    SCOPED_TRACE(h.name);
    TEFIOperator op(true);
    UseBuiltIn(op);
    h.spoil(op);
    uint8_t mismatch = 7;
    EXPECT_THROW(op.LoadSettings(1, path, mismatch), ERuntimeError);
    EXPECT_EQ(mismatch, 7);
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.dme"});
}
