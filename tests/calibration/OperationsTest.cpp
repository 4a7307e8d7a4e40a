// The operations on a block of cells, the clipboard and CSV, on fuel factors, ignition
// degrees and whole-number cells.
#include <gtest/gtest.h>

#include "CalTestUtil.h"
#include "calibration/CalibrationOps.h"
#include "common/DecimalText.h"

namespace {
class Operations : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadDemo(fOp);
    fDoc.Load(fOp);
  }
  const TCalTable& T(TTableId id) const { return fDoc.Table(id); }
  // Sets cells by value, as typing would.
  void Type(TTableId id, std::initializer_list<std::tuple<int, int, double>> cells) {
    TEditStep step{"typed", {}, {}};
    for (const auto& [c, r, v] : cells) step.cells.push_back({id, c, r, {}, v});
    fDoc.Apply(step);
  }
  // Applies an operation's step and checks that its undo gives back every value.
  void ApplyAndUndo(const TOpResult& result) {
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    const std::vector<TCalTable> before = fDoc.Tables();
    ASSERT_TRUE(fDoc.Apply(result.step));
    fDoc.Undo();
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(fDoc.Tables()[i].values, before[i].values);
    fDoc.Redo();
  }
  QString Shown(TTableId id, int col, int row, double value) const {
    const TCellRule rule = T(id).Rule(col, row);
    return rule.Show(rule.Quantise(value));
  }
  TEFIOperator fOp{true};
  TCalibration fDoc;
};

const TTableId kFuel = TTableId::FuelMain, kIgn = TTableId::IgnMain;
}  // namespace

TEST_F(Operations, SetAddScaleAndStepGiveStoredValuesAndCountLimitedCells) {
  // 1.0837 in a fuel cell shows what its code decodes to.
  TOpResult r = SetValue(T(kFuel), {2, 2, 4, 3}, 1.0837);
  EXPECT_EQ(r.limited, 0);
  EXPECT_EQ(r.step.title, "Задать значение");
  ApplyAndUndo(r);
  EXPECT_EQ(T(kFuel).Text(3, 3), FloatToStr(1.08));
  // Beyond the part-load limit: held at it, every such cell counted.
  r = SetValue(T(kFuel), {2, 2, 4, 3}, 2);
  EXPECT_EQ(r.limited, 6);
  ApplyAndUndo(r);
  EXPECT_EQ(T(kFuel).Text(4, 2), Shown(kFuel, 4, 2, 1.5));
  // A selection over the axes writes the value cells only.
  r = SetValue(T(kIgn), {0, 0, 1, 1}, 12);
  ASSERT_EQ(r.step.cells.size(), 1u);
  EXPECT_EQ(r.step.cells[0].col, 1);
  EXPECT_EQ(r.step.cells[0].row, 1);
  // Ignition: adding past the limit stops at it.
  Type(kIgn, {{1, 1, 50}, {2, 1, 10}});
  r = AddValue(T(kIgn), {1, 1, 2, 1}, 15);
  EXPECT_EQ(r.limited, 1);
  ApplyAndUndo(r);
  EXPECT_EQ(T(kIgn).Text(1, 1), Shown(kIgn, 1, 1, 60));
  EXPECT_EQ(T(kIgn).Text(2, 1), Shown(kIgn, 2, 1, 25));
  // Whole numbers: air mass scaled by percent, warm-up speeds stepped by 10 rpm.
  const TTableId maf = TTableId::MAF, warm = TTableId::WarmUp;
  Type(maf, {{1, 3, 1000}});
  r = ScalePercent(T(maf), {1, 3, 1, 3}, 105.55);
  ApplyAndUndo(r);
  EXPECT_EQ(T(maf).Text(1, 3), "1056");
  Type(warm, {{0, 1, 1500}});
  r = StepCodes(T(warm), {0, 0, 0, 1}, -2);
  EXPECT_EQ(r.step.title, "Шаг вниз");
  ApplyAndUndo(r);
  EXPECT_EQ(T(warm).Text(0, 1), "1480");
  // A fuel step moves to the next code that shows differently.
  Type(kFuel, {{5, 5, 1.0}});
  r = StepCodes(T(kFuel), {5, 5, 5, 5}, 1);
  ApplyAndUndo(r);
  EXPECT_NE(T(kFuel).Text(5, 5), FloatToStr(1.0));
  EXPECT_EQ(T(kFuel).Text(5, 5), Shown(kFuel, 5, 5, 1.0075));
}

TEST_F(Operations, InterpolationWeighsByUnevenAxes) {
  // RPM 800, 1000, 1800: the middle column is a fifth of the way, not half.
  Type(kFuel, {{1, 0, 800}, {2, 0, 1000}, {3, 0, 1800}, {1, 4, 0.8}, {3, 4, 1.2}});
  TOpResult r = InterpolateH(T(kFuel), {1, 4, 3, 4});
  ApplyAndUndo(r);
  EXPECT_EQ(T(kFuel).Text(2, 4), FloatToStr(0.88));
  // Loads 3, 2.5 and 1 ms from the top: the middle row a quarter of the way down.
  Type(kIgn, {{0, 2, 3}, {0, 3, 2.5}, {0, 4, 1}, {5, 2, 40}, {5, 4, 20}});
  r = InterpolateV(T(kIgn), {5, 2, 5, 4});
  ApplyAndUndo(r);
  EXPECT_EQ(T(kIgn).Text(5, 3), Shown(kIgn, 5, 3, 35));
  // Bilinear from the four corners, both axes uneven.
  Type(kIgn,
       {{1, 0, 800}, {2, 0, 1000}, {3, 0, 1800}, {1, 2, 10}, {3, 2, 20}, {1, 4, 30}, {3, 4, 40}});
  r = Interpolate2D(T(kIgn), {1, 2, 3, 4});
  // The corners are read, never written.
  for (const TCellEdit& e : r.step.cells)
    EXPECT_FALSE((e.col == 1 || e.col == 3) && (e.row == 2 || e.row == 4));
  ApplyAndUndo(r);
  EXPECT_EQ(T(kIgn).Text(2, 2), Shown(kIgn, 2, 2, 12));
  EXPECT_EQ(T(kIgn).Text(2, 3), Shown(kIgn, 2, 3, 17));
  EXPECT_EQ(T(kIgn).Text(3, 3), Shown(kIgn, 3, 3, 25));
  // No axis (the air-mass curve): by the row index, whole numbers.
  Type(TTableId::MAF, {{1, 0, 100}, {1, 3, 201}});
  r = InterpolateV(T(TTableId::MAF), {1, 0, 1, 3});
  ApplyAndUndo(r);
  EXPECT_EQ(T(TTableId::MAF).Text(1, 1), "134");
  EXPECT_EQ(T(TTableId::MAF).Text(1, 2), "167");
  // Warm-up speeds along the temperatures.
  Type(TTableId::WarmUp, {{0, 0, 0}, {1, 0, 10}, {2, 0, 40}, {0, 1, 1400}, {2, 1, 1000}});
  r = InterpolateH(T(TTableId::WarmUp), {0, 1, 2, 1});
  ApplyAndUndo(r);
  EXPECT_EQ(T(TTableId::WarmUp).Text(1, 1), "1300");
}

TEST_F(Operations, SmoothReadsAroundTheSelectionAndWritesOnlyInside) {
  Type(kFuel, {{4, 4, 1.32},
               {3, 3, 1},
               {4, 3, 1},
               {5, 3, 1},
               {3, 4, 1},
               {5, 4, 1},
               {3, 5, 1},
               {4, 5, 1},
               {5, 5, 1}});
  TOpResult r = Smooth(T(kFuel), {4, 4, 4, 4});
  ASSERT_EQ(r.step.cells.size(), 1u);
  ApplyAndUndo(r);
  EXPECT_EQ(T(kFuel).Text(4, 4), Shown(kFuel, 4, 4, (4 * 1.32 + 12) / 16));
  // In the corner by the axes only the value cells count: weights 4, 2, 2, 1.
  Type(kIgn, {{1, T(kIgn).rows - 1, 20},
              {2, T(kIgn).rows - 1, 10},
              {1, T(kIgn).rows - 2, 10},
              {2, T(kIgn).rows - 2, 10}});
  const int bottom = T(kIgn).rows - 1;
  r = Smooth(T(kIgn), {1, bottom, 1, bottom});
  ApplyAndUndo(r);
  EXPECT_EQ(T(kIgn).Text(1, bottom), Shown(kIgn, 1, bottom, (4 * 20 + 2 * 10 + 2 * 10 + 10) / 9.0));
}

TEST_F(Operations, PasteTakesEitherDecimalMarkAndRefusesWhatDoesNotFit) {
  for (const QString& text : {QString("1,1\t1,2\r\n1,3\t1,4\r\n"), QString("1.1;1.2\n1.3;1.4")}) {
    TOpResult r = Paste(T(kFuel), 2, 2, text, ',');
    ApplyAndUndo(r);
    EXPECT_EQ(T(kFuel).Text(3, 3), Shown(kFuel, 3, 3, 1.4)) << text.toStdString();
    fDoc.Undo();
  }
  // Copy and paste back is the same block.
  const QString copied = CopyText(T(kIgn), {2, 2, 5, 4}, ',');
  EXPECT_TRUE(copied.contains('\t'));
  EXPECT_TRUE(Paste(T(kIgn), 2, 2, copied, ',').step.Empty());
  struct Bad {
    QString text;
    int col, row;
    const char* names;
  };
  const Bad bad[] = {{"1.1\tx\n", 2, 2, "«x»"},
                     {"1.1\t1.2\n1.3\n", 2, 2, "строке 2"},
                     {"1\t1\t1\n", T(kFuel).cols - 2, 2, "выходит"},
                     {"\n", 2, 2, "нет"}};
  for (const Bad& b : bad) {
    const TOpResult r = Paste(T(kFuel), b.col, b.row, b.text, '.');
    EXPECT_TRUE(r.error.contains(QString::fromUtf8(b.names))) << r.error.toStdString();
    EXPECT_TRUE(r.step.Empty());
  }
}

TEST_F(Operations, CsvExportThenImportIsIdentityAndImportSetsAxesAsOneStep) {
  for (const TCalTable& t : fDoc.Tables())
    for (QChar decimal : {QChar('.'), QChar(',')}) {
      const QString csv = ExportCsv(t, decimal);
      EXPECT_EQ(csv.section('\n', 0, 0).contains(';'), decimal == ',');
      const TOpResult r = ImportCsv(t, csv, decimal);
      EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
      EXPECT_TRUE(r.step.Empty()) << TableFileName(t.id).toStdString();
    }
  // The split layout's tables read back, those it leaves empty included (a random image's
  // values beyond the editors' limits come back held).
  TEFIOperator split(true);
  LoadRandom(split, true, 3);
  TCalibration splitDoc;
  splitDoc.Load(split);
  for (const TCalTable& t : splitDoc.Tables()) {
    const TOpResult r = ImportCsv(t, ExportCsv(t, ','), ',');
    EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
  }
  // A new RPM breakpoint (to the nearest 40 rpm) and a value, one step.
  QStringList lines = ExportCsv(T(kFuel), '.').split('\n');
  QStringList header = lines[0].split(',');
  const double next = T(kFuel).Value(2, 0).value_or(0);
  const double prev = T(kFuel).Value(1, 0).value_or(0);
  header[1] = QString::number(prev - 25);
  lines[0] = header.join(',');
  QStringList row = lines[3].split(',');
  row[4] = "1.0837";
  lines[3] = row.join(',');
  TOpResult r = ImportCsv(T(kFuel), lines.join('\n'), '.');
  ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
  ApplyAndUndo(r);
  EXPECT_EQ(r.step.cells.size(), 2u);
  EXPECT_EQ(T(kFuel).Text(1, 0), FloatToStr(prev - 40));
  EXPECT_EQ(T(kFuel).Text(4, 3), FloatToStr(1.08));
  // An axis that falls, the wrong shape, no number: one error naming it, no step.
  header[1] = QString::number(next + 400);
  lines[0] = header.join(',');
  r = ImportCsv(T(kFuel), lines.join('\n'), '.');
  EXPECT_TRUE(r.error.contains("не возрастает")) << r.error.toStdString();
  EXPECT_TRUE(r.step.Empty());
  r = ImportCsv(T(kFuel), lines.mid(0, 3).join('\n'), '.');
  EXPECT_TRUE(r.error.contains("строк")) << r.error.toStdString();
  row[4] = "abc";
  lines[3] = row.join(',');
  header[1] = QString::number(prev);
  lines[0] = header.join(',');
  r = ImportCsv(T(kFuel), lines.join('\n'), '.');
  EXPECT_TRUE(r.error.contains("«abc» в строке 4, поле 5")) << r.error.toStdString();
  EXPECT_TRUE(r.step.Empty());
}
