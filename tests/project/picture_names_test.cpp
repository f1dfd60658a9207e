// Saving a project into another folder keeps every picture reference pointing
// at the same file: bare names only for files in the new file's own folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/codepage.h"
#include "project/fileio.h"
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

TEST(PictureNames, BareNamesAreLookedForInTheProjectThenTheProgramThenTheCurrentFolder) {
  const std::string root = MakeTempDir();
  const std::string proj = root + "proj/", prog = root + "prog/", cwd = root + "cwd/",
                    other = root + "other/";
  for (const std::string& d : {proj, prog, cwd, other}) ::mkdir(d.c_str(), 0755);
  WriteBytes(proj + "both.jpg", "p");
  WriteBytes(prog + "both.jpg", "q");
  WriteBytes(prog + "prog.jpg", "q");
  WriteBytes(cwd + "prog.jpg", "c");
  WriteBytes(cwd + "cwd.jpg", "c");
  ::mkdir((proj + "dir.jpg").c_str(), 0755);  // not a file: passed over
  WriteBytes(prog + "dir.jpg", "q");

  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
  Document doc;
  doc.afilename = ql::FromUtf8(proj) + u"x.pk2";
  doc.progpath = ql::FromUtf8(prog);
  const std::u16string P = ql::FromUtf8(proj), Q = ql::FromUtf8(prog);
  const std::u16string both = doc.FindPicture(u"both.jpg"), inprog = doc.FindPicture(u"prog.jpg"),
                       incwd = doc.FindPicture(u"cwd.jpg"), none = doc.FindPicture(u"none.jpg"),
                       dir = doc.FindPicture(u"dir.jpg"), sub = doc.FindPicture(u"sub/a.jpg");
  // A program folder given without its final separator.
  const std::u16string noslash = project::FindPictureFile(u"prog.jpg", u"", Q.substr(0, Q.size() - 1));
  Document untitled;
  untitled.progpath = Q;
  const std::u16string untitledNone = untitled.FindPicture(u"none.jpg");
  const std::u16string untitledProg = untitled.FindPicture(u"prog.jpg");

  // Saved elsewhere, every picture keeps the file it was drawn from; saved
  // into the project's folder, only the file lying there is bare.
  Category* c = doc.AddCategory(u"K");
  Product* p = doc.AddProduct(*c);
  for (const char16_t* n : {u"both.jpg", u"prog.jpg", u"cwd.jpg", u"none.jpg"})
    doc.AddPicture(*p)->filename = n;
  doc.settings.FilenameEdit1 = u"prog.jpg";
  const bool savedOther = SaveProjectFile(doc, other + "y.pk2");
  const bool savedHome = SaveProjectFile(doc, proj + "z.pk2");
  // A snapshot (no file) keeps the names as held.
  Document snap;
  const bool readSnap = ReadProjectBytes(snap, ProjectFileBytes(doc, std::string()), ProjectFormat::Current,
                                         std::string(), ReadOptions{});
  ASSERT_EQ(::chdir(previous), 0);

  EXPECT_EQ(both, P + u"both.jpg");
  EXPECT_EQ(inprog, Q + u"prog.jpg");
  EXPECT_EQ(incwd, u"cwd.jpg");
  EXPECT_EQ(none, u"none.jpg") << "found nowhere: the current folder, as a bare name always meant";
  EXPECT_EQ(dir, Q + u"dir.jpg");
  EXPECT_EQ(sub, u"sub/a.jpg");
  EXPECT_EQ(noslash, Q + u"prog.jpg");
  EXPECT_EQ(untitledNone, u"none.jpg");
  EXPECT_EQ(untitledProg, Q + u"prog.jpg");

  ASSERT_TRUE(savedOther && savedHome && readSnap);
  Document back;
  ASSERT_TRUE(OpenFileWithName(back, other + "y.pk2"));
  std::vector<std::u16string> refs = References(back);
  EXPECT_EQ(refs[0], P + u"both.jpg");
  EXPECT_EQ(refs[1], Q + u"prog.jpg");
  EXPECT_EQ(refs[2], ql::FromUtf8(cwd) + u"cwd.jpg");
  EXPECT_EQ(refs[3], ql::FromUtf8(cwd) + u"none.jpg");
  EXPECT_EQ(back.settings.FilenameEdit1, Q + u"prog.jpg");
  // Read as if it lay elsewhere: only the names stored bare move along.
  ASSERT_TRUE(ReadProjectBytes(back, ReadBytes(proj + "z.pk2"), ProjectFormat::Current, "/nowhere/z.pk2",
                               ReadOptions{}));
  refs = References(back);
  EXPECT_EQ(refs[0], u"/nowhere/both.jpg");
  EXPECT_EQ(refs[1], Q + u"prog.jpg");
  EXPECT_EQ(refs[3], ql::FromUtf8(cwd) + u"none.jpg");
  refs = References(snap);
  EXPECT_EQ(refs[0], u"both.jpg");
  EXPECT_EQ(refs[1], u"prog.jpg");
}

TEST(PictureNames, TheReaderLooksForABareNameInTheProgramFolderToo) {
  // A file holding a bare name of a picture beside the program (as the
  // default logo is): found there wherever the project lies.
  const std::string root = MakeTempDir();
  const std::string proj = root + "proj/", prog = root + "prog/";
  ::mkdir(proj.c_str(), 0755);
  ::mkdir(prog.c_str(), 0755);
  WriteBytes(prog + "logo.gif", "l");
  WriteBytes(proj + "own.jpg", "o");
  WriteBytes(prog + "own.jpg", "x");
  Document doc;
  Product* p = doc.AddProduct(*doc.AddCategory(u"K"));
  doc.AddPicture(*p)->filename = u"own.jpg";
  doc.AddPicture(*p)->filename = u"gone.jpg";
  doc.settings.FilenameEdit1 = u"logo.gif";
  // Written as a snapshot, the names stay bare in the bytes.
  const std::string bytes = ProjectFileBytes(doc, std::string());
  Document opened;
  opened.progpath = ql::FromUtf8(prog);
  ASSERT_TRUE(ReadProjectBytes(opened, bytes, ProjectFormat::Current, proj + "k.pk2", ReadOptions{}));
  EXPECT_EQ(opened.progpath, ql::FromUtf8(prog));
  EXPECT_EQ(opened.settings.FilenameEdit1, ql::FromUtf8(prog) + u"logo.gif");
  const auto refs = References(opened);
  EXPECT_EQ(refs[0], ql::FromUtf8(proj) + u"own.jpg") << "the project's folder comes first";
  EXPECT_EQ(refs[1], ql::FromUtf8(proj) + u"gone.jpg") << "found nowhere: the project's folder, as before";
}
