#pragma once
// "Язык / Language" in "&Опции": the interface language of the next start.

class QMenu;
class QWidget;

// Adds the submenu `mnuLanguage` with the checkable items `actLangSystem` ("Как в системе"),
// `actLangRu` and `actLangEn` to `options`; choosing one stores it for the next start and
// says so in a message box over `window`.
void AddLanguageMenu(QMenu* options, QWidget* window);
