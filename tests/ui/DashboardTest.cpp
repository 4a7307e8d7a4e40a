#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLocale>

#include "ui/telemetry/DashboardWindow.h"
#include "ui/widgets/Dial.h"

namespace {

LiveRecord Record(double rpm) {
  LiveRecord r{};
  r[kRPM] = rpm;
  r[kO2] = 0.45;
  return r;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class DashboardTest : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::English)); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
  TfrmIndicators fForm;
};

}  // namespace

TEST_F(DashboardTest, StartsWithItsStartUpReadings) {
  EXPECT_EQ(fForm.windowTitle(), QStringLiteral("Приборная доска  -= Tarvelo=-  DEMO"));
  EXPECT_EQ(fForm.size(), QSize(786, 526));
  auto* rpm = fForm.findChild<Dial*>("RPMmeter");
  ASSERT_NE(rpm, nullptr);
  EXPECT_EQ(rpm->Value(), 56);
  EXPECT_EQ(rpm->SecondValue(), 63);
  EXPECT_EQ(rpm->geometry(), QRect(236, 41, 327, 288));
  EXPECT_EQ(fForm.findChild<Dial*>("LambdaMeter")->Value(), 0.5);
  EXPECT_EQ(fForm.findChild<Dial*>("VoltMeter")->Value(), 14.7);
  EXPECT_EQ(fForm.findChild<Dial*>("CoolantMeter")->Value(), 110);
  EXPECT_EQ(fForm.findChild<Dial*>("AirTMeter")->Value(), 72);
  EXPECT_EQ(fForm.findChild<Dial*>("TrottleMeter")->Value(), 90);
  EXPECT_EQ(fForm.findChild<QLabel*>("lSpeed")->text(), "123");
  EXPECT_EQ(fForm.findChild<QLabel*>("lLambdaNum")->text(), "14.1");
  // Round major steps of about the wanted number of divisions.
  EXPECT_EQ(fForm.findChild<Dial*>("MAFmeter")->MajorStep(), 1);
  EXPECT_EQ(fForm.findChild<Dial*>("VoltMeter")->MajorStep(), 5);
  EXPECT_EQ(fForm.findChild<Dial*>("LambdaMeter")->MajorStep(), 10);
  EXPECT_EQ(fForm.findChild<Dial*>("DCycleMeter")->MajorStep(), 2);
}

TEST_F(DashboardTest, RecordGoesToItsMetersAndValuesClampAtTheScaleEnds) {
  LiveRecord r{0, 8000, 5, 0.45, 6.5, 28, 2.5, 40, 95, -60, 14.1, 87};
  fForm.ShowOnDashboard(r);
  EXPECT_EQ(fForm.RPMmeter->Value(), 70);
  EXPECT_EQ(fForm.LambdaMeter->Value(), 45);
  EXPECT_EQ(fForm.lLambdaNum->text(), "0.45");
  EXPECT_EQ(fForm.IgnAngMeter->Value(), 28);
  EXPECT_EQ(fForm.MAFmeter->Value(), 2.5);
  EXPECT_EQ(fForm.AirTMeter->Value(), -40);
  EXPECT_EQ(fForm.CoolantMeter->Value(), 95);
  EXPECT_EQ(fForm.DCycleMeter->Value(), 6.5);
  EXPECT_EQ(fForm.TrottleMeter->Value(), 40);
  EXPECT_EQ(fForm.VoltMeter->Value(), 14.1);
  EXPECT_EQ(fForm.lSpeed->text(), "87");
  // The figures are never cut off, and the unit stays clear of the speed.
  for (QLabel* label : {fForm.lLambdaNum, fForm.lSpeed})
    EXPECT_GE(label->width(), label->sizeHint().width());
  EXPECT_GT(fForm.Label2->x(), fForm.lSpeed->geometry().right());
  QLocale::setDefault(QLocale(QLocale::Russian));
  fForm.ShowOnDashboard(r);
  EXPECT_EQ(fForm.lLambdaNum->text(), "0,45");
}

TEST_F(DashboardTest, SecondNeedleFollowsRisingRevsOnly) {
  // Right after start-up the main needle reads 56: 2000 rpm is not above it.
  fForm.ShowOnDashboard(Record(2000));
  EXPECT_EQ(fForm.RPMmeter->SecondValue(), 63);
  fForm.ShowOnDashboard(Record(1000));
  std::vector<double> seen;
  for (double rpm : {2000, 3000, 2500, 2800}) {
    fForm.ShowOnDashboard(Record(rpm));
    seen.push_back(fForm.RPMmeter->SecondValue());
  }
  EXPECT_EQ(seen, (std::vector<double>{20, 30, 30, 28}));
}

TEST_F(DashboardTest, DialRepaintsOnlyWhenItsReadingChanges) {
  fForm.show();
  QApplication::processEvents();
  PaintCounter rpm, volt;
  fForm.RPMmeter->installEventFilter(&rpm);
  fForm.VoltMeter->installEventFilter(&volt);
  LiveRecord r = Record(3000);
  r[kVboard] = 14.7;  // what the volt meter shows already
  fForm.ShowOnDashboard(r);
  QApplication::processEvents();
  EXPECT_GE(rpm.paints, 1);
  EXPECT_EQ(volt.paints, 0);
  rpm.paints = 0;
  fForm.ShowOnDashboard(r);
  r[kRPM] = 9000;
  fForm.ShowOnDashboard(r);
  QApplication::processEvents();
  EXPECT_GE(rpm.paints, 1);  // 30 -> 70
  rpm.paints = 0;
  r[kRPM] = 9500;  // still the end of the scale
  fForm.ShowOnDashboard(r);
  QApplication::processEvents();
  EXPECT_EQ(rpm.paints, 0);
  fForm.hide();
}

// The lambda figure stands inside its dial between the scale's end figures: grown wider
// than its 50 pixels by a wide font, it must not blank out the dial's own figures ("100").
TEST_F(DashboardTest, LambdaFigureLeavesTheDialFiguresReadable) {
  for (double o2 : {0.87, 1.05, 0.45}) {
    LiveRecord r = Record(2000);
    r[kO2] = o2;
    fForm.ShowOnDashboard(r);
    Dial* dial = fForm.LambdaMeter;
    const QImage face = dial->grab().toImage();
    const QImage panel = dial->parentWidget()->grab().toImage();
    const QRect label = fForm.lLambdaNum->geometry();
    auto white = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200; };
    int dialFigurePixels = 0, blanked = 0;
    for (int y = label.top(); y <= label.bottom(); ++y)
      for (int x = label.left(); x <= label.right(); ++x) {
        const QPoint onFace = QPoint(x, y) - dial->pos();
        if (!face.rect().contains(onFace) || !white(face.pixel(onFace))) continue;
        ++dialFigurePixels;
        if (!white(panel.pixel(x, y))) ++blanked;
      }
    EXPECT_EQ(blanked, 0) << "O2 " << o2 << ": " << dialFigurePixels << " figure pixels";
    EXPECT_GE(fForm.lLambdaNum->width(), fForm.lLambdaNum->sizeHint().width());
  }
}
