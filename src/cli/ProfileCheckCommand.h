#pragma once
// `tarvelo-cli profile-check`: a profile's layout checked on an image.

#include <QStringList>

// Its lines of the --help text, a string literal to join to the command list.
#define TARVELO_PROFILE_CHECK_HELP                                                         \
  "  profile-check IMAGE.bin PROFILE.prf [--json]\n"                                       \
  "      Check a profile on an image: where every table lies, the axes each decodes to,\n" \
  "      tables that run past the image, overlap another or whose axes do not rise, and\n" \
  "      the image checksum. Exit code 0 when sound, 1 on any problem, 2 on an error.\n"

// Runs the command with the arguments after its name; returns the exit code. Errors are
// reported on standard error here.
int RunProfileCheck(const QStringList& args);
