// The program: start everything, run the window loop, end everything.
#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "ui/app/Program.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::fputs("No display to show the window on: run it as 'xvfb-run -a make run'.\n", stderr);
    return 1;
  }
  QApplication app(argc, argv);
  StartProgram();
  // "tarvelo FILE.bin" or "tarvelo FILE.dme" (a double click in the file manager).
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) OpenAtStart(arguments.at(1));
  const int result = QApplication::exec();
  EndProgram();
  return result;
}
