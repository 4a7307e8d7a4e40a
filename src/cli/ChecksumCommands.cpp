// The checksum commands of tarvelo-cli: checking an image's checksum, and putting a settings
// file's codes into an image with its checksum corrected. Both end with exit code 2 on any
// error, as `checksum` needs 1 for a checksum that is not right.

#include "cli/ChecksumCommands.h"

#include <QFile>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "common/Errors.h"
#include "image/Checksum.h"
#include "image/EfiOperator.h"
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
  bool force = false;
};

Arguments Parse(const QStringList& args, qsizetype fileCount) {
  Arguments a;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--profile")) {
      if (i + 1 >= args.size()) throw Refusal{"--profile needs a file name"};
      a.profile = args[++i];
    } else if (args[i] == QLatin1String("--force")) {
      a.force = true;
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
// whose layout (tables and checksum) must fit.
TEFIOperator LoadImage(const Arguments& a, const QString& imagePath) {
  TEFIOperator op(true);
  if (a.profile) {
    QFile file(*a.profile);
    if (!file.open(QIODevice::ReadOnly))
      throw Refusal{"profile " + Utf8(*a.profile) + ": cannot be read"};
    op.LoadProfile(*a.profile);
  } else {
    op.LoadDefaultConfig();
  }
  try {
    LoadImageFile(imagePath, op.fImage);
  } catch (const ERuntimeError& e) {
    throw Refusal{Utf8(imagePath) + ": " + e.what()};
  }
  if (const QString problem = op.CheckLayout(); !problem.isEmpty())
    throw Refusal{(a.profile ? "profile " + Utf8(*a.profile) : "built-in configuration") + ": " +
                  Utf8(problem)};
  return op;
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
                 Utf8(settingsPath).c_str(), Utf8(file.fVersionText).c_str(),
                 Utf8(image.fVersionText).c_str());
}

int Checksum(const QStringList& args) {
  const Arguments a = Parse(args, 1);
  const TEFIOperator op = LoadImage(a, a.files[0]);
  if (!HasChecksum(op)) throw Refusal{"the configuration names no checksum area"};
  const TChecksumStatus status = CheckChecksum(op.fImage, op);
  PrintLine(ChecksumStatusText(status));
  return status.valid ? kExitRight : kExitWrong;
}

int Apply(const QStringList& args) {
  const Arguments a = Parse(args, 3);
  const TEFIOperator op = LoadImage(a, a.files[0]);
  if (!HasChecksum(op)) throw Refusal{"the configuration names no checksum area"};
  // The kind is taken from the image as given; the written image is then made right for it.
  // A value already wrong there is never made "right": that would hide a damaged image.
  const TChecksumStatus status = CheckChecksum(op.fImage, op);
  if (status.kind == TChecksumKind::None)
    throw Refusal{Utf8(a.files[0]) +
                  ": no checksum kind matches the image, so the written image could not be "
                  "made right (name the kind with CRCKind in the profile)"};
  if (!status.valid)
    throw Refusal{Utf8(a.files[0]) + ": its checksum is wrong (" +
                  Utf8(ChecksumKindName(status.kind)) +
                  "), so the image is not made right for it; nothing is written"};
  // No unit runs on tables whose axes do not rise, and a file of another size is not of
  // this layout: both are refused unless the user insists.
  if (!a.force) {
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
  StoreChecksum(out, op, status.kind);
  try {
    SaveImageFile(a.files[2], out);
  } catch (const ERuntimeError& e) {
    throw Refusal{Utf8(a.files[2]) + ": " + e.what()};
  }
  PrintLine(ChecksumStatusText(CheckChecksum(out, op)));
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
