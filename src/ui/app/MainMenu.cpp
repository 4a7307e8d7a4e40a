// The main window's menu, its file dialogs and the commands that only open windows.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenuBar>
#include <QShortcut>
#include <QToolButton>

#include "calibration/CalibrationSession.h"
#include "ui/analysis/LogAnalysisWindow.h"
#include "ui/app/LanguageMenu.h"
#include "ui/app/MainWindow.h"
#include "ui/compare/CompareCommands.h"
#include "ui/link/AdapterCommands.h"
#include "ui/link/LinkMenu.h"
#include "ui/profile/ProfileEditor.h"
#include "ui/tuned/TunedImageCommands.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/RecentFiles.h"

namespace {
// Translated when the dialogs are made, once the interface language is chosen.
QStringList ImageFilters() {
  return {QCoreApplication::translate("TfrmMain", "Файлы прошивок (*.bin)"),
          QCoreApplication::translate("TfrmMain", "Все файлы (*.*)")};
}
const QStringList kSettingsFilters = {QStringLiteral("Tarvelo Files (*.dme)"),
                                      QStringLiteral("All Files (*.*)")};
}  // namespace

void TfrmMain::BuildDialogs() {
  const QStringList kImageFilters = ImageFilters();
  const QString open = tr("Открыть");
  odOpenFile = MakeFileDialog(this, "odOpenFile", false, open, kImageFilters, "bin");
  sdSaveFile = MakeFileDialog(this, "sdSaveFile", true, tr("Сохранить"), kImageFilters, "bin");
  odOpenIni =
      MakeFileDialog(this, "odOpenIni", false, open, {QStringLiteral("Profile (*.prf)")}, "prf");
  sdLogFile = MakeFileDialog(this, "sdLogFile", true, tr("Введите имя ЛОГ-файла"), {}, "txt");
  odOpenBin = MakeFileDialog(this, "odOpenBin", false, open, kImageFilters, "bin");
  sdSetSaveFile = MakeFileDialog(this, "sdSetSaveFile", true, tr("Сохранение настроек в файл"),
                                 kSettingsFilters, "dme");
  odDMEFile = MakeFileDialog(this, "odDMEFile", false, tr("Загрузка настроек из файла"),
                             kSettingsFilters, "dme");
  odCompare =
      MakeFileDialog(this, "odCompare", false, tr("Сравнить с эталоном"),
                     {tr("Прошивки и настройки (*.bin *.dme)"), tr("Все файлы (*.*)")}, "bin");
}

QMenu* TfrmMain::Submenu(const char* name, const QString& caption) {
  QMenu* menu = menuBar()->addMenu(caption);
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  return menu;
}

QAction* TfrmMain::MenuItem(QMenu* menu, const char* name, const QString& caption,
                            const QKeySequence& shortcut) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  // Menu shortcuts work wherever the focus is inside the main window.
  action->setShortcutContext(Qt::WindowShortcut);
  addAction(action);
  return action;
}

void TfrmMain::BuildMenu() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  BuildFileMenu();
  // Filled by the edit commands once the map editors exist.
  mnuEdit = Submenu("mnuEdit", tr("&Правка"));
  BuildViewOptionsAndHelp();
  ConnectMenu();
}

void TfrmMain::BuildFileMenu() {
  QMenu* file = Submenu("N1", tr("&Файл"));
  DME1 = MenuItem(file, "DME1", tr("Выбрать версию DME"), QKeySequence("Ctrl+T"));
  N6 = MenuItem(file, "N6", tr("&Открыть профайл"));
  N6->setVisible(false);
  N8 = MenuItem(file, "N8", tr("&Загрузить из DME"), QKeySequence("Ctrl+D"));
  N8->setEnabled(false);
  BIN1 = MenuItem(file, "BIN1", tr("За&грузить из BIN"), QKeySequence("Ctrl+Alt+D"));
  N17 = MenuItem(file, "N17", tr("З&агрузить настройки"), QKeySequence("Ctrl+L"));
  N17->setEnabled(false);
  N16 = MenuItem(file, "N16", tr("Заг&рузить BIN в DME"), QKeySequence("Ctrl+Alt+L"));
  N16->setEnabled(false);
  N7 = MenuItem(file, "N7", tr("&Сохранить"), QKeySequence("Ctrl+S"));
  N7->setEnabled(false);
  N9 = MenuItem(file, "N9", tr("Со&хранить BIN"), QKeySequence("Ctrl+Alt+S"));
  N9->setEnabled(false);
  actCompare = MenuItem(file, "actCompare", tr("Сравнить с..."));
  actCompareEnd = MenuItem(file, "actCompareEnd", tr("Закончить сравнение"));
  actSaveTunedBin = MenuItem(file, "actSaveTunedBin", tr("Сохранить BIN с изменениями..."),
                             QKeySequence("Ctrl+Shift+S"));
  actSaveTunedBin->setEnabled(false);
  actProfileEditor = MenuItem(file, "actProfileEditor", tr("Редактор профиля..."));
  N10 = MenuItem(file, "N10", tr("&Выйти"), QKeySequence("Ctrl+X"));
  fRecent = new TRecentFiles(file, N10, [this](const QString& path) {
    RunCommand([this, &path] {
      if (ConfirmDiscard()) OpenFile(path);
    });
  });
  // The profile item is never shown, yet its shortcut works: a hidden action's own
  // shortcut is inactive, so the shortcut stands beside it.
  auto* profileShortcut = new QShortcut(QKeySequence("Ctrl+O"), this);
  profileShortcut->setObjectName(QStringLiteral("N6Shortcut"));
  connect(profileShortcut, &QShortcut::activated, N6, &QAction::trigger);
}

void TfrmMain::BuildViewOptionsAndHelp() {
  QMenu* view = Submenu("N3", tr("&Вид"));
  N12 = MenuItem(view, "N12", tr("&Приборная доска"));
  N13 = MenuItem(view, "N13", tr("&Телеметрия"));
  act3D = MenuItem(view, "act3D", tr("3D-вид карты"));
  actLogAnalysis = MenuItem(view, "actLogAnalysis", tr("Анализ ЛОГа на картах..."));

  QMenu* options = Submenu("N4", tr("&Опции"));
  N14 = MenuItem(options, "N14", tr("COM-&порт"));
  N15 = MenuItem(options, "N15", tr("Запись ЛОГ-файла"));
  N15->setCheckable(true);
  N15->setChecked(true);
  actVirtualEngine = MenuItem(options, "actVirtualEngine", tr("Виртуальный двигатель"));
  actVirtualEngine->setCheckable(true);
  actVirtualEngine->setToolTip(
      tr("Кнопка ЛОГ берёт записи у виртуального двигателя, который отвечает на карту "
         "топлива, а не из demo.dat"));
  fLinkMenu = new TLinkMenu(this, options);
  AddLanguageMenu(options, this);

  QMenu* help = Submenu("N5", tr("&Справка"));
  N11 = MenuItem(help, "N11", tr("Версия"));
}

void TfrmMain::ConnectMenu() {
  connect(DME1, &QAction::triggered, this, Guarded([this] { DME1Click(); }));
  // A hidden action cannot be triggered by Qt itself; the shortcut calls trigger(), which
  // still emits triggered() for an enabled action.
  connect(N6, &QAction::triggered, this, Guarded([this] { N6Click(); }));
  connect(BIN1, &QAction::triggered, this, Guarded([this] { BIN1Click(); }));
  connect(N9, &QAction::triggered, this, Guarded([this] { N9Click(); }));
  connect(actSaveTunedBin, &QAction::triggered, this, Guarded([this] { fTuned->SaveClick(); }));
  connect(N17, &QAction::triggered, this, Guarded([this] { N17Click(); }));
  connect(N7, &QAction::triggered, this, Guarded([this] { N7Click(); }));
  connect(N8, &QAction::triggered, this, Guarded([this] {
            if (ConfirmDiscard()) fAdapter->N8Click();
          }));
  connect(N14, &QAction::triggered, this, Guarded([this] { fAdapter->N14Click(); }));
  connect(N16, &QAction::triggered, this, Guarded([this] { fAdapter->N16Click(); }));
  connect(N10, &QAction::triggered, this, Guarded([this] { N10Click(); }));
  connect(N11, &QAction::triggered, this, Guarded([this] { N11Click(); }));
  connect(N12, &QAction::triggered, this, Guarded([this] { N12Click(); }));
  connect(N13, &QAction::triggered, this, Guarded([this] { N13Click(); }));
  connect(actCompare, &QAction::triggered, this, Guarded([this] { fCompare->actCompareClick(); }));
  connect(actCompareEnd, &QAction::triggered, this,
          Guarded([this] { fCompare->actCompareEndClick(); }));
  connect(act3D, &QAction::triggered, this, Guarded([this] { act3DClick(); }));
  connect(actLogAnalysis, &QAction::triggered, this, Guarded([this] { actLogAnalysisClick(); }));
  connect(actProfileEditor, &QAction::triggered, this,
          Guarded([this] { actProfileEditorClick(); }));
}

bool TfrmMain::SelectModel() {
  if (!fWindows.modelDialog || fWindows.modelDialog->exec() != QDialog::Accepted) return false;
  // The tables no longer belong to the image as it was loaded.
  fSession->UseBuiltInConfig();
  BIN1->setEnabled(true);
  N17->setEnabled(true);
  // Sending an image to the adapter needs nothing but a confirmed model.
  N16->setEnabled(true);
  fRecent->SetEnabled(true);
  return true;
}

void TfrmMain::DME1Click() {
  SelectModel();
}

void TfrmMain::N6Click() {
  if (!EFI().fProfileSwitch) return;
  const QString path = RunFileDialog(odOpenIni);
  if (path.isEmpty()) return;
  fSession->UseProfile(path);
  N8->setEnabled(true);
  BIN1->setEnabled(true);
}

void TfrmMain::N10Click() {
  close();
}

void TfrmMain::N11Click() {
  if (fWindows.about) fWindows.about->exec();
}

namespace {
void ShowModeless(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}
}  // namespace

void TfrmMain::N12Click() {
  if (fWindows.dashboard) ShowModeless(fWindows.dashboard);
}

void TfrmMain::N13Click() {
  if (fWindows.telemetry) ShowModeless(fWindows.telemetry);
}

void TfrmMain::actLogAnalysisClick() {
  ShowModeless(fLogAnalysis);
}

void TfrmMain::actProfileEditorClick() {
  if (!frmProfileEditor) frmProfileEditor = new TfrmProfileEditor(this);
  // A window already open keeps what is being edited in it.
  if (!frmProfileEditor->isVisible()) {
    TEFIOperator builtIn(false);
    builtIn.LoadDefaultConfig();
    // Before any model is confirmed there is no configuration: start from the built-in one.
    const TEFIOperator& efi = EFI();
    const TModelConfig& config = efi.fVersion == 0 ? builtIn : efi;
    const bool whole = efi.fImage.size() == static_cast<size_t>(kImageSize);
    frmProfileEditor->Open(config, whole ? efi.fImage : std::vector<uint8_t>());
  }
  ShowModeless(frmProfileEditor);
}
