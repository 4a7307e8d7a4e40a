// The settings file: the version digits and every table in the unit's byte codes, in the
// order the configuration lays them out, an RPM axis and the load axis after it separated
// by 0xFF 0xFF. No header, no lengths, no checksum.

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "image/CodeStream.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"

namespace {
// The version digits at the head of a settings file.
constexpr int kVersionBytes = 10;
constexpr auto kToUnits = "MotrToSi";
constexpr auto kToCodes = "SiToMotr";
}  // namespace

int64_t TEFIOperator::SettingsFileSize() const {
  using codestream::MapPartBytes;
  const bool split = fVersion == 1;
  auto rows = [](const auto& table) {
    return table.empty() ? int64_t{0} : static_cast<int64_t>(table.size() * table[0].size());
  };
  const int64_t fuelHigh = int64_t{fFuelMainRows} - 1 - fFuelMainMatrixDim1_Lo;
  const int64_t sparkHigh = int64_t{fSparkMainRows} - 1 - fSparkMainMatrixDim1_Lo;
  int64_t size = fVersionText.size() + 1 + rows(fFuelMaxMatrix);
  size +=
      split ? rows(fSparkMaxMatrix) : MapPartBytes(fSparkMaxMatrixDim2 + 1, fSparkMaxMatrixDim1);
  size += MapPartBytes(fSparkMainCols, fSparkMainMatrixDim1_Lo);
  if (split) size += MapPartBytes(fSparkMainCols, sparkHigh);
  size += MapPartBytes(fFuelMainCols, fFuelMainMatrixDim1_Lo);
  if (split) size += MapPartBytes(fFuelMainCols, fuelHigh);
  size += rows(fSparkXXMatrix) + MapPartBytes(fFuelXXCols, fFuelXXRows - 1);
  if (!split) size += 2 * static_cast<int64_t>(fMAFTable.size());
  return size + rows(fRPMTempCorrTable);
}

void TEFIOperator::SaveSettings(uint8_t convert, const QString& path) {
  if (const QString problem = CheckTables(); !problem.isEmpty())
    throw ERuntimeError(problem.toStdString());
  const bool split = fVersion == 1;
  auto spark = [&](const char* kind) {
    if (convert != 0) ConvertSpark(kind, kToCodes);
  };
  auto fuel = [&](const char* kind) {
    if (convert != 0) ConvertFuel(kind, kToCodes);
  };

  // The whole file is formed in memory first: a failure midway writes nothing.
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(SettingsFileSize()));
  codestream::CodeWriter out(bytes);
  // Each version character as its digit value; anything else is not a digit.
  for (const QChar ch : fVersionText) out.Put(static_cast<uint8_t>(StrToInt(QString(ch))));
  out.Put(codestream::StoredByte(CodeFromMaxRPM(fMaxRPM)));

  fuel("max");
  codestream::WriteRows(out, fFuelMaxMatrix);
  spark("max");
  if (split)
    codestream::WriteRows(out, fSparkMaxMatrix);
  else
    codestream::WriteMapPart(out, fSparkMaxMatrix, 1, fSparkMaxMatrixDim1);
  auto writeMain = [&](const TFloatMatrix& m, int low) {
    codestream::WriteMapPart(out, m, 1, low);
    if (split) codestream::WriteMapPart(out, m, low + 1, static_cast<int>(m.size()) - 1);
  };
  spark("main");
  writeMain(fSparkMainMatrix, fSparkMainMatrixDim1_Lo);
  fuel("main");
  writeMain(fFuelMainMatrix, fFuelMainMatrixDim1_Lo);
  spark("xx");
  codestream::WriteRows(out, fSparkXXMatrix);
  // The idle fuel table goes into the file of every variant; the older units have none in
  // the image, so ConvertFuel leaves it as it is there.
  ConvertFuel("xx", kToCodes);
  codestream::WriteMapPart(out, fFuelXXMatrix, 1, static_cast<int>(fFuelXXMatrix.size()) - 1);
  if (!split)
    for (const uint16_t value : fMAFTable) out.PutWord(value);
  ConvertRPMTempCorr(kToCodes);
  codestream::WriteRows(out, fRPMTempCorrTable);

  WriteFileAtomically(path, bytes);
}

void TEFIOperator::LoadSettings(uint8_t mode, const QString& path, uint8_t& mismatch) {
  auto shortFile = [] { throw EInOutError(EInOutError::kReadBeyondEnd); };
  if (mode == 0) {
    const QByteArray head = ReadFileHead(path, kVersionBytes);
    if (head.size() < kVersionBytes) shortFile();
    // Each byte's value in decimal: a byte 12 gives two characters, so such a text never
    // equals one taken from an image.
    QString text;
    for (const char c : head) text += QString::number(static_cast<uint8_t>(c));
    if (!fVersionText.isEmpty() && fVersionText != text) {
      mismatch = 1;
    } else {
      mismatch = 0;
      fVersionText = text;
    }
    return;
  }
  if (mode != 1) return;

  ResizeTables();
  if (const QString problem = CheckTables(); !problem.isEmpty())
    throw ERuntimeError(problem.toStdString());
  const bool split = fVersion == 1;
  // Only as much as the layout holds is read; a longer file's tail is ignored.
  const int64_t bodySize = SettingsFileSize() - fVersionText.size();
  const QByteArray data = ReadFileHead(path, kVersionBytes + bodySize);
  codestream::CodeReader in(reinterpret_cast<const uint8_t*>(data.constData()), data.size(), 0,
                            shortFile);
  // The version digits were taken by mode 0, whatever their number.
  in.Skip(kVersionBytes);
  fMaxRPM = MaxRPMFromCode(in.Next());

  codestream::ReadRows(in, fFuelMaxMatrix);
  ConvertFuel("max", kToUnits);
  if (split)
    codestream::ReadRows(in, fSparkMaxMatrix);
  else
    codestream::ReadMapPart(in, fSparkMaxMatrix, 1, fSparkMaxMatrixDim1, true);
  ConvertSpark("max", kToUnits);
  auto readMain = [&](TFloatMatrix& m, int low) {
    codestream::ReadMapPart(in, m, 1, low, true);
    // The high part repeats the RPM codes; they are read into row 0 again.
    if (split) codestream::ReadMapPart(in, m, low + 1, static_cast<int>(m.size()) - 1, true);
  };
  readMain(fSparkMainMatrix, fSparkMainMatrixDim1_Lo);
  ConvertSpark("main", kToUnits);
  readMain(fFuelMainMatrix, fFuelMainMatrixDim1_Lo);
  ConvertFuel("main", kToUnits);
  codestream::ReadRows(in, fSparkXXMatrix);
  ConvertSpark("xx", kToUnits);
  codestream::ReadMapPart(in, fFuelXXMatrix, 1, static_cast<int>(fFuelXXMatrix.size()) - 1, true);
  ConvertFuel("xx", kToUnits);
  if (!split)
    for (auto& value : fMAFTable) value = in.NextWord();
  codestream::ReadRows(in, fRPMTempCorrTable);
  ConvertRPMTempCorr(kToUnits);

  mismatch = 0;
  // The image held is no longer a whole image; a later image load restores it.
  fImage.resize(kVersionBytes, 0);
}
