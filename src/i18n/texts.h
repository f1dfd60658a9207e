// The texts the libraries show besides the numbered messages: reasons of a
// damaged project file, printing and file errors, the short names of system
// errors. Each German text is its key in translate.dat, like a numbered
// message; %1 ... %9 stand for values put in after the lookup (file names,
// numbers, other texts of this catalog), so a translation may move them.
//
// A new text is one line of QL_SHOWN_TEXTS and one row of
// data/translations.tsv; the i18n tests check that every line has its row.
#pragma once

#include <cstdint>
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
  /* Pictures that cannot be read or saved; %1 is a format name (PCX, JPEG ...). */                     \
  X(PicOpenFailed, u"Die Datei lässt sich nicht öffnen: %1.")                                           \
  X(PicUnknownFormat,                                                                                   \
    u"Die Datei ist kein Bild in einem bekannten Format. "                                              \
    u"Speichern Sie das Bild als JPEG, PNG oder BMP.")                                                  \
  X(PicNotFormat, u"Die Datei ist kein %1-Bild.")                                                       \
  X(PicFormatNotReadable, u"Bilder im Format %1 können nicht gelesen werden.")                          \
  X(PicVector,                                                                                          \
    u"Vektorgrafiken (%1) werden nicht unterstützt. "                                                  \
    u"Speichern Sie das Bild als PNG oder JPEG.")                                                       \
  X(PicNoPixels, u"Das Bild enthält keine Bildpunkte.")                                                 \
  X(PicNoPicture, u"Die Datei enthält kein Bild.")                                                      \
  X(PicTooLarge,                                                                                        \
    u"Das Bild ist zu groß (%1 x %2 Pixel, höchstens %3 Megapixel). Verkleinern Sie es in einem "     \
    u"Bildprogramm.")                                                                                   \
  X(PicNoMemory, u"Nicht genug Arbeitsspeicher für das Bild.")                                          \
  X(PicEndsEarly,                                                                                       \
    u"Die Datei endet, bevor das Bild vollständig ist. "                                               \
    u"Kopieren oder speichern Sie das Bild noch einmal.")                                               \
  X(PicEndsAtRow,                                                                                       \
    u"Die Datei endet in Zeile %1 von %2, bevor das Bild vollständig ist. "                            \
    u"Kopieren oder speichern Sie das "                                                                 \
    u"Bild noch einmal.")                                                                               \
  X(PicHeaderDamaged, u"Der Dateikopf des %1-Bildes ist beschädigt.")                                   \
  X(PicStructureDamaged, u"Der Aufbau des %1-Bildes ist beschädigt.")                                   \
  X(PicDataDamaged,                                                                                     \
    u"Die Bilddaten sind beschädigt. Öffnen und speichern Sie das Bild in einem Bildprogramm neu.")     \
  X(PicSizeMismatch,                                                                                    \
    u"Der Dateikopf nennt %1 x %2 Pixel, die Bilddaten haben %3 x %4: das Bild ist beschädigt.")        \
  X(PicNoSize, u"Der Dateikopf des %1-Bildes nennt keine gültige Größe.")                               \
  X(PicPartMissing, u"Dem %1-Bild fehlt ein Teil (%2).")                                                \
  X(PicReadFailed, u"Die Datei konnte nicht gelesen werden.")                                           \
  X(PicUnsupported,                                                                                     \
    u"Diese Art %1-Bild wird nicht unterstützt. "                                                      \
    u"Speichern Sie das Bild als PNG oder JPEG.")                                                       \
  X(PicBitsUnsupported,                                                                                 \
    u"%1-Bilder mit %2 Bit je Bildpunkt werden nicht unterstützt. "                                    \
    u"Speichern Sie das Bild als PNG oder "                                                             \
    u"JPEG.")                                                                                           \
  X(PicPlanesUnsupported,                                                                               \
    u"%1-Bilder mit %2 Ebenen zu %3 Bit werden nicht unterstützt. "                                    \
    u"Speichern Sie das Bild als PNG oder "                                                             \
    u"JPEG.")                                                                                           \
  X(PicHamUnsupported,                                                                                  \
    u"%1-Bilder im HAM-Modus werden nicht unterstützt. Speichern Sie das Bild als PNG oder JPEG.")      \
  X(PicCompressionUnsupported,                                                                          \
    u"Die Kompression %2 der %1-Bilder wird nicht unterstützt. "                                       \
    u"Speichern Sie das Bild als PNG oder JPEG.")                                                       \
  X(PicFormatNotWritable, u"Bilder können nicht im Format %1 gespeichert werden.")                      \
  X(PicNothingToSave, u"Es gibt kein Bild zum Speichern.")                                              \
  X(PicTooLargeForFormat, u"Das Bild ist zu groß für das Format %1.")                                   \
  X(PicEncodeFailed, u"Das Bild konnte nicht im Format %1 gespeichert werden.")                         \
  /* The print-ready PDF. */                                                                            \
  X(FontNotInstalled,                                                                                   \
    u"Die Schrift %1 ist nicht installiert. "                                                           \
    u"Installieren Sie sie oder wählen Sie eine andere Schrift.")                                       \
  X(FontOnlySubstitute,                                                                                 \
    u"Die Schrift %1 ist nicht installiert (gefunden wurde nur der Ersatz %2). "                        \
    u"Installieren Sie sie oder "                                                                       \
    u"wählen Sie eine andere Schrift.")                                                                 \
  X(FontWithoutName,                                                                                    \
    u"Ein Text verwendet eine Schrift ohne Namen. "                                                     \
    u"Wählen Sie für ihn eine Schrift.")                                                                \
  X(FontFileUnreadable, u"Die Schriftdatei %1 der Schrift %2 kann nicht gelesen werden.")               \
  X(FontFileUnusable,                                                                                   \
    u"Die Schriftdatei %1 der Schrift %2 ist keine brauchbare TrueType- oder OpenType-Schrift. "        \
    u"Wählen Sie "                                                                                     \
    u"eine andere Schrift.")                                                                            \
  X(FontNotEmbeddable,                                                                                  \
    u"Die Schrift %1 (%2) kann nicht eingebettet werden. Wählen Sie eine andere Schrift.")              \
  X(FontUnusable, u"Eine Schrift kann nicht verwendet werden.")                                         \
  X(ProfileNotNamed, u"Es ist kein Farbprofil angegeben.")                                              \
  X(ProfileCannotOpen, u"Das Farbprofil %1 lässt sich nicht öffnen. Prüfen Sie den Dateinamen.")        \
  X(ProfileNotCmyk,                                                                                     \
    u"Das Farbprofil %1 ist kein brauchbares CMYK-Ausgabeprofil. "                                      \
    u"Wählen Sie das Profil Ihrer Druckerei.")                                                          \
  X(PdfPageSizeNotPositive, u"Die Seitengröße des PDF muss größer als 0 mm sein.")                      \
  X(BleedOutOfRange, u"Der Beschnitt muss zwischen 0 und 25 mm liegen.")                                \
  X(PictureResolutionOutOfRange,                                                                        \
    u"Die maximale Bildauflösung muss zwischen 36 und 4000 ppi liegen (0: jedes Bild in seiner "       \
    u"eigenen).")                                                                                       \
  X(TooManyPages, u"Der Katalog hat mehr als %1 Seiten.")                                               \
  X(NoPages, u"Der Katalog hat keine Seiten. Legen Sie zuerst Kategorien und Produkte an.")             \
  X(NoMemoryForPage, u"Nicht genug Arbeitsspeicher für Seite %1.")                                      \
  X(PdfInternalError, u"Interner Fehler beim Schreiben des PDF (Objekt %1).")                           \
  X(StrictRefused, u"Nicht geschrieben: %1 (--strict: %2 Bilder fehlen, %3 Schriften ersetzt).")        \
  /* Exports: files, folders, pages; %1 a file or folder, %2 a short system error. */                   \
  X(CannotReadFile, u"Die Datei %1 konnte nicht gelesen werden: %2")                                    \
  X(FileUnreadable, u"Die Datei %1 konnte nicht gelesen werden.")                                       \
  X(CannotWriteFilePlain, u"Die Datei %1 konnte nicht geschrieben werden.")                             \
  X(CannotWriteIntoFolder, u"In das Verzeichnis %1 kann nicht geschrieben werden: %2")                  \
  X(CannotCreateFolder, u"Das Verzeichnis %1 konnte nicht angelegt werden: %2")                         \
  X(CannotCreateFolderPlain, u"Das Verzeichnis %1 konnte nicht angelegt werden.")                       \
  X(TemplateUnreadable,                                                                                 \
    u"Die Vorlage %1 konnte nicht gelesen "                                                             \
    u"werden. Installieren Sie das Programm neu.")                                                      \
  X(ResolutionOutOfRange, u"Die Auflösung muss zwischen %1 und %2 dpi liegen.")                         \
  X(CompressionOutOfRange, u"Die Kompression muss zwischen 0 und 100 liegen.")                          \
  X(PrinterNoPageSize,                                                                                  \
    u"Der Drucker meldet keine brauchbare Seitengröße. Wählen Sie ein anderes Papierformat oder "    \
    u"einen anderen Drucker.")                                                                          \
  X(PageTooLargeToDraw,                                                                                 \
    u"Eine Seite von %1 x %2 Pixeln kann nicht gezeichnet werden (höchstens %3 Megapixel). Wählen "   \
    u"Sie eine kleinere Auflösung.")                                                                    \
  X(NoMemoryForPageSize,                                                                                \
    u"Nicht genug Arbeitsspeicher für eine Seite von %1 x %2 Pixeln. Wählen Sie eine kleinere "       \
    u"Auflösung.")                                                                                      \
  X(NoMemoryForPages, u"Nicht genug Arbeitsspeicher, um die Seiten zu zeichnen.")                       \
  X(NoMemoryToCopyPage, u"Nicht genug Arbeitsspeicher, um die Seite zu kopieren.")                      \
  X(ZoomNotPositive, u"Auflösung und Vergrößerung müssen größer als 0 sein.")                           \
  X(PageBelowOnePixel,                                                                                  \
    u"Die Seite ist bei dieser Vergrößerung "                                                         \
    u"und Auflösung kleiner als ein Bildpunkt.")                                                        \
  X(PageRangeReversed,                                                                                  \
    u"Die erste Seite %1 liegt hinter der "                                                             \
    u"letzten Seite %2; es wurde kein Bild gespeichert.")                                               \
  X(PageRangeEmpty,                                                                                     \
    u"Der Katalog hat %1 Seiten, keine davon zwischen "                                                 \
    u"%2 und %3; es wurde kein Bild gespeichert.")                                                      \
  X(PageContentNotCompressed, u"Der Inhalt von Seite %1 konnte nicht komprimiert werden.")              \
  X(PictureDataNotCompressed, u"Die Bilddaten konnten nicht komprimiert werden.")                       \
  X(SpoolFolderFailed,                                                                                  \
    u"Im Verzeichnis %1 konnte kein "                                                                   \
    u"Verzeichnis für Zwischendateien angelegt werden: %2")                                             \
  X(SpoolFileFailed, u"Die Zwischendatei %1 konnte nicht angelegt werden: %2")                          \
  X(SpoolFileShort, u"Die Zwischendatei %1 ist kürzer als ihr Bild.")                                   \
  X(PdfAbandoned, u"Das PDF wurde abgebrochen, bevor es vollständig war.")                              \
  X(PdfPrinterIncomplete, u"Der PDF-Drucker hat die Datei nicht vollständig geschrieben.")              \
  X(PressProfileFallback,                                                                               \
    u"Kein brauchbares Druckprofil (%1): die "                                                          \
    u"Farben werden rechnerisch in CMYK umgerechnet.")                                                  \
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
  X(ErrNoFileName, u"Kein Dateiname angegeben")                                                         \
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
// Say as UTF-8, for the libraries whose messages are UTF-8 strings.
std::string SayUtf8(Text t, std::initializer_list<std::u16string> args = {});
// A whole number as a value for Say.
std::u16string Decimal(int64_t n);

// The short text of a system error number (errno) in the current language:
// "Datei nicht gefunden", "Keine Berechtigung", "Datenträger voll", …; an
// error without a text of its own gives "Systemfehler N".
std::u16string SystemErrorText(int err);
// The same for the strerror() text of a system error (which names no
// number): the text of the matching errno, or the text as given.
std::u16string SystemErrorText(const std::string& strerrorText);

}  // namespace i18n
