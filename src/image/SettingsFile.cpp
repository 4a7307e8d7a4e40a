// The settings file: the version digits and every table in the unit's byte codes, in the
// order of the calibration layout (ImageLayout), an RPM axis and the load axis after it
// separated by 0xFF 0xFF. No header, no lengths, no checksum.

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/SafeFileWrite.h"
#include "image/CodeStream.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"
#include "image/ImageLayout.h"

namespace {
// The version digits at the head of a settings file.
constexpr int kVersionBytes = 10;
constexpr auto kToUnits = "MotrToSi";
constexpr auto kToCodes = "SiToMotr";
}  // namespace

int64_t TEFIOperator::SettingsFileSize() const {
  int64_t size = fVersionText.size();
  for (const imagelayout::TPart& part : imagelayout::FileParts(*this)) size += part.bytes;
  return size;
}

void TEFIOperator::SaveSettings(uint8_t convert, const QString& path) {
  if (const QString problem = CheckTables(); !problem.isEmpty())
    throw ERuntimeError(problem.toStdString());

  // The whole file is formed in memory first: a failure midway writes nothing.
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(SettingsFileSize()));
  codestream::CodeWriter out(bytes);
  // Each version character as its digit value; anything else is not a digit.
  for (const QChar ch : fVersionText) out.Put(static_cast<uint8_t>(StrToInt(QString(ch))));
  const std::vector<imagelayout::TPart> parts = imagelayout::FileParts(*this);
  for (size_t i = 0; i < parts.size(); ++i) {
    using imagelayout::TItem;
    const TItem item = parts[i].item;
    // The idle fuel and warm-up tables are always taken to codes. The idle fuel table goes
    // into the file of every variant; the older units have none in the image, so
    // ConvertFuel leaves it as it is there.
    const bool toCodes = convert != 0 || item == TItem::FuelXX || item == TItem::WarmUp;
    if (toCodes && imagelayout::StartsTable(parts, i)) imagelayout::Convert(*this, item, kToCodes);
    imagelayout::WritePart(out, *this, parts[i]);
  }
  WriteFileSafely(path, bytes);
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
  // Only as much as the layout holds is read; a longer file's tail is ignored.
  const int64_t bodySize = SettingsFileSize() - fVersionText.size();
  const QByteArray data = ReadFileHead(path, kVersionBytes + bodySize);
  codestream::CodeReader in(reinterpret_cast<const uint8_t*>(data.constData()), data.size(), 0,
                            shortFile);
  // The version digits were taken by mode 0, whatever their number.
  in.Skip(kVersionBytes);
  const std::vector<imagelayout::TPart> parts = imagelayout::FileParts(*this);
  for (size_t i = 0; i < parts.size(); ++i) {
    imagelayout::ReadPart(in, *this, parts[i], false);
    if (imagelayout::EndsTable(parts, i)) imagelayout::Convert(*this, parts[i].item, kToUnits);
  }

  mismatch = 0;
  // The image held is no longer a whole image; a later image load restores it.
  fImage.resize(kVersionBytes, 0);
}
