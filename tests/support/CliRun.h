#pragma once
// Runs the command-line tool as a script would, under a Russian locale (a comma as its
// decimal separator, which the tool's output must not follow) or the one given, and gives its
// exit status and both outputs; exit status -1 when it did not finish within 30 s.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct TCliRun {
  int exitCode = -1;
  QString out;
  QString err;
};

inline TCliRun RunCli(const QString& program, const QStringList& args,
                      const QString& locale = QStringLiteral("ru_RU.UTF-8")) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LC_ALL", locale);
  env.insert("LANG", locale);
  env.insert("LANGUAGE", locale.section('.', 0, 0));
  p.setProcessEnvironment(env);
  p.start(program, args);
  if (!p.waitForFinished(30000)) return {};
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}
