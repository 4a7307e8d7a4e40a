// The program frame as a user meets it: start-up, the model dialog, the menu's enable
// rules and shortcuts, the windows it opens.
#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>

#include "calibration/CalibrationSession.h"
#include "support/MainWindowParts.h"
#include "support/UiTestHelpers.h"
#include "ui/telemetry/DashboardWindow.h"
#include "ui/widgets/ErrorBox.h"

namespace {
QAction* Act(const char* name) {
  return frmMain->findChild<QAction*>(QLatin1String(name));
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}
}  // namespace

using Shell = ProgramTest;

TEST_F(Shell, StartsWithItsFiveWindowsAndTheFrameAsDescribed) {
  Start();
  EXPECT_EQ(frmMain->windowTitle(), "-= Tarvelo=-  DEMO");
  EXPECT_EQ(QApplication::applicationName(), "Tarvelo");
  for (const char* name : {"frmMain", "AboutBox", "frmIndicators", "FrmTelemetry", "frmSelectDME"})
    EXPECT_NE(Find<QWidget>(name), nullptr) << name;
  auto* pages = Find<QTabWidget>("PageControl1");
  ASSERT_NE(pages, nullptr);
  QStringList captions;
  for (int i = 0; i < pages->count(); ++i) captions << pages->tabText(i);
  EXPECT_EQ(captions, QStringList({"Топливо", "Зажигание", "Х.Х.", "Макс. нагрузка",
                                   "Прочие настройки", "ДМРВ", "Диагностика"}));
  EXPECT_EQ(pages->currentWidget()->objectName(), "TabSheet1");
  EXPECT_EQ(Find<QLabel>("lLink")->text(), "Нет соединения !");
  EXPECT_EQ(Find<QLabel>("lVersion")->text(), "Не выбрана");
  EXPECT_EQ(Find<QLabel>("Label16")->text(), "COM1");
  EXPECT_FALSE(Find<QWidget>("pgLoadTo")->isVisible());
  EXPECT_FALSE(Find<QWidget>("sbStop")->isVisible());
  EXPECT_TRUE(Find<QWidget>("sbWriteLog")->isVisible());
  // The window cannot be resized.
  EXPECT_EQ(frmMain->minimumSize(), frmMain->maximumSize());
}

TEST_F(Shell, MenuHasItsCaptionsAndShortcuts) {
  Start();
  struct Item {
    const char* name;
    const char* caption;
    const char* keys;
  };
  const Item items[] = {{"DME1", "Выбрать версию DME", "Ctrl+T"},
                        {"N8", "&Загрузить из DME", "Ctrl+D"},
                        {"BIN1", "За&грузить из BIN", "Ctrl+Alt+D"},
                        {"N17", "З&агрузить настройки", "Ctrl+L"},
                        {"N16", "Заг&рузить BIN в DME", "Ctrl+Alt+L"},
                        {"N7", "&Сохранить", "Ctrl+S"},
                        {"N9", "Со&хранить BIN", "Ctrl+Alt+S"},
                        {"N10", "&Выйти", "Ctrl+X"},
                        {"N12", "&Приборная доска", ""},
                        {"N13", "&Телеметрия", ""},
                        {"N14", "COM-&порт", ""},
                        {"N15", "Запись ЛОГ-файла", ""},
                        {"N11", "Версия", ""}};
  for (const Item& item : items) {
    QAction* action = Act(item.name);
    ASSERT_NE(action, nullptr) << item.name;
    EXPECT_EQ(action->text(), QString::fromUtf8(item.caption)) << item.name;
    EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(item.keys))) << item.name;
  }
  EXPECT_FALSE(Act("N6")->isVisible());
  EXPECT_TRUE(Act("N15")->isCheckable());
  EXPECT_TRUE(Act("N15")->isChecked());
  QStringList menus;
  for (QAction* a : frmMain->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, QStringList({"&Файл", "&Правка", "&Вид", "&Опции", "&Справка"}));
}

TEST_F(Shell, ConfirmingTheModelUnlocksTheFileCommands) {
  Start(true);
  EXPECT_EQ(MainEfi().fVersion, 2);
  EXPECT_TRUE(Act("BIN1")->isEnabled());
  EXPECT_TRUE(Act("N17")->isEnabled());
  EXPECT_FALSE(Act("N8")->isEnabled());
  EXPECT_FALSE(Act("N7")->isEnabled());
  // No whole image is held yet, so the image cannot be saved.
  EXPECT_FALSE(Act("N9")->isEnabled());
  EXPECT_TRUE(Act("N16")->isEnabled());
  EXPECT_FALSE(MainSession().Loaded());
}

TEST_F(Shell, CancelLeavesTheFileCommandsDisabledAndTheirShortcutsDead) {
  Start(false);
  EXPECT_EQ(MainEfi().fVersion, 0);
  EXPECT_FALSE(Act("BIN1")->isEnabled());
  EXPECT_FALSE(Act("N17")->isEnabled());
  EXPECT_FALSE(Act("N16")->isEnabled());
  // Ctrl+Alt+D on a disabled item opens nothing.
  Shortcut(QKeySequence("Ctrl+Alt+D"));
  Pump(50);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // Ctrl+T asks for the model again; OK now unlocks the commands.
  AnswerNextModal([](QWidget* modal) {
    EXPECT_EQ(modal->objectName(), "frmSelectDME");
    static_cast<QDialog*>(modal)->accept();
  });
  Shortcut(QKeySequence("Ctrl+T"));
  ASSERT_TRUE(PumpUntil([] { return Act("BIN1")->isEnabled(); }));
  EXPECT_TRUE(Act("N17")->isEnabled());
  EXPECT_EQ(MainEfi().fVersion, 2);
}

TEST_F(Shell, HiddenProfileItemStillAnswersCtrlO) {
  Start(false);
  const QString profile = TempPath("m13.prf");
  WriteFile(profile, "[CONFIG]\r\nfversion=1\r\nFVERSIONADDRESS=0x7DF6\r\n");
  AnswerNextModal([&](QWidget* modal) {
    EXPECT_EQ(modal->objectName(), "odOpenIni");
    auto* dialog = static_cast<QFileDialog*>(modal);
    EXPECT_EQ(dialog->defaultSuffix(), "prf");
    dialog->selectFile(profile);
    static_cast<QDialog*>(dialog)->accept();
  });
  Shortcut(QKeySequence("Ctrl+O"));
  ASSERT_TRUE(PumpUntil([] { return Act("N8")->isEnabled(); }));
  EXPECT_TRUE(Act("BIN1")->isEnabled());
  EXPECT_EQ(MainEfi().fVersion, 1);
  EXPECT_EQ(MainEfi().fVersionAddress, 32246);
  EXPECT_FALSE(MainSession().Loaded());
}

TEST_F(Shell, CancellingTheProfileDialogChangesNothing) {
  Start(true);
  const TModelConfig before = MainEfi();
  AnswerFileDialog(QString());
  Shortcut(QKeySequence("Ctrl+O"));
  Pump(100);
  EXPECT_FALSE(Act("N8")->isEnabled());
  EXPECT_TRUE(static_cast<const TModelConfig&>(MainEfi()) == before);
}

TEST_F(Shell, ConfirmingTwiceKeepsConfigurationAndCells) {
  Start(true);
  TEFIOperator& efi = MainEfi();
  const TModelConfig first = efi;
  efi.fFuelMainMatrix[3][4] = 1.07;
  efi.fRPMTempCorrTable[1][2] = 1200;
  MainSession().LoadDocument();
  AnswerNextModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
  MainAction("DME1")->trigger();
  EXPECT_TRUE(static_cast<const TModelConfig&>(efi) == first);
  EXPECT_EQ(efi.fFuelMainMatrix[3][4], 1.07);
  EXPECT_EQ(efi.fRPMTempCorrTable[1][2], 1200);
  EXPECT_FALSE(MainSession().Loaded());
}

TEST_F(Shell, DashboardOpenedTwiceIsOneWindow) {
  Start();
  Act("N12")->trigger();
  Act("N12")->trigger();
  int dashboards = 0;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == "frmIndicators") {
      ++dashboards;
      EXPECT_TRUE(top->isVisible());
    }
  EXPECT_EQ(dashboards, 1);
  Act("N13")->trigger();
  EXPECT_TRUE(Find<QWidget>("FrmTelemetry")->isVisible());
}

TEST_F(Shell, AboutBoxIsModalAndClosesWithItsButton) {
  Start();
  QString caption;
  AnswerNextModal([&](QWidget* modal) {
    caption = modal->windowTitle();
    EXPECT_EQ(modal->findChild<QLabel*>("ProductName")->text(), "Tarvelo Editor");
    EXPECT_EQ(modal->findChild<QLabel*>("Version")->text(), "Version: 1.0 Demo");
    modal->findChild<QAbstractButton*>("OKButton")->click();
  });
  Act("N11")->trigger();
  EXPECT_EQ(caption, "О программе DEMO");
}

TEST_F(Shell, ErrorsEscapingACommandReachTheErrorBox) {
  Start();
  QString text, title;
  AnswerMessageBox(QMessageBox::Ok, &text, &title);
  const bool ok = RunCommand([] { throw EInOutError(EInOutError::kFileNotFound); });
  EXPECT_FALSE(ok);
  EXPECT_EQ(title, "Tarvelo");
  EXPECT_EQ(text, "File not found");
}

TEST_F(Shell, ExitClosesTheWindowAndPlacementIsKept) {
  Start();
  frmMain->move(200, 120);
  const QPoint placed = frmMain->pos();
  Act("N10")->trigger();
  EXPECT_FALSE(frmMain->isVisible());
  Stop();
  Start();
  EXPECT_EQ(frmMain->pos(), placed);
}

TEST_F(Shell, PortSettingsAreWrittenBackAtTheEnd) {
  Start();
  Stop();
  QFile ini(fTemp.filePath("config/Tarvelo/CTESTER.INI"));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_EQ(ini.readAll(), QByteArray("[COMM]\r\nPORT=0\r\nPAR=0\r\nL-LINE=0\r\n"));
}
