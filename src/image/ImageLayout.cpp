#include "image/ImageLayout.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>

#include "common/Errors.h"

namespace imagelayout {

namespace {
int64_t Cells(int rows, int cols) {
  return int64_t{std::max(rows, 0)} * std::max(cols, 0);
}
}  // namespace

namespace {
QString TableName(const char* field) {
  return QCoreApplication::translate("ImageLayout", "Таблица ") + QLatin1String(field);
}

// The version text and the idle and full-load ignition tables, which the image holds
// before the part-load maps.
std::vector<TPart> LeadingParts(const TModelConfig& c) {
  using codestream::MapPartBytes;
  const bool split = c.fVersion == 1;
  return {
      {.name = QCoreApplication::translate("ImageLayout", "Номер версии fVersionText"),
       .storage = TStorage::Version,
       .inFile = false,
       .address = c.fVersionAddress,
       .leadBytes = false,
       .bytes = 10},
      // The older units have no idle fuel table in the image; their settings file has one.
      {.name = TableName("fFuelXXMatrix"),
       .item = TItem::FuelXX,
       .storage = TStorage::MapPart,
       .first = 1,
       .last = c.fFuelXXRows - 1,
       .inImage = !split,
       .fileOrder = 8,
       .address = c.fStartXXFuelTableAddress,
       .bytes = MapPartBytes(c.fFuelXXCols, c.fFuelXXRows - 1)},
      {.name = TableName("fSparkXXMatrix"),
       .item = TItem::SparkXX,
       .fileOrder = 7,
       .address = c.fStartXXSparkTableAddress,
       .bytes = Cells(c.fSparkXXMatrixDim1, c.fSparkXXMatrixDim2)},
      // Variant 1 holds the full-load ignition as a curve, the others as a map.
      {.name = TableName("fSparkMaxMatrix"),
       .item = TItem::SparkMax,
       .storage = split ? TStorage::Rows : TStorage::MapPart,
       .first = 1,
       .last = c.fSparkMaxMatrixDim1,
       .fileOrder = 2,
       .address = c.fStartMaxSparkTableAddress,
       .bytes = split ? Cells(c.SparkMaxRows(), c.SparkMaxCols())
                      : MapPartBytes(c.fSparkMaxMatrixDim2 + 1, c.fSparkMaxMatrixDim1)},
  };
}

// A part-load map: rows 1 to `low` in its low part, the rest in the high part, which only
// the split maps of variant 1 have (in the image and the settings file alike).
struct TMainMap {
  const char* field;
  TItem item;
  int cols, rows, low;
  int64_t lowAddress, highAddress;
  int fileOrder;  // the low part's; the high part follows it
};

void AddMainMap(std::vector<TPart>& parts, const TMainMap& map, bool split) {
  using codestream::MapPartBytes;
  parts.push_back({.name = TableName(map.field),
                   .item = map.item,
                   .storage = TStorage::MapPart,
                   .first = 1,
                   .last = map.low,
                   .fileOrder = map.fileOrder,
                   .address = map.lowAddress,
                   .bytes = MapPartBytes(map.cols, map.low)});
  parts.push_back({.name = TableName(map.field) +
                           QCoreApplication::translate("ImageLayout", " (верхняя часть)"),
                   .item = map.item,
                   .storage = TStorage::MapPart,
                   .first = map.low + 1,
                   .last = map.rows - 1,
                   .highPart = true,
                   .inImage = split,
                   .inFile = split,
                   .fileOrder = map.fileOrder + 1,
                   .address = map.highAddress,
                   .bytes = MapPartBytes(map.cols, map.rows - 1 - map.low)});
}

// The rev limit, the air-mass curve, the warm-up table and the CO byte, after the maps.
std::vector<TPart> TrailingParts(const TModelConfig& c) {
  const bool split = c.fVersion == 1;
  const bool laterUnit = c.fVersion > 1;
  return {
      {.name = QCoreApplication::translate("ImageLayout", "Ограничитель оборотов fMaxRPM"),
       .item = TItem::RevLimit,
       .storage = TStorage::Byte,
       .fileOrder = 0,
       .address = c.fMaxRPMAddress1,
       .leadBytes = false,
       .bytes = 1},
      // The air-mass curve is in the image of the later units and in the settings file of
      // every variant but 1.
      {.name = TableName("fMAFTable"),
       .item = TItem::MAF,
       .storage = TStorage::Words,
       .inImage = laterUnit,
       .inFile = !split,
       .fileOrder = 9,
       .address = c.fStartMAFAddress,
       .leadBytes = false,
       .bytes = 2 * int64_t{std::clamp(c.fMAFLength, 0, 65536)}},
      {.name = TableName("fRPMTempCorrTable"),
       .item = TItem::WarmUp,
       .fileOrder = 10,
       .address = c.fRPMTempCorrTableaddress,
       .bytes = Cells(c.fRPMTempCorrDim1, c.fRPMTempCorrDim2)},
      {.name = QCoreApplication::translate("ImageLayout", "Байт CO fCOReg"),
       .item = TItem::COReg,
       .storage = TStorage::Byte,
       .inImage = laterUnit,
       .inFile = false,
       .address = c.fCORegAddress,
       .leadBytes = false,
       .bytes = 1},
  };
}
}  // namespace

std::vector<TPart> ImageParts(const TModelConfig& c) {
  const bool split = c.fVersion == 1;
  // In the order the decoder reads the image; fileOrder gives the settings file's order.
  std::vector<TPart> parts = LeadingParts(c);
  AddMainMap(parts,
             {"fSparkMainMatrix", TItem::SparkMain, c.fSparkMainCols, c.fSparkMainRows,
              c.fSparkMainMatrixDim1_Lo, c.fStartMainSparkTableAddress_Lo,
              c.fStartMainSparkTableAddress_Hi, 3},
             split);
  parts.push_back({.name = TableName("fFuelMaxMatrix"),
                   .item = TItem::FuelMax,
                   .fileOrder = 1,
                   .address = c.fStartMaxFuelTableAddress,
                   .bytes = Cells(c.fFuelMaxMatrixDim1, c.fFuelMaxMatrixDim2)});
  AddMainMap(parts,
             {"fFuelMainMatrix", TItem::FuelMain, c.fFuelMainCols, c.fFuelMainRows,
              c.fFuelMainMatrixDim1_Lo, c.fStartMainFuelTableAddress_Lo,
              c.fStartMainFuelTableAddress_Hi, 5},
             split);
  for (TPart& part : TrailingParts(c)) parts.push_back(std::move(part));
  std::erase_if(parts, [](const TPart& p) { return !p.inImage && !p.inFile; });
  return parts;
}

std::vector<TPart> FileParts(const TModelConfig& config) {
  std::vector<TPart> parts = ImageParts(config);
  std::erase_if(parts, [](const TPart& p) { return !p.inFile; });
  std::stable_sort(parts.begin(), parts.end(),
                   [](const TPart& a, const TPart& b) { return a.fileOrder < b.fileOrder; });
  return parts;
}

TFloatMatrix& FloatTable(TEFIOperator& op, TItem item) {
  return const_cast<TFloatMatrix&>(FloatTable(std::as_const(op), item));
}

const TFloatMatrix& FloatTable(const TEFIOperator& op, TItem item) {
  switch (item) {
    case TItem::FuelXX:
      return op.fFuelXXMatrix;
    case TItem::SparkXX:
      return op.fSparkXXMatrix;
    case TItem::SparkMax:
      return op.fSparkMaxMatrix;
    case TItem::SparkMain:
      return op.fSparkMainMatrix;
    case TItem::FuelMax:
      return op.fFuelMaxMatrix;
    case TItem::FuelMain:
      return op.fFuelMainMatrix;
    default:
      break;
  }
  throw ERuntimeError(QCoreApplication::translate("ImageLayout", "Не таблица чисел").toStdString());
}

bool StartsTable(const std::vector<TPart>& parts, size_t index) {
  return index == 0 || parts[index - 1].item != parts[index].item;
}

bool EndsTable(const std::vector<TPart>& parts, size_t index) {
  return index + 1 == parts.size() || parts[index + 1].item != parts[index].item;
}

void Convert(TEFIOperator& op, TItem item, std::string_view direction) {
  switch (item) {
    case TItem::SparkXX:
      return op.ConvertSpark("xx", direction);
    case TItem::SparkMax:
      return op.ConvertSpark("max", direction);
    case TItem::SparkMain:
      return op.ConvertSpark("main", direction);
    case TItem::FuelXX:
      return op.ConvertFuel("xx", direction);
    case TItem::FuelMax:
      return op.ConvertFuel("max", direction);
    case TItem::FuelMain:
      return op.ConvertFuel("main", direction);
    case TItem::WarmUp:
      return op.ConvertRPMTempCorr(direction);
    case TItem::Version:
    case TItem::RevLimit:
    case TItem::MAF:
    case TItem::COReg:
      return;
  }
}

}  // namespace imagelayout
