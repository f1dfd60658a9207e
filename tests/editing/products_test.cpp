#include "editing/products.h"

#include <gtest/gtest.h>

#include "fixture.h"

using namespace editing;

TEST(ProductCommands, NewProductFromTemplate) {
  EditingDoc t;
  t.AddCategory(u"K");
  t.doc.templatecolumns = {u"Name", u"Preis"};
  t.doc.settings.PreDefAnzPreisEd = 3;
  ASSERT_EQ(NewProduct(t.doc, 0), 0);
  const Product& p = t.doc.kats[0].products[0];
  EXPECT_EQ(p.name, u"Neues Produkt");
  EXPECT_EQ(p.pricecols, 3);
  EXPECT_EQ(p.tablewidth, 155.0);
  EXPECT_EQ(t.Row(p, 0), (std::vector<std::u16string>{u"Name", u"Preis"}));
  EXPECT_TRUE(t.doc.changed);

  t.doc.templatecolumns.clear();
  ASSERT_EQ(NewProduct(t.doc, 0), 1);
  ASSERT_EQ(t.doc.kats[0].products[1].variants.Count(), 1u);
  EXPECT_EQ(t.doc.kats[0].products[1].variants[0].cells.Count(), 0u);
  EXPECT_EQ(NewProduct(t.doc, 3), -1);
}

TEST(ProductCommands, DeleteAllSelectedWhateverTheirOrder) {
  EditingDoc t;
  t.AddCategory(u"K", {u"a", u"b", u"c", u"d", u"e"});
  ASSERT_TRUE(DeleteProducts(t.doc, {0, {3, 0, 1, 3, 99}}));
  EXPECT_EQ(t.Names(0), (std::vector<std::u16string>{u"c", u"e"}));
  EXPECT_TRUE(t.doc.changed);
}

TEST(ProductCommands, MoveOnlyTheFirstSelected) {
  EditingDoc t;
  t.AddCategory(u"K", {u"a", u"b", u"c"});
  EXPECT_EQ(MoveProductUp(t.doc, {0, {2, 1}}), 0);
  EXPECT_EQ(t.Names(0), (std::vector<std::u16string>{u"b", u"a", u"c"}));
  EXPECT_TRUE(t.doc.changed);
  t.doc.SetUnChanged();
  EXPECT_EQ(MoveProductUp(t.doc, {0, {0}}), 0);
  EXPECT_EQ(MoveProductDown(t.doc, {0, {2}}), 2);
  EXPECT_FALSE(t.doc.changed);
  EXPECT_EQ(MoveProductDown(t.doc, {0, {0}}), 1);
  EXPECT_EQ(t.Names(0), (std::vector<std::u16string>{u"a", u"b", u"c"}));
}

TEST(ProductCommands, DuplicateGetsDefaultTableSettings) {
  EditingDoc t;
  Category& k = t.AddCategory(u"K", {u"Ring"});
  Product& p = k.products[0];
  p.description = u"Gold";
  p.pricecols = 2;
  p.overwrite = p.fixcellwidth = p.fixtablewidth = p.fixcellheight = true;
  p.colwidth[4] = 12;
  p.tablewidth = 99;
  p.rowheight = 9;
  p.deactivated = p.pagebreakafter = true;
  Picture* pic = t.doc.AddPicture(p);
  pic->filename = u"ring.jpg";
  pic->width = 4;
  pic->pixwidth = 640;
  t.SetTable(p, {{u"Name", u"Preis"}, {u"R1", u"9,50"}});

  ASSERT_EQ(DuplicateProduct(t.doc, {0, {0}}), 1);
  const Product& c = t.doc.kats[0].products[1];
  EXPECT_EQ(c.name, u"Ring");
  EXPECT_EQ(c.description, u"Gold");
  EXPECT_EQ(c.pricecols, 2);
  ASSERT_EQ(c.pictures.Count(), 1u);
  EXPECT_EQ(c.pictures[0].filename, u"ring.jpg");
  EXPECT_EQ(c.pictures[0].width, 4);
  EXPECT_EQ(c.pictures[0].pixwidth, 0);
  EXPECT_EQ(t.Row(c, 1), (std::vector<std::u16string>{u"R1", u"9,50"}));
  EXPECT_FALSE(c.overwrite || c.fixcellwidth || c.fixtablewidth || c.fixcellheight);
  EXPECT_FALSE(c.deactivated || c.pagebreakafter);
  EXPECT_EQ(c.colwidth[4], 35.0);
  EXPECT_EQ(c.tablewidth, 155.0);
  EXPECT_EQ(c.rowheight, 5.0);
  EXPECT_TRUE(t.doc.changed);
  // A deep copy: editing the copy leaves the original alone.
  t.doc.kats[0].products[1].variants[1].cells[0].text = u"X";
  EXPECT_EQ(VariantText(t.doc.kats[0].products[0], 1, 0), u"R1");
}

TEST(ProductCommands, SortNamesAsciiUpperCaseOnlyAndUnmarked) {
  EditingDoc t;
  t.AddCategory(u"K", {u"Bär", u"Bz", u"apfel"});
  t.AddCategory(u"L", {u"bar", u"Bar"});
  t.AddCategory(u"M", {u"Bar", u"bar"});
  ScriptedFeedback fb;
  fb.answers = {Answer::No};
  EXPECT_FALSE(SortProductNames(t.doc, fb));
  EXPECT_EQ(t.Names(0)[0], u"Bär");
  fb.answers = {Answer::Yes};
  EXPECT_TRUE(SortProductNames(t.doc, fb));
  // ä is compared with Z and is the greater; bar and Bar are equal.
  EXPECT_EQ(t.Names(0), (std::vector<std::u16string>{u"apfel", u"Bz", u"Bär"}));
  EXPECT_EQ(t.Names(1), (std::vector<std::u16string>{u"bar", u"Bar"}));
  EXPECT_EQ(t.Names(2), (std::vector<std::u16string>{u"Bar", u"bar"}));
  EXPECT_FALSE(t.doc.changed);
  EXPECT_EQ(fb.shown[1].text, u"Wollen Sie alle Produkte alphabetisch sortieren?");
}

TEST(ProductEditor, FieldsNeedASelectionAndMarkChanged) {
  EditingDoc t;
  t.AddCategory(u"K", {u"a", u"b"});
  EXPECT_FALSE(SetProductName(t.doc, {0, {}}, u"X"));
  EXPECT_FALSE(SetProductDescription(t.doc, {-1, {0}}, u"X"));
  EXPECT_FALSE(SetPriceColumns(t.doc, {0, {}}, 2));
  EXPECT_FALSE(SetProductsDeactivated(t.doc, {0, {}}, true));
  EXPECT_FALSE(t.doc.changed);
  EXPECT_EQ(t.Names(0)[0], u"a");

  EXPECT_TRUE(SetProductName(t.doc, {0, {1, 0}}, u"Ohrring"));
  EXPECT_EQ(t.Names(0)[0], u"Ohrring");
  EXPECT_TRUE(t.doc.changed);
  SetPriceColumns(t.doc, {0, {1}}, 2.9);
  EXPECT_EQ(t.doc.kats[0].products[1].pricecols, 2);
  SetPriceColumns(t.doc, {0, {1}}, 1e9);
  EXPECT_EQ(t.doc.kats[0].products[1].pricecols, 100);
  SetPageBreakAfter(t.doc, {0, {1, 0}}, true);
  EXPECT_TRUE(t.doc.kats[0].products[0].pagebreakafter);
  EXPECT_FALSE(t.doc.kats[0].products[1].pagebreakafter);
  SetProductsDeactivated(t.doc, {0, {0, 1}}, true);
  EXPECT_TRUE(t.doc.kats[0].products[0].deactivated && t.doc.kats[0].products[1].deactivated);
}
