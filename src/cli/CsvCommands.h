#pragma once
// The CSV commands of tarvelo-cli: every table of an image as a CSV file with its axes, and
// one such file applied to an image's tables and written as a settings file. Each prints
// its own errors and returns the exit code.

#include <QStringList>

// decode IMAGE --csv DIR [--profile P.prf]
int DecodeToCsv(const QStringList& args);
// apply-csv IMAGE TABLE.csv OUT.dme [--profile P.prf]
int ApplyCsv(const QStringList& args);
