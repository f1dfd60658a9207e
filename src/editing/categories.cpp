#include "editing/categories.h"

#include <cmath>

#include "i18n/messages.h"

namespace editing {
namespace {

double ClampWidth(double w) {
  if (!std::isfinite(w)) return 3.0;
  if (w < kMinCategoryPicWidth) return kMinCategoryPicWidth;
  if (w > kMaxCategoryPicWidth) return kMaxCategoryPicWidth;
  return w;
}

}  // namespace

int32_t NewCategory(Document& doc) {
  Category* c = doc.AddCategory(std::u16string());
  if (!c) return -1;
  doc.SetChanged();
  return static_cast<int32_t>(doc.kats.Count() - 1);
}

bool RenameCategory(Document& doc, int32_t kat, const std::u16string& name) {
  Category* c = PositionCategory(doc, kat);
  if (!c) return false;
  if (c->name != name) {
    c->name = name;
    doc.SetChanged();
  }
  return true;
}

Category* SelectCategory(Document& doc, int32_t kat) {
  Category* c = PositionCategory(doc, kat);
  if (c) doc.SetChanged();
  return c;
}

bool DeleteCategory(Document& doc, int32_t kat, Feedback& fb) {
  Category* c = PositionCategory(doc, kat);
  if (!c) return false;
  std::u16string q = i18n::Msg(10) + u"\"" + c->name + u"\"";
  if (fb.Ask(q, i18n::Msg(11), Buttons::YesNoCancel) != Answer::Yes) return false;
  {
    NoUpdateGuard guard(doc);
    doc.kats.Delete(kat);  // the record owns its products, options and texts
  }
  doc.aprod = nullptr;
  doc.SetChanged();
  return true;
}

static int32_t MoveCategory(Document& doc, int32_t kat, int32_t delta) {
  if (!PositionCategory(doc, kat)) return -1;
  int32_t to = kat + delta;
  if (to < 0 || static_cast<uint32_t>(to) >= doc.kats.Count()) return kat;
  {
    NoUpdateGuard guard(doc);
    doc.kats.Change(kat, to);
    doc.kats.GetObject(to);
  }
  doc.SetChanged();
  return to;
}

int32_t MoveCategoryUp(Document& doc, int32_t kat) { return MoveCategory(doc, kat, -1); }
int32_t MoveCategoryDown(Document& doc, int32_t kat) { return MoveCategory(doc, kat, +1); }

CategoryDialogValues CategoryDialogFromCategory(const Category& cat) {
  CategoryDialogValues v;  // the defaults of a category without options
  v.name = cat.name;
  const CategoryOptions* o = cat.options.get();
  if (!o) return v;
  v.picfile = o->picfile;
  v.picwidth = o->picwidth;
  v.picbelowname = o->picbelowname != 0 ? 1 : 0;
  v.introbelowpic = o->introbelowpic;
  v.picasbackground = o->picasbackground;
  v.introtext = o->introtext;
  v.nonewpage = o->nonewpage;
  v.istoc = o->istoc;
  v.firstproductnewpage = o->firstproductnewpage;
  v.pictureonly = o->pictureonly;
  v.notintoc = o->notintoc;
  v.tocsubcategoriesonly = o->tocsubcategoriesonly;
  v.tocallcategories = o->tocallcategories;
  v.deactivated = o->deactivated;
  v.ownfontcolor = o->ownfontcolor;
  v.fontcolor = o->fontcolor;
  v.ownnamecolor = o->ownnamecolor;
  v.namecolor = o->namecolor;
  v.ownareacolor = o->ownareacolor;
  v.areacolor = o->areacolor;
  v.tocwithproducts = o->tocwithproducts;
  v.tocnocategories = o->tocnocategories;
  return v;
}

void CategoryDialogCheckClicked(CategoryDialogValues& v) {
  if (v.pictureonly) v.picbelowname = 1;
}

bool ApplyCategoryDialog(Document& doc, int32_t kat, const CategoryDialogValues& v) {
  Category* c = PositionCategory(doc, kat);
  if (!c) return false;
  auto o = std::make_unique<CategoryOptions>();
  o->picfile = v.picfile;
  o->picwidth = ClampWidth(v.picwidth);
  o->introtext = v.introtext;
  o->picbelowname = v.picbelowname != 0 ? 1 : 0;
  o->deactivated = v.deactivated;
  o->tocallcategories = v.tocallcategories;
  o->tocsubcategoriesonly = v.tocsubcategoriesonly;
  o->notintoc = v.notintoc;
  o->picasbackground = v.picasbackground;
  o->pictureonly = v.pictureonly;
  o->firstproductnewpage = v.firstproductnewpage;
  o->istoc = v.istoc;
  o->nonewpage = v.nonewpage;
  o->introbelowpic = v.introbelowpic;
  o->tocnocategories = v.tocnocategories;
  o->tocwithproducts = v.tocwithproducts;
  o->ownareacolor = v.ownareacolor;
  o->ownnamecolor = v.ownnamecolor;
  o->ownfontcolor = v.ownfontcolor;
  o->areacolor = v.areacolor & 0x00FFFFFFu;
  o->namecolor = v.namecolor & 0x00FFFFFFu;
  o->fontcolor = v.fontcolor & 0x00FFFFFFu;
  c->options = std::move(o);
  RenameCategory(doc, kat, v.name);
  return true;
}

std::vector<std::u16string> MoveTargetNames(const Document& doc, int32_t kat) {
  std::vector<std::u16string> names;
  for (uint32_t i = 0; i < doc.kats.Count(); ++i)
    if (static_cast<int64_t>(i) != kat) names.push_back(doc.kats[i].name);
  return names;
}

bool MoveProductsToCategory(Document& doc, const Selection& sel, int32_t target) {
  Category* src = PositionCategory(doc, sel.kat);
  if (!src || target < 0) return false;
  std::vector<int32_t> prods = ValidSelectedProducts(*src, sel.prods);
  if (prods.empty()) return false;
  // The target counts the categories in list order with the source skipped.
  int32_t t = target >= sel.kat ? target + 1 : target;
  if (static_cast<uint32_t>(t) >= doc.kats.Count()) return false;
  {
    NoUpdateGuard guard(doc);
    for (auto it = prods.rbegin(); it != prods.rend(); ++it) {
      Category& from = doc.kats[static_cast<uint32_t>(sel.kat)];
      Category& to = doc.kats[static_cast<uint32_t>(t)];
      Product moved = std::move(from.products[static_cast<uint32_t>(*it)]);
      Product* slot = to.products.Add();
      if (!slot) {
        // Could not grow the target: put the product back where it was.
        from.products[static_cast<uint32_t>(*it)] = std::move(moved);
        break;
      }
      *slot = std::move(moved);
      from.products.Delete(*it);
    }
  }
  doc.RebindCursors();
  doc.aprod = nullptr;
  doc.SetChanged();
  return true;
}

}  // namespace editing
