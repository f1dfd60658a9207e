#include "csv/csvimport.h"

#include <locale.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "core/codepage.h"
#include "i18n/messages.h"
#include "i18n/texts.h"

namespace csv {

namespace {

const std::u16string kEmpty;

std::u16string AppTitle() { return i18n::Tr(u"Quillane"); }

const std::u16string& Field(const std::vector<std::u16string>& f, size_t i) {
  return i < f.size() ? f[i] : kEmpty;
}

bool ValidCategory(const Document& doc, int32_t i) {
  return i >= 0 && static_cast<uint32_t>(i) < doc.kats.Count();
}

// Reads records with content and hands them to `take` until the input ends,
// fails or `take` returns false. Read problems are reported through `fb`.
template <class Take>
void ForEachRecord(ByteReader& in, const std::u16string& name, Feedback& fb, ImportResult& res, Take take) {
  CsvReader reader(in);
  std::vector<std::u16string> fields;
  for (;;) {
    ReadStatus st = reader.Next(fields);
    if (st == ReadStatus::End) {
      res.complete = true;
      return;
    }
    if (st == ReadStatus::ReadError) {
      fb.ShowMessage(i18n::Tr(u"Fehler beim Lesen der Datei: ") + name + u" (" +
                         i18n::SystemErrorText(in.ErrorText()) + u")",
                     AppTitle(), MessageIcon::Error);
      return;
    }
    if (st == ReadStatus::RecordTooLong) {
      fb.ShowMessage(i18n::Tr(u"Der Import wurde abgebrochen: zu langer Datensatz in Zeile ") +
                         ql::FromUtf8(std::to_string(reader.RecordLine())) + u": " + name,
                     AppTitle(), MessageIcon::Error);
      return;
    }
    if (!HasContent(fields)) continue;
    ++res.records;
    if (!take(fields)) return;
  }
}

// Appends a product built from fields first, first + 1, ... to category `k`.
// False when the record arrays could not grow (already reported).
bool AppendProduct(Document& doc, uint32_t k, std::vector<std::u16string>& f, size_t first,
                   const ImportContext& ctx) {
  Category& cat = doc.kats[k];
  Product* p = doc.AddProduct(cat);
  if (!p) return false;
  auto take = [&](size_t i) { return first + i < f.size() ? std::move(f[first + i]) : std::u16string(); };
  p->name = take(0);
  p->description = take(1);
  p->pricecols = doc.settings.PreDefAnzPreisEd;
  Picture* pic = doc.AddPicture(*p);
  if (!pic) return false;
  pic->filename = take(2);
  pic->width = ctx.pictureWidth;

  const size_t t = doc.templatecolumns.size();
  if (doc.options.BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1) {
    VariantRow* row = doc.AddRow(*p);
    if (!row) return false;
    for (const std::u16string& title : doc.templatecolumns) {
      VariantCell* cell = row->cells.Add();
      if (!cell) return false;
      cell->text = title;
    }
  }
  if (t == 0) return true;
  // Groups of T fields; the row in which the fields run out is the last one,
  // padded with empty cells.
  size_t next = first + 3;
  for (;;) {
    VariantRow* row = doc.AddRow(*p);
    if (!row) return false;
    bool missing = false;
    for (size_t c = 0; c < t; ++c) {
      VariantCell* cell = row->cells.Add();
      if (!cell) return false;
      if (next < f.size()) {
        cell->text = std::move(f[next++]);
      } else {
        missing = true;
      }
    }
    if (missing) return true;
  }
}

void SelectNew(ImportResult& res, const Document& doc) {
  res.selected = static_cast<int32_t>(doc.kats.Count()) - 1;
  ++res.categoriesCreated;
}

bool OpenForImport(FileByteReader& in, const std::string& path, Feedback& fb, ImportResult& res) {
  std::string reason;
  res.opened = in.Open(path, reason);
  if (!res.opened) fb.ShowMessage(i18n::Msg(1) + ql::FromUtf8(path), AppTitle(), MessageIcon::Error);
  return res.opened;
}

void SetOptionsFromRecord(CategoryOptions& o, const std::vector<std::u16string>& f,
                          const ImportContext& ctx) {
  auto on = [&](size_t field) { return Field(f, field - 1) == u"true"; };
  o.introtext = Field(f, 1);
  o.picfile = Field(f, 2);
  o.picwidth = f.size() > 3 ? ParsePictureWidth(f[3], ctx.decimalSeparator) : 3.0;
  o.picbelowname = on(5) ? 1 : 0;
  o.introbelowpic = on(6);
  o.nonewpage = on(7);
  o.istoc = on(8);
  o.firstproductnewpage = on(9);
  o.pictureonly = on(10);
  o.picasbackground = on(11);
  o.notintoc = on(12);
  o.tocsubcategoriesonly = on(13);
  o.tocallcategories = on(14);
  o.deactivated = on(15);
}

}  // namespace

bool RequireImportCategory(const Document& doc, int32_t selected, Feedback& fb) {
  if (ValidCategory(doc, selected)) return true;
  fb.ShowMessage(i18n::Msg(7), i18n::Msg(8), MessageIcon::Error);
  return false;
}

ImportResult ImportProducts(Document& doc, int32_t selected, ByteReader& in, const std::u16string& name,
                            const ImportContext& ctx, Feedback& fb) {
  ImportResult res;
  res.opened = true;
  res.selected = selected;
  if (!ValidCategory(doc, selected)) return res;
  const uint32_t k = static_cast<uint32_t>(selected);
  ForEachRecord(in, name, fb, res, [&](std::vector<std::u16string>& f) {
    if (!AppendProduct(doc, k, f, 0, ctx)) return false;
    ++res.products;
    return true;
  });
  return res;
}

ImportResult ImportProductsWithCategories(Document& doc, int32_t selected, ByteReader& in,
                                          const std::u16string& name, const ImportContext& ctx,
                                          Feedback& fb) {
  ImportResult res;
  res.opened = true;
  res.selected = selected;
  bool first = true;
  std::u16string previous;
  ForEachRecord(in, name, fb, res, [&](std::vector<std::u16string>& f) {
    if (first || f[0] != previous) {
      if (!doc.AddCategory(f[0])) return false;
      SelectNew(res, doc);
      previous = f[0];
      first = false;
    }
    if (!AppendProduct(doc, static_cast<uint32_t>(res.selected), f, 1, ctx)) return false;
    ++res.products;
    return true;
  });
  return res;
}

ImportResult ImportCategories(Document& doc, int32_t selected, ByteReader& in, const std::u16string& name,
                              const ImportContext& ctx, Feedback& fb) {
  ImportResult res;
  res.opened = true;
  res.selected = selected;
  // Category numbers by name; the first of equal names is the one updated.
  // Numbers, not addresses: the array moves as it grows.
  std::unordered_map<std::u16string, uint32_t> byName;
  byName.reserve(doc.kats.Count());
  for (uint32_t i = 0; i < doc.kats.Count(); ++i) byName.emplace(doc.kats[i].name, i);
  ForEachRecord(in, name, fb, res, [&](std::vector<std::u16string>& f) {
    Category* cat = nullptr;
    const auto found = byName.find(f[0]);
    if (found != byName.end()) {
      cat = &doc.kats[found->second];
      ++res.categoriesUpdated;
    } else {
      cat = doc.AddCategory(f[0]);
      if (!cat) return false;
      SelectNew(res, doc);
      byName.emplace(f[0], doc.kats.Count() - 1);
    }
    // A new record starts with every field zero; an existing one keeps its
    // colours and the remaining table-of-contents flags.
    if (!cat->options) cat->options = std::make_unique<CategoryOptions>();
    SetOptionsFromRecord(*cat->options, f, ctx);
    return true;
  });
  return res;
}

ImportResult ImportCSVFile(Document& doc, int32_t selected, const std::string& path, const ImportContext& ctx,
                           Feedback& fb) {
  ImportResult res;
  res.selected = selected;
  if (!RequireImportCategory(doc, selected, fb)) return res;
  FileByteReader in;
  if (OpenForImport(in, path, fb, res)) res = ImportProducts(doc, selected, in, ql::FromUtf8(path), ctx, fb);
  doc.SetChanged();
  return res;
}

ImportResult ImportCSVFileComplete(Document& doc, int32_t selected, const std::string& path,
                                   const ImportContext& ctx, Feedback& fb) {
  ImportResult res;
  res.selected = selected;
  FileByteReader in;
  if (OpenForImport(in, path, fb, res))
    res = ImportProductsWithCategories(doc, selected, in, ql::FromUtf8(path), ctx, fb);
  doc.SetChanged();
  return res;
}

ImportResult ImportCSVFileCategories(Document& doc, int32_t selected, const std::string& path,
                                     const ImportContext& ctx, Feedback& fb) {
  ImportResult res;
  res.selected = selected;
  FileByteReader in;
  if (OpenForImport(in, path, fb, res))
    res = ImportCategories(doc, selected, in, ql::FromUtf8(path), ctx, fb);
  doc.SetChanged();
  return res;
}

double ParsePictureWidth(const std::u16string& field, char16_t sep) {
  constexpr double kFallback = 3.0;
  size_t b = 0, e = field.size();
  while (b < e && (field[b] == u' ' || field[b] == u'\t')) ++b;
  while (e > b && (field[e - 1] == u' ' || field[e - 1] == u'\t')) --e;
  // Rewritten into the C locale's form for strtod, after checking the shape:
  // [sign] digits [sep digits] [e [sign] digits], at least one digit before
  // the exponent.
  std::string s;
  size_t i = b;
  auto digits = [&]() {
    size_t n = 0;
    while (i < e && field[i] >= u'0' && field[i] <= u'9') {
      s.push_back(static_cast<char>(field[i++]));
      ++n;
    }
    return n;
  };
  if (i < e && (field[i] == u'+' || field[i] == u'-')) s.push_back(static_cast<char>(field[i++]));
  size_t mantissa = digits();
  if (i < e && field[i] == sep) {
    ++i;
    s.push_back('.');
    mantissa += digits();
  }
  if (mantissa == 0) return kFallback;
  if (i < e && (field[i] == u'e' || field[i] == u'E')) {
    s.push_back('e');
    ++i;
    if (i < e && (field[i] == u'+' || field[i] == u'-')) s.push_back(static_cast<char>(field[i++]));
    if (digits() == 0) return kFallback;
  }
  if (i != e || s.size() > 400) return kFallback;
  // strtod_l in the "C" numeric locale, whatever the process locale is.
  static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
  if (!cLocale) return kFallback;
  const double v = strtod_l(s.c_str(), nullptr, cLocale);
  return std::isfinite(v) ? v : kFallback;
}

std::u16string ProductFormatInfoText() { return i18n::Msg(4) + i18n::Msg(5); }

std::u16string CategoryFormatInfoText() {
  std::u16string t = i18n::Msg(52);
  for (int n = 53; n <= 57; ++n) t += u" " + i18n::Msg(n);
  return t + u"\r\r " + i18n::Msg(58);
}

std::u16string FormatInfoCaption() { return i18n::Msg(6); }

}  // namespace csv
