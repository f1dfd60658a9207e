#include "editing/categories.h"

#include <gtest/gtest.h>

#include "fixture.h"

using namespace editing;

TEST(CategoryCommands, NewRenameSelectMarkChanged) {
  EditingDoc t;
  EXPECT_EQ(NewCategory(t.doc), 0);
  EXPECT_TRUE(t.doc.changed);
  EXPECT_EQ(t.doc.kats[0].name, u"");
  EXPECT_EQ(t.doc.kats[0].options, nullptr);

  t.doc.SetUnChanged();
  EXPECT_TRUE(RenameCategory(t.doc, 0, u""));  // same name: no change
  EXPECT_FALSE(t.doc.changed);
  RenameCategory(t.doc, 0, u"Ringe");
  EXPECT_TRUE(t.doc.changed);

  t.doc.SetUnChanged();
  EXPECT_NE(SelectCategory(t.doc, 0), nullptr);
  EXPECT_TRUE(t.doc.changed);
}

TEST(CategoryCommands, DeleteOnlyAfterYes) {
  EditingDoc t;
  t.AddCategory(u"Ketten", {u"A"});
  ScriptedFeedback fb;
  fb.answers = {Answer::No, Answer::Cancel, Answer::Yes};
  EXPECT_FALSE(DeleteCategory(t.doc, 0, fb));
  EXPECT_FALSE(DeleteCategory(t.doc, 0, fb));
  EXPECT_EQ(t.doc.kats.Count(), 1u);
  EXPECT_FALSE(t.doc.changed);
  EXPECT_TRUE(DeleteCategory(t.doc, 0, fb));
  EXPECT_EQ(t.doc.kats.Count(), 0u);
  EXPECT_TRUE(t.doc.changed);
  ASSERT_EQ(fb.shown.size(), 3u);
  EXPECT_EQ(fb.shown[0].text, i18n::MessageTable(10) + u"\"Ketten\"");
  EXPECT_EQ(fb.shown[0].caption, u"Kategorie löschen");
  EXPECT_EQ(fb.shown[0].buttons, Buttons::YesNoCancel);
}

TEST(CategoryCommands, MoveUpDownKeepsNameAndOptionsTogether) {
  EditingDoc t;
  t.AddCategory(u"A", {u"a1"});
  t.AddCategory(u"B");
  t.doc.kats[0].options = std::make_unique<CategoryOptions>(NewCategoryOptions());
  EXPECT_EQ(MoveCategoryUp(t.doc, 0), 0);    // the first: nothing
  EXPECT_EQ(MoveCategoryDown(t.doc, 1), 1);  // the last: nothing
  EXPECT_FALSE(t.doc.changed);
  EXPECT_EQ(MoveCategoryDown(t.doc, 0), 1);
  EXPECT_TRUE(t.doc.changed);
  EXPECT_EQ(t.doc.kats[1].name, u"A");
  EXPECT_NE(t.doc.kats[1].options, nullptr);
  EXPECT_EQ(t.doc.kats[1].products[0].name, u"a1");
  EXPECT_EQ(t.doc.kats[0].options, nullptr);
  EXPECT_FALSE(t.doc.donotupdate);
}

TEST(CategoryCommands, NoSelectionDoesNothing) {
  EditingDoc t;
  t.AddCategory(u"A", {u"x"});
  ScriptedFeedback fb;
  EXPECT_FALSE(RenameCategory(t.doc, -1, u"Z"));
  EXPECT_FALSE(DeleteCategory(t.doc, 5, fb));
  EXPECT_EQ(MoveCategoryUp(t.doc, -1), -1);
  EXPECT_FALSE(ApplyCategoryDialog(t.doc, -1, {}));
  EXPECT_FALSE(MoveProductsToCategory(t.doc, {0, {}}, 0));
  EXPECT_EQ(fb.shown.size(), 0u);
  EXPECT_FALSE(t.doc.changed);
  EXPECT_EQ(t.doc.kats[0].name, u"A");
}

TEST(CategoryDialog, DefaultsWithoutOptionsAndRoundTrip) {
  EditingDoc t;
  t.AddCategory(u"Uhren");
  CategoryDialogValues v = CategoryDialogFromCategory(t.doc.kats[0]);
  EXPECT_EQ(v.name, u"Uhren");
  EXPECT_EQ(v.picwidth, 3.0);
  EXPECT_EQ(v.fontcolor, RGBColor(255, 255, 0));
  EXPECT_EQ(v.namecolor, RGBColor(0, 0, 0));
  EXPECT_EQ(v.areacolor, RGBColor(128, 128, 128));
  EXPECT_EQ(v.picbelowname, 0);

  // OK without touching anything gives a record with the defaults and does
  // not mark the document (the name did not change).
  ASSERT_TRUE(ApplyCategoryDialog(t.doc, 0, v));
  ASSERT_NE(t.doc.kats[0].options, nullptr);
  EXPECT_EQ(t.doc.kats[0].options->picwidth, 3.0);
  EXPECT_EQ(t.doc.kats[0].options->areacolor, RGBColor(128, 128, 128));
  EXPECT_FALSE(t.doc.changed);

  v.name = u"Armbanduhren";
  v.introtext = u"Intro";
  v.istoc = true;
  v.tocnocategories = true;
  v.areacolor = RGBColor(1, 2, 3);
  ApplyCategoryDialog(t.doc, 0, v);
  EXPECT_TRUE(t.doc.changed);
  CategoryDialogValues back = CategoryDialogFromCategory(t.doc.kats[0]);
  EXPECT_EQ(back.name, u"Armbanduhren");
  EXPECT_EQ(back.introtext, u"Intro");
  EXPECT_TRUE(back.istoc);
  EXPECT_TRUE(back.tocnocategories);
  EXPECT_FALSE(back.tocwithproducts);
  EXPECT_EQ(back.areacolor, RGBColor(1, 2, 3));
}

TEST(CategoryDialog, PictureOnlyPutsPictureBelowName) {
  CategoryDialogValues v;
  v.deactivated = true;
  CategoryDialogCheckClicked(v);
  EXPECT_EQ(v.picbelowname, 0);
  v.pictureonly = true;
  CategoryDialogCheckClicked(v);
  EXPECT_EQ(v.picbelowname, 1);
}

TEST(MoveToOtherCategory, ArriveInReverseOrderAtTheEnd) {
  EditingDoc t;
  t.AddCategory(u"Quelle", {u"A", u"x", u"B"});
  t.AddCategory(u"Ziel", {u"C"});
  t.doc.kats[0].products[0].variants.Clear();
  t.SetTable(t.doc.kats[0].products[0], {{u"Preis"}, {u"12,50"}});
  EXPECT_EQ(MoveTargetNames(t.doc, 0), std::vector<std::u16string>{u"Ziel"});
  ASSERT_TRUE(MoveProductsToCategory(t.doc, {0, {0, 2}}, 0));
  EXPECT_EQ(t.Names(1), (std::vector<std::u16string>{u"C", u"B", u"A"}));
  EXPECT_EQ(t.Names(0), std::vector<std::u16string>{u"x"});
  EXPECT_EQ(VariantText(t.doc.kats[1].products[2], 1, 0), u"12,50");
  EXPECT_TRUE(t.doc.changed);

  // The drop-down index skips the source: from "Ziel" (1), index 0 is "Quelle".
  ASSERT_TRUE(MoveProductsToCategory(t.doc, {1, {0}}, 0));
  EXPECT_EQ(t.Names(0), (std::vector<std::u16string>{u"x", u"C"}));
}

TEST(MoveToOtherCategory, SingleCategoryMovesNothing) {
  EditingDoc t;
  t.AddCategory(u"Einzig", {u"A"});
  EXPECT_TRUE(MoveTargetNames(t.doc, 0).empty());
  EXPECT_FALSE(MoveProductsToCategory(t.doc, {0, {0}}, 0));
  EXPECT_EQ(t.Names(0), std::vector<std::u16string>{u"A"});
  EXPECT_FALSE(t.doc.changed);
}
