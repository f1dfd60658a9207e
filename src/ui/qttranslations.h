// Qt's own texts (message box buttons, file, font, colour and print
// dialogs, the standard context menus) in the program's language, from the
// catalogs of Qt's translation package (qt_de.qm, qt_fr.qm, ...).
#pragma once

#include <QString>

namespace ui {

// Replaces the Qt catalogs installed by an earlier call with those of
// `language` (0 German, 1 English, 2 French, 3 Dutch). Returns false when
// the catalog is not installed; Qt then speaks English.
bool InstallQtTranslations(int language);

// The folder the catalogs are read from (Qt's translations path).
QString QtTranslationsFolder();

}  // namespace ui
