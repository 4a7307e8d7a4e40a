// The calibration document: the grid texts of a load, the collect back into the tables,
// the cell rules and the history.
#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>
#include <random>

#include "CalTestUtil.h"
#include "calibration/Calibration.h"
#include "common/DecimalText.h"

namespace {
QByteArray Saved(TEFIOperator& op, const QString& path) {
  op.SaveSettings(1, path);
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TCellEdit Edit(TTableId table, int col, int row, double after) {
  return {table, col, row, {}, after};
}
}  // namespace

TEST(CalibrationLoad, SingleMapLayoutAsTheGridsShowIt) {
  TEFIOperator op(true);
  LoadDemo(op);
  TCalibration doc;
  doc.Load(op);
  ASSERT_TRUE(doc.Loaded());
  ASSERT_EQ(doc.Tables().size(), size_t{kTableCount});
  const TCalTable& fuel = doc.Table(TTableId::FuelMain);
  EXPECT_EQ(fuel.rows, op.fFuelMainMatrixDim1_Lo + 1);
  EXPECT_EQ(fuel.cols, op.fFuelMainCols);
  EXPECT_TRUE(fuel.IsFixed(0, 3) && fuel.IsFixed(3, 0) && !fuel.IsFixed(1, 1));
  EXPECT_EQ(fuel.Text(0, 0), QString());
  // Rows reversed: the bottom grid row shows table row 1, the top data row the last.
  EXPECT_EQ(fuel.Text(2, fuel.rows - 1), FloatToStr(op.fFuelMainMatrix[1][2]));
  EXPECT_EQ(fuel.Text(2, 1), FloatToStr(op.fFuelMainMatrix[fuel.rows - 1][2]));
  EXPECT_EQ(fuel.Text(0, 1), FloatToStr(op.fFuelMainMatrix[fuel.rows - 1][0]));
  EXPECT_EQ(fuel.Text(5, 0), FloatToStr(op.fFuelMainMatrix[0][5]));
  const TCalTable& ignMax = doc.Table(TTableId::IgnMax);
  EXPECT_EQ(ignMax.fixedCols, 1);
  EXPECT_EQ(ignMax.Text(0, 0), QString());
  EXPECT_EQ(ignMax.Text(1, ignMax.rows - 1), FloatToStr(op.fSparkMaxMatrix[1][1]));
  const TCalTable& maf = doc.Table(TTableId::MAF);
  EXPECT_EQ(maf.rows, op.fMAFLength);
  EXPECT_EQ(maf.Text(0, 7), "7");
  EXPECT_EQ(maf.Text(1, 7), QString::number(op.fMAFTable[7]));
  EXPECT_EQ(maf.Rule(0, 7).GetKind(), TCellRule::Kind::Index);
  const TCalTable& warm = doc.Table(TTableId::WarmUp);
  EXPECT_EQ(warm.Text(2, 0), QString::number(op.fRPMTempCorrTable[0][2]));
  EXPECT_EQ(warm.Text(2, 1), QString::number(op.fRPMTempCorrTable[1][2]));
  EXPECT_TRUE(warm.Rule(2, 1).Integer());
  EXPECT_EQ(doc.Setting("MaxRPM"), op.fMaxRPM);
  EXPECT_EQ(doc.Setting("COTrim"), op.fCOReg - 128);
  EXPECT_FALSE(doc.IsModified());
}

TEST(CalibrationLoad, SplitLayoutAsTheGridsShowIt) {
  TEFIOperator op(true);
  LoadRandom(op, true, 7);
  ASSERT_EQ(op.fVersion, 1);
  TCalibration doc;
  doc.Load(op);
  const TCalTable& fuel = doc.Table(TTableId::FuelMain);
  const int lo = op.fFuelMainMatrixDim1_Lo;
  EXPECT_EQ(fuel.rows, lo + op.fFuelMainMatrixDim1_Hi);
  EXPECT_EQ(fuel.cols, op.fFuelMainMatrixDim2_Lo + 1);
  // The high part's first grid row shows the table row after the low part's last.
  EXPECT_EQ(fuel.Text(1, fuel.rows - lo), FloatToStr(op.fFuelMainMatrix[lo + 1][1]));
  EXPECT_EQ(fuel.Text(1, fuel.rows - 1), FloatToStr(op.fFuelMainMatrix[1][1]));
  // The full-load ignition is a curve: no fixed column, its header from column 0.
  const TCalTable& ignMax = doc.Table(TTableId::IgnMax);
  EXPECT_EQ(ignMax.fixedCols, 0);
  EXPECT_EQ(ignMax.Text(0, 0), FloatToStr(op.fSparkMaxMatrix[0][0]));
  EXPECT_EQ(ignMax.Rule(0, 1).GetKind(), TCellRule::Kind::Value);
  // No idle fuel table and no air-mass curve to fill.
  const TCalTable& fuelXX = doc.Table(TTableId::FuelXX);
  EXPECT_EQ(fuelXX.Text(1, 1), QString());
  EXPECT_EQ(doc.Table(TTableId::MAF).Text(1, 0), QString());
}

// A settings file saved from the collected document is the file saved from the decoded
// tables, in both variants and for random images (values beyond the editors' limits kept).
TEST(CalibrationCollect, SavesTheBytesOfTheDecodedTables) {
  QTemporaryDir dir;
  for (int n = 0; n < 12; ++n) {
    TEFIOperator original(true), collected(true);
    if (n == 0) {
      LoadDemo(original);
      LoadDemo(collected);
    } else {
      LoadRandom(original, n % 2 == 1, 100 + n);
      LoadRandom(collected, n % 2 == 1, 100 + n);
    }
    TCalibration doc;
    doc.Load(original);
    // Scramble what the collect must restore.
    for (auto& row : collected.fFuelMainMatrix) std::fill(row.begin(), row.end(), 1.0);
    for (auto& row : collected.fSparkMaxMatrix) std::fill(row.begin(), row.end(), 5.0);
    for (auto& v : collected.fMAFTable) v = 3;
    doc.CollectInto(collected);
    // Nothing was edited: every value keeps its code, within the editors' limits or not,
    // and the rev limit its value beyond its box's 9000.
    EXPECT_EQ(Saved(collected, dir.filePath("a.dme")), Saved(original, dir.filePath("b.dme")))
        << "image " << n;
  }
}

// The editors' limits of the part-load ignition map (-30 .. 60 degrees) are narrower than its
// codes. A loaded value beyond them was held to 60 by the collect, so an unedited image was
// written back with those cells changed; now it passes as loaded (the editors hold what the
// user types, before it reaches the collect).
TEST(CalibrationCollect, LoadedValuesBeyondTheEditorsLimitsPass) {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  op.DecodeImage();
  const TValueRange storable = StorableRange(TCodedTable::SparkMain, op.fVersion);
  ASSERT_GT(storable.high, 60);
  for (auto& row : op.fSparkMainMatrix)
    for (size_t c = 1; c < row.size(); ++c) row[c] = storable.high;
  TCalibration doc;
  doc.Load(op);
  double highest = -1e9;
  TEFIOperator collected = op;
  doc.CollectInto(collected);
  for (size_t r = 1; r < collected.fSparkMainMatrix.size(); ++r)
    for (size_t c = 1; c < collected.fSparkMainMatrix[r].size(); ++c)
      highest = std::max(highest, collected.fSparkMainMatrix[r][c]);
  EXPECT_GT(highest, 60);
  EXPECT_NEAR(highest, storable.high, 0.05);
}

// The rev limit's box holds 0 .. 9000 rpm; an image holding more kept the box's 9000 when
// written back unedited. The loaded limit passes while the box shows it as loaded.
TEST(CalibrationCollect, RevLimitBeyondItsBoxPassesUntilTheBoxChanges) {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = MakeDemoImage();
  op.DecodeImage();
  op.fMaxRPM = 9500;
  TCalibration doc;
  doc.Load(op);
  EXPECT_EQ(doc.Setting("MaxRPM"), 9000);
  TEFIOperator collected = op;
  doc.CollectInto(collected);
  EXPECT_EQ(collected.fMaxRPM, 9500);
  doc.CollectMaxRPM(9000, collected);
  EXPECT_EQ(collected.fMaxRPM, 9500);
  doc.CollectMaxRPM(8000, collected);
  EXPECT_EQ(collected.fMaxRPM, 8000);
}

TEST(CalibrationRules, QuantiseLimitAndStepByStoredCodes) {
  using K = TCellRule::Kind;
  using T = TCodedTable;
  const TCellRule fuel(K::Value, T::FuelMain, 2);
  // 1.0837 has no code: the nearest one's value is what shows after loading.
  const double q = fuel.Quantise(1.0837);
  EXPECT_EQ(q, ValueOfCode(T::FuelMain, 2, CodeOfValue(T::FuelMain, 2, 1.0837)));
  EXPECT_EQ(fuel.Show(q), FloatToStr(1.08));
  bool limited = false;
  EXPECT_LE(fuel.Quantise(2.0, &limited), 1.5);
  EXPECT_TRUE(limited);
  fuel.Quantise(1.2, &limited);
  EXPECT_FALSE(limited);
  // The part-load ignition's limit below what the code stores; the older scale's steps.
  const TCellRule spark(K::Value, T::SparkMain, 2), sparkOld(K::Value, T::SparkMain, 1);
  EXPECT_EQ(spark.Range().low, -25);
  // Code 0 stands for -25 degrees and shows as -24.9 (rounding toward zero).
  EXPECT_EQ(spark.Show(spark.Quantise(-40, &limited)), FloatToStr(-24.9));
  EXPECT_TRUE(limited);
  EXPECT_EQ(spark.Show(spark.Quantise(10.1)), FloatToStr(10.2));
  EXPECT_EQ(sparkOld.Quantise(10.1),
            ValueOfCode(T::SparkMain, 1, CodeOfValue(T::SparkMain, 1, 10.1)));
  EXPECT_EQ(spark.Range().high, 60);
  EXPECT_LE(spark.Quantise(60), 60);
  // A step passes over codes that show the same text; at the end it stops, limited.
  const double up = fuel.Step(1.0, 1);
  EXPECT_NE(fuel.Show(up), fuel.Show(1.0));
  EXPECT_EQ(fuel.Step(up, -1), 1.0);
  EXPECT_EQ(spark.Step(11, 2), 12.5);
  EXPECT_EQ(spark.Step(59.5, 5, &limited), spark.Quantise(60));
  EXPECT_TRUE(limited);
  // Whole cells: air mass as it is, warm-up speeds in 10 rpm, axes in their units.
  const TCellRule maf(K::Value, T::MAF, 2), warm(K::Value, T::WarmUpSpeed, 2);
  EXPECT_TRUE(maf.Integer() && warm.Integer());
  EXPECT_EQ(maf.Quantise(12.6), 13);
  EXPECT_EQ(maf.Quantise(70000, &limited), 65535);
  EXPECT_TRUE(limited);
  EXPECT_EQ(warm.Quantise(1234), 1230);
  EXPECT_EQ(warm.Step(1230, -3), 1200);
  EXPECT_EQ(warm.Quantise(5000), 2550);
  EXPECT_EQ(warm.Show(1230), "1230");
  EXPECT_EQ(TCellRule(K::RpmAxis, T::FuelMain, 2).Quantise(1010), 1000);
  EXPECT_EQ(TCellRule(K::LoadAxis, T::FuelMain, 2).Quantise(1.234), 1.25);
  const TCellRule temp(K::Temperature, T::WarmUpSpeed, 2);
  EXPECT_EQ(temp.Step(20, 1), 21);
}

TEST(CalibrationHistory, UndoRestoresExactTextsAndTracksTheSavedState) {
  TEFIOperator op(true);
  LoadDemo(op);
  TCalibration doc;
  doc.Load(op);
  QSignalSpy cells(&doc, &TCalibration::CellsChanged);
  const QString before = doc.Table(TTableId::FuelMain).Text(3, 4);
  const QString maf = doc.Table(TTableId::MAF).Text(1, 2);
  // Unchanged cells are dropped; a step that changes nothing is not recorded.
  const double loaded = *doc.Table(TTableId::FuelMain).Value(3, 4);
  EXPECT_FALSE(doc.Apply({"none", {Edit(TTableId::FuelMain, 3, 4, loaded)}, {}}));
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.IsModified());
  // One step over two tables and a setting, a cell named twice.
  TEditStep step{"set",
                 {Edit(TTableId::FuelMain, 3, 4, 1.11), Edit(TTableId::MAF, 1, 2, 77),
                  Edit(TTableId::FuelMain, 3, 4, 1.12)},
                 {{"MaxRPM", 0, 6500}}};
  ASSERT_TRUE(doc.Apply(step));
  EXPECT_EQ(cells.count(), 2);
  EXPECT_EQ(doc.Table(TTableId::FuelMain).Text(3, 4), "1.12");
  EXPECT_EQ(doc.Setting("MaxRPM"), 6500);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.UndoTitle(), "set");
  doc.Undo();
  EXPECT_EQ(doc.Table(TTableId::FuelMain).Text(3, 4), before);
  EXPECT_EQ(doc.Table(TTableId::MAF).Text(1, 2), maf);
  EXPECT_EQ(doc.Setting("MaxRPM"), op.fMaxRPM);
  EXPECT_FALSE(doc.IsModified());
  doc.Redo();
  EXPECT_EQ(doc.Table(TTableId::FuelMain).Text(3, 4), "1.12");
  doc.MarkSaved();
  EXPECT_FALSE(doc.IsModified());
  doc.Undo();
  EXPECT_TRUE(doc.IsModified());
  // A new edit after the undo drops the redo; the saved state can no longer be reached.
  ASSERT_TRUE(doc.Apply({"other", {Edit(TTableId::MAF, 1, 3, 5)}, {}}));
  EXPECT_FALSE(doc.CanRedo());
  doc.Undo();
  EXPECT_TRUE(doc.IsModified());
  // Loading starts a new history that counts as saved.
  doc.Load(op);
  EXPECT_FALSE(doc.CanUndo() || doc.CanRedo() || doc.IsModified());
  // The lambda panel's settings are undo steps, but no file holds them: they leave the
  // calibration unmodified, and a step after undoing one keeps the saved state reachable.
  ASSERT_TRUE(doc.Apply({"lambda", {}, {{"O2Type", 0, 1}, {"LamMax", 1, 1.3}}}));
  EXPECT_TRUE(doc.CanUndo());
  EXPECT_FALSE(doc.IsModified());
  doc.MarkSaved();
  doc.Undo();
  ASSERT_TRUE(doc.Apply({"lambda again", {}, {{"LamMin", 0, 0.2}}}));
  EXPECT_FALSE(doc.IsModified());
  ASSERT_TRUE(doc.Apply({"co", {}, {{"COTrim", 0, 5}}}));
  EXPECT_TRUE(doc.IsModified());
}

// Random images of both layouts, with the comma and the full stop as decimal marks: every
// number cell holds exactly the value its shown text reads as (what the grid shows is what
// the document keeps and a save stores), and edits of every table undone give back each
// value to the bit, and the loaded settings file byte for byte.
TEST(CalibrationValues, LoadedValuesAreTheirTextsAndUndoneEditsRestoreThemExactly) {
  QTemporaryDir dir;
  for (int n = 0; n < 6; ++n) {
    QLocale::setDefault(n % 3 == 0 ? QLocale::c() : QLocale(QLocale::Russian));
    TEFIOperator op(true);
    LoadRandom(op, n % 2 == 1, 300 + n);
    TCalibration doc;
    doc.Load(op);
    const std::vector<TCalTable> loaded = doc.Tables();
    std::mt19937 rng(n);
    TEditStep step{"random", {}, {}};
    for (const TCalTable& t : loaded) {
      const std::string name = TableFileName(t.id).toStdString() + " image " + std::to_string(n);
      for (int r = 0; r < t.rows; ++r)
        for (int c = 0; c < t.cols; ++c) {
          const std::optional<double> v = t.Value(c, r);
          if (!v) continue;
          TCalTable reread = t;
          ASSERT_TRUE(reread.SetText(c, r, t.Text(c, r))) << name;
          ASSERT_EQ(reread.Value(c, r), v) << name << " col " << c << " row " << r;
          // A data cell gets two edits: a value with more digits than a grid shows, then
          // another one step of its code away.
          if (t.IsFixed(c, r) || t.Rule(c, r).GetKind() != TCellRule::Kind::Value) continue;
          if (rng() % 4) continue;
          const TCellRule rule = t.Rule(c, r);
          step.cells.push_back({t.id, c, r, {}, *v + 1e-13 * (1 + rng() % 7)});
          step.cells.push_back({t.id, c, r, {}, rule.Step(*v, rng() % 2 ? 1 : -1)});
        }
    }
    ASSERT_TRUE(doc.Apply(step));
    const std::vector<TCalTable> edited = doc.Tables();
    doc.Undo();
    for (size_t i = 0; i < loaded.size(); ++i)
      EXPECT_EQ(doc.Tables()[i].values, loaded[i].values) << "image " << n << " table " << i;
    TEFIOperator collected = op;
    doc.CollectInto(collected);
    EXPECT_EQ(Saved(collected, dir.filePath("c.dme")), Saved(op, dir.filePath("o.dme")))
        << "image " << n;
    doc.Redo();
    for (size_t i = 0; i < edited.size(); ++i)
      EXPECT_EQ(doc.Tables()[i].values, edited[i].values) << "image " << n << " table " << i;
  }
  QLocale::setDefault(QLocale::c());
}

TEST(CalibrationHistory, TenThousandSingleCellEditsStayWellUnderTenMegabytes) {
  TEFIOperator op(true);
  LoadDemo(op);
  TCalibration doc;
  doc.Load(op);
  for (int n = 0; n < 10000; ++n)
    doc.Apply({"Ввод значения",
               {Edit(TTableId::FuelMain, 1 + n % 16, 1 + n / 16 % 12, 0.8 + (n % 50) / 100.0)},
               {}});
  EXPECT_LT(doc.HistoryBytes(), size_t{10} << 20);
  EXPECT_GT(doc.HistoryBytes(), size_t{10000} * sizeof(TEditStep));
}

// The row mapping of the part-load maps' grids, which the editors, the CSV and the
// collect share.
TEST(PartLoadRows, VariantTwoRowsAreSimplyReversed) {
  // 13 rows: grid row 1 shows table row 12, grid row 12 table row 1.
  EXPECT_EQ(PartLoadTableRows(2, 12, 13, 1), std::vector<int>{12});
  EXPECT_EQ(PartLoadTableRows(2, 12, 13, 12), std::vector<int>{1});
}

TEST(PartLoadRows, VariantOneSharesTheLastLowRowWithTheFirstHighRow) {
  // 8 low and 6 high rows: 14 grid rows; rows 1..6 show table rows 14..9, rows 7..13 show
  // table rows 7..1; grid row 6 also stands for table row 8.
  const int lo = 8, rows = 14;
  EXPECT_EQ(PartLoadTableRows(1, lo, rows, 1), std::vector<int>{14});
  EXPECT_EQ(PartLoadTableRows(1, lo, rows, 5), std::vector<int>{10});
  EXPECT_EQ(PartLoadTableRows(1, lo, rows, 6), (std::vector<int>{9, 8}));
  EXPECT_EQ(PartLoadTableRows(1, lo, rows, 7), std::vector<int>{7});
  EXPECT_EQ(PartLoadTableRows(1, lo, rows, 13), std::vector<int>{1});
}
