// The checksum commands of tarvelo-cli: checking an image's checksum, and putting a settings
// file's codes into an image with its checksum corrected. Both end with exit code 2 on any
// error, as `checksum` needs 1 for a checksum that is not right.

#include "cli/ChecksumCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "common/Errors.h"
#include "common/RegularFile.h"
#include "common/ShownText.h"
#include "image/Checksum.h"
#include "image/ChecksumSearch.h"
#include "image/EfiOperator.h"
#include "image/FillerSum.h"
#include "image/ImageFile.h"
#include "image/ImageWriteBack.h"
#include "image/SettingsFileCheck.h"

namespace {

constexpr int kExitRight = 0;
constexpr int kExitWrong = 1;
constexpr int kExitError = 2;

struct Refusal {
  std::string message;
};

std::string Utf8(const QString& text) {
  return text.toStdString();
}

struct Arguments {
  QStringList files;
  std::optional<QString> profile;
  QStringList flags;  // the options without a value that were given
  bool Has(const char* flag) const { return flags.contains(QLatin1String(flag)); }
};

// `flags`: the options without a value this command takes.
Arguments Parse(const QStringList& args, qsizetype fileCount, const QStringList& flags = {}) {
  Arguments a;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--profile")) {
      if (i + 1 >= args.size()) throw Refusal{"--profile needs a file name"};
      a.profile = args[++i];
    } else if (flags.contains(args[i])) {
      a.flags << args[i];
    } else if (args[i].startsWith(QLatin1String("--"))) {
      throw Refusal{"unknown option " + Utf8(args[i])};
    } else {
      a.files << args[i];
    }
  }
  if (a.files.size() != fileCount) throw Refusal{"wrong number of arguments (see --help)"};
  return a;
}

// The built-in configuration or the named profile (which must be readable), and the image,
// whose layout (tables and checksum) must fit. With `whole64`, a 64 KB file is read whole
// (the checksum schemes of such images cover all of it); any other file gives its 32 KB.
TEFIOperator LoadImage(const Arguments& a, const QString& imagePath, bool whole64 = false) {
  TEFIOperator op(true);
  if (a.profile) {
    if (const QString why = NotRegularFileReason(*a.profile); !why.isEmpty())
      throw Refusal{"profile " + Utf8(*a.profile) + ": " + Utf8(why)};
    QFile file(*a.profile);
    if (!file.open(QIODevice::ReadOnly))
      throw Refusal{"profile " + Utf8(*a.profile) + ": cannot be read"};
    op.LoadProfile(*a.profile);
  } else {
    op.LoadDefaultConfig();
  }
  try {
    LoadImageFile(imagePath, op.fImage);
    if (whole64 && QFileInfo(imagePath).size() == 2 * kImageSize) {
      const QByteArray whole = ReadFileHead(imagePath, 2 * kImageSize);
      if (whole.size() == 2 * kImageSize) op.fImage.assign(whole.begin(), whole.end());
    }
  } catch (const ERuntimeError& e) {
    throw Refusal{Utf8(imagePath) + ": " + e.what()};
  }
  if (const QString problem = op.CheckLayout(); !problem.isEmpty())
    throw Refusal{(a.profile ? "profile " + Utf8(*a.profile) : "built-in configuration") + ": " +
                  Utf8(problem)};
  return op;
}

QString Hex(int64_t value, int digits = 4) {
  return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

const char* TypeName(TSchemeType type) {
  switch (type) {
    case TSchemeType::CodeArea:
      return "code-area";
    case TSchemeType::TwoRanges:
      return "two-ranges";
    case TSchemeType::Mirror:
      return "mirror";
    default:
      return "area";
  }
}

QJsonObject SchemeJson(const TChecksumScheme& s) {
  QJsonArray ranges;
  for (const TByteRange& r : s.ranges)
    ranges.append(QJsonObject{{"first", qint64(r.first)}, {"last", qint64(r.last)}});
  QJsonObject o{{"type", TypeName(s.type)},        {"ranges", ranges}, {"place", qint64(s.place)},
                {"bytes", qint64(SchemeBytes(s))}, {"named", s.named}, {"text", SchemeWords(s)}};
  o["searched"] = s.searched;
  if (s.type != TSchemeType::Mirror) {
    o["kind"] = ChecksumKindName(s.kind);
    o["start"] = s.start;
  }
  return o;
}

QJsonObject SearchJson(const TSchemeSearch& search, bool scan) {
  QJsonArray held, tried;
  for (const TChecksumScheme& s : search.held) held.append(SchemeJson(s));
  QJsonObject o{{"status", SchemeStatusText(search)}, {"named", search.named}, {"holds", held}};
  if (scan) {
    for (const TChecksumScheme& s : search.tried) tried.append(SchemeJson(s));
    o["tried"] = tried;
  }
  return o;
}

// The status line, a line per scheme that holds, and with `scan` one per candidate tried.
QString SearchText(const TSchemeSearch& search, bool scan) {
  QStringList lines{SchemeStatusText(search)};
  for (const TChecksumScheme& s : search.held) lines << "holds: " + SchemeWords(s);
  if (search.NamedFails())
    for (const TChecksumScheme& s : search.tried) lines << "fails: " + SchemeWords(s);
  if (scan) {
    lines << QStringLiteral("tried %1 candidates%2:")
                 .arg(search.tried.size())
                 .arg(search.named ? QString()
                                   : QStringLiteral(" (and mirrored blocks of 64 bytes or more "
                                                    "looked for over the whole image)"));
    for (const TChecksumScheme& s : search.tried)
      lines << "  " + SchemeWords(s) +
                   (std::find(search.held.begin(), search.held.end(), s) != search.held.end()
                        ? QStringLiteral(" (holds)")
                        : QString());
  }
  return lines.join(QLatin1Char('\n'));
}

QString FillerText(const TFillerBytes& bytes, uint16_t sum) {
  return QStringLiteral("kept the image's 16-bit sum %1: %2 %3 -> %4, %5 %6 -> %7")
      .arg(Hex(sum), Hex(bytes.address), Hex(bytes.before[0], 2), Hex(bytes.after[0], 2),
           Hex(bytes.address + 1), Hex(bytes.before[1], 2), Hex(bytes.after[1], 2));
}

void PrintLine(const QString& text) {
  const std::string line = Utf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

// A settings file made for another firmware version is still applied (the configuration
// places its codes), but the user hears of it, as the window asks before loading one.
void WarnOfOtherVersion(const TEFIOperator& op, const QString& settingsPath) {
  TEFIOperator image = op;
  try {
    // The version is the first thing read; a later refusal leaves it in place.
    image.DecodeImage();
  } catch (const ERuntimeError&) {
  }
  TEFIOperator file(true);
  uint8_t mismatch = 0;
  try {
    file.LoadSettings(0, settingsPath, mismatch);
  } catch (const ERuntimeError&) {
    return;  // the apply itself reports an unreadable file
  }
  if (file.fVersionText != image.fVersionText)
    std::fprintf(stderr, "tarvelo-cli: warning: %s is for version %s, the image is %s\n",
                 Utf8(settingsPath).c_str(), Utf8(EscapeControls(file.fVersionText)).c_str(),
                 Utf8(EscapeControls(image.fVersionText)).c_str());
}

int Checksum(const QStringList& args) {
  const Arguments a = Parse(args, 1, {QStringLiteral("--scan"), QStringLiteral("--json")});
  const TEFIOperator op = LoadImage(a, a.files[0], true);
  const TSchemeSearch search = FindSchemes(op.fImage, op);
  // A configuration that names neither an area nor a scheme gives nothing to check against
  // unless the search finds a scheme on its own.
  if (search.held.empty() && !HasChecksum(op) && op.fCRCKind == TChecksumKind::None)
    throw Refusal{"the configuration names no checksum area, and no checksum scheme holds on " +
                  Utf8(a.files[0])};
  if (a.Has("--json"))
    PrintLine(QString::fromUtf8(
        QJsonDocument(SearchJson(search, a.Has("--scan"))).toJson(QJsonDocument::Indented)));
  else
    PrintLine(SearchText(search, a.Has("--scan")));
  return search.held.empty() ? kExitWrong : kExitRight;
}

// With --strict-checksum, a scheme only the area search found is not corrected: its sum may
// hold by chance, and correcting it would rewrite two bytes of code or data.
void RefuseSearchedOnly(const TSchemeSearch& search, const QString& imagePath) {
  for (const TChecksumScheme& s : search.held)
    if (s.searched)
      throw Refusal{Utf8(imagePath) + ": " + Utf8(SchemeWords(s)) +
                    ": only the search found this scheme, so with --strict-checksum it is not "
                    "corrected; nothing is written (name it with CRCKind in the profile, or "
                    "drop --strict-checksum)"};
}

// The settings file's codes in the image, and then every scheme that held on the input made
// to hold again, each named on standard error with its area and place; where none held, the
// image's 16-bit sum kept by two filler bytes (--keep-sum) or the old checksum bytes left as
// they are (--no-checksum).
int Apply(const QStringList& args) {
  const Arguments a = Parse(args, 3,
                            {QStringLiteral("--keep-sum"), QStringLiteral("--no-checksum"),
                             QStringLiteral("--force"), QStringLiteral("--strict-checksum")});
  const TEFIOperator op = LoadImage(a, a.files[0]);
  const TSchemeSearch search = FindSchemes(op.fImage, op);
  const bool keepSum = a.Has("--keep-sum"), leave = a.Has("--no-checksum");
  if (keepSum && leave) throw Refusal{"--keep-sum and --no-checksum exclude each other"};
  if (a.Has("--strict-checksum")) RefuseSearchedOnly(search, a.files[0]);
  // A scheme that did not hold is never made "right": that would hide a damaged image.
  if (search.NamedFails() && !keepSum && !leave)
    throw Refusal{Utf8(a.files[0]) + ": its checksum is wrong (" +
                  Utf8(ChecksumKindName(op.fCRCKind)) +
                  "), so the image is not made right for it; nothing is written (--keep-sum or "
                  "--no-checksum write it anyway)"};
  if (search.held.empty() && !keepSum && !leave)
    throw Refusal{Utf8(a.files[0]) +
                  ": no checksum scheme holds on the image, so the written image could not be "
                  "made right; nothing is written (name the scheme with CRCKind in the profile, "
                  "or give --keep-sum to keep the image's 16-bit sum or --no-checksum)"};
  // No unit runs on tables whose axes do not rise, and a file of another size is not of
  // this layout: both are refused unless the user insists.
  if (!a.Has("--force")) {
    QString problem;
    try {
      problem = SettingsFileProblem(op, a.files[1]);
    } catch (const ERuntimeError& e) {
      throw Refusal{Utf8(a.files[1]) + ": " + e.what()};
    }
    if (!problem.isEmpty())
      throw Refusal{Utf8(a.files[1]) + ": " + Utf8(problem) +
                    "; nothing is written (--force writes it all the same)"};
  }
  WarnOfOtherVersion(op, a.files[1]);
  std::vector<uint8_t> out;
  try {
    out = ApplySettingsFile(op.fImage, op, a.files[1]);
  } catch (const ERuntimeError& e) {
    throw Refusal{Utf8(a.files[1]) + ": " + e.what()};
  }
  QString kept;
  if (!search.held.empty()) {
    CorrectSchemes(out, search.held);
  } else if (keepSum) {
    QString why;
    const std::optional<TFillerBytes> bytes = FindFillerBytes(op.fImage, out, op, why);
    if (!bytes) throw Refusal{Utf8(a.files[0]) + ": " + Utf8(why) + "; nothing is written"};
    ApplyFillerBytes(out, *bytes);
    kept = FillerText(*bytes, ImageSum16(op.fImage));
  }
  try {
    SaveImageFile(a.files[2], out);
  } catch (const ERuntimeError& e) {
    throw Refusal{Utf8(a.files[2]) + ": " + e.what()};
  }
  for (const TChecksumScheme& s : search.held)
    std::fprintf(stderr, "tarvelo-cli: corrected %s (%s)\n", Utf8(SchemeWords(s)).c_str(),
                 Utf8(SchemePlaceText(s)).c_str());
  PrintLine(SchemeStatusText(FindSchemes(out, op)));
  if (!kept.isEmpty()) PrintLine(kept);
  return kExitRight;
}

int Run(int (*command)(const QStringList&), const QStringList& args) {
  try {
    return command(args);
  } catch (const Refusal& r) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", r.message.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvelo-cli: %s\n", e.what());
  }
  return kExitError;
}

}  // namespace

std::optional<int> RunChecksumCommand(const QString& command, const QStringList& args) {
  if (command == QLatin1String("checksum")) return Run(Checksum, args);
  if (command == QLatin1String("apply")) return Run(Apply, args);
  return std::nullopt;
}
