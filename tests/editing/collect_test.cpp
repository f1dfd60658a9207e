#include "editing/collect.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/codepage.h"
#include "editing/templatecols.h"
#include "fixture.h"

using namespace editing;
namespace fs = std::filesystem;

namespace {
struct TempDir {
  fs::path path;
  TempDir() {
    path = fs::temp_directory_path() / ("quillane-editing-" + std::to_string(::getpid()) + "-" +
                                        std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
  std::u16string Write(const std::string& rel, const std::string& bytes) {
    fs::path f = path / rel;
    fs::create_directories(f.parent_path());
    std::ofstream(f, std::ios::binary) << bytes;
    return ql::FromUtf8(f.string());
  }
  std::u16string Name(const std::string& rel) const { return ql::FromUtf8((path / rel).string()); }
};

std::string Read(const std::u16string& name) {
  std::ifstream in(fs::u8path(ql::ToUtf8(name)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST(CollectPictures, CollisionsGetNumberedNames) {
  TempDir d;
  EditingDoc t;
  t.AddCategory(u"K", {u"P", u"Q"});
  t.AddCategory(u"ohne Bild");
  Category& k = t.doc.kats[0];  // adding categories may move them
  k.options = std::make_unique<CategoryOptions>(NewCategoryOptions());
  k.options->picfile = d.Write("a/bild.jpg", "A");
  t.doc.AddPicture(k.products[0])->filename = d.Write("b/bild.jpg", std::string(10000, 'B'));
  t.doc.AddPicture(k.products[1])->filename = d.Write("c/bild.jpg", "C");
  std::u16string missing = d.Name("fehlt/bild.jpg");
  t.doc.AddPicture(k.products[1])->filename = missing;

  ScriptedFeedback fb;
  CollectResult r = CollectPictures(t.doc, d.Name("ziel/neu"), fb, [](const std::string&) { return true; });
  EXPECT_TRUE(r.folderOk);
  EXPECT_EQ(r.copied, 3);
  EXPECT_EQ(r.failed, 1);
  EXPECT_EQ(k.options->picfile, d.Name("ziel/neu/bild.jpg"));
  EXPECT_EQ(k.products[0].pictures[0].filename, d.Name("ziel/neu/bild0.jpg"));
  EXPECT_EQ(k.products[1].pictures[0].filename, d.Name("ziel/neu/bild1.jpg"));
  EXPECT_EQ(Read(k.products[0].pictures[0].filename), std::string(10000, 'B'));
  EXPECT_EQ(Read(k.products[1].pictures[0].filename), "C");
  // The failed copy keeps its reference and leaves no file behind.
  EXPECT_EQ(k.products[1].pictures[1].filename, missing);
  EXPECT_FALSE(fs::exists(d.path / "ziel/neu/bild2.jpg"));
  EXPECT_EQ(t.doc.kats[1].options, nullptr);
  ASSERT_EQ(fb.Messages(), 2);
  EXPECT_EQ(fb.shown[0].text.rfind(u"Fehler beim Kopieren der Datei: \n" + missing + u"\n nach \n", 0), 0u);
  EXPECT_EQ(fb.shown[1].caption, u"Bilddateien kopieren");
  EXPECT_FALSE(t.doc.changed);
}

TEST(CollectPictures, FolderThatCannotBeCreatedChangesNothing) {
  TempDir d;
  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"P"}).products[0];
  std::u16string src = d.Write("bild.jpg", "x");
  t.doc.AddPicture(p)->filename = src;
  std::u16string blocker = d.Write("datei", "kein Ordner");
  ScriptedFeedback fb;
  CollectResult r = CollectPictures(t.doc, blocker + u"/unter", fb, [](const std::string&) { return true; });
  EXPECT_FALSE(r.folderOk);
  EXPECT_EQ(p.pictures[0].filename, src);
  EXPECT_EQ(fb.Messages(), 1);
}

TEST(TemplateColumns, CommandsAndFiles) {
  TempDir d;
  EditingDoc t;
  t.doc.templatecolumns = {u"Name", u"Nr", u"Preis"};
  EXPECT_EQ(MoveTemplateColumnUp(t.doc, {0}), 0);
  EXPECT_EQ(MoveTemplateColumnDown(t.doc, {2, 0}), 1);
  EXPECT_EQ(t.doc.templatecolumns, (std::vector<std::u16string>{u"Nr", u"Name", u"Preis"}));
  int32_t i = NewTemplateColumn(t.doc);
  EXPECT_TRUE(RenameTemplateColumn(t.doc, i, u"Größe"));
  EXPECT_EQ(DeleteTemplateColumns(t.doc, {2, 0, 7}), 2);
  EXPECT_EQ(t.doc.templatecolumns, (std::vector<std::u16string>{u"Name", u"Größe"}));

  std::u16string f = d.Name("v.vor");
  ASSERT_TRUE(SaveTemplate(t.doc, f));
  EXPECT_EQ(Read(f),
            "Name\r\nGr\xF6\xDF"
            "e\r\n");
  t.doc.templatecolumns = {u"x", u"y", u"z", u"w"};
  ASSERT_TRUE(LoadTemplate(t.doc, f));
  EXPECT_EQ(t.doc.templatecolumns, (std::vector<std::u16string>{u"Name", u"Größe"}));
  EXPECT_FALSE(LoadTemplate(t.doc, d.Name("fehlt.vor")));
  EXPECT_EQ(t.doc.templatecolumns.size(), 2u);
  EXPECT_FALSE(t.doc.changed);
}
