#include "editing/variants.h"

#include <gtest/gtest.h>

#include "fixture.h"

using namespace editing;

namespace {
struct TableDoc : EditingDoc {
  Selection sel{0, {0}};
  VariantGrid grid;
  TableDoc() { AddCategory(u"K", {u"P", u"Q"}); }
  Product& P() { return doc.kats[0].products[0]; }
  void Load(std::initializer_list<std::initializer_list<std::u16string>> rows) {
    SetTable(P(), rows);
    grid.Fill(P());
    doc.SetUnChanged();
  }
  std::vector<uint32_t> Lengths() {
    std::vector<uint32_t> v;
    for (const VariantRow& r : P().variants) v.push_back(r.cells.Count());
    return v;
  }
};
}  // namespace

TEST(CellStore, PadsNewRowsAndTrimsToTheWidestText) {
  TableDoc t;
  t.Load({{u"a", u"b", u"c", u"d", u"e"}});
  ASSERT_TRUE(TypeInCell(t.doc, t.sel, t.grid, 2, 3, u"x"));
  EXPECT_EQ(t.Lengths(), (std::vector<uint32_t>{5, 5, 5, 5}));
  EXPECT_EQ(VariantText(t.P(), 3, 2), u"x");
  for (uint32_t r = 1; r <= 3; ++r)
    for (uint32_t c = 0; c < 5; ++c)
      if (!(r == 3 && c == 2)) {
        EXPECT_EQ(VariantText(t.P(), r, c), u"");
      }
  EXPECT_TRUE(t.doc.changed);
}

TEST(CellStore, KeepsRaggedRowsItDoesNotTouch) {
  TableDoc t;
  t.Load({{u"a", u"b", u"c"}, {u"1"}, {u"2", u"3"}});
  StoreVariantCell(t.doc, t.P(), 0, 1, u"9");  // no row is short of column 0
  EXPECT_EQ(t.Lengths(), (std::vector<uint32_t>{3, 1, 2}));
  StoreVariantCell(t.doc, t.P(), 1, 2, u"z");  // row 1 (one cell) is padded
  EXPECT_EQ(t.Lengths(), (std::vector<uint32_t>{3, 3, 2}));
}

TEST(CellStore, ClearingTrimsRowsAndColumns) {
  TableDoc t;
  t.Load({{u"a", u"b"}, {u""}, {u"", u"", u"z"}});
  StoreVariantCell(t.doc, t.P(), 2, 2, u"");
  EXPECT_EQ(t.Lengths(), std::vector<uint32_t>{2});
  StoreVariantCell(t.doc, t.P(), 1, 0, u"");
  StoreVariantCell(t.doc, t.P(), 0, 0, u"");
  EXPECT_EQ(t.P().variants.Count(), 0u);
  // Outside the grid nothing is stored.
  t.doc.SetUnChanged();
  EXPECT_FALSE(StoreVariantCell(t.doc, t.P(), 100, 0, u"x"));
  EXPECT_FALSE(StoreVariantCell(t.doc, t.P(), 0, -1, u"x"));
  EXPECT_FALSE(t.doc.changed);
  EXPECT_FALSE(TypeInCell(t.doc, {0, {}}, t.grid, 0, 0, u"x"));
  EXPECT_EQ(t.P().variants.Count(), 0u);
}

TEST(GridCommands, InsertAndDeleteColumn) {
  TableDoc t;
  t.Load({{u"Name", u"Nr", u"Preis", u"10", u"100"}, {u"R", u"1", u"2", u"3", u"4"}});
  ASSERT_TRUE(InsertGridColumn(t.doc, t.sel, t.grid, 0));
  EXPECT_EQ(t.Row(t.P(), 0), (std::vector<std::u16string>{u"", u"Name", u"Nr", u"Preis", u"10", u"100"}));
  EXPECT_EQ(t.Row(t.P(), 1), (std::vector<std::u16string>{u"", u"R", u"1", u"2", u"3", u"4"}));
  EXPECT_TRUE(t.doc.changed);
  ASSERT_TRUE(DeleteGridColumn(t.doc, t.sel, t.grid, 0));
  ASSERT_TRUE(DeleteGridColumn(t.doc, t.sel, t.grid, 1));
  EXPECT_EQ(t.Row(t.P(), 0), (std::vector<std::u16string>{u"Name", u"Preis", u"10", u"100"}));
  EXPECT_EQ(t.grid.Cell(3, 1), u"4");
}

TEST(GridCommands, RowsAndCopiesSurviveSwitchingProducts) {
  TableDoc t;
  t.Load({{u"T1", u"T2"}, {u"a", u"b"}, {u"c", u"d"}});
  CopyGridRow(t.doc, t.grid, 1);
  CopyGridColumn(t.doc, t.grid, 1);
  ASSERT_TRUE(DeleteGridRow(t.doc, t.sel, t.grid, 1));
  EXPECT_EQ(t.P().variants.Count(), 2u);
  EXPECT_EQ(t.Row(t.P(), 1), (std::vector<std::u16string>{u"c", u"d"}));

  // Switch to the second product (empty table) and paste there.
  Selection q{0, {1}};
  t.grid.Fill(t.doc.kats[0].products[1]);
  ASSERT_TRUE(PasteGridRow(t.doc, q, t.grid, 0));
  ASSERT_TRUE(PasteGridColumn(t.doc, q, t.grid, 0));
  const Product& p2 = t.doc.kats[0].products[1];
  EXPECT_EQ(t.Row(p2, 0), (std::vector<std::u16string>{u"T2", u"a", u"b"}));
  EXPECT_EQ(VariantText(p2, 1, 0), u"b");
  EXPECT_EQ(VariantText(p2, 2, 0), u"d");
}

TEST(GridCommands, PastingNothingCopiedAtTheEndIsTrimmed) {
  TableDoc t;
  t.Load({{u"a"}});
  ASSERT_TRUE(PasteGridRow(t.doc, t.sel, t.grid, 1));
  EXPECT_EQ(t.P().variants.Count(), 1u);
  EXPECT_FALSE(t.doc.changed);  // no grid cell changed, nothing stored
  EXPECT_FALSE(InsertGridRow(t.doc, {0, {}}, t.grid, 0));
  EXPECT_FALSE(DeleteGridColumn(t.doc, t.sel, t.grid, 100));
}

TEST(GridModel, FillAndColumnWidth) {
  TableDoc t;
  t.Load({{u"kurz", u"ein langer Titel"}});
  auto width = [](const std::u16string& s) { return static_cast<int>(s.size()) * 7; };
  EXPECT_EQ(t.grid.ColumnWidth(0, width), 64);   // 44 is wider than 28
  EXPECT_EQ(t.grid.ColumnWidth(1, width), 132);  // 16 * 7 + 20
  t.Load({{u"x"}});
  EXPECT_EQ(t.grid.Cell(1, 0), u"");
}

TEST(TableSettings, RoundTripNotMarked) {
  TableDoc t;
  TableSettingsValues v;
  ASSERT_TRUE(TableSettingsFromProduct(t.doc, t.sel, v));
  EXPECT_EQ(v.tablewidth, 155.0);
  v.overwrite = v.fixcellheight = true;
  v.colwidth[9] = 12;
  v.rowheight = 5000;  // beyond the box range
  ASSERT_TRUE(ApplyTableSettings(t.doc, t.sel, v));
  EXPECT_TRUE(t.P().overwrite && t.P().fixcellheight);
  EXPECT_EQ(t.P().colwidth[9], 12);
  EXPECT_EQ(t.P().rowheight, 1000);
  EXPECT_FALSE(t.doc.changed);
  EXPECT_FALSE(ApplyTableSettings(t.doc, {0, {}}, v));
}
