// CSV import: products into one category, products with a leading category
// column, and categories with their options. All three read through
// CsvReader (csvreader.h) and skip records without content.
#pragma once

#include <cstdint>
#include <string>

#include "csv/csvreader.h"
#include "project/document.h"
#include "project/feedback.h"

namespace csv {

struct ImportResult {
  bool opened = false;    // false: the file could not be opened (message 1 shown)
  bool complete = false;  // the whole file was read
  uint32_t records = 0;   // records with content
  uint32_t products = 0;  // products created
  uint32_t categoriesCreated = 0;
  uint32_t categoriesUpdated = 0;  // category import: existing categories changed
  int32_t selected = -1;           // the selected category afterwards
};

// What the caller knows that the document does not hold.
struct ImportContext {
  // BildBreitEd: the product editor's picture width (cm) for new pictures.
  double pictureWidth = 8.0;
  // The platform locale's decimal separator for picwidth in category files.
  char16_t decimalSeparator = u'.';
};

// Shows message 7 (caption 8) and returns false when `selected` names no
// category. The window calls it before showing the open dialog.
bool RequireImportCategory(const Document& doc, int32_t selected, Feedback& fb);

// Products into category `selected`. Without a selected category: message 7
// and nothing else (the document is not marked changed). Otherwise the
// document is marked changed, also when the file cannot be opened (message 1
// and the file name) or holds nothing. When the option
// BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1
// of doc.options is on, every product's first variant row holds the template
// titles.
ImportResult ImportCSVFile(Document& doc, int32_t selected, const std::string& path, const ImportContext& ctx,
                           Feedback& fb);

// Products whose first field names their category: each run of consecutive
// records with the same name goes into a new category of that name, which
// is then the selected one.
ImportResult ImportCSVFileComplete(Document& doc, int32_t selected, const std::string& path,
                                   const ImportContext& ctx, Feedback& fb);

// Category texts, picture and options: the first category of that exact name
// is updated, or a new one is appended (and selected).
ImportResult ImportCSVFileCategories(Document& doc, int32_t selected, const std::string& path,
                                     const ImportContext& ctx, Feedback& fb);

// The same imports from an open byte stream; `name` is the file name used in
// messages. They do not mark the document changed (the file versions do).
ImportResult ImportProducts(Document& doc, int32_t selected, ByteReader& in, const std::u16string& name,
                            const ImportContext& ctx, Feedback& fb);
ImportResult ImportProductsWithCategories(Document& doc, int32_t selected, ByteReader& in,
                                          const std::u16string& name, const ImportContext& ctx, Feedback& fb);
ImportResult ImportCategories(Document& doc, int32_t selected, ByteReader& in, const std::u16string& name,
                              const ImportContext& ctx, Feedback& fb);

// picwidth of a category record: a decimal number with `decimalSeparator`
// (blanks around it allowed, optional sign and exponent); 3.0 when the
// field is absent, not a number or not finite.
double ParsePictureWidth(const std::u16string& field, char16_t decimalSeparator);

// The texts of the two information boxes, in the current language, and
// their caption (message 6).
std::u16string ProductFormatInfoText();
std::u16string CategoryFormatInfoText();
std::u16string FormatInfoCaption();

}  // namespace csv
