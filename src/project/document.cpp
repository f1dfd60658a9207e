#include "project/document.h"

#include "project/fileio.h"

const std::u16string& LastKatTable::Get(int32_t index) const {
  static const std::u16string empty;
  if (index < 0 || index >= kSize) return empty;
  return names_[index];
}

void LastKatTable::Set(int32_t index, const std::u16string& name) {
  if (index < 0 || index >= kSize) return;
  names_[index] = name;
}

Document::Document() = default;

Category* Document::AddCategory(const std::u16string& name) {
  Category* c = kats.Add();
  if (!c) return nullptr;
  c->name = name;
  c->products.SetOuter(&aprod);
  return c;
}

void Document::InitProduct(Product& p) {
  p.pictures.SetOuter(&abild);
  p.variants.SetOuter(&avariante);
  SetProductTableDefaults(p);
}

Product* Document::AddProduct(Category& cat) {
  Product* p = cat.products.Add();
  if (p) InitProduct(*p);
  return p;
}

VariantRow* Document::AddRow(Product& p) {
  VariantRow* r = p.variants.Add();
  if (r) r->cells.SetOuter(&aprop);
  return r;
}

Picture* Document::AddPicture(Product& p) { return p.pictures.Add(); }

void Document::RebindCursors() {
  kats.SetOuter(&akat);
  for (Category& c : kats) {
    c.products.SetOuter(&aprod);
    for (Product& p : c.products) {
      p.pictures.SetOuter(&abild);
      p.variants.SetOuter(&avariante);
      for (VariantRow& r : p.variants) r.cells.SetOuter(&aprop);
    }
  }
}

void Document::AdoptContent(Document&& other) {
  kats = std::move(other.kats);
  akat = nullptr;
  aprod = nullptr;
  abild = nullptr;
  avariante = nullptr;
  aprop = nullptr;
  templatecolumns = std::move(other.templatecolumns);
  settings = other.settings;
  afilename = std::move(other.afilename);
  RebindCursors();
  other.RebindCursors();
}

void Document::NewAll() {
  kats.Clear();
  akat = nullptr;
  aprod = nullptr;
  abild = nullptr;
  avariante = nullptr;
  aprop = nullptr;
  settings.BackgroundColorCheck = false;
  afilename.clear();
}

std::u16string Document::FindPicture(const std::u16string& name) const {
  return project::FindPictureFile(name, project::FolderPart(afilename), progpath);
}

uint32_t Document::ProductCount() const {
  uint32_t n = 0;
  for (const Category& c : kats) n += c.products.Count();
  return n;
}

void Document::SetChanged() {
  if (maincap.empty()) return;
  changed = true;
  if (onCaptionChanged) onCaptionChanged();
}

void Document::SetUnChanged() {
  if (maincap.empty()) return;
  changed = false;
  if (onCaptionChanged) onCaptionChanged();
}
