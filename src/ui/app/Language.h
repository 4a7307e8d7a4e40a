#pragma once
// The interface language. The texts in the code are Russian; English is a translation
// embedded in the program. The language is chosen once per start: TARVELO_LANGUAGE ("ru",
// "en"; the window tests set "ru"), else the user's choice in "Язык / Language", else the
// system's language (English where the desktop asks for English, Russian otherwise).

#include <QString>

enum class TLanguage { System, Russian, English };

// The user's stored choice (System when none is stored).
TLanguage StoredLanguage();
void StoreLanguage(TLanguage language);
// The language this start uses, never System.
TLanguage StartLanguage();
// Installs the program's and Qt's translations for StartLanguage(); RemoveTranslations
// takes them away again.
void InstallTranslations();
void RemoveTranslations();
