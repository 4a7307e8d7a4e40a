#pragma once
// Runs the command-line tool as a script would, under a Russian locale (a comma as its
// decimal separator, which the tool's output must not follow), and gives its exit status and
// both outputs; exit status -1 when it did not finish within 30 s.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct TCliRun {
  int exitCode = -1;
  QString out;
  QString err;
};

inline TCliRun RunCli(const QString& program, const QStringList& args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LC_ALL", "ru_RU.UTF-8");
  env.insert("LANG", "ru_RU.UTF-8");
  p.setProcessEnvironment(env);
  p.start(program, args);
  if (!p.waitForFinished(30000)) return {};
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}
