// Helpers for the project file tests: a scratch folder, a document with every
// setting and field at a distinct non-default value, file access.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "project/document.h"

namespace pftest {

inline std::string MakeTempDir() {
  std::string tmpl = ::testing::TempDir() + "qlprojXXXXXX";
  char* d = mkdtemp(tmpl.data());
  EXPECT_NE(d, nullptr);
  return tmpl + "/";
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Gives every setting a value that differs from its default and from every
// other setting (`seed` shifts all of them, so two seeds give two different
// documents). Alignment and column count are then set consistently.
inline void SetDistinctSettings(CatalogSettings& s, int seed) {
  int i = 0;
  struct V {
    int& i;
    int seed;
    void operator()(SettingKind, const char*, double& v, double, double) { v = seed * 1000 + ++i + 1.0 / 3; }
    void operator()(SettingKind, const char*, bool& v, double, double) {
      ++i;
      v = !v;
    }
    void operator()(SettingKind, const char*, int32_t& v, double, double) { v = seed * 1000 + ++i; }
    void operator()(SettingKind, const char*, TColor& v, double, double) {
      v = 0x00102030u + seed * 1000 + ++i;
    }
    void operator()(SettingKind, const char* name, std::u16string& v, double, double) {
      ++i;
      v = u"/elsewhere/" + std::u16string(name, name + std::char_traits<char>::length(name)) +
          u" \u00E4\u20AC\U0001F600 " + std::u16string(1, char16_t(u'0' + seed));
    }
    void operator()(SettingKind, const char* name, TFontSpec& f, double, double) {
      ++i;
      f.name = u"Font" + std::u16string(name, name + std::char_traits<char>::length(name)) +
               std::u16string(1, char16_t(u'A' + seed));
      f.size = 7 + i + seed;
      f.bold = !f.bold;
      f.italic = (i + seed) % 2;
      f.underline = (i + seed) % 3 == 0;
      f.strikeout = (i + seed) % 5 == 0;
      f.charset = static_cast<uint8_t>(i + seed);
      f.pitch = static_cast<uint8_t>((i + seed) % 3);
      f.color = 0x00ABCDEFu + i + seed;
      f.ppi = 72 + i + seed;
    }
  } v{i, seed};
  s.Visit(v);
  s.SetPictureAlignment(seed % 2 ? 0 : 1);
  s.SetColumnCount(seed % 2 ? 2 : 3);
}

inline void AddCells(Document& doc, Product& p,
                     std::initializer_list<std::initializer_list<const char16_t*>> rows) {
  for (auto& r : rows) {
    VariantRow* row = doc.AddRow(p);
    for (const char16_t* t : r) row->cells.Add()->text = t;
  }
}

// Three categories (with options, without, with other options), products
// with pictures (in the project folder `folder` and elsewhere), ragged
// variant tables and per-product table settings, all at distinct values.
inline void FillRichDocument(Document& doc, const std::u16string& folder) {
  SetDistinctSettings(doc.settings, 1);
  doc.settings.FilenameEdit1 = folder + u"logo.png";
  doc.settings.FilenameEdit2 = u"/other/place/bg.jpg";
  doc.settings.FilenameEdit3 = folder + u"sub/even.jpg";
  doc.templatecolumns = {u"Name", u"", u"Preis \u20AC", u"Zeile\r\nzwei"};

  Category* c0 = doc.AddCategory(u"Erste \u00C4rmel");
  auto o = std::make_unique<CategoryOptions>();
  o->picfile = folder + u"cat.jpg";
  o->picwidth = 4.125;
  o->introtext = u"Intro\r\nmit Umbruch";
  o->picbelowname = 1;
  o->deactivated = true;
  o->tocallcategories = true;
  o->notintoc = true;
  o->pictureonly = true;
  o->istoc = true;
  o->introbelowpic = true;
  o->tocwithproducts = true;
  o->ownareacolor = true;
  o->ownfontcolor = true;
  o->areacolor = 0x00112233;
  o->namecolor = 0x00445566;
  o->fontcolor = 0x00778899;
  c0->options = std::move(o);
  for (int j = 0; j < 3; ++j) {
    Product* p = doc.AddProduct(doc.kats[0]);
    p->name = u"Produkt " + std::u16string(1, char16_t(u'A' + j)) + u"\nzweite Zeile";
    p->description = j == 1 ? u"" : u"Beschreibung \U0001F4A1";
    p->pricecols = 2 + j;
    p->deactivated = j == 1;
    p->pagebreakafter = j != 1;
    p->overwrite = j == 0;
    p->fixcellwidth = j == 2;
    p->fixtablewidth = j >= 1;
    p->fixcellheight = j == 1;
    for (int k = 0; k < 10; ++k) p->colwidth[k] = 10.5 + k + j * 100;
    p->tablewidth = 123.25 + j;
    p->rowheight = 6.75 + j;
    AddCells(doc, *p, {{u"Name", u"Nr", u"Preis"}, {u"a", u"", u"1,00", u"extra"}, {u"b"}});
    Picture* pic = doc.AddPicture(*p);
    pic->filename = folder + u"p" + std::u16string(1, char16_t(u'0' + j)) + u".jpg";
    pic->width = 8.5 + j;
    pic = doc.AddPicture(*p);
    pic->filename = u"C:\\bilder\\x.jpg";
    pic->width = 0.1;
  }
  doc.AddCategory(u"");  // no options, no products
  Category* c2 = doc.AddCategory(u"Dritte");
  o = std::make_unique<CategoryOptions>();
  o->picwidth = 1e-3;
  o->tocsubcategoriesonly = true;
  o->picasbackground = true;
  o->firstproductnewpage = true;
  o->nonewpage = true;
  o->tocnocategories = true;
  o->ownnamecolor = true;
  o->namecolor = 0x00FFFFFF;
  c2->options = std::move(o);
  Product* p = doc.AddProduct(doc.kats[2]);
  p->name = u"Ohne Tabelle";
  p->pricecols = 1;
}

}  // namespace pftest
