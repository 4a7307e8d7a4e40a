#include "image/ImageWriteBack.h"

#include <QCoreApplication>

#include "common/Errors.h"
#include "image/Checksum.h"
#include "image/CodeStream.h"
#include "image/ImageFile.h"
#include "image/ImageLayout.h"

namespace {

using imagelayout::TPart;

constexpr auto kToCodes = "SiToMotr";
[[noreturn]] void Refuse(const QString& reason) {
  throw ERuntimeError(reason.toStdString());
}

std::vector<TPart> PartsInImage(const TModelConfig& config) {
  std::vector<TPart> parts = imagelayout::ImageParts(config);
  std::erase_if(parts, [](const TPart& part) { return !part.inImage; });
  return parts;
}

// An operator of `config` holding `image`, its tables sized; refuses a layout that does not
// fit the image.
TEFIOperator Configured(const TModelConfig& config, const std::vector<uint8_t>& image) {
  TEFIOperator op(false);
  static_cast<TModelConfig&>(op) = config;
  op.fImage = image;
  op.ResizeTables();
  if (const QString problem = op.CheckLayout(); !problem.isEmpty()) Refuse(problem);
  return op;
}

void ToCodes(TEFIOperator& op, const std::vector<TPart>& parts) {
  for (size_t i = 0; i < parts.size(); ++i)
    if (imagelayout::StartsTable(parts, i)) imagelayout::Convert(op, parts[i].item, kToCodes);
}

std::vector<int> PartCodes(const TEFIOperator& op, const TPart& part) {
  codestream::CodeRecorder out;
  imagelayout::WritePart(out, op, part);
  return out.Codes();
}

int64_t CodeStart(const TPart& part) {
  return part.address + (part.leadBytes ? 2 : 0);
}

// Sums of the gap codes from each breakpoint to the last: 256 minus the breakpoint's position
// on the code scale, so equal sums are equal breakpoints.
std::vector<int64_t> SumsToEnd(const std::vector<int32_t>& gaps) {
  std::vector<int64_t> sums(gaps.size());
  int64_t sum = 0;
  for (size_t j = gaps.size(); j-- > 0;) sums[j] = sum += gaps[j];
  return sums;
}

// The warm-up temperatures are the one axis whose codes do not come back from their decoded
// values (whole degrees, 0.664 degrees a code). Each is a gap to the next breakpoint, so a
// breakpoint re-encoded from its degrees would shift every breakpoint below an edited one.
// Here the temperature row of `after` is made of the image's own breakpoints wherever the
// degrees were not changed and the edited ones elsewhere, and the row of `before` is set to
// the image's codes: the bytes that differ are then exactly the gaps next to an edit.
void KeepLoadedTemperatures(const std::vector<uint8_t>& image, const TPart& part,
                            TEFIOperator& before, TEFIOperator& after) {
  TEFIOperator raw = before;
  auto outside = [] {
    Refuse(QCoreApplication::translate("ImageWriteBack", "Чтение за пределами образа прошивки"));
  };
  codestream::CodeReader in(image.data(), static_cast<int64_t>(image.size()), CodeStart(part),
                            outside);
  imagelayout::ReadPart(in, raw, part, true);
  const std::vector<int32_t>& loaded = raw.fRPMTempCorrTable[0];
  const std::vector<int64_t> original = SumsToEnd(loaded);
  const std::vector<int64_t> decoded = SumsToEnd(before.fRPMTempCorrTable[0]);
  const std::vector<int64_t> edited = SumsToEnd(after.fRPMTempCorrTable[0]);
  std::vector<int64_t> merged(original.size());
  for (size_t j = 0; j < merged.size(); ++j)
    merged[j] = edited[j] == decoded[j] ? original[j] : edited[j];
  std::vector<int32_t>& out = after.fRPMTempCorrTable[0];
  for (size_t j = 0; j < merged.size(); ++j)
    out[j] = static_cast<int32_t>(merged[j] - (j + 1 < merged.size() ? merged[j + 1] : 0));
  before.fRPMTempCorrTable[0] = loaded;
}

}  // namespace

std::vector<uint8_t> WriteBackTables(const std::vector<uint8_t>& image, const TEFIOperator& decoded,
                                     const TEFIOperator& edited) {
  const TModelConfig& config = edited;
  if (!(static_cast<const TModelConfig&>(decoded) == config))
    Refuse(QCoreApplication::translate("ImageWriteBack",
                                       "Конфигурация изменилась после загрузки образа"));
  TEFIOperator before = decoded;
  before.fImage = image;
  if (const QString problem = before.CheckLayout(); !problem.isEmpty()) Refuse(problem);
  TEFIOperator after = edited;
  after.fImage.clear();
  if (const QString problem = after.CheckTables(); !problem.isEmpty()) Refuse(problem);

  const std::vector<TPart> parts = PartsInImage(config);
  ToCodes(before, parts);
  ToCodes(after, parts);
  std::vector<uint8_t> out = image;
  for (const TPart& part : parts) {
    if (part.item == imagelayout::TItem::WarmUp) KeepLoadedTemperatures(image, part, before, after);
    const std::vector<int> was = PartCodes(before, part);
    const std::vector<int> now = PartCodes(after, part);
    const int64_t start = CodeStart(part);
    for (size_t k = 0; k < now.size(); ++k)
      if (now[k] != codestream::CodeRecorder::kKept && now[k] != was[k])
        out.at(static_cast<size_t>(start) + k) = static_cast<uint8_t>(now[k]);
  }
  return out;
}

std::vector<uint8_t> WriteBackImage(const std::vector<uint8_t>& image, const TEFIOperator& decoded,
                                    const TEFIOperator& edited, TChecksumKind kind) {
  std::vector<uint8_t> out = WriteBackTables(image, decoded, edited);
  if (kind != TChecksumKind::None) StoreChecksum(out, edited, kind);
  return out;
}

std::vector<uint8_t> ApplySettingsFile(const std::vector<uint8_t>& image,
                                       const TModelConfig& config, const QString& path) {
  TEFIOperator decoded = Configured(config, image);
  decoded.DecodeImage();
  // The file's tables in units beside the image's; the version digits and the tables only
  // the file holds are not written (WriteBackTables writes the image's tables only).
  TEFIOperator fromFile = decoded;
  uint8_t mismatch = 0;
  fromFile.LoadSettings(1, path, mismatch);
  return WriteBackTables(image, decoded, fromFile);
}
