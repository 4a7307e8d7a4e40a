// Comparison of two calibrations: equal ones, one changed cell, a moved axis breakpoint and
// tables whose shapes differ.
#include <gtest/gtest.h>

#include <QLocale>

#include "calibration/CalTestUtil.h"
#include "calibration/Compare.h"

namespace {
// A small map in grid orientation: RPM header in row 0, load header in column 0.
TCalTable Map(TTableId id = TTableId::FuelMain, int cols = 4, int rows = 3) {
  TCalTable t;
  t.id = id;
  t.cols = cols;
  t.rows = rows;
  t.fixedCols = 1;
  t.fixedRows = 1;
  t.Clear();
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      if (r == 0 && c == 0) continue;
      if (r == 0)
        t.SetValue(c, r, 600 + 400 * c);
      else if (c == 0)
        t.SetValue(c, r, r * 1.5);
      else
        t.SetValue(c, r, 1 + 0.01 * (r * cols + c));
    }
  return t;
}

// A cell set as a text in any notation would set it: the value it reads as.
void Put(TCalTable& t, int col, int row, const QString& text) {
  ASSERT_TRUE(t.SetText(col, row, text)) << text.toStdString();
}

std::vector<TCalTable> Both(const TCalTable& fuel, const TCalTable& ign) {
  return {fuel, ign};
}

// The grids write the user's decimal comma; a settings file or the CLI a full stop.
class CompareCalibrations : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
};
}  // namespace

TEST_F(CompareCalibrations, EqualCalibrationsHaveNoDifferenceAndValuesNotTextsCount) {
  TCalTable a = Map(), b = Map();
  // The same value written in other notations is no difference.
  Put(a, 1, 1, QStringLiteral("1,0"));
  Put(b, 1, 1, QStringLiteral("1"));
  Put(a, 2, 1, QStringLiteral("1.50"));
  Put(b, 2, 1, QStringLiteral("1,5"));
  const TCompareResult r =
      CompareTables(Both(a, Map(TTableId::IgnMain)), Both(b, Map(TTableId::IgnMain)));
  EXPECT_TRUE(r.Equal());
  EXPECT_EQ(r.DifferentCells(), 0);
  ASSERT_EQ(r.tables.size(), 2u);
  EXPECT_TRUE(r.tables[0].comparable);
  EXPECT_TRUE(SameCellValue(QStringLiteral("-0"), QStringLiteral("0")));
  EXPECT_FALSE(SameCellValue(QStringLiteral("abc"), QStringLiteral("1")));
}

TEST_F(CompareCalibrations, OneChangedCellIsFoundWithBothValuesAndItsPlace) {
  TCalTable cur = Map(), ref = Map();
  Put(cur, 2, 2, QStringLiteral("1,25"));
  Put(ref, 2, 2, QStringLiteral("1.2"));
  const TCompareResult r = CompareTables({cur}, {ref});
  EXPECT_FALSE(r.Equal());
  ASSERT_EQ(r.DifferentCells(), 1);
  const TTableDiff* t = r.Table(TTableId::FuelMain);
  ASSERT_NE(t, nullptr);
  const TCellDiff* d = t->Find(2, 2);
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->axis);
  EXPECT_EQ(d->currentText, QStringLiteral("1,25"));
  // The document keeps the value: its text shows in the user's notation, however written.
  EXPECT_EQ(d->referenceText, QStringLiteral("1,2"));
  EXPECT_DOUBLE_EQ(*d->current, 1.25);
  EXPECT_DOUBLE_EQ(*d->reference, 1.2);
  EXPECT_NEAR(*d->Difference(), 0.05, 1e-12);
  EXPECT_EQ(t->Find(1, 2), nullptr);
  EXPECT_EQ(t->Find(2, 1), nullptr);
}

TEST_F(CompareCalibrations, AMovedAxisBreakpointIsADifference) {
  TCalTable cur = Map(), ref = Map();
  Put(cur, 3, 0, QStringLiteral("1840"));  // RPM breakpoint
  Put(cur, 0, 2, QStringLiteral("3,1"));   // load breakpoint
  const TCompareResult r = CompareTables({cur}, {ref});
  ASSERT_EQ(r.DifferentCells(), 2);
  const TTableDiff& t = r.tables[0];
  // Row-major order: the RPM header first.
  EXPECT_EQ(t.cells[0].col, 3);
  EXPECT_EQ(t.cells[0].row, 0);
  EXPECT_TRUE(t.cells[0].axis);
  EXPECT_TRUE(t.cells[1].axis);
  EXPECT_NEAR(*t.cells[1].Difference(), 0.1, 1e-12);
  // A number against a cell that holds none is a difference without a value.
  cur.SetValue(1, 1, std::nullopt);
  const TCompareResult withText = CompareTables({cur}, {ref});
  const TCellDiff* d = withText.tables[0].Find(1, 1);
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->Difference());
}

TEST_F(CompareCalibrations, TablesOfOtherShapesAreListedAsNotComparable) {
  // A split-map layout against a single-map one: the fuel map has other rows, the ignition
  // map agrees and is compared; a table only one side has is not comparable either.
  TCalTable curFuel = Map(TTableId::FuelMain, 4, 3), refFuel = Map(TTableId::FuelMain, 4, 5);
  TCalTable curIgn = Map(TTableId::IgnMain), refIgn = Map(TTableId::IgnMain);
  Put(curIgn, 1, 1, QStringLiteral("12"));
  TCalTable maf = Map(TTableId::MAF, 2, 5);
  const TCompareResult r = CompareTables({curFuel, curIgn, maf}, {refFuel, refIgn});
  EXPECT_FALSE(r.Equal());
  EXPECT_EQ(r.NotComparable(), 2);
  EXPECT_FALSE(r.Table(TTableId::FuelMain)->comparable);
  EXPECT_TRUE(r.Table(TTableId::FuelMain)->cells.empty());
  EXPECT_EQ(r.Table(TTableId::FuelMain)->reason, QStringLiteral("4 x 3 / 4 x 5"));
  EXPECT_TRUE(r.Table(TTableId::IgnMain)->comparable);
  EXPECT_EQ(r.Table(TTableId::IgnMain)->cells.size(), 1u);
  EXPECT_FALSE(r.Table(TTableId::MAF)->comparable);
  EXPECT_EQ(r.Table(TTableId::WarmUp), nullptr);
}

TEST_F(CompareCalibrations, DecodedImagesDifferInTheEditedCellOnlyAndLayoutsTableByTable) {
  TEFIOperator a(true), b(true);
  LoadDemo(a);
  LoadDemo(b);
  TCalibration current, reference;
  current.Load(a);
  reference.Load(b);
  EXPECT_TRUE(Compare(current, reference).Equal());
  ASSERT_EQ(Compare(current, reference).tables.size(), static_cast<size_t>(kTableCount));

  // One value of the decoded part-load fuel map (table row 2, RPM column 3).
  a.fFuelMainMatrix[2][3] += 0.25;
  current.Load(a);
  const TCompareResult one = Compare(current, reference);
  ASSERT_EQ(one.DifferentCells(), 1);
  const TCellDiff& d = one.Table(TTableId::FuelMain)->cells.front();
  EXPECT_EQ(d.col, 3);
  EXPECT_NEAR(*d.Difference(), 0.25, 1e-9);
  ASSERT_TRUE(d.columnAxis.has_value());
  EXPECT_DOUBLE_EQ(*d.columnAxis, a.fFuelMainMatrix[0][3]);
  ASSERT_TRUE(d.rowAxis.has_value());
  EXPECT_DOUBLE_EQ(*d.rowAxis, a.fFuelMainMatrix[2][0]);

  // The split-map layout against the single-map one: the part-load maps are not comparable,
  // the rest is compared where the shapes agree.
  TEFIOperator split(true);
  LoadRandom(split, true, 7);
  TCalibration older;
  older.Load(split);
  const TCompareResult layouts = Compare(current, older);
  EXPECT_FALSE(layouts.Table(TTableId::FuelMain)->comparable);
  EXPECT_FALSE(layouts.Table(TTableId::IgnMain)->comparable);
  EXPECT_GT(layouts.NotComparable(), 1);
  EXPECT_LT(layouts.NotComparable(), kTableCount);
}
