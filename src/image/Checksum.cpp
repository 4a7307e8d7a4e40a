#include "image/Checksum.h"

#include <QCoreApplication>
#include <array>

#include "common/Errors.h"
#include "image/ChecksumScheme.h"

namespace {

struct TKindInfo {
  TChecksumKind kind;
  const char* name;   // in a profile
  const char* shown;  // on the status strip (translated there)
  int bytes;
  bool bigEndian;
};

// In the order detection tries them: the four-byte checksums first, then the two-byte ones,
// big-endian before little-endian, the 8-bit sum last (it matches a random image once in 256).
constexpr std::array<TKindInfo, 5> kKinds = {{
    {TChecksumKind::Sum16BEComplement, "sum16be+complement",
     QT_TRANSLATE_NOOP("Checksum", "16 бит + дополнение, BE"), 4, true},
    {TChecksumKind::Sum16LEComplement, "sum16le+complement",
     QT_TRANSLATE_NOOP("Checksum", "16 бит + дополнение, LE"), 4, false},
    {TChecksumKind::Sum16BE, "sum16be", QT_TRANSLATE_NOOP("Checksum", "16 бит, BE"), 2, true},
    {TChecksumKind::Sum16LE, "sum16le", QT_TRANSLATE_NOOP("Checksum", "16 бит, LE"), 2, false},
    {TChecksumKind::Sum8, "sum8", QT_TRANSLATE_NOOP("Checksum", "8 бит"), 1, false},
}};

// The kinds that are not a sum over the configured area: only a profile names them, and
// ChecksumSearch.h checks them.
constexpr std::array<std::pair<TChecksumKind, const char*>, 3> kOtherKinds = {{
    {TChecksumKind::Code16BE, "code16be"},
    {TChecksumKind::Code16LE, "code16le"},
    {TChecksumKind::Mirror, "mirror"},
}};

const TKindInfo* Info(TChecksumKind kind) {
  for (const TKindInfo& info : kKinds)
    if (info.kind == kind) return &info;
  return nullptr;
}

QString Hex(int64_t address) {
  if (address < 0) return QString::number(address);
  return QStringLiteral("0x") + QString::number(address, 16).toUpper();
}

// The bytes `kind` stores for `sum`, in the order they lie in the image.
std::vector<uint8_t> StoredBytes(const TKindInfo& info, uint16_t sum) {
  if (info.bytes == 1) return {static_cast<uint8_t>(sum & 0xFF)};
  auto word = [&](uint16_t w, std::vector<uint8_t>& out) {
    const auto hi = static_cast<uint8_t>(w >> 8), lo = static_cast<uint8_t>(w & 0xFF);
    out.push_back(info.bigEndian ? hi : lo);
    out.push_back(info.bigEndian ? lo : hi);
  };
  std::vector<uint8_t> out;
  word(sum, out);
  if (info.bytes == 4) word(static_cast<uint16_t>(0xFFFF - sum), out);
  return out;
}

// True when every byte of the area but the checksum's own is the same: an erased or zeroed
// area whose sum is no evidence of a checksum.
bool OneRepeatedByte(const std::vector<uint8_t>& image, const TModelConfig& c, int bytes) {
  int seen = -1;
  for (int64_t i = c.fStartDataAreaAddress; i <= c.fEndDataAreaAddress; ++i) {
    if (i >= c.fCRCAddress && i < int64_t{c.fCRCAddress} + bytes) continue;
    const int b = image[static_cast<size_t>(i)];
    if (seen >= 0 && b != seen) return false;
    seen = b;
  }
  return true;
}

bool PlaceFits(const TModelConfig& c, int bytes, int64_t imageSize) {
  return c.fCRCAddress >= 0 && int64_t{c.fCRCAddress} + bytes <= imageSize;
}

}  // namespace

std::optional<TChecksumKind> ChecksumKindFromName(const QString& name) {
  const QString text = name.trimmed().toLower();
  if (text.isEmpty() || text == QLatin1String("auto")) return TChecksumKind::None;
  for (const TKindInfo& info : kKinds)
    if (text == QLatin1String(info.name)) return info.kind;
  for (const auto& [kind, known] : kOtherKinds)
    if (text == QLatin1String(known)) return kind;
  return std::nullopt;
}

QStringList ChecksumKindNames() {
  QStringList names{QStringLiteral("auto")};
  for (const TKindInfo& info : kKinds) names << QString::fromLatin1(info.name);
  for (const auto& other : kOtherKinds) names << QString::fromLatin1(other.second);
  return names;
}

QString ChecksumKindName(TChecksumKind kind) {
  if (const TKindInfo* info = Info(kind)) return QString::fromLatin1(info->name);
  for (const auto& [other, name] : kOtherKinds)
    if (other == kind) return QString::fromLatin1(name);
  return QStringLiteral("auto");
}

int ChecksumBytes(TChecksumKind kind) {
  const TKindInfo* info = Info(kind);
  if (kind == TChecksumKind::Code16BE || kind == TChecksumKind::Code16LE) return 2;
  if (kind == TChecksumKind::Mirror) return 1;
  return info ? info->bytes : 0;
}

bool HasChecksum(const TModelConfig& c) {
  return c.fStartDataAreaAddress != 0 || c.fEndDataAreaAddress != 0 || c.fCRCAddress != 0;
}

QString ChecksumLayoutProblem(const TModelConfig& c, int64_t imageSize) {
  if (!HasChecksum(c)) return {};
  const int64_t first = c.fStartDataAreaAddress, last = c.fEndDataAreaAddress;
  if (last < first)
    return QCoreApplication::translate("Checksum",
                                       "Область контрольной суммы: конец %1 лежит раньше начала %2")
        .arg(Hex(last), Hex(first));
  if (first < 0 || last >= imageSize)
    return QCoreApplication::translate(
               "Checksum",
               "Область контрольной суммы (%1 - %2) выходит за пределы образа прошивки (%3 байт)")
        .arg(Hex(first), Hex(last))
        .arg(imageSize);
  const int bytes = c.fCRCKind == TChecksumKind::None ? 1 : ChecksumBytes(c.fCRCKind);
  if (!PlaceFits(c, bytes, imageSize))
    return QCoreApplication::translate(
               "Checksum",
               "Контрольная сумма (адрес %1, %2 байт) выходит за пределы образа прошивки (%3 байт)")
        .arg(Hex(c.fCRCAddress))
        .arg(bytes)
        .arg(imageSize);
  return {};
}

uint16_t ComputeChecksum(const std::vector<uint8_t>& image, const TModelConfig& c,
                         TChecksumKind kind) {
  const int64_t place = c.fCRCAddress, placeEnd = place + ChecksumBytes(kind);
  uint32_t sum = 0;
  for (int64_t i = c.fStartDataAreaAddress; i <= c.fEndDataAreaAddress; ++i)
    if (i < place || i >= placeEnd) sum += image.at(static_cast<size_t>(i));
  return static_cast<uint16_t>(kind == TChecksumKind::Sum8 ? sum & 0xFF : sum & 0xFFFF);
}

bool ChecksumMatches(const std::vector<uint8_t>& image, const TModelConfig& c, TChecksumKind kind) {
  const TKindInfo* info = Info(kind);
  const auto size = static_cast<int64_t>(image.size());
  if (!info || !HasChecksum(c) || !ChecksumLayoutProblem(c, size).isEmpty() ||
      !PlaceFits(c, info->bytes, size))
    return false;
  const std::vector<uint8_t> stored = StoredBytes(*info, ComputeChecksum(image, c, kind));
  for (size_t i = 0; i < stored.size(); ++i)
    if (image[static_cast<size_t>(c.fCRCAddress) + i] != stored[i]) return false;
  return !OneRepeatedByte(image, c, info->bytes);
}

TChecksumStatus CheckChecksum(const std::vector<uint8_t>& image, const TModelConfig& c) {
  if (!Info(c.fCRCKind) && c.fCRCKind != TChecksumKind::None) {
    const auto named = NamedScheme(c, static_cast<int64_t>(image.size()));
    return {c.fCRCKind, named && SchemeHolds(image, *named)};
  }
  if (c.fCRCKind != TChecksumKind::None) return {c.fCRCKind, ChecksumMatches(image, c, c.fCRCKind)};
  for (const TKindInfo& info : kKinds)
    if (ChecksumMatches(image, c, info.kind)) return {info.kind, true};
  return {};
}

QString ChecksumStatusText(const TChecksumStatus& status) {
  const TKindInfo* info = Info(status.kind);
  if (!info) return QCoreApplication::translate("Checksum", "КС: не найдена");
  if (!status.valid) return QCoreApplication::translate("Checksum", "КС: неверна");
  return QCoreApplication::translate("Checksum", "КС: верна (%1)")
      .arg(QCoreApplication::translate("Checksum", info->shown));
}

void StoreChecksum(std::vector<uint8_t>& image, const TModelConfig& c, TChecksumKind kind) {
  const TKindInfo* info = Info(kind);
  if (!info)
    throw ERuntimeError(
        QCoreApplication::translate("Checksum", "Вид контрольной суммы не известен").toStdString());
  const auto size = static_cast<int64_t>(image.size());
  if (!HasChecksum(c))
    throw ERuntimeError(
        QCoreApplication::translate("Checksum", "Конфигурация не задаёт область контрольной суммы")
            .toStdString());
  QString problem = ChecksumLayoutProblem(c, size);
  if (problem.isEmpty() && !PlaceFits(c, info->bytes, size))
    problem = QCoreApplication::translate(
                  "Checksum", "Контрольная сумма (адрес %1, %2 байт) выходит за пределы образа")
                  .arg(Hex(c.fCRCAddress))
                  .arg(info->bytes);
  if (!problem.isEmpty()) throw ERuntimeError(problem.toStdString());
  const std::vector<uint8_t> stored = StoredBytes(*info, ComputeChecksum(image, c, kind));
  std::copy(stored.begin(), stored.end(), image.begin() + c.fCRCAddress);
}
