// The texts the libraries show besides the numbered messages: reasons of a
// damaged project file, printing and file errors, the short names of system
// errors. Each German text is its key in translate.dat, like a numbered
// message; %1 ... %9 stand for values put in after the lookup (file names,
// numbers, other texts of this catalog), so a translation may move them.
//
// A new text is one line of QL_SHOWN_TEXTS and one row of
// data/translations.tsv; the i18n tests check that every line has its row.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// X(Name, German text)
#define QL_SHOWN_TEXTS(X)                                                                               \
  /* Damaged project files; %1 is where (one of the "Where..." texts). */                               \
  X(FileEndsEarly, u"Die Datei endet vorzeitig in %1 (Byte %2 von %3).")                                \
  X(FileTooLarge,                                                                                       \
    u"Die Datei ist zu groß: der Katalog bräuchte beim Lesen von %1 mehr als %2 MB Arbeitsspeicher.")   \
  X(NegativeCount, u"Negative Anzahl %1 der %2 in %3 (Byte %4).")                                       \
  X(CountTooLarge,                                                                                      \
    u"Die Anzahl %1 der %2 in %3 (Byte %4) ist größer, als die restlichen %5 Bytes der Datei fassen " \
    u"können.")                                                                                         \
  X(NoMemoryReading, u"Nicht genug Speicher beim Lesen von %1.")                                        \
  X(NoMemory, u"Nicht genug Speicher.")                                                                 \
  X(WherePartA, u"Teil A (Kategorien und Produkte)")                                                    \
  X(WherePartACategory, u"Teil A (Kategorien und Produkte, Kategorie %1)")                              \
  X(WherePartAProduct, u"Teil A (Kategorien und Produkte, Kategorie %1, Produkt %2)")                   \
  X(WherePartB, u"Teil B (Vorlage und Einstellungen)")                                                  \
  X(WhereGroup, u"Gruppe %1")                                                                           \
  X(CountCategories, u"Kategorien")                                                                     \
  X(CountProducts, u"Produkte")                                                                         \
  X(CountPictures, u"Bilder")                                                                           \
  X(CountRows, u"Variantenzeilen")                                                                      \
  X(CountCells, u"Zellen")                                                                              \
  X(CountCharacters, u"Zeichen")                                                                        \
  X(CountTemplateColumns, u"Vorlagenspalten")                                                           \
  X(CountCategoryOptions, u"Kategorieoptionen")                                                         \
  X(CountCategoryEntries, u"Kategorieeinträge")                                                         \
  X(CountProductEntries, u"Produkteinträge")                                                            \
  X(CountCategoryColours, u"Kategoriefarben")                                                           \
  /* Printing. */                                                                                       \
  X(NoPrinter, u"Auf diesem System gibt es keinen Drucker.")                                            \
  X(PrinterUnusable, u"Der Drucker %1 kann nicht benutzt werden.")                                      \
  X(PageMissing, u"Die Seite %1 gibt es nicht: der Katalog hat %2 Seiten.")                             \
  X(PageNumbersFromOne, u"Seitenzahlen beginnen mit 1.")                                                \
  X(PageSmallerThanMargins, u"Die Seite von %1 ist kleiner als ihre Ränder.")                           \
  X(PrintJobNotStarted, u"Auf %1 konnte kein Druckauftrag begonnen werden.")                            \
  X(PrinterRefusedSheet, u"Der Drucker hat vor Seite %1 kein neues Blatt angenommen.")                  \
  X(PrintingFailed, u"Das Drucken auf %1 ist fehlgeschlagen.")                                          \
  /* Files and pictures. */                                                                             \
  X(CannotWriteFile, u"Die Datei %1 konnte nicht geschrieben werden: %2")                               \
  X(PictureNotDrawn, u"%1: %2")                                                                         \
  /* System errors, short. */                                                                           \
  X(ErrNotFound, u"Datei nicht gefunden")                                                               \
  X(ErrPermission, u"Keine Berechtigung")                                                               \
  X(ErrDiskFull, u"Datenträger voll")                                                                   \
  X(ErrReadOnly, u"Datenträger schreibgeschützt")                                                       \
  X(ErrIsFolder, u"Das ist ein Verzeichnis")                                                            \
  X(ErrNotFolder, u"Ein Teil des Pfades ist kein Verzeichnis")                                          \
  X(ErrTooLarge, u"Datei zu groß")                                                                      \
  X(ErrNameTooLong, u"Name zu lang")                                                                    \
  X(ErrTooManyFiles, u"Zu viele offene Dateien")                                                        \
  X(ErrInputOutput, u"Ein-/Ausgabefehler")                                                              \
  X(ErrOutOfMemory, u"Nicht genug Speicher")                                                            \
  X(ErrExists, u"Die Datei gibt es schon")                                                              \
  X(ErrBusy, u"Die Datei wird gerade benutzt")                                                          \
  X(ErrFileReadOnly, u"Die Datei ist schreibgeschützt")                                                 \
  X(ErrOther, u"Systemfehler %1")

namespace i18n {

enum class Text : int {
#define QL_TEXT_ENUM(name, german) name,
  QL_SHOWN_TEXTS(QL_TEXT_ENUM)
#undef QL_TEXT_ENUM
};

// The German text (the key).
const std::u16string& German(Text t);
// Every text of the catalog, in the order above.
std::vector<Text> AllTexts();

// The text in the current language (Tr) with %1 ... %9 replaced by `args`
// in order; a placeholder without an argument stays as it is.
std::u16string Say(Text t, std::initializer_list<std::u16string> args = {});
// The same for any German key with placeholders (window texts).
std::u16string Fill(const std::u16string& translated, std::initializer_list<std::u16string> args);

// The short text of a system error number (errno) in the current language:
// "Datei nicht gefunden", "Keine Berechtigung", "Datenträger voll", …; an
// error without a text of its own gives "Systemfehler N".
std::u16string SystemErrorText(int err);
// The same for the strerror() text of a system error (which names no
// number): the text of the matching errno, or the text as given.
std::u16string SystemErrorText(const std::string& strerrorText);

}  // namespace i18n
