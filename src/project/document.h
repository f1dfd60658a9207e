// The open catalog document: categories with their products, the template
// for new products' variant tables, the catalog settings, the file name and
// the changed flag. The main window owns exactly one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/records.h"
#include "core/settings.h"

// Category names in effect on each page, filled by the page renderers and
// read back for the %CATEGORY% placeholder. Indexes outside 0 ... 9999 read
// as empty and are not written.
class LastKatTable {
 public:
  static constexpr int kSize = 10000;
  LastKatTable() : names_(kSize) {}
  const std::u16string& Get(int32_t index) const;
  void Set(int32_t index, const std::u16string& name);

 private:
  std::vector<std::u16string> names_;
};

class Document {
 public:
  Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Cursors published by the record arrays of each nesting level.
  Category* akat = nullptr;
  Product* aprod = nullptr;
  Picture* abild = nullptr;
  VariantRow* avariante = nullptr;
  VariantCell* aprop = nullptr;

  TDynaArray<Category> kats{&akat};

  // ListView3: the column titles that become row 0 of a new product's table.
  std::vector<std::u16string> templatecolumns;

  CatalogSettings settings;
  ProgramOptions options;

  std::u16string afilename;  // empty for an untitled document
  // The program's folder (empty: not known). A bare picture name is looked
  // for in the project's folder, then here, then in the current folder.
  // Not content: kept by AdoptContent and NewAll.
  std::u16string progpath;
  bool changed = false;
  bool donotupdate = false;

  LastKatTable lastkat;

  // Copied variant-table row and column (they survive switching products).
  std::vector<std::u16string> kopiezeile;
  std::vector<std::u16string> kopiespalte;

  // Appends a category with a new empty products array.
  Category* AddCategory(const std::u16string& name);

  // Appends a product to category `cat` with the table defaults and its
  // arrays publishing into this document's cursors.
  Product* AddProduct(Category& cat);
  // Gives a zeroed product record its arrays' cursors and table defaults.
  void InitProduct(Product& p);
  // Appends a row / picture with cursors bound to this document.
  VariantRow* AddRow(Product& p);
  Picture* AddPicture(Product& p);

  // Makes every nested array publish into this document's cursors again
  // (after content was moved in from another document).
  void RebindCursors();

  // Takes over the content of `other` (categories, template, settings, file
  // name), leaving `other` empty. Used by readers that read into a fresh
  // document and replace the open one only after a complete read.
  void AdoptContent(Document&& other);

  // Removes every category; BackgroundColorCheck off; no file name; the
  // caller marks the document unchanged (see lifecycle).
  void NewAll();

  // The changed flag. Before the window is first shown (maincap empty)
  // neither call has any effect. After each call the caption listener, if
  // any, is told (the window shows the caption, see lifecycle).
  std::u16string maincap;
  void SetChanged();
  void SetUnChanged();
  std::function<void()> onCaptionChanged;

  // The file a picture name held by this document (a product or category
  // picture, a background or the logo) is drawn from: project::FindPictureFile
  // with the folder of afilename and progpath. Every reader of picture files
  // (preview, outputs, picture list, writer) asks here.
  std::u16string FindPicture(const std::u16string& name) const;

  // Total number of products over all categories.
  uint32_t ProductCount() const;
};
