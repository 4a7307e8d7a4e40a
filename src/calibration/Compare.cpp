// Comparison of two calibrations, table by table and cell by cell.
#include "calibration/Compare.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"

namespace {
// A cell's text as a number: the user's decimal separator or a full stop, as the grids and
// settings files write them.
std::optional<double> Number(const QString& text) {
  if (text.isEmpty()) return std::nullopt;
  if (auto value = TryStrToFloat(text, DecimalSeparator())) return value;
  return TryStrToFloat(text, QChar('.'));
}

// Texts shown with 15 significant digits read back within a few units of the last place;
// two values closer than that are one stored code.
bool SameNumber(double a, double b) {
  return a == b || std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

QString Shape(const TCalTable& t) {
  return QStringLiteral("%1 x %2").arg(t.cols).arg(t.rows);
}
}  // namespace

std::optional<double> TCellDiff::Difference() const {
  if (!current || !reference) return std::nullopt;
  // At the precision the two texts show, not with the binary remainder of the subtraction.
  if (const auto delta = TextDifference(currentText, referenceText)) return delta;
  return *current - *reference;
}

const TCellDiff* TTableDiff::Find(int col, int row) const {
  // The cells are in row-major order: a binary search finds one.
  const auto it = std::lower_bound(cells.begin(), cells.end(), std::make_pair(row, col),
                                   [](const TCellDiff& d, const std::pair<int, int>& key) {
                                     return std::make_pair(d.row, d.col) < key;
                                   });
  return it != cells.end() && it->col == col && it->row == row ? &*it : nullptr;
}

int TCompareResult::DifferentCells() const {
  int count = 0;
  for (const TTableDiff& t : tables) count += static_cast<int>(t.cells.size());
  return count;
}

int TCompareResult::NotComparable() const {
  return static_cast<int>(std::count_if(tables.begin(), tables.end(),
                                        [](const TTableDiff& t) { return !t.comparable; }));
}

const TTableDiff* TCompareResult::Table(TTableId id) const {
  for (const TTableDiff& t : tables)
    if (t.id == id) return &t;
  return nullptr;
}

bool SameCellValue(const QString& a, const QString& b) {
  if (a == b) return true;
  const auto x = Number(a), y = Number(b);
  if (x && y) return SameNumber(*x, *y);
  if (x || y) return false;
  return a.trimmed() == b.trimmed();
}

TTableDiff CompareTable(const TCalTable& current, const TCalTable& reference) {
  TTableDiff diff;
  diff.id = current.id;
  if (current.cols != reference.cols || current.rows != reference.rows ||
      current.fixedCols != reference.fixedCols || current.fixedRows != reference.fixedRows ||
      current.values.size() != reference.values.size()) {
    diff.comparable = false;
    diff.reason = Shape(current) + QStringLiteral(" / ") + Shape(reference);
    return diff;
  }
  for (int row = 0; row < current.rows; ++row) {
    for (int col = 0; col < current.cols; ++col) {
      const std::optional<double> a = current.Value(col, row), b = reference.Value(col, row);
      // Numbers by value; blank cells and captions by their labels.
      const bool same =
          a && b   ? SameNumber(*a, *b)
          : a || b ? false
                   : current.Text(col, row).trimmed() == reference.Text(col, row).trimmed();
      if (same) continue;
      TCellDiff cell;
      cell.col = col;
      cell.row = row;
      cell.axis = current.IsFixed(col, row);
      cell.currentText = current.Text(col, row);
      cell.referenceText = reference.Text(col, row);
      cell.current = a;
      cell.reference = b;
      cell.columnAxis = current.ColumnAxis(col);
      cell.rowAxis = current.RowAxis(row);
      diff.cells.push_back(std::move(cell));
    }
  }
  return diff;
}

TCompareResult CompareTables(const std::vector<TCalTable>& current,
                             const std::vector<TCalTable>& reference) {
  TCompareResult result;
  auto find = [](const std::vector<TCalTable>& list, TTableId id) -> const TCalTable* {
    for (const TCalTable& t : list)
      if (t.id == id) return &t;
    return nullptr;
  };
  for (int i = 0; i < kTableCount; ++i) {
    const auto id = static_cast<TTableId>(i);
    const TCalTable* a = find(current, id);
    const TCalTable* b = find(reference, id);
    if (!a && !b) continue;
    if (a && b) {
      result.tables.push_back(CompareTable(*a, *b));
      continue;
    }
    TTableDiff missing;
    missing.id = id;
    missing.comparable = false;
    missing.reason = a ? QCoreApplication::translate("Compare", "нет в эталоне")
                       : QCoreApplication::translate("Compare", "нет в текущей");
    result.tables.push_back(std::move(missing));
  }
  return result;
}

TCompareResult Compare(const TCalibration& current, const TCalibration& reference) {
  return CompareTables(current.Tables(), reference.Tables());
}

void LoadCalibrationFile(TEFIOperator& op, const QString& path) {
  // An operator given only a copy of a configuration has its tables still to size.
  op.ResizeTables();
  if (QFileInfo(path).suffix().compare(QLatin1String("dme"), Qt::CaseInsensitive) == 0) {
    if (const QString problem = op.CheckTables(); !problem.isEmpty())
      throw ERuntimeError(problem.toStdString());
    // The reference is no edit of the current image: its own version text is taken.
    op.fVersionText.clear();
    uint8_t mismatch = 0;
    op.LoadSettings(0, path, mismatch);
    op.LoadSettings(1, path, mismatch);
    return;
  }
  LoadImageFile(path, op.fImage);
  if (const QString problem = op.CheckLayout(); !problem.isEmpty())
    throw ERuntimeError(problem.toStdString());
  op.DecodeImage();
}
