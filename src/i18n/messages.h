// The numbered German messages of the program and the process-wide
// translation lookup every library uses to show them in the current language.
#pragma once

#include <string>
#include <vector>

namespace i18n {

class TranslationTable;

// The German text of message n; an empty text for numbers not in use.
const std::u16string& MessageTable(int n);
// Highest message number in use.
int HighestMessageNumber();
// Every message number in use, ascending.
std::vector<int> MessageNumbers();

// The table and language used by Msg and Tr. The window (or the command-line
// tool) installs the table loaded from translate.dat at start; without one,
// every text is returned as given (German).
void SetCurrentTable(TranslationTable* table);
TranslationTable* CurrentTable();
void SetLanguage(int language);  // a column of the table (i18n/languages.h); 0 German
int Language();

// A German text in the current language (adds unknown texts to the table).
// The window translates its own texts with it at the first showing: every
// caption, hint, list and grid heading, drop-down item and file-dialog
// filter (one text, e.g. "Produkt Kataloge (*.pk2)|*.pk2") goes through Tr.
std::u16string Tr(const std::u16string& german);
// Message n in the current language; empty for numbers not in use.
std::u16string Msg(int n);

}  // namespace i18n
