#pragma once
// The checksum commands of tarvelo-cli: `checksum` and `apply`.

#include <QString>
#include <QStringList>
#include <optional>

// Their lines of the --help text, a string literal to join to the command list.
#define TARVELO_CHECKSUM_COMMANDS_HELP                                                         \
  "  checksum IMAGE.bin [--profile P.prf] [--scan] [--json]\n"                                 \
  "      List every checksum scheme that holds on the image (a 64 KB image is read whole):\n"  \
  "      the whole code area's 16-bit sum, a calibration area's sum stored after it (its\n"    \
  "      ends searched), either byte order, with or without the complement, and mirrored\n"    \
  "      blocks. --scan also lists every candidate tried. Exit code 0 when one holds, 1\n"     \
  "      when the named or every tried scheme fails, 2 on an error. A profile may name the\n"  \
  "      scheme, and then only it is checked: CRCKind=sum16be, sum16le, sum16be+complement,\n" \
  "      sum16le+complement or sum8 over its area (CRCStart=V starts the sum at V,\n"          \
  "      CRCRange2=A-B adds a second range), code16be, code16le or mirror, in [config].\n"     \
  "  apply IMAGE.bin SETTINGS.dme OUT.bin [--profile P.prf] [--keep-sum | --no-checksum]\n"    \
  "        [--force] [--strict-checksum]\n"                                                    \
  "      Write into the image's tables each value of the settings file that differs from\n"    \
  "      the image's (every other cell keeps its code) and save it as OUT.bin with every\n"    \
  "      checksum scheme that held on IMAGE.bin corrected, each named on standard error\n"     \
  "      with its area and place. When none held nothing is written, unless --keep-sum\n"      \
  "      (two filler bytes keep the image's 16-bit sum) or --no-checksum (the old bytes\n"     \
  "      stay). A calibration area's sum that only the search found may hold by chance;\n"     \
  "      --strict-checksum writes nothing then. A settings file of another size than the\n"    \
  "      layout's (of the other layout, say) or with an axis that does not rise is refused\n"  \
  "      unless --force is given. Exit code 2 on any error.\n"

// Runs `command` when it is one of these (its exit code), else nothing. Errors are reported
// on standard error here and end with exit code 2.
std::optional<int> RunChecksumCommand(const QString& command, const QStringList& args);
