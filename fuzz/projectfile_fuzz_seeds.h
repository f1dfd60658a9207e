// Seed files for the project file fuzzers, written when the environment
// variable QL_FUZZ_SEEDS names a folder (see README.md).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "project/projectfile.h"

namespace fuzzseeds {

inline void Put(const std::string& dir, const char* name, const std::string& bytes) {
  std::ofstream(dir + "/" + name, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A small catalog in the current format, written by the program's writer.
inline std::string CurrentSeed(bool withOptions) {
  Document doc;
  doc.templatecolumns = {u"Name", u"Preis"};
  Category* c = doc.AddCategory(u"K\u00FCche");
  if (withOptions) {
    c->options = std::make_unique<CategoryOptions>(NewCategoryOptions());
    c->options->introtext = u"Intro";
    c->options->picfile = u"k.jpg";
    c->options->istoc = true;
  }
  Product* p = doc.AddProduct(*c);
  p->name = u"P";
  p->pricecols = 1;
  VariantRow* r = doc.AddRow(*p);
  r->cells.Add()->text = u"Name";
  r->cells.Add()->text = u"";
  r = doc.AddRow(*p);
  r->cells.Add()->text = u"x";
  doc.AddPicture(*p)->filename = u"/fz/a.jpg";
  doc.AddCategory(u"Leer");
  return ProjectFileBytes(doc, "/fz/x.pk2");
}

// A small catalog in the older format (8-bit texts, ends after group 43).
inline std::string OlderSeed() {
  std::string s;
  auto u8 = [&](int v) { s.push_back(static_cast<char>(v)); };
  auto i32 = [&](int64_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(static_cast<uint32_t>(v) >> (8 * i)));
  };
  auto f64 = [&](double d) {
    uint64_t b;
    std::memcpy(&b, &d, 8);
    for (int i = 0; i < 8; ++i) s.push_back(static_cast<char>(b >> (8 * i)));
  };
  auto astr = [&](const std::string& t) {
    i32(static_cast<int64_t>(t.size()));
    s += t;
  };
  auto font = [&](int size) {
    u8(0), i32(0), u8(5);
    for (char c : std::string("Arial")) u8(c), u8(0);
    u8(0), i32(96), i32(size), u8(1);
  };
  i32(1),
      astr(
          "K\xFC"
          "che"),
      i32(1), astr("P"), astr("D"), i32(2);
  i32(2), i32(2), astr("Ma\xDF"), astr("Preis"), i32(1), astr("x");
  i32(1), f64(3.5), astr("bild.jpg");
  i32(1), astr("T"), i32(3), astr("bg.jpg"), astr("logo.gif");
  for (int i = 0; i < 5; ++i) f64(10 + i);
  u8(1), u8(1), astr("F1"), astr("F2"), astr("Kopf"), u8(0), f64(5), f64(5);
  u8(1), i32(0x800000), u8(1), i32(0x800000), u8(1), u8(1), u8(1), i32(0), i32(0x808080);
  u8(0), f64(5), f64(5), u8(0), i32(1), f64(30), f64(10), f64(50), f64(0), u8(1), u8(0), u8(1);
  f64(1.5), f64(1.5), u8(1);
  for (int i = 0; i < 9; ++i) font(10 + i);
  u8(0), i32(2), u8(1), f64(5), u8(0), u8(0), i32(0), i32(0xFFFFFF), i32(1), u8(0);  // 23 ... 30
  i32(1), u8(1), astr("Einf\xFChrung"), astr("kat.jpg"), f64(2.5), i32(1), u8(1);    // 31
  f64(0.6), f64(0.6), i32(0), i32(0), i32(0), i32(0), i32(0);                        // 32
  i32(1), u8(1), u8(1), i32(1), i32(1), u8(1);                                       // 33
  u8(0), u8(0), u8(0);                                                               // 34, 35
  for (int i = 0; i < 6; ++i) f64(35);
  i32(1), u8(1), u8(0), font(14);                                          // 36, 37
  i32(1), i32(1), u8(0), u8(0), u8(0), u8(0), u8(1), u8(0), u8(0), u8(0);  // 38 ... 41
  i32(1), u8(1), u8(0), u8(0), f64(0);                                     // 42
  i32(1), u8(1), u8(0);                                                    // 43
  return s;
}

inline void WriteIfAsked() {
  const char* dir = std::getenv("QL_FUZZ_SEEDS");
  if (!dir || !*dir) return;
  Put(dir, "current_plain.pk2", CurrentSeed(false));
  Put(dir, "current_options.pk2", CurrentSeed(true));
  Put(dir, "older.pkd", OlderSeed());
}

}  // namespace fuzzseeds
