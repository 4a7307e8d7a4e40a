#pragma once
// TEditCommands: the commands of the "&Правка" menu on the calibration the map editors
// show: undo and redo, the clipboard, the operations on the selected block of the current
// table (set, add, scale, step, interpolate, smooth) and the table's CSV export and import.
// Each operation is one step of the document's history; every result is a value the unit
// can store, and the status strip says how many cells the limits cut.

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <optional>

#include "calibration/CalibrationOps.h"

class QAction;
class QFileDialog;
class QKeyEvent;
class QMenu;
class QTabWidget;
class QWidget;
class TMapEditors;
class TStatusStrip;
class TStringGrid;

class TEditCommands : public QObject {
  Q_OBJECT
 public:
  // The commands work on `maps` in the page control `pages`, show their results on
  // `strip` and their dialogs over `window`.
  TEditCommands(QWidget* window, TMapEditors& maps, TStatusStrip& strip, QTabWidget* pages);

  // Puts the actions into the menu and their shortcuts into the window.
  void FillMenu(QMenu* menu);
  // Asked for the enabled state: whether tables are loaded.
  void SetTablesLoaded(std::function<bool()> loaded) { fTablesLoaded = std::move(loaded); }
  // The table grid the commands work on: the grid of the current page that has the focus
  // or last had it; none on a page without one.
  TStringGrid* CurrentGrid() const;
  // Undo and redo follow the history; the rest need loaded tables and a current table grid.
  void UpdateActions();

  QAction* actUndo = nullptr;
  QAction* actRedo = nullptr;
  QAction* actCopy = nullptr;
  QAction* actPaste = nullptr;
  QAction* actSetValue = nullptr;
  QAction* actAddValue = nullptr;
  QAction* actScaleValue = nullptr;
  QAction* actStepUp = nullptr;
  QAction* actStepDown = nullptr;
  QAction* actInterpolateH = nullptr;
  QAction* actInterpolateV = nullptr;
  QAction* actInterpolate2D = nullptr;
  QAction* actSmooth = nullptr;
  QAction* actExportCsv = nullptr;
  QAction* actImportCsv = nullptr;
  QFileDialog* sdExportCsv = nullptr;
  QFileDialog* odImportCsv = nullptr;

 private:
  using Operation = std::function<TOpResult(const TCalTable&, const TSelection&)>;
  QAction* Make(const char* name, const QString& caption,
                const QList<QKeySequence>& shortcuts = {});
  void Connect();
  // The menu's keys pressed on a table grid or in its cell editor run their commands.
  void ConnectGridKeys();
  bool RunShortcutOf(const QKeyEvent& key);
  QList<QAction*> Actions() const;
  // Runs an operation on the selected block of the current table and applies its step.
  void RunOnSelection(const Operation& operation);
  // Applies an operation's step, or shows its error and changes nothing.
  void Finish(TOpResult result);
  // Asks for a number ("QInputDialog" named "EditValueDialog"); either decimal mark is read.
  std::optional<double> AskValue(const QString& title, const QString& label,
                                 const QString& initial);
  void Undo();
  void Redo();
  void Copy();
  void Paste();
  void ExportCsv();
  void ImportCsv();

  QWidget* fWindow;
  TMapEditors& fMaps;
  TStatusStrip& fStrip;
  QTabWidget* fPages;
  std::function<bool()> fTablesLoaded;
  // The table grid each page's focus was last in.
  std::map<const QWidget*, TStringGrid*> fLastGrid;
};
