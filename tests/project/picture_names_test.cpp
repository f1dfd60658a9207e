// Saving a project into another folder keeps every picture reference pointing
// at the same file: bare names only for files in the new file's own folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/codepage.h"
#include "project/projectfile.h"
#include "projectfile_testutil.h"

using namespace pftest;

namespace {

// Every picture reference the project file stores.
std::vector<std::u16string> References(const Document& d) {
  std::vector<std::u16string> out;
  for (const Category& c : d.kats) {
    if (c.options) out.push_back(c.options->picfile);
    for (const Product& p : c.products)
      for (const Picture& b : p.pictures) out.push_back(b.filename);
  }
  out.push_back(d.settings.FilenameEdit1);
  out.push_back(d.settings.FilenameEdit2);
  out.push_back(d.settings.FilenameEdit3);
  return out;
}

// The file a reference names, as device and inode (0,0 when it does not open).
std::pair<dev_t, ino_t> Identity(const std::u16string& name) {
  struct stat st {};
  if (::stat(ql::ToUtf8(name).c_str(), &st) != 0) return {0, 0};
  return {st.st_dev, st.st_ino};
}

struct PictureProject {
  std::string root = MakeTempDir();
  std::string folder = root + "proj/";

  // A project in `folder` whose pictures, logo and backgrounds all lie beside
  // it, stored with bare names; returns the file's name.
  std::string Write() {
    ::mkdir(folder.c_str(), 0755);
    Document doc;
    Category* c = doc.AddCategory(u"Töpfe");
    c->options = std::make_unique<CategoryOptions>();
    c->options->picfile = ql::FromUtf8(folder) + u"kat.jpg";
    Product* p = doc.AddProduct(*c);
    for (const char* n : {"a.jpg", "b b.png"}) doc.AddPicture(*p)->filename = ql::FromUtf8(folder + n);
    doc.settings.FilenameEdit1 = ql::FromUtf8(folder) + u"logo.gif";
    doc.settings.FilenameEdit2 = ql::FromUtf8(folder) + u"bg.jpg";
    doc.settings.FilenameEdit3 = ql::FromUtf8(folder) + u"bg2.jpg";
    for (const auto& n : References(doc)) WriteBytes(ql::ToUtf8(n), "picture");
    const std::string path = folder + "x.pk2";
    EXPECT_TRUE(SaveProjectFile(doc, path));
    return path;
  }
};

// Opens `path`, checks every reference names an existing picture and returns
// the references.
std::vector<std::u16string> OpenAndCheck(const std::string& path,
                                         const std::vector<std::pair<dev_t, ino_t>>& want) {
  Document d;
  std::u16string error;
  EXPECT_TRUE(OpenFileWithName(d, path, &error)) << ql::ToUtf8(error);
  std::vector<std::u16string> refs = References(d);
  EXPECT_EQ(refs.size(), want.size());
  for (size_t i = 0; i < refs.size() && i < want.size(); ++i) {
    EXPECT_NE(Identity(refs[i]).second, ino_t(0)) << path << ": " << ql::ToUtf8(refs[i]) << " does not open";
    EXPECT_EQ(Identity(refs[i]), want[i]) << path << ": " << ql::ToUtf8(refs[i]);
  }
  return refs;
}

std::vector<std::pair<dev_t, ino_t>> Identities(const std::vector<std::u16string>& refs) {
  std::vector<std::pair<dev_t, ino_t>> out;
  for (const auto& r : refs) out.push_back(Identity(r));
  return out;
}

}  // namespace

TEST(PictureNames, SavedIntoASiblingOrSubfolderEveryPictureStillResolves) {
  PictureProject pp;
  const std::string original = pp.Write();
  Document doc;
  ASSERT_TRUE(OpenFileWithName(doc, original));
  const auto want = Identities(References(doc));
  for (const auto& w : want) ASSERT_NE(w.second, ino_t(0));

  const std::string sibling = pp.root + "elsewhere/";
  const std::string sub = pp.folder + "sub/";
  ::mkdir(sibling.c_str(), 0755);
  ::mkdir(sub.c_str(), 0755);
  ASSERT_TRUE(SaveProjectFile(doc, sibling + "katalog.pk2"));
  ASSERT_TRUE(SaveProjectFile(doc, sub + "katalog.pk2"));
  OpenAndCheck(sibling + "katalog.pk2", want);
  OpenAndCheck(sub + "katalog.pk2", want);

  // Saved back from the moved copy into the pictures' folder, the names are
  // bare again: the same bytes read from any other folder resolve there.
  Document moved;
  ASSERT_TRUE(OpenFileWithName(moved, sibling + "katalog.pk2"));
  const std::string back = pp.folder + "back.pk2";
  ASSERT_TRUE(SaveProjectFile(moved, back));
  OpenAndCheck(back, want);
  Document elsewhere;
  ASSERT_TRUE(
      ReadProjectBytes(elsewhere, ReadBytes(back), ProjectFormat::Current, "/nowhere/y.pk2", ReadOptions{}));
  for (const auto& r : References(elsewhere)) EXPECT_EQ(r.rfind(u"/nowhere/", 0), 0u) << ql::ToUtf8(r);
}

TEST(PictureNames, ProjectOpenedFromItsOwnFolderByBareNameMovesWithFullNames) {
  // The user's case: the project is opened by its bare name from its folder,
  // so its pictures are held by bare names relative to the current folder.
  PictureProject pp;
  pp.Write();
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(pp.folder.c_str()), 0);
  Document doc;
  const bool opened = OpenFileWithName(doc, "x.pk2");
  const auto refs = References(doc);
  const auto want = Identities(refs);
  ::mkdir("../elsewhere", 0755);
  ::mkdir("./sub", 0755);
  const bool savedSibling = SaveProjectFile(doc, "../elsewhere/katalog.pk2");
  const bool savedSub = SaveProjectFile(doc, "sub/./katalog.pk2");
  const bool savedHere = SaveProjectFile(doc, "again.pk2");
  ASSERT_EQ(::chdir(previous), 0);
  ASSERT_TRUE(opened && savedSibling && savedSub && savedHere);
  EXPECT_EQ(refs[1], u"a.jpg");
  for (const auto& w : want) ASSERT_NE(w.second, ino_t(0));
  OpenAndCheck(pp.root + "elsewhere/katalog.pk2", want);
  OpenAndCheck(pp.folder + "sub/katalog.pk2", want);
  EXPECT_EQ(ReadBytes(pp.folder + "again.pk2"), ReadBytes(pp.folder + "x.pk2"));
}
