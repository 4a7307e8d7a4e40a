#include "profile/ProfileCheck.h"

#include <QCoreApplication>
#include <algorithm>
#include <functional>
#include <optional>

#include "common/DecimalText.h"
#include "image/ChecksumScheme.h"
#include "image/EfiOperator.h"
#include "profile/AxisSearch.h"

namespace {

QString PartName(const TImageRegion& region) {
  return region.highPart
             ? region.name + QCoreApplication::translate("ProfileCheck", " (верхняя часть)")
             : region.name;
}

void CheckPlaces(TProfileReport& r) {
  for (const TImageRegion& region : r.regions) {
    if (region.Inside(r.imageSize)) continue;
    TProfileProblem p{.kind = TProfileProblem::Kind::PastImage,
                      .table = region.table,
                      .highPart = region.highPart};
    p.reason = QCoreApplication::translate(
                   "ProfileCheck", "%1 (адрес %2, %3 байт) выходит за пределы образа (%4 байт)")
                   .arg(PartName(region), HexAddress(region.address))
                   .arg(region.bytes)
                   .arg(r.imageSize);
    r.problems.push_back(p);
  }
}

// Every pair of parts sharing bytes, the checksum's place counted as a part.
void CheckOverlaps(TProfileReport& r) {
  struct Span {
    const TImageRegion* region;  // null: the checksum's place
    QString name;
    int64_t first, end;
  };
  std::vector<Span> spans;
  for (const TImageRegion& region : r.regions)
    if (region.bytes > 0)
      spans.push_back({&region, PartName(region), region.address, region.End()});
  if (r.checksum.configured && r.checksum.bytes > 0)
    spans.push_back({nullptr,
                     QCoreApplication::translate("ProfileCheck", "контрольная сумма fCRCAddress"),
                     r.checksum.address, r.checksum.address + r.checksum.bytes});
  for (size_t i = 0; i < spans.size(); ++i)
    for (size_t j = i + 1; j < spans.size(); ++j) {
      const int64_t from = std::max(spans[i].first, spans[j].first);
      const int64_t to = std::min(spans[i].end, spans[j].end);
      if (from >= to) continue;
      // Marked on both parts: each says which other part it runs into.
      for (const auto& [self, other] : {std::pair{&spans[i], &spans[j]}, {&spans[j], &spans[i]}}) {
        TProfileProblem p{
            .kind = TProfileProblem::Kind::Overlap, .other = other->name, .from = from, .to = to};
        if (self->region) {
          p.table = self->region->table;
          p.highPart = self->region->highPart;
        }
        if (other->region) {
          p.otherTable = other->region->table;
          p.otherHighPart = other->region->highPart;
        }
        p.reason =
            QCoreApplication::translate("ProfileCheck", "%1 перекрывается с %2 (байты %3 - %4)")
                .arg(self->name, other->name, HexAddress(from), HexAddress(to - 1));
        r.problems.push_back(p);
      }
    }
}

void CheckAxes(TProfileReport& r, const std::vector<uint8_t>& image) {
  for (const TImageRegion& region : r.regions) {
    if (!region.Inside(r.imageSize)) continue;
    for (const TAxisPlace& place : region.axes) {
      const TProfileAxis axis{
          region.table, region.highPart, place.kind,
          AxisOfCodes(place.kind, image.data() + region.address + place.offset, place.count)};
      r.axes.push_back(axis);
      const auto& v = axis.values;
      TProfileProblem p{.kind = TProfileProblem::Kind::Axis,
                        .table = region.table,
                        .highPart = region.highPart,
                        .axis = place.kind};
      const auto falls = std::adjacent_find(v.begin(), v.end(), std::greater_equal<>());
      if (falls != v.end()) {
        p.point = static_cast<int>(falls - v.begin()) + 1;
        p.reason = QCoreApplication::translate("ProfileCheck",
                                               "%1: ось %2 не возрастает (точка %3: %4 после %5)")
                       .arg(PartName(region), AxisKindName(place.kind))
                       .arg(p.point + 1)
                       .arg(FloatToStr(falls[1]), FloatToStr(falls[0]));
      } else if (place.kind != TAxisKind::Temperature && !v.empty() && v.front() < 0) {
        // Engine speed and injection time cannot be below zero: the codes summed past the top.
        p.reason =
            QCoreApplication::translate("ProfileCheck", "%1: ось %2 начинается ниже нуля (%3)")
                .arg(PartName(region), AxisKindName(place.kind), FloatToStr(v.front()));
      } else {
        continue;
      }
      r.problems.push_back(p);
    }
  }
}

// What decoding a table alone refuses that the checks above do not already say (a shape the
// codec cannot work on, a rev limiter code of 0 in variant 1).
void CheckDecoding(TProfileReport& r, const TModelConfig& config,
                   const std::vector<uint8_t>& image) {
  TEFIOperator op(false);
  static_cast<TModelConfig&>(op) = config;
  op.fImage = image;
  std::vector<TImageTable> done;
  for (const TImageRegion& region : r.regions) {
    if (std::find(done.begin(), done.end(), region.table) != done.end()) continue;
    done.push_back(region.table);
    const bool outside = std::any_of(r.problems.begin(), r.problems.end(), [&](const auto& p) {
      return p.table == region.table && p.kind == TProfileProblem::Kind::PastImage;
    });
    if (outside) continue;
    const QString problem = DecodeTableAlone(op, region.table);
    if (!problem.isEmpty())
      r.problems.push_back(
          {.kind = TProfileProblem::Kind::Decode, .table = region.table, .reason = problem});
  }
}

void CheckChecksumOf(TProfileReport& r, const TModelConfig& config,
                     const std::vector<uint8_t>& image) {
  TProfileChecksum& c = r.checksum;
  // The whole code area's sum and a mirrored block are named by CRCKind alone; their place
  // is the scheme's, not the area sum's.
  const bool other = config.fCRCKind == TChecksumKind::Code16BE ||
                     config.fCRCKind == TChecksumKind::Code16LE ||
                     config.fCRCKind == TChecksumKind::Mirror;
  const std::optional<TChecksumScheme> named = NamedScheme(config, r.imageSize);
  c.configured = HasChecksum(config) || other;
  if (!c.configured) return;
  c.address = other && named ? named->place : config.fCRCAddress;
  auto problem = [&](const QString& reason) {
    r.problems.push_back({.kind = TProfileProblem::Kind::Checksum, .reason = reason});
  };
  if (const QString layout = ChecksumLayoutProblem(config, r.imageSize); !layout.isEmpty()) {
    problem(layout);
    return;
  }
  if (!image.empty()) c.status = CheckChecksum(image, config);
  const TChecksumKind kind = c.status.kind != TChecksumKind::None ? c.status.kind : config.fCRCKind;
  c.bytes = kind == TChecksumKind::None ? 1 : ChecksumBytes(kind);
  if (other && named) c.bytes = static_cast<int>(SchemeBytes(*named));
  if (image.empty() || c.status.valid) return;
  if (c.status.kind == TChecksumKind::None)
    problem(QCoreApplication::translate(
        "ProfileCheck",
        "Контрольная сумма не найдена: ни один известный вид не сходится с образом"));
  else
    problem(QCoreApplication::translate("ProfileCheck", "Контрольная сумма (%1) не сходится")
                .arg(ChecksumKindName(c.status.kind)));
}

}  // namespace

std::vector<const TProfileProblem*> TProfileReport::ProblemsOf(TImageTable table,
                                                               bool highPart) const {
  std::vector<const TProfileProblem*> found;
  for (const TProfileProblem& p : problems)
    if (p.table == table && p.highPart == highPart) found.push_back(&p);
  return found;
}

TProfileReport CheckProfile(const TModelConfig& config, const std::vector<uint8_t>& image) {
  TModelConfig c = config;
  c.ComputeDerivedSizes();
  TProfileReport r;
  r.imageSize = image.empty() ? kImageSize : static_cast<int64_t>(image.size());
  r.regions = ImageRegions(c);
  CheckChecksumOf(r, c, image);
  CheckPlaces(r);
  CheckOverlaps(r);
  if (image.empty()) return r;
  CheckAxes(r, image);
  CheckDecoding(r, c, image);
  return r;
}

QString AxisKindName(TAxisKind kind) {
  switch (kind) {
    case TAxisKind::Rpm:
      return QCoreApplication::translate("ProfileCheck", "оборотов");
    case TAxisKind::Load:
      return QCoreApplication::translate("ProfileCheck", "нагрузки");
    case TAxisKind::Temperature:
      return QCoreApplication::translate("ProfileCheck", "температур");
  }
  return {};
}

QString HexAddress(int64_t address) {
  if (address < 0) return QString::number(address);
  return QStringLiteral("0x") + QString::number(address, 16).toUpper();
}
