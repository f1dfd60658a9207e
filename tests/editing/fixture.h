// Small builders for editing tests: a shown window (maincap set, so the
// changed flag works) and categories with products and tables.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "i18n/messages.h"
#include "project/document.h"
#include "support/scripted_feedback.h"

struct EditingDoc {
  Document doc;
  EditingDoc() {
    doc.maincap = u"Quillane";
    doc.SetUnChanged();
  }
  Category& AddCategory(const std::u16string& name, std::initializer_list<std::u16string> products = {}) {
    Category* c = doc.AddCategory(name);
    for (const auto& n : products) doc.AddProduct(*c)->name = n;
    return *c;
  }
  // Gives product `p` the rows, each a list of cell texts.
  void SetTable(Product& p, std::initializer_list<std::initializer_list<std::u16string>> rows) {
    p.variants.Clear();
    for (const auto& r : rows) {
      VariantRow* row = doc.AddRow(p);
      for (const auto& t : r) row->cells.Add()->text = t;
    }
  }
  std::vector<std::u16string> Names(int kat) const {
    std::vector<std::u16string> v;
    for (const Product& p : doc.kats[kat].products) v.push_back(p.name);
    return v;
  }
  std::vector<std::u16string> Row(const Product& p, uint32_t r) const {
    std::vector<std::u16string> v;
    for (const VariantCell& c : p.variants[r].cells) v.push_back(c.text);
    return v;
  }
};
