#include "ui/app/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "ui/widgets/UserStore.h"

namespace {
constexpr char kKey[] = "ui/language";

TLanguage FromCode(const QString& code) {
  if (code == QLatin1String("ru")) return TLanguage::Russian;
  if (code == QLatin1String("en")) return TLanguage::English;
  return TLanguage::System;
}

// The program's English texts and Qt's own (file dialogs, the Yes/No/OK buttons).
std::unique_ptr<QTranslator> programTexts;
std::unique_ptr<QTranslator> qtTexts;

std::unique_ptr<QTranslator> Load(const QLocale& locale, const QString& name,
                                  const QString& folder) {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(locale, name, QStringLiteral("_"), folder)) return nullptr;
  QCoreApplication::installTranslator(translator.get());
  return translator;
}
}  // namespace

TLanguage StoredLanguage() {
  return FromCode(UserStore().value(QLatin1String(kKey)).toString());
}

void StoreLanguage(TLanguage language) {
  QSettings store = UserStore();
  switch (language) {
    case TLanguage::Russian:
      store.setValue(QLatin1String(kKey), QStringLiteral("ru"));
      break;
    case TLanguage::English:
      store.setValue(QLatin1String(kKey), QStringLiteral("en"));
      break;
    case TLanguage::System:
      store.remove(QLatin1String(kKey));
      break;
  }
}

TLanguage StartLanguage() {
  TLanguage language = FromCode(qEnvironmentVariable("TARVELO_LANGUAGE"));
  if (language == TLanguage::System) language = StoredLanguage();
  if (language != TLanguage::System) return language;
  // The first of the user's languages that is Russian or English decides; a system in a
  // third language gets the Russian interface, the program's own.
  for (const QString& name : QLocale().uiLanguages()) {
    const QLocale::Language l = QLocale(name).language();
    if (l == QLocale::Russian) return TLanguage::Russian;
    if (l == QLocale::English && name != QLatin1String("C")) return TLanguage::English;
  }
  return TLanguage::Russian;
}

void InstallTranslations() {
  RemoveTranslations();
  const TLanguage language = StartLanguage();
  const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (language == TLanguage::English) {
    programTexts =
        Load(QLocale(QLocale::English), QStringLiteral("tarvelo"), QStringLiteral(":/i18n"));
    return;  // Qt's own texts are English already
  }
  // Qt's dialogs speak the desktop's language (a Russian interface on a German desktop keeps
  // German file dialogs); a user who chose Russian in the menu gets Russian ones. The
  // TARVELO_LANGUAGE override concerns the program's own texts only.
  const bool chosen =
      qEnvironmentVariableIsEmpty("TARVELO_LANGUAGE") && StoredLanguage() == TLanguage::Russian;
  const QLocale qtLocale = chosen ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale();
  qtTexts = Load(qtLocale, QStringLiteral("qtbase"), qtFolder);
}

void RemoveTranslations() {
  if (programTexts) QCoreApplication::removeTranslator(programTexts.get());
  if (qtTexts) QCoreApplication::removeTranslator(qtTexts.get());
  programTexts.reset();
  qtTexts.reset();
}
