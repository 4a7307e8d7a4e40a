// The diagnostic road from the window: connect to the simulated unit, read and clear its
// fault codes, disconnect; and a port with nothing behind it.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "link/ScanThread.h"
#include "link/ScanUtils.h"
#include "sim/Simulator.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/link/LinkPanel.h"
#include "ui/widgets/PieGauge.h"

namespace {
constexpr int kBitMs = 50;

class LinkPanelTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // A quick wake-up on both sides, so a connection takes a fraction of a second.
    ScanUtils::SetWakeTiming(5 * kBitMs, kBitMs);
    TLinkPanel::SetRestMs(20);
    TheSimulator()->Reset();
    SimUnitSettings unit;
    unit.wakeBitMs = kBitMs;
    TheSimulator()->SetUnitSettings(unit);
  }
  void TearDown() override {
    ProgramTest::TearDown();
    ScanUtils::SetWakeTiming(1000, 200);
    TLinkPanel::SetRestMs(2000);
  }
  void StartWithDevice(const QByteArray& device) {
    QFile ini(TempPath("config/Tarvelo/CTESTER.INI"));
    QDir().mkpath(TempPath("config/Tarvelo"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[COMM]\r\nPORT=0\r\n[DEVICES]\r\nCOM1=" + device + "\r\n");
    ini.close();
    Start(true);
  }
  // Presses "connect" until the connection is established, as a user would: the quick
  // wake-up these cases use can be spoilt by a busy machine, and the connection then ends
  // with the button up. True once established.
  bool Connect() {
    auto* button = Find<QToolButton>("sbConnect");
    auto* panel = Find<QWidget>("pnlTS");
    for (int attempt = 0; attempt < 3; ++attempt) {
      button->click();
      PumpUntil([&] { return panel->isEnabled() || !button->isChecked(); }, 10000);
      if (panel->isEnabled()) return true;
      PumpUntil([&] { return !Link().Connected(); }, 5000);
    }
    return false;
  }
  QStringList Lines() { return Find<QPlainTextEdit>("memTS")->toPlainText().split('\n'); }
  QLabel* Status() { return Find<QLabel>("lLink"); }
  TLinkPanel& Link() { return MainLink(); }
};
}  // namespace

TEST_F(LinkPanelTest, ConnectReadClearAndDisconnect) {
  TheSimulator()->SetFaultCodes({5, 100, 16});
  StartWithDevice("sim");
  auto* button = Find<QToolButton>("sbConnect");
  ASSERT_TRUE(button->isVisible());
  button->click();
  EXPECT_EQ(button->toolTip(), "Отключиться от Мотроника");
  ASSERT_TRUE(PumpUntil([&] { return Find<QWidget>("pnlTS")->isEnabled(); }, 10000));
  EXPECT_EQ(Status()->text(), "Соединение установлено ...");
  EXPECT_EQ(Status()->palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_FALSE(MainAction("N14")->isEnabled());
  EXPECT_TRUE(Find<QWidget>("Gauge1")->isVisible());

  Find<QPushButton>("btnReadTS")->click();
  ASSERT_TRUE(PumpUntil([&] { return Lines().size() >= 4; }, 10000));
  EXPECT_EQ(Lines(),
            QStringList({"Чтение TC ...", "5 - Tank Ventilation Valve",
                         "100 - DME Control Unit Final Stage", "16 - Injection Valve(s)"}));
  Find<QPushButton>("btnClearTS")->click();
  ASSERT_TRUE(PumpUntil([] { return TheSimulator()->FaultCodes().empty(); }, 10000));
  EXPECT_EQ(Lines().last(), "Стирание TC ...");
  Find<QPushButton>("btnReadTS")->click();
  ASSERT_TRUE(PumpUntil([&] { return Lines().size() == 2; }, 10000));
  EXPECT_EQ(Lines(), QStringList({"Чтение TC ...", "TC отсутствуют!"}));

  // Releasing the button asks the unit to end; the link stays up until it falls silent.
  button->click();
  EXPECT_EQ(button->toolTip(), "Подключиться к Мотронику");
  ASSERT_TRUE(PumpUntil([&] { return !Link().Connected(); }, 10000));
  EXPECT_EQ(Status()->text(), "Нет соединения!");
  EXPECT_EQ(Status()->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_FALSE(button->isChecked());
  EXPECT_TRUE(MainAction("N14")->isEnabled());
  EXPECT_FALSE(Find<QWidget>("pnlTS")->isEnabled());
  EXPECT_FALSE(Find<QWidget>("Gauge1")->isVisible());
}

// A request made for one connection never reaches the unit in a later one.
TEST_F(LinkPanelTest, ReleasingTheButtonDuringAFailedWakeUpDoesNotEndTheNextConnection) {
  SimUnitSettings unit = TheSimulator()->UnitSettings();
  unit.silent = true;
  TheSimulator()->SetUnitSettings(unit);
  StartWithDevice("sim");
  auto* button = Find<QToolButton>("sbConnect");
  button->click();
  Pump(100);
  button->click();  // released while the unit is being woken
  ASSERT_TRUE(PumpUntil([&] { return !Link().Connected(); }, 10000));

  unit.silent = false;
  TheSimulator()->SetUnitSettings(unit);
  button->click();
  auto* gauge = Find<TPieGauge>("Gauge1");
  ASSERT_TRUE(PumpUntil([&] { return Find<QWidget>("pnlTS")->isEnabled(); }, 10000));
  const int progress = gauge->Progress();
  ASSERT_TRUE(PumpUntil([&] { return gauge->Progress() >= progress + 3; }, 10000));
  EXPECT_TRUE(Link().Connected());
  EXPECT_EQ(Status()->text(), "Соединение установлено ...");
  EXPECT_EQ(TheSimulator()->Connections(), 1);
}

TEST_F(LinkPanelTest, AClearPressedJustBeforeALostLinkIsNotSentToTheNextConnection) {
  TheSimulator()->SetFaultCodes({5, 100});
  SimUnitSettings unit = TheSimulator()->UnitSettings();
  // The unit's third block comes too late: the link is lost 500 ms after the second.
  unit.slowAt = 2;
  unit.slowMs = 1500;
  TheSimulator()->SetUnitSettings(unit);
  StartWithDevice("sim");
  auto* button = Find<QToolButton>("sbConnect");
  button->click();
  ASSERT_TRUE(PumpUntil([&] { return Find<QWidget>("pnlTS")->isEnabled(); }, 10000));
  Pump(150);
  Find<QPushButton>("btnClearTS")->click();
  ASSERT_TRUE(PumpUntil([&] { return !Link().Connected(); }, 10000));
  EXPECT_EQ(Lines().last(), "Стирание TC ...");

  unit.slowAt = -1;
  TheSimulator()->SetUnitSettings(unit);
  button->click();
  ASSERT_TRUE(PumpUntil([&] { return Find<QWidget>("pnlTS")->isEnabled(); }, 10000));
  Pump(300);
  EXPECT_TRUE(Link().Connected());
  EXPECT_EQ(TheSimulator()->FaultCodes(), (std::vector<uint8_t>{5, 100}));
}

TEST_F(LinkPanelTest, GaugeTurnsOneStepPerAcknowledgementAndWraps) {
  StartWithDevice("sim");
  auto* gauge = Find<TPieGauge>("Gauge1");
  gauge->SetProgress(29);
  Link().UpdateGauge1();
  EXPECT_EQ(gauge->Progress(), 30);
  Link().UpdateGauge1();
  EXPECT_EQ(gauge->Progress(), 0);
}

TEST_F(LinkPanelTest, NothingBehindThePortEndsInNoConnection) {
  StartWithDevice(TempPath("no-such-device").toLocal8Bit());
  auto* button = Find<QToolButton>("sbConnect");
  QString why;
  AnswerMessageBox(QMessageBox::Ok, &why);
  button->click();
  EXPECT_TRUE(why.endsWith("no-such-device не существует: подключён ли адаптер и верно ли имя?"));
  ASSERT_TRUE(PumpUntil([&] { return !Link().Connected(); }, 10000));
  EXPECT_EQ(Status()->text(), "Нет соединения!");
  EXPECT_FALSE(button->isChecked());
}

TEST_F(LinkPanelTest, ClosingTheWindowEndsARunningConnection) {
  StartWithDevice("sim");
  ASSERT_TRUE(Connect());
  frmMain->close();
  EXPECT_FALSE(Link().Connected());
  EXPECT_EQ(Link().ScanThread(), nullptr);
}

namespace {
// The real 3 s wake-up, so that a user's presses fall inside it as they would at a car.
class LinkPanelRealWakeTest : public LinkPanelTest {
 protected:
  void SetUp() override {
    LinkPanelTest::SetUp();
    ScanUtils::SetWakeTiming(1000, 200);
    SimUnitSettings unit = TheSimulator()->UnitSettings();
    unit.wakeBitMs = 200;
    TheSimulator()->SetUnitSettings(unit);
    TheSimulator()->SetFaultCodes({5, 100});
  }
  void SetSilent(bool silent) {
    SimUnitSettings unit = TheSimulator()->UnitSettings();
    unit.silent = silent;
    TheSimulator()->SetUnitSettings(unit);
  }
  // The connection is up and stays up: the button down, the status established, the
  // thread running, for `ms` after it was first seen established.
  void ExpectHeld(int ms) {
    auto* button = Find<QToolButton>("sbConnect");
    ASSERT_TRUE(PumpUntil([&] { return Status()->text() == "Соединение установлено ..."; }, 15000));
    bool held = true;
    PumpUntil(
        [&] {
          held = held && Link().Connected() && button->isChecked() &&
                 Status()->text() == "Соединение установлено ...";
          return !held;
        },
        ms);
    EXPECT_TRUE(held);
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(button->toolTip(), "Отключиться от Мотроника");
    EXPECT_TRUE(Find<QWidget>("Gauge1")->isVisible());
    EXPECT_TRUE(Find<QWidget>("pnlTS")->isEnabled());
  }
};
}  // namespace

// A user gives up on a slow wake-up and presses "connect" again: the end asked for by the
// release is taken back, and the connection he asked for last is held.
TEST_F(LinkPanelRealWakeTest, APressDuringAReleasedWakeUpKeepsTheConnection) {
  SetSilent(true);
  StartWithDevice("sim");
  auto* button = Find<QToolButton>("sbConnect");
  button->click();
  Pump(600);
  button->click();  // released while the unit is being woken
  EXPECT_FALSE(Find<QWidget>("Gauge1")->isVisible());
  Pump(1000);
  SetSilent(false);
  button->click();  // pressed again before the wake-up ends
  EXPECT_TRUE(Find<QWidget>("Gauge1")->isVisible());
  ExpectHeld(2500);
  EXPECT_EQ(TheSimulator()->Connections(), 1);
  EXPECT_EQ(TheSimulator()->FaultCodes(), (std::vector<uint8_t>{5, 100}));
}

TEST_F(LinkPanelRealWakeTest, QuickPressesAndReleasesEndInOneHeldConnectionOnOneThread) {
  StartWithDevice("sim");
  ResetPeakScanThreads();
  auto* button = Find<QToolButton>("sbConnect");
  for (int i = 0; i < 6; ++i) {
    button->click();
    Pump(150);
    button->click();
    Pump(150);
  }
  button->click();
  ExpectHeld(2500);
  EXPECT_EQ(TheSimulator()->Connections(), 1);
  EXPECT_EQ(PeakScanThreads(), 1);
  EXPECT_EQ(RunningScanThreads(), 1);
  EXPECT_EQ(TheSimulator()->FaultCodes(), (std::vector<uint8_t>{5, 100}));
}

// Once the end request has gone to the unit, a press cannot call it back: the connection
// ends as released and the button and the status agree that it has.
TEST_F(LinkPanelTest, APressAfterTheEndWasSentEndsWithTheButtonUp) {
  StartWithDevice("sim");
  auto* button = Find<QToolButton>("sbConnect");
  button->click();
  ASSERT_TRUE(PumpUntil([&] { return Find<QWidget>("pnlTS")->isEnabled(); }, 10000));
  button->click();
  ASSERT_TRUE(PumpUntil([] { return PendingRequest.load() == LinkRequest::None; }, 5000));
  button->click();
  ASSERT_TRUE(PumpUntil([&] { return !Link().Connected(); }, 10000));
  EXPECT_FALSE(button->isChecked());
  EXPECT_EQ(Status()->text(), "Нет соединения!");
  EXPECT_FALSE(Find<QWidget>("Gauge1")->isVisible());
}
