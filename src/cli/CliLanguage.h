#pragma once
// The language of tarvelo-cli: English under every locale, as scripts expect.

// Installs the program's English texts (the core's status and error texts included) and the
// C locale for numbers (a full stop, no thousands separator), whatever LANG or LC_ALL say.
// Needs the QCoreApplication of the run.
void UseEnglishAndTheCLocale();
