#pragma once
// TCompareCommands: "Сравнить с..." and "Закончить сравнение". Opens a reference image or
// settings file, decodes it with a copy of the current configuration (the reference is
// never edited and never saved), marks the grids and shows the list of differences; a
// double click there goes to the cell on its page.

#include <QObject>

#include "calibration/Calibration.h"

class QAction;
class QFileDialog;
class QTabWidget;
class QWidget;
class TEFIOperator;
class TMapEditors;
class TStatusStrip;
class TCompareMarks;
class TfrmCompare;

class TCompareCommands : public QObject {
  Q_OBJECT
 public:
  struct Parts {
    QWidget* owner = nullptr;  // the main window (dialogs, the list's owner)
    TEFIOperator* efi = nullptr;
    TMapEditors* maps = nullptr;
    TStatusStrip* strip = nullptr;
    QTabWidget* pages = nullptr;
    QFileDialog* dialog = nullptr;  // odCompare
    QAction* compare = nullptr;     // actCompare
    QAction* end = nullptr;         // actCompareEnd
  };
  TCompareCommands(QObject* parent, const Parts& parts);

  void actCompareClick();
  void actCompareEndClick();
  // Compares with this file (a settings file by its ".dme" ending, an image otherwise).
  void OpenReference(const QString& path);
  // Makes a cell of a table current on its page (the nearest data cell for an axis cell).
  void GoToCell(TTableId table, int col, int row);

  TCompareMarks& Marks() { return *fMarks; }
  TfrmCompare* frmCompare = nullptr;

 private:
  Parts fParts;
  TCompareMarks* fMarks = nullptr;
};
