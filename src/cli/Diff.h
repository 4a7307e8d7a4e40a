#pragma once
// tarvelo-cli diff: two calibrations (images or settings files) compared cell by cell.

#include <QStringList>

// Runs "diff A B [--profile P] [--json]" and returns the exit status as diff does: 0 when
// the tables are equal, 1 when they differ, 2 on an error (reported on standard error).
int RunDiff(const QStringList& args);
