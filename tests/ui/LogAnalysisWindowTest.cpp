// The log analysis window on the demo image: a short hand-made log lands in the cells the
// live mark would show, with the right counts, times and means; the fuel correction is
// proposed from a wide-band sensor, applied as one step, saved into the settings file and
// taken back whole by one undo; a narrow-band sensor is refused with its reason; a table of
// target ratios steers each cell's proposal, goes to a file and back, and a file of another
// shape is refused.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>

#include "calibration/Calibration.h"
#include "common/DecimalText.h"
#include "image/DemoImage.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "telemetry/LogWriter.h"
#include "ui/analysis/CorrectionSettings.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/analysis/LogOverlay.h"
#include "ui/app/MainWindow.h"
#include "ui/app/Program.h"
#include "ui/editors/MapEditors.h"
#include "ui/telemetry/TelemetryWindow.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/StringGrid.h"

namespace {
struct Stay {
  int col, row;  // grid cell of the fuel map
  int records;
  double o2;
  double clt;
};

class LogAnalysisWindowTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start(true);
    MainEfi().fImage = MakeDemoImage();
    frmMain->FillGrids(false);
  }
  TCalibration& Doc() { return MainMaps().Doc(); }
  const TCalTable& Fuel() { return Doc().Table(TTableId::FuelMain); }
  // A log whose records sit in the given cells one after another, a tenth of a second
  // apart: RPM and LOAD exactly on the cell's headers, a steady throttle.
  QString WriteLog(const std::vector<Stay>& stays) {
    const QString path = TempPath("drive.txt");
    TLogWriter log;
    log.Create(path);
    LiveRecord r{};
    int n = 0;
    for (const Stay& s : stays)
      for (int i = 0; i < s.records; ++i) {
        r[kRPM] = *Fuel().Value(s.col, 0);
        r[kLOAD] = *Fuel().Value(0, s.row);
        r[kO2] = s.o2;
        r[kCLT] = s.clt;
        r[kTPS] = 20;
        r[kPW] = 3;
        log.Append(n++ / 10.0, r, DecimalSeparator());
      }
    log.Close();
    return path;
  }
  // Types into a cell of a grid's editor as the user would, then closes the editor.
  static void TypeInto(TStringGrid* grid, int col, int row, const QString& text) {
    grid->SelectCell(col, row);
    grid->editItem(grid->item(row, col));
    auto* line = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, col)));
    ASSERT_NE(line, nullptr);
    line->selectAll();
    QTest::keyClicks(line, text);
    grid->EndEditing();
  }
  // The drive's stays are short and follow each other without a pause: the correction's
  // steady window and the sensor delay would leave nothing of them. A weight of 10 is
  // wanted for a change, as ten records in a cell.
  static void ShortStays(TfrmLogAnalysis& w) {
    w.settings->chkSteady->setChecked(false);
    w.settings->seDelay->setValue(0);
    w.settings->seMinWeight->setValue(10);
  }
  static QString Afr(const char* text) {
    return QString::fromLatin1(text).replace('.', DecimalSeparator());
  }
  QByteArray SaveSettings(const QString& name) {
    frmMain->CollectGrids(1);
    MainEfi().SaveSettings(1, TempPath(name));
    QFile f(TempPath(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  }
};

// Sensor 0 .. 1 V (the panel's defaults): 0.4 V is an AFR of 16, 0.53 V 14.7, 0.6 V 14.
const std::vector<Stay> kDrive = {
    {3, 4, 12, 0.40, 95},  // lean, enough records: the factor goes up by at most 5 %
    {5, 2, 15, 0.53, 95},  // on target: stays
    {2, 6, 5, 0.60, 85},   // rich but too few records: stays, "мало данных"
    {3, 4, 1, 0.40, 95},   // back in the first cell once more
};
}  // namespace

TEST_F(LogAnalysisWindowTest, CountsMeansAndTimesLandInTheLiveMarksCells) {
  TfrmLogAnalysis& w = MainLogAnalysis();
  MainAction("actLogAnalysis")->trigger();
  ASSERT_TRUE(w.isVisible());
  w.LoadLogFile(WriteLog(kDrive));
  const TLogAnalysis& a = w.FuelAnalysis();
  ASSERT_EQ(a.records, 33);
  EXPECT_EQ(a.outside, 0);
  // Grid cell (c, r) is analysis cell (c - 1, r - 1).
  EXPECT_EQ(a.At(2, 3).count, 13);
  EXPECT_NEAR(a.At(2, 3).Mean(), 0.40, 1e-12);
  // The last record of the log stands for no time.
  EXPECT_NEAR(a.At(2, 3).seconds, 1.2, 1e-9);
  EXPECT_EQ(a.At(4, 1).count, 15);
  EXPECT_NEAR(a.At(4, 1).Mean(), 0.53, 1e-12);
  EXPECT_NEAR(a.At(4, 1).seconds, 1.5, 1e-9);
  EXPECT_EQ(a.At(1, 5).count, 5);
  EXPECT_TRUE(a.TooFew(1, 5));
  EXPECT_FALSE(a.TooFew(2, 3));
  // The ignition map has the same headers in the demo: the same cells.
  EXPECT_EQ(w.IgnitionAnalysis().At(2, 3).count, 13);

  // The overlay's tooltip names the numbers, and "мало данных" where there are too few.
  auto* overlay = MainLogAnalysis().findChild<TLogOverlay*>();
  ASSERT_NE(overlay, nullptr);
  const QString few = overlay->CellText(2, 6);
  EXPECT_TRUE(few.contains("Записей: 5")) << few.toStdString();
  EXPECT_TRUE(few.contains("мало данных")) << few.toStdString();
  EXPECT_FALSE(overlay->CellText(3, 4).contains("мало данных"));
  EXPECT_TRUE(overlay->CellText(3, 4).contains("O2: среднее 0,40") ||
              overlay->CellText(3, 4).contains("O2: среднее 0.40"));

  // Another channel, and the warm-engine filter taking out the cool records.
  w.cbChannel->setCurrentIndex(w.cbChannel->findText("CLT"));
  EXPECT_NEAR(w.FuelAnalysis().At(1, 5).Mean(), 85, 1e-12);
  w.seCoolant->setValue(90);
  w.chkCoolant->setChecked(true);
  EXPECT_EQ(w.FuelAnalysis().At(1, 5).count, 0);
  EXPECT_EQ(w.FuelAnalysis().filtered, 5);
  EXPECT_EQ(w.FuelAnalysis().At(2, 3).count, 13);
}

// A header alone analysed to tables of zeros without a word: now the user hears that the log
// holds no records, and the log analysed before stays.
TEST_F(LogAnalysisWindowTest, HeaderOnlyLogSaysNoRecordsAndKeepsTheLogBefore) {
  TfrmLogAnalysis& w = MainLogAnalysis();
  MainAction("actLogAnalysis")->trigger();
  w.LoadLogFile(WriteLog(kDrive));
  ASSERT_EQ(w.FuelAnalysis().records, 33);
  const QString empty = TempPath("empty.txt");
  QFile file(empty);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(LogHeaderLine());
  file.close();
  QString said;
  AnswerMessageBox(QMessageBox::Ok, &said);
  w.LoadLogFile(empty);
  EXPECT_EQ(said, QStringLiteral("В ЛОГе empty.txt нет ни одной записи"));
  EXPECT_EQ(w.FuelAnalysis().records, 33);
}

TEST_F(LogAnalysisWindowTest, CorrectionIsOneUndoableStepThatReachesTheSettingsFile) {
  QLocale::setDefault(QLocale::c());
  const QByteArray before = SaveSettings("before.dme");
  ASSERT_EQ(before.size(), 1172);
  const QString textBefore = Fuel().Text(3, 4);
  const double current = *Fuel().Value(3, 4);

  TfrmLogAnalysis& w = MainLogAnalysis();
  ShortStays(w);
  w.LoadLogFile(WriteLog(kDrive));
  const TFuelCorrection& fc = w.Correction();
  ASSERT_FALSE(fc.Refused()) << fc.refusal.toStdString();
  // Only the lean cell with records enough changes: up, by no more than the 5 % step,
  // to a value its code can store. Nothing is written before "Применить".
  EXPECT_TRUE(fc.changed[fc.Index(2, 3)]);
  EXPECT_FALSE(fc.changed[fc.Index(4, 1)]);
  EXPECT_FALSE(fc.changed[fc.Index(1, 5)]);
  const double proposed = fc.At(2, 3);
  EXPECT_GT(proposed, current);
  EXPECT_LE(proposed, current * 1.05 + 1e-9);
  EXPECT_EQ(Fuel().Text(3, 4), textBefore);
  EXPECT_EQ(w.sgCorrection->Cell(3, 4), Fuel().Rule(3, 4).Show(proposed));
  ASSERT_TRUE(w.btnApply->isEnabled());

  w.btnApply->click();
  EXPECT_EQ(MapWidgets().sgFuelMain->Cell(3, 4), Fuel().Rule(3, 4).Show(proposed));
  EXPECT_FALSE(w.btnApply->isEnabled());  // not offered twice
  const QByteArray after = SaveSettings("after.dme");
  ASSERT_EQ(after.size(), 1172);
  // The fuel map's values, column by column after its 16 RPM codes, 0xFF 0xFF and 12 load
  // codes; grid (3, 4) is table row 9, column 3. A code is 128 + (factor - 1) / 0.0075.
  const int values = 10 + 1 + 32 + 120 + 222 + 16 + 2 + 12;
  const int index = values + (3 - 1) * 12 + (9 - 1);
  EXPECT_EQ(static_cast<uint8_t>(after[index]), 128 + std::lround((proposed - 1) / 0.0075));
  int differing = 0;
  for (int i = 0; i < before.size(); ++i) differing += before[i] != after[i] ? 1 : 0;
  EXPECT_EQ(differing, 1);

  // One undo takes the whole correction back, to the same bytes.
  ASSERT_TRUE(Doc().CanUndo());
  Doc().Undo();
  EXPECT_EQ(Fuel().Text(3, 4), textBefore);
  EXPECT_EQ(SaveSettings("undone.dme"), before);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(LogAnalysisWindowTest, NarrowBandSensorIsRefusedWithItsReason) {
  TfrmLogAnalysis& w = MainLogAnalysis();
  w.LoadLogFile(WriteLog(kDrive));
  ASSERT_FALSE(w.Correction().Refused());
  MapWidgets().rgO2Type->Click(0);
  EXPECT_TRUE(w.Correction().Refused());
  EXPECT_TRUE(w.lblCorrection->text().contains(w.Correction().refusal));
  EXPECT_FALSE(w.btnApply->isEnabled());
  // The statistics stay.
  EXPECT_EQ(w.FuelAnalysis().At(2, 3).count, 13);
  const QString text = Fuel().Text(3, 4);
  w.ApplyClick();
  EXPECT_EQ(Fuel().Text(3, 4), text);
}

TEST_F(LogAnalysisWindowTest, TakesTheLogTheTelemetryWindowHolds) {
  TfrmLogAnalysis& w = MainLogAnalysis();
  // Nothing loaded there yet: said so, and the window keeps what it had.
  QString text;
  AnswerMessageBox(QMessageBox::Ok, &text);
  w.btnTelemetryLog->click();
  EXPECT_TRUE(text.contains("нет загруженного ЛОГа")) << text.toStdString();
  EXPECT_TRUE(w.FuelAnalysis().cells.empty());
  AnswerFileDialog(WriteLog(kDrive));
  FrmTelemetry->LoadLogBtn->click();
  w.btnTelemetryLog->click();
  EXPECT_EQ(w.FuelAnalysis().records, 33);
  EXPECT_EQ(w.FuelAnalysis().At(4, 1).count, 15);
}

TEST_F(LogAnalysisWindowTest, TargetTableSteersEachCellAndGoesToAFileAndBack) {
  TfrmLogAnalysis& w = MainLogAnalysis();
  ShortStays(w);
  w.LoadLogFile(WriteLog(kDrive));
  const TFuelCorrection single = w.Correction();
  // The table has the fuel map's headers and starts from the single target in every cell;
  // chosen as it is, it proposes what the single target does.
  ASSERT_EQ(w.sgTargetAfr->ColCount(), Fuel().cols);
  ASSERT_EQ(w.sgTargetAfr->RowCount(), Fuel().rows);
  EXPECT_EQ(w.sgTargetAfr->Cell(3, 0), Fuel().Text(3, 0));
  EXPECT_EQ(w.sgTargetAfr->Cell(0, 4), Fuel().Text(0, 4));
  EXPECT_FALSE(w.sgTargetAfr->isEnabled());
  w.rbTargetTable->click();
  ASSERT_TRUE(w.sgTargetAfr->isEnabled());
  EXPECT_EQ(w.sgTargetAfr->Cell(5, 2), Afr("14.7"));
  EXPECT_EQ(w.Correction().proposed, single.proposed);

  // The on-target cell (5, 2) wanted at 14.0 gets richer by the step; the lean cell keeps
  // its proposal against its own 14.7.
  const double current = *Fuel().Value(5, 2);
  TypeInto(w.sgTargetAfr, 5, 2, Afr("14.0"));
  const TFuelCorrection& fc = w.Correction();
  ASSERT_FALSE(fc.Refused()) << fc.refusal.toStdString();
  EXPECT_TRUE(fc.changed[fc.Index(4, 1)]);
  EXPECT_GT(fc.At(4, 1), current);
  EXPECT_LE(fc.At(4, 1), current * 1.05 + 1e-9);
  EXPECT_EQ(fc.At(2, 3), single.At(2, 3));
  // The lean cell's own target at its measured 16.0: it stays.
  TypeInto(w.sgTargetAfr, 3, 4, Afr("16.0"));
  EXPECT_FALSE(w.Correction().changed[w.Correction().Index(2, 3)]);
  // Not a number, or out of the limits: the target stays, and the cell shows it again.
  const std::vector<double> kept = w.Targets();
  TypeInto(w.sgTargetAfr, 3, 4, "abc");
  TypeInto(w.sgTargetAfr, 2, 2, Afr("25"));
  w.sgTargetAfr->SelectCell(6, 6);
  EXPECT_EQ(w.Targets(), kept);
  EXPECT_EQ(w.sgTargetAfr->Cell(3, 4), Afr("16.0"));
  EXPECT_EQ(w.sgTargetAfr->Cell(2, 2), Afr("14.7"));

  // Saved, changed, loaded: the saved table again, and its proposal.
  const QString path = TempPath("targets.txt");
  AnswerFileDialog(path);
  w.btnSaveTargets->click();
  const std::vector<double> saved = w.Targets();
  const std::vector<double> proposal = w.Correction().proposed;
  TypeInto(w.sgTargetAfr, 5, 2, Afr("13.3"));
  ASSERT_NE(w.Targets(), saved);
  AnswerFileDialog(path);
  w.btnLoadTargets->click();
  EXPECT_EQ(w.Targets(), saved);
  EXPECT_EQ(w.sgTargetAfr->Cell(5, 2), Afr("14.0"));
  EXPECT_EQ(w.Correction().proposed, proposal);

  // A file one column short, and one with another load header: refused with one box each,
  // nothing changed.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  file.close();
  QStringList narrow = text.split('\n');
  for (QString& line : narrow) line = line.section('\t', 0, -2);
  QStringList moved = text.split('\n');
  moved[1] = "1" + moved[1].mid(moved[1].indexOf('\t'));
  for (const QStringList& lines : {narrow, moved}) {
    const QString wrong = TempPath("wrong.txt");
    QFile out(wrong);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(lines.join('\n').toUtf8());
    out.close();
    QString said;
    AnswerFileDialog(wrong);
    AnswerMessageBox(QMessageBox::Ok, &said);
    w.btnLoadTargets->click();
    EXPECT_TRUE(said.contains("не подходит")) << said.toStdString();
    EXPECT_EQ(w.Targets(), saved);
    EXPECT_EQ(w.Correction().proposed, proposal);
  }
}

// A target typed with the other decimal mark is the target typed ("12.5" under Russian
// settings was 12,0, the "12" of its keystrokes); a number out of the limits leaves the old
// target, not its first digit; Escape gives the cell its target back.
TEST_F(LogAnalysisWindowTest, TargetTableTakesEitherMarkAndNeverAHalfTypedNumber) {
  QLocale::setDefault(QLocale(QLocale::Russian));
  TfrmLogAnalysis& w = MainLogAnalysis();
  w.LoadLogFile(WriteLog(kDrive));
  w.rbTargetTable->click();
  const int cols = static_cast<int>(w.Targets().size()) / (Fuel().rows - 1);
  auto target = [&](int col, int row) { return w.Targets()[(row - 1) * cols + col - 1]; };
  TypeInto(w.sgTargetAfr, 5, 2, "12.5");
  EXPECT_EQ(target(5, 2), 12.5);
  EXPECT_EQ(w.sgTargetAfr->Cell(5, 2), "12,5");
  TypeInto(w.sgTargetAfr, 4, 3, "95");
  EXPECT_EQ(target(4, 3), 14.7);
  EXPECT_EQ(w.sgTargetAfr->Cell(4, 3), "14,7");
  TypeInto(w.sgTargetAfr, 4, 4, "1.3,5");
  EXPECT_EQ(target(4, 4), 14.7);

  w.sgTargetAfr->SelectCell(6, 2);
  w.sgTargetAfr->editItem(w.sgTargetAfr->item(2, 6));
  auto* line =
      qobject_cast<QLineEdit*>(w.sgTargetAfr->indexWidget(w.sgTargetAfr->model()->index(2, 6)));
  ASSERT_NE(line, nullptr);
  line->selectAll();
  QTest::keyClicks(line, "11");
  QTest::keyClick(line, Qt::Key_Escape);
  EXPECT_EQ(target(6, 2), 14.7);
  EXPECT_EQ(w.sgTargetAfr->Cell(6, 2), "14,7");
  QLocale::setDefault(QLocale::c());
}
