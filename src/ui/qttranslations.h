// Qt's own texts (message box buttons, file, font, colour and print
// dialogs, the standard context menus) in the program's language, from the
// catalogs of Qt's translation package (qt_de.qm, qt_fr.qm, ...), and Qt's
// locale of that language.
#pragma once

#include <QLocale>
#include <QString>

namespace ui {

// Replaces the Qt catalogs installed by an earlier call with those of
// `language` (a column of i18n::InterfaceLanguages()). Returns false when
// the catalog is not installed or the language unknown; Qt then speaks
// English.
bool InstallQtTranslations(int language);

// The folder the catalogs are read from (Qt's translations path).
QString QtTranslationsFolder();

// Qt's locale of an interface language (its code, "de" -> de_DE), English
// for a column no language uses: dates and the number boxes' format of a
// window without a language in the environment.
QLocale InterfaceLocale(int language);

}  // namespace ui
