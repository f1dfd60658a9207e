#include "project/dumpjson.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/codepage.h"

namespace project {

std::string JsonString(const std::u16string& s) {
  std::string out = "\"";
  auto hex = [&out](unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04X", v);
    out += buf;
  };
  auto utf8 = [&out](uint32_t cp) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | cp >> 6));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | cp >> 12));
      out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | cp >> 18));
      out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  };
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    switch (c) {
      case u'"':
        out += "\\\"";
        continue;
      case u'\\':
        out += "\\\\";
        continue;
      case u'\n':
        out += "\\n";
        continue;
      case u'\r':
        out += "\\r";
        continue;
      case u'\t':
        out += "\\t";
        continue;
      case u'\b':
        out += "\\b";
        continue;
      case u'\f':
        out += "\\f";
        continue;
      default:
        break;
    }
    if (c < 0x20) {
      hex(c);
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      utf8(0x10000 + ((uint32_t(c) - 0xD800) << 10) + (uint32_t(s[i + 1]) - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      // A lone surrogate has no UTF-8 form; the escape keeps it.
      hex(c);
    } else {
      utf8(c);
    }
  }
  out += '"';
  return out;
}

std::string JsonNumber(double v) {
  // JSON has no infinities or NaN.
  if (!std::isfinite(v)) return "null";
  char buf[40];
  for (int prec = 15; prec <= 17; ++prec) {
    std::snprintf(buf, sizeof buf, "%.*g", prec, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  return buf;
}

namespace {

class Out {
 public:
  std::string s;
  void Key(const char* k) {
    s += '"';
    s += k;
    s += "\":";
  }
  void Bool(const char* k, bool v) {
    Key(k);
    s += v ? "true" : "false";
  }
  void Int(const char* k, int64_t v) {
    Key(k);
    s += std::to_string(v);
  }
  void Num(const char* k, double v) {
    Key(k);
    s += JsonNumber(v);
  }
  void Str(const char* k, const std::u16string& v) {
    Key(k);
    s += JsonString(v);
  }
  void Comma() { s += ','; }
};

void Font(Out& o, const TFontSpec& f) {
  o.s += '{';
  o.Str("name", f.name), o.Comma();
  o.Int("size", f.size), o.Comma();
  o.Bool("bold", f.bold), o.Comma();
  o.Bool("italic", f.italic), o.Comma();
  o.Bool("underline", f.underline), o.Comma();
  o.Bool("strikeout", f.strikeout), o.Comma();
  o.Int("charset", f.charset), o.Comma();
  o.Int("pitch", f.pitch), o.Comma();
  o.Int("color", f.color), o.Comma();
  o.Int("ppi", f.ppi);
  o.s += '}';
}

void Options(Out& o, const CategoryOptions* c) {
  if (!c) {
    o.s += "null";
    return;
  }
  o.s += '{';
  o.Str("picfile", c->picfile), o.Comma();
  o.Num("picwidth", c->picwidth), o.Comma();
  o.Str("introtext", c->introtext), o.Comma();
  o.Int("picbelowname", c->picbelowname), o.Comma();
  o.Bool("deactivated", c->deactivated), o.Comma();
  o.Bool("tocallcategories", c->tocallcategories), o.Comma();
  o.Bool("tocsubcategoriesonly", c->tocsubcategoriesonly), o.Comma();
  o.Bool("notintoc", c->notintoc), o.Comma();
  o.Bool("picasbackground", c->picasbackground), o.Comma();
  o.Bool("pictureonly", c->pictureonly), o.Comma();
  o.Bool("firstproductnewpage", c->firstproductnewpage), o.Comma();
  o.Bool("istoc", c->istoc), o.Comma();
  o.Bool("nonewpage", c->nonewpage), o.Comma();
  o.Bool("introbelowpic", c->introbelowpic), o.Comma();
  o.Bool("tocnocategories", c->tocnocategories), o.Comma();
  o.Bool("tocwithproducts", c->tocwithproducts), o.Comma();
  o.Bool("ownareacolor", c->ownareacolor), o.Comma();
  o.Bool("ownnamecolor", c->ownnamecolor), o.Comma();
  o.Bool("ownfontcolor", c->ownfontcolor), o.Comma();
  o.Int("areacolor", c->areacolor), o.Comma();
  o.Int("namecolor", c->namecolor), o.Comma();
  o.Int("fontcolor", c->fontcolor);
  o.s += '}';
}

void ProductJson(Out& o, const Product& p) {
  o.s += '{';
  o.Str("name", p.name), o.Comma();
  o.Str("description", p.description), o.Comma();
  o.Int("pricecols", p.pricecols), o.Comma();
  o.Bool("deactivated", p.deactivated), o.Comma();
  o.Bool("pagebreakafter", p.pagebreakafter), o.Comma();
  o.Bool("overwrite", p.overwrite), o.Comma();
  o.Bool("fixcellwidth", p.fixcellwidth), o.Comma();
  o.Bool("fixtablewidth", p.fixtablewidth), o.Comma();
  o.Bool("fixcellheight", p.fixcellheight), o.Comma();
  o.Key("colwidth");
  o.s += '[';
  for (int i = 0; i < 10; ++i) {
    if (i) o.Comma();
    o.s += JsonNumber(p.colwidth[i]);
  }
  o.s += "],";
  o.Num("tablewidth", p.tablewidth), o.Comma();
  o.Num("rowheight", p.rowheight), o.Comma();
  o.Key("pictures");
  o.s += '[';
  bool first = true;
  for (const Picture& pic : p.pictures) {
    if (!first) o.Comma();
    first = false;
    o.s += '{';
    o.Str("filename", pic.filename), o.Comma();
    o.Num("width", pic.width);
    o.s += '}';
  }
  o.s += "],";
  o.Key("variants");
  o.s += '[';
  first = true;
  for (const VariantRow& row : p.variants) {
    if (!first) o.Comma();
    first = false;
    o.s += '[';
    bool firstCell = true;
    for (const VariantCell& cell : row.cells) {
      if (!firstCell) o.Comma();
      firstCell = false;
      o.s += JsonString(cell.text);
    }
    o.s += ']';
  }
  o.s += "]}";
}

// One setting as a JSON value of its kind.
struct SettingOut {
  Out& o;
  bool first = true;
  void Begin(const char* name) {
    if (!first) o.Comma();
    first = false;
    o.Key(name);
  }
  void operator()(SettingKind kind, const char* name, const double& v, double, double) {
    Begin(name);
    o.s += JsonNumber(v);
  }
  void operator()(SettingKind kind, const char* name, const bool& v, double, double) {
    Begin(name);
    o.s += v ? "true" : "false";
  }
  void operator()(SettingKind kind, const char* name, const int32_t& v, double, double) {
    Begin(name);
    o.s += std::to_string(v);
  }
  void operator()(SettingKind kind, const char* name, const TColor& v, double, double) {
    Begin(name);
    o.s += std::to_string(v);
  }
  void operator()(SettingKind kind, const char* name, const std::u16string& v, double, double) {
    Begin(name);
    o.s += JsonString(v);
  }
  void operator()(SettingKind kind, const char* name, const TFontSpec& v, double, double) {
    Begin(name);
    Font(o, v);
  }
};

}  // namespace

std::string DumpJson(const Document& doc, const std::string& file) {
  Out o;
  o.s += '{';
  o.Str("file", ql::FromUtf8(file)), o.Comma();
  o.Key("categories");
  o.s += '[';
  bool first = true;
  for (const Category& cat : doc.kats) {
    if (!first) o.Comma();
    first = false;
    o.s += '{';
    o.Str("name", cat.name), o.Comma();
    o.Key("options");
    Options(o, cat.options.get());
    o.Comma();
    o.Key("products");
    o.s += '[';
    bool firstProd = true;
    for (const Product& p : cat.products) {
      if (!firstProd) o.Comma();
      firstProd = false;
      ProductJson(o, p);
    }
    o.s += "]}";
  }
  o.s += "],";
  o.Key("template");
  o.s += '[';
  for (size_t i = 0; i < doc.templatecolumns.size(); ++i) {
    if (i) o.Comma();
    o.s += JsonString(doc.templatecolumns[i]);
  }
  o.s += "],";
  o.Key("settings");
  o.s += '{';
  SettingOut so{o};
  doc.settings.Visit(so);
  o.s += "}}\n";
  return o.s;
}

}  // namespace project
