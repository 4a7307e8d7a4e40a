// TCalibration: the tables as the map editors show them, their cell rules and the history.
#include "calibration/Calibration.h"

#include "image/EfiOperator.h"

QString TableGridName(TTableId) {
  return {};
}
QString TableFileName(TTableId) {
  return {};
}

TCellRule::TCellRule(Kind kind, TCodedTable table, int version)
    : fKind(kind), fTable(table), fVersion(version) {}
TValueRange TCellRule::Range() const {
  return {};
}
bool TCellRule::Integer() const {
  return false;
}
double TCellRule::Quantise(double value, bool*) const {
  return value;
}
double TCellRule::Step(double value, int, bool*) const {
  return value;
}
QString TCellRule::Show(double) const {
  return {};
}

bool TCalTable::Contains(int col, int row) const {
  return col >= 0 && row >= 0 && col < cols && row < rows;
}
const QString& TCalTable::Text(int col, int row) const {
  return texts[row * cols + col];
}
bool TCalTable::IsFixed(int col, int row) const {
  return col < fixedCols || row < fixedRows;
}
TCellRule TCalTable::Rule(int, int) const {
  return {};
}
std::optional<double> TCalTable::Value(int, int) const {
  return {};
}
std::optional<double> TCalTable::ColumnAxis(int) const {
  return {};
}
std::optional<double> TCalTable::RowAxis(int) const {
  return {};
}

TCalibration::TCalibration(QObject* parent) : QObject(parent) {}
void TCalibration::Load(const TEFIOperator&) {}
void TCalibration::SetBaseline(const QString&, double) {}
bool TCalibration::Loaded() const {
  return false;
}
const std::vector<TCalTable>& TCalibration::Tables() const {
  static const std::vector<TCalTable> none;
  return none;
}
const TCalTable& TCalibration::Table(TTableId) const {
  static const TCalTable none;
  return none;
}
double TCalibration::Setting(const QString&) const {
  return 0;
}
void TCalibration::CollectInto(const std::vector<TCalTable>&, TEFIOperator&) {}
void TCalibration::CollectInto(TEFIOperator&) const {}
bool TCalibration::Apply(TEditStep) {
  return false;
}
bool TCalibration::CanUndo() const {
  return false;
}
bool TCalibration::CanRedo() const {
  return false;
}
QString TCalibration::UndoTitle() const {
  return {};
}
QString TCalibration::RedoTitle() const {
  return {};
}
void TCalibration::Undo() {}
void TCalibration::Redo() {}
bool TCalibration::IsModified() const {
  return false;
}
void TCalibration::MarkSaved() {}
size_t TCalibration::HistoryBytes() const {
  return 0;
}
