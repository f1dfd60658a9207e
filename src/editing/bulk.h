// Commands of the menu "Bearbeiten" that act on every product: change all
// prices, sort the variant rows, write one cell into every table, find
// products, search and replace in the tables. Only the cell stores mark the
// document changed. Each walks the catalog in category and product order;
// the window deselects the product before and refreshes its editor after.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editing/numbers.h"
#include "editing/selection.h"
#include "project/document.h"
#include "project/feedback.h"

namespace editing {

// The dialog "Alle Preise ändern".
struct PriceChange {
  enum class Mode { IncreasePercent, DecreasePercent, IncreaseAmount, DecreaseAmount };
  Mode mode = Mode::IncreasePercent;
  double percent = 0;  // "Prozentsatz:", -10000 ... 10000
  double amount = 0;   // "Betrag:", -10000 ... 10000
};

constexpr double kPriceChangeLimit = 10000;

// The new value of one price; false when it would not be a finite number.
bool ApplyPriceChange(const PriceChange& change, double x, double& result);

// Changes every price cell of every row of every table (row 0 included):
// with L the position of the row's last non-empty cell, every cell from
// index L - pricecols on that reads as a price in `loc` (a number with an
// optional currency sign or code, see ParsePrice) gets the changed value
// with two decimals, keeping the sign, its side and its spacing. Returns the number of cells changed; values
// out of the dialog's range change nothing (-1).
int ChangeAllPrices(Document& doc, const PriceChange& change, const NumberLocale& loc);

// Tells how many cells the price change changed ("Geänderte Preise: n").
void ReportPricesChanged(Feedback& fb, int changed);

// Sorts the variant rows below the title row of every product by column
// `column` (1-based, 1 ... 10000) with an exchange sort: plain columns by
// code units, price columns numerically in `loc` (read as ParsePrice reads
// them: currency sign or code on either side, thousands groups; a cell that
// is no price compares as text); rows lacking the cell or
// any text are not exchanged. Returns the number of products looked at,
// -1 for a column out of range.
int SortAllVariants(Document& doc, int column, const NumberLocale& loc);

// "Inhalt der Tabellenzelle in alle Tabellen ...": asks (fixed German texts)
// and on Yes stores `text` into cell (col, row) of every product's table.
// Returns the number of tables written.
int WriteCellToAllTables(Document& doc, int col, int row, const std::u16string& text, Feedback& fb);

// One entry of "Gefundene Artikel".
struct FoundProduct {
  std::u16string name;         // "Bezeichnung"
  std::u16string description;  // "Beschreibung"
  int32_t katnr = 0;           // "Kategorienr", from 0
  int32_t prodnr = 0;          // "Artikelnr", from 0
};

// Products whose name (and, with `inDescription`, description) contains
// `text`, comparing after upper-casing only a-z. An empty text finds nothing.
std::vector<FoundProduct> FindProducts(const Document& doc, const std::u16string& text, bool inDescription);

// Message 50 (caption 51) when nothing was found, or the search was cancelled.
void ReportNothingFound(Feedback& fb);

// OK in the result list: the category and product named by the entry's
// number columns, when they still exist (false otherwise).
bool LocateFoundProduct(const Document& doc, const std::u16string& katnr, const std::u16string& prodnr,
                        Selection& out);

// "Suchen und Ersetzen in den Variantentabellen...": in the part of every
// table that fits the editor grid, every cell containing `from`
// (case-sensitive) gets every occurrence replaced by `to` and is stored.
// An empty search text matches nothing. Returns the number of cells changed.
int ReplaceInAllTables(Document& doc, const std::u16string& from, const std::u16string& to);

}  // namespace editing
