#include "image/ProfileFile.h"

#include <QFileInfo>
#include <cerrno>
#include <utility>
#include <vector>

#include "common/Errors.h"
#include "common/IniFile.h"
#include "common/SafeFileWrite.h"
#include "image/Checksum.h"
#include "image/ImageFile.h"
#include "image/ProfileKeys.h"

namespace {

const QString kSection = QStringLiteral("config");

// A value no profile line can hold: a key that ReadString gives this for is missing.
const QString kMissing = QStringLiteral("\n");

// True when reading `read` for `key` gives the field the value `config` has.
bool Gives(const TProfileKey& key, int32_t read, const TModelConfig& config) {
  TModelConfig probe = config;
  key.set(probe, read);
  return key.get(probe) == key.get(config);
}

// True when the file's line for `key` can stay as it is: its text, or the default when the
// key is missing, already gives the value of `config`.
bool Holds(const TIniFile& ini, const TProfileKey& key, const TModelConfig& config) {
  const QString held = ini.ReadString(kSection, QString::fromLatin1(key.name), kMissing);
  if (held == kMissing) return Gives(key, key.profileDefault, config);
  int32_t read = 0;
  return ParseIniInteger(held, read) && Gives(key, read, config);
}

// The keys of a named sum's start value and second range, where they are not the defaults.
std::vector<std::pair<QString, QString>> ChecksumExtras(const TModelConfig& c) {
  const auto hex = [](int64_t v) {
    return v < 0 ? QString::number(v) : QStringLiteral("0x") + QString::number(v, 16).toUpper();
  };
  std::vector<std::pair<QString, QString>> keys;
  if (c.fCRCStart != 0) keys.emplace_back(QStringLiteral("CRCStart"), hex(c.fCRCStart));
  if (c.fCRCRange2First != 0 || c.fCRCRange2Last != 0)
    keys.emplace_back(QStringLiteral("CRCRange2"),
                      hex(c.fCRCRange2First) + QLatin1Char('-') + hex(c.fCRCRange2Last));
  return keys;
}

// The whole profile of `config`: every key, and CRCKind when a kind is named.
QByteArray FreshProfile(const TModelConfig& config) {
  QByteArray out = "[" + kSection.toLatin1() + "]\r\n";
  for (const TProfileKey& key : ProfileKeys())
    out += QByteArray(key.name) + '=' + ProfileValueText(key, key.get(config)).toLatin1() + "\r\n";
  if (config.fCRCKind != TChecksumKind::None)
    out += "CRCKind=" + ChecksumKindName(config.fCRCKind).toLatin1() + "\r\n";
  for (const auto& [key, value] : ChecksumExtras(config))
    out += key.toLatin1() + '=' + value.toLatin1() + "\r\n";
  return out;
}

}  // namespace

void SaveProfile(const TModelConfig& config, const QString& path) {
  TModelConfig wanted = config;
  wanted.ComputeDerivedSizes();
  if (QFileInfo::exists(path)) {
    // Only the lines that no longer give their field's value change.
    TIniFile ini(path);
    for (const TProfileKey& key : ProfileKeys())
      if (!Holds(ini, key, wanted))
        ini.WriteString(kSection, QString::fromLatin1(key.name),
                        ProfileValueText(key, key.get(wanted)));
    const QString kind = QStringLiteral("CRCKind");
    if (ChecksumKindFromName(ini.ReadString(kSection, kind, {})) != wanted.fCRCKind)
      ini.WriteString(kSection, kind, ChecksumKindName(wanted.fCRCKind));
    for (const auto& [key, value] : ChecksumExtras(wanted)) ini.WriteString(kSection, key, value);
    ini.Write();
    if (ReadProfile(path) == wanted) return;
    // The file held something the reader takes before the lines written (a second section
    // "config", a key twice): the profile is written anew.
  }
  WriteFileSafely(path, FreshProfile(wanted));
}
