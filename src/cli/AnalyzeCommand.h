#pragma once
// tarvelo-cli analyze: a telemetry log laid over the part-load maps of an image, with the
// fuel correction a wide-band sensor proposes.

#include <QStringList>

// Runs `analyze LOG [--image IMAGE] [--channel NAME] [--json]` (the arguments after the
// command); prints the report and returns the exit code. Throws std::runtime_error with a
// one-line message for a file that cannot be used, std::invalid_argument for a command
// line that cannot be understood.
int RunAnalyze(const QStringList& args);
