// The table codec of TEFIOperator: the checks that keep every read inside the image (over
// the calibration layout, ImageLayout) and every index inside its table, the image decoder,
// and the conversions between the unit's byte codes and engineering units.
//
// Every conversion step is computed in 80-bit precision and its result stored as a 64-bit
// float, as the settings files written so far depend on it to the bit.

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <cmath>

#include "common/Errors.h"
#include "common/Numbers.h"
#include "image/Checksum.h"
#include "image/CodeRange.h"
#include "image/CodeScales.h"
#include "image/CodeStream.h"
#include "image/EfiOperator.h"
#include "image/ImageLayout.h"

using codestream::NearestCode;
using namespace codescales;

namespace {

enum class Direction { ToUnits, ToCodes };

Direction ParseDirection(std::string_view direction) {
  if (direction == "MotrToSi") return Direction::ToUnits;
  if (direction == "SiToMotr") return Direction::ToCodes;
  throw ERuntimeError(
      QCoreApplication::translate("ImageCodec", "Неизвестное направление преобразования: ")
          .toStdString() +
      std::string(direction));
}

[[noreturn]] void Refuse(const QString& reason) {
  throw ERuntimeError(reason.toStdString());
}

// --- Shapes ---

QString SizeText(size_t rows, size_t cols) {
  return QStringLiteral("%1 x %2").arg(rows).arg(cols);
}

// Empty when every row of `table` has as many cells as row 0 and the table has at least
// two rows and minCols columns (1 or 2); else the reason.
template <typename T>
QString ShapeProblem(const QString& name, const std::vector<std::vector<T>>& table,
                     size_t minCols) {
  const size_t cols = table.empty() ? 0 : table[0].size();
  for (const auto& row : table)
    if (row.size() != cols)
      return QCoreApplication::translate("ImageCodec", "Таблица %1: строки разной длины").arg(name);
  if (table.size() < 2 || cols < minCols)
    return QCoreApplication::translate("ImageCodec",
                                       "Таблица %1 (%2): нужно не менее двух строк и %3")
        .arg(name, SizeText(table.size(), cols),
             minCols == 1 ? QCoreApplication::translate("ImageCodec", "одного столбца")
                          : QCoreApplication::translate("ImageCodec", "двух столбцов"));
  return {};
}

template <typename T>
QString SizeProblem(const QString& name, const std::vector<std::vector<T>>& table, int rows,
                    int cols) {
  const size_t actualCols = table.empty() ? 0 : table[0].size();
  bool same = table.size() == static_cast<size_t>(std::max(rows, 0));
  for (const auto& row : table) same = same && row.size() == static_cast<size_t>(std::max(cols, 0));
  if (same) return {};
  return QCoreApplication::translate("ImageCodec",
                                     "Таблица %1: размер %2 не соответствует конфигурации (%3)")
      .arg(name, SizeText(table.size(), actualCols),
           SizeText(std::max(rows, 0), std::max(cols, 0)));
}

// A curve: an RPM row and a value row, at least one breakpoint.
QString CurveProblem(const QString& name, const TFloatMatrix& table) {
  return ShapeProblem(name, table, 1);
}

// A map with both axes: at least one RPM and one load breakpoint.
QString MapProblem(const QString& name, const TFloatMatrix& table) {
  return ShapeProblem(name, table, 2);
}

// A part-load map: a map whose low part has `low` load rows, rows 1 to low.
QString MainMapProblem(const QString& name, const TFloatMatrix& table, int low) {
  if (QString problem = MapProblem(name, table); !problem.isEmpty()) return problem;
  if (low < 1 || static_cast<size_t>(low) + 1 > table.size())
    return QCoreApplication::translate(
               "ImageCodec", "Таблица %1: %2 точек нагрузки нижней части не помещаются в %3 строк")
        .arg(name)
        .arg(low)
        .arg(table.size());
  return {};
}

QString WarmUpProblem(const TIntMatrix& table) {
  return ShapeProblem(QCoreApplication::translate("ImageCodec", "прогрева fRPMTempCorrTable"),
                      table, 1);
}

void Require(const QString& problem) {
  if (!problem.isEmpty()) Refuse(problem);
}

// --- Axes and values ---

// RPM axis in row[first..last].
void ConvertRpmAxis(std::vector<double>& row, size_t first, size_t last, Direction dir) {
  if (dir == Direction::ToUnits) {
    row[last] = static_cast<double>((kCodeTop - row[last]) * kRpmStep);
    for (size_t j = last; j-- > first;)
      row[j] = static_cast<double>(row[j + 1] - kRpmStep * row[j]);
  } else {
    // Ascending, so that each gap reads the next breakpoint before it is replaced.
    for (size_t j = first; j < last; ++j)
      row[j] = static_cast<double>(NearestCode((row[j + 1] - row[j]) / kRpmStep));
    row[last] = static_cast<double>(kCodeTop - NearestCode(row[last] / kRpmStep));
  }
}

// Load axis in column 0, rows first..last; the intermediate u (1/20 ms) is held in place.
void ConvertLoadAxis(TFloatMatrix& table, size_t first, size_t last, Direction dir) {
  if (dir == Direction::ToUnits) {
    table[last][0] = static_cast<double>(kCodeTop - table[last][0]);
    for (size_t j = last; j-- > first;)
      table[j][0] = static_cast<double>(table[j + 1][0] - static_cast<long double>(table[j][0]));
    for (size_t j = first; j <= last; ++j)
      table[j][0] = static_cast<double>(table[j][0] / kLoadUnitsPerMs);
  } else {
    for (size_t j = first; j <= last; ++j)
      table[j][0] = static_cast<double>(NearestCode(table[j][0] * kLoadUnitsPerMs));
    for (size_t j = first; j < last; ++j)
      table[j][0] = static_cast<double>(table[j + 1][0] - static_cast<long double>(table[j][0]));
    table[last][0] = static_cast<double>(kCodeTop - table[last][0]);
  }
}

struct ValueScale {
  double (*toUnits)(double code);
  double (*toCodes)(double value);
};

constexpr ValueScale kSpark{SparkToUnits, SparkToCodes};
constexpr ValueScale kSparkOld{SparkOldToUnits, SparkOldToCodes};
constexpr ValueScale kFuel{FuelToUnits, FuelToCodes};

void ConvertValue(double& cell, const ValueScale& scale, Direction dir) {
  cell = dir == Direction::ToUnits ? scale.toUnits(cell) : scale.toCodes(cell);
}

// A curve: RPM axis in row 0, values in row 1, every column; further rows keep their codes.
void ConvertCurve(TFloatMatrix& table, const ValueScale& scale, Direction dir) {
  const size_t cols = table[0].size();
  ConvertRpmAxis(table[0], 0, cols - 1, dir);
  for (double& cell : table[1]) ConvertValue(cell, scale, dir);
}

// A map: RPM axis in row 0 from column 1, the load axes in column 0 (one per part, each
// given as first and last row), values in rows 1..lastRow, columns 1 on. Cell [0][0] is
// left as it is.
void ConvertMap(TFloatMatrix& table, std::initializer_list<std::pair<size_t, size_t>> loadAxes,
                size_t lastRow, const ValueScale& scale, Direction dir) {
  const size_t cols = table[0].size();
  ConvertRpmAxis(table[0], 1, cols - 1, dir);
  for (const auto& [first, last] : loadAxes)
    if (first <= last) ConvertLoadAxis(table, first, last, dir);
  for (size_t i = 1; i <= lastRow; ++i)
    for (size_t j = 1; j < cols; ++j) ConvertValue(table[i][j], scale, dir);
}

// A part-load map: the low part's load axis in rows 1..low; in variant 1 the high part's
// own axis in the rows below it.
void ConvertMainMap(TFloatMatrix& table, int low, bool split, const ValueScale& scale,
                    Direction dir) {
  const size_t lastRow = table.size() - 1;
  const auto l = static_cast<size_t>(low);
  if (split)
    ConvertMap(table, {{1, l}, {l + 1, lastRow}}, lastRow, scale, dir);
  else
    ConvertMap(table, {{1, l}}, lastRow, scale, dir);
}

// --- Layout check ---

QString AddressText(int64_t address) {
  if (address < 0) return QString::number(address);
  return QStringLiteral("0x") + QString::number(address, 16).toUpper();
}

}  // namespace

QString TEFIOperator::CheckTables() const {
  const bool split = fVersion == 1;
  // Shapes first, so that the reason names the breakpoint count to fix in the profile.
  const QString checks[] = {
      MainMapProblem(QStringLiteral("fFuelMainMatrix"), fFuelMainMatrix, fFuelMainMatrixDim1_Lo),
      MainMapProblem(QStringLiteral("fSparkMainMatrix"), fSparkMainMatrix, fSparkMainMatrixDim1_Lo),
      MapProblem(QStringLiteral("fFuelXXMatrix"), fFuelXXMatrix),
      CurveProblem(QStringLiteral("fSparkXXMatrix"), fSparkXXMatrix),
      CurveProblem(QStringLiteral("fFuelMaxMatrix"), fFuelMaxMatrix),
      split ? CurveProblem(QStringLiteral("fSparkMaxMatrix"), fSparkMaxMatrix)
            : MapProblem(QStringLiteral("fSparkMaxMatrix"), fSparkMaxMatrix),
      WarmUpProblem(fRPMTempCorrTable),
      // The air-mass curve is kept in the settings file of every variant but 1.
      fVersion != 1 && (fMAFLength < 0 || static_cast<size_t>(fMAFLength) != fMAFTable.size())
          ? QCoreApplication::translate("ImageCodec", "Таблица fMAFTable: недопустимая длина %1")
                .arg(fMAFLength)
          : QString(),
      SizeProblem(QStringLiteral("fFuelMainMatrix"), fFuelMainMatrix, fFuelMainRows, fFuelMainCols),
      SizeProblem(QStringLiteral("fSparkMainMatrix"), fSparkMainMatrix, fSparkMainRows,
                  fSparkMainCols),
      SizeProblem(QStringLiteral("fFuelXXMatrix"), fFuelXXMatrix, fFuelXXRows, fFuelXXCols),
      SizeProblem(QStringLiteral("fSparkXXMatrix"), fSparkXXMatrix, fSparkXXMatrixDim1,
                  fSparkXXMatrixDim2),
      SizeProblem(QStringLiteral("fFuelMaxMatrix"), fFuelMaxMatrix, fFuelMaxMatrixDim1,
                  fFuelMaxMatrixDim2),
      SizeProblem(QStringLiteral("fSparkMaxMatrix"), fSparkMaxMatrix, SparkMaxRows(),
                  SparkMaxCols()),
      SizeProblem(QStringLiteral("fRPMTempCorrTable"), fRPMTempCorrTable, fRPMTempCorrDim1,
                  fRPMTempCorrDim2),
  };
  for (const QString& problem : checks)
    if (!problem.isEmpty()) return problem;
  return {};
}

QString TEFIOperator::CheckLayout() const {
  if (QString problem = CheckTables(); !problem.isEmpty()) return problem;
  const auto imageSize = static_cast<int64_t>(fImage.size());
  for (const imagelayout::TPart& part : imagelayout::ImageParts(*this))
    if (QString problem = imagelayout::OutsideProblem(part, imageSize); !problem.isEmpty())
      return problem;
  return ChecksumLayoutProblem(*this, imageSize);
}

QString imagelayout::OutsideProblem(const TPart& part, int64_t imageSize) {
  if (!part.inImage || (part.address >= 0 && part.address + part.ImageBytes() <= imageSize))
    return {};
  return QCoreApplication::translate(
             "ImageCodec", "%1 (адрес %2, %3 байт) выходит за пределы образа прошивки (%4 байт)")
      .arg(part.name, AddressText(part.address))
      .arg(part.ImageBytes())
      .arg(imageSize);
}

QString imagelayout::TableShapeProblem(const TEFIOperator& op, TItem item) {
  auto first = [](const QString& a, const QString& b) { return a.isEmpty() ? b : a; };
  switch (item) {
    case TItem::FuelMain:
      return first(MainMapProblem(QStringLiteral("fFuelMainMatrix"), op.fFuelMainMatrix,
                                  op.fFuelMainMatrixDim1_Lo),
                   SizeProblem(QStringLiteral("fFuelMainMatrix"), op.fFuelMainMatrix,
                               op.fFuelMainRows, op.fFuelMainCols));
    case TItem::SparkMain:
      return first(MainMapProblem(QStringLiteral("fSparkMainMatrix"), op.fSparkMainMatrix,
                                  op.fSparkMainMatrixDim1_Lo),
                   SizeProblem(QStringLiteral("fSparkMainMatrix"), op.fSparkMainMatrix,
                               op.fSparkMainRows, op.fSparkMainCols));
    case TItem::FuelXX:
      return MapProblem(QStringLiteral("fFuelXXMatrix"), op.fFuelXXMatrix);
    case TItem::SparkXX:
      return CurveProblem(QStringLiteral("fSparkXXMatrix"), op.fSparkXXMatrix);
    case TItem::FuelMax:
      return CurveProblem(QStringLiteral("fFuelMaxMatrix"), op.fFuelMaxMatrix);
    case TItem::SparkMax:
      return op.fVersion == 1 ? CurveProblem(QStringLiteral("fSparkMaxMatrix"), op.fSparkMaxMatrix)
                              : MapProblem(QStringLiteral("fSparkMaxMatrix"), op.fSparkMaxMatrix);
    case TItem::WarmUp:
      return WarmUpProblem(op.fRPMTempCorrTable);
    default:
      return {};
  }
}

void TEFIOperator::DecodeImage() {
  ResizeTables();
  if (const QString problem = CheckLayout(); !problem.isEmpty()) Refuse(problem);

  // CheckLayout has placed every read inside the image; the reader still refuses to step
  // outside it, so that a fault in the sizes above can never read foreign memory.
  auto outside = [] {
    throw ERuntimeError(
        QCoreApplication::translate("ImageCodec", "Чтение за пределами образа прошивки")
            .toStdString());
  };
  const auto size = static_cast<int64_t>(fImage.size());
  std::vector<imagelayout::TPart> parts = imagelayout::ImageParts(*this);
  std::erase_if(parts, [](const imagelayout::TPart& part) { return !part.inImage; });
  for (const imagelayout::TPart& part : parts) {
    codestream::CodeReader in(fImage.data(), size, part.address, outside);
    if (part.leadBytes) in.Skip(2);
    imagelayout::ReadPart(in, *this, part, true);
  }
  // Every table is converted once all are read: a rev limiter code of 0 in variant 1 leaves
  // them in codes.
  for (size_t i = 0; i < parts.size(); ++i)
    if (imagelayout::EndsTable(parts, i)) imagelayout::Convert(*this, parts[i].item, "MotrToSi");
}

void TEFIOperator::ConvertSpark(std::string_view kind, std::string_view direction) {
  const Direction dir = ParseDirection(direction);
  const bool split = fVersion == 1;
  const ValueScale& scale = split ? kSparkOld : kSpark;
  if (kind == "xx") {
    Require(CurveProblem(QStringLiteral("fSparkXXMatrix"), fSparkXXMatrix));
    ConvertCurve(fSparkXXMatrix, scale, dir);
  } else if (kind == "max") {
    if (split) {
      Require(CurveProblem(QStringLiteral("fSparkMaxMatrix"), fSparkMaxMatrix));
      ConvertCurve(fSparkMaxMatrix, scale, dir);
    } else {
      Require(MapProblem(QStringLiteral("fSparkMaxMatrix"), fSparkMaxMatrix));
      const size_t last = fSparkMaxMatrix.size() - 1;
      ConvertMap(fSparkMaxMatrix, {{1, last}}, last, scale, dir);
    }
  } else if (kind == "main") {
    Require(MainMapProblem(QStringLiteral("fSparkMainMatrix"), fSparkMainMatrix,
                           fSparkMainMatrixDim1_Lo));
    ConvertMainMap(fSparkMainMatrix, fSparkMainMatrixDim1_Lo, split, scale, dir);
  } else {
    throw ERuntimeError(
        QCoreApplication::translate("ImageCodec", "Неизвестный вид таблицы: ").toStdString() +
        std::string(kind));
  }
}

void TEFIOperator::ConvertFuel(std::string_view kind, std::string_view direction) {
  const Direction dir = ParseDirection(direction);
  const bool split = fVersion == 1;
  if (kind == "xx") {
    // The older units have no idle fuel table in the image; the table is left as it is.
    if (split) return;
    Require(MapProblem(QStringLiteral("fFuelXXMatrix"), fFuelXXMatrix));
    const size_t last = fFuelXXMatrix.size() - 1;
    ConvertMap(fFuelXXMatrix, {{1, last}}, last, kFuel, dir);
  } else if (kind == "max") {
    Require(CurveProblem(QStringLiteral("fFuelMaxMatrix"), fFuelMaxMatrix));
    ConvertCurve(fFuelMaxMatrix, kFuel, dir);
  } else if (kind == "main") {
    Require(
        MainMapProblem(QStringLiteral("fFuelMainMatrix"), fFuelMainMatrix, fFuelMainMatrixDim1_Lo));
    ConvertMainMap(fFuelMainMatrix, fFuelMainMatrixDim1_Lo, split, kFuel, dir);
  } else {
    throw ERuntimeError(
        QCoreApplication::translate("ImageCodec", "Неизвестный вид таблицы: ").toStdString() +
        std::string(kind));
  }
}

void TEFIOperator::ConvertRPMTempCorr(std::string_view direction) {
  const Direction dir = ParseDirection(direction);
  Require(WarmUpProblem(fRPMTempCorrTable));
  // Row 0 holds coolant temperatures coded like an axis, row 1 idle speeds.
  auto& temp = fRPMTempCorrTable[0];
  auto& speed = fRPMTempCorrTable[1];
  const size_t last = temp.size() - 1;
  // Sums are formed in 64 bits and kept as their low 32 bits, so that no value a table can
  // hold overflows.
  auto keep = [](int64_t v) { return static_cast<int32_t>(v); };
  if (dir == Direction::ToUnits) {
    for (auto& s : speed) s = keep(kIdleSpeedStep * s);
    temp[last] = keep(256 - int64_t{temp[last]});
    for (size_t j = last; j-- > 0;) temp[j] = keep(int64_t{temp[j + 1]} - temp[j]);
    for (auto& t : temp) t = keep(NearestCode(kTempScale * t - kTempOffset));
  } else {
    for (auto& t : temp) t = keep(NearestCode((t + kTempOffset) / kTempScale));
    for (size_t j = 0; j < last; ++j) temp[j] = keep(int64_t{temp[j + 1]} - temp[j]);
    temp[last] = keep(256 - int64_t{temp[last]});
    for (auto& s : speed) s = keep(NearestCode(s / static_cast<long double>(kIdleSpeedStep)));
  }
}

void TEFIOperator::SetMaxRPM(int32_t v) {
  if (v != fMaxRPM && v <= 9000) fMaxRPM = v;
}

int32_t TEFIOperator::MaxRPMFromCode(int code) const {
  return static_cast<int32_t>(RevLimitFromCode(fVersion, code));
}

int64_t TEFIOperator::CodeFromMaxRPM(int32_t rpm) const {
  return RevLimitCode(fVersion, rpm);
}
