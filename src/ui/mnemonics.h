// Keyboard access to the menus: mnemonic marks ("&Datei") and the usual
// shortcuts. The marks are put into the texts after translation, so the
// texts looked up in the translation table stay the plain German ones, and
// they are chosen per language so that no two titles of the menu bar and no
// two entries of one menu share a letter.
#pragma once

#include <QString>
#include <QStringList>

class QMenuBar;
class QMenu;

namespace ui {

// Marks the menu titles of `bar` and the entries of every menu below it.
// Entries that set their own texts (undo and redo) carry the property
// "qlPrefix"; for them the marked prefix goes into "qlMarkedPrefix".
// Texts that already hold a mark ("&" before a letter or digit) keep it.
void MarkMnemonics(QMenuBar* bar);

// Marks each text of `texts` with a letter not used by the others: the first
// letter of a word where possible, otherwise any letter or digit. A literal
// "&" is doubled. Texts that run out of letters stay unmarked.
QStringList WithMnemonics(const QStringList& texts);

// The usual shortcuts on the entries of the menus of `bar`, found by their
// German texts (call before translating): Ctrl+N, Ctrl+O, Ctrl+S,
// Ctrl+Shift+S, Ctrl+P, Ctrl+Q, Ctrl+F for "Artikel suchen...".
void SetMenuShortcuts(QMenuBar* bar);

}  // namespace ui
