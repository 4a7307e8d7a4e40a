// The tables as the map editors' grids show them: the grid sizes and fixed cells of each
// layout variant, the values a load fills in, the rules of each cell, and the collect that
// writes the values back into the tables.
#include <algorithm>
#include <cmath>
#include <limits>

#include "calibration/Calibration.h"
#include "common/DecimalText.h"
#include "common/Errors.h"
#include "image/EfiOperator.h"

namespace {
// The limits of the part-load maps, within what their codes store.
constexpr double kFuelLow = 0.7, kFuelHigh = 1.5;
constexpr double kSparkLow = -30, kSparkHigh = 60;

struct TableNames {
  TTableId id;
  const char* grid;
  const char* file;
};
constexpr TableNames kNames[kTableCount] = {
    {TTableId::FuelMain, "sgFuelMain", "fuel-main"},
    {TTableId::IgnMain, "sgIgnMain", "ignition-main"},
    {TTableId::IgnXX, "sgrdIgnXX", "ignition-idle"},
    {TTableId::FuelXX, "sgrdFuelXX", "fuel-idle"},
    {TTableId::IgnMax, "sgrdIgnMax", "ignition-full-load"},
    {TTableId::FuelMax, "sgrdFuelMax", "fuel-full-load"},
    {TTableId::MAF, "sgMAF", "maf"},
    {TTableId::WarmUp, "sgrdRPMTempCorr", "warm-up"},
};

// Table cells read and written through bounds checks, as the grids do, so that no
// configuration makes a grid index a table outside its size.
template <typename M>
auto At(const M& table, int row, int col) -> typename M::value_type::value_type {
  if (row < 0 || col < 0 || row >= static_cast<int>(table.size()) ||
      col >= static_cast<int>(table[row].size()))
    return {};
  return table[row][col];
}

template <typename M, typename V>
void Put(M& table, int row, int col, V value) {
  if (row < 0 || col < 0 || row >= static_cast<int>(table.size()) ||
      col >= static_cast<int>(table[row].size()))
    return;
  table[row][col] = value;
}

TCalTable Sized(TTableId id, int version, int cols, int rows, int fixedCols, int fixedRows) {
  TCalTable t;
  t.id = id;
  t.version = version;
  t.cols = std::max(cols, 0);
  t.rows = std::max(rows, 0);
  t.fixedCols = fixedCols;
  t.fixedRows = fixedRows;
  t.Clear();
  return t;
}

// A decoded value into its cell: the value its shown text reads as, as a grid filled with
// that text would hold it.
void Set(TCalTable& t, int col, int row, double decoded) {
  if (t.Contains(col, row)) t.SetValue(col, row, t.Rule(col, row).AsShown(decoded));
}

// A part-load map: the load axis in column 0 and the values of each data row; the RPM
// header up to `headerCols` columns; the corner empty.
TCalTable MainMap(TTableId id, const TEFIOperator& efi, int rows, int cols, int lo, int headerCols,
                  const TFloatMatrix& table) {
  TCalTable t = Sized(id, efi.fVersion, cols, rows, 1, 1);
  for (int r = 1; r < t.rows; ++r) {
    const int tableRow = PartLoadTableRows(efi.fVersion, lo, t.rows, r).front();
    for (int c = 0; c < t.cols; ++c) Set(t, c, r, At(table, tableRow, c));
  }
  for (int c = 1; c < headerCols; ++c) Set(t, c, 0, At(table, 0, c));
  return t;
}

// A table as stored: every row, every column.
TCalTable AsStored(TTableId id, int version, int cols, int rows, const TFloatMatrix& table) {
  TCalTable t = Sized(id, version, cols, rows, 0, 1);
  for (int r = 0; r < t.rows; ++r)
    for (int c = 0; c < t.cols; ++c) Set(t, c, r, At(table, r, c));
  return t;
}

TCalTable IgnMax(const TEFIOperator& efi) {
  const bool split = efi.fVersion == 1;
  TCalTable t =
      split ? Sized(TTableId::IgnMax, 1, efi.fSparkMaxMatrixDim2, efi.fSparkMaxMatrixDim1, 0, 1)
            : Sized(TTableId::IgnMax, efi.fVersion, efi.fSparkMaxMatrixDim2 + 1,
                    efi.fSparkMaxMatrixDim1 + 1, 1, 1);
  // Reversed rows; the RPM header in row 0 (outside variant 1 from column 1, the corner
  // empty).
  for (int i = 1; i < t.rows; ++i)
    for (int c = 0; c < t.cols; ++c) Set(t, c, t.rows - i, At(efi.fSparkMaxMatrix, i, c));
  for (int c = split ? 0 : 1; c < t.cols; ++c) Set(t, c, 0, At(efi.fSparkMaxMatrix, 0, c));
  return t;
}

TCalTable FuelXX(const TEFIOperator& efi) {
  TCalTable t = Sized(TTableId::FuelXX, efi.fVersion, efi.fFuelXXCols, efi.fFuelXXRows, 1, 1);
  // Reversed rows; variant 1 has no idle fuel table, only its header is filled.
  if (efi.fVersion != 1)
    for (int i = 1; i < t.rows; ++i)
      for (int c = 0; c < t.cols; ++c) Set(t, c, t.rows - i, At(efi.fFuelXXMatrix, i, c));
  for (int c = 1; c < t.cols; ++c) Set(t, c, 0, At(efi.fFuelXXMatrix, 0, c));
  return t;
}

// The air-mass curve: row number and meter value; not filled in variant 1.
TCalTable Maf(const TEFIOperator& efi) {
  TCalTable t = Sized(TTableId::MAF, efi.fVersion, 2, efi.fMAFLength, 1, 0);
  if (efi.fVersion == 1) return t;
  for (int n = 0; n < t.rows; ++n) {
    Set(t, 0, n, n);
    Set(t, 1, n, n < static_cast<int>(efi.fMAFTable.size()) ? efi.fMAFTable[n] : 0);
  }
  return t;
}

// Warm-up: temperatures in row 0, idle speeds in row 1.
TCalTable WarmUp(const TEFIOperator& efi) {
  TCalTable t =
      Sized(TTableId::WarmUp, efi.fVersion, efi.fRPMTempCorrDim2, efi.fRPMTempCorrDim1, 0, 1);
  for (int c = 0; c < t.cols; ++c) {
    Set(t, c, 0, At(efi.fRPMTempCorrTable, 0, c));
    Set(t, c, 1, At(efi.fRPMTempCorrTable, 1, c));
  }
  return t;
}

TCellRule AxisOrValue(int col, int row, bool loadAxis, TCodedTable table, int version) {
  using K = TCellRule::Kind;
  if (row == 0 && col == 0 && loadAxis) return TCellRule(K::Text, table, version);
  if (row == 0) return TCellRule(K::RpmAxis, table, version);
  if (col == 0 && loadAxis) return TCellRule(K::LoadAxis, table, version);
  return TCellRule(K::Value, table, version);
}
}  // namespace

QString TableGridName(TTableId id) {
  return QString::fromLatin1(kNames[static_cast<int>(id)].grid);
}

QString TableFileName(TTableId id) {
  return QString::fromLatin1(kNames[static_cast<int>(id)].file);
}

std::optional<TTableId> TableOfName(const QString& name) {
  for (const TableNames& n : kNames)
    if (name == QLatin1String(n.grid) || name == QLatin1String(n.file)) return n.id;
  return std::nullopt;
}

TValueRange PartLoadLimits(TCodedTable table) {
  if (table == TCodedTable::FuelMain) return {kFuelLow, kFuelHigh};
  if (table == TCodedTable::SparkMain) return {kSparkLow, kSparkHigh};
  return {-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
}

TValueRange EditLimits(TCodedTable table, int version) {
  return Intersect(PartLoadLimits(table), StorableRange(table, version));
}

std::vector<int> PartLoadTableRows(int version, int lo, int rowCount, int gridRow) {
  const int i = rowCount - gridRow;
  if (version != 1) return {i};
  if (i < lo) return {i};
  if (i == lo) return {lo + 1, lo};
  return {i + 1};
}

std::vector<TCalTable> TablesOf(const TEFIOperator& efi) {
  const int v = efi.fVersion;
  const bool split = v == 1;
  // The part-load maps: in variant 1 both parts' rows and the low part's columns; otherwise
  // the low part's rows and the configured columns.
  const int fuelRows = split ? efi.fFuelMainMatrixDim1_Lo + efi.fFuelMainMatrixDim1_Hi
                             : efi.fFuelMainMatrixDim1_Lo + 1;
  const int fuelCols = split ? efi.fFuelMainMatrixDim2_Lo + 1 : efi.fFuelMainCols;
  const int ignRows = split ? efi.fSparkMainMatrixDim1_Lo + efi.fSparkMainMatrixDim1_Hi
                            : efi.fSparkMainMatrixDim1_Lo + 1;
  const int ignCols = split ? efi.fSparkMainMatrixDim2_Lo + 1 : efi.fSparkMainCols;
  std::vector<TCalTable> tables;
  tables.reserve(kTableCount);
  // The fuel map's header goes up to the configured RPM breakpoints.
  tables.push_back(MainMap(TTableId::FuelMain, efi, fuelRows, fuelCols, efi.fFuelMainMatrixDim1_Lo,
                           std::min(efi.fFuelMainMatrixDim2_Lo + 1, std::max(fuelCols, 0)),
                           efi.fFuelMainMatrix));
  tables.push_back(MainMap(TTableId::IgnMain, efi, ignRows, ignCols, efi.fSparkMainMatrixDim1_Lo,
                           ignCols, efi.fSparkMainMatrix));
  tables.push_back(AsStored(TTableId::IgnXX, v, efi.fSparkXXMatrixDim2, efi.fSparkXXMatrixDim1,
                            efi.fSparkXXMatrix));
  tables.push_back(FuelXX(efi));
  tables.push_back(IgnMax(efi));
  tables.push_back(AsStored(TTableId::FuelMax, v, efi.fFuelMaxMatrixDim2, efi.fFuelMaxMatrixDim1,
                            efi.fFuelMaxMatrix));
  tables.push_back(Maf(efi));
  tables.push_back(WarmUp(efi));
  return tables;
}

bool SameValue(const std::optional<double>& a, const std::optional<double>& b) {
  if (!a || !b) return !a && !b;
  return *a == *b && std::signbit(*a) == std::signbit(*b);
}

// --- TCalTable ---

namespace {
// A cell text as a number: the user's decimal separator, a full stop, or a whole number.
std::optional<double> ReadNumber(const QString& text) {
  if (auto v = TryStrToFloat(text, DecimalSeparator())) return v;
  if (auto v = TryStrToFloat(text, QChar('.'))) return v;
  if (auto v = TryStrToInt(text)) return *v;
  return std::nullopt;
}
}  // namespace

bool TCalTable::Contains(int col, int row) const {
  return col >= 0 && row >= 0 && col < cols && row < rows;
}

void TCalTable::Clear() {
  values.assign(static_cast<size_t>(std::max(cols, 0)) * std::max(rows, 0), std::nullopt);
  captions.clear();
}

QString TCalTable::Text(int col, int row) const {
  if (!Contains(col, row)) return {};
  const int index = row * cols + col;
  const TCellRule rule = Rule(col, row);
  if (rule.GetKind() == TCellRule::Kind::Text) {
    const auto label = captions.find(index);
    return label == captions.end() ? QString() : label->second;
  }
  const std::optional<double>& value = values[static_cast<size_t>(index)];
  return value ? rule.Show(*value) : QString();
}

bool TCalTable::IsFixed(int col, int row) const {
  return col < fixedCols || row < fixedRows;
}

TCellRule TCalTable::Rule(int col, int row) const {
  using K = TCellRule::Kind;
  using T = TCodedTable;
  if (!Contains(col, row)) return {};
  switch (id) {
    case TTableId::FuelMain:
      return AxisOrValue(col, row, true, T::FuelMain, version);
    case TTableId::IgnMain:
      return AxisOrValue(col, row, true, T::SparkMain, version);
    case TTableId::FuelXX:
      return AxisOrValue(col, row, true, T::FuelXX, version);
    case TTableId::IgnMax:
      return AxisOrValue(col, row, version != 1, T::SparkMax, version);
    case TTableId::IgnXX:
      return AxisOrValue(col, row, false, T::SparkXX, version);
    case TTableId::FuelMax:
      return AxisOrValue(col, row, false, T::FuelMax, version);
    case TTableId::MAF:
      return TCellRule(col == 0 ? K::Index : K::Value, T::MAF, version);
    case TTableId::WarmUp:
      return TCellRule(row == 0   ? K::Temperature
                       : row == 1 ? K::Value
                                  : K::Text,
                       T::WarmUpSpeed, version);
  }
  return {};
}

std::optional<double> TCalTable::Value(int col, int row) const {
  if (!Contains(col, row)) return std::nullopt;
  return values[static_cast<size_t>(row) * cols + col];
}

void TCalTable::SetValue(int col, int row, std::optional<double> value) {
  if (!Contains(col, row) || Rule(col, row).GetKind() == TCellRule::Kind::Text) return;
  values[static_cast<size_t>(row) * cols + col] = value;
}

void TCalTable::SetCaption(int col, int row, const QString& label) {
  if (!Contains(col, row) || Rule(col, row).GetKind() != TCellRule::Kind::Text) return;
  if (label.isEmpty())
    captions.erase(row * cols + col);
  else
    captions[row * cols + col] = label;
}

bool TCalTable::SetText(int col, int row, const QString& text) {
  if (!Contains(col, row)) return false;
  if (Rule(col, row).GetKind() == TCellRule::Kind::Text) {
    SetCaption(col, row, text);
    return true;
  }
  if (text.isEmpty()) {
    SetValue(col, row, std::nullopt);
    return true;
  }
  const std::optional<double> value = ReadNumber(text);
  if (!value) return false;
  SetValue(col, row, value);
  return true;
}

void TCalTable::SetUnchecked(int col, int row, const QString& text) {
  using K = TCellRule::Kind;
  const TCellRule rule = Rule(col, row);
  if (!Contains(col, row) || rule.GetKind() == K::Text || rule.GetKind() == K::Index) {
    SetText(col, row, text);
    return;
  }
  if (text.isEmpty()) {
    SetValue(col, row, std::nullopt);
    return;
  }
  // A data cell reads either decimal mark (or a whole number); an axis is read as the save
  // reads it, with the user's separator or as a whole number.
  const bool data = rule.GetKind() == K::Value;
  std::optional<double> value;
  if (data)
    value = ReadNumber(text);
  else if (rule.Integer())
    value = TryStrToInt(text);
  else
    value = TryStrToFloat(text, DecimalSeparator());
  if (!value)
    throw rule.Integer() ? EConvertError::InvalidInteger(text) : EConvertError::InvalidFloat(text);
  if (data) {
    const double held = HoldInRange(*value, rule.Range());
    // The save reads the held value as its text: a whole-number cell refuses a fraction.
    if (rule.Integer() && held != std::round(held))
      throw EConvertError::InvalidInteger(FloatToStr(held));
    value = rule.AsShown(held);
  }
  SetValue(col, row, value);
}

std::optional<double> TCalTable::ColumnAxis(int col) const {
  const TCellRule::Kind kind = Rule(col, 0).GetKind();
  if (kind != TCellRule::Kind::RpmAxis && kind != TCellRule::Kind::Temperature) return {};
  return Value(col, 0);
}

std::optional<double> TCalTable::RowAxis(int row) const {
  if (Rule(0, row).GetKind() != TCellRule::Kind::LoadAxis) return {};
  return Value(0, row);
}

// --- Collect ---

namespace {
// Writes table values back as the map editors' collect does: every value held within what
// its code can store, the axes as they stand; a blank cell where a number belongs throws
// the conversion error of its empty text. The editors' limits are not applied here: they
// belong to the changes the user makes, which the editing commands have held already,
// while a loaded value keeps its code whatever it is (a decoded value always lies within
// what its code stores).
struct Collector {
  TEFIOperator& efi;
  int v = efi.fVersion;

  static double Number(const std::optional<double>& value) {
    if (!value) throw EConvertError::InvalidFloat(QString());
    return *value;
  }
  static int32_t Integer(const std::optional<double>& value) {
    if (!value) throw EConvertError::InvalidInteger(QString());
    return static_cast<int32_t>(std::llround(*value));
  }
  double Value(const std::optional<double>& value, TCodedTable table) const {
    return HoldInRange(Number(value), StorableRange(table, v));
  }
  int32_t Whole(const std::optional<double>& value, TCodedTable table) const {
    return static_cast<int32_t>(HoldInRange(Integer(value), StorableRange(table, v)));
  }
  // As stored; row 0 is the RPM axis.
  void AsStored(const TCalTable& t, TFloatMatrix& table, TCodedTable kind) const {
    for (int c = 0; c < t.cols; ++c) {
      Put(table, 0, c, Number(t.Value(c, 0)));
      for (int r = 1; r < t.rows; ++r) Put(table, r, c, Value(t.Value(c, r), kind));
    }
  }
  // The reverse of the fill; blank cells (the corner) are skipped.
  void IgnMax(const TCalTable& t) const {
    for (int r = 0; r < t.rows; ++r) {
      const int gridRow = r == 0 ? 0 : t.rows - r;
      for (int c = 0; c < t.cols; ++c) {
        const std::optional<double> cell = t.Value(c, gridRow);
        if (!cell) continue;
        // Row 0 holds the RPM axis, and outside variant 1 column 0 the load axis.
        const bool axis = r == 0 || (c == 0 && v != 1);
        Put(efi.fSparkMaxMatrix, r, c, axis ? *cell : Value(cell, TCodedTable::SparkMax));
      }
    }
  }
  // A part-load map, every cell but the corner; column 0 holds the load axis.
  void MainMap(const TCalTable& t, TFloatMatrix& table, int lo, TCodedTable kind) const {
    for (int c = 1; c < t.cols; ++c) Put(table, 0, c, Number(t.Value(c, 0)));
    for (int r = 1; r < t.rows; ++r)
      for (int c = 0; c < t.cols; ++c) {
        const std::optional<double> value = t.Value(c, r);
        const double cell = c == 0 ? Number(value) : Value(value, kind);
        for (int tableRow : PartLoadTableRows(v, lo, t.rows, r)) Put(table, tableRow, c, cell);
      }
  }
  // Idle fuel, reversed rows, every cell but the corner.
  void FuelXX(const TCalTable& t) const {
    for (int c = 1; c < t.cols; ++c) Put(efi.fFuelXXMatrix, 0, c, Number(t.Value(c, 0)));
    for (int i = 1; i < t.rows; ++i)
      for (int c = 0; c < t.cols; ++c) {
        const std::optional<double> value = t.Value(c, t.rows - i);
        Put(efi.fFuelXXMatrix, i, c, c == 0 ? Number(value) : Value(value, TCodedTable::FuelXX));
      }
  }
  // The air-mass-meter curve holds 16-bit values.
  void Maf(const TCalTable& t) const {
    for (int n = 0; n < t.rows && n < static_cast<int>(efi.fMAFTable.size()); ++n)
      efi.fMAFTable[n] = static_cast<uint16_t>(Whole(t.Value(1, n), TCodedTable::MAF));
  }
  // Warm-up: temperatures in row 0, idle speeds in row 1.
  void WarmUp(const TCalTable& t) const {
    for (int c = 0; c < t.cols; ++c) {
      Put(efi.fRPMTempCorrTable, 0, c, Integer(t.Value(c, 0)));
      Put(efi.fRPMTempCorrTable, 1, c, Whole(t.Value(c, 1), TCodedTable::WarmUpSpeed));
    }
  }
};
}  // namespace

void TCalibration::CollectInto(const std::vector<TCalTable>& tables, TEFIOperator& efi) {
  const Collector in{efi};
  static const TCalTable kNone;
  auto find = [&tables](TTableId id) -> const TCalTable& {
    for (const TCalTable& t : tables)
      if (t.id == id) return t;
    return kNone;
  };
  // In the order of the editors' collect, so that a blank cell stops it at the same place.
  in.AsStored(find(TTableId::FuelMax), efi.fFuelMaxMatrix, TCodedTable::FuelMax);
  in.IgnMax(find(TTableId::IgnMax));
  in.MainMap(find(TTableId::IgnMain), efi.fSparkMainMatrix, efi.fSparkMainMatrixDim1_Lo,
             TCodedTable::SparkMain);
  in.MainMap(find(TTableId::FuelMain), efi.fFuelMainMatrix, efi.fFuelMainMatrixDim1_Lo,
             TCodedTable::FuelMain);
  in.AsStored(find(TTableId::IgnXX), efi.fSparkXXMatrix, TCodedTable::SparkXX);
  if (efi.fVersion != 1) {
    in.FuelXX(find(TTableId::FuelXX));
    in.Maf(find(TTableId::MAF));
  }
  in.WarmUp(find(TTableId::WarmUp));
}
