// Product commands of the product list and the product editor fields.
#pragma once

#include <cstdint>
#include <string>

#include "editing/selection.h"
#include "project/document.h"
#include "project/feedback.h"

namespace editing {

// "Neues Produkt": appends a product named message 20 whose table has one
// title row copied from the template columns, with the default number of
// price columns. Returns its index (the window selects it), -1 without a
// category. Marks the document changed.
int32_t NewProduct(Document& doc, int32_t kat);

// "Löschen": deletes every selected product. Marks changed. False when
// nothing was selected.
bool DeleteProducts(Document& doc, const Selection& sel);

// "Nach oben" / "Nach unten": moves the first selected product one place and
// returns its new index (unchanged at the top / bottom, -1 without a
// selection). Marks changed when it moved.
int32_t MoveProductUp(Document& doc, const Selection& sel);
int32_t MoveProductDown(Document& doc, const Selection& sel);

// "Produkt duplizieren...": appends a copy of the first selected product
// (texts, pictures, variant table, price columns) with the default table
// settings and both switches off. Returns the copy's index or -1. Marks changed.
int32_t DuplicateProduct(Document& doc, const Selection& sel);

// "Produktnamen alphabetisch sortieren...": asks message 22 (caption 23);
// on Yes sorts the products of every category by name. Does not mark the
// document changed. True when it sorted (the window deselects the product).
bool SortProductNames(Document& doc, Feedback& fb);

// Editor fields of the first selected product; each marks changed.
// They do nothing (false) without a selected category and product.
bool SetProductName(Document& doc, const Selection& sel, const std::u16string& name);
bool SetProductDescription(Document& doc, const Selection& sel, const std::u16string& text);
// A product's price columns (AnzPreisSpaltenEd) lie within 1 ... 100.
constexpr int kMinPriceColumns = 1;
constexpr int kMaxPriceColumns = 100;
// AnzPreisSpaltenEd: the whole part of the box value, kept within
// kMinPriceColumns ... kMaxPriceColumns.
bool SetPriceColumns(Document& doc, const Selection& sel, double value);
// "Seitenumbruch nach dem Produkt".
bool SetPageBreakAfter(Document& doc, const Selection& sel, bool on);
// "Produkt deaktivieren": applies to every selected product.
bool SetProductsDeactivated(Document& doc, const Selection& sel, bool on);

}  // namespace editing
