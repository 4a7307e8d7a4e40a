#include "ui/app/LanguageMenu.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>

#include "ui/app/Language.h"

namespace {
QString Tr(const char* text) {
  return QCoreApplication::translate("LanguageMenu", text);
}

void Choose(QWidget* window, TLanguage language) {
  if (language == StoredLanguage()) return;
  StoreLanguage(language);
  QMessageBox box(QMessageBox::Information, QStringLiteral("Tarvelo"),
                  Tr(QT_TRANSLATE_NOOP(
                      "LanguageMenu", "Язык интерфейса сменится при следующем запуске программы.")),
                  QMessageBox::Ok, window);
  box.setObjectName(QStringLiteral("LanguageNotice"));
  box.exec();
}
}  // namespace

void AddLanguageMenu(QMenu* options, QWidget* window) {
  // The submenu's caption and the language names stay as they are in every language, so
  // that a person who cannot read the current one still finds their own.
  QMenu* menu = options->addMenu(QStringLiteral("Язык / Language"));
  menu->setObjectName(QStringLiteral("mnuLanguage"));
  menu->menuAction()->setObjectName(QStringLiteral("mnuLanguage"));
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);
  const struct {
    const char* name;
    QString caption;
    TLanguage language;
  } items[] = {
      {"actLangSystem", Tr(QT_TRANSLATE_NOOP("LanguageMenu", "Как в системе")), TLanguage::System},
      {"actLangRu", QStringLiteral("Русский"), TLanguage::Russian},
      {"actLangEn", QStringLiteral("English"), TLanguage::English},
  };
  const TLanguage stored = StoredLanguage();
  for (const auto& item : items) {
    QAction* action = menu->addAction(item.caption);
    action->setObjectName(QString::fromLatin1(item.name));
    action->setCheckable(true);
    action->setChecked(item.language == stored);
    group->addAction(action);
    const TLanguage language = item.language;
    QObject::connect(action, &QAction::triggered, window,
                     [window, language] { Choose(window, language); });
  }
}
