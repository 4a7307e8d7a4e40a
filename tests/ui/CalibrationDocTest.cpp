// The calibration document against the window: after the main window loads an image, every
// grid shows the document's text, and the document's collect of the grids' texts gives the
// tables the editors' own collect gives; the demo image and random images of both layouts.
#include <QFile>
#include <QLocale>
#include <QSpinBox>
#include <random>

#include "calibration/Calibration.h"
#include "image/DemoImage.h"
#include "support/MainWindowParts.h"
#include "support/RandomImage.h"
#include "support/UiTestHelpers.h"
#include "ui/app/MainWindow.h"
#include "ui/editors/MapEditors.h"
#include "ui/widgets/StringGrid.h"

namespace {
// A grid's texts read as the document holds a table.
TCalTable GridTexts(TTableId id, int version) {
  auto* grid = Find<TStringGrid>(TableGridName(id).toLatin1().constData());
  TCalTable t;
  t.id = id;
  t.version = version;
  if (!grid) return t;
  t.cols = grid->ColCount();
  t.rows = grid->RowCount();
  t.fixedCols = grid->FixedCols();
  t.fixedRows = grid->FixedRows();
  t.Clear();
  for (int r = 0; r < t.rows; ++r)
    for (int c = 0; c < t.cols; ++c) EXPECT_TRUE(t.SetText(c, r, grid->Cell(c, r)));
  return t;
}

class CalibrationDocTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // A comma as the decimal separator, as most users of these units have it.
    QLocale::setDefault(QLocale(QLocale::Russian));
    Start(true);
  }
  void TearDown() override {
    ProgramTest::TearDown();
    QLocale::setDefault(QLocale::c());
  }
  void UseSplitLayout() {
    const QString path = TempPath("empty.prf");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[config]\r\n");
    f.close();
    MainEfi().LoadProfile(path);
  }
  // Loads the image into the window, then compares grids and document, and both collects.
  void LoadAndCompare(const std::vector<uint8_t>& image, const std::string& what) {
    TEFIOperator& efi = MainEfi();
    efi.fImage = image;
    frmMain->FillGrids(false);
    TCalibration doc;
    doc.Load(efi);
    std::vector<TCalTable> grids;
    for (const TCalTable& table : doc.Tables()) {
      const TCalTable grid = GridTexts(table.id, efi.fVersion);
      const std::string name = what + " " + TableGridName(table.id).toStdString();
      ASSERT_EQ(grid.cols, table.cols) << name;
      ASSERT_EQ(grid.rows, table.rows) << name;
      EXPECT_EQ(grid.fixedCols, table.fixedCols) << name;
      EXPECT_EQ(grid.fixedRows, table.fixedRows) << name;
      for (int r = 0; r < table.rows; ++r)
        for (int c = 0; c < table.cols; ++c)
          ASSERT_EQ(grid.Text(c, r), table.Text(c, r)) << name << " col " << c << " row " << r;
      grids.push_back(grid);
    }
    EXPECT_EQ(doc.Setting("MaxRPM"), MapWidgets().seMaxRMP->value()) << what;
    // The editors' collect against the document's, on the grids' texts.
    TEFIOperator byDocument = efi;
    frmMain->CollectGrids(1);
    // A rev limit beyond what its box shows stays as loaded, in both.
    doc.CollectMaxRPM(MapWidgets().seMaxRMP->value(), byDocument);
    doc.CollectTablesInto(grids, byDocument);
    EXPECT_EQ(byDocument.fFuelMainMatrix, efi.fFuelMainMatrix) << what;
    EXPECT_EQ(byDocument.fSparkMainMatrix, efi.fSparkMainMatrix) << what;
    EXPECT_EQ(byDocument.fFuelXXMatrix, efi.fFuelXXMatrix) << what;
    EXPECT_EQ(byDocument.fSparkXXMatrix, efi.fSparkXXMatrix) << what;
    EXPECT_EQ(byDocument.fFuelMaxMatrix, efi.fFuelMaxMatrix) << what;
    EXPECT_EQ(byDocument.fSparkMaxMatrix, efi.fSparkMaxMatrix) << what;
    EXPECT_EQ(byDocument.fMAFTable, efi.fMAFTable) << what;
    EXPECT_EQ(byDocument.fRPMTempCorrTable, efi.fRPMTempCorrTable) << what;
    EXPECT_EQ(byDocument.fMaxRPM, efi.fMaxRPM) << what;
  }
};
}  // namespace

// The split layout first: its grids leave the idle fuel table and the air-mass curve as a
// fresh window has them, which the single-map layout then fills.
TEST_F(CalibrationDocTest, GridsShowTheDocumentAndCollectTheSameTablesInBothLayouts) {
  std::mt19937 rng(20261209);
  UseSplitLayout();
  ASSERT_EQ(MainEfi().fVersion, 1);
  for (int n = 0; n < 4; ++n)
    LoadAndCompare(RandomImage(rng, MainEfi()), "split random " + std::to_string(n));
  MainEfi().LoadDefaultConfig();
  ASSERT_NE(MainEfi().fVersion, 1);
  LoadAndCompare(MakeDemoImage(), "demo");
  for (int n = 0; n < 4; ++n)
    LoadAndCompare(RandomImage(rng, MainEfi()), "single-map random " + std::to_string(n));
}
