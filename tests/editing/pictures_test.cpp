#include <gtest/gtest.h>

#include <set>

#include "editing/picturelist.h"
#include "fixture.h"

using namespace editing;

namespace {
// Loads every name except those listed as unreadable.
struct FakeProbe {
  std::set<std::u16string> unreadable;
  std::vector<std::u16string> asked;
  PictureProbe Fn() {
    return [this](const std::u16string& path, int& w, int& h) {
      asked.push_back(path);
      if (unreadable.count(path)) return false;
      w = 640;
      h = 480;
      return true;
    };
  }
};

std::vector<std::u16string> Files(const Product& p) {
  std::vector<std::u16string> v;
  for (const Picture& pic : p.pictures) v.push_back(pic.filename);
  return v;
}
}  // namespace

TEST(PictureList, AddSkipsUnreadableAndStripsProgramFolder) {
  EditingDoc t;
  t.AddCategory(u"K", {u"Ring"});
  FakeProbe probe;
  probe.unreadable = {u"/home/u/kaputt.jpg"};
  ScriptedFeedback fb;
  AddPicturesResult r = AddPictures(
      t.doc, {0, {0}},
      {u"/opt/quillane/eins.jpg", u"/home/u/kaputt.jpg", u"/home/u/drei.png", u"/opt/quillane/sub/vier.jpg"},
      u"/opt/quillane/", 5.5, probe.Fn(), fb);
  EXPECT_EQ(r.added, 3);
  EXPECT_EQ(r.preview, u"/opt/quillane/sub/vier.jpg");
  const Product& p = t.doc.kats[0].products[0];
  EXPECT_EQ(Files(p),
            (std::vector<std::u16string>{u"eins.jpg", u"/home/u/drei.png", u"/opt/quillane/sub/vier.jpg"}));
  EXPECT_EQ(p.pictures[1].width, 5.5);
  ASSERT_EQ(fb.Messages(), 1);
  EXPECT_EQ(fb.shown[0].text, u"Konnte das Bild nicht laden.\n/home/u/kaputt.jpg")
      << "the message names the picture";
  EXPECT_EQ(fb.shown[0].icon, MessageIcon::Error);
  EXPECT_TRUE(t.doc.changed);
}

TEST(PictureList, AllUnreadableLeavesDocumentUnchanged) {
  EditingDoc t;
  t.AddCategory(u"K", {u"Ring"});
  FakeProbe probe;
  probe.unreadable = {u"a.jpg"};
  ScriptedFeedback fb;
  EXPECT_EQ(AddPictures(t.doc, {0, {0}}, {u"a.jpg"}, u"/p/", 8, probe.Fn(), fb).added, 0);
  EXPECT_FALSE(t.doc.changed);
  // Without a product nothing is even loaded.
  EXPECT_EQ(AddPictures(t.doc, {0, {}}, {u"b.jpg"}, u"/p/", 8, probe.Fn(), fb).added, 0);
  EXPECT_EQ(probe.asked.size(), 1u);
}

TEST(PictureList, DeleteMoveWidth) {
  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"Ring"}).products[0];
  for (auto n : {u"a", u"b", u"c"}) t.doc.AddPicture(p)->filename = n;
  Selection sel{0, {0}};
  EXPECT_EQ(MovePictureUp(t.doc, sel, 0), 0);
  EXPECT_EQ(MovePictureDown(t.doc, sel, 2), 2);
  EXPECT_FALSE(t.doc.changed);
  EXPECT_EQ(MovePictureDown(t.doc, sel, 0), 1);
  EXPECT_EQ(Files(p), (std::vector<std::u16string>{u"b", u"a", u"c"}));
  EXPECT_TRUE(t.doc.changed);

  EXPECT_TRUE(SetPictureWidth(t.doc, sel, 2, 7.25));
  EXPECT_EQ(p.pictures[2].width, 7.25);
  EXPECT_FALSE(SetPictureWidth(t.doc, sel, 3, 1));

  EXPECT_EQ(DeletePicture(t.doc, sel, 0), 0);   // the next one takes the place
  EXPECT_EQ(DeletePicture(t.doc, sel, 1), -1);  // the last: none selected
  EXPECT_EQ(Files(p), std::vector<std::u16string>{u"a"});
  EXPECT_EQ(DeletePicture(t.doc, sel, 5), -1);
  EXPECT_EQ(p.pictures.Count(), 1u);
}

TEST(PictureList, PreviewUsesStoredName) {
  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"Ring"}).products[0];
  Picture* a = t.doc.AddPicture(p);
  a->filename = u"bild.jpg";
  a->width = 4;
  t.doc.AddPicture(p)->filename = u"weg.jpg";
  FakeProbe probe;
  probe.unreadable = {u"weg.jpg"};
  ScriptedFeedback fb;
  PreviewResult r = PreviewPicture(t.doc, {0, {0}}, 0, probe.Fn(), fb);
  EXPECT_TRUE(r.loaded);
  EXPECT_EQ(r.file, u"bild.jpg");
  EXPECT_EQ(r.width, 4);
  EXPECT_FALSE(PreviewPicture(t.doc, {0, {0}}, 1, probe.Fn(), fb).loaded);
  EXPECT_EQ(fb.Messages(), 1);
  EXPECT_FALSE(t.doc.changed);
}
