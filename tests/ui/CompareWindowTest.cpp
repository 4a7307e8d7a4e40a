// Comparing with a reference calibration as a user does it: the reference opened by the
// file dialog, the marks on the grids over the colour scale, the list of differences with
// its double click, the marks following edits; and the 3D view of the part-load maps.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>

#include "calibration/Calibration.h"
#include "calibration/CalibrationSession.h"
#include "common/DecimalText.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/app/MainWindow.h"
#include "ui/compare/CompareCommands.h"
#include "ui/compare/CompareMarks.h"
#include "ui/compare/CompareWindow.h"
#include "ui/editors/MapEditors.h"
#include "ui/surface/SurfaceWindow.h"
#include "ui/widgets/StringGrid.h"

namespace {
// Table rows (not grid rows) of the part-load fuel map changed in the reference, and by how
// much; the grid shows table row r at grid row RowCount - r.
struct Change {
  int tableRow, col;
  double delta;
};
constexpr Change kChanges[] = {{2, 3, 0.25}, {3, 5, -0.2}, {4, 7, 0.1}};

class CompareWindowTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start(true);
    fDemo = TempPath("demo.bin");
    const std::vector<uint8_t> image = MakeDemoImage();
    QFile file(fDemo);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
    file.close();
    AnswerFileDialog(fDemo);
    MainAction("BIN1")->trigger();
    ASSERT_TRUE(MainSession().Loaded());
  }
  // The demo calibration as a settings file with the fuel values of kChanges changed.
  QString ChangedReference() {
    TEFIOperator op(true);
    op.LoadDefaultConfig();
    op.fImage = MakeDemoImage();
    op.DecodeImage();
    for (const Change& c : kChanges) op.fFuelMainMatrix[c.tableRow][c.col] += c.delta;
    const QString path = TempPath("reference.dme");
    op.SaveSettings(1, path);
    return path;
  }
  void OpenReference(const QString& path) {
    AnswerFileDialog(path);
    MainAction("actCompare")->trigger();
    QCoreApplication::processEvents();
  }
  TStringGrid* Fuel() { return MapWidgets().sgFuelMain; }
  int GridRow(int tableRow) { return Fuel()->RowCount() - tableRow; }
  TCompareMarks& Marks() { return MainCompare().Marks(); }
  int Marked() { return Marks().Result().DifferentCells(); }
  QString fDemo;
};

// The pixel colour of a cell's corner and centre as the grid paints it.
QColor Pixel(TStringGrid* grid, int col, int row, bool corner) {
  const QRect rect = grid->visualRect(grid->model()->index(row, col));
  const QImage image = grid->viewport()->grab().toImage();
  const QPoint at = corner ? QPoint(rect.right() - 1, rect.top() + 1) : rect.center();
  return image.pixelColor(at);
}
}  // namespace

TEST_F(CompareWindowTest, TheSameFileAsReferenceMarksNothing) {
  OpenReference(fDemo);
  EXPECT_TRUE(Marks().Active());
  EXPECT_EQ(Marks().Result().NotComparable(), 0);
  EXPECT_EQ(Marked(), 0);
  EXPECT_EQ(Find<QLabel>("lCompare")->text(), QStringLiteral("Различий: 0"));
  EXPECT_TRUE(MainAction("actCompareEnd")->isEnabled());
}

TEST_F(CompareWindowTest, AReferenceOpenedByTheDialogMarksEachDifferingCellOverTheColours) {
  ASSERT_FALSE(MainAction("actCompareEnd")->isEnabled());
  OpenReference(ChangedReference());
  ASSERT_EQ(Marked(), 3);
  EXPECT_EQ(Find<QLabel>("lCompare")->text(), QStringLiteral("Различий: 3"));
  const TTableDiff* fuel = Marks().Result().Table(TTableId::FuelMain);
  ASSERT_NE(fuel, nullptr);
  for (const Change& c : kChanges) {
    const TCellDiff* d = fuel->Find(c.col, GridRow(c.tableRow));
    ASSERT_NE(d, nullptr) << c.col << "," << c.tableRow;
    const QString tip = Marks().ToolTip(TTableId::FuelMain, c.col, GridRow(c.tableRow));
    EXPECT_TRUE(tip.startsWith(QStringLiteral("эталон: ") + d->referenceText)) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("разница: ") + (c.delta < 0 ? "+" : "-")))
        << tip.toStdString();
  }
  EXPECT_TRUE(Marks().ToolTip(TTableId::FuelMain, 1, 1).isEmpty());

  // Drawn: the black corner over the cell's colour, which stays in its middle.
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet1"));
  Pump(20);
  const Change& c = kChanges[0];
  const int row = GridRow(c.tableRow);
  EXPECT_EQ(Pixel(Fuel(), c.col, row, true), QColor(Qt::black));
  const QColor unmarkedMiddle = Pixel(Fuel(), c.col + 1, row, false);
  EXPECT_NE(unmarkedMiddle, QColor(Qt::white));
  EXPECT_NE(Pixel(Fuel(), c.col + 1, row, true), QColor(Qt::black));

  // The list shows the three, and every cell when the switch is off.
  auto* list = Find<QTableWidget>("lvCompare");
  EXPECT_TRUE(MainCompare().frmCompare->isVisible());
  EXPECT_EQ(list->rowCount(), 3);
  Find<QCheckBox>("cbOnlyDiffs")->setChecked(false);
  EXPECT_GT(list->rowCount(), 100);
  Find<QCheckBox>("cbOnlyDiffs")->setChecked(true);
  EXPECT_EQ(list->rowCount(), 3);

  // Ending the comparison takes the marks away and leaves the colours.
  MainAction("actCompareEnd")->trigger();
  Pump(20);
  EXPECT_FALSE(Marks().Active());
  EXPECT_FALSE(Find<QLabel>("lCompare")->isVisible());
  EXPECT_NE(Pixel(Fuel(), c.col, row, true), QColor(Qt::black));
  EXPECT_FALSE(MainAction("actCompareEnd")->isEnabled());
}

TEST_F(CompareWindowTest, ADoubleClickInTheListGoesToTheCellOnItsPage) {
  OpenReference(ChangedReference());
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet4"));
  auto* list = Find<QTableWidget>("lvCompare");
  ASSERT_EQ(list->rowCount(), 3);
  // Sorted by the difference (current less reference), smallest first: the reference got
  // 0.25 more in the first change, so that cell comes first.
  list->sortByColumn(4, Qt::AscendingOrder);
  Pump(50);
  const QRect rect = list->visualItemRect(list->item(0, 0));
  // A double click is a click and then the second press.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  QCoreApplication::processEvents();
  EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentWidget(), Find<QWidget>("TabSheet1"));
  EXPECT_EQ(Fuel()->Col(), kChanges[0].col);
  EXPECT_EQ(Fuel()->Row(), GridRow(kChanges[0].tableRow));
}

TEST_F(CompareWindowTest, MarksFollowAnEditAndItsUndo) {
  OpenReference(ChangedReference());
  ASSERT_EQ(Marked(), 3);
  const int row = GridRow(kChanges[0].tableRow);
  const int col = kChanges[0].col;
  const double reference = *Marks().Result().Table(TTableId::FuelMain)->Find(col, row)->reference;
  // An edit of two cells as one step: the reference's value makes one cell equal, the
  // other cell moves away from the reference.
  TCalibration& doc = MainMaps().Doc();
  TEditStep step;
  step.cells.push_back({TTableId::FuelMain, col, row, {}, reference});
  step.cells.push_back({TTableId::FuelMain, 2, 2, {}, 1.4});
  ASSERT_TRUE(doc.Apply(step));
  QCoreApplication::processEvents();
  EXPECT_EQ(Marked(), 3);
  EXPECT_EQ(Marks().Result().Table(TTableId::FuelMain)->Find(col, row), nullptr);
  EXPECT_NE(Marks().Result().Table(TTableId::FuelMain)->Find(2, 2), nullptr);
  // Its undo puts the texts back, and the marks with them.
  frmMain->findChild<QAction*>("actUndo")->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(Marked(), 3);
  EXPECT_NE(Marks().Result().Table(TTableId::FuelMain)->Find(col, row), nullptr);
  EXPECT_EQ(Find<QLabel>("lCompare")->text(), QStringLiteral("Различий: 3"));
}

TEST_F(CompareWindowTest, TextStillBeingTypedIsNoDifferenceUntilTheEntryEnds) {
  OpenReference(ChangedReference());
  ASSERT_EQ(Marked(), 3);
  // The cell's text changes at every keystroke; the document, and the marks with it, take
  // the value only when the entry ends and the check accepts it.
  Fuel()->SelectCell(2, 2);
  Fuel()->SetCell(2, 2, FloatToStr(1.4));
  QCoreApplication::processEvents();
  EXPECT_EQ(Marked(), 3);
  Fuel()->SetCell(2, 2, QStringLiteral("1,"));
  QCoreApplication::processEvents();
  EXPECT_EQ(Marked(), 3);
  Fuel()->SetCell(2, 2, FloatToStr(1.4));
  MainMaps().FinishTyping(Fuel());
  QCoreApplication::processEvents();
  EXPECT_EQ(Marked(), 4);
  EXPECT_NE(Marks().Result().Table(TTableId::FuelMain)->Find(2, 2), nullptr);
}

TEST_F(CompareWindowTest, TheSurfaceFollowsTheActivePageEditsAndClicks) {
  MainAction("act3D")->trigger();
  TfrmSurface* surface = MainSurface();
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->objectName(), "frm3D");
  if (!surface->HasGraph()) {
    ASSERT_NE(surface->lNoGL, nullptr);
    GTEST_SKIP() << "no OpenGL context here: " << surface->lNoGL->text().toStdString();
  }
  QSurfaceDataProxy* proxy = surface->Series()->dataProxy();
  TStringGrid* fuel = Fuel();
  EXPECT_EQ(surface->Grid(), fuel);
  EXPECT_EQ(proxy->rowCount(), fuel->RowCount() - 1);
  EXPECT_EQ(proxy->columnCount(), fuel->ColCount() - 1);
  // Load ascends along the rows: the grid's bottom data row is the first.
  const QPoint first = surface->PointOf(1, fuel->RowCount() - 1);
  EXPECT_EQ(first, QPoint(0, 0));
  EXPECT_EQ(surface->CellOf(first), QPoint(1, fuel->RowCount() - 1));

  // One typed cell moves its point once its entry ends.
  fuel->SelectCell(4, 5);
  fuel->SetCell(4, 5, FloatToStr(1.37));
  MainMaps().FinishTyping(fuel);
  EXPECT_FLOAT_EQ(proxy->itemAt(surface->PointOf(4, 5))->y(), 1.37f);

  // A point picked on the surface becomes the grid's current cell, and back.
  surface->Series()->setSelectedPoint(surface->PointOf(6, 3));
  EXPECT_EQ(fuel->Col(), 6);
  EXPECT_EQ(fuel->Row(), 3);
  fuel->SelectCell(2, 4);
  EXPECT_EQ(surface->Series()->selectedPoint(), surface->PointOf(2, 4));

  // The ignition page shows the ignition map.
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet2"));
  EXPECT_EQ(surface->Grid(), MapWidgets().sgIgnMain);
  EXPECT_EQ(surface->Series()->dataProxy()->rowCount(), MapWidgets().sgIgnMain->RowCount() - 1);
}

// Pictures of the comparison and the 3D view (scripts/screenshots sets TARVELO_SHOTS).
using CompareScreenshots = ProgramTest;

TEST_F(CompareScreenshots, ComparedFuelMapDifferenceListAnd3DView) {
  const QString folder = qEnvironmentVariable("TARVELO_SHOTS");
  if (folder.isEmpty()) GTEST_SKIP() << "TARVELO_SHOTS is not set";
  Start();
  const QString demo = TempPath("stage1.bin");
  const std::vector<uint8_t> image = MakeDemoImage();
  QFile file(demo);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
  file.close();
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = image;
  op.DecodeImage();
  for (int r = 3; r <= 6; ++r)
    for (int c = 4; c <= 8; ++c) op.fFuelMainMatrix[r][c] *= 0.94;
  op.fFuelMainMatrix[0][9] += 200;  // one moved rpm breakpoint
  const QString reference = TempPath("stock.dme");
  op.SaveSettings(1, reference);
  AnswerFileDialog(demo);
  MainAction("BIN1")->trigger();
  AnswerFileDialog(reference);
  MainAction("actCompare")->trigger();
  Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet1"));
  frmMain->activateWindow();
  Pump(100);
  frmMain->grab().save(QDir(folder).filePath("compare-fuel-map.png"));
  QWidget* list = MainCompare().frmCompare;
  Pump(50);
  list->grab().save(QDir(folder).filePath("compare-list.png"));
  MainAction("act3D")->trigger();
  TfrmSurface* surface = MainSurface();
  Pump(500);
  if (surface->HasGraph())
    surface->Graph()->renderToImage(4).save(QDir(folder).filePath("map-3d.png"));
  else
    surface->grab().save(QDir(folder).filePath("map-3d.png"));
}
