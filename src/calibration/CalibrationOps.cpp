// The operations on a block of cells, the clipboard and CSV. Each reads the table's values,
// computes new ones, and turns every result into the nearest stored code held within the
// cell's limits, as that code shows after loading.
#include "calibration/CalibrationOps.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <functional>

#include "common/DecimalText.h"
#include "common/ShownText.h"

namespace {
using K = TCellRule::Kind;

// The data cells of a selection: its corners ordered and kept inside the table and off the
// fixed header cells.
TSelection DataBlock(const TCalTable& t, const TSelection& sel) {
  TSelection s{std::min(sel.left, sel.right), std::min(sel.top, sel.bottom),
               std::max(sel.left, sel.right), std::max(sel.top, sel.bottom)};
  s.left = std::max(s.left, t.fixedCols);
  s.top = std::max(s.top, t.fixedRows);
  s.right = std::min(s.right, t.cols - 1);
  s.bottom = std::min(s.bottom, t.rows - 1);
  return s;
}

bool Writable(const TCalTable& t, int col, int row) {
  return t.Contains(col, row) && !t.IsFixed(col, row) && t.Rule(col, row).GetKind() == K::Value;
}

// Collects the edits of one operation: each new value through its cell's rule.
class StepBuilder {
 public:
  StepBuilder(const TCalTable& table, const QString& title) : fTable(table) {
    fResult.step.title = title;
  }
  void Put(int col, int row, double value) {
    const TCellRule rule = fTable.Rule(col, row);
    bool limited = false;
    const double held = rule.Quantise(value, &limited);
    if (limited) ++fResult.limited;
    PutHeld(col, row, held);
  }
  // A value the cell's rule has held already, as its cell shows it.
  void PutHeld(int col, int row, double value) {
    const double after = fTable.Rule(col, row).AsShown(value);
    const std::optional<double> before = fTable.Value(col, row);
    if (!SameValue(before, after))
      fResult.step.cells.push_back({fTable.id, col, row, before, after});
  }
  void Limited() { ++fResult.limited; }
  TOpResult Done() { return std::move(fResult); }

 private:
  const TCalTable& fTable;
  TOpResult fResult;
};

TOpResult Failed(const QString& error) {
  TOpResult r;
  r.error = error;
  return r;
}

// Every writable cell of the block with a number gets f(value).
TOpResult EachCell(const TCalTable& t, const TSelection& sel, const QString& title,
                   const std::function<double(double, const TCellRule&, bool&)>& f) {
  StepBuilder out(t, title);
  const TSelection s = DataBlock(t, sel);
  for (int r = s.top; r <= s.bottom; ++r)
    for (int c = s.left; c <= s.right; ++c) {
      if (!Writable(t, c, r)) continue;
      const std::optional<double> v = t.Value(c, r);
      if (!v) continue;
      bool limited = false;
      const double result = f(*v, t.Rule(c, r), limited);
      if (limited) {
        // Already held by the rule: written as it is, counted once.
        out.Limited();
        out.PutHeld(c, r, result);
      } else {
        out.Put(c, r, result);
      }
    }
  return out.Done();
}

// Where a cell stands along an axis: the axis value, or its index where the table has no
// axis or two ends stand at the same value.
double Position(const std::optional<double>& axis, int index) {
  return axis ? *axis : index;
}

double Fraction(double x, double x0, double x1) {
  return x1 == x0 ? 0 : (x - x0) / (x1 - x0);
}

// The positions of a span of columns (or rows), by axis when every one has an axis value
// and the ends differ, else by index.
std::vector<double> Positions(const TCalTable& t, int first, int last, bool columns) {
  std::vector<double> by;
  bool axis = true;
  for (int i = first; i <= last; ++i) {
    const std::optional<double> a = columns ? t.ColumnAxis(i) : t.RowAxis(i);
    axis = axis && a.has_value();
    by.push_back(Position(a, i));
  }
  if (!axis || by.front() == by.back())
    for (int i = first; i <= last; ++i) by[i - first] = i;
  return by;
}

QString Cell(int col, int row) {
  return QCoreApplication::translate("CalibrationOps", "столбец %1, строка %2").arg(col).arg(row);
}
}  // namespace

TOpResult SetValue(const TCalTable& table, const TSelection& sel, double value) {
  return EachCell(table, sel, QCoreApplication::translate("CalibrationOps", "Задать значение"),
                  [value](double, const TCellRule&, bool&) { return value; });
}

TOpResult AddValue(const TCalTable& table, const TSelection& sel, double delta) {
  return EachCell(table, sel, QCoreApplication::translate("CalibrationOps", "Прибавить"),
                  [delta](double v, const TCellRule&, bool&) { return v + delta; });
}

TOpResult ScalePercent(const TCalTable& table, const TSelection& sel, double percent) {
  return EachCell(table, sel, QCoreApplication::translate("CalibrationOps", "Умножить на %"),
                  [percent](double v, const TCellRule&, bool&) { return v * percent / 100; });
}

TOpResult StepCodes(const TCalTable& table, const TSelection& sel, int steps) {
  return EachCell(table, sel,
                  steps >= 0 ? QCoreApplication::translate("CalibrationOps", "Шаг вверх")
                             : QCoreApplication::translate("CalibrationOps", "Шаг вниз"),
                  [steps](double v, const TCellRule& rule, bool& limited) {
                    return rule.Step(v, steps, &limited);
                  });
}

TOpResult InterpolateH(const TCalTable& table, const TSelection& sel) {
  StepBuilder out(table,
                  QCoreApplication::translate("CalibrationOps", "Интерполировать по горизонтали"));
  const TSelection s = DataBlock(table, sel);
  if (s.right - s.left < 2) return out.Done();
  const std::vector<double> x = Positions(table, s.left, s.right, true);
  for (int r = s.top; r <= s.bottom; ++r) {
    const auto v0 = table.Value(s.left, r), v1 = table.Value(s.right, r);
    if (!v0 || !v1 || !Writable(table, s.left, r)) continue;
    for (int c = s.left + 1; c < s.right; ++c)
      if (Writable(table, c, r))
        out.Put(c, r, *v0 + (*v1 - *v0) * Fraction(x[c - s.left], x.front(), x.back()));
  }
  return out.Done();
}

TOpResult InterpolateV(const TCalTable& table, const TSelection& sel) {
  StepBuilder out(table,
                  QCoreApplication::translate("CalibrationOps", "Интерполировать по вертикали"));
  const TSelection s = DataBlock(table, sel);
  if (s.bottom - s.top < 2) return out.Done();
  const std::vector<double> y = Positions(table, s.top, s.bottom, false);
  for (int c = s.left; c <= s.right; ++c) {
    const auto v0 = table.Value(c, s.top), v1 = table.Value(c, s.bottom);
    if (!v0 || !v1 || !Writable(table, c, s.top)) continue;
    for (int r = s.top + 1; r < s.bottom; ++r)
      if (Writable(table, c, r))
        out.Put(c, r, *v0 + (*v1 - *v0) * Fraction(y[r - s.top], y.front(), y.back()));
  }
  return out.Done();
}

TOpResult Interpolate2D(const TCalTable& table, const TSelection& sel) {
  StepBuilder out(table,
                  QCoreApplication::translate("CalibrationOps", "Интерполировать по площади"));
  const TSelection s = DataBlock(table, sel);
  if (s.right < s.left || s.bottom < s.top) return out.Done();
  const auto a = table.Value(s.left, s.top), b = table.Value(s.right, s.top);
  const auto c = table.Value(s.left, s.bottom), d = table.Value(s.right, s.bottom);
  if (!a || !b || !c || !d) return out.Done();
  const std::vector<double> x = Positions(table, s.left, s.right, true);
  const std::vector<double> y = Positions(table, s.top, s.bottom, false);
  for (int r = s.top; r <= s.bottom; ++r) {
    const double ty = Fraction(y[r - s.top], y.front(), y.back());
    for (int col = s.left; col <= s.right; ++col) {
      const bool corner = (col == s.left || col == s.right) && (r == s.top || r == s.bottom);
      if (corner || !Writable(table, col, r)) continue;
      const double tx = Fraction(x[col - s.left], x.front(), x.back());
      const double top = *a + (*b - *a) * tx, bottom = *c + (*d - *c) * tx;
      out.Put(col, r, top + (bottom - top) * ty);
    }
  }
  return out.Done();
}

TOpResult Smooth(const TCalTable& table, const TSelection& sel) {
  // The binomial 3 x 3 kernel: the cell 4, its four side neighbours 2, the four diagonal
  // ones 1. A neighbour that is no value cell (the table's edge, an axis) is left out and
  // the weights of the others count alone.
  static constexpr int kWeight[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
  StepBuilder out(table, QCoreApplication::translate("CalibrationOps", "Сгладить"));
  const TSelection s = DataBlock(table, sel);
  for (int r = s.top; r <= s.bottom; ++r)
    for (int c = s.left; c <= s.right; ++c) {
      if (!Writable(table, c, r) || !table.Value(c, r)) continue;
      double sum = 0, weights = 0;
      for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
          if (!Writable(table, c + dc, r + dr)) continue;
          const std::optional<double> v = table.Value(c + dc, r + dr);
          if (!v) continue;
          sum += kWeight[dr + 1][dc + 1] * *v;
          weights += kWeight[dr + 1][dc + 1];
        }
      out.Put(c, r, sum / weights);
    }
  return out.Done();
}

// --- Clipboard and CSV ---

namespace {
QString NumberText(const TCalTable& t, int col, int row, QChar decimal) {
  const std::optional<double> v = t.Value(col, row);
  return v ? FloatToStr(*v, decimal) : QString();
}

// A number with either decimal mark.
std::optional<double> ParseNumber(const QString& field, QChar decimal) {
  if (auto v = TryStrToFloat(field, decimal)) return v;
  if (auto v = TryStrToFloat(field, decimal == '.' ? QChar(',') : QChar('.'))) return v;
  return std::nullopt;
}

// The lines of a text (any line end), the trailing empty ones dropped.
QStringList Lines(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
  QStringList lines = t.split('\n');
  while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
  return lines;
}

// The numbers of a block, row by row, or the reason why it is none.
struct Block {
  std::vector<std::vector<std::optional<double>>> rows;
  QString error;
};

Block ParseBlock(const QStringList& lines, QChar separator, QChar decimal, bool emptyAllowed,
                 const QString& what) {
  Block b;
  for (int i = 0; i < lines.size(); ++i) {
    std::vector<std::optional<double>> row;
    const QStringList fields = lines[i].split(separator);
    for (int j = 0; j < fields.size(); ++j) {
      const QString field = fields[j].trimmed();
      if (field.isEmpty() && emptyAllowed) {
        row.push_back(std::nullopt);
        continue;
      }
      const std::optional<double> v = ParseNumber(field, decimal);
      if (!v) {
        b.error = QCoreApplication::translate("CalibrationOps",
                                              "%1: «%2» в строке %3, поле %4 — не число")
                      .arg(what, ShownPiece(field))
                      .arg(i + 1)
                      .arg(j + 1);
        return b;
      }
      row.push_back(v);
    }
    if (!b.rows.empty() && row.size() != b.rows.front().size()) {
      b.error = QCoreApplication::translate("CalibrationOps",
                                            "%1: в строке %2 полей %3, а в первой строке %4")
                    .arg(what)
                    .arg(i + 1)
                    .arg(row.size())
                    .arg(b.rows.front().size());
      return b;
    }
    b.rows.push_back(std::move(row));
  }
  if (b.rows.empty())
    b.error = QCoreApplication::translate("CalibrationOps", "%1: нет ни одного числа").arg(what);
  return b;
}
}  // namespace

QString CopyText(const TCalTable& table, const TSelection& sel, QChar decimal) {
  const TSelection s{std::max(std::min(sel.left, sel.right), 0),
                     std::max(std::min(sel.top, sel.bottom), 0),
                     std::min(std::max(sel.left, sel.right), table.cols - 1),
                     std::min(std::max(sel.top, sel.bottom), table.rows - 1)};
  QStringList lines;
  for (int r = s.top; r <= s.bottom; ++r) {
    QStringList fields;
    for (int c = s.left; c <= s.right; ++c) fields << NumberText(table, c, r, decimal);
    lines << fields.join('\t');
  }
  return lines.isEmpty() ? QString() : lines.join('\n') + '\n';
}

TOpResult Paste(const TCalTable& table, int col, int row, const QString& text, QChar decimal) {
  const QStringList lines = Lines(text);
  const QChar separator = text.contains('\t') ? QChar('\t') : QChar(';');
  const QString what = QCoreApplication::translate("CalibrationOps", "Вставка");
  const Block b = ParseBlock(lines, separator, decimal, false, what);
  if (!b.error.isEmpty()) return Failed(b.error);
  const int rows = static_cast<int>(b.rows.size());
  const int cols = static_cast<int>(b.rows.front().size());
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      if (!Writable(table, col + c, row + r))
        return Failed(
            QCoreApplication::translate("CalibrationOps",
                                        "%1: блок %2 x %3 от ячейки (%4) выходит за значения "
                                        "таблицы в ячейке (%5)")
                .arg(what)
                .arg(rows)
                .arg(cols)
                .arg(Cell(col, row), Cell(col + c, row + r)));
  StepBuilder out(table, QCoreApplication::translate("CalibrationOps", "Вставить"));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) out.Put(col + c, row + r, *b.rows[r][c]);
  return out.Done();
}

QString ExportCsv(const TCalTable& table, QChar decimal) {
  const QChar separator = decimal == ',' ? QChar(';') : QChar(',');
  QString csv;
  for (int r = 0; r < table.rows; ++r) {
    QStringList fields;
    for (int c = 0; c < table.cols; ++c) fields << NumberText(table, c, r, decimal);
    csv += fields.join(separator) + '\n';
  }
  return csv;
}

namespace {
// The axis a fixed cell belongs to must not fall along its run: RPM and temperatures to
// the right, loads upwards (the grids show the highest load at the top).
QString AxisOrderProblem(const TCalTable& t, const std::vector<std::optional<double>>& values,
                         int col, int row) {
  const K kind = t.Rule(col, row).GetKind();
  auto value = [&](int c, int r) { return values[static_cast<size_t>(r) * t.cols + c]; };
  std::optional<double> previous;
  int prevCol = col, prevRow = row;
  if (kind == K::RpmAxis || kind == K::Temperature) {
    if (col > 0 && t.Rule(col - 1, row).GetKind() == kind) previous = value(col - 1, row);
    prevCol = col - 1;
  } else if (kind == K::LoadAxis) {
    // The split maps' column runs through both parts' axes, each ascending on its own.
    if (t.version == 1 && (t.id == TTableId::FuelMain || t.id == TTableId::IgnMain)) return {};
    if (row + 1 < t.rows && t.Rule(col, row + 1).GetKind() == kind) previous = value(col, row + 1);
    prevRow = row + 1;
  } else {
    return {};
  }
  const std::optional<double> v = value(col, row);
  if (!previous || !v || *v >= *previous) return {};
  return QCoreApplication::translate(
             "CalibrationOps",
             "Импорт CSV: ось не возрастает: %1 в ячейке (%2) после %3 в ячейке (%4)")
      .arg(FloatToStr(*v), Cell(col, row), FloatToStr(*previous), Cell(prevCol, prevRow));
}
}  // namespace

TOpResult ImportCsv(const TCalTable& table, const QString& csv, QChar decimal) {
  const QStringList lines = Lines(csv);
  // The separator the export writes for this decimal mark; a file from a spreadsheet with
  // the other convention is read as well.
  QChar separator = decimal == ',' ? QChar(';') : QChar(',');
  if (!lines.isEmpty() && !lines.front().contains(separator))
    separator = separator == ';' ? QChar(',') : QChar(';');
  const QString what = QCoreApplication::translate("CalibrationOps", "Импорт CSV");
  const Block b = ParseBlock(lines, separator, decimal, true, what);
  if (!b.error.isEmpty()) return Failed(b.error);
  if (static_cast<int>(b.rows.size()) != table.rows ||
      static_cast<int>(b.rows.front().size()) != table.cols)
    return Failed(
        QCoreApplication::translate("CalibrationOps",
                                    "%1: в файле %2 строк по %3 полей, а в таблице %4 строк по %5")
            .arg(what)
            .arg(b.rows.size())
            .arg(b.rows.front().size())
            .arg(table.rows)
            .arg(table.cols));
  // Every number through its cell's rule first, so that the axes are checked as stored.
  std::vector<std::optional<double>> values;
  int limited = 0;
  std::vector<THeldCell> held;
  for (int r = 0; r < table.rows; ++r)
    for (int c = 0; c < table.cols; ++c) {
      const K kind = table.Rule(c, r).GetKind();
      const std::optional<double>& v = b.rows[r][c];
      if (kind == K::Text || kind == K::Index) {
        values.push_back(table.Value(c, r));
        continue;
      }
      // A cell the table leaves empty (a table this layout lacks) may stay empty.
      if (!v && !table.Value(c, r)) {
        values.push_back(std::nullopt);
        continue;
      }
      if (!v)
        return Failed(QCoreApplication::translate("CalibrationOps", "%1: нет числа в ячейке (%2)")
                          .arg(what, Cell(c, r)));
      // The loaded or edited value, given again, stays what it is.
      if (table.Value(c, r) == *v) {
        values.push_back(*v);
        continue;
      }
      bool cut = false;
      values.push_back(table.Rule(c, r).Quantise(*v, &cut));
      if (cut) {
        ++limited;
        held.push_back({c, r, *v, *values.back()});
      }
    }
  for (int r = 0; r < table.rows; ++r)
    for (int c = 0; c < table.cols; ++c)
      if (const QString problem = AxisOrderProblem(table, values, c, r); !problem.isEmpty())
        return Failed(problem);
  StepBuilder out(table, QCoreApplication::translate("CalibrationOps", "Импорт таблицы из CSV"));
  for (int r = 0; r < table.rows; ++r)
    for (int c = 0; c < table.cols; ++c) {
      const K kind = table.Rule(c, r).GetKind();
      const std::optional<double>& v = values[static_cast<size_t>(r) * table.cols + c];
      if (kind == K::Text || kind == K::Index || !v) continue;
      if (table.Value(c, r) == *v) continue;
      out.PutHeld(c, r, *v);
    }
  TOpResult result = out.Done();
  result.limited = limited;
  result.held = std::move(held);
  return result;
}
