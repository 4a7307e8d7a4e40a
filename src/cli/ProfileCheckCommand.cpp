// tarvelo-cli profile-check: the profile editor's layout check without a window, as text for
// people or as JSON for programs (numbers with a full stop, whatever the locale).
#include "cli/ProfileCheckCommand.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <string>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/RegularFile.h"
#include "image/Checksum.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"
#include "profile/ProfileCheck.h"

namespace {

constexpr int kExitSound = 0;
constexpr int kExitProblem = 1;
constexpr int kExitError = 2;

struct Refusal {
  std::string message;
};

QString PartName(TImageTable table, bool highPart, const std::vector<TImageRegion>& regions) {
  for (const TImageRegion& r : regions)
    if (r.table == table) return highPart ? r.name + " (high part)" : r.name;
  return {};
}

const char* AxisName(TAxisKind kind) {
  switch (kind) {
    case TAxisKind::Rpm:
      return "rpm";
    case TAxisKind::Load:
      return "load";
    case TAxisKind::Temperature:
      return "temperature";
  }
  return "";
}

const char* KindName(TProfileProblem::Kind kind) {
  switch (kind) {
    case TProfileProblem::Kind::PastImage:
      return "past-image";
    case TProfileProblem::Kind::Overlap:
      return "overlap";
    case TProfileProblem::Kind::Axis:
      return "axis";
    case TProfileProblem::Kind::Decode:
      return "decode";
    case TProfileProblem::Kind::Checksum:
      return "checksum";
  }
  return "";
}

QString Num(double v) {
  return FloatToStr(v, QChar('.'));
}

// One problem in English, from what the check found.
QString Message(const TProfileProblem& p, const TProfileReport& r) {
  const QString part = p.table ? PartName(*p.table, p.highPart, r.regions) : QString();
  switch (p.kind) {
    case TProfileProblem::Kind::PastImage:
      for (const TImageRegion& region : r.regions)
        if (region.table == p.table && region.highPart == p.highPart)
          return QStringLiteral("%1 (address %2, %3 bytes) runs past the image (%4 bytes)")
              .arg(part, HexAddress(region.address))
              .arg(region.bytes)
              .arg(r.imageSize);
      break;
    case TProfileProblem::Kind::Overlap:
      return QStringLiteral("%1 overlaps %2 (bytes %3 - %4)")
          .arg(part.isEmpty() ? QStringLiteral("the checksum") : part,
               p.otherTable ? PartName(*p.otherTable, p.otherHighPart, r.regions)
                            : QStringLiteral("the checksum"),
               HexAddress(p.from), HexAddress(p.to - 1));
    case TProfileProblem::Kind::Axis:
      for (const TProfileAxis& a : r.axes) {
        if (a.table != p.table || a.highPart != p.highPart || a.kind != p.axis) continue;
        if (p.point == 0)
          return QStringLiteral("%1: the %2 axis starts below zero (%3)")
              .arg(part, QLatin1String(AxisName(p.axis)), Num(a.values.front()));
        return QStringLiteral("%1: the %2 axis does not rise (point %3: %4 after %5)")
            .arg(part, QLatin1String(AxisName(p.axis)))
            .arg(p.point + 1)
            .arg(Num(a.values[static_cast<size_t>(p.point)]),
                 Num(a.values[static_cast<size_t>(p.point) - 1]));
      }
      break;
    case TProfileProblem::Kind::Decode:
      return part + ": cannot be decoded: " + p.reason;
    case TProfileProblem::Kind::Checksum:
      if (!r.checksum.configured || r.checksum.bytes == 0)
        return "checksum: the area or its place does not fit the image: " + p.reason;
      if (r.checksum.status.kind == TChecksumKind::None)
        return QStringLiteral("checksum: not found (no known kind matches the image)");
      return "checksum: wrong (" + ChecksumKindName(r.checksum.status.kind) + ")";
  }
  return p.reason;
}

// The problems, each overlap once (the check marks it on both parts).
std::vector<const TProfileProblem*> Unique(const TProfileReport& r) {
  std::vector<const TProfileProblem*> out;
  for (const TProfileProblem& p : r.problems) {
    const bool mirror = std::any_of(out.begin(), out.end(), [&](const TProfileProblem* q) {
      return p.kind == TProfileProblem::Kind::Overlap && q->kind == p.kind && q->from == p.from &&
             q->to == p.to && q->table == p.otherTable && q->highPart == p.otherHighPart &&
             q->otherTable == p.table && q->otherHighPart == p.highPart;
    });
    if (!mirror) out.push_back(&p);
  }
  return out;
}

QString ChecksumLine(const TProfileReport& r) {
  const TProfileChecksum& c = r.checksum;
  if (!c.configured) return QStringLiteral("not configured");
  if (c.bytes == 0) return QStringLiteral("does not fit the image");
  if (c.status.kind == TChecksumKind::None) return QStringLiteral("not found");
  return QStringLiteral("%1 (%2, %3 bytes at %4)")
      .arg(c.status.valid ? "right" : "wrong", ChecksumKindName(c.status.kind))
      .arg(c.bytes)
      .arg(HexAddress(c.address));
}

QString Text(const TProfileReport& r, const QString& image, const QString& profile, int version) {
  QString out = QStringLiteral("Profile: %1\nImage: %2 (%3 bytes)\nLayout variant: %4\n\nParts:\n")
                    .arg(profile, image)
                    .arg(r.imageSize)
                    .arg(version);
  for (const TImageRegion& region : r.regions)
    out += QStringLiteral("  %1 %2 - %3  %4 bytes\n")
               .arg(PartName(region.table, region.highPart, r.regions), -30)
               .arg(HexAddress(region.address), 7)
               .arg(HexAddress(region.End() - 1), 7)
               .arg(region.bytes);
  out += QStringLiteral("\nAxes:\n");
  for (const TProfileAxis& a : r.axes) {
    QStringList values;
    for (double v : a.values) values << Num(v);
    out += QStringLiteral("  %1 %2: %3\n")
               .arg(PartName(a.table, a.highPart, r.regions), QLatin1String(AxisName(a.kind)),
                    values.join(' '));
  }
  QStringList overlaps, problems;
  for (const TProfileProblem* p : Unique(r)) {
    if (p->kind == TProfileProblem::Kind::Overlap) overlaps << Message(*p, r);
    problems << Message(*p, r);
  }
  out +=
      overlaps.isEmpty() ? QStringLiteral("\nOverlaps: none\n") : QStringLiteral("\nOverlaps:\n");
  for (const QString& o : overlaps) out += "  " + o + "\n";
  out += "Checksum: " + ChecksumLine(r) + "\n";
  out += problems.isEmpty() ? QStringLiteral("Problems: none\n") : QStringLiteral("Problems:\n");
  for (const QString& p : problems) out += "  - " + p + "\n";
  return out;
}

QJsonObject Json(const TProfileReport& r, const QString& image, const QString& profile,
                 int version) {
  QJsonArray parts, problems;
  for (const TImageRegion& region : r.regions) {
    QJsonArray axes;
    for (const TProfileAxis& a : r.axes)
      if (a.table == region.table && a.highPart == region.highPart) {
        QJsonArray values;
        for (double v : a.values) values << v;
        axes << QJsonObject{{"kind", AxisName(a.kind)}, {"values", values}};
      }
    parts << QJsonObject{{"name", region.name},
                         {"highPart", region.highPart},
                         {"address", double(region.address)},
                         {"bytes", double(region.bytes)},
                         {"inside", region.Inside(r.imageSize)},
                         {"axes", axes}};
  }
  for (const TProfileProblem* p : Unique(r)) {
    QJsonObject o{{"kind", KindName(p->kind)}, {"message", Message(*p, r)}};
    if (p->table) o["part"] = PartName(*p->table, p->highPart, r.regions);
    if (p->kind == TProfileProblem::Kind::Overlap) {
      o["other"] = p->otherTable ? PartName(*p->otherTable, p->otherHighPart, r.regions)
                                 : QStringLiteral("checksum");
      o["from"] = double(p->from);
      o["to"] = double(p->to - 1);
    }
    problems << o;
  }
  const TProfileChecksum& c = r.checksum;
  QJsonObject checksum{{"configured", c.configured}};
  if (c.configured && c.status.kind != TChecksumKind::None) {
    checksum["kind"] = ChecksumKindName(c.status.kind);
    checksum["valid"] = c.status.valid;
    checksum["address"] = double(c.address);
    checksum["bytes"] = c.bytes;
  }
  return {{"profile", profile},   {"image", image},      {"imageSize", double(r.imageSize)},
          {"version", version},   {"ok", r.Ok()},        {"parts", parts},
          {"checksum", checksum}, {"problems", problems}};
}

void Print(const QByteArray& text) {
  std::fwrite(text.data(), 1, static_cast<size_t>(text.size()), stdout);
}

int Check(const QStringList& args) {
  QStringList files;
  bool json = false;
  for (const QString& arg : args) {
    if (arg == QLatin1String("--json"))
      json = true;
    else if (arg.startsWith(QLatin1String("--")))
      throw Refusal{"unknown option " + arg.toStdString()};
    else
      files << arg;
  }
  if (files.size() != 2) throw Refusal{"wrong number of arguments (see --help)"};
  const QString& imagePath = files[0];
  const QString& profilePath = files[1];
  // The configuration reader alone would quietly take the defaults of a missing file.
  if (const QString why = NotRegularFileReason(profilePath); !why.isEmpty())
    throw Refusal{"profile " + profilePath.toStdString() + ": " + why.toStdString()};
  if (QFile file(profilePath); !file.open(QIODevice::ReadOnly))
    throw Refusal{"profile " + profilePath.toStdString() + ": cannot be read"};
  TEFIOperator op(true);
  op.LoadProfile(profilePath);
  try {
    LoadImageFile(imagePath, op.fImage);
  } catch (const ERuntimeError& e) {
    throw Refusal{imagePath.toStdString() + ": " + e.what()};
  }
  const TProfileReport report = CheckProfile(op, op.fImage);
  if (json)
    Print(QJsonDocument(Json(report, imagePath, profilePath, op.fVersion))
              .toJson(QJsonDocument::Indented));
  else
    Print(Text(report, imagePath, profilePath, op.fVersion).toUtf8());
  return report.Ok() ? kExitSound : kExitProblem;
}

}  // namespace

int RunProfileCheck(const QStringList& args) {
  try {
    return Check(args);
  } catch (const Refusal& r) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", r.message.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", e.what());
  }
  return kExitError;
}
