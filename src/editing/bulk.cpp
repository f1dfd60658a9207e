#include "editing/bulk.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/codepage.h"
#include "editing/variants.h"
#include "i18n/messages.h"

namespace editing {

bool ApplyPriceChange(const PriceChange& change, double x, double& result) {
  double v = x;
  switch (change.mode) {
    case PriceChange::Mode::IncreasePercent:
      v = (change.percent + 100) * x / 100;
      break;
    case PriceChange::Mode::DecreasePercent:
      v = (100 - change.percent) * x / 100;
      break;
    case PriceChange::Mode::IncreaseAmount:
      v = x + change.amount;
      break;
    case PriceChange::Mode::DecreaseAmount:
      v = x - change.amount;
      break;
  }
  if (!std::isfinite(v)) return false;
  result = v;
  return true;
}

static bool InRange(double v) {
  return std::isfinite(v) && v >= -kPriceChangeLimit && v <= kPriceChangeLimit;
}

int ChangeAllPrices(Document& doc, const PriceChange& change, const NumberLocale& loc) {
  if (!InRange(change.percent) || !InRange(change.amount)) return -1;
  int changed = 0;
  for (Category& cat : doc.kats)
    for (Product& p : cat.products)
      for (VariantRow& row : p.variants) {
        int64_t L = 0;
        for (uint32_t k = row.cells.Count(); k > 0; --k)
          if (!row.cells[k - 1].text.empty()) {
            L = k;
            break;
          }
        if (L == 0) continue;
        const int64_t first = std::max<int64_t>(0, L - static_cast<int64_t>(p.pricecols));
        for (int64_t k = first; k < static_cast<int64_t>(row.cells.Count()); ++k) {
          std::u16string& t = row.cells[static_cast<uint32_t>(k)].text;
          PriceText price;
          double y = 0;
          if (!ParsePrice(t, loc, price) || !ApplyPriceChange(change, price.value, y)) continue;
          t = FormatPriceLike(y, price, loc);
          ++changed;
        }
      }
  return changed;
}

namespace {

bool HasText(const VariantRow& row) {
  for (const VariantCell& c : row.cells)
    if (!c.text.empty()) return true;
  return false;
}

// Whether row i sorts after row j in column k.
bool RowGreater(const VariantRow& ri, const VariantRow& rj, uint32_t k, int32_t pricecols,
                const NumberLocale& loc) {
  const std::u16string& a = ri.cells[k].text;
  const std::u16string& b = rj.cells[k].text;
  if (static_cast<int64_t>(k) < static_cast<int64_t>(rj.cells.Count()) - pricecols) return a > b;
  // Prices are read as "Alle Preise ändern..." reads them: "10,95 €" is a
  // number, not a text that sorts before "5,45 €".
  PriceText x, y;
  if (ParsePrice(a, loc, x) && ParsePrice(b, loc, y)) return x.value > y.value;
  return a > b;
}

}  // namespace

int SortAllVariants(Document& doc, int column, const NumberLocale& loc) {
  if (column < 1 || column > 10000) return -1;
  const uint32_t k = static_cast<uint32_t>(column - 1);
  int products = 0;
  doc.aprod = nullptr;
  for (Category& cat : doc.kats)
    for (Product& p : cat.products) {
      ++products;
      // Row 0 holds the column titles and stays on top.
      const int32_t n = static_cast<int32_t>(p.variants.Count());
      if (n < 3) continue;
      for (int32_t i = 1; i + 1 < n; ++i)
        for (int32_t j = i + 1; j < n; ++j) {
          const VariantRow& ri = p.variants[static_cast<uint32_t>(i)];
          const VariantRow& rj = p.variants[static_cast<uint32_t>(j)];
          if (ri.cells.Count() <= k || rj.cells.Count() <= k) continue;
          if (!HasText(ri) || !HasText(rj)) continue;
          if (RowGreater(ri, rj, k, p.pricecols, loc)) p.variants.Change(i, j);
        }
    }
  return products;
}

int WriteCellToAllTables(Document& doc, int col, int row, const std::u16string& text, Feedback& fb) {
  if (!VariantGrid::InGrid(col, row)) return 0;
  const std::u16string q =
      i18n::Tr(
          u"Wollen Sie diesen Text in alle Tabellenzellen von allen Produkten an diese Stelle eintragen?:") +
      u" " + text;
  if (fb.Ask(q, i18n::Tr(u"Text für alle Produkte übernehmen?"), Buttons::YesNoCancel) != Answer::Yes)
    return 0;
  int written = 0;
  for (uint32_t i = 0; i < doc.kats.Count(); ++i) {
    Category* cat = doc.kats.GetObject(static_cast<int32_t>(i));
    for (uint32_t j = 0; j < cat->products.Count(); ++j) {
      Product* p = cat->products.GetObject(static_cast<int32_t>(j));
      if (StoreVariantCell(doc, *p, col, row, text)) ++written;
    }
  }
  return written;
}

std::vector<FoundProduct> FindProducts(const Document& doc, const std::u16string& text, bool inDescription) {
  std::vector<FoundProduct> found;
  if (text.empty()) return found;
  const std::u16string key = AsciiUpper(text);
  for (uint32_t i = 0; i < doc.kats.Count(); ++i) {
    const Category& cat = doc.kats[i];
    for (uint32_t j = 0; j < cat.products.Count(); ++j) {
      const Product& p = cat.products[j];
      bool hit = AsciiUpper(p.name).find(key) != std::u16string::npos;
      if (!hit && inDescription) hit = AsciiUpper(p.description).find(key) != std::u16string::npos;
      if (hit) found.push_back({p.name, p.description, static_cast<int32_t>(i), static_cast<int32_t>(j)});
    }
  }
  return found;
}

void ReportPricesChanged(Feedback& fb, int changed) {
  fb.ShowMessage(i18n::Tr(u"Geänderte Preise:") + u" " + ql::FromUtf8(std::to_string(std::max(changed, 0))),
                 i18n::Tr(u"Alle Preise ändern"), MessageIcon::Information);
}

void ReportNothingFound(Feedback& fb) { fb.Ask(i18n::Msg(50), i18n::Msg(51), Buttons::YesNoCancel); }

static bool ParseIndex(const std::u16string& t, uint32_t limit, int32_t& out) {
  if (t.empty() || t.size() > 9) return false;
  int64_t v = 0;
  for (char16_t ch : t) {
    if (ch < u'0' || ch > u'9') return false;
    v = v * 10 + (ch - u'0');
  }
  if (v >= limit) return false;
  out = static_cast<int32_t>(v);
  return true;
}

bool LocateFoundProduct(const Document& doc, const std::u16string& katnr, const std::u16string& prodnr,
                        Selection& out) {
  int32_t k = 0, p = 0;
  if (!ParseIndex(katnr, doc.kats.Count(), k)) return false;
  if (!ParseIndex(prodnr, doc.kats[static_cast<uint32_t>(k)].products.Count(), p)) return false;
  out.kat = k;
  out.prods = {p};
  return true;
}

int ReplaceInAllTables(Document& doc, const std::u16string& from, const std::u16string& to) {
  if (from.empty()) return 0;
  int changed = 0;
  VariantGrid grid;
  for (uint32_t i = 0; i < doc.kats.Count(); ++i) {
    Category* cat = doc.kats.GetObject(static_cast<int32_t>(i));
    for (uint32_t j = 0; j < cat->products.Count(); ++j) {
      Product* p = cat->products.GetObject(static_cast<int32_t>(j));
      grid.Fill(*p);
      for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridCols; ++c) {
          std::u16string t = grid.Cell(c, r);
          if (ReplaceAll(t, from, to) == 0) continue;
          grid.SetCell(c, r, t);
          if (StoreVariantCell(doc, *p, c, r, t)) ++changed;
        }
    }
  }
  doc.aprod = nullptr;
  return changed;
}

}  // namespace editing
