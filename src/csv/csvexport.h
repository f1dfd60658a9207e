// CSV export: one product per line, every value quoted, ";" between values,
// CR LF line ends, Windows-1252. With the category column the file is what
// the import with categories reads back, without it the plain product import.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "project/document.h"
#include "project/feedback.h"

namespace csv {

// A value as written: enclosed in double quotes, every line break (CR LF, a
// lone CR or a lone LF) as "\r\n",
// double quotes doubled. Nothing else is escaped.
std::u16string QuoteValue(const std::u16string& value);

// The line of one product without its CR LF, in UTF-16: the category name
// first when `category` is given, then name, description, the first
// picture's file name and T values per variant row, T being the number of
// template column titles.
std::u16string ProductLine(const Document& doc, const Product& p, const std::u16string* category);

// Writes the products of every category with the category column (`all`), or
// of category `selected` without it. The file appears under `path` only once
// it is complete: the lines go to a temporary file in the same folder that
// replaces `path` at the end, so a failed export leaves an earlier file of
// that name as it was. On failure returns false with `error` set (message 34
// and the file name when the file cannot be created), both with the reason.
bool ExportCSVFile(const Document& doc, const std::string& path, bool all, int32_t selected,
                   std::u16string& error);

// The menu command: asks whether to export all categories with the category
// column (message 35, caption 36); with No and no selected category shows
// message 37. `chooseFile` is the save dialog: it returns the UTF-8 path,
// or an empty text when cancelled. Errors go to `fb`. The document is not
// marked changed. Returns true when a file was written.
bool ExportalsCSVDatei(const Document& doc, int32_t selected, Feedback& fb,
                       const std::function<std::string()>& chooseFile);

}  // namespace csv
