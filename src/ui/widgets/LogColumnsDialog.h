#pragma once
// The column mapping dialog (frmLogColumns) for a delimited log of another logger: the first
// rows of the log under its header, a combo box per slot (engine speed, load, mixture with its
// kind, coolant, throttle, time with its unit) holding the mapping remembered for this header
// or the guess, the rate for a log without time, and why the mapping cannot be read while it
// cannot. The confirmed mapping is remembered for the next log with the same header line.

#include <QDialog>
#include <optional>

#include "telemetry/DelimitedLog.h"
#include "telemetry/LogColumns.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

class TLogColumnsDialog : public QDialog {
  Q_OBJECT
 public:
  TLogColumnsDialog(QWidget* parent, const QString& fileName, const TLogDialect& dialect,
                    const TLogColumns& columns);

  // The mapping the boxes show.
  TLogColumns Columns() const;

 private:
  QComboBox* ColumnBox(const char* name);
  void Show(const TLogColumns& columns);
  void Changed();

  TLogDialect fDialect;
  QTableWidget* sgLogRows;
  QComboBox *cbRpm, *cbLoad, *cbMixture, *cbMixtureKind, *cbClt, *cbTps, *cbTime, *cbTimeKind;
  QDoubleSpinBox* seRate;
  QLabel* lProblem;
  QPushButton* btnOk;
};

// Reads a log of either kind into `logger`: the program's own log as before; a delimited
// one after the dialog has shown its mapping and the user confirmed it. Returns the mapping of
// a delimited log, nothing for the own log; false in `read` when the user cancelled (the
// logger unchanged). Errors of reading are thrown as the readers throw them. `emptyCells`, when
// given, gets the number of a delimited log's empty cells that took the value above them.
std::optional<TLogColumns> LoadAnyLog(QWidget* parent, const QString& fileName, TEFILogger& logger,
                                      bool& read, int64_t* emptyCells = nullptr);
