// The profile editor as a tuner uses it: opened on the demo image, the part-load fuel map
// moved onto another table and back with the live grid following, a byte clicked to be the
// table's start, the axis search, the check, and the saved profile opened with
// "&Открыть профайл" decoding the same tables as the built-in configuration.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "calibration/Calibration.h"
#include "calibration/CalibrationSession.h"
#include "common/DecimalText.h"
#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/editors/MapEditors.h"
#include "ui/profile/HexView.h"
#include "ui/profile/ProfileEditor.h"
#include "ui/widgets/StringGrid.h"

namespace {

class ProfileEditorTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start(true);
    fDemo = TempPath("demo.bin");
    SaveImageFile(fDemo, MakeDemoImage());
    AnswerFileDialog(fDemo);
    MainAction("BIN1")->trigger();
    ASSERT_TRUE(MainSession().Loaded());
    MainAction("actProfileEditor")->trigger();
    fEditor = Find<TfrmProfileEditor>("frmProfileEditor");
    ASSERT_NE(fEditor, nullptr);
    ASSERT_TRUE(fEditor->isVisible());
  }
  QLineEdit* Edit(const char* key) {
    return fEditor->findChild<QLineEdit*>(QStringLiteral("edt") + QLatin1String(key));
  }
  // Types a new value into a key's box as a user does: select all, type.
  void Type(const char* key, const QString& text) {
    QLineEdit* edit = Edit(key);
    edit->setFocus();
    QCoreApplication::processEvents();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  std::vector<QString> GridTexts() {
    TStringGrid* g = fEditor->sgProfileTable;
    std::vector<QString> texts;
    for (int r = 0; r < g->RowCount(); ++r)
      for (int c = 0; c < g->ColCount(); ++c) texts.push_back(g->Cell(c, r));
    return texts;
  }
  QStringList Problems() {
    QStringList list;
    for (int i = 0; i < fEditor->lbProfileProblems->count(); ++i)
      list << fEditor->lbProfileProblems->item(i)->text();
    return list;
  }
  // The demo image's part-load fuel map decoded with its start at `address`.
  TFloatMatrix FuelMapAt(int address) {
    TEFIOperator op(true);
    op.LoadDefaultConfig();
    op.fStartMainFuelTableAddress_Lo = address;
    op.fImage = MakeDemoImage();
    op.DecodeImage();
    return op.fFuelMainMatrix;
  }
  // The grid cell of table row `row`, column `col` (the last row is shown at the top).
  QString Shown(int col, int row) {
    TStringGrid* g = fEditor->sgProfileTable;
    return g->Cell(col, row == 0 ? 0 : g->RowCount() - row);
  }

  QString fDemo;
  TfrmProfileEditor* fEditor = nullptr;
};

std::vector<std::vector<QString>> Texts(const std::vector<TCalTable>& tables) {
  std::vector<std::vector<QString>> texts;
  for (const TCalTable& t : tables) {
    texts.emplace_back();
    for (int r = 0; r < t.rows; ++r)
      for (int c = 0; c < t.cols; ++c) texts.back().push_back(t.Text(c, r));
  }
  return texts;
}

}  // namespace

TEST_F(ProfileEditorTest, MovingTheFuelMapAndBackTheGridFollowsAndTheSavedProfileDecodesTheSame) {
  const auto builtInTables = Texts(MainMaps().Doc().Tables());
  TStringGrid* grid = fEditor->sgProfileTable;
  ASSERT_EQ(fEditor->CurrentTable(), TImageTable::FuelMain);
  ASSERT_EQ(grid->RowCount(), 13);
  ASSERT_EQ(grid->ColCount(), 17);
  EXPECT_EQ(Shown(1, 0), "600");
  EXPECT_EQ(Shown(16, 0), "6400");
  EXPECT_EQ(Shown(0, 1), FloatToStr(1));
  const TFloatMatrix home = FuelMapAt(0x70FC);
  EXPECT_EQ(Shown(5, 7), FloatToStr(home[7][5]));
  const std::vector<QString> before = GridTexts();
  EXPECT_TRUE(Problems().isEmpty()) << Problems().join('\n').toStdString();

  // Onto the part-load ignition map: its codes read as fuel factors, and both maps marked.
  Type("fStartMainFuelTableAddress_Lo", "0x7425");
  const TFloatMatrix moved = FuelMapAt(0x7425);
  EXPECT_EQ(Shown(5, 7), FloatToStr(moved[7][5]));
  EXPECT_EQ(Shown(16, 12), FloatToStr(moved[12][16]));
  EXPECT_NE(GridTexts(), before);
  EXPECT_TRUE(
      Problems().contains("fFuelMainMatrix перекрывается с fSparkMainMatrix "
                          "(байты 0x7425 - 0x7504)"))
      << Problems().join('\n').toStdString();
  EXPECT_FALSE(fEditor->findChild<QGroupBox*>("gbProfile1")->toolTip().isEmpty());

  // A text that is no number turns the box red and changes nothing.
  Type("fStartMainFuelTableAddress_Lo", "x");
  EXPECT_FALSE(Edit("fStartMainFuelTableAddress_Lo")->styleSheet().isEmpty());
  EXPECT_EQ(fEditor->Config().fStartMainFuelTableAddress_Lo, 0x7425);

  Type("fStartMainFuelTableAddress_Lo", "0x70FC");
  EXPECT_EQ(GridTexts(), before);
  EXPECT_TRUE(Problems().isEmpty());

  // Saved, opened with "&Открыть профайл", the image loaded again: the same tables.
  const QString profile = TempPath("made.prf");
  AnswerFileDialog(profile);
  QTest::mouseClick(fEditor->btnProfileSave, Qt::LeftButton);
  ASSERT_TRUE(QFile::exists(profile));
  fEditor->close();
  AnswerFileDialog(profile);
  MainAction("N6")->trigger();
  EXPECT_FALSE(MainSession().Loaded());
  TEFIOperator builtIn(true);
  builtIn.LoadDefaultConfig();
  EXPECT_EQ(static_cast<const TModelConfig&>(MainEfi()), static_cast<const TModelConfig&>(builtIn));
  AnswerFileDialog(fDemo);
  MainAction("BIN1")->trigger();
  ASSERT_TRUE(MainSession().Loaded());
  EXPECT_EQ(Texts(MainMaps().Doc().Tables()), builtInTables);
}

TEST_F(ProfileEditorTest, AClickedByteStartsTheTableAndTheAxisSearchFindsItsPlaces) {
  THexView* hex = fEditor->hexImage;
  Edit("fStartMainFuelTableAddress_Lo")->setFocus();
  QCoreApplication::processEvents();
  hex->ScrollTo(0x7425);
  const QRect byte = hex->ByteRect(0x7425);
  ASSERT_FALSE(byte.isEmpty());
  EXPECT_EQ(hex->ByteAt(byte.center()), 0x7425);
  QTest::mouseClick(hex->viewport(), Qt::LeftButton, {}, byte.center());
  EXPECT_EQ(Edit("fStartMainFuelTableAddress_Lo")->text(), "0x7425");
  EXPECT_EQ(fEditor->Config().fStartMainFuelTableAddress_Lo, 0x7425);

  // The whole table's shape (16 RPM and 12 load points) fits both part-load maps.
  fEditor->cbAxisSearch->setCurrentIndex(0);
  QTest::mouseClick(fEditor->btnAxisSearch, Qt::LeftButton);
  QListWidget* found = fEditor->lbAxisCandidates;
  ASSERT_EQ(found->count(), 2);
  EXPECT_TRUE(found->item(0)->text().startsWith("0x70FC: "));
  EXPECT_TRUE(found->item(1)->text().startsWith("0x7425: "));
  // Its RPM axis alone is also held by both full-load tables.
  fEditor->cbAxisSearch->setCurrentIndex(1);
  QTest::mouseClick(fEditor->btnAxisSearch, Qt::LeftButton);
  EXPECT_EQ(found->count(), 4);
  fEditor->cbAxisSearch->setCurrentIndex(0);
  QTest::mouseClick(fEditor->btnAxisSearch, Qt::LeftButton);
  // Enter on a place starts the table there.
  found->setFocus();
  found->setCurrentRow(0);
  QTest::keyClick(found, Qt::Key_Return);
  EXPECT_EQ(fEditor->Config().fStartMainFuelTableAddress_Lo, 0x70FC);
  EXPECT_EQ(Edit("fStartMainFuelTableAddress_Lo")->text(), "0x70FC");

  QTest::mouseClick(fEditor->btnProfileCheck, Qt::LeftButton);
  const QString report = fEditor->memProfileCheck->toPlainText();
  EXPECT_TRUE(report.contains("КС: верна")) << report.toStdString();
  EXPECT_TRUE(report.endsWith("Замечаний нет.")) << report.toStdString();

  if (const QString shots = qEnvironmentVariable("TARVELO_SHOTS"); !shots.isEmpty()) {
    fEditor->resize(1500, 860);
    Pump(200);
    fEditor->grab().save(QDir(shots).filePath("profile-editor.png"));
  }
}
