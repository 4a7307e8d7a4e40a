#pragma once
// The application's error box: every menu command and button handler runs inside
// RunCommand, which shows an error that escapes it in a box captioned "Tarvelo"; the
// command is abandoned there and the program goes on.

#include <QString>
#include <exception>
#include <new>

#include "common/Errors.h"

class QWidget;

void ShowErrorBox(const QString& text);

template <typename F>
bool RunCommand(F&& command) {
  try {
    command();
    return true;
  } catch (const std::bad_alloc&) {
    ShowErrorBox(QStringLiteral("Out of memory"));
  } catch (const std::exception& e) {
    ShowErrorBox(QString::fromStdString(e.what()));
  }
  return false;
}

// Slot adaptor: wraps a handler so that Qt connections run it inside RunCommand.
template <typename F>
auto Guarded(F command) {
  return [command]() mutable { RunCommand(command); };
}
