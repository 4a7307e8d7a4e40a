#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitterHandle>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "common/Clock.h"
#include "telemetry/LogWriter.h"
#include "telemetry/PagedChart.h"
#include "telemetry/Telemetryfrm.h"

namespace {

// Runs `answer` on the modal widget of type T as soon as one is showing.
template <typename T>
void WhenModal(std::function<void(T*)> answer, int triesLeft = 500) {
  QTimer::singleShot(5, [answer, triesLeft] {
    if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget()))
      answer(modal);
    else if (triesLeft > 0)
      WhenModal<T>(answer, triesLeft - 1);
  });
}

void ChooseFile(const QString& path) {
  WhenModal<QFileDialog>([path](QFileDialog* dialog) {
    // Typed as a user would, after clicking away the file the list still selects from the
    // choice before (a selected list item wins over the typed name).
    auto* list = dialog->findChild<QAbstractItemView*>("listView");
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_TRUE(list && name);
    list->clearSelection();
    name->setText(path);
    static_cast<QDialog*>(dialog)->accept();
  });
}

// Record i of a made-up log: Time i / 10, slot k = k * 10 + i for k >= 1.
QByteArray MakeLog(int records, const QByteArray& header = LogHeaderLine()) {
  QByteArray text = header;
  for (int i = 0; i < records; ++i) {
    LiveRecord r;
    for (int k = 1; k < kLiveSlots; ++k) r[k] = k * 10 + i;
    text += LogRecordLine(i / 10.0, r, '.');
  }
  return text;
}

class TelemetryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English));
    fForm.show();
  }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }

  QString Write(const QByteArray& bytes, const QString& name = "log.txt") {
    const QString path = fDir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  void Load(const QString& path) {
    ChooseFile(path);
    fForm.LoadLogBtn->click();
  }
  int Position() const { return fForm.scbarLog->value(); }
  QString Shown(const char* edit) const { return fForm.findChild<QLineEdit*>(edit)->text(); }
  TPagedChart* Chart(int h) const { return fForm.Chart(h); }

  QTemporaryDir fDir;
  TFrmTelemetry fForm;
};

}  // namespace

TEST_F(TelemetryWindowTest, ControlsBeforeTheFirstLoad) {
  EXPECT_EQ(fForm.windowTitle(), QStringLiteral("Телеметрия DEMO"));
  for (const char* name : {"DualChart1", "DualChart2", "DualChart3"})
    EXPECT_NE(fForm.findChild<TPagedChart*>(name), nullptr) << name;
  for (int k = 1; k <= 12; ++k) {
    auto* combo = fForm.findChild<QComboBox*>(QStringLiteral("cb%1Param").arg(k));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 0);
    const QString ticks = k == 1 ? "cbGrafTicks" : QStringLiteral("cbGraf%1Ticks").arg(k);
    auto* box = fForm.findChild<QCheckBox*>(ticks);
    ASSERT_NE(box, nullptr) << ticks.toStdString();
    EXPECT_FALSE(box->isVisible());
  }
  EXPECT_NE(fForm.findChild<QSplitterHandle*>("Splitter1"), nullptr);
  EXPECT_NE(fForm.findChild<QSplitterHandle*>("Splitter2"), nullptr);
  EXPECT_EQ(fForm.scbarLog->maximum(), 10000);
  EXPECT_EQ(fForm.scbarLog->pageStep(), 100);
  EXPECT_TRUE(fForm.scbarLog->isEnabled());
  EXPECT_FALSE(fForm.findChild<QFrame*>("pnlButtons")->isEnabled());
  EXPECT_TRUE(fForm.ODLogFile->testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_NE(fForm.TelemetryLogger, nullptr);  // made when the window first showed
  // Moving the bar without a log shows nothing and fails nothing.
  fForm.scbarLog->setValue(600);
  EXPECT_EQ(Shown("edRPM"), "");
}

TEST_F(TelemetryWindowTest, ItemsSelectSlotsByPositionAndBlankEmptiesACurve) {
  QByteArray text = "Time\tA\tB\r\n";
  for (int i = 0; i < 10; ++i)
    text += QByteArray::number(i) + "\t" + QByteArray::number(-i) + "\t5\r\n";
  Load(Write(text));
  QComboBox* cb1 = fForm.ParamCombo(1);
  ASSERT_EQ(cb1->count(), 3);
  EXPECT_EQ(cb1->itemText(0), " ");
  EXPECT_EQ(cb1->itemText(1), "A");
  EXPECT_EQ(cb1->itemText(2), "B");
  EXPECT_EQ(cb1->currentIndex(), 1);
  EXPECT_EQ(fForm.ParamCombo(2)->currentIndex(), 2);
  EXPECT_EQ(fForm.ParamCombo(3)->currentIndex(), -1);  // no such item
  EXPECT_EQ(fForm.ParamCombo(12)->currentIndex(), 0);
  EXPECT_EQ(Chart(1)->CurvePointCount(0), 10);
  EXPECT_EQ(Chart(1)->Series(0)->at(3), QPointF(3, -3));
  EXPECT_EQ(Chart(1)->CurveMin(0), -9);
  EXPECT_EQ(Chart(1)->CurvePointCount(2), 0);
  // The cursor at record 1 spans the chart's data, 0 included, and 5 % above it.
  ASSERT_EQ(Chart(1)->Series(TPagedChart::kCursorCurve)->count(), 2);
  EXPECT_EQ(Chart(1)->Series(4)->at(0), QPointF(1, -9));
  EXPECT_EQ(Chart(1)->Series(4)->at(1), QPointF(1, 5 * 1.05));
  EXPECT_EQ(Shown("edRPM"), "-1");
  EXPECT_EQ(Shown("edTime"), "1");
  // A user choosing the blank empties the curve; choosing "B" draws slot 2.
  cb1->setCurrentIndex(0);
  EXPECT_EQ(Chart(1)->CurvePointCount(0), 0);
  EXPECT_EQ(Chart(1)->Series(0)->count(), 0);
  cb1->setCurrentIndex(2);
  EXPECT_EQ(Chart(1)->Series(0)->at(0).y(), 5);
  // The hidden tick boxes show a curve's value labels.
  fForm.findChild<QCheckBox*>("cbGrafTicks")->click();
  EXPECT_TRUE(Chart(1)->Series(0)->pointLabelsVisible());
}

TEST_F(TelemetryWindowTest, HeaderOnlyLogShowsNothing) {
  Load(Write(LogHeaderLine()));
  EXPECT_EQ(fForm.ParamCombo(11)->currentText(), "SPEED");
  for (int h = 1; h <= 3; ++h)
    for (int c = 0; c <= 4; ++c) EXPECT_EQ(Chart(h)->CurvePointCount(c), 0);
  EXPECT_EQ(Position(), 0);
  EXPECT_EQ(Shown("edRPM"), "");
  EXPECT_TRUE(fForm.pnlButtons->isEnabled());
}

TEST_F(TelemetryWindowTest, PagesFollowThePositionOnePageAtATime) {
  Load(Write(MakeLog(2000)));
  EXPECT_EQ(Position(), 1);
  EXPECT_EQ(Chart(1)->Page(), 1);
  EXPECT_EQ(Chart(1)->Series(0)->count(), 500);
  EXPECT_EQ(Shown("edRPM"), "11");
  fForm.btnForward->click();
  EXPECT_EQ(Position(), 1002);
  for (int h = 1; h <= 3; ++h) EXPECT_EQ(Chart(h)->Page(), 3) << h;
  EXPECT_EQ(Chart(1)->Series(0)->at(0), QPointF(100, 10 + 1000));
  EXPECT_EQ(Shown("edTime"), "100.2");
  fForm.btnToEnd->click();
  EXPECT_EQ(Position(), 1999);
  EXPECT_EQ(Chart(2)->Page(), 4);
  EXPECT_EQ(Shown("edSpeed"), QString::number(110 + 1999));
  // Dragging the bar back by several pages moves the charts one page per change.
  fForm.scbarLog->setValue(10);
  EXPECT_EQ(Chart(1)->Page(), 3);
  fForm.scbarLog->setValue(11);
  EXPECT_EQ(Chart(1)->Page(), 2);
  fForm.btnToBegin->click();
  EXPECT_EQ(Position(), 1);
  EXPECT_EQ(Chart(3)->Page(), 1);
}

TEST_F(TelemetryWindowTest, StepsAndTheEndsOfTheBar) {
  Load(Write(MakeLog(300)));
  fForm.btnRewind->click();  // 997, clamped to the end of the bar: no record there
  EXPECT_EQ(Position(), 300);
  EXPECT_EQ(Shown("edRPM"), "11");
  fForm.btnStop->click();
  EXPECT_EQ(Position(), 1);
  fForm.btnMinus->click();
  fForm.btnMinus->click();
  EXPECT_EQ(Position(), 0);
  EXPECT_EQ(Shown("edTime"), "0");
  fForm.btnPlus->click();
  EXPECT_EQ(Position(), 1);
  fForm.btnToEnd->click();
  fForm.btnPlus->click();
  EXPECT_EQ(Position(), 299);
  // Play at the last record returns at once.
  const int64_t start = NowMs();
  fForm.btnPlay->click();
  EXPECT_LT(NowMs() - start, 500);
  EXPECT_EQ(Position(), 299);
}

TEST_F(TelemetryWindowTest, PlayRunsToTheEndOrUntilPaused) {
  Load(Write(MakeLog(12)));
  fForm.btnPlay->click();
  EXPECT_EQ(Position(), 11);
  EXPECT_EQ(Shown("edRPM"), "21");
  fForm.btnToBegin->click();
  Load(Write(MakeLog(400), "long.txt"));
  EXPECT_EQ(fForm.scbarLog->maximum(), 400);
  QTimer::singleShot(100, [this] { fForm.btnPause->click(); });
  fForm.btnPlay->click();
  EXPECT_GT(Position(), 1);
  EXPECT_LT(Position(), 399);
}

TEST_F(TelemetryWindowTest, FailedLoadLeavesTheWindowAsItWas) {
  Load(Write(MakeLog(50)));
  fForm.btnPlus->click();
  QString message;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    EXPECT_EQ(box->windowTitle(), "Tarvelo");
    message = box->text();
    box->accept();
  });
  Load(Write("Time\tX\r\n1\tbad\r\n", "bad.txt"));
  EXPECT_EQ(message, "'bad' is not a valid floating point value");
  EXPECT_EQ(fForm.ParamCombo(1)->itemText(1), "RPM");
  EXPECT_EQ(Chart(1)->CurvePointCount(0), 50);
  EXPECT_EQ(Position(), 2);
  EXPECT_EQ(fForm.scbarLog->maximum(), 50);
}

TEST_F(TelemetryWindowTest, SecondLoadAtTheSamePositionShowsTheNewLog) {
  Load(Write(MakeLog(20)));
  EXPECT_EQ(Shown("edRPM"), "11");
  QByteArray other = LogHeaderLine();
  for (int i = 0; i < 5; ++i) other += LogRecordLine(i, LiveRecord{0, 7000.0 + i}, '.');
  Load(Write(other, "other.txt"));
  EXPECT_EQ(Position(), 1);
  EXPECT_EQ(Shown("edRPM"), "7001");
  ASSERT_EQ(Chart(1)->Series(4)->count(), 2);
}

// The axes once laid out a tick for every unit of a wide range after a narrow one.
TEST_F(TelemetryWindowTest, WideValueRangesDrawAtOnce) {
  Load(Write(MakeLog(3)));
  QByteArray wide = LogHeaderLine();
  wide += "0\t1e299\t-1.7e308\r\n1\t-1e299\t1.7e308\r\n2\t7354.2\t0\r\n";
  const int64_t start = NowMs();
  Load(Write(wide, "wide.txt"));
  fForm.btnPlus->click();
  Load(Write(MakeLog(3), "narrow.txt"));
  EXPECT_LT(NowMs() - start, 3000);
  EXPECT_EQ(Shown("edRPM"), "11");
}

TEST_F(TelemetryWindowTest, CloseEmptiesTheChartsButKeepsTheLog) {
  Load(Write(MakeLog(30)));
  fForm.OKBtn->click();
  EXPECT_FALSE(fForm.isVisible());
  EXPECT_EQ(Chart(1)->CurvePointCount(0), 0);
  EXPECT_EQ(Chart(1)->CurvePointCount(4), 0);
  EXPECT_FALSE(fForm.scbarLog->isEnabled());
  EXPECT_FALSE(fForm.pnlButtons->isEnabled());
  fForm.show();
  fForm.ParamCombo(5)->setCurrentIndex(3);
  EXPECT_EQ(Chart(2)->CurvePointCount(0), 30);
  EXPECT_EQ(Chart(2)->CurveMax(0), 30 + 29);
  EXPECT_FALSE(fForm.pnlButtons->isEnabled());
}
