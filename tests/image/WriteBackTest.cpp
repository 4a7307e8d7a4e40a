// Writing an edited calibration back into its image: unedited tables give the image byte for
// byte, an edit changes exactly the bytes of its cell (both gaps of an axis breakpoint), and
// a settings file's values land in the tables and nowhere else, the codes of
// unchanged values kept. Offsets are worked out here
// from the unit's storage order, not taken from the codec.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <random>
#include <set>

#include "support/ImageTestUtil.h"
#include "common/Errors.h"
#include "image/Checksum.h"
#include "image/DemoImage.h"
#include "image/ImageLayout.h"
#include "image/ImageWriteBack.h"

namespace {

enum class Variant { BuiltIn, Older };

void Configure(TEFIOperator& op, Variant variant) {
  if (variant == Variant::BuiltIn)
    op.LoadDefaultConfig();
  else
    UseProfileDefaults(op);
}

TEFIOperator Decoded(Variant variant, const std::vector<uint8_t>& image) {
  TEFIOperator op(true);
  Configure(op, variant);
  op.fImage = image;
  op.DecodeImage();
  return op;
}

std::vector<uint8_t> RandomImage(std::mt19937& rng, Variant variant) {
  TEFIOperator op(true);
  Configure(op, variant);
  std::vector<uint8_t> image(kImageSize);
  for (auto& b : image) b = static_cast<uint8_t>(rng());
  // The older units' rev limiter code cannot be 0.
  if (image[static_cast<size_t>(op.fMaxRPMAddress1)] == 0)
    image[static_cast<size_t>(op.fMaxRPMAddress1)] = 1;
  return image;
}

// Bytes 20 to 235 throughout: every code has room for the edits below without reaching an end
// of its byte, while fuel codes 2 modulo 4 and inexact warm-up temperatures still abound.
std::vector<uint8_t> TameImage(std::mt19937& rng) {
  std::vector<uint8_t> image(kImageSize);
  for (auto& b : image) b = static_cast<uint8_t>(20 + rng() % 216);
  return image;
}

std::set<int> ChangedOffsets(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::set<int> changed;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) changed.insert(static_cast<int>(i));
  return changed;
}

// The offsets of the codes of every table and single value the image holds (not the version
// characters, not the two bytes before each table).
std::set<int> TableOffsets(const TModelConfig& config) {
  std::set<int> offsets;
  for (const imagelayout::TPart& part : imagelayout::ImageParts(config)) {
    if (!part.inImage || part.item == imagelayout::TItem::Version) continue;
    const int64_t start = part.address + (part.leadBytes ? 2 : 0);
    for (int64_t k = 0; k < part.bytes; ++k) offsets.insert(static_cast<int>(start + k));
  }
  return offsets;
}

// Cells (and single values) in which two decoded operators differ.
int DifferingCells(const TEFIOperator& a, const TEFIOperator& b) {
  int n = 0;
  auto count = [&n](const auto& x, const auto& y) {
    for (size_t i = 0; i < x.size(); ++i)
      for (size_t j = 0; j < x[i].size(); ++j) n += x[i][j] != y[i][j];
  };
  count(a.fFuelMainMatrix, b.fFuelMainMatrix);
  count(a.fSparkMainMatrix, b.fSparkMainMatrix);
  count(a.fFuelXXMatrix, b.fFuelXXMatrix);
  count(a.fSparkXXMatrix, b.fSparkXXMatrix);
  count(a.fFuelMaxMatrix, b.fFuelMaxMatrix);
  count(a.fSparkMaxMatrix, b.fSparkMaxMatrix);
  count(a.fRPMTempCorrTable, b.fRPMTempCorrTable);
  for (size_t i = 0; i < a.fMAFTable.size(); ++i) n += a.fMAFTable[i] != b.fMAFTable[i];
  n += a.fMaxRPM != b.fMaxRPM;
  n += a.fCOReg != b.fCOReg;
  return n;
}

// Byte offsets of a map part in the image: RPM codes, then (after two bytes) load codes and
// the values column by column.
struct MapAt {
  int start;  // the table's address; its codes begin two bytes on
  int cols;   // RPM breakpoints
  int rows;   // load breakpoints of this part
  int Rpm(int col) const { return start + 2 + col - 1; }
  int Load(int row) const { return start + 2 + cols + 2 + row; }  // row from 0 in the part
  int Value(int row, int col) const { return start + 2 + cols + 2 + rows + (col - 1) * rows + row; }
};

struct Edit {
  const char* name;
  std::function<void(TEFIOperator&)> apply;
  std::function<std::set<int>(const TEFIOperator&)> bytes;  // the offsets it may change
};

std::vector<Edit> BuiltInEdits() {
  auto fuel = [](const TEFIOperator& op) {
    return MapAt{op.fStartMainFuelTableAddress_Lo, 16, 12};
  };
  return {
      {"part-load fuel value", [](TEFIOperator& op) { op.fFuelMainMatrix[3][5] += 0.05; },
       [=](const TEFIOperator& op) { return std::set<int>{fuel(op).Value(2, 5)}; }},
      {"RPM breakpoint", [](TEFIOperator& op) { op.fFuelMainMatrix[0][4] += 40; },
       [=](const TEFIOperator& op) {
         return std::set<int>{fuel(op).Rpm(3), fuel(op).Rpm(4)};
       }},
      {"load breakpoint", [](TEFIOperator& op) { op.fFuelMainMatrix[2][0] += 0.1; },
       [=](const TEFIOperator& op) {
         return std::set<int>{fuel(op).Load(0), fuel(op).Load(1)};
       }},
      {"top RPM breakpoint", [](TEFIOperator& op) { op.fSparkXXMatrix[0][7] -= 80; },
       [](const TEFIOperator& op) {
         return std::set<int>{op.fStartXXSparkTableAddress + 2 + 6,
                              op.fStartXXSparkTableAddress + 2 + 7};
       }},
      {"full-load ignition value", [](TEFIOperator& op) { op.fSparkMaxMatrix[6][16] -= 3; },
       [](const TEFIOperator& op) {
         return std::set<int>{MapAt{op.fStartMaxSparkTableAddress, 16, 6}.Value(5, 16)};
       }},
      {"idle fuel value", [](TEFIOperator& op) { op.fFuelXXMatrix[1][2] += 0.1; },
       [](const TEFIOperator& op) {
         return std::set<int>{MapAt{op.fStartXXFuelTableAddress, 6, 3}.Value(0, 2)};
       }},
      {"warm-up temperature", [](TEFIOperator& op) { op.fRPMTempCorrTable[0][1] += 7; },
       [](const TEFIOperator& op) {
         const int at = op.fRPMTempCorrTableaddress + 2;
         return std::set<int>{at, at + 1};
       }},
      {"last warm-up temperature", [](TEFIOperator& op) { op.fRPMTempCorrTable[0][3] -= 5; },
       [](const TEFIOperator& op) {
         const int at = op.fRPMTempCorrTableaddress + 2;
         return std::set<int>{at + 2, at + 3};
       }},
      {"warm-up idle speed", [](TEFIOperator& op) { op.fRPMTempCorrTable[1][2] += 50; },
       [](const TEFIOperator& op) { return std::set<int>{op.fRPMTempCorrTableaddress + 2 + 6}; }},
      {"air-mass value", [](TEFIOperator& op) { op.fMAFTable[10] += 300; },
       [](const TEFIOperator& op) {
         return std::set<int>{op.fStartMAFAddress + 20, op.fStartMAFAddress + 21};
       }},
      {"rev limit", [](TEFIOperator& op) { op.fMaxRPM -= 650; },
       [](const TEFIOperator& op) { return std::set<int>{op.fMaxRPMAddress1}; }},
      {"CO trim", [](TEFIOperator& op) { op.fCOReg += 9; },
       [](const TEFIOperator& op) { return std::set<int>{op.fCORegAddress}; }},
  };
}

// Applies `edit` to the calibration decoded from `image`, writes it back and checks that
// only the edit's bytes changed and that the written image decodes to the loaded
// calibration in every other cell.
void CheckEdit(Variant variant, const std::vector<uint8_t>& image, const Edit& edit) {
  SCOPED_TRACE(edit.name);
  const TEFIOperator loaded = Decoded(variant, image);
  TEFIOperator edited = loaded;
  edit.apply(edited);
  const std::vector<uint8_t> out = WriteBackTables(image, loaded, edited);
  const std::set<int> changed = ChangedOffsets(image, out);
  const std::set<int> allowed = edit.bytes(loaded);
  EXPECT_FALSE(changed.empty());
  for (const int offset : changed) EXPECT_TRUE(allowed.contains(offset)) << "offset " << offset;
  EXPECT_EQ(DifferingCells(loaded, Decoded(variant, out)), 1);
}

}  // namespace

TEST(WriteBack, UneditedCalibrationGivesTheImageByteForByte) {
  const std::vector<uint8_t> demo = MakeDemoImage();
  const TEFIOperator op = Decoded(Variant::BuiltIn, demo);
  EXPECT_EQ(WriteBackTables(demo, op, op), demo);
  EXPECT_EQ(WriteBackImage(demo, op, op, CheckChecksum(demo, op).kind), demo);

  std::mt19937 rng(4711);
  for (const Variant variant : {Variant::BuiltIn, Variant::Older}) {
    for (int n = 0; n < 60; ++n) {
      SCOPED_TRACE(n);
      const std::vector<uint8_t> image = RandomImage(rng, variant);
      const TEFIOperator decoded = Decoded(variant, image);
      // Also a copy, as the window keeps it, beside an operator that decoded again.
      const TEFIOperator again = Decoded(variant, image);
      ASSERT_EQ(WriteBackTables(image, decoded, again), image);
    }
  }
}

TEST(WriteBack, AnEditChangesExactlyTheBytesOfItsCell) {
  for (const Edit& edit : BuiltInEdits()) CheckEdit(Variant::BuiltIn, MakeDemoImage(), edit);
  // On random images the warm-up temperatures and fuel values come back inexactly from their
  // codes; neighbours of an edit must still keep their own bytes.
  std::mt19937 rng(99);
  for (int n = 0; n < 40; ++n)
    for (const Edit& edit : BuiltInEdits()) {
      const std::string name = edit.name;
      if (name == "rev limit" || name == "CO trim") continue;  // a random code may be at the end
      CheckEdit(Variant::BuiltIn, TameImage(rng), edit);
    }
}

TEST(WriteBack, SplitMapEditsReachTheirPartAndTheRpmAxisBothCopies) {
  std::mt19937 rng(7);
  TEFIOperator config(true);
  UseProfileDefaults(config);
  const int lowRows = config.fFuelMainMatrixDim1_Lo, highRows = config.fFuelMainMatrixDim1_Hi;
  const MapAt low{config.fStartMainFuelTableAddress_Lo, 16, lowRows};
  const MapAt high{config.fStartMainFuelTableAddress_Hi, 16, highRows};
  const std::vector<Edit> edits = {
      {"high part value",
       [=](TEFIOperator& op) { op.fFuelMainMatrix[static_cast<size_t>(lowRows) + 2][3] += 0.03; },
       [=](const TEFIOperator&) { return std::set<int>{high.Value(1, 3)}; }},
      {"high part load breakpoint",
       [=](TEFIOperator& op) { op.fFuelMainMatrix[static_cast<size_t>(lowRows) + 1][0] += 0.05; },
       [=](const TEFIOperator&) {
         return std::set<int>{high.Load(0), high.Load(1)};
       }},
      {"older rev limit", [](TEFIOperator& op) { op.fMaxRPM += 200; },
       [](const TEFIOperator& op) { return std::set<int>{op.fMaxRPMAddress1}; }},
  };
  for (int n = 0; n < 20; ++n) {
    const std::vector<uint8_t> image = TameImage(rng);
    for (const Edit& edit : edits) {
      const std::string name = edit.name;
      // A period code below 100 stands for a rev limit whose codes lie more than 200 rpm apart.
      if (name == "older rev limit" && image[static_cast<size_t>(config.fMaxRPMAddress1)] < 100)
        continue;
      CheckEdit(Variant::Older, image, edit);
    }
    // An RPM breakpoint is held once in the document and twice in the image: both copies get
    // the new gaps, the high part's other codes stay as they were.
    const TEFIOperator loaded = Decoded(Variant::Older, image);
    TEFIOperator edited = loaded;
    edited.fFuelMainMatrix[0][8] -= 40;
    const std::vector<uint8_t> out = WriteBackTables(image, loaded, edited);
    const std::set<int> changed = ChangedOffsets(image, out);
    EXPECT_TRUE(changed.contains(low.Rpm(7)) || changed.contains(low.Rpm(8)));
    for (const int offset : changed)
      EXPECT_TRUE(offset == low.Rpm(7) || offset == low.Rpm(8) || offset == high.Rpm(7) ||
                  offset == high.Rpm(8))
          << "offset " << offset;
    EXPECT_EQ(out[static_cast<size_t>(high.Rpm(8))], out[static_cast<size_t>(low.Rpm(8))]);
    EXPECT_EQ(out[static_cast<size_t>(high.Rpm(7))], out[static_cast<size_t>(low.Rpm(7))]);
  }
}

TEST(WriteBack, ChecksumIsRecomputedWithTheKindFoundAfterAnEdit) {
  TEFIOperator config(true);
  config.LoadDefaultConfig();
  const MapAt fuel{config.fStartMainFuelTableAddress_Lo, 16, 12};
  for (const TChecksumKind kind :
       {TChecksumKind::Sum16BE, TChecksumKind::Sum16LE, TChecksumKind::Sum16BEComplement,
        TChecksumKind::Sum16LEComplement, TChecksumKind::Sum8}) {
    SCOPED_TRACE(ChecksumKindName(kind).toStdString());
    std::vector<uint8_t> image = MakeDemoImage();
    StoreChecksum(image, config, kind);
    // The built-in area with no kind named, so that the kind is found on the image.
    TEFIOperator loaded = Decoded(Variant::BuiltIn, image);
    loaded.fCRCKind = TChecksumKind::None;
    const TChecksumStatus found = CheckChecksum(image, loaded);
    ASSERT_EQ(found.kind, kind);
    TEFIOperator edited = loaded;
    edited.fFuelMainMatrix[3][5] += 0.05;
    const std::vector<uint8_t> out = WriteBackImage(image, loaded, edited, found.kind);
    std::set<int> allowed{fuel.Value(2, 5)};
    for (int i = 0; i < ChecksumBytes(kind); ++i) allowed.insert(config.fCRCAddress + i);
    const std::set<int> changed = ChangedOffsets(image, out);
    EXPECT_TRUE(changed.contains(fuel.Value(2, 5)));
    for (const int offset : changed) EXPECT_TRUE(allowed.contains(offset)) << offset;
    EXPECT_EQ(CheckChecksum(out, loaded).kind, kind);
    EXPECT_TRUE(CheckChecksum(out, loaded).valid);
  }
}

TEST(WriteBack, RefusesTablesOfAnotherConfigurationOrAnImageTheyDoNotFit) {
  const std::vector<uint8_t> demo = MakeDemoImage();
  const TEFIOperator loaded = Decoded(Variant::BuiltIn, demo);
  TEFIOperator other = loaded;
  other.fStartMainFuelTableAddress_Lo += 1;
  EXPECT_THROW(WriteBackTables(demo, loaded, other), ERuntimeError);
  EXPECT_THROW(
      WriteBackTables(std::vector<uint8_t>(demo.begin(), demo.begin() + 10), loaded, loaded),
      ERuntimeError);
  TEFIOperator reshaped = loaded;
  reshaped.fFuelMainMatrix.pop_back();
  EXPECT_THROW(WriteBackTables(demo, loaded, reshaped), ERuntimeError);
}

TEST(WriteBack, ApplyingTheSettingsFileOfAnImageRewritesNoCode) {
  QTemporaryDir dir;
  const QString path = dir.filePath("same.dme");
  std::mt19937 rng(37);
  for (const Variant variant : {Variant::BuiltIn, Variant::Older}) {
    SCOPED_TRACE(variant == Variant::BuiltIn ? "built-in" : "older");
    for (int n = 0; n < 4; ++n) {
      // The settings file holds values to the tables' precision, which some codes (fuel
      // codes 2 modulo 4, warm-up temperatures) do not come back from: no byte may change.
      const std::vector<uint8_t> image =
          n == 0 && variant == Variant::BuiltIn ? MakeDemoImage() : RandomImage(rng, variant);
      TEFIOperator decoded = Decoded(variant, image);
      // The version characters go into the file as digits; the apply passes them over.
      decoded.fVersionText = "0123456789";
      decoded.SaveSettings(1, path);
      EXPECT_EQ(ChangedOffsets(ApplySettingsFile(image, decoded, path), image), std::set<int>{});
    }
  }
}

TEST(WriteBack, SettingsValuesLandInTheTablesAndNowhereElse) {
  QTemporaryDir dir;
  const QString path = dir.filePath("values.dme");
  std::mt19937 rng(31);
  for (const Variant variant : {Variant::BuiltIn, Variant::Older}) {
    SCOPED_TRACE(variant == Variant::BuiltIn ? "built-in" : "older");
    // A settings file from one image, applied to two others that differ in every byte: a
    // byte either keeps each background's value (untouched) or gets the same code in both.
    TEFIOperator source = Decoded(variant, RandomImage(rng, variant));
    source.fVersionText = "0123456789";
    source.SaveSettings(1, path);
    const std::vector<uint8_t> first = RandomImage(rng, variant);
    std::vector<uint8_t> second = first;
    for (auto& b : second) b ^= 0x5A;
    const std::vector<uint8_t> a = ApplySettingsFile(first, source, path);
    const std::vector<uint8_t> b = ApplySettingsFile(second, source, path);
    const std::set<int> table = TableOffsets(source);
    for (size_t i = 0; i < a.size(); ++i) {
      const bool untouched = a[i] == first[i] && b[i] == second[i];
      ASSERT_TRUE(untouched || table.count(static_cast<int>(i))) << "offset " << i;
    }

    // The written tables are the file's, as its loader reads them.
    TEFIOperator fromFile(true);
    Configure(fromFile, variant);
    uint8_t mismatch = 0;
    fromFile.LoadSettings(0, path, mismatch);
    fromFile.LoadSettings(1, path, mismatch);
    for (const std::vector<uint8_t>* written : {&a, &b}) {
      const TEFIOperator got = Decoded(variant, *written);
      EXPECT_EQ(got.fFuelMainMatrix, fromFile.fFuelMainMatrix);
      EXPECT_EQ(got.fSparkMainMatrix, fromFile.fSparkMainMatrix);
      EXPECT_EQ(got.fSparkMaxMatrix, fromFile.fSparkMaxMatrix);
      EXPECT_EQ(got.fFuelMaxMatrix, fromFile.fFuelMaxMatrix);
      EXPECT_EQ(got.fSparkXXMatrix, fromFile.fSparkXXMatrix);
      EXPECT_EQ(got.fRPMTempCorrTable, fromFile.fRPMTempCorrTable);
      EXPECT_EQ(got.fMaxRPM, fromFile.fMaxRPM);
      if (variant == Variant::BuiltIn) {
        EXPECT_EQ(got.fFuelXXMatrix, fromFile.fFuelXXMatrix);
        EXPECT_EQ(got.fMAFTable, fromFile.fMAFTable);
      }
    }
  }
  // A file too short for the layout is refused.
  WriteBytes(path, QByteArray(40, '\1'));
  TEFIOperator config(true);
  config.LoadDefaultConfig();
  EXPECT_THROW(ApplySettingsFile(MakeDemoImage(), config, path), EInOutError);
}
