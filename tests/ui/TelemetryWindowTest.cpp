#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QHash>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitterHandle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <functional>

#include "common/Clock.h"
#include "telemetry/LogWriter.h"
#include "ui/telemetry/TelemetryWindow.h"
#include "ui/widgets/PagedChart.h"

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

// Chooses item `index` of a combo box as a user does: opens the list and presses Enter on
// the item, which reports a choice even when the item is already the current one.
void Choose(QComboBox* combo, int index) {
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  view->setCurrentIndex(combo->model()->index(index, 0));
  QTest::keyClick(view, Qt::Key_Return);
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
  Choose(cb1, 0);
  EXPECT_EQ(Chart(1)->CurvePointCount(0), 0);
  EXPECT_EQ(Chart(1)->Series(0)->count(), 0);
  Choose(cb1, 2);
  EXPECT_EQ(Chart(1)->Series(0)->at(0).y(), 5);
  // The hidden tick boxes show a curve's value labels.
  fForm.findChild<QCheckBox*>("cbGrafTicks")->click();
  EXPECT_TRUE(Chart(1)->Series(0)->pointLabelsVisible());
}

// A header alone has nothing to play back: the window shows nothing and says so (it showed
// empty charts without a word).
TEST_F(TelemetryWindowTest, HeaderOnlyLogShowsNothingAndSaysNoRecords) {
  QString message;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    message = box->text();
    box->accept();
  });
  Load(Write(LogHeaderLine()));
  EXPECT_EQ(message, QStringLiteral("В ЛОГе нет ни одной записи"));
  EXPECT_EQ(fForm.ParamCombo(11)->currentText(), "SPEED");
  for (int h = 1; h <= 3; ++h)
    for (int c = 0; c <= 4; ++c) EXPECT_EQ(Chart(h)->CurvePointCount(c), 0);
  EXPECT_EQ(Position(), 0);
  EXPECT_EQ(Shown("edRPM"), "");
  EXPECT_TRUE(fForm.pnlButtons->isEnabled());
}

// Each page button moves the charts exactly one page, and the cursor and the value boxes
// go to a record on the page shown.
TEST_F(TelemetryWindowTest, PageButtonsMoveOnePageWithTheCursorOnIt) {
  Load(Write(MakeLog(2000)));
  EXPECT_EQ(Position(), 1);
  EXPECT_EQ(Chart(1)->Page(), 1);
  EXPECT_EQ(Chart(1)->Series(0)->count(), 500);
  EXPECT_EQ(Shown("edRPM"), "11");
  auto expectOnPage = [&](int page, int position) {
    EXPECT_EQ(Position(), position);
    for (int h = 1; h <= 3; ++h) {
      EXPECT_EQ(Chart(h)->Page(), page) << "chart " << h << " at " << position;
      ASSERT_EQ(Chart(h)->Series(TPagedChart::kCursorCurve)->count(), 2);
      EXPECT_DOUBLE_EQ(Chart(h)->Series(TPagedChart::kCursorCurve)->at(0).x(), position / 10.0);
    }
    EXPECT_EQ(Shown("edRPM"), QString::number(10 + position));
  };
  fForm.btnForward->click();
  expectOnPage(2, 502);
  EXPECT_EQ(Chart(1)->Series(0)->at(0), QPointF(50, 10 + 500));
  fForm.btnForward->click();
  expectOnPage(3, 1002);
  fForm.btnForward->click();
  expectOnPage(4, 1502);
  fForm.btnForward->click();  // the last page: to the last record
  expectOnPage(4, 1999);
  fForm.btnRewind->click();
  expectOnPage(3, 1497);
  fForm.btnRewind->click();
  expectOnPage(2, 997);
  fForm.btnRewind->click();
  expectOnPage(1, 497);
  fForm.btnRewind->click();  // the first page: to its first records, never forward
  expectOnPage(1, 1);
  fForm.btnMinus->click();
  fForm.btnRewind->click();
  expectOnPage(1, 0);

  fForm.btnToEnd->click();
  expectOnPage(4, 1999);
  // Dragging the bar back by several pages moves the charts one page per change.
  fForm.scbarLog->setValue(10);
  EXPECT_EQ(Chart(1)->Page(), 3);
  fForm.scbarLog->setValue(11);
  EXPECT_EQ(Chart(1)->Page(), 2);
  // A page button from there still lands the cursor on the page it shows.
  fForm.btnForward->click();
  expectOnPage(3, 1002);
  fForm.btnToBegin->click();
  expectOnPage(1, 1);
}

// A last page with fewer records than the landing offset: forward goes to the last record.
TEST_F(TelemetryWindowTest, ForwardToAShortLastPageStopsAtTheLastRecord) {
  Load(Write(MakeLog(1001)));
  fForm.btnForward->click();
  EXPECT_EQ(Position(), 502);
  fForm.btnForward->click();
  EXPECT_EQ(Position(), 1000);
  EXPECT_EQ(Chart(1)->Page(), 3);
  EXPECT_EQ(Shown("edRPM"), "1010");
}

TEST_F(TelemetryWindowTest, StepsAndTheEndsOfTheBar) {
  Load(Write(MakeLog(300)));
  fForm.btnRewind->click();  // one page only: the position stays at the first records
  EXPECT_EQ(Position(), 1);
  EXPECT_EQ(Shown("edRPM"), "11");
  fForm.btnForward->click();
  EXPECT_EQ(Position(), 299);
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

// A log with a bad line shows the records before it, all of the window agreeing, and the
// error box names the line and the field.
TEST_F(TelemetryWindowTest, BadLineShowsTheRecordsBeforeIt) {
  Load(Write(MakeLog(50)));
  fForm.btnPlus->click();
  QString message;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    EXPECT_EQ(box->windowTitle(), "Tarvelo");
    message = box->text();
    box->accept();
  });
  Load(Write("Time\tX\tY\r\n0\t7\t1\r\n1\t8\t2\r\n2\t9\t3\r\n3\tbad\t4\r\n4\t5\t6\r\n", "bad.txt"));
  EXPECT_EQ(message, QStringLiteral("Строка 5: 'bad' is not a valid floating point value"));
  QComboBox* cb1 = fForm.ParamCombo(1);
  ASSERT_EQ(cb1->count(), 3);
  EXPECT_EQ(cb1->itemText(1), "X");
  EXPECT_EQ(fForm.ParamCombo(2)->currentText(), "Y");
  EXPECT_EQ(Chart(1)->CurvePointCount(0), 3);
  EXPECT_EQ(Chart(1)->CurveMax(0), 9);
  EXPECT_EQ(Chart(1)->Series(0)->at(2), QPointF(2, 9));
  EXPECT_EQ(Chart(1)->CurvePointCount(1), 3);
  EXPECT_EQ(fForm.scbarLog->maximum(), 3);
  EXPECT_EQ(Position(), 1);
  EXPECT_EQ(Shown("edRPM"), "8");
  EXPECT_EQ(Shown("edTime"), "1");
  ASSERT_EQ(Chart(1)->Series(TPagedChart::kCursorCurve)->count(), 2);
  EXPECT_EQ(Chart(1)->Series(TPagedChart::kCursorCurve)->at(0).x(), 1);
  EXPECT_TRUE(fForm.pnlButtons->isEnabled());
  fForm.btnToEnd->click();
  EXPECT_EQ(Shown("edRPM"), "9");
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
  Choose(fForm.ParamCombo(5), 3);
  EXPECT_EQ(Chart(2)->CurvePointCount(0), 30);
  EXPECT_EQ(Chart(2)->CurveMax(0), 30 + 29);
  EXPECT_FALSE(fForm.pnlButtons->isEnabled());
  // Choosing the name a box already shows draws its curve again.
  ASSERT_EQ(fForm.ParamCombo(1)->currentIndex(), 1);
  Choose(fForm.ParamCombo(1), 1);
  EXPECT_EQ(Chart(1)->CurvePointCount(0), 30);
}

// Enter presses the button that has the focus; elsewhere it presses "Закрыть".
TEST_F(TelemetryWindowTest, EnterPressesTheFocusedButton) {
  Load(Write(MakeLog(30)));
  fForm.activateWindow();
  fForm.btnPlus->setFocus();
  QTest::keyClick(fForm.btnPlus, Qt::Key_Return);
  EXPECT_EQ(Position(), 2);
  EXPECT_TRUE(fForm.isVisible());
  fForm.btnToEnd->setFocus();
  QTest::keyClick(fForm.btnToEnd, Qt::Key_Enter);
  EXPECT_EQ(Position(), 29);
  // The load button asks for a log.
  fForm.LoadLogBtn->setFocus();
  ChooseFile(Write(MakeLog(7), "seven.txt"));
  QTest::keyClick(fForm.LoadLogBtn, Qt::Key_Return);
  EXPECT_EQ(fForm.scbarLog->maximum(), 7);
  EXPECT_TRUE(fForm.isVisible());
  // On a combo box Enter is the window's: the default button closes it.
  fForm.ParamCombo(2)->setFocus();
  QTest::keyClick(fForm.ParamCombo(2), Qt::Key_Return);
  EXPECT_FALSE(fForm.isVisible());
}

namespace {
// WCAG contrast ratio of two colours.
double Contrast(QColor a, QColor b) {
  auto luminance = [](QColor c) {
    auto channel = [](double v) {
      return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
}  // namespace

// The text painted on each coloured combo box stands out from the box's own colour by at
// least 4.5:1: the most frequent colour inside the frame is the box, the pixel farthest
// from it is the text.
TEST_F(TelemetryWindowTest, ComboTextIsReadableOnItsColour) {
  Load(Write(MakeLog(5)));
  for (int k = 1; k <= 12; ++k) {
    QComboBox* combo = fForm.ParamCombo(k);
    Choose(combo, 8);  // "CLT": capitals fill the text area well
    const QImage image = combo->grab().toImage();
    const int inset = 4;
    // Inside the frame, left of the drop-down arrow.
    const QRect inner(inset, inset, image.width() - 2 * inset - 20, image.height() - 2 * inset);
    QHash<QRgb, int> counts;
    for (int y = inner.top(); y <= inner.bottom(); ++y)
      for (int x = inner.left(); x <= inner.right(); ++x) ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
      if (it.value() > most) most = it.value(), background = it.key();
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
      best = std::max(best, Contrast(QColor(background), QColor(it.key())));
    EXPECT_GE(best, 4.5) << "cb" << k << "Param on " << QColor(background).name().toStdString();
  }
}

// Log names need no extension: every filter of the log dialog takes names with and
// without a dot.
TEST_F(TelemetryWindowTest, LogDialogFiltersTakeNamesWithoutADot) {
  const QStringList filters = fForm.ODLogFile->nameFilters();
  ASSERT_FALSE(filters.isEmpty());
  for (const QString& filter : filters) {
    const qsizetype open = filter.lastIndexOf('(');
    const QStringList patterns =
        open < 0 ? QStringList{filter}
                 : filter.mid(open + 1).chopped(1).split(' ', Qt::SkipEmptyParts);
    EXPECT_TRUE(QDir::match(patterns, "drive")) << filter.toStdString();
    EXPECT_TRUE(QDir::match(patterns, "drive.txt")) << filter.toStdString();
  }
}
