#pragma once
// The serial-port commands of tarvelo-cli: `ports` lists the serial devices with what stands
// in the way of each, `cable-test` checks a K-line cable's echo.

#include <QString>
#include <QStringList>
#include <optional>

// Their lines of the --help text, a string literal to join to the command list.
#define TARVELO_PORT_COMMANDS_HELP                                                              \
  "  ports [--json]\n"                                                                          \
  "      List the serial devices (ttyUSB*, ttyACM*, ttyS*) with their driver, USB ids, chip,\n" \
  "      FTDI latency timer, whether you may open them, which processes hold them, and\n"       \
  "      advice for what stands in the way. TARVELO_SYS_ROOT reads another root than /.\n"      \
  "  cable-test PORT\n"                                                                         \
  "      Send a pattern of bytes at the diagnostic line's settings (PAR of CTESTER.INI) on\n"   \
  "      PORT (COM1 .. COM16 as CTESTER.INI maps them, or a device path) and time each\n"       \
  "      byte's echo; no unit needs to be connected. Exit code 0 when every echo came back\n"   \
  "      right and in time, 1 otherwise (no, wrong, slow or lost echo), 2 on an error.\n"

// Runs `command` when it is one of these (its exit code), else nothing. Errors are reported
// on standard error here and end with exit code 2.
std::optional<int> RunPortCommand(const QString& command, const QStringList& args);
