// The layout check of a profile on an image: the demo image under the built-in layout is
// sound and its axes are the decoder's; moved, oversized and broken tables are marked with
// the reason on the table they concern; random images mark exactly the impossible axes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/DecimalText.h"
#include "image/Checksum.h"
#include "image/ChecksumScheme.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "profile/ProfileCheck.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

TEFIOperator BuiltIn() {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  return op;
}

TEFIOperator Sample() {
  TEFIOperator op(true);
  op.LoadProfile(qEnvironmentVariable("TARVELO_SOURCE_DIR") + "/data/sample.prf");
  return op;
}

std::vector<double> Row0(const TFloatMatrix& t, size_t from) {
  return {t[0].begin() + static_cast<long>(from), t[0].end()};
}
std::vector<double> Col0(const TFloatMatrix& t, size_t from, size_t to) {
  std::vector<double> v;
  for (size_t i = from; i <= to; ++i) v.push_back(t[i][0]);
  return v;
}

// The axes DecodeImage gives, in the order CheckProfile lists them (the decoder's order).
std::vector<std::vector<double>> DecodedAxes(TEFIOperator op) {
  op.DecodeImage();
  const bool split = op.fVersion == 1;
  std::vector<std::vector<double>> axes;
  if (!split) {
    axes.push_back(Row0(op.fFuelXXMatrix, 1));
    axes.push_back(Col0(op.fFuelXXMatrix, 1, op.fFuelXXMatrix.size() - 1));
  }
  axes.push_back(Row0(op.fSparkXXMatrix, 0));
  if (split) {
    axes.push_back(Row0(op.fSparkMaxMatrix, 0));
  } else {
    axes.push_back(Row0(op.fSparkMaxMatrix, 1));
    axes.push_back(Col0(op.fSparkMaxMatrix, 1, op.fSparkMaxMatrix.size() - 1));
  }
  auto mainMap = [&](const TFloatMatrix& t, size_t low) {
    axes.push_back(Row0(t, 1));
    axes.push_back(Col0(t, 1, low));
    if (split) axes.push_back(Col0(t, low + 1, t.size() - 1));
  };
  mainMap(op.fSparkMainMatrix, op.fSparkMainMatrixDim1_Lo);
  axes.push_back(Row0(op.fFuelMaxMatrix, 0));
  mainMap(op.fFuelMainMatrix, op.fFuelMainMatrixDim1_Lo);
  std::vector<double> temps;
  for (int32_t t : op.fRPMTempCorrTable[0]) temps.push_back(t);
  axes.push_back(temps);
  return axes;
}

std::vector<std::vector<double>> ReportedAxes(const TProfileReport& r) {
  std::vector<std::vector<double>> axes;
  for (const TProfileAxis& a : r.axes) axes.push_back(a.values);
  return axes;
}

std::vector<TProfileProblem::Kind> Kinds(const std::vector<const TProfileProblem*>& problems) {
  std::vector<TProfileProblem::Kind> kinds;
  for (const TProfileProblem* p : problems) kinds.push_back(p->kind);
  return kinds;
}

}  // namespace

TEST(ProfileCheck, TheDemoImageIsSoundAndItsAxesAreTheDecodersOnEveryLayout) {
  const TEFIOperator op = BuiltIn();
  const TProfileReport r = CheckProfile(op, op.fImage);
  EXPECT_TRUE(r.Ok()) << r.problems.front().reason.toStdString();
  EXPECT_TRUE(r.checksum.configured);
  EXPECT_TRUE(r.checksum.status.valid);
  EXPECT_EQ(r.checksum.bytes, ChecksumBytes(kDemoChecksumKind));
  EXPECT_EQ(ReportedAxes(r), DecodedAxes(op));
  ASSERT_FALSE(r.regions.empty());
  EXPECT_EQ(r.regions.front().name, "fVersionText");
  EXPECT_EQ(r.regions.front().address, 0x7DF6);

  // Random images of both layouts: whatever the bytes, the axes read are the decoder's, and
  // an axis is marked exactly when it does not rise.
  std::mt19937 rng(7);
  for (TEFIOperator layout : {BuiltIn(), Sample()}) {
    for (int round = 0; round < 20; ++round) {
      layout.fImage.resize(kImageSize);
      for (auto& b : layout.fImage) b = static_cast<uint8_t>(rng());
      // The older units' rev limiter code 0 cannot be decoded: the check says so.
      layout.fImage[static_cast<size_t>(layout.fMaxRPMAddress1)] = 1;
      const TProfileReport random = CheckProfile(layout, layout.fImage);
      ASSERT_EQ(ReportedAxes(random), DecodedAxes(layout));
      // Not rising, or an engine speed or load below zero.
      size_t falling = 0;
      for (const TProfileAxis& a : random.axes) {
        bool rises = true;
        for (size_t i = 1; i < a.values.size(); ++i) rises = rises && a.values[i] > a.values[i - 1];
        falling += !rises || (a.kind != TAxisKind::Temperature && a.values.front() < 0);
      }
      size_t marked = 0;
      for (const TProfileProblem& p : random.problems) {
        EXPECT_NE(p.kind, TProfileProblem::Kind::PastImage);
        EXPECT_NE(p.kind, TProfileProblem::Kind::Decode) << p.reason.toStdString();
        marked += p.kind == TProfileProblem::Kind::Axis;
      }
      EXPECT_EQ(marked, falling);
    }
  }
}

TEST(ProfileCheck, OverlapsAreMarkedOnBothTablesWithTheSharedBytes) {
  TEFIOperator op = BuiltIn();
  // The part-load fuel map (224 bytes) moved into the second half of the part-load ignition
  // map (0x7425, 224 bytes).
  op.fStartMainFuelTableAddress_Lo = 0x7425 + 100;
  const TProfileReport r = CheckProfile(op, op.fImage);
  auto overlaps = [&](TImageTable table) {
    std::vector<const TProfileProblem*> found;
    for (const TProfileProblem* p : r.ProblemsOf(table, false))
      if (p->kind == TProfileProblem::Kind::Overlap) found.push_back(p);
    return found;
  };
  const auto fuel = overlaps(TImageTable::FuelMain);
  const auto ign = overlaps(TImageTable::SparkMain);
  ASSERT_EQ(fuel.size(), 1u);
  ASSERT_EQ(ign.size(), 1u);
  EXPECT_EQ(fuel[0]->other, "fSparkMainMatrix");
  EXPECT_EQ(fuel[0]->otherTable, TImageTable::SparkMain);
  EXPECT_EQ(ign[0]->otherTable, TImageTable::FuelMain);
  EXPECT_EQ(fuel[0]->from, 0x7425 + 100);
  EXPECT_EQ(fuel[0]->to, 0x7425 + 224);
  EXPECT_EQ(fuel[0]->reason,
            "fFuelMainMatrix перекрывается с fSparkMainMatrix (байты 0x7489 - 0x7504)");
  // Its old neighbour, the full-load fuel curve, is untouched now.
  EXPECT_TRUE(r.ProblemsOf(TImageTable::FuelMax, false).empty());

  // A table over the checksum's place.
  op = BuiltIn();
  op.fRPMTempCorrTableaddress = op.fCRCAddress - 3;
  const TProfileReport over = CheckProfile(op, op.fImage);
  const auto warm = over.ProblemsOf(TImageTable::WarmUp, false);
  ASSERT_FALSE(warm.empty());
  EXPECT_EQ(warm[0]->other, "контрольная сумма fCRCAddress");
}

TEST(ProfileCheck, TablesPastTheImageAndAxesThatDoNotRiseAreMarked) {
  TEFIOperator op = BuiltIn();
  op.fStartMAFAddress = kImageSize - 100;  // 512 bytes
  op.fStartXXSparkTableAddress = -1;
  TProfileReport r = CheckProfile(op, op.fImage);
  ASSERT_EQ(Kinds(r.ProblemsOf(TImageTable::MAF, false)),
            std::vector{TProfileProblem::Kind::PastImage});
  EXPECT_EQ(r.ProblemsOf(TImageTable::MAF, false)[0]->reason,
            "fMAFTable (адрес 0x7F9C, 512 байт) выходит за пределы образа (32768 байт)");
  EXPECT_EQ(Kinds(r.ProblemsOf(TImageTable::SparkXX, false)),
            std::vector{TProfileProblem::Kind::PastImage});
  // Only the axes of the tables inside the image are read.
  for (const TProfileAxis& a : r.axes) EXPECT_NE(a.table, TImageTable::SparkXX);

  op = BuiltIn();
  // A gap code of 0 between the 3rd and 4th RPM breakpoints of the part-load fuel map.
  op.fImage[static_cast<size_t>(op.fStartMainFuelTableAddress_Lo + 2 + 2)] = 0;
  r = CheckProfile(op, op.fImage);
  const auto fuel = r.ProblemsOf(TImageTable::FuelMain, false);
  ASSERT_EQ(Kinds(fuel), std::vector{TProfileProblem::Kind::Axis});
  EXPECT_EQ(fuel[0]->axis, TAxisKind::Rpm);
  EXPECT_EQ(fuel[0]->point, 3);
  EXPECT_EQ(fuel[0]->reason,
            "fFuelMainMatrix: ось оборотов не возрастает (точка 4: 1200 после 1200)");
  // The bytes changed lie in the checksummed area: the checksum no longer matches.
  EXPECT_TRUE(std::any_of(r.problems.begin(), r.problems.end(), [](const TProfileProblem& p) {
    return p.kind == TProfileProblem::Kind::Checksum && !p.table;
  }));
}

TEST(ProfileCheck, AnAxisThatRisesFromBelowZeroIsMarked) {
  TEFIOperator op = BuiltIn();
  // The last load code of the part-load ignition map counts down from 256: 250 leaves 6 units
  // (0.3 ms) for the top breakpoint, less than the 180 units of gaps below it, so the axis
  // starts at -8.7 ms.
  const auto at = static_cast<size_t>(op.fStartMainSparkTableAddress_Lo + 2 + 16 + 2);
  op.fImage[at + 11] = 250;
  const TProfileReport r = CheckProfile(op, op.fImage);
  const auto ign = r.ProblemsOf(TImageTable::SparkMain, false);
  ASSERT_EQ(Kinds(ign), std::vector{TProfileProblem::Kind::Axis});
  EXPECT_EQ(ign[0]->axis, TAxisKind::Load);
  EXPECT_EQ(ign[0]->point, 0);
  EXPECT_EQ(ign[0]->reason,
            QStringLiteral("fSparkMainMatrix: ось нагрузки начинается ниже нуля (%1)")
                .arg(FloatToStr(-8.7)));
}

TEST(ProfileCheck, WithoutAnImageOnlyThePlacesAreChecked) {
  TEFIOperator op = BuiltIn();
  const TProfileReport sound = CheckProfile(op, {});
  EXPECT_TRUE(sound.Ok());
  EXPECT_TRUE(sound.axes.empty());
  EXPECT_EQ(sound.imageSize, kImageSize);
  op.fStartMainSparkTableAddress_Lo = op.fStartMainFuelTableAddress_Lo;
  EXPECT_EQ(CheckProfile(op, {}).problems.size(), 2u);
  // No checksum area configured (the sample profile): nothing to find, nothing wrong.
  const TEFIOperator sample = Sample();
  const TProfileReport r = CheckProfile(sample, MakeDemoImage());
  EXPECT_FALSE(r.checksum.configured);
  for (const TProfileProblem& p : r.problems) EXPECT_NE(p.kind, TProfileProblem::Kind::Checksum);
}

TEST(ProfileCheck, ACodeAreaOrMirrorSchemeIsCheckedAtItsOwnPlace) {
  TEFIOperator op = BuiltIn();
  op.fStartDataAreaAddress = op.fEndDataAreaAddress = op.fCRCAddress = 0;
  op.fCRCKind = TChecksumKind::Code16LE;
  TChecksumScheme code = *NamedScheme(op, kImageSize);
  StoreScheme(op.fImage, code);
  TProfileReport r = CheckProfile(op, op.fImage);
  EXPECT_TRUE(r.checksum.configured);
  EXPECT_TRUE(r.checksum.status.valid);
  EXPECT_EQ(r.checksum.address, 0x7F00);
  EXPECT_EQ(r.checksum.bytes, 2);
  ++op.fImage[0x100];
  r = CheckProfile(op, op.fImage);
  EXPECT_FALSE(r.checksum.status.valid);
  EXPECT_FALSE(r.Ok());

  // A 256-byte block of the fuel map copied after the tables.
  op.fCRCKind = TChecksumKind::Mirror;
  op.fStartDataAreaAddress = 0x7100;
  op.fEndDataAreaAddress = 0x71FF;
  op.fCRCAddress = 0x7B00;
  StoreScheme(op.fImage, *NamedScheme(op, kImageSize));
  r = CheckProfile(op, op.fImage);
  EXPECT_TRUE(r.checksum.status.valid);
  EXPECT_EQ(r.checksum.address, 0x7B00);
  EXPECT_EQ(r.checksum.bytes, 0x100);
}
