// decode --csv and apply-csv: the tables as the editors show them (the calibration
// document), written and read as CSV with a full stop and ",".
#include "cli/CsvCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "calibration/Calibration.h"
#include "calibration/CalibrationOps.h"
#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/RegularFile.h"
#include "common/SafeFileWrite.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"

namespace {
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr QChar kPoint('.');

struct Failure {
  QString message;
  int code = kExitFailure;
};

struct Arguments {
  QStringList positional;
  std::optional<QString> profile;
  std::optional<QString> csvDir;
  bool strict = false;
};

Arguments Parse(const QStringList& args, bool allowCsv, int positionalCount) {
  Arguments a;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--strict") && !allowCsv) {
      a.strict = true;
      continue;
    }
    const bool profile = arg == QLatin1String("--profile");
    const bool csv = arg == QLatin1String("--csv") && allowCsv;
    if (profile || csv) {
      if (i + 1 >= args.size()) throw Failure{arg + " needs a name", kExitUsage};
      (profile ? a.profile : a.csvDir) = args[++i];
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw Failure{"unknown option " + arg, kExitUsage};
    } else {
      a.positional << arg;
    }
  }
  if (a.positional.size() != positionalCount)
    throw Failure{QStringLiteral("wrong number of arguments (see --help)"), kExitUsage};
  return a;
}

// The image decoded under the built-in configuration or the profile named.
void Decode(TEFIOperator& op, const Arguments& a) {
  if (a.profile) {
    if (const QString why = NotRegularFileReason(*a.profile); !why.isEmpty())
      throw Failure{"profile " + *a.profile + ": " + why};
    QFile file(*a.profile);
    if (!file.open(QIODevice::ReadOnly))
      throw Failure{"profile " + *a.profile + ": cannot be read (" + file.errorString() + ")"};
    op.LoadProfile(*a.profile);
  } else {
    op.LoadDefaultConfig();
  }
  const QString& image = a.positional[0];
  try {
    LoadImageFile(image, op.fImage);
  } catch (const ERuntimeError& e) {
    throw Failure{image + ": " + QString::fromUtf8(e.what())};
  }
  if (const QString problem = op.CheckLayout(); !problem.isEmpty())
    throw Failure{(a.profile ? "profile " + *a.profile : QStringLiteral("built-in configuration")) +
                  ": " + problem};
  op.DecodeImage();
}

// The tables an image of this variant has (the older units have neither an idle fuel table
// nor an air-mass curve).
bool Present(TTableId id, int version) {
  return version != 1 || (id != TTableId::FuelXX && id != TTableId::MAF);
}

void WriteFile(const QString& path, const QString& text) {
  try {
    WriteFileSafely(path, text.toUtf8());
  } catch (const ERuntimeError& e) {
    throw Failure{path + ": cannot be written (" + QString::fromUtf8(e.what()) + ")"};
  }
}

QString TableNames() {
  QStringList names;
  for (int i = 0; i < kTableCount; ++i) names << TableFileName(static_cast<TTableId>(i));
  return names.join(", ");
}

// One held cell in words: the table, the cell's rpm and load (or temperature) where the
// table has such axes, the value asked and the value stored.
QString HeldCellText(const TCalTable& table, const THeldCell& cell) {
  QStringList where;
  if (const std::optional<double> x = table.ColumnAxis(cell.col))
    where << FloatToStr(*x, kPoint) +
                 (table.id == TTableId::WarmUp ? QStringLiteral(" degC") : QStringLiteral(" rpm"));
  if (const std::optional<double> y = table.RowAxis(cell.row))
    where << FloatToStr(*y, kPoint) + QStringLiteral(" ms");
  if (where.isEmpty()) where << QStringLiteral("column %1, row %2").arg(cell.col).arg(cell.row);
  return QStringLiteral("%1 at %2: %3 asked, %4 stored")
      .arg(TableFileName(table.id), where.join(", "), FloatToStr(cell.asked, kPoint),
           FloatToStr(cell.stored, kPoint));
}

template <typename Body>
int Guarded(Body body) {
  try {
    return body();
  } catch (const Failure& f) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", f.message.toStdString().c_str());
    return f.code;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", e.what());
    return kExitFailure;
  }
}
}  // namespace

int DecodeToCsv(const QStringList& args) {
  return Guarded([&] {
    const Arguments a = Parse(args, true, 1);
    if (!a.csvDir) throw Failure{QStringLiteral("--csv needs a folder"), kExitUsage};
    TEFIOperator op(true);
    Decode(op, a);
    if (!QDir().mkpath(*a.csvDir)) throw Failure{*a.csvDir + ": cannot be created"};
    for (const TCalTable& table : TablesOf(op))
      if (Present(table.id, op.fVersion))
        WriteFile(QDir(*a.csvDir).filePath(TableFileName(table.id) + ".csv"),
                  ExportCsv(table, kPoint));
    return 0;
  });
}

int ApplyCsv(const QStringList& args) {
  return Guarded([&] {
    const Arguments a = Parse(args, false, 3);
    const QString& csvPath = a.positional[1];
    const QString& out = a.positional[2];
    if (out.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive))
      throw Failure{
          out + ": writing a firmware image is not available yet; name a settings " + "file (.dme)",
          kExitUsage};
    if (!out.endsWith(QLatin1String(".dme"), Qt::CaseInsensitive))
      throw Failure{out + ": the output must be a settings file (.dme)", kExitUsage};
    const std::optional<TTableId> id = TableOfName(QFileInfo(csvPath).completeBaseName());
    if (!id)
      throw Failure{csvPath + ": the file name must be a table name: " + TableNames(), kExitUsage};
    if (const QString why = NotRegularFileReason(csvPath); !why.isEmpty())
      throw Failure{csvPath + ": " + why};
    QFile csv(csvPath);
    if (!csv.open(QIODevice::ReadOnly))
      throw Failure{csvPath + ": cannot be read (" + csv.errorString() + ")"};
    const QString text = QString::fromUtf8(csv.readAll());
    TEFIOperator op(true);
    Decode(op, a);
    if (!Present(*id, op.fVersion))
      throw Failure{csvPath + ": this layout has no table " + TableFileName(*id)};
    TCalibration doc;
    doc.Load(op);
    const TOpResult result = ImportCsv(doc.Table(*id), text, kPoint);
    if (!result.error.isEmpty()) throw Failure{csvPath + ": " + result.error};
    doc.Apply(result.step);
    for (const THeldCell& cell : result.held)
      std::fprintf(stderr, "tarvelo-cli: held within the table's limits: %s\n",
                   HeldCellText(doc.Table(*id), cell).toStdString().c_str());
    if (result.limited > 0 && a.strict)
      throw Failure{QStringLiteral("%1: %2 values outside the table's limits; nothing written "
                                   "(--strict)")
                        .arg(csvPath)
                        .arg(result.limited),
                    kExitUsage};
    if (result.limited > 0)
      std::fprintf(stderr, "tarvelo-cli: %d values held within their limits\n", result.limited);
    doc.CollectInto(op);
    try {
      op.SaveSettings(1, out);
    } catch (const ERuntimeError& e) {
      throw Failure{out + ": " + QString::fromUtf8(e.what())};
    }
    return 0;
  });
}
