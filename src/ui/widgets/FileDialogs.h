#pragma once
// The program's file dialogs: long-lived members, made once with their title, filters and
// default suffix, and run again and again without leaving anything behind.

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// A non-native file dialog named `name`, for opening an existing file or saving one.
QFileDialog* MakeFileDialog(QWidget* owner, const char* name, bool save, const QString& title,
                            const QStringList& filters, const QString& suffix);

// Runs the dialog modally and returns the chosen path (empty when cancelled). Afterwards the
// name field's completion list is closed and the focus is back where it was, so the next
// click and the next keys go to the window the user returns to.
QString RunFileDialog(QFileDialog* dialog);

// A filter whose text says "(*.*)" lists every file, names without a dot included, as the
// user of such a filter expects; the file list would otherwise take the pattern literally.
void MatchAllFilesForStarDotStar(QFileDialog* dialog);
