#include "image/ProfileFile.h"

#include <QFileInfo>
#include <cerrno>

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

// The whole profile of `config`: every key, and CRCKind when a kind is named.
QByteArray FreshProfile(const TModelConfig& config) {
  QByteArray out = "[" + kSection.toLatin1() + "]\r\n";
  for (const TProfileKey& key : ProfileKeys())
    out += QByteArray(key.name) + '=' + ProfileValueText(key, key.get(config)).toLatin1() + "\r\n";
  if (config.fCRCKind != TChecksumKind::None)
    out += "CRCKind=" + ChecksumKindName(config.fCRCKind).toLatin1() + "\r\n";
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
    ini.Write();
    if (ReadProfile(path) == wanted) return;
    // The file held something the reader takes before the lines written (a second section
    // "config", a key twice): the profile is written anew.
  }
  WriteFileSafely(path, FreshProfile(wanted));
}
