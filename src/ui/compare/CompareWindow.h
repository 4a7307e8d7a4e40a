#pragma once
// TfrmCompare: the list of the differences between the current calibration and the
// reference (table, cell with its axis values, reference, current, difference), sortable by
// any column; a double click goes to that cell in its grid. The switch "только различия"
// shows only the differing cells, or every cell of every table beside its reference.

#include <QWidget>
#include <optional>

#include "calibration/Calibration.h"

class QCheckBox;
class QLabel;
class QTableWidget;
class TCompareMarks;

// The table's name as its page shows it ("Топливо, частичные нагрузки", ...).
QString TableCaption(TTableId id);

class TfrmCompare : public QWidget {
  Q_OBJECT
 public:
  TfrmCompare(TCompareMarks& marks, QWidget* parent = nullptr);

  // Fills the list anew from the comparison.
  void Rebuild();

  QTableWidget* lvCompare = nullptr;
  QCheckBox* cbOnlyDiffs = nullptr;
  QLabel* lCompareSummary = nullptr;

 signals:
  // A row was double-clicked: select this cell of this table's grid.
  void CellWanted(TTableId table, int col, int row);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void AddTable(TTableId id);
  // One line: a cell's texts and values in the reference and the current calibration;
  // `col` < 0 for a table that is not comparable (`current` then says why).
  struct Side {
    QString text;
    std::optional<double> value;
  };
  void AddRow(const TCalTable& table, int col, int row, const Side& reference, const Side& current);
  QString Place(const TCalTable& table, int col, int row) const;

  TCompareMarks& fMarks;
};
