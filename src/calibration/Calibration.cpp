// TCellRule (how a cell stores, steps and shows a value) and TCalibration (the document and
// its history).
#include "calibration/Calibration.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

#include "common/DecimalText.h"
#include "image/EfiOperator.h"

// --- TCellRule ---

namespace {
using K = TCellRule::Kind;

bool IsAxis(K kind) {
  return kind == K::RpmAxis || kind == K::LoadAxis || kind == K::Temperature;
}

TAxisKind AxisOf(K kind) {
  return kind == K::RpmAxis    ? TAxisKind::Rpm
         : kind == K::LoadAxis ? TAxisKind::Load
                               : TAxisKind::Temperature;
}
}  // namespace

TCellRule::TCellRule(Kind kind, TCodedTable table, int version)
    : fKind(kind), fTable(table), fVersion(version) {}

TValueRange TCellRule::Range() const {
  if (fKind == Kind::Value) return EditLimits(fTable, fVersion);
  if (IsAxis(fKind)) {
    const TAxisKind axis = AxisOf(fKind);
    return {AxisValueOfUnits(axis, 0), AxisValueOfUnits(axis, kAxisUnitsTop)};
  }
  return {std::numeric_limits<double>::lowest(), std::numeric_limits<double>::max()};
}

bool TCellRule::Integer() const {
  switch (fKind) {
    case Kind::Value:
      return fTable == TCodedTable::MAF || fTable == TCodedTable::WarmUpSpeed;
    case Kind::LoadAxis:
    case Kind::Text:
      return false;
    case Kind::RpmAxis:
    case Kind::Temperature:
    case Kind::Index:
      return true;
  }
  return false;
}

namespace {
// The code of a value and the value of a code, for a table value or an axis breakpoint.
struct Coder {
  K kind;
  TCodedTable table;
  int version;
  int64_t CodeOf(double value) const {
    return IsAxis(kind) ? AxisUnitsOfValue(AxisOf(kind), value)
                        : CodeOfValue(table, version, value);
  }
  double ValueOf(int64_t code) const {
    return IsAxis(kind) ? AxisValueOfUnits(AxisOf(kind), code) : ValueOfCode(table, version, code);
  }
};
}  // namespace

double TCellRule::Quantise(double value, bool* limited) const {
  if (limited) *limited = false;
  if (fKind == Kind::Text || fKind == Kind::Index) return value;
  const TValueRange range = Range();
  const double held = HoldInRange(value, range);
  if (limited) *limited = !(held == value);
  const Coder coder{fKind, fTable, fVersion};
  const int64_t code = coder.CodeOf(held);
  const double result = coder.ValueOf(code);
  // The nearest code's value can lie a rounding past a limit: the next code inward then.
  if (result > range.high) return coder.ValueOf(code - 1);
  if (result < range.low) return coder.ValueOf(code + 1);
  return result;
}

double TCellRule::Step(double value, int steps, bool* limited) const {
  if (limited) *limited = false;
  if (fKind == Kind::Text || fKind == Kind::Index || steps == 0) return value;
  const TValueRange range = Range();
  const Coder coder{fKind, fTable, fVersion};
  int64_t code = coder.CodeOf(Quantise(value));
  QString shown = Show(coder.ValueOf(code));
  const int dir = steps > 0 ? 1 : -1;
  for (int n = 0; n < std::abs(steps); ++n) {
    // Codes whose value shows as the current text are passed over.
    int64_t next = code + dir;
    double v = coder.ValueOf(next);
    while (v >= range.low && v <= range.high && Show(v) == shown) v = coder.ValueOf(next += dir);
    if (v < range.low || v > range.high) {
      if (limited) *limited = true;
      break;
    }
    code = next;
    shown = Show(v);
  }
  return coder.ValueOf(code);
}

QString TCellRule::Show(double value) const {
  if (Integer()) return QString::number(static_cast<int64_t>(std::llround(value)));
  return FloatToStr(value);
}

double TCellRule::AsShown(double value) const {
  if (Integer()) return static_cast<double>(std::llround(value));
  return TryStrToFloat(FloatToStr(value), DecimalSeparator()).value_or(value);
}

// --- TCalibration ---

TCalibration::TCalibration(QObject* parent) : QObject(parent) {}

void TCalibration::Load(const TEFIOperator& efi) {
  fTables = TablesOf(efi);
  KeepSharedRows(efi);
  // The rev limit as its box holds it, the CO trim as its bar does (outside variant 1).
  fSettings[QStringLiteral("MaxRPM")] = std::clamp<int32_t>(efi.fMaxRPM, 0, 9000);
  fLoadedMaxRPM = efi.fMaxRPM;
  if (efi.fVersion != 1)
    fSettings[QStringLiteral("COTrim")] = std::clamp(int{efi.fCOReg} - 128, -50, 50);
  fHistory.clear();
  fDone = 0;
  fSaved = 0;
  fLoaded = true;
  emit Reloaded();
  emit HistoryChanged();
}

void TCalibration::SetBaseline(const QString& key, double value) {
  fSettings[key] = value;
}

bool TCalibration::Loaded() const {
  return fLoaded;
}

void TCalibration::Unload() {
  fLoaded = false;
}

const std::vector<TCalTable>& TCalibration::Tables() const {
  return fTables;
}

const TCalTable& TCalibration::Table(TTableId id) const {
  static const TCalTable kNone;
  for (const TCalTable& t : fTables)
    if (t.id == id) return t;
  return kNone;
}

TCalTable* TCalibration::Find(TTableId id) {
  for (TCalTable& t : fTables)
    if (t.id == id) return &t;
  return nullptr;
}

double TCalibration::Setting(const QString& key) const {
  const auto it = fSettings.find(key);
  return it == fSettings.end() ? 0 : it->second;
}

void TCalibration::CollectMaxRPM(int32_t shown, TEFIOperator& efi) const {
  if (shown == std::clamp<int32_t>(fLoadedMaxRPM, 0, 9000))
    efi.fMaxRPM = fLoadedMaxRPM;
  else
    efi.SetMaxRPM(shown);
}

void TCalibration::CollectInto(TEFIOperator& efi) const {
  CollectMaxRPM(static_cast<int32_t>(Setting(QStringLiteral("MaxRPM"))), efi);
  CollectTablesInto(fTables, efi);
}

void TCalibration::KeepSharedRows(const TEFIOperator& efi) {
  fSharedRows.clear();
  if (efi.fVersion != 1) return;
  auto keep = [&](TTableId id, const TFloatMatrix& table, int lo) {
    const TCalTable& shown = Table(id);
    // The grid row that shows the high part's first row (and stands for the low part's
    // last); the table row it hides.
    const int gridRow = shown.rows - lo;
    if (lo < 0 || lo >= static_cast<int>(table.size()) || gridRow < 1 || gridRow >= shown.rows)
      return;
    TSharedRow row{id, lo, gridRow, table[static_cast<size_t>(lo)], {}};
    for (int c = 0; c < shown.cols; ++c) row.shown.push_back(shown.Value(c, gridRow));
    fSharedRows.push_back(std::move(row));
  };
  keep(TTableId::FuelMain, efi.fFuelMainMatrix, efi.fFuelMainMatrixDim1_Lo);
  keep(TTableId::IgnMain, efi.fSparkMainMatrix, efi.fSparkMainMatrixDim1_Lo);
}

void TCalibration::CollectTablesInto(const std::vector<TCalTable>& tables,
                                     TEFIOperator& efi) const {
  CollectInto(tables, efi);
  for (const TSharedRow& row : fSharedRows) {
    TFloatMatrix& table = row.id == TTableId::FuelMain ? efi.fFuelMainMatrix : efi.fSparkMainMatrix;
    const TCalTable* shown = nullptr;
    for (const TCalTable& t : tables)
      if (t.id == row.id) shown = &t;
    if (!shown || row.tableRow >= static_cast<int>(table.size())) continue;
    std::vector<double>& values = table[static_cast<size_t>(row.tableRow)];
    for (size_t c = 0; c < values.size() && c < row.values.size() && c < row.shown.size(); ++c)
      if (SameValue(shown->Value(static_cast<int>(c), row.gridRow), row.shown[c]))
        values[c] = row.values[c];
  }
}

bool TCalibration::Apply(TEditStep step) {
  // Each edit in turn, its `before` taken from the document, so that an undo in the
  // reverse order restores every value even when a cell is named twice. A caption takes no
  // value.
  std::vector<TCellEdit> cells;
  for (TCellEdit& e : step.cells) {
    TCalTable* t = Find(e.table);
    if (!t || !t->Contains(e.col, e.row)) continue;
    if (t->Rule(e.col, e.row).GetKind() == TCellRule::Kind::Text) continue;
    const std::optional<double> value = t->Value(e.col, e.row);
    if (SameValue(value, e.after)) continue;
    e.before = value;
    t->SetValue(e.col, e.row, e.after);
    cells.push_back(e);
  }
  std::vector<TSettingEdit> settings;
  for (TSettingEdit& e : step.settings) {
    double& value = fSettings[e.key];
    if (value == e.after) continue;
    e.before = value;
    value = e.after;
    settings.push_back(std::move(e));
  }
  if (cells.empty() && settings.empty()) return false;
  step.cells = std::move(cells);
  step.settings = std::move(settings);
  step.cells.shrink_to_fit();
  step.settings.shrink_to_fit();
  // A step after undoing past the saved state makes that state unreachable, unless the
  // steps undone changed nothing a file holds.
  if (fSaved && *fSaved > fDone) {
    if (ChangesFileData(fDone, *fSaved))
      fSaved.reset();
    else
      fSaved = fDone;
  }
  fHistory.resize(fDone);
  fHistory.push_back(std::move(step));
  ++fDone;
  // The values are set already: only the signals are left.
  const TEditStep& done = fHistory.back();
  Perform(done, true);
  return true;
}

void TCalibration::Perform(const TEditStep& step, bool forward) {
  std::map<TTableId, std::vector<QPoint>> changed;
  auto apply = [&](const TCellEdit& e) {
    TCalTable* t = Find(e.table);
    if (!t || !t->Contains(e.col, e.row)) return;
    t->SetValue(e.col, e.row, forward ? std::optional<double>(e.after) : e.before);
    changed[e.table].push_back(QPoint(e.col, e.row));
  };
  if (forward)
    std::for_each(step.cells.begin(), step.cells.end(), apply);
  else
    std::for_each(step.cells.rbegin(), step.cells.rend(), apply);
  for (const auto& [table, cells] : changed) emit CellsChanged(table, cells);
  auto set = [&](const TSettingEdit& e) {
    fSettings[e.key] = forward ? e.after : e.before;
    emit SettingChanged(e.key, fSettings[e.key]);
  };
  if (forward)
    std::for_each(step.settings.begin(), step.settings.end(), set);
  else
    std::for_each(step.settings.rbegin(), step.settings.rend(), set);
  emit HistoryChanged();
}

bool TCalibration::CanUndo() const {
  return fDone > 0;
}

bool TCalibration::CanRedo() const {
  return fDone < fHistory.size();
}

QString TCalibration::UndoTitle() const {
  return CanUndo() ? fHistory[fDone - 1].title : QString();
}

QString TCalibration::RedoTitle() const {
  return CanRedo() ? fHistory[fDone].title : QString();
}

void TCalibration::Undo() {
  if (!CanUndo()) return;
  --fDone;
  Perform(fHistory[fDone], false);
}

void TCalibration::Redo() {
  if (!CanRedo()) return;
  ++fDone;
  Perform(fHistory[fDone - 1], true);
}

bool TCalibration::IsModified() const {
  return !fSaved || ChangesFileData(std::min(*fSaved, fDone), std::max(*fSaved, fDone));
}

bool TCalibration::ChangesFileData(size_t from, size_t to) const {
  // The lambda panel's settings are undo steps, but neither the settings file nor the image
  // holds them: changing them is no change of the calibration.
  static const QStringList kHeld = {QStringLiteral("MaxRPM"), QStringLiteral("COTrim")};
  for (size_t i = from; i < to && i < fHistory.size(); ++i) {
    const TEditStep& step = fHistory[i];
    if (!step.cells.empty()) return true;
    for (const TSettingEdit& setting : step.settings)
      if (kHeld.contains(setting.key)) return true;
  }
  return false;
}

void TCalibration::MarkSaved() {
  fSaved = fDone;
  emit HistoryChanged();
}

namespace {
// Heap bytes of a text: its characters and the block header, when it has its own block.
size_t TextBytes(const QString& text) {
  return text.capacity() > 0 ? sizeof(char16_t) * (text.capacity() + 1) + 16 : 0;
}
}  // namespace

size_t TCalibration::HistoryBytes() const {
  size_t bytes = fHistory.capacity() * sizeof(TEditStep);
  for (const TEditStep& step : fHistory) {
    bytes += TextBytes(step.title);
    bytes += step.cells.capacity() * sizeof(TCellEdit);
    bytes += step.settings.capacity() * sizeof(TSettingEdit);
    for (const TSettingEdit& e : step.settings) bytes += TextBytes(e.key);
  }
  return bytes;
}
