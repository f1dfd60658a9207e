#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>

#include "core/codepage.h"
#include "i18n/messages.h"
#include "i18n/translate.h"
#include "project/dumpjson.h"
#include "project/projectfile.h"
#include "projectfile_testutil.h"

using namespace pftest;

namespace {

// Little-endian file content written by hand.
struct Bytes {
  std::string s;
  Bytes& u8(int v) {
    s.push_back(static_cast<char>(v));
    return *this;
  }
  Bytes& i32(int64_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(static_cast<uint32_t>(v) >> (8 * i)));
    return *this;
  }
  Bytes& f64(double d) {
    uint64_t b;
    std::memcpy(&b, &d, 8);
    for (int i = 0; i < 8; ++i) s.push_back(static_cast<char>(b >> (8 * i)));
    return *this;
  }
  Bytes& astr(const std::string& t) {
    i32(static_cast<int64_t>(t.size()));
    s += t;
    return *this;
  }
  Bytes& wstr(const std::u16string& t) {
    i32(static_cast<int64_t>(t.size()));
    for (char16_t c : t) u8(c & 0xFF).u8(c >> 8);
    return *this;
  }
  Bytes& font(const std::u16string& name, int size, int style) {
    u8(0).i32(0x000000FF).u8(static_cast<int>(name.size()));
    for (char16_t c : name) u8(c & 0xFF).u8(c >> 8);
    return u8(2).i32(96).i32(size).u8(style);
  }
};

// A document that must survive failed opens untouched.
struct OpenDocument {
  Document doc;
  std::string before;
  OpenDocument() {
    doc.AddCategory(u"Alt");
    SetDistinctSettings(doc.settings, 4);
    doc.afilename = u"alt.pk2";
    doc.maincap = u"Quillane";
    doc.SetChanged();
    before = project::DumpJson(doc, "");
  }
  void ExpectUntouched() {
    EXPECT_EQ(project::DumpJson(doc, ""), before);
    EXPECT_EQ(doc.afilename, u"alt.pk2");
    EXPECT_TRUE(doc.changed);
  }
};

std::u16string OpenBytes(Document& doc, const std::string& bytes, ProjectFormat f = ProjectFormat::Current) {
  std::u16string error;
  EXPECT_FALSE(ReadProjectBytes(doc, bytes, f, "/d/kaputt.pk2", ReadOptions{}, &error));
  EXPECT_NE(error.find(u"/d/kaputt.pk2"), std::u16string::npos) << ql::ToUtf8(error);
  return error;
}

// Parts A and B of a written file: its shortest prefix that opens.
std::string PartsAB(const std::string& full) {
  for (size_t k = 0; k <= full.size(); ++k) {
    Document d;
    if (ReadProjectBytes(d, std::string_view(full).substr(0, k), ProjectFormat::Current, "/d/x.pk2",
                         ReadOptions{}))
      return full.substr(0, k);
  }
  return {};
}

bool Contains(const std::u16string& s, const char16_t* part) { return s.find(part) != std::u16string::npos; }

}  // namespace

TEST(ProjectFileDamage, BadCountsAndEarlyEndsAreRejectedAndTheOpenDocumentStays) {
  OpenDocument open;

  // A category count far beyond what 40 bytes can hold: rejected at once.
  Bytes huge;
  huge.i32(2147483647);
  huge.s.resize(40);
  const auto t0 = std::chrono::steady_clock::now();
  std::u16string e = OpenBytes(open.doc, huge.s);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(100));
  EXPECT_TRUE(Contains(e, u"2147483647")) << ql::ToUtf8(e);
  open.ExpectUntouched();

  // Negative counts, wherever they are.
  OpenBytes(open.doc, Bytes().i32(-1).s);
  EXPECT_TRUE(Contains(OpenBytes(open.doc, Bytes().i32(1).wstr(u"K").i32(-5).s), u"-5"));
  auto product = [](Bytes& b) -> Bytes& { return b.i32(1).wstr(u"K").i32(1).wstr(u"P").wstr(u"").i32(1); };
  Bytes rows;
  product(rows).i32(-1);
  OpenBytes(open.doc, rows.s);
  Bytes cells;
  product(cells).i32(1).i32(-1);
  OpenBytes(open.doc, cells.s);
  Bytes pics;
  product(pics).i32(0).i32(-2);
  OpenBytes(open.doc, pics.s);
  Bytes text;
  text.i32(1).i32(-3);
  OpenBytes(open.doc, text.s);
  // A text longer than the file.
  Bytes longText;
  longText.i32(1).i32(1000).s += "abcd";
  OpenBytes(open.doc, longText.s);
  open.ExpectUntouched();

  // Ends inside part A and inside part B name the part.
  Document rich;
  FillRichDocument(rich, u"/d/");
  const std::string full = ProjectFileBytes(rich, "/d/x.pk2");
  const std::string ab = PartsAB(full);
  ASSERT_FALSE(ab.empty());
  EXPECT_TRUE(Contains(OpenBytes(open.doc, full.substr(0, 30)), u"Teil A"));
  EXPECT_TRUE(Contains(OpenBytes(open.doc, ab.substr(0, ab.size() - 1)), u"Teil B"));
  // The last three groups: a flag per category (9 bytes here), then two single
  // bytes; cutting the last byte of the first of them leaves it incomplete.
  EXPECT_TRUE(Contains(OpenBytes(open.doc, full.substr(0, full.size() - 3)), u"Gruppe 69"));
  open.ExpectUntouched();

  // A file that cannot be opened at all.
  std::u16string error;
  EXPECT_FALSE(OpenFileWithName(open.doc, "/nonexistent/dir/x.pk2", &error));
  EXPECT_EQ(error.rfind(i18n::Msg(1) + u"/nonexistent/dir/x.pk2", 0), 0u) << ql::ToUtf8(error);
  EXPECT_FALSE(OpenFileWithNameOLD(open.doc, "/nonexistent/dir/x.pkd", &error));
  EXPECT_FALSE(OpenFileWithName(open.doc, MakeTempDir(), &error));  // a folder
  open.ExpectUntouched();
}

TEST(ProjectFileDamage, PartCCountsBeyondPartAAreConsumedWhenTheBytesAreThere) {
  Document doc;
  doc.AddCategory(u"ohne");
  doc.AddProduct(doc.kats[0]);
  doc.AddCategory(u"mit");
  doc.AddProduct(doc.kats[1]);
  const std::string ab = PartsAB(ProjectFileBytes(doc, "/d/x.pk2"));
  ASSERT_FALSE(ab.empty());

  Bytes c;
  c.s = ab;
  c.u8(1).i32(1).u8(0).f64(7).u8(0).u8(1).i32(1).i32(2).i32(2).u8(0);  // groups 23 ... 30
  // 31: four entries for two categories; the third is read and dropped.
  c.i32(4).u8(0);
  c.u8(1).wstr(u"I1").wstr(u"").f64(2.5).i32(1).u8(1);
  c.u8(1).wstr(u"X").wstr(u"y.jpg").f64(9).i32(0).u8(0);
  c.u8(0);
  c.f64(1).f64(2).i32(3).i32(4).i32(5).i32(6).i32(7);  // 32
  // 33: a flag for the category without options is consumed without effect;
  // the extra third entry and extra product values are dropped.
  c.i32(3).u8(1).u8(1).u8(1).u8(1).u8(1).u8(0);
  c.i32(3).i32(2).u8(1).u8(1).i32(1).u8(1).i32(2).u8(0).u8(0);
  const std::string good = c.s;

  Document d;
  std::u16string error;
  ASSERT_TRUE(ReadProjectBytes(d, good, ProjectFormat::Current, "/d/x.pk2", ReadOptions{}, &error))
      << ql::ToUtf8(error);
  EXPECT_EQ(d.kats[0].options, nullptr);
  ASSERT_NE(d.kats[1].options, nullptr);
  EXPECT_EQ(d.kats[1].options->introtext, u"I1");
  EXPECT_TRUE(d.kats[1].options->nonewpage);
  EXPECT_EQ(d.kats[1].options->picbelowname, 1);
  EXPECT_TRUE(d.kats[0].products[0].pagebreakafter);
  EXPECT_TRUE(d.kats[1].products[0].pagebreakafter);
  EXPECT_TRUE(d.settings.BackgroundColorCheck);
  EXPECT_EQ(d.settings.LayoutCombo, 2);
  EXPECT_EQ(d.settings.Shape11, 7u);

  // The same file cut inside the extra entries, or claiming more entries
  // than it holds, is damaged.
  OpenDocument open;
  EXPECT_TRUE(Contains(OpenBytes(open.doc, good.substr(0, good.size() - 1)), u"Gruppe 33"));
  Bytes more;
  more.s = good.substr(0, good.size() - 40);
  OpenBytes(open.doc, more.s);
  Bytes neg;
  neg.s = ab;
  neg.u8(1).i32(1).u8(0).f64(7).u8(0).u8(1).i32(1).i32(2).i32(2).u8(0).i32(-1);
  EXPECT_TRUE(Contains(OpenBytes(open.doc, neg.s), u"Gruppe 31"));
  open.ExpectUntouched();
}

TEST(ProjectFileOlder, EightBitTextsBareNamesAndTheMissingGroups) {
  // An older file: 8-bit texts, UTF-16 font names, groups up to 43.
  Bytes b;
  b.i32(1).astr(
      "K\xFC"
      "che");
  b.i32(1)
      .astr(
          "Gr\xF6\xDF"
          "e")
      .astr("\x80 5")
      .i32(2);
  b.i32(2).i32(2).astr("Ma\xDF").astr("Preis").i32(3).astr("").astr("").astr("");
  b.i32(1).f64(3.5).astr("bild.jpg");
  b.i32(1).astr("T\xE4");
  b.i32(4).astr("bg.jpg").astr("logo.gif");
  b.f64(11).f64(12).f64(13).f64(14).f64(15).u8(0).u8(0);
  b.astr("Fu\xDF").astr("F2").astr("Kopf").u8(1);
  b.f64(16).f64(17).u8(0).i32(0x112233).u8(0).i32(0x445566);
  b.u8(0).u8(0).u8(0).i32(1).i32(2).u8(1).f64(18).f64(19).u8(1).i32(7);
  b.f64(20).f64(21).f64(22).f64(23).u8(0).u8(1).u8(0).f64(24).f64(25).u8(0);
  for (int i = 0; i < 9; ++i) b.font(u"Schrift\u00E4" + std::u16string(1, char16_t(u'0' + i)), 8 + i, i % 16);
  b.u8(1).i32(1).u8(0).f64(26).u8(1).u8(1).i32(0xABCDEF).i32(0x123456).i32(5).u8(1);  // 23 ... 30
  b.i32(1).u8(1).astr("Einf\xFChrung").astr("kat.jpg").f64(2.5).i32(1).u8(1);         // 31
  b.f64(0.5).f64(0.7).i32(1).i32(2).i32(3).i32(4).i32(5);                             // 32
  b.i32(1).u8(1).u8(1).i32(1).i32(1).u8(1);                                           // 33
  b.u8(1).u8(1).u8(1).f64(31).f64(32).f64(33).f64(34).f64(35).f64(36);                // 34, 35
  b.i32(1).u8(1).u8(1);                                                               // 36
  b.font(u"Inhalt", 30, 1);                                                           // 37
  b.i32(1).i32(1).u8(1).u8(1).u8(0).u8(1).u8(0).u8(1).u8(1).u8(0);                    // 38 ... 41
  b.i32(1).u8(1).u8(1).u8(1).f64(0.25);                                               // 42, 42a, 42b
  b.i32(1).u8(1).u8(1);                                                               // 43
  const std::string bytes = b.s;

  const std::string dir = MakeTempDir();
  WriteBytes(dir + "alt.PKD", bytes + std::string("\x01\x02\x03", 3));  // nothing is read after group 43
  Document doc;
  SetDistinctSettings(doc.settings, 5);
  const CatalogSettings previous = doc.settings;
  std::u16string error;
  ASSERT_TRUE(OpenProjectFile(doc, dir + "alt.PKD", ReadOptions{}, &error)) << ql::ToUtf8(error);
  ASSERT_EQ(doc.kats.Count(), 1u);
  EXPECT_EQ(doc.kats[0].name, u"K\u00FCche");
  const Product& p = doc.kats[0].products[0];
  EXPECT_EQ(p.name, u"Gr\u00F6\u00DFe");
  EXPECT_EQ(p.description, u"\u20AC 5");
  EXPECT_EQ(p.variants.Count(), 1u);  // the empty second row is dropped
  EXPECT_EQ(p.variants[0].cells[0].text, u"Ma\u00DF");
  EXPECT_EQ(p.pictures[0].filename, u"bild.jpg");  // as stored, no project folder
  EXPECT_TRUE(p.pagebreakafter);
  EXPECT_TRUE(p.deactivated);
  EXPECT_DOUBLE_EQ(p.rowheight, kDefaultRowHeight);
  EXPECT_EQ(doc.templatecolumns, std::vector<std::u16string>{u"T\u00E4"});
  EXPECT_EQ(doc.settings.FilenameEdit1, u"logo.gif");
  EXPECT_EQ(doc.settings.FussEd, u"Fu\u00DF");
  EXPECT_EQ(doc.settings.FontDialog2.name, u"Schrift\u00E41");
  EXPECT_EQ(doc.settings.FontDialog9.size, 16);
  EXPECT_EQ(doc.settings.FontDialog11.name, u"Inhalt");
  EXPECT_EQ(doc.settings.LayoutCombo, 5);
  EXPECT_DOUBLE_EQ(doc.settings.LineAddSpaceEd, 0.25);
  const CategoryOptions& o = *doc.kats[0].options;
  EXPECT_EQ(o.introtext, u"Einf\u00FChrung");
  EXPECT_EQ(o.picfile, u"kat.jpg");
  EXPECT_TRUE(o.nonewpage && o.istoc && o.firstproductnewpage && o.pictureonly);
  EXPECT_FALSE(o.picasbackground || o.notintoc || o.ownareacolor);
  EXPECT_EQ(o.fontcolor, 0u);
  // Settings of the current format only keep their previous values.
  EXPECT_EQ(doc.settings.PDFRandEd, previous.PDFRandEd);
  EXPECT_EQ(doc.settings.FilenameEdit3, previous.FilenameEdit3);
  EXPECT_EQ(doc.settings.SetPicHeightCheck, previous.SetPicHeightCheck);
  EXPECT_EQ(doc.afilename, ql::FromUtf8(dir + "alt.PKD"));

  // Saved, it is a current-format file with every group.
  doc.settings.SetPicHeightCheck = !previous.SetPicHeightCheck;
  ASSERT_TRUE(SaveProjectFile(doc, dir + "neu.pk2", &error));
  Document again;
  ASSERT_TRUE(OpenProjectFile(again, dir + "neu.pk2", ReadOptions{}, &error));
  EXPECT_EQ(again.settings.SetPicHeightCheck, !previous.SetPicHeightCheck);
  // The older format's bare name meant the current folder; saved elsewhere
  // it is stored in full, so it still names that file.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(again.kats[0].products[0].pictures[0].filename, ql::FromUtf8(cwd) + u"/bild.jpg");

  // Cut between groups it opens, cut inside one it is damaged.
  OpenDocument open;
  EXPECT_TRUE(
      Contains(OpenBytes(open.doc, bytes.substr(0, bytes.size() - 1), ProjectFormat::Older), u"Gruppe 43"));
  OpenBytes(open.doc, bytes.substr(0, 20), ProjectFormat::Older);
  open.ExpectUntouched();
  Document cut;
  EXPECT_TRUE(ReadProjectBytes(cut, std::string_view(bytes).substr(0, bytes.size() - 21),
                               ProjectFormat::Older, "/d/x.pkd", ReadOptions{}));
  EXPECT_FALSE(cut.settings.PreisLinksCheck);
}

TEST(ProjectFileSave, FailedSaveKeepsTheOldFileAndReports) {
  const std::string dir = MakeTempDir();
  Document doc;
  FillRichDocument(doc, ql::FromUtf8(dir));
  const std::string path = dir + "k.pk2";
  WriteBytes(path, "old content");
  std::u16string error;

  // The folder is a regular file.
  EXPECT_FALSE(SaveProjectFile(doc, path + "/x.pk2", &error));
  EXPECT_EQ(error.rfind(i18n::Msg(49) + u": " + ql::FromUtf8(path + "/x.pk2"), 0), 0u) << ql::ToUtf8(error);

  // Writing stops half-way (the file size limit also binds root): the old
  // file stays as it was and no temporary file is left.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = SaveProjectFile(doc, path, &error);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(error.rfind(i18n::Msg(49), 0), 0u);
  EXPECT_NE(error.find(ql::FromUtf8(path)), std::u16string::npos);
  EXPECT_EQ(ReadBytes(path), "old content");
  FILE* ls = popen(("ls -A '" + dir + "' | wc -l").c_str(), "r");
  char buf[32] = {};
  ASSERT_NE(ls, nullptr);
  ASSERT_NE(fgets(buf, sizeof buf, ls), nullptr);
  pclose(ls);
  EXPECT_EQ(std::string(buf), "1\n");
}

TEST(ProjectFileSave, SavingThroughASymbolicLinkReplacesItsTarget) {
  const std::string dir = MakeTempDir();
  Document doc;
  doc.AddCategory(u"K");
  WriteBytes(dir + "target.pk2", "old");
  ASSERT_EQ(symlink("target.pk2", (dir + "link.pk2").c_str()), 0);
  ASSERT_TRUE(SaveProjectFile(doc, dir + "link.pk2"));
  struct stat st {};
  ASSERT_EQ(lstat((dir + "link.pk2").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadBytes(dir + "target.pk2"), ProjectFileBytes(doc, dir + "target.pk2"));
}

TEST(ProjectFileSave, ReadOnlyFolderKeepsTheOldFile) {
  // Root writes into read-only folders anyway; the test above covers a
  // failing write for root too.
  if (geteuid() == 0) GTEST_SKIP() << "running as root: a read-only folder does not stop writes";
  const std::string dir = MakeTempDir();
  Document doc;
  FillRichDocument(doc, ql::FromUtf8(dir));
  const std::string path = dir + "k.pk2";
  WriteBytes(path, "old content");
  std::u16string error;
  ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
  EXPECT_FALSE(SaveProjectFile(doc, path, &error));
  chmod(dir.c_str(), 0755);
  EXPECT_EQ(error.rfind(i18n::Msg(49), 0), 0u);
  EXPECT_EQ(ReadBytes(path), "old content");
}

TEST(ProjectFileDamage, FilesNeedingMoreMemoryThanTheBudgetAreRefused) {
  // Many one-cell rows: every row and cell takes a record of its own, so
  // such a file needs several times more memory than it has bytes.
  Document big;
  Category* cat = big.AddCategory(u"K");
  Product* p = big.AddProduct(*cat);
  for (int r = 0; r < 20000; ++r) big.AddRow(*p)->cells.Add()->text = u"x";
  const std::string bytes = ProjectFileBytes(big, "/d/viel.pk2");
  ASSERT_LT(bytes.size(), 300000u);

  OpenDocument open;
  ReadOptions tight;
  tight.memoryBudget = 1u << 20;
  std::u16string error;
  EXPECT_FALSE(ReadProjectBytes(open.doc, bytes, ProjectFormat::Current, "/d/viel.pk2", tight, &error));
  EXPECT_TRUE(Contains(error, u"zu groß")) << ql::ToUtf8(error);
  open.ExpectUntouched();

  EXPECT_TRUE(ReadProjectBytes(open.doc, bytes, ProjectFormat::Current, "/d/viel.pk2", ReadOptions{}, &error))
      << ql::ToUtf8(error);
  EXPECT_EQ(open.doc.kats[0].products[0].variants.Count(), 20000u);
}

// The reasons come in the language of the messages, with the numbers put in
// after the lookup; the system's own error texts become our short ones.
TEST(ProjectFileDamage, ReasonsSpeakTheChosenLanguage) {
  i18n::TranslationTable table;
  ASSERT_EQ(table.Load(std::string(QL_BIN_DIR) + "/"), i18n::LoadStatus::Loaded);
  table.SetFile({});
  i18n::SetCurrentTable(&table);
  i18n::SetLanguage(1);
  Document rich;
  FillRichDocument(rich, u"/d/");
  const std::string full = ProjectFileBytes(rich, "/d/x.pk2");
  OpenDocument open;
  const std::u16string end = OpenBytes(open.doc, full.substr(0, full.size() - 3));
  EXPECT_TRUE(Contains(end, u"The file ends early in group 69 (byte ")) << ql::ToUtf8(end);
  const std::u16string cells = OpenBytes(open.doc, Bytes().i32(1).wstr(u"K").i32(-5).s);
  EXPECT_TRUE(
      Contains(cells, u"Negative number -5 of Products in part A (categories and products, category 1)"))
      << ql::ToUtf8(cells);
  std::u16string error;
  EXPECT_FALSE(OpenFileWithName(open.doc, "/nonexistent/dir/x.pk2", &error));
  EXPECT_TRUE(Contains(error, u"\nFile not found")) << ql::ToUtf8(error);
  i18n::SetLanguage(3);
  EXPECT_TRUE(Contains(OpenBytes(open.doc, full.substr(0, 30)), u"deel A")) << "Dutch";
  i18n::SetLanguage(0);
  i18n::SetCurrentTable(nullptr);
  EXPECT_TRUE(Contains(OpenBytes(open.doc, full.substr(0, 30)), u"Teil A"));
}
