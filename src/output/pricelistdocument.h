// The price list as formatted text: the rich-text document the window shows
// (and prints, after the user's edits), and the files the command-line tool
// writes. The lines themselves come from csv::BuildPriceList.
#pragma once

#include <string>
#include <vector>

#include "csv/pricelistlines.h"

class QPrinter;
class QTextDocument;
class QString;

namespace output {

// The fixed-pitch family that stands in for "Courier New".
QString PriceListFontFamily();

// Replaces the content of `doc` by `lines`: one paragraph per line, black,
// bold or regular, in its point size, in the price list's font.
void FillPriceListDocument(QTextDocument& doc, const std::vector<csv::PriceLine>& lines);

enum class PriceListFormat { Text, Html, Pdf };

// Writes the price list of `doc` (title: message 43 in the current language)
// to `path`: Text is exactly the box's lines (UTF-8, LF), Html a page with
// the bold lines and sizes, Pdf the printout of the box (half-inch margins)
// through Qt's PDF printer. The file appears only when complete; an earlier
// file of that name is left as it was on failure. Pdf needs a Qt GUI
// application (fonts).
bool WritePriceList(const Document& doc, const std::string& path, PriceListFormat format, std::string& error);

}  // namespace output
