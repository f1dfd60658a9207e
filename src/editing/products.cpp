#include "editing/products.h"

#include <algorithm>
#include <cmath>

#include "i18n/messages.h"

namespace editing {

int32_t NewProduct(Document& doc, int32_t kat) {
  Category* cat = PositionCategory(doc, kat);
  if (!cat) return -1;
  Product* p = doc.AddProduct(*cat);
  if (!p) return -1;
  p->name = i18n::Msg(20);
  p->description.clear();
  VariantRow* titles = doc.AddRow(*p);
  if (titles) {
    for (const std::u16string& t : doc.templatecolumns) {
      VariantCell* c = titles->cells.Add();
      if (!c) break;
      c->text = t;
    }
  }
  p->pricecols = doc.settings.PreDefAnzPreisEd;
  doc.SetChanged();
  return static_cast<int32_t>(cat->products.Count() - 1);
}

bool DeleteProducts(Document& doc, const Selection& sel) {
  Category* cat = PositionCategory(doc, sel.kat);
  if (!cat) return false;
  std::vector<int32_t> prods = ValidSelectedProducts(*cat, sel.prods);
  if (prods.empty()) return false;
  for (auto it = prods.rbegin(); it != prods.rend(); ++it) cat->products.Delete(*it);
  doc.SetChanged();
  return true;
}

static int32_t MoveProduct(Document& doc, const Selection& sel, int32_t delta) {
  Category* cat = PositionCategory(doc, sel.kat);
  if (!cat) return -1;
  int32_t p = FirstSelectedProduct(*cat, sel.prods);
  if (p < 0) return -1;
  int32_t to = p + delta;
  if (to < 0 || static_cast<uint32_t>(to) >= cat->products.Count()) return p;
  {
    NoUpdateGuard guard(doc);
    cat->products.Change(p, to);
  }
  doc.SetChanged();
  return to;
}

int32_t MoveProductUp(Document& doc, const Selection& sel) { return MoveProduct(doc, sel, -1); }
int32_t MoveProductDown(Document& doc, const Selection& sel) { return MoveProduct(doc, sel, +1); }

int32_t DuplicateProduct(Document& doc, const Selection& sel) {
  Category* cat = PositionCategory(doc, sel.kat);
  if (!cat) return -1;
  int32_t src = FirstSelectedProduct(*cat, sel.prods);
  if (src < 0) return -1;
  NoUpdateGuard guard(doc);
  Product* copy = doc.AddProduct(*cat);  // may move the records: index again below
  if (!copy) return -1;
  const Product& from = cat->products[static_cast<uint32_t>(src)];
  copy->name = from.name;
  copy->description = from.description;
  copy->pricecols = from.pricecols;
  for (const Picture& pic : from.pictures) {
    Picture* np = doc.AddPicture(*copy);
    if (!np) break;
    np->filename = pic.filename;
    np->width = pic.width;
  }
  for (const VariantRow& row : from.variants) {
    VariantRow* nr = doc.AddRow(*copy);
    if (!nr) break;
    for (const VariantCell& cell : row.cells) {
      VariantCell* nc = nr->cells.Add();
      if (!nc) break;
      nc->text = cell.text;
    }
  }
  doc.SetChanged();
  return static_cast<int32_t>(cat->products.Count() - 1);
}

bool SortProductNames(Document& doc, Feedback& fb) {
  if (fb.Ask(i18n::Msg(22), i18n::Msg(23), Buttons::YesNoCancel) != Answer::Yes) return false;
  doc.aprod = nullptr;
  for (Category& cat : doc.kats) {
    const int32_t n = static_cast<int32_t>(cat.products.Count());
    // Upper-cased keys kept beside the records so each name is folded once.
    std::vector<std::u16string> keys;
    keys.reserve(static_cast<size_t>(n));
    for (const Product& p : cat.products) keys.push_back(AsciiUpper(p.name));
    for (int32_t i = 0; i + 1 < n; ++i)
      for (int32_t j = i + 1; j < n; ++j)
        if (keys[i] > keys[j]) {
          cat.products.Change(i, j);
          std::swap(keys[i], keys[j]);
        }
  }
  doc.aprod = nullptr;
  return true;
}

bool SetProductName(Document& doc, const Selection& sel, const std::u16string& name) {
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  p->name = name;
  doc.SetChanged();
  return true;
}

bool SetProductDescription(Document& doc, const Selection& sel, const std::u16string& text) {
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  p->description = text;
  doc.SetChanged();
  return true;
}

bool SetPriceColumns(Document& doc, const Selection& sel, double value) {
  if (!std::isfinite(value)) return false;
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  double whole = std::trunc(value);
  whole = std::clamp<double>(whole, kMinPriceColumns, kMaxPriceColumns);
  p->pricecols = static_cast<int32_t>(whole);
  doc.SetChanged();
  return true;
}

bool SetPageBreakAfter(Document& doc, const Selection& sel, bool on) {
  Product* p = PositionProduct(doc, sel);
  if (!p) return false;
  p->pagebreakafter = on;
  doc.SetChanged();
  return true;
}

bool SetProductsDeactivated(Document& doc, const Selection& sel, bool on) {
  Category* cat = PositionCategory(doc, sel.kat);
  if (!cat) return false;
  std::vector<int32_t> prods = ValidSelectedProducts(*cat, sel.prods);
  if (prods.empty()) return false;
  for (int32_t i : prods) cat->products.GetObject(i)->deactivated = on;
  doc.SetChanged();
  return true;
}

}  // namespace editing
