#include "image/SettingsFileCheck.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "common/DecimalText.h"
#include "common/RegularFile.h"
#include "image/ImageLayout.h"

namespace {
// The bytes a settings file of `config` holds: the version digits and every part.
int64_t FileSize(const TModelConfig& config) {
  int64_t size = 10;
  for (const imagelayout::TPart& part : imagelayout::FileParts(config)) size += part.bytes;
  return size;
}

QString LayoutName(const TModelConfig& config) {
  return config.fVersion == 1
             ? QCoreApplication::translate(
                   "SettingsFileCheck",
                   "разметки с разделёнными картами частичной нагрузки (вариант 1)")
             : QCoreApplication::translate(
                   "SettingsFileCheck",
                   "разметки с цельными картами частичной нагрузки (вариант %1)")
                   .arg(config.fVersion);
}

// The first place in `values` from `first` to `last` (inclusive) that does not rise.
QString RiseProblem(const QString& table, const QString& axis, const std::vector<double>& values,
                    size_t first, size_t last) {
  for (size_t i = first + 1; i <= last && i < values.size(); ++i)
    if (!(values[i] > values[i - 1]))
      return QCoreApplication::translate("SettingsFileCheck",
                                         "%1: %2 не возрастает: %3 после %4 (точка %5)")
          .arg(table, axis, FloatToStr(values[i], QChar('.')),
               FloatToStr(values[i - 1], QChar('.')))
          .arg(i);
  return {};
}

std::vector<double> Column(const TFloatMatrix& table, size_t col) {
  std::vector<double> out;
  for (const auto& row : table) out.push_back(col < row.size() ? row[col] : 0);
  return out;
}

// A map's RPM axis (row 0 from column `firstCol`) and its load axis (column 0 from row 1),
// the load axis in the parts `partEnds` gives (the last row of each part).
QString MapProblem(const QString& name, const TFloatMatrix& table, size_t firstCol,
                   const std::vector<size_t>& partEnds) {
  if (table.empty()) return {};
  QString problem =
      RiseProblem(name, QCoreApplication::translate("SettingsFileCheck", "ось оборотов"), table[0],
                  firstCol, table[0].size() - 1);
  size_t start = 1;
  for (const size_t end : partEnds) {
    if (!problem.isEmpty()) break;
    problem = RiseProblem(name, QCoreApplication::translate("SettingsFileCheck", "ось нагрузки"),
                          Column(table, 0), start, end);
    start = end + 1;
  }
  return problem;
}
}  // namespace

QString AxisOrderProblem(const TEFIOperator& op) {
  const bool split = op.fVersion == 1;
  auto parts = [&](const TFloatMatrix& table, int lo) -> std::vector<size_t> {
    const size_t last = table.empty() ? 0 : table.size() - 1;
    if (!split || lo < 1 || static_cast<size_t>(lo) >= last) return {last};
    return {static_cast<size_t>(lo), last};
  };
  const TFloatMatrix none;
  const struct {
    const char* name;
    const TFloatMatrix& table;
    size_t firstCol;
    std::vector<size_t> partEnds;
  } maps[] = {
      {"fFuelMainMatrix", op.fFuelMainMatrix, 1,
       parts(op.fFuelMainMatrix, op.fFuelMainMatrixDim1_Lo)},
      {"fSparkMainMatrix", op.fSparkMainMatrix, 1,
       parts(op.fSparkMainMatrix, op.fSparkMainMatrixDim1_Lo)},
      {"fFuelXXMatrix", split ? none : op.fFuelXXMatrix, 1, parts(op.fFuelXXMatrix, 0)},
      {"fSparkMaxMatrix", op.fSparkMaxMatrix, split ? 0u : 1u,
       split ? std::vector<size_t>{} : parts(op.fSparkMaxMatrix, 0)},
      {"fSparkXXMatrix", op.fSparkXXMatrix, 0, {}},
      {"fFuelMaxMatrix", op.fFuelMaxMatrix, 0, {}},
  };
  for (const auto& map : maps)
    if (QString problem =
            MapProblem(QString::fromLatin1(map.name), map.table, map.firstCol, map.partEnds);
        !problem.isEmpty())
      return problem;
  if (!op.fRPMTempCorrTable.empty()) {
    const auto& temps = op.fRPMTempCorrTable[0];
    const std::vector<double> degrees(temps.begin(), temps.end());
    if (!degrees.empty())
      return RiseProblem(QStringLiteral("fRPMTempCorrTable"),
                         QCoreApplication::translate("SettingsFileCheck", "ось температур"),
                         degrees, 0, degrees.size() - 1);
  }
  return {};
}

QString SettingsFileProblem(const TModelConfig& config, const QString& path) {
  // A pipe or device has no size to compare: it is refused before anything is read.
  RequireRegularFile(path);
  const int64_t size = QFileInfo(path).size();
  const int64_t wanted = FileSize(config);
  if (size != wanted) {
    TEFIOperator builtIn(false), older(false);
    builtIn.LoadDefaultConfig();
    older.LoadProfile(QString());
    for (const TModelConfig* other :
         {static_cast<const TModelConfig*>(&builtIn), static_cast<const TModelConfig*>(&older)})
      if (other->fVersion != config.fVersion && FileSize(*other) == size)
        return QCoreApplication::translate(
                   "SettingsFileCheck",
                   "файл настроек %1: %2 байт, а у разметки этого образа %3 байт")
            .arg(LayoutName(*other))
            .arg(size)
            .arg(wanted);
    return QCoreApplication::translate(
               "SettingsFileCheck",
               "размер файла настроек %1 байт, а у разметки этого образа (%2) %3 байт")
        .arg(size)
        .arg(LayoutName(config))
        .arg(wanted);
  }
  TEFIOperator file(false);
  static_cast<TModelConfig&>(file) = config;
  file.ResizeTables();
  uint8_t mismatch = 0;
  file.LoadSettings(1, path, mismatch);
  return AxisOrderProblem(file);
}
