// The modal dialogs of the window's commands. Each takes the values it
// edits and returns whether it ended with OK; texts are German and shown in
// the window language.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "editing/bulk.h"
#include "editing/categories.h"
#include "editing/variants.h"

class QWidget;

namespace ui {

// "Kategorie bearbeiten". `pictureFilter` is the picture open filter.
bool RunCategoryDialog(QWidget* parent, editing::CategoryDialogValues& v, const QString& pictureFilter);

// "In andere Kategorie verschieben": `target` the chosen drop-down index.
bool RunMoveDialog(QWidget* parent, const std::vector<std::u16string>& names, int& target);

// "Tabellen Einstellungen...": the values are taken however it closes.
void RunTableSettingsDialog(QWidget* parent, editing::TableSettingsValues& v);

// "Alle Preise ändern".
bool RunPriceChangeDialog(QWidget* parent, editing::PriceChange& c);

// "Varianten aller Produkte sortieren": the column number 1 ... 10000.
bool RunSortVariantsDialog(QWidget* parent, int& column);

// "Artikel suchen".
bool RunSearchDialog(QWidget* parent, std::u16string& text, bool& inDescription);

// "Gefundene Artikel": `row` the chosen entry.
bool RunFoundDialog(QWidget* parent, const std::vector<editing::FoundProduct>& found, int& row);

// "Suchen und ersetzen".
bool RunReplaceDialog(QWidget* parent, std::u16string& from, std::u16string& to);

// "Bilddateien umkopieren": the target folder.
bool RunCollectDialog(QWidget* parent, std::u16string& folder);

// "PDF Auflösung einstellen...": only OK; the value is kept as entered.
void RunPdfResolutionDialog(QWidget* parent, int& dpi);

// "Info".
void ShowAboutBox(QWidget* parent, const QString& caption);

}  // namespace ui
