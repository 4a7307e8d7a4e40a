#pragma once
// TfrmMain: the main window. It owns the calibration session, the menu, the status
// strip, the page control with the map editors and the live strip, and the file dialogs.
// Each subsystem's handlers live in their own sources; this class is the frame.

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "telemetry/LiveCell.h"
#include "telemetry/LiveRecord.h"

class QAction;
class QKeySequence;
class QDialog;
class QFileDialog;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolButton;
class QGroupBox;
class TMapEditors;
class TLinkPanel;
class TLinkMenu;
class TAdapterCommands;
class TStatusStrip;
class TRecentFiles;
class TLiveLoop;
class TCompareCommands;
class TfrmSurface;
class TEditCommands;
class TfrmLogAnalysis;
class TfrmProfileEditor;
class TCalibrationSession;
class TEFIOperator;
class TTunedImageCommands;

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  // FormCreate: builds the window and creates the calibration image object.
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  // The program's other windows, which the menu commands show.
  struct Windows {
    QDialog* about = nullptr;        // AboutBox
    QWidget* dashboard = nullptr;    // frmIndicators
    QWidget* telemetry = nullptr;    // FrmTelemetry
    QDialog* modelDialog = nullptr;  // frmSelectDME
  };
  void SetWindows(const Windows& windows) { fWindows = windows; }

  // The log analysis takes the telemetry window's log through `log`, as it is at that moment.
  void SetTelemetryLog(std::function<std::vector<LiveRecord>()> log);

  // The model selection of start-up and "Выбрать версию DME": the dialog, then on OK the
  // built-in configuration.
  // Returns whether the user confirmed a model.
  bool SelectModel();
  // A file named on the command line, opened once the start-up model is confirmed.
  void SetStartFile(const QString& path) { fStartFile = path; }
  // Opens an image, or a settings file by its ".dme" ending.
  void OpenFile(const QString& path);
  // Before a load or the exit would lose calibration changes not yet saved: asks whether
  // to save them (the settings-file save), discard them or cancel. True when the caller
  // may go on: nothing to lose, the changes saved, or discarded.
  bool ConfirmDiscard();
  // Ends whatever still runs (the live loop); called when the window closes and at exit.
  void StopActivities();

  // Shows the tables of the image object in the grids; decodes the image first unless
  // `alreadyDecoded` (the tables were set otherwise: they stand for no loaded image then).
  void FillGrids(bool alreadyDecoded);
  // Brings the grids into the image object's tables (mode 1).
  void CollectGrids(uint8_t mode);

 signals:
  // Each live record the live loop shows (the dashboard follows it while it is showing).
  void LiveRecordShown(const LiveRecord& values);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  TEFIOperator& EFI();

  // --- File commands ---
  void BIN1Click();
  // "&Сохранить": the settings file, after the adapter's store exchange.
  void N7Click();
  void N9Click();
  void N17Click();
  // What BIN1 and N17 do with the chosen file.
  void OpenImageFile(const QString& path);
  void OpenSettingsFile(const QString& path);
  // N9 follows whether a whole image is held (a settings file cuts it to the version bytes).
  void UpdateImageCommands();

  // --- The edited calibration written back into the loaded image (TunedImageCommands) ---
  // True when the grids' tables, written back, change the loaded image (the grids are
  // collected into the tables first).
  bool HasTunedChanges();

  // "3D-вид карты": frm3D, made the first time it runs.
  void act3DClick();

  // --- Commands of the shell ---
  void DME1Click();
  void N6Click();
  void N10Click();
  void N11Click();
  void N12Click();
  void N13Click();
  void actLogAnalysisClick();
  // "Редактор профиля...": the profile editor on the configuration and the whole image held.
  void actProfileEditorClick();

  // --- Menu ---
  QAction* DME1 = nullptr;
  QAction* N6 = nullptr;
  QAction* N8 = nullptr;
  QAction* BIN1 = nullptr;
  QAction* N17 = nullptr;
  QAction* N16 = nullptr;
  QAction* N7 = nullptr;
  QAction* N9 = nullptr;
  QAction* actSaveTunedBin = nullptr;
  QAction* actProfileEditor = nullptr;
  QAction* N10 = nullptr;
  QAction* N12 = nullptr;
  QAction* N13 = nullptr;
  QAction* actLogAnalysis = nullptr;
  QAction* N14 = nullptr;
  QAction* N15 = nullptr;
  // "Виртуальный двигатель": the live loop's records from the virtual engine, not demo.dat.
  QAction* actVirtualEngine = nullptr;
  QAction* N11 = nullptr;
  QAction* actCompare = nullptr;
  QAction* actCompareEnd = nullptr;
  QAction* act3D = nullptr;
  QMenu* mnuEdit = nullptr;

  // --- Pages: TabSheet1 "Топливо", 2 "Зажигание", 4 "Х.Х.", 5 "Макс. нагрузка",
  // 3 "Прочие настройки", 7 "ДМРВ", 6 "Диагностика" ---
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet3 = nullptr;
  QWidget* TabSheet4 = nullptr;
  QWidget* TabSheet5 = nullptr;
  QWidget* TabSheet6 = nullptr;
  QWidget* TabSheet7 = nullptr;

  // --- Live strip: edtRPM ... edtSpeed, slots 1 to 11 ---
  std::array<QLineEdit*, 11> LiveEdits{};

  // --- File dialogs ---
  QFileDialog* odOpenFile = nullptr;
  QFileDialog* sdSaveFile = nullptr;
  QFileDialog* odOpenIni = nullptr;
  QFileDialog* sdLogFile = nullptr;
  QFileDialog* odOpenBin = nullptr;
  QFileDialog* sdSetSaveFile = nullptr;
  QFileDialog* odDMEFile = nullptr;
  QFileDialog* odCompare = nullptr;

  void BuildPages(QWidget* area);
  void BuildLiveStrip(QWidget* panel);
  void BuildMenu();
  QMenu* Submenu(const char* name, const QString& caption);
  QAction* MenuItem(QMenu* menu, const char* name, const QString& caption,
                    const QKeySequence& shortcut = {});
  void BuildFileMenu();
  void BuildViewOptionsAndHelp();
  void ConnectMenu();
  void BuildDialogs();
  // The parts the frame composes: the editors with the edit commands and the tuned image,
  // the link and adapter commands, the feature windows and loops.
  void CreateEditors();
  void CreateLinkParts();
  void CreateFeatureParts();
  void RestorePlacement();
  void SavePlacement() const;

  TCalibrationSession* fSession = nullptr;
  TTunedImageCommands* fTuned = nullptr;
  TStatusStrip* fStrip = nullptr;
  TRecentFiles* fRecent = nullptr;
  TLiveLoop* fLive = nullptr;
  // Written by the live loop, read by the maps' colour scale.
  TLiveMark fLiveMark;
  TMapEditors* fMaps = nullptr;
  TLinkPanel* fLink = nullptr;
  TLinkMenu* fLinkMenu = nullptr;
  TAdapterCommands* fAdapter = nullptr;
  TCompareCommands* fCompare = nullptr;
  TfrmSurface* frm3D = nullptr;
  TEditCommands* fEdit = nullptr;
  TfrmLogAnalysis* fLogAnalysis = nullptr;
  TfrmProfileEditor* frmProfileEditor = nullptr;
  Windows fWindows;
  bool fShownOnce = false;
  QString fStartFile;
};
