#include "cli/CliLanguage.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <clocale>

void UseEnglishAndTheCLocale() {
  // QCoreApplication takes the user's locale for the C library; the tool's numbers do not.
  std::setlocale(LC_ALL, "C");
  QLocale::setDefault(QLocale::c());
  // The interface's English translation, built into the tool beside the program's.
  static QTranslator english;
  if (english.load(QStringLiteral(":/i18n/tarvelo_en.qm")))
    QCoreApplication::installTranslator(&english);
}
