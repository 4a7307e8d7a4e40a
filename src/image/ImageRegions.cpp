#include "image/ImageRegions.h"

#include <QCoreApplication>
#include <algorithm>

#include "common/Errors.h"
#include "image/CodeStream.h"
#include "image/ImageLayout.h"

namespace {

QString FieldName(TImageTable table) {
  switch (table) {
    case TImageTable::Version:
      return QStringLiteral("fVersionText");
    case TImageTable::RevLimit:
      return QStringLiteral("fMaxRPM");
    case TImageTable::FuelXX:
      return QStringLiteral("fFuelXXMatrix");
    case TImageTable::SparkXX:
      return QStringLiteral("fSparkXXMatrix");
    case TImageTable::SparkMax:
      return QStringLiteral("fSparkMaxMatrix");
    case TImageTable::SparkMain:
      return QStringLiteral("fSparkMainMatrix");
    case TImageTable::FuelMax:
      return QStringLiteral("fFuelMaxMatrix");
    case TImageTable::FuelMain:
      return QStringLiteral("fFuelMainMatrix");
    case TImageTable::MAF:
      return QStringLiteral("fMAFTable");
    case TImageTable::WarmUp:
      return QStringLiteral("fRPMTempCorrTable");
    case TImageTable::COReg:
      return QStringLiteral("fCOReg");
  }
  return {};
}

// Columns of the table a part belongs to: its RPM breakpoints, plus one where column 0 holds
// the load axis.
int TableCols(TImageTable table, const TModelConfig& c) {
  switch (table) {
    case TImageTable::FuelXX:
      return c.fFuelXXCols;
    case TImageTable::SparkXX:
      return c.fSparkXXMatrixDim2;
    case TImageTable::SparkMax:
      return c.SparkMaxCols();
    case TImageTable::SparkMain:
      return c.fSparkMainCols;
    case TImageTable::FuelMax:
      return c.fFuelMaxMatrixDim2;
    case TImageTable::FuelMain:
      return c.fFuelMainCols;
    case TImageTable::WarmUp:
      return c.fRPMTempCorrDim2;
    default:
      return 0;
  }
}

// The axes of a part as the codec reads them (CodeStream's walks): a map part's RPM codes
// after the two lead bytes and its load codes after two more, a row-by-row table's first row
// (the warm-up table's temperatures, the RPM axis of the others).
std::vector<TAxisPlace> AxesOf(const imagelayout::TPart& part, const TModelConfig& config) {
  using imagelayout::TStorage;
  const int64_t lead = part.leadBytes ? 2 : 0;
  const int cols = std::max(TableCols(part.item, config), 0);
  if (part.storage == TStorage::MapPart) {
    const int rpm = std::max(cols - 1, 0);
    const int loads = std::max(part.last - part.first + 1, 0);
    std::vector<TAxisPlace> axes;
    // The high part's own RPM codes are passed over; row 0 keeps the low part's axis.
    if (!part.highPart) axes.push_back({TAxisKind::Rpm, lead, rpm});
    axes.push_back({TAxisKind::Load, lead + rpm + 2, loads});
    return axes;
  }
  if (part.storage != TStorage::Rows) return {};
  const TAxisKind kind = part.item == TImageTable::WarmUp ? TAxisKind::Temperature : TAxisKind::Rpm;
  return {{kind, lead, cols}};
}

std::vector<imagelayout::TPart> PartsInImage(const TModelConfig& config) {
  std::vector<imagelayout::TPart> parts = imagelayout::ImageParts(config);
  std::erase_if(parts, [](const imagelayout::TPart& part) { return !part.inImage; });
  return parts;
}

}  // namespace

std::vector<TImageRegion> ImageRegions(const TModelConfig& config) {
  std::vector<TImageRegion> regions;
  for (const imagelayout::TPart& part : PartsInImage(config))
    regions.push_back({part.item, part.highPart, FieldName(part.item), part.address,
                       part.ImageBytes(), AxesOf(part, config)});
  return regions;
}

QString DecodeTableAlone(TEFIOperator& op, TImageTable table) {
  op.ResizeTables();
  if (QString problem = imagelayout::TableShapeProblem(op, table); !problem.isEmpty())
    return problem;
  std::vector<imagelayout::TPart> parts = PartsInImage(op);
  std::erase_if(parts, [table](const imagelayout::TPart& part) { return part.item != table; });
  if (parts.empty())
    return QCoreApplication::translate("ImageRegions", "%1 не хранится в образе этого варианта")
        .arg(FieldName(table));
  const auto size = static_cast<int64_t>(op.fImage.size());
  for (const imagelayout::TPart& part : parts)
    if (QString problem = imagelayout::OutsideProblem(part, size); !problem.isEmpty())
      return problem;
  // The checks above keep every read inside the image; the reader still refuses to step out.
  auto outside = [] {
    throw ERuntimeError(
        QCoreApplication::translate("ImageCodec", "Чтение за пределами образа прошивки")
            .toStdString());
  };
  try {
    for (const imagelayout::TPart& part : parts) {
      codestream::CodeReader in(op.fImage.data(), size, part.address, outside);
      if (part.leadBytes) in.Skip(2);
      imagelayout::ReadPart(in, op, part, true);
    }
    imagelayout::Convert(op, table, "MotrToSi");
  } catch (const ERuntimeError& e) {
    return QString::fromStdString(e.what());
  }
  return {};
}
