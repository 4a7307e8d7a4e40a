#pragma once
// TLiveLoop: the live road of the main window. The "ЛОГ" button runs the acquisition loop
// over "demo.dat" (or the virtual engine, chosen in "&Опции") inside its click (RunLiveLoop),
// writes the log file when "Запись ЛОГ-файла" is checked, and shows every record (ShowLiveValues)
// in the live strip, on the dashboard and as the marked cell of the part-load maps. It owns the
// live values and the live mark.

#include <QObject>
#include <array>
#include <memory>

#include "telemetry/LiveCell.h"
#include "telemetry/LiveRecord.h"

class QAction;
class QFileDialog;
class QLineEdit;
class QTabWidget;
class QWidget;
class TMapEditors;
class TStatusStrip;
class TVirtualEngine;

class TLiveLoop : public QObject {
  Q_OBJECT
 public:
  // What the loop shows and asks with: the live strip's edits (slots 1 to 11), the page
  // control with the two map pages, the maps, the strip (ЛОГ button and link status), the
  // log switch and the log file dialog.
  struct Views {
    std::array<QLineEdit*, 11> edits{};
    QTabWidget* pages = nullptr;
    QWidget* fuelPage = nullptr;
    QWidget* ignitionPage = nullptr;
    TMapEditors* maps = nullptr;
    TStatusStrip* strip = nullptr;
    QAction* writeLog = nullptr;
    QFileDialog* logDialog = nullptr;
    // Checked: the records come from the virtual engine (demo.dat otherwise).
    QAction* virtualEngine = nullptr;
  };
  // The loop keeps the operating point in `mark`, which the maps read.
  TLiveLoop(QObject* parent, const Views& views, TLiveMark& mark);
  ~TLiveLoop() override;

  // The ЛОГ button: pressed, runs the loop until it is released; released, ends the loop.
  void sbWriteLogClick();
  // Ends a running loop (the main window closes).
  void Stop();
  // Shows LiveValues in the live strip, on the dashboard when it is showing and as the
  // marked cell of the part-load map on the active page.
  void ShowLiveValues();

  LiveRecord LiveValues{};
  // LiveLoopActive (1 while the loop runs) and the map cell of the operating point.
  TLiveMark& Mark;

 signals:
  // Each record shown, for the dashboard.
  void RecordShown(const LiveRecord& values);

 private:
  // The acquisition loop: records from "demo.dat" until LiveLoopActive is cleared.
  void RunLiveLoop();
  // The next record of the virtual engine, which delivers by the fuel map as it stands.
  void NextEngineRecord();

  Views fViews;
  std::unique_ptr<TVirtualEngine> fEngine;
  bool fLiveLoopRunning = false;
};
