#pragma once
// TCalibration: the decoded calibration as an editable document. For each table it holds
// the values of its cells in the map editors' grid orientation (fixed header row/column
// included, reversed rows where the grids reverse them) with the rules that store, step
// and show them; the text a grid shows is derived from the value. Besides the tables, the
// settings panel's values. Every change is a step on its history, so that any edit can be
// taken back and done again. QtCore only: the window layer shows the document, the
// command-line tool reads and writes it.

#include <QObject>
#include <QPoint>
#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "image/CodeRange.h"

class TEFIOperator;

// The eight tables, in the order of their grids.
enum class TTableId { FuelMain, IgnMain, IgnXX, FuelXX, IgnMax, FuelMax, MAF, WarmUp };
constexpr int kTableCount = 8;
// The grid object name of a table ("sgFuelMain", "sgIgnMain", "sgrdIgnXX", "sgrdFuelXX",
// "sgrdIgnMax", "sgrdFuelMax", "sgMAF", "sgrdRPMTempCorr") and a short file-friendly name.
QString TableGridName(TTableId id);
QString TableFileName(TTableId id);
// The table a grid object name or a file-friendly name stands for.
std::optional<TTableId> TableOfName(const QString& name);

// The editor limits of the part-load maps (fuel 0.7 to 1.5, ignition -30 to 60 degrees);
// for the other tables no limit of their own (the whole line).
TValueRange PartLoadLimits(TCodedTable table);
// The limits a table value is held in: what its code can store, and for the part-load
// maps the editor limits within that.
TValueRange EditLimits(TCodedTable table, int version);

// The table rows a data row of a part-load map grid stands for: reversed order; in variant
// 1 the first row of the high part also stands for the last row of the low part, so it
// gives two rows, the one it shows first. `lo` is the map's Dim1_Lo, `rowCount` the grid's
// row count.
std::vector<int> PartLoadTableRows(int version, int lo, int rowCount, int gridRow);

// How one cell holds, steps and shows its value: the values its code can store (and the
// editor limits of the part-load maps), whole or decimal, and the code's step.
class TCellRule {
 public:
  enum class Kind { Text, Value, RpmAxis, LoadAxis, Temperature, Index };
  TCellRule() = default;
  TCellRule(Kind kind, TCodedTable table, int version);
  Kind GetKind() const { return fKind; }
  // The limits a value is held in.
  TValueRange Range() const;
  bool Integer() const;
  // The value of the storable code nearest to `value` (held within Range first), as it
  // shows after loading; `limited` is set when the range cut the value.
  double Quantise(double value, bool* limited = nullptr) const;
  // The next storable value `steps` codes up (negative: down) whose shown text differs.
  double Step(double value, int steps, bool* limited = nullptr) const;
  // The text a value shows as after loading (the grid's own notation).
  QString Show(double value) const;
  // The value Show(value) reads as: what a cell holds for `value`, so that the value the
  // document keeps is exactly the one its grid shows (and a collect stores).
  double AsShown(double value) const;

 private:
  Kind fKind = Kind::Text;
  TCodedTable fTable = TCodedTable::FuelMain;
  int fVersion = 0;
};

// One table as its grid shows it: a value for each number cell (data and axis cells), a
// label for each caption cell (rule Kind::Text), nothing where the grid shows nothing.
struct TCalTable {
  TTableId id = TTableId::FuelMain;
  int version = 0;
  int cols = 0, rows = 0, fixedCols = 0, fixedRows = 0;
  // Row-major: values[row * cols + col]; empty for a cell the layout leaves blank and for
  // a caption.
  std::vector<std::optional<double>> values;
  // The labels of caption cells, by row-major index; a caption without a label has none.
  std::map<int, QString> captions;

  bool Contains(int col, int row) const;
  // Sizes the table to cols x rows, every cell blank.
  void Clear();
  // The text the grid shows: its rule's Show of the value, a caption's label, or nothing.
  QString Text(int col, int row) const;
  bool IsFixed(int col, int row) const;
  // The rule of a cell (data cells and axis cells alike).
  TCellRule Rule(int col, int row) const;
  // The value a number cell holds (none for a blank cell, a caption or outside the table).
  std::optional<double> Value(int col, int row) const;
  // Sets the value of a cell (none: blank); a caption cell takes a label instead.
  void SetValue(int col, int row, std::optional<double> value);
  void SetCaption(int col, int row, const QString& label);
  // Sets a cell from a text as a grid shows it: a caption's label as it is, a number cell
  // the value the text reads as (user's decimal separator or full stop), blank for an
  // empty text. Returns false, leaving the cell, for a text that is no number.
  bool SetText(int col, int row, const QString& text);
  // Sets a cell from a text the editors' check has not met yet, read as a save reads it: a
  // data cell's number held within the cell's limits and kept as it shows, an axis value as
  // it stands, blank for an empty text. A text that is no number (no whole number where the
  // cell holds one) throws the conversion error the save reports for it.
  void SetUnchecked(int col, int row, const QString& text);
  // The axis value a data column / row stands for (rpm, load in ms, temperature), read from
  // the header cells; empty where the table has no such axis (interpolation then weighs by
  // the cell index).
  std::optional<double> ColumnAxis(int col) const;
  std::optional<double> RowAxis(int row) const;
};

// Whether a cell keeps its value: both blank, or the same number to the sign of a zero
// (a "-0" shows otherwise than a "0").
bool SameValue(const std::optional<double>& a, const std::optional<double>& b);

// The tables of `efi` as the map editors' grids show them after loading it (decoded).
std::vector<TCalTable> TablesOf(const TEFIOperator& efi);

// One change: a cell's value before (none where the cell was blank) and after, or a
// settings value before and after.
struct TCellEdit {
  TTableId table = TTableId::FuelMain;
  int col = 0, row = 0;
  std::optional<double> before;
  double after = 0;
};
struct TSettingEdit {
  QString key;  // "MaxRPM", "COTrim", "O2Type", "LamMin", "LamMax", "RegLamSwitch", "O2Switch"
  double before = 0, after = 0;
};
// One undo step: everything one operation changed.
struct TEditStep {
  QString title;
  std::vector<TCellEdit> cells;
  std::vector<TSettingEdit> settings;
  bool Empty() const { return cells.empty() && settings.empty(); }
};

class TCalibration : public QObject {
  Q_OBJECT
 public:
  explicit TCalibration(QObject* parent = nullptr);

  // The tables as the grids show them after loading `efi` (decoded, in units), its rev
  // limit and CO trim; starts a new history and counts as saved.
  void Load(const TEFIOperator& efi);
  // Sets a settings value without a history entry (values the document takes from the
  // window after a load).
  void SetBaseline(const QString& key, double value);
  bool Loaded() const;
  // The tables no longer belong to the configuration (another model or profile was
  // chosen): nothing counts as loaded until the next Load. The history stays.
  void Unload();

  const std::vector<TCalTable>& Tables() const;
  const TCalTable& Table(TTableId id) const;
  double Setting(const QString& key) const;

  // Writes the values of `tables` back into `efi`'s tables as the map editors' collect
  // does: every value held only within what its code can store, so that an unedited table
  // gives back its loaded codes. A blank cell where the tables need a number throws the
  // conversion error of an empty text.
  static void CollectInto(const std::vector<TCalTable>& tables, TEFIOperator& efi);
  // The same, and where a split map's grid row shows the high part's first row and the
  // low part's last alike (variant 1), a cell whose value is still the loaded one gives the
  // low part's row back as loaded: the two rows may differ in an image.
  void CollectTablesInto(const std::vector<TCalTable>& tables, TEFIOperator& efi) const;
  // CollectTablesInto from the document's own values, and its rev limit.
  void CollectInto(TEFIOperator& efi) const;
  // Sets `efi`'s rev limit from the value its box shows (0 to 9000): the loaded rev limit,
  // whatever it is, while the box shows it as loaded; else the value shown.
  void CollectMaxRPM(int32_t shown, TEFIOperator& efi) const;

  // Applies a step as one history entry; cells whose value does not change are dropped, and
  // an empty step is not recorded. Returns whether anything changed.
  bool Apply(TEditStep step);
  bool CanUndo() const;
  bool CanRedo() const;
  QString UndoTitle() const;
  QString RedoTitle() const;
  void Undo();
  void Redo();
  // Whether the document differs from what was last loaded or saved in what a file holds
  // (the tables, the rev limit, the CO trim; the lambda panel's settings are not).
  bool IsModified() const;
  void MarkSaved();
  // Memory the history holds, in bytes (for the benchmarks).
  size_t HistoryBytes() const;

 signals:
  // Cells of a table changed (an applied step, an undo or a redo).
  void CellsChanged(TTableId table, const std::vector<QPoint>& cells);
  void SettingChanged(const QString& key, double value);
  // The history or the modified state changed.
  void HistoryChanged();
  // Load replaced every table.
  void Reloaded();

 private:
  // Sets the cells and settings of a step's one side (`forward`: the after values).
  void Perform(const TEditStep& step, bool forward);
  TCalTable* Find(TTableId id);
  // Whether steps [from, to) of the history change what a file holds.
  bool ChangesFileData(size_t from, size_t to) const;

  std::vector<TCalTable> fTables;
  std::map<QString, double> fSettings;
  // The low part's last row of each split map as loaded, with the values its grid row
  // held then.
  struct TSharedRow {
    TTableId id;
    int tableRow = 0, gridRow = 0;
    std::vector<double> values;
    std::vector<std::optional<double>> shown;
  };
  void KeepSharedRows(const TEFIOperator& efi);
  std::vector<TSharedRow> fSharedRows;
  // The rev limit as loaded, beyond its box's 0 to 9000 as well.
  int32_t fLoadedMaxRPM = 0;
  std::vector<TEditStep> fHistory;
  // Steps of fHistory done; the steps after it are the ones to redo.
  size_t fDone = 0;
  // fDone at the last load or save; none once that state can no longer be reached.
  std::optional<size_t> fSaved = 0;
  bool fLoaded = false;
};
