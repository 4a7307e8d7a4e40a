// The link's commands in "&Опции" as a user meets them: the port dialog on a made-up machine,
// the cable test, a port that cannot be opened said in words, the FTDI latency timer on
// connect, a driver that cannot hold the break wake-up, and the session trace.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "link/EchoPeer.h"
#include "link/FakeSysTree.h"
#include "link/ScanUtils.h"
#include "sim/Simulator.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/link/LinkPanel.h"
#include "ui/link/PortTexts.h"

namespace {

constexpr int kBitMs = 50;

class DiagPortTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ScanUtils::SetWakeTiming(5 * kBitMs, kBitMs);
    TLinkPanel::SetRestMs(20);
    TheSimulator()->Reset();
    SimUnitSettings unit;
    unit.wakeBitMs = kBitMs;
    TheSimulator()->SetUnitSettings(unit);
  }
  void TearDown() override {
    ProgramTest::TearDown();
    qunsetenv("TARVELO_SYS_ROOT");
    SetLinkPortUser(std::nullopt);
    ScanUtils::SetWakeTiming(1000, 200);
    TLinkPanel::SetRestMs(2000);
  }
  void StartWithIni(const QByteArray& text) {
    QDir().mkpath(TempPath("config/Tarvelo"));
    QFile ini(Ini());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(text);
    ini.close();
    Start(true);
  }
  QString Ini() const { return TempPath("config/Tarvelo/CTESTER.INI"); }
  QByteArray IniText() const {
    QFile ini(Ini());
    ini.open(QIODevice::ReadOnly);
    return ini.readAll();
  }
  static void Shot(QWidget* widget, const QString& name) {
    widget->grab().save(QDir::temp().filePath("tarvelo-" + name + ".png"));
  }
  // Runs a command whose message box is answered with OK; the box's text.
  QString BoxOf(const std::function<void()>& command) {
    QString text;
    AnswerNextModal([&text](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr) << modal->metaObject()->className() << " "
                              << modal->objectName().toStdString();
      text = box->text();
      Shot(box, box->objectName());
      box->button(QMessageBox::Ok)->click();
    });
    command();
    return text;
  }
};

}  // namespace

TEST_F(DiagPortTest, ThePortDialogShowsTheMachinesPortsAndWritesTheChoiceAsByHand) {
  FakeSysTree tree;
  tree.AddUsb("ttyUSB0", "ftdi_sio", "0403", "6001", 16, 0666);
  tree.Link("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "../../ttyUSB0");
  tree.AddUsb("ttyUSB1", "ch341", "1a86", "7523", std::nullopt, 0666);
  tree.AddUsb("ttyUSB2", "pl2303", "067b", "2303", std::nullopt, 0660);
  tree.AddProcess(812, "ModemManager", {"/dev/ttyUSB1"});
  tree.NameNodeGroup("dialout");
  qputenv("TARVELO_SYS_ROOT", tree.root().toLocal8Bit());
  TPortUser anna;
  anna.uid = 4242;
  anna.name = "anna";
  SetLinkPortUser(anna);
  StartWithIni("; my cable\r\n[COMM]\r\nPORT=0\r\nL-LINE=7\r\n[DEVICES]\r\nCOM1=sim\r\n");

  QStringList rows;
  QString advice;
  AnswerNextModal([&](QWidget* modal) {
    ASSERT_EQ(modal->objectName(), "frmDiagPort");
    auto* list = modal->findChild<QTreeWidget*>("lvPorts");
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      QStringList cells;
      for (int c = 0; c < list->columnCount(); ++c) cells << list->topLevelItem(i)->text(c);
      rows << cells.join(" | ");
    }
    // The simulator is the port in use; the user picks the FTDI adapter.
    EXPECT_EQ(list->currentItem()->text(0), "Симулятор (sim)");
    list->setCurrentItem(list->topLevelItem(0));
    advice = modal->findChild<QLabel*>("lPortAdvice")->text();
    // An "L-LINE" of 7 is shown as RTS and, left alone, keeps its digit.
    EXPECT_EQ(modal->findChild<QComboBox*>("cbWakeLine")->currentIndex(), 1);
    modal->resize(900, 420);
    Shot(modal, "frmDiagPort");
    static_cast<QDialog*>(modal)->accept();
  });
  Find<QAction>("actDiagPort")->trigger();
  ASSERT_EQ(rows.size(), 4);
  EXPECT_EQ(rows[0], "/dev/ttyUSB0 | ftdi_sio | FT232R | 0403:6001 | 16 мс | да | ");
  EXPECT_EQ(rows[1], "/dev/ttyUSB1 | ch341 | CH340 | 1a86:7523 | — | да | ModemManager");
  EXPECT_EQ(rows[2], "/dev/ttyUSB2 | pl2303 | PL2303 | 067b:2303 | — | нет (группа dialout) | ");
  EXPECT_EQ(rows[3], "Симулятор (sim) | встроенный |  |  |  |  | ");
  EXPECT_TRUE(advice.contains("• Таймер задержки 16 мс")) << advice.toStdString();
  EXPECT_TRUE(advice.contains("/dev/serial/by-id/usb-FTDI_FT232R"));
  const QByteArray byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  EXPECT_EQ(IniText(),
            "; my cable\r\n[COMM]\r\nPORT=0\r\nL-LINE=7\r\n[DEVICES]\r\nCOM1=" + byId + "\r\n");

  // Choosing the wake-up by breaks writes L-LINE=2.
  AnswerNextModal([&](QWidget* modal) {
    modal->findChild<QComboBox*>("cbWakeLine")->setCurrentIndex(2);
    static_cast<QDialog*>(modal)->accept();
  });
  Find<QAction>("actDiagPort")->trigger();
  EXPECT_TRUE(IniText().contains("L-LINE=2\r\n"));
  EXPECT_TRUE(IniText().contains("COM1=" + byId));
}

TEST_F(DiagPortTest, TheCableTestReportsTheEchoOfTheSimulatorAndOfACableWithoutOne) {
  StartWithIni("[DEVICES]\r\nCOM1=sim\r\n");
  const QString right = BoxOf([] { Find<QAction>("actCableTest")->trigger(); });
  EXPECT_TRUE(
      right.startsWith("COM1 (sim)\n\nЭхо верное: вернулись все 32 байт, время оборота "
                       "мин. "))
      << right.toStdString();

  EchoPeer silent(EchoPeer::Silent);
  QFile ini(Ini());
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[DEVICES]\r\nCOM1=" + silent.slave().toLocal8Bit() + "\r\n");
  ini.close();
  const QString none = BoxOf([] { Find<QAction>("actCableTest")->trigger(); });
  EXPECT_TRUE(none.contains("Нет эха: ни один из 4 байт не вернулся")) << none.toStdString();
  EXPECT_EQ(Find<QMessageBox>("frmCableTest")->windowTitle(), "Проверка кабеля");
}

TEST_F(DiagPortTest, APortThatCannotBeOpenedIsSaidInWordsOnConnectAndInTheCableTest) {
  const QByteArray missing = TempPath("ttyUSB9").toLocal8Bit();
  StartWithIni("[DEVICES]\r\nCOM1=" + missing + "\r\n");
  const QString onTest = BoxOf([] { Find<QAction>("actCableTest")->trigger(); });
  EXPECT_EQ(onTest, missing + " не существует: подключён ли адаптер и верно ли имя?");
  auto* button = Find<QToolButton>("sbConnect");
  const QString onConnect = BoxOf([&] { button->click(); });
  EXPECT_EQ(onConnect, onTest);
  // The connection then runs its course and ends as it always has.
  ASSERT_TRUE(PumpUntil([&] { return !MainLink().Connected(); }, 10000));
  EXPECT_EQ(Find<QLabel>("lLink")->text(), "Нет соединения!");
  EXPECT_FALSE(button->isChecked());
}

TEST_F(DiagPortTest, AHighLatencyTimerIsLoweredOnConnectOrTheCommandIsToldOnce) {
  EchoPeer silent(EchoPeer::Silent);
  FakeSysTree tree;
  tree.AddUsb("ttyUSB0", "ftdi_sio", "0403", "6001", 16, 0666);
  QFile::remove(tree.Path("dev/ttyUSB0"));
  tree.Link("dev/ttyUSB0", silent.slave());  // the adapter's node leads to the test's line
  qputenv("TARVELO_SYS_ROOT", tree.root().toLocal8Bit());
  TPortUser anna;
  anna.uid = 4242;
  SetLinkPortUser(anna);  // may not write the timer
  StartWithIni("[DEVICES]\r\nCOM1=/dev/ttyUSB0\r\n");
  auto* button = Find<QToolButton>("sbConnect");
  const QString told = BoxOf([&] { button->click(); });
  EXPECT_TRUE(told.contains("echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer"))
      << "[" << told.toStdString() << "]";
  ASSERT_TRUE(PumpUntil([&] { return !MainLink().Connected(); }, 10000));
  // Told once: the next connection starts without a word.
  button->click();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return !MainLink().Connected(); }, 10000));
  // Where the program may write it, it sets 1 ms itself.
  SetLinkPortUser(std::nullopt);
  button->click();
  ASSERT_TRUE(PumpUntil([&] { return !MainLink().Connected(); }, 10000));
  QFile timer(tree.Path("sys/bus/usb-serial/devices/ttyUSB0/latency_timer"));
  ASSERT_TRUE(timer.open(QIODevice::ReadOnly));
  EXPECT_EQ(timer.readAll().trimmed(), "1");
}

TEST_F(DiagPortTest, ADriverThatCannotHoldABreakIsNamedAndNoWakeUpIsTried) {
  SimUnitSettings unit = TheSimulator()->UnitSettings();
  unit.breakRefused = true;
  TheSimulator()->SetUnitSettings(unit);
  StartWithIni("[COMM]\r\nL-LINE=2\r\n[DEVICES]\r\nCOM1=sim\r\n");
  auto* button = Find<QToolButton>("sbConnect");
  const QString text = BoxOf([&] { button->click(); });
  EXPECT_TRUE(text.startsWith("Драйвер sim не умеет удерживать разрыв линии (break)."))
      << text.toStdString();
  EXPECT_FALSE(button->isChecked());
  EXPECT_FALSE(MainLink().Connected());
  EXPECT_EQ(TheSimulator()->Connections(), 0);
}

TEST_F(DiagPortTest, TheSessionTraceIsSavedOnRequestAndWithTraceOneBesideTheLogs) {
  StartWithIni("[COMM]\r\nTRACE=1\r\n[DEVICES]\r\nCOM1=sim\r\n");
  const QString logs = TempPath("logs");
  QDir().mkpath(logs);
  frmMain->findChild<QFileDialog*>("sdLogFile")->setDirectory(logs);
  auto* button = Find<QToolButton>("sbConnect");
  button->click();
  ASSERT_TRUE(PumpUntil([&] { return Find<QWidget>("pnlTS")->isEnabled(); }, 10000));
  const QString saved = TempPath("trace.txt");
  AnswerFileDialog(saved);
  Find<QAction>("actSaveLinkTrace")->trigger();
  QFile file(saved);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.startsWith("# Tarvelo K-line trace\n# port COM1 = sim; 19200 baud"));
  EXPECT_TRUE(text.contains("  <  55\n"));
  button->click();
  ASSERT_TRUE(PumpUntil([&] { return !MainLink().Connected(); }, 10000));
  const QStringList written = QDir(logs).entryList({"kline-*.txt"});
  ASSERT_EQ(written.size(), 1);
  QFile beside(QDir(logs).filePath(written[0]));
  ASSERT_TRUE(beside.open(QIODevice::ReadOnly));
  EXPECT_TRUE(beside.readAll().contains("  >  7E\n"));
}
