#include "image/ChecksumScheme.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

#include "common/Errors.h"

namespace {

// The last 256 bytes of an image lie past its code area.
constexpr int64_t kCodeTail = 0x100;

QString Tr(const char* text) {
  return QCoreApplication::translate("Checksum", text);
}

QString Hex4(int64_t at) {
  return QString::number(at, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

QString RangeText(const TByteRange& r) {
  return Hex4(r.first) + QLatin1Char('-') + Hex4(r.last);
}

QString RangesText(const TChecksumScheme& s, const char* joiner) {
  QStringList parts;
  for (const TByteRange& r : s.ranges) parts << RangeText(r);
  return parts.join(QString::fromUtf8(joiner));
}

bool BigEndian(TChecksumKind kind) {
  return kind == TChecksumKind::Sum16BE || kind == TChecksumKind::Sum16BEComplement ||
         kind == TChecksumKind::Code16BE;
}

bool WithComplement(TChecksumKind kind) {
  return kind == TChecksumKind::Sum16BEComplement || kind == TChecksumKind::Sum16LEComplement;
}

// The bytes the scheme stores for `sum`, in the order they lie in the image.
std::vector<uint8_t> StoredBytes(TChecksumKind kind, uint16_t sum) {
  if (kind == TChecksumKind::Sum8) return {static_cast<uint8_t>(sum & 0xFF)};
  std::vector<uint8_t> out;
  auto word = [&](uint16_t w) {
    const auto hi = static_cast<uint8_t>(w >> 8), lo = static_cast<uint8_t>(w & 0xFF);
    out.push_back(BigEndian(kind) ? hi : lo);
    out.push_back(BigEndian(kind) ? lo : hi);
  };
  word(sum);
  if (WithComplement(kind)) word(static_cast<uint16_t>(0xFFFF - sum));
  return out;
}

int64_t Covered(const TChecksumScheme& s) {
  int64_t bytes = 0;
  for (const TByteRange& r : s.ranges) bytes += r.Bytes();
  return bytes;
}

[[noreturn]] void Refuse(const TChecksumScheme& s) {
  throw ERuntimeError(
      Tr(QT_TRANSLATE_NOOP("Checksum", "Контрольная сумма (%1) выходит за пределы образа прошивки"))
          .arg(SchemeShortText(s))
          .toStdString());
}

}  // namespace

int64_t SchemeBytes(const TChecksumScheme& s) {
  if (s.type == TSchemeType::Mirror) return s.ranges.empty() ? 0 : s.ranges[0].Bytes();
  if (s.kind == TChecksumKind::Sum8) return 1;
  return WithComplement(s.kind) ? 4 : 2;
}

bool SchemeFits(const TChecksumScheme& s, int64_t imageSize) {
  if (s.ranges.empty()) return false;
  for (const TByteRange& r : s.ranges)
    if (r.first < 0 || r.last < r.first || r.last >= imageSize) return false;
  return s.place >= 0 && s.place + SchemeBytes(s) <= imageSize;
}

uint16_t SchemeSum(const std::vector<uint8_t>& image, const TChecksumScheme& s) {
  const int64_t placeEnd = s.place + SchemeBytes(s);
  uint32_t sum = s.start;
  for (const TByteRange& r : s.ranges)
    for (int64_t i = r.first; i <= r.last; ++i)
      if (i < s.place || i >= placeEnd) sum += image.at(static_cast<size_t>(i));
  return static_cast<uint16_t>(s.kind == TChecksumKind::Sum8 ? sum & 0xFF : sum & 0xFFFF);
}

bool SchemeHolds(const std::vector<uint8_t>& image, const TChecksumScheme& s) {
  if (!SchemeFits(s, static_cast<int64_t>(image.size()))) return false;
  const auto at = image.begin() + s.place;
  if (s.type == TSchemeType::Mirror)
    return std::equal(at, at + SchemeBytes(s), image.begin() + s.ranges[0].first);
  const std::vector<uint8_t> stored = StoredBytes(s.kind, SchemeSum(image, s));
  return std::equal(stored.begin(), stored.end(), at);
}

void StoreScheme(std::vector<uint8_t>& image, const TChecksumScheme& s) {
  if (!SchemeFits(s, static_cast<int64_t>(image.size()))) Refuse(s);
  if (s.type == TSchemeType::Mirror) {
    // The source may lie on either side of the copy; copy through a buffer.
    const std::vector<uint8_t> source(image.begin() + s.ranges[0].first,
                                      image.begin() + s.ranges[0].last + 1);
    std::copy(source.begin(), source.end(), image.begin() + s.place);
    return;
  }
  const std::vector<uint8_t> stored = StoredBytes(s.kind, SchemeSum(image, s));
  std::copy(stored.begin(), stored.end(), image.begin() + s.place);
}

void CorrectSchemes(std::vector<uint8_t>& image, const std::vector<TChecksumScheme>& held) {
  std::vector<TChecksumScheme> order = held;
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
    const bool am = a.type == TSchemeType::Mirror, bm = b.type == TSchemeType::Mirror;
    if (am != bm) return am;
    return Covered(a) < Covered(b);
  });
  for (const TChecksumScheme& s : order) StoreScheme(image, s);
  for (const TChecksumScheme& s : order)
    if (!SchemeHolds(image, s))
      throw ERuntimeError(Tr(QT_TRANSLATE_NOOP("Checksum",
                                               "Контрольные суммы %1 и другие хранятся в областях "
                                               "друг друга: их нельзя исправить"))
                              .arg(SchemeShortText(s))
                              .toStdString());
}

std::optional<TChecksumScheme> NamedScheme(const TModelConfig& c, int64_t imageSize) {
  TChecksumScheme s;
  s.named = true;
  s.kind = c.fCRCKind;
  s.start = c.fCRCStart;
  switch (c.fCRCKind) {
    case TChecksumKind::None:
      return std::nullopt;
    case TChecksumKind::Code16BE:
    case TChecksumKind::Code16LE:
      s.type = TSchemeType::CodeArea;
      s.kind =
          c.fCRCKind == TChecksumKind::Code16BE ? TChecksumKind::Sum16BE : TChecksumKind::Sum16LE;
      s.ranges = {{0, imageSize - kCodeTail - 1}};
      s.place = imageSize - kCodeTail;
      return s;
    case TChecksumKind::Mirror:
      s.type = TSchemeType::Mirror;
      s.ranges = {{c.fStartDataAreaAddress, c.fEndDataAreaAddress}};
      s.place = c.fCRCAddress;
      return s;
    default:
      s.ranges = {{c.fStartDataAreaAddress, c.fEndDataAreaAddress}};
      s.place = c.fCRCAddress;
      if (c.fCRCRange2First != 0 || c.fCRCRange2Last != 0) {
        s.type = TSchemeType::TwoRanges;
        s.ranges.push_back({c.fCRCRange2First, c.fCRCRange2Last});
      }
      return s;
  }
}

QString SchemeShortText(const TChecksumScheme& s) {
  if (s.type == TSchemeType::Mirror)
    return Tr(QT_TRANSLATE_NOOP("Checksum", "копия %1 -> %2"))
        .arg(RangesText(s, ""), Hex4(s.place));
  QString kind;
  switch (s.kind) {
    case TChecksumKind::Sum8:
      kind = Tr(QT_TRANSLATE_NOOP("Checksum", "8 бит"));
      break;
    case TChecksumKind::Sum16LE:
    case TChecksumKind::Code16LE:
      kind = Tr(QT_TRANSLATE_NOOP("Checksum", "16 бит LE"));
      break;
    case TChecksumKind::Sum16BEComplement:
      kind = Tr(QT_TRANSLATE_NOOP("Checksum", "16 бит + доп."));
      break;
    case TChecksumKind::Sum16LEComplement:
      kind = Tr(QT_TRANSLATE_NOOP("Checksum", "16 бит + доп. LE"));
      break;
    default:
      kind = Tr(QT_TRANSLATE_NOOP("Checksum", "16 бит"));
  }
  QString text = kind + QStringLiteral(", ") + RangesText(s, " + ");
  if (s.start != 0) text += Tr(QT_TRANSLATE_NOOP("Checksum", " от %1")).arg(Hex4(s.start));
  text += QStringLiteral(" -> ") + Hex4(s.place);
  // First, so that a narrow status strip still shows it.
  if (s.searched) text = Tr(QT_TRANSLATE_NOOP("Checksum", "поиск: ")) + text;
  return text;
}

QString SchemePlaceText(const TChecksumScheme& s) {
  const int64_t bytes = SchemeBytes(s);
  if (bytes <= 1) return Hex4(s.place);
  return Hex4(s.place) + QLatin1Char('-') + Hex4(s.place + bytes - 1);
}

QString SchemeWords(const TChecksumScheme& s) {
  if (s.type == TSchemeType::Mirror)
    return Tr(QT_TRANSLATE_NOOP("Checksum", "копия блока %1 в %2-%3"))
        .arg(RangesText(s, ""), Hex4(s.place), Hex4(s.place + SchemeBytes(s) - 1));
  const QString order = BigEndian(s.kind)
                            ? Tr(QT_TRANSLATE_NOOP("Checksum", "старший байт первым"))
                            : Tr(QT_TRANSLATE_NOOP("Checksum", "младший байт первым"));
  const QString bits = s.kind == TChecksumKind::Sum8
                           ? Tr(QT_TRANSLATE_NOOP("Checksum", "8-битная сумма"))
                           : Tr(QT_TRANSLATE_NOOP("Checksum", "16-битная сумма"));
  QString what;
  switch (s.type) {
    case TSchemeType::CodeArea:
      what = Tr(QT_TRANSLATE_NOOP("Checksum", "%1 области кода %2")).arg(bits, RangesText(s, ""));
      break;
    case TSchemeType::TwoRanges:
      what = Tr(QT_TRANSLATE_NOOP("Checksum", "%1 диапазонов %2"))
                 .arg(bits,
                      RangesText(s, Tr(QT_TRANSLATE_NOOP("Checksum", " и ")).toUtf8().constData()));
      break;
    default:
      what = Tr(QT_TRANSLATE_NOOP("Checksum", "%1 области %2")).arg(bits, RangesText(s, ""));
  }
  if (s.start != 0)
    what += Tr(QT_TRANSLATE_NOOP("Checksum", " от начального значения %1")).arg(Hex4(s.start));
  if (WithComplement(s.kind)) what += Tr(QT_TRANSLATE_NOOP("Checksum", " и её дополнение"));
  QString text =
      s.kind == TChecksumKind::Sum8
          ? Tr(QT_TRANSLATE_NOOP("Checksum", "%1, в %2")).arg(what, Hex4(s.place))
          : Tr(QT_TRANSLATE_NOOP("Checksum", "%1, %2, в %3")).arg(what, order, Hex4(s.place));
  if (s.searched) text += Tr(QT_TRANSLATE_NOOP("Checksum", " (найдена только поиском области)"));
  return text;
}
