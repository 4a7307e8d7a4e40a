// The map editor pages driven as a user drives them: filled grids, typed values, the
// colour scale, the charts and the settings panel.
#include <QAbstractButton>
#include <QChart>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QScrollBar>
#include <QSet>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QValueAxis>
#include <cmath>
#include <functional>

#include "calibration/CalibrationSession.h"
#include "common/DecimalText.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/editors/ColorLegend.h"
#include "ui/editors/EditorRules.h"
#include "ui/editors/MapEditors.h"
#include "ui/editors/TableColors.h"
#include "ui/telemetry/LiveLoop.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/StringGrid.h"

namespace {
// Plausible tables for the built-in configuration, as a decoded image would give them.
void FillSampleTables(TEFIOperator& efi) {
  efi.fImage.assign(kImageSize, 0);
  efi.fVersionText = "2040021620";
  efi.fMaxRPM = 6500;
  efi.fCOReg = 140;
  for (TFloatMatrix* map : {&efi.fFuelMainMatrix, &efi.fSparkMainMatrix}) {
    TFloatMatrix& m = *map;
    for (size_t c = 1; c < m[0].size(); ++c) m[0][c] = 600 + 360.0 * (c - 1);
    for (size_t r = 1; r < m.size(); ++r) {
      m[r][0] = 1 + 0.75 * (r - 1);
      for (size_t c = 1; c < m[r].size(); ++c)
        m[r][c] = map == &efi.fFuelMainMatrix ? 1.0 + 0.01 * ((r + c) % 21) : 10.0 + r + c;
    }
  }
  for (size_t c = 0; c < 8; ++c) {
    efi.fSparkXXMatrix[0][c] = 600 + 80.0 * c;
    efi.fSparkXXMatrix[1][c] = 20;
  }
  for (size_t c = 0; c < 16; ++c) {
    efi.fFuelMaxMatrix[0][c] = 1000 + 360.0 * c;
    efi.fFuelMaxMatrix[1][c] = 1.1 + 0.01 * c;
  }
  for (size_t r = 0; r < efi.fSparkMaxMatrix.size(); ++r)
    for (size_t c = 0; c < efi.fSparkMaxMatrix[r].size(); ++c)
      efi.fSparkMaxMatrix[r][c] = r == 0 ? 1000 + 300.0 * c : (c == 0 ? r * 1.5 : 20 + r + 0.5 * c);
  for (size_t r = 0; r < efi.fFuelXXMatrix.size(); ++r)
    for (size_t c = 0; c < efi.fFuelXXMatrix[r].size(); ++c)
      efi.fFuelXXMatrix[r][c] = r == 0 ? 600 + 100.0 * c : (c == 0 ? 0.5 * r : 1.02);
  for (size_t n = 0; n < efi.fMAFTable.size(); ++n)
    efi.fMAFTable[n] = static_cast<uint16_t>(100 + 40 * n);
  efi.fRPMTempCorrTable = {{-20, 0, 40, 80}, {1400, 1200, 1000, 850}};
}

// Whether a control on a tab sheet is shown when its sheet is (whichever sheet is current).
bool Shown(QWidget* w) {
  for (; w && Find<QTabWidget>("PageControl1")->indexOf(w) < 0; w = w->parentWidget())
    if (w->isHidden()) return false;
  return true;
}

// Two tables equal to the 15 significant digits of the cell texts.
void ExpectSameTable(const TFloatMatrix& a, const TFloatMatrix& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t r = 0; r < a.size(); ++r) {
    ASSERT_EQ(a[r].size(), b[r].size());
    for (size_t c = 0; c < a[r].size(); ++c)
      EXPECT_EQ(FloatToStr(a[r][c], '.'), FloatToStr(b[r][c], '.')) << r << "," << c;
  }
}

class MapEditorsTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    QLocale::setDefault(QLocale(QLocale::Russian));
    Start(true);
    FillSampleTables(MainEfi());
    frmMain->FillGrids(true);
    maps = MapWidgets();
  }
  void TearDown() override {
    ProgramTest::TearDown();
    QLocale::setDefault(QLocale::c());
  }

  // Shows the page of a grid, gives the grid the focus and makes a cell current.
  void Select(TStringGrid* grid, int col, int row) {
    for (QWidget* w = grid; w; w = w->parentWidget())
      if (Find<QTabWidget>("PageControl1")->indexOf(w) >= 0)
        Find<QTabWidget>("PageControl1")->setCurrentWidget(w);
    QApplication::setActiveWindow(frmMain);
    grid->setFocus();
    Pump(10);
    grid->SelectCell(col, row);
    Pump(10);
  }
  // Types into the current cell as keys, the first key opening the cell editor.
  void Type(const QString& text) {
    for (QChar ch : text) {
      QWidget* target = QApplication::focusWidget();
      ASSERT_NE(target, nullptr);
      QTest::keyClick(target, ch.toLatin1() ? ch.toLatin1() : ' ');
    }
    Pump(5);
  }
  void MoveOn() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    Pump(10);
  }
  void LeaveGrid() {
    maps->seMaxRMP->setFocus();
    Pump(10);
  }

  TMapWidgets maps;
};
}  // namespace

TEST_F(MapEditorsTest, FillShowsEveryTableWithItsAxes) {
  const TEFIOperator& efi = MainEfi();
  TStringGrid* fuel = maps->sgFuelMain;
  EXPECT_EQ(fuel->RowCount(), 13);
  EXPECT_EQ(fuel->ColCount(), 17);
  EXPECT_EQ(fuel->Cell(0, 0), "");
  // Reversed: the top data row is table row 12, the bottom one table row 1.
  EXPECT_EQ(fuel->Cell(3, 1), FloatToStr(efi.fFuelMainMatrix[12][3]));
  EXPECT_EQ(fuel->Cell(3, 12), FloatToStr(efi.fFuelMainMatrix[1][3]));
  EXPECT_EQ(fuel->Cell(0, 12), "1");
  EXPECT_EQ(fuel->Cell(0, 11), "1,75");
  EXPECT_EQ(fuel->Cell(16, 0), "6000");
  EXPECT_EQ(maps->sgrdIgnMax->RowCount(), 7);
  EXPECT_EQ(maps->sgrdIgnMax->ColCount(), 17);
  EXPECT_EQ(maps->sgrdIgnMax->FixedCols(), 1);
  EXPECT_EQ(maps->sgrdIgnMax->Cell(0, 0), "");
  EXPECT_FALSE(Shown(maps->chrtMaxIgn));
  EXPECT_EQ(maps->sgMAF->Cell(0, 255), "255");
  EXPECT_EQ(maps->sgMAF->Cell(1, 1), "140");
  EXPECT_EQ(maps->sgrdRPMTempCorr->Cell(0, 0), "-20");
  EXPECT_EQ(maps->sgrdRPMTempCorr->Cell(3, 1), "850");
  EXPECT_EQ(maps->seMaxRMP->value(), 6500);
  EXPECT_EQ(maps->seMaxRMP->singleStep(), 60);
  EXPECT_EQ(Find<QLabel>("lVersion")->text(), "2040021620");
  EXPECT_TRUE(Shown(maps->gbMAF));
  EXPECT_TRUE(Shown(maps->gbFuelXX));
  EXPECT_TRUE(maps->rgO2Switch->isEnabled());
  EXPECT_EQ(maps->rgO2Switch->ItemIndex(), 1);
  EXPECT_TRUE(Shown(maps->gbCOreg));
  // The CO trim stands at 140 - 128 while its label keeps its text.
  EXPECT_EQ(maps->sbCOreg->value(), 12);
  EXPECT_EQ(maps->Label13->text(), "0");
  EXPECT_TRUE(MainSession().Loaded());
  for (TStringGrid* g : {maps->sgFuelMain, maps->sgIgnMain, maps->sgrdIgnXX, maps->sgrdFuelMax,
                         maps->sgrdIgnMax, maps->sgrdFuelXX, maps->sgrdRPMTempCorr, maps->sgMAF})
    EXPECT_TRUE(g->isEnabled()) << g->objectName().toStdString();
}

TEST_F(MapEditorsTest, FillThenCollectLeavesTheTablesAndFillingTwiceIsLikeOnce) {
  TEFIOperator& efi = MainEfi();
  const TEFIOperator before = efi;
  frmMain->CollectGrids(1);
  ExpectSameTable(efi.fFuelMainMatrix, before.fFuelMainMatrix);
  ExpectSameTable(efi.fSparkMainMatrix, before.fSparkMainMatrix);
  ExpectSameTable(efi.fFuelMaxMatrix, before.fFuelMaxMatrix);
  ExpectSameTable(efi.fSparkXXMatrix, before.fSparkXXMatrix);
  ExpectSameTable({efi.fFuelXXMatrix[1]}, {before.fFuelXXMatrix[1]});
  EXPECT_EQ(efi.fMAFTable, before.fMAFTable);
  EXPECT_EQ(efi.fRPMTempCorrTable, before.fRPMTempCorrTable);
  // The corner of the full-load ignition map is never shown, so only it may differ.
  for (size_t r = 0; r < efi.fSparkMaxMatrix.size(); ++r)
    for (size_t c = 0; c < efi.fSparkMaxMatrix[r].size(); ++c) {
      if (r == 0 && c == 0) continue;
      EXPECT_EQ(FloatToStr(efi.fSparkMaxMatrix[r][c], '.'),
                FloatToStr(before.fSparkMaxMatrix[r][c], '.'))
          << r << "," << c;
    }
  QStringList once;
  for (int r = 0; r < maps->sgIgnMain->RowCount(); ++r)
    for (int c = 0; c < maps->sgIgnMain->ColCount(); ++c) once << maps->sgIgnMain->Cell(c, r);
  frmMain->FillGrids(true);
  QStringList twice;
  for (int r = 0; r < maps->sgIgnMain->RowCount(); ++r)
    for (int c = 0; c < maps->sgIgnMain->ColCount(); ++c) twice << maps->sgIgnMain->Cell(c, r);
  EXPECT_EQ(once, twice);
  EXPECT_EQ(maps->sgFuelMain->RowCount(), 13);
}

TEST_F(MapEditorsTest, FuelValueAboveTheLimitBecomesTheLimitAndRecolours) {
  Select(maps->sgFuelMain, 4, 5);
  Type("2");
  EXPECT_EQ(maps->sgFuelMain->Cell(4, 5), "2");
  MoveOn();
  EXPECT_EQ(maps->sgFuelMain->Cell(4, 5), "1,5");
  // The range follows without widening while moving inside the grid.
  EXPECT_DOUBLE_EQ(maps->FuelRangeMax(), 1.5);
  Select(maps->sgFuelMain, 6, 6);
  Type("0,5");
  MoveOn();
  EXPECT_EQ(maps->sgFuelMain->Cell(6, 6), "0,7");
  LeaveGrid();
  EXPECT_NEAR(maps->FuelRangeMax(), 1.6, 1e-12);
  EXPECT_NEAR(maps->FuelRangeMin(), 0.6, 1e-12);
}

TEST_F(MapEditorsTest, FuelValueUnderEnglishSettings) {
  QLocale::setDefault(QLocale(QLocale::English));
  frmMain->FillGrids(true);
  Select(maps->sgFuelMain, 2, 2);
  Type("2");
  MoveOn();
  EXPECT_EQ(maps->sgFuelMain->Cell(2, 2), "1.5");
}

TEST_F(MapEditorsTest, TextThatIsNotANumberRestoresTheCellsValue) {
  const QString before = maps->sgFuelMain->Cell(3, 3);
  Select(maps->sgFuelMain, 3, 3);
  Type("abc");
  LeaveGrid();
  EXPECT_EQ(maps->sgFuelMain->Cell(3, 3), before);
}

TEST_F(MapEditorsTest, IgnitionLimitsAndARefusedEntryKeepsANegativeAdvance) {
  Select(maps->sgIgnMain, 2, 2);
  Type("75");
  MoveOn();
  EXPECT_EQ(maps->sgIgnMain->Cell(2, 2), "60");
  Select(maps->sgIgnMain, 3, 3);
  Type("-45");
  LeaveGrid();
  // The lower limit -30 lies below what the code can store: -25 is the lowest advance.
  EXPECT_EQ(maps->sgIgnMain->Cell(3, 3), "-25");
  // A refused entry gives back the advance the cell holds: -12,3 stays -12,3 (bringing it
  // "to one decimal" by adding a half and cutting toward zero would make it -12,2).
  Select(maps->sgIgnMain, 5, 5);
  Type("-12,3");
  MoveOn();
  ASSERT_EQ(maps->sgIgnMain->Cell(5, 5), "-12,3");
  const QString undo = maps->Doc().UndoTitle();
  Select(maps->sgIgnMain, 5, 5);
  Type("x");
  MoveOn();
  EXPECT_EQ(maps->sgIgnMain->Cell(5, 5), "-12,3");
  EXPECT_EQ(maps->Doc().Table(TTableId::IgnMain).Text(5, 5), "-12,3");
  EXPECT_EQ(maps->Doc().UndoTitle(), undo);
}

// "1.2" under Russian settings, "1,3" under English ones: the number typed, in the user's
// mark; a text with both marks is no number and the cell keeps its value.
TEST_F(MapEditorsTest, TypedNumbersTakeEitherDecimalMark) {
  Select(maps->sgFuelMain, 4, 5);
  Type("1.2");
  MoveOn();
  EXPECT_EQ(maps->sgFuelMain->Cell(4, 5), "1,2");
  EXPECT_EQ(maps->Doc().Table(TTableId::FuelMain).Text(4, 5), "1,2");
  const QString before = maps->sgFuelMain->Cell(6, 5);
  Select(maps->sgFuelMain, 6, 5);
  Type("1.0,5");
  MoveOn();
  EXPECT_EQ(maps->sgFuelMain->Cell(6, 5), before);
  // Clicking the cell again finds a number there, so no conversion error comes up.
  Select(maps->sgFuelMain, 4, 5);
  EXPECT_DOUBLE_EQ(maps->ValueBeforeEdit(), 1.2);

  QLocale::setDefault(QLocale(QLocale::English));
  frmMain->FillGrids(true);
  Select(maps->sgIgnMain, 3, 4);
  Type("12,5");
  MoveOn();
  EXPECT_EQ(maps->sgIgnMain->Cell(3, 4), "12.5");
}

// Escape ends an entry in progress and gives the cell its value back, though each keystroke
// already reached the cell; nothing is recorded.
TEST_F(MapEditorsTest, EscapeCancelsAnEntryAndGivesTheValueBack) {
  const QString before = maps->sgFuelMain->Cell(3, 3);
  Select(maps->sgFuelMain, 3, 3);
  Type("1,33");
  ASSERT_EQ(maps->sgFuelMain->Cell(3, 3), "1,33");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  Pump(10);
  EXPECT_EQ(maps->sgFuelMain->Cell(3, 3), before);
  LeaveGrid();
  EXPECT_EQ(maps->sgFuelMain->Cell(3, 3), before);
  EXPECT_FALSE(maps->Doc().CanUndo());
}

TEST_F(MapEditorsTest, MAFCellsHoldIntegers) {
  Select(maps->sgMAF, 1, 10);
  const QString before = maps->sgMAF->Cell(1, 10);
  Type("12a");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  Pump(10);
  // The editor may keep Down to itself; moving to the next row ends the edit either way.
  maps->sgMAF->SelectCell(1, 11);
  Pump(10);
  EXPECT_EQ(maps->sgMAF->Cell(1, 10), before);
  EXPECT_FALSE(maps->chrtMAF->Points().empty());
}

TEST_F(MapEditorsTest, FullLoadFuelAcceptsAnyNumberAndItsChartFollows) {
  Select(maps->sgrdFuelMax, 5, 1);
  Type("1,6");
  MoveOn();
  EXPECT_EQ(maps->sgrdFuelMax->Cell(5, 1), "1,6");
  EXPECT_DOUBLE_EQ(maps->chrtMaxFuel->YMax(), 1.6);
}

TEST_F(MapEditorsTest, IdleIgnitionChartIsFlatOneDegreeHigh) {
  EXPECT_DOUBLE_EQ(maps->chrtXXIgn->YMin(), 20);
  EXPECT_DOUBLE_EQ(maps->chrtXXIgn->YMax(), 21);
  EXPECT_DOUBLE_EQ(maps->chrtXXIgn->XMin(), 600);
  EXPECT_DOUBLE_EQ(maps->chrtXXIgn->XMax(), 1160);
  // The pen starts at the origin, then one point per column.
  ASSERT_EQ(maps->chrtXXIgn->Points().size(), 9u);
  EXPECT_EQ(maps->chrtXXIgn->Points()[0], QPointF(0, 0));
}

TEST_F(MapEditorsTest, MAFChartAfterFillRunsFromTheFirstToTheLastValue) {
  TEFIOperator& efi = MainEfi();
  for (size_t n = 0; n < efi.fMAFTable.size(); ++n)
    efi.fMAFTable[n] = static_cast<uint16_t>(20000 - 50 * n);
  frmMain->FillGrids(true);
  EXPECT_EQ(maps->chrtMAF->XMin(), 20000);
  EXPECT_EQ(maps->chrtMAF->XMax(), 20000 - 50 * 255 + 1);
  // The first edit draws it again with the true minimum and maximum.
  maps->DrawMAFFromGrid();
  EXPECT_EQ(maps->chrtMAF->XMin(), 20000 - 50 * 255);
  EXPECT_EQ(maps->chrtMAF->XMax(), 20000);
}

TEST_F(MapEditorsTest, LambdaPanel) {
  EXPECT_FALSE(Shown(maps->gbRegLam));
  EXPECT_TRUE(Shown(maps->gbWideLam));
  maps->rgO2Type->Click(0);
  EXPECT_TRUE(Shown(maps->gbRegLam));
  EXPECT_FALSE(Shown(maps->gbWideLam));
  EXPECT_FALSE(Shown(maps->gbLamGrf));
  maps->seLamMin->setValue(0.2);
  maps->seLamMax->setValue(1.2);
  EXPECT_DOUBLE_EQ(maps->chrtLambda->YMin(), 0.2);
  EXPECT_DOUBLE_EQ(maps->chrtLambda->YMax(), 1.2);
  ASSERT_EQ(maps->chrtLambda->Points().size(), 2u);
  EXPECT_EQ(maps->chrtLambda->Points()[0], QPointF(10, 1.2));
  EXPECT_EQ(maps->chrtLambda->Points()[1], QPointF(20, 0.2));
  maps->rgO2Switch->Click(0);
  EXPECT_FALSE(Shown(maps->gbCOreg));
  maps->rgO2Switch->Click(1);
  EXPECT_TRUE(Shown(maps->gbCOreg));
}

// A sensor voltage typed with a full stop under Russian settings (a keypad's decimal key)
// is the voltage typed, not its digits run together and held at the box's top.
TEST_F(MapEditorsTest, VoltageBoxesTakeEitherDecimalMark) {
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet3"));
  QApplication::setActiveWindow(frmMain);
  QDoubleSpinBox* box = maps->seLamMax;
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "0.85");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_DOUBLE_EQ(box->value(), 0.85);
  EXPECT_EQ(box->text(), "0,85");
  // Typed with the user's own mark the same: each keystroke's step does not rewrite the text.
  box->selectAll();
  QTest::keyClicks(box, "1,15");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_DOUBLE_EQ(box->value(), 1.15);
}

TEST_F(MapEditorsTest, COTrimScrollAndReset) {
  maps->sbCOreg->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(maps->Label13->text(), "13");
  maps->sbCOreg->triggerAction(QAbstractSlider::SliderSingleStepSub);
  maps->sbCOreg->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(maps->Label13->text(), "11");
  Find<QAbstractButton>("btnCOReset")->click();
  EXPECT_EQ(maps->sbCOreg->value(), 0);
  EXPECT_EQ(maps->Label13->text(), "0");
}

TEST_F(MapEditorsTest, RevLimitSnapsOnLeaving) {
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet3"));
  QApplication::setActiveWindow(frmMain);
  maps->seMaxRMP->setFocus();
  Pump(10);
  maps->seMaxRMP->setValue(6040);
  maps->sgFuelMain->setFocus();
  Pump(10);
  EXPECT_EQ(maps->seMaxRMP->value(), 6045);
  MainEfi().fMaxRPM = 20000;
  frmMain->FillGrids(true);
  EXPECT_EQ(maps->seMaxRMP->value(), 9000);
}

TEST_F(MapEditorsTest, LiveMarkAndHintToggle) {
  MainLive().Mark.LiveLoopActive = 1;
  MainLive().Mark.LiveCellCol = 5;
  MainLive().Mark.LiveCellRow = 3;
  QImage image(maps->sgFuelMain->viewport()->size(), QImage::Format_RGB32);
  maps->sgFuelMain->viewport()->render(&image);
  auto colourAt = [&](int c, int r) {
    const QRect rect = maps->sgFuelMain->visualItemRect(maps->sgFuelMain->item(r, c));
    return image.pixelColor(rect.right() - 2, rect.bottom() - 2);
  };
  const QColor green(0, 128, 0);
  EXPECT_EQ(colourAt(5, 0), green);
  EXPECT_EQ(colourAt(0, 3), green);
  EXPECT_EQ(colourAt(5, 3), green);
  EXPECT_NE(colourAt(6, 3), green);
  EXPECT_NE(colourAt(5, 4), green);
  QToolButton* toggle = Find<QToolButton>("sbColorizeTable");
  toggle->click();
  EXPECT_EQ(toggle->toolTip(), "Убрать цветную градацию");
  toggle->click();
  EXPECT_EQ(toggle->toolTip(), "Включить цветную градацию");
}

TEST_F(MapEditorsTest, VariantOneSplitMapsShareARowAndFullLoadIgnitionIsACurve) {
  TEFIOperator& efi = MainEfi();
  QTemporaryDir dir;
  efi.LoadProfile(dir.filePath("none.prf"));  // the profile defaults: variant 1, 8 + 6 rows
  ASSERT_EQ(efi.fVersion, 1);
  for (size_t r = 0; r < efi.fFuelMainMatrix.size(); ++r)
    for (size_t c = 0; c < efi.fFuelMainMatrix[r].size(); ++c)
      efi.fFuelMainMatrix[r][c] = r == 0 ? 500.0 * c : 1.0 + r / 100.0;
  for (size_t c = 0; c < efi.fSparkMaxMatrix[0].size(); ++c) {
    efi.fSparkMaxMatrix[0][c] = 800 + 400.0 * c;
    efi.fSparkMaxMatrix[1][c] = 10 + c;
  }
  frmMain->FillGrids(true);
  TStringGrid* fuel = maps->sgFuelMain;
  ASSERT_EQ(fuel->RowCount(), 14);
  // Grid rows 1..6 show table rows 14..9, rows 7..13 table rows 7..1; row 8 is not shown.
  EXPECT_EQ(fuel->Cell(1, 1), "1,14");
  EXPECT_EQ(fuel->Cell(1, 6), "1,09");
  EXPECT_EQ(fuel->Cell(1, 7), "1,07");
  EXPECT_EQ(fuel->Cell(1, 13), "1,01");
  fuel->SetCell(1, 6, "1,33");
  frmMain->CollectGrids(1);
  EXPECT_DOUBLE_EQ(efi.fFuelMainMatrix[9][1], 1.33);
  EXPECT_DOUBLE_EQ(efi.fFuelMainMatrix[8][1], 1.33);
  EXPECT_DOUBLE_EQ(efi.fFuelMainMatrix[7][1], 1.07);
  // The full-load ignition curve: 2 x 16, the RPM axis from column 0, its chart shown.
  TStringGrid* ign = maps->sgrdIgnMax;
  EXPECT_EQ(ign->RowCount(), 2);
  EXPECT_EQ(ign->ColCount(), 16);
  EXPECT_EQ(ign->FixedCols(), 0);
  EXPECT_EQ(ign->Cell(0, 0), "800");
  EXPECT_EQ(ign->Cell(0, 1), "10");
  EXPECT_TRUE(Shown(maps->chrtMaxIgn));
  EXPECT_FALSE(
      Find<QTabWidget>("PageControl1")
          ->isTabEnabled(Find<QTabWidget>("PageControl1")->indexOf(Find<QWidget>("TabSheet7"))));
  EXPECT_EQ(maps->seMaxRMP->singleStep(), 40);
  EXPECT_FALSE(maps->rgO2Switch->isEnabled());
  EXPECT_EQ(maps->rgO2Switch->ItemIndex(), 0);
  EXPECT_FALSE(Shown(maps->gbCOreg));
  // Column 0 holds data in this variant but is left unchecked; the chart then stops at it.
  ign->SetCell(0, 1, "abc");
  QString text;
  AnswerMessageBox(QMessageBox::Ok, &text);
  RunCommand([&] { maps->DrawMaxIgnFromGrid(); });
  EXPECT_EQ(text, "'abc' is not a valid floating point value");
  EXPECT_EQ(ign->Cell(0, 1), "abc");
}

namespace {
// Answers every message box that comes up while `action` runs, and counts them.
int BoxesDuring(const std::function<void()>& action) {
  int boxes = 0;
  QTimer timer;
  timer.setInterval(20);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ++boxes;
      box->done(QMessageBox::Ok);
    }
  });
  timer.start();
  action();
  Pump(300);
  timer.stop();
  return boxes;
}

// The labels a chart's value scale shows: the ticks inside its range, as formatted.
QStringList ValueLabels(TLineChart* chart, Qt::Orientation orientation) {
  const auto axes = chart->chart()->axes(orientation);
  auto* axis = axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.front());
  if (!axis) return {};
  QStringList labels;
  const double lo = axis->min(), hi = axis->max();
  if (axis->tickType() == QValueAxis::TicksDynamic) {
    const double step = axis->tickInterval(), anchor = axis->tickAnchor();
    for (double k = std::ceil((lo - anchor) / step - 1e-9); anchor + k * step <= hi + 1e-9; ++k)
      labels << QString::asprintf(axis->labelFormat().toLatin1().constData(), anchor + k * step);
  } else {
    for (int i = 0; i < axis->tickCount(); ++i)
      labels << QString::asprintf(axis->labelFormat().toLatin1().constData(),
                                  lo + (hi - lo) * i / std::max(axis->tickCount() - 1, 1));
  }
  return labels;
}

// Readable: at least three labels, no two alike.
void ExpectReadableScale(TLineChart* chart, Qt::Orientation orientation) {
  const QStringList labels = ValueLabels(chart, orientation);
  EXPECT_GE(labels.size(), 3) << chart->objectName().toStdString() << " "
                              << labels.join(' ').toStdString();
  EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size())
      << chart->objectName().toStdString() << " " << labels.join(' ').toStdString();
}
}  // namespace

TEST_F(MapEditorsTest, ValuesAreHeldWithinWhatTheirCodeCanStoreTypedOrCollected) {
  // Part-load ignition: -30 is within the limits but below the code's -25.
  Select(maps->sgIgnMain, 2, 2);
  Type("-30");
  MoveOn();
  EXPECT_EQ(maps->sgIgnMain->Cell(2, 2), "-25");
  // Grids without limits: the code's ends.
  const struct {
    TStringGrid* grid;
    int col, row;
    const char* typed;
    const char* shown;
  } cases[] = {
      {maps->sgrdIgnXX, 3, 1, "-30", "-25"},         {maps->sgrdIgnXX, 4, 1, "200", "166,2"},
      {maps->sgrdIgnMax, 3, 2, "-40", "-25"},        {maps->sgrdFuelMax, 5, 1, "2", "1,95"},
      {maps->sgrdFuelMax, 6, 1, "0,01", "0,04"},     {maps->sgrdFuelXX, 2, 2, "1200", "1,95"},
      {maps->sgFuelMain, 3, 3, "0,01", "0,7"},       {maps->sgMAF, 1, 10, "70000", "65535"},
      {maps->sgrdRPMTempCorr, 1, 1, "3000", "2550"},
  };
  for (const auto& c : cases) {
    Select(c.grid, c.col, c.row);
    Type(c.typed);
    LeaveGrid();
    EXPECT_EQ(c.grid->Cell(c.col, c.row), c.shown) << c.grid->objectName().toStdString();
  }
  // A value the check has not met yet is held when collected, and saving stores its end
  // code: the file loads back as the lowest advance, not as 161.7 degrees.
  maps->sgIgnMain->SetCell(5, 5, "-30");
  maps->sgrdIgnXX->SetCell(1, 1, "-30");
  TEFIOperator& efi = MainEfi();
  frmMain->CollectGrids(1);
  EXPECT_EQ(efi.fSparkXXMatrix[1][1], -25);
  const QString path = TempPath("held.dme");
  efi.SaveSettings(1, path);
  uint8_t mismatch = 0;
  efi.LoadSettings(1, path, mismatch);
  EXPECT_DOUBLE_EQ(efi.fSparkXXMatrix[1][1], -24.9);
  EXPECT_DOUBLE_EQ(efi.fSparkMainMatrix[13 - 5][5], -24.9);
  EXPECT_DOUBLE_EQ(efi.fSparkXXMatrix[1][3], -24.9);
}

TEST_F(MapEditorsTest, VariantOneHoldsIgnitionAtItsOlderScale) {
  TEFIOperator& efi = MainEfi();
  QTemporaryDir dir;
  efi.LoadProfile(dir.filePath("none.prf"));
  ASSERT_EQ(efi.fVersion, 1);
  frmMain->FillGrids(true);
  Select(maps->sgIgnMain, 2, 2);
  Type("-30");
  MoveOn();
  EXPECT_EQ(maps->sgIgnMain->Cell(2, 2), "-14");
  Select(maps->sgrdIgnMax, 4, 1);
  Type("170");
  LeaveGrid();
  EXPECT_EQ(maps->sgrdIgnMax->Cell(4, 1), "159,9");
  // Column 0 holds data in this variant; collecting holds it too.
  maps->sgrdIgnMax->SetCell(0, 1, "-30");
  frmMain->CollectGrids(1);
  EXPECT_EQ(efi.fSparkMaxMatrix[1][0], -14);
}

TEST_F(MapEditorsTest, TheCurrentCellIsMarkedOnEveryGrid) {
  for (TStringGrid* grid :
       {maps->sgFuelMain, maps->sgIgnMain, maps->sgrdIgnXX, maps->sgrdFuelXX, maps->sgrdRPMTempCorr,
        maps->sgrdIgnMax, maps->sgrdFuelMax, maps->sgMAF}) {
    SCOPED_TRACE(grid->objectName().toStdString());
    const int col = std::min(grid->FixedCols() + 1, grid->ColCount() - 1);
    const int row = grid->FixedRows();
    Select(grid, col, row);
    ASSERT_EQ(grid->Col(), col);
    const QImage image = grid->viewport()->grab().toImage();
    const QRect current = grid->visualItemRect(grid->item(row, col));
    // The mark: a dark frame on the cell's edges, away from its text.
    const QPoint edges[] = {{current.right() - 1, current.center().y()},
                            {current.center().x(), current.bottom() - 1},
                            {current.left() + 1, current.bottom() - 3}};
    for (const QPoint& p : edges) EXPECT_EQ(image.pixelColor(p), QColor(Qt::black)) << p.x();
    // A cell that is not current has no such frame.
    const int other = col + 1 < grid->ColCount() ? col + 1 : col - 1;
    const QRect plain = grid->visualItemRect(grid->item(row, other));
    EXPECT_NE(image.pixelColor(plain.right() - 1, plain.center().y()), QColor(Qt::black));
  }
}

TEST_F(MapEditorsTest, ColourLegendShowsTheEndsOfTheMapAndFollowsEdits) {
  TColorLegend* legend = maps->FuelLegend;
  // The sample fuel map runs from 1 to 1.2; after filling the range is 0.9 to 1.3.
  EXPECT_EQ(legend->LowText(), "1");
  EXPECT_EQ(legend->HighText(), "1,2");
  EXPECT_EQ(legend->LowColor(), TableColors()[3]);
  EXPECT_EQ(legend->HighColor(), TableColors()[9]);
  Select(maps->sgFuelMain, 4, 5);
  Type("1,4");
  LeaveGrid();
  // Now 0.9 to 1.5: both ends take other colours.
  EXPECT_EQ(legend->HighText(), "1,4");
  EXPECT_EQ(legend->HighColor(), TableColors()[FuelColorIndex(1.4, 0.9, 1.5)]);
  EXPECT_EQ(legend->LowColor(), TableColors()[FuelColorIndex(1.0, 0.9, 1.5)]);
  EXPECT_NE(legend->LowColor(), TableColors()[3]);
  // Ignition: large advance takes the red end.
  TColorLegend* spark = maps->SparkLegend;
  EXPECT_EQ(spark->LowText(), "12");
  EXPECT_EQ(spark->HighText(), "38");
  EXPECT_EQ(spark->HighColor(), TableColors()[0]);
  EXPECT_EQ(spark->LowColor(), TableColors()[12]);
  Select(maps->sgIgnMain, 3, 3);
  Type("50");
  LeaveGrid();
  EXPECT_EQ(spark->HighText(), "50");
  EXPECT_EQ(spark->HighColor(), TableColors()[0]);
  EXPECT_TRUE(Shown(legend));
}

// The colours follow the document's values: a text that no check has met (a keystroke's, a
// word) neither moves the key's ends nor stops the redraw with an error box.
TEST_F(MapEditorsTest, ColourRangeAfterAnUndoIgnoresTextsTheDocumentHasNotTaken) {
  TColorLegend* legend = maps->FuelLegend;
  Select(maps->sgFuelMain, 4, 5);
  Type("1,4");
  LeaveGrid();
  ASSERT_EQ(legend->HighText(), "1,4");
  maps->sgFuelMain->SetCell(6, 6, "9");
  maps->sgFuelMain->SetCell(7, 7, "abc");
  EXPECT_EQ(BoxesDuring([&] { maps->Doc().Undo(); }), 0);
  EXPECT_EQ(legend->HighText(), "1,2");
  EXPECT_EQ(legend->LowText(), "1");
  // Its page is in front: the range is not widened.
  EXPECT_DOUBLE_EQ(maps->FuelRangeMax(), 1.2);
}

TEST_F(MapEditorsTest, FullLoadIgnitionErrorOfVariantOneIsShownOncePerLeave) {
  TEFIOperator& efi = MainEfi();
  QTemporaryDir dir;
  efi.LoadProfile(dir.filePath("none.prf"));
  frmMain->FillGrids(true);
  TStringGrid* ign = maps->sgrdIgnMax;
  Select(ign, 3, 1);
  Type("abc");
  // Moving to column 0 leaves the cell unchecked, and the chart stops at it.
  const int boxes = BoxesDuring([&] {
    ign->SelectCell(0, 1);
    Pump(50);
  });
  EXPECT_EQ(boxes, 1);
  // The cell still holds the text: the next leave shows the box once again.
  EXPECT_EQ(ign->Cell(3, 1), "abc");
  QApplication::setActiveWindow(frmMain);
  ign->setFocus();
  Pump(10);
  EXPECT_EQ(BoxesDuring([&] { LeaveGrid(); }), 1);
}

TEST_F(MapEditorsTest, VariantOneAfterVariantTwoHidesTheIdleFuelTable) {
  ASSERT_TRUE(Shown(maps->gbFuelXX));
  TEFIOperator& efi = MainEfi();
  QTemporaryDir dir;
  efi.LoadProfile(dir.filePath("none.prf"));
  frmMain->FillGrids(true);
  EXPECT_FALSE(Shown(maps->gbFuelXX));
  EXPECT_FALSE(maps->sgrdFuelXX->isEnabled());
  efi.LoadDefaultConfig();
  FillSampleTables(efi);
  frmMain->FillGrids(true);
  EXPECT_TRUE(Shown(maps->gbFuelXX));
  EXPECT_TRUE(maps->sgrdFuelXX->isEnabled());
}

TEST_F(MapEditorsTest, EveryTableChartLabelsItsScales) {
  TEFIOperator& efi = MainEfi();
  for (size_t c = 0; c < 16; ++c) efi.fFuelMaxMatrix[1][c] = 1.05 + 0.2 * c / 15;
  frmMain->FillGrids(true);
  for (TLineChart* chart : {maps->chrtMaxFuel, maps->chrtXXIgn, maps->chrtMAF, maps->chrtLambda})
    for (Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) ExpectReadableScale(chart, o);
  // The same after an edit and in variant 1, where the full-load ignition curve shows.
  maps->DrawMaxFuelFromGrid();
  ExpectReadableScale(maps->chrtMaxFuel, Qt::Vertical);
  QTemporaryDir dir;
  efi.LoadProfile(dir.filePath("none.prf"));
  for (size_t c = 0; c < efi.fSparkMaxMatrix[0].size(); ++c) {
    efi.fSparkMaxMatrix[0][c] = 800 + 400.0 * c;
    efi.fSparkMaxMatrix[1][c] = 30 + 0.1 * c;
  }
  frmMain->FillGrids(true);
  for (Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) ExpectReadableScale(maps->chrtMaxIgn, o);
}

TEST_F(MapEditorsTest, EditorPagesShowTheirTextsWhole) {
  TEFIOperator& efi = MainEfi();
  efi.fFuelXXMatrix[0][6] = 1200;
  efi.fFuelXXMatrix[2][3] = 0.99;
  efi.fSparkMainMatrix[3][4] = -12.5;
  frmMain->FillGrids(true);
  // Every cell text fits its column, with the few pixels the cell's drawing leaves.
  for (TStringGrid* grid :
       {maps->sgFuelMain, maps->sgIgnMain, maps->sgrdIgnXX, maps->sgrdFuelXX, maps->sgrdRPMTempCorr,
        maps->sgrdIgnMax, maps->sgrdFuelMax, maps->sgMAF}) {
    const QFontMetrics metrics(grid->font());
    for (int r = 0; r < grid->RowCount(); ++r)
      for (int c = 0; c < grid->ColCount(); ++c)
        EXPECT_LE(metrics.horizontalAdvance(grid->Cell(c, r)) + 4, grid->columnWidth(c))
            << grid->objectName().toStdString() << " " << c << "," << r << " "
            << grid->Cell(c, r).toStdString();
  }
  // No caption runs under another control or past the edge of its group.
  for (QWidget* page :
       {Find<QWidget>("TabSheet1"), Find<QWidget>("TabSheet2"), Find<QWidget>("TabSheet4"),
        Find<QWidget>("TabSheet5"), Find<QWidget>("TabSheet3"), Find<QWidget>("TabSheet7")}) {
    for (QLabel* label : page->findChildren<QLabel*>()) {
      if (label->isHidden() || label->text().contains('\n')) continue;
      const QString what = label->text();
      EXPECT_LE(label->fontMetrics().horizontalAdvance(what), label->width()) << what.toStdString();
      EXPECT_LE(label->geometry().right(), label->parentWidget()->width()) << what.toStdString();
      for (QObject* child : label->parentWidget()->children()) {
        auto* other = qobject_cast<QWidget*>(child);
        if (!other || other == label || other->isHidden()) continue;
        EXPECT_FALSE(label->geometry().intersects(other->geometry()))
            << what.toStdString() << " / " << other->objectName().toStdString();
      }
    }
  }
}
