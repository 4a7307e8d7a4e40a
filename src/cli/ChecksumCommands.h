#pragma once
// The checksum commands of tarvelo-cli: `checksum` and `apply`.

#include <QString>
#include <QStringList>
#include <optional>

// Their lines of the --help text, a string literal to join to the command list.
#define TARVELO_CHECKSUM_COMMANDS_HELP                                                       \
  "  checksum IMAGE.bin [--profile P.prf]\n"                                                 \
  "      Find which checksum the image carries over its data area and print whether it is\n" \
  "      right; exit code 0 when right, 1 when wrong or no kind matches, 2 on an error.\n"   \
  "      A profile may name the kind: CRCKind=sum16be, sum16le, sum16be+complement,\n"       \
  "      sum16le+complement or sum8 in section [config].\n"                                  \
  "  apply IMAGE.bin SETTINGS.dme OUT.bin [--profile P.prf] [--force]\n"                     \
  "      Write into the image's tables each value of the settings file that differs from\n"  \
  "      the image's (every other cell keeps its code) and save it as OUT.bin with its\n"    \
  "      checksum corrected (the kind found in IMAGE.bin or named by the profile; without\n" \
  "      one nothing is written). A settings file of another size than the layout's (of\n"   \
  "      the other layout, say) or with an axis that does not rise is refused unless\n"      \
  "      --force is given. Exit code 2 on any error.\n"

// Runs `command` when it is one of these (its exit code), else nothing. Errors are reported
// on standard error here and end with exit code 2.
std::optional<int> RunChecksumCommand(const QString& command, const QStringList& args);
