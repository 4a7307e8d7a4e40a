// tarvelo-cli diff: both files loaded under one configuration into calibration documents,
// compared table by table, each differing cell printed with its axis values.
#include "cli/Diff.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "calibration/Calibration.h"
#include "calibration/Compare.h"
#include "common/DecimalText.h"
#include "common/RegularFile.h"
#include "image/EfiOperator.h"

namespace {

constexpr int kEqual = 0;
constexpr int kDiffer = 1;
constexpr int kError = 2;

struct DiffError {
  QString message;
};

struct DiffArguments {
  QString a, b;
  std::optional<QString> profile;
  bool json = false;
};

DiffArguments ParseDiff(const QStringList& args) {
  DiffArguments d;
  QStringList files;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--profile")) {
      if (i + 1 >= args.size()) throw DiffError{QStringLiteral("--profile needs a file name")};
      d.profile = args[++i];
    } else if (arg == QLatin1String("--json")) {
      d.json = true;
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw DiffError{QStringLiteral("unknown option ") + arg};
    } else {
      files << arg;
    }
  }
  if (files.size() != 2) throw DiffError{QStringLiteral("diff needs two files (see --help)")};
  d.a = files[0];
  d.b = files[1];
  return d;
}

// The configuration both files are read with: the profile (which must be readable, as the
// reader alone would quietly take its defaults) or the built-in one.
void Configure(TEFIOperator& op, const DiffArguments& d) {
  if (!d.profile) {
    op.LoadDefaultConfig();
    return;
  }
  if (const QString why = NotRegularFileReason(*d.profile); !why.isEmpty())
    throw DiffError{QStringLiteral("profile ") + *d.profile + QStringLiteral(": ") + why};
  QFile file(*d.profile);
  if (!file.open(QIODevice::ReadOnly))
    throw DiffError{QStringLiteral("profile ") + *d.profile + QStringLiteral(": cannot be read")};
  op.LoadProfile(*d.profile);
}

void LoadInto(TCalibration& doc, const QString& path, const DiffArguments& d) {
  TEFIOperator op(true);
  Configure(op, d);
  try {
    LoadCalibrationFile(op, path);
  } catch (const std::exception& e) {
    throw DiffError{path + QStringLiteral(": ") + QString::fromUtf8(e.what())};
  }
  doc.Load(op);
}

QString AxisName(const TCalTable& table, int col, int row) {
  if (!table.Contains(col, row)) return QStringLiteral("axis");
  switch (table.Rule(col, row).GetKind()) {
    case TCellRule::Kind::RpmAxis:
      return QStringLiteral("rpm");
    case TCellRule::Kind::LoadAxis:
      return QStringLiteral("load");
    case TCellRule::Kind::Temperature:
      return QStringLiteral("temp");
    default:
      return QStringLiteral("index");
  }
}

// The header cells naming the axes of a cell: the column's in the first row, the row's in
// the first column.
struct AxisNames {
  QString column, row;
};
AxisNames NamesOf(const TCalTable& table, const TCellDiff& cell) {
  return {AxisName(table, cell.col, 0), AxisName(table, 0, cell.row)};
}

QString Where(const TCalTable& table, const TCellDiff& cell) {
  const AxisNames names = NamesOf(table, cell);
  QStringList parts;
  parts << QStringLiteral("[%1,%2]").arg(cell.col).arg(cell.row);
  if (cell.axis) parts << QStringLiteral("axis");
  if (cell.columnAxis) parts << names.column + QLatin1Char('=') + FloatToStr(*cell.columnAxis);
  if (cell.rowAxis) parts << names.row + QLatin1Char('=') + FloatToStr(*cell.rowAxis);
  return parts.join(QLatin1Char(' '));
}

QString TextOf(const TCompareResult& r, const TCalibration& a) {
  QString out;
  for (const TTableDiff& t : r.tables) {
    const QString name = TableFileName(t.id);
    if (!t.comparable) {
      out += name + QStringLiteral("\tnot comparable (") + t.reason + QStringLiteral(")\n");
      continue;
    }
    for (const TCellDiff& c : t.cells)
      out += name + QLatin1Char('\t') + Where(a.Table(t.id), c) + QLatin1Char('\t') +
             c.currentText + QLatin1Char('\t') + c.referenceText + QLatin1Char('\n');
  }
  return out;
}

QString JsonOf(const TCompareResult& r, const TCalibration& a) {
  QJsonArray cells, notComparable;
  for (const TTableDiff& t : r.tables) {
    const QString name = TableFileName(t.id);
    if (!t.comparable) {
      notComparable.append(QJsonObject{{"table", name}, {"reason", t.reason}});
      continue;
    }
    for (const TCellDiff& c : t.cells) {
      const AxisNames names = NamesOf(a.Table(t.id), c);
      QJsonObject o{{"table", name},  {"col", c.col},       {"row", c.row},
                    {"axis", c.axis}, {"a", c.currentText}, {"b", c.referenceText}};
      if (c.columnAxis) o.insert(names.column, *c.columnAxis);
      if (c.rowAxis && names.row != names.column) o.insert(names.row, *c.rowAxis);
      if (const auto delta = c.Difference()) o.insert(QStringLiteral("difference"), *delta);
      cells.append(o);
    }
  }
  const QJsonObject root{{"equal", r.Equal()},
                         {"differentCells", r.DifferentCells()},
                         {"differences", cells},
                         {"notComparable", notComparable}};
  return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

}  // namespace

int RunDiff(const QStringList& args) {
  // Numbers with a full stop, whatever the user's locale.
  QLocale::setDefault(QLocale::c());
  try {
    const DiffArguments d = ParseDiff(args);
    TCalibration a, b;
    LoadInto(a, d.a, d);
    LoadInto(b, d.b, d);
    const TCompareResult r = Compare(a, b);
    const QByteArray text = (d.json ? JsonOf(r, a) : TextOf(r, a)).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    return r.Equal() ? kEqual : kDiffer;
  } catch (const DiffError& e) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", e.message.toUtf8().constData());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", e.what());
  }
  return kError;
}
