#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "core/codepage.h"
#include "project/dumpjson.h"
#include "project/projectfile.h"
#include "projectfile_testutil.h"

using namespace pftest;

namespace {

// Every field the file stores, as text: two documents hold the same catalog
// exactly when these agree.
std::string Content(const Document& d) { return project::DumpJson(d, ""); }

// Sizes of all prefixes of `bytes` that open successfully.
std::vector<size_t> OpenablePrefixes(const std::string& bytes, const std::string& path) {
  std::vector<size_t> ok;
  for (size_t k = 0; k <= bytes.size(); ++k) {
    Document d;
    if (ReadProjectBytes(d, std::string_view(bytes).substr(0, k), ProjectFormat::Current, path,
                         ReadOptions{}))
      ok.push_back(k);
  }
  return ok;
}

}  // namespace

TEST(ProjectFileRoundTrip, EverySettingAndFieldSurvivesAndSavesByteIdentical) {
  const std::string dir = MakeTempDir();
  const std::u16string folder = ql::FromUtf8(dir);
  Document doc;
  FillRichDocument(doc, folder);
  const std::string path = dir + "katalog.pk2";
  std::u16string error;
  ASSERT_TRUE(SaveProjectFile(doc, path, &error)) << ql::ToUtf8(error);

  Document back;
  SetDistinctSettings(back.settings, 2);  // every value must come from the file
  back.maincap = u"Quillane";
  back.SetChanged();
  ASSERT_TRUE(OpenFileWithName(back, path, &error)) << ql::ToUtf8(error);
  EXPECT_FALSE(back.changed);
  EXPECT_EQ(back.afilename, folder + u"katalog.pk2");
  EXPECT_EQ(Content(back), Content(doc));

  // A few direct checks, independent of the dump.
  ASSERT_EQ(back.kats.Count(), 3u);
  EXPECT_EQ(back.kats[0].products[1].variants[1].cells.Count(), 4u);
  EXPECT_EQ(back.kats[0].products[0].pictures[0].filename, folder + u"p0.jpg");
  EXPECT_EQ(back.kats[0].products[0].pictures[1].filename, u"C:\\bilder\\x.jpg");
  EXPECT_DOUBLE_EQ(back.kats[0].products[2].colwidth[9], 219.5);
  EXPECT_EQ(back.kats[1].options, nullptr);
  ASSERT_NE(back.kats[2].options, nullptr);
  EXPECT_TRUE(back.kats[2].options->firstproductnewpage);
  EXPECT_EQ(back.kats[2].options->namecolor, 0x00FFFFFFu);
  EXPECT_EQ(back.settings.FontDialog12, doc.settings.FontDialog12);
  EXPECT_EQ(back.settings.Fuss2Ed, doc.settings.Fuss2Ed);
  EXPECT_EQ(back.settings.PictureAlignment(), 0);
  EXPECT_EQ(back.settings.ColumnCount(), 2);
  EXPECT_EQ(back.templatecolumns, doc.templatecolumns);
  // Cursors of the adopted content publish into the reading document.
  back.kats.First();
  EXPECT_EQ(back.akat, &back.kats[0]);

  // Saved again: the same bytes.
  const std::string path2 = dir + "again.pk2";
  ASSERT_TRUE(SaveProjectFile(back, path2, &error));
  EXPECT_EQ(ReadBytes(path2), ReadBytes(path));

  // Overwriting an existing file leaves no temporary files behind.
  ASSERT_TRUE(SaveProjectFile(back, path, &error));
  EXPECT_EQ(ReadBytes(path2), ReadBytes(path));
  std::string listing;
  FILE* ls = popen(("ls -A '" + dir + "'").c_str(), "r");
  char buf[256];
  while (ls && fgets(buf, sizeof buf, ls)) listing += buf;
  if (ls) pclose(ls);
  EXPECT_EQ(listing, "again.pk2\nkatalog.pk2\n");
}

TEST(ProjectFileRoundTrip, FilesCutBetweenGroupsOpenAndKeepWhatTheyLack) {
  const std::string dir = MakeTempDir();
  Document doc;
  FillRichDocument(doc, ql::FromUtf8(dir));
  const std::string path = dir + "k.pk2";
  const std::string full = ProjectFileBytes(doc, path);

  // Parts A and B, then 49 optional groups of which group 42 has two
  // separately optional tails: 52 places where the file may end.
  const std::vector<size_t> ok = OpenablePrefixes(full, path);
  ASSERT_EQ(ok.size(), 52u);
  EXPECT_EQ(ok.back(), full.size());

  auto openPrefix = [&](size_t k, Document& d) {
    d.settings = CatalogSettings();
    SetDistinctSettings(d.settings, 3);
    d.settings.BackgroundColorCheck = true;
    std::u16string error;
    EXPECT_TRUE(ReadProjectBytes(d, std::string_view(full).substr(0, k), ProjectFormat::Current, path,
                                 ReadOptions{}, &error))
        << ql::ToUtf8(error);
  };
  CatalogSettings previous;
  SetDistinctSettings(previous, 3);

  {  // Only parts A and B.
    Document d;
    openPrefix(ok[0], d);
    EXPECT_EQ(d.settings.FontDialog9, doc.settings.FontDialog9);  // item 22, from the file
    EXPECT_EQ(d.settings.sverhlogo, doc.settings.sverhlogo);
    EXPECT_EQ(d.settings.OnlyOneColumnCheck, previous.OnlyOneColumnCheck);  // group 23 on: previous values
    EXPECT_EQ(d.settings.SetPicHeightCheck, previous.SetPicHeightCheck);
    EXPECT_EQ(d.settings.FontDialog12, previous.FontDialog12);
    EXPECT_EQ(d.settings.FilenameEdit3, previous.FilenameEdit3);
    EXPECT_FALSE(d.settings.BackgroundColorCheck);
    for (const Category& c : d.kats) EXPECT_EQ(c.options, nullptr);
    const Product& p = d.kats[0].products[0];
    EXPECT_FALSE(p.overwrite);
    EXPECT_DOUBLE_EQ(p.colwidth[3], kDefaultColWidth);
    EXPECT_DOUBLE_EQ(p.tablewidth, kDefaultTableWidth);
    EXPECT_DOUBLE_EQ(p.rowheight, kDefaultRowHeight);
    EXPECT_FALSE(d.kats[0].products[0].pagebreakafter);
  }
  {  // Up to group 31: options without the flags of later groups.
    Document d;
    openPrefix(ok[9], d);
    EXPECT_EQ(d.settings.NoLineBelowVariantsCheck, doc.settings.NoLineBelowVariantsCheck);
    EXPECT_EQ(d.settings.LineWidthEd, previous.LineWidthEd);
    ASSERT_NE(d.kats[0].options, nullptr);
    EXPECT_EQ(d.kats[0].options->introtext, doc.kats[0].options->introtext);
    EXPECT_TRUE(d.kats[0].options->introbelowpic);
    EXPECT_FALSE(d.kats[0].options->pictureonly);
    EXPECT_FALSE(d.kats[0].options->istoc);
    EXPECT_EQ(d.kats[0].options->areacolor, 0u);
    EXPECT_EQ(d.kats[1].options, nullptr);
    EXPECT_FALSE(d.kats[2].options->firstproductnewpage);
  }
  {  // Group 42 without its optional tails, then with the first tail.
    Document d;
    openPrefix(ok[20], d);
    EXPECT_TRUE(d.kats[2].options->firstproductnewpage);
    EXPECT_EQ(d.settings.BilderrahmenCheck, doc.settings.BilderrahmenCheck);
    EXPECT_EQ(d.settings.PreisLinksCheck, previous.PreisLinksCheck);
    EXPECT_EQ(d.settings.LineAddSpaceEd, previous.LineAddSpaceEd);
    Document e;
    openPrefix(ok[21], e);
    EXPECT_EQ(e.settings.PreisLinksCheck, doc.settings.PreisLinksCheck);
    EXPECT_EQ(e.settings.LineAddSpaceEd, previous.LineAddSpaceEd);
    EXPECT_FALSE(e.kats[0].options->pictureonly);
  }
  {  // Up to group 50: table settings present, picasbackground still off.
    Document d;
    openPrefix(ok[30], d);
    EXPECT_TRUE(d.kats[0].products[0].overwrite);
    EXPECT_DOUBLE_EQ(d.kats[0].products[2].rowheight, 8.75);
    EXPECT_FALSE(d.kats[2].options->picasbackground);
    EXPECT_EQ(d.settings.FilenameEdit3, previous.FilenameEdit3);
  }
  {  // Everything but group 71.
    Document d;
    openPrefix(ok[50], d);
    EXPECT_TRUE(d.kats[0].options->tocwithproducts);
    EXPECT_TRUE(d.kats[2].options->tocnocategories);
    EXPECT_EQ(d.settings.DonotIncreaseFontSizeCheck, doc.settings.DonotIncreaseFontSizeCheck);
    EXPECT_EQ(d.settings.SetPicHeightCheck, previous.SetPicHeightCheck);
  }
}

TEST(ProjectFileRoundTrip, TrailingEmptyVariantRowsAndColumnsDroppedOnlyWithTheOption) {
  Document doc;
  Category* c = doc.AddCategory(u"K");
  Product* p = doc.AddProduct(*c);
  AddCells(
      doc, *p,
      {{u"A", u"B", u"", u""}, {u"", u"", u""}, {u"C", u"", u"", u"", u""}, {u"", u"D"}, {u"", u""}, {u""}});
  Product* empty = doc.AddProduct(doc.kats[0]);
  AddCells(doc, *empty, {{u"", u""}, {u""}});
  doc.settings.FilenameEdit1 = u"/p/logo.gif";
  const std::string bytes = ProjectFileBytes(doc, "/p/x.pk2");

  Document on;
  ReadOptions drop;
  drop.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = true;
  ASSERT_TRUE(ReadProjectBytes(on, bytes, ProjectFormat::Current, "/p/x.pk2", drop));
  const Product& q = on.kats[0].products[0];
  ASSERT_EQ(q.variants.Count(), 4u);           // rows 5 and 6 were empty
  EXPECT_EQ(q.variants[0].cells.Count(), 2u);  // columns 3 ... 5 were empty
  EXPECT_EQ(q.variants[1].cells.Count(), 2u);  // the empty row between filled ones stays
  EXPECT_EQ(q.variants[2].cells.Count(), 2u);
  EXPECT_EQ(q.variants[2].cells[0].text, u"C");
  EXPECT_EQ(q.variants[3].cells[1].text, u"D");
  EXPECT_EQ(on.kats[0].products[1].variants.Count(), 0u);

  Document off;
  ReadOptions keep;
  keep.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = false;
  ASSERT_TRUE(ReadProjectBytes(off, bytes, ProjectFormat::Current, "/p/x.pk2", keep));
  EXPECT_EQ(Content(off), Content(doc));

  // By default the document's own program option decides.
  Document viaDoc;
  viaDoc.options.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = false;
  const std::string dir = MakeTempDir();
  WriteBytes(dir + "x.pk2", bytes);
  ASSERT_TRUE(OpenFileWithName(viaDoc, dir + "x.pk2"));
  EXPECT_EQ(viaDoc.kats[0].products[0].variants.Count(), 6u);
}

TEST(ProjectFileRoundTrip, PictureNamesResolveAgainstTheProjectFolder) {
  Document doc;
  Category* c = doc.AddCategory(u"K");
  c->options = std::make_unique<CategoryOptions>();
  c->options->picfile = u"/proj/cat.jpg";
  Product* p = doc.AddProduct(*c);
  const char16_t* names[] = {u"/proj/./a.jpg", u"C:\\bilder\\a.jpg", u"sub/b.jpg",    u"/proj/c.jpg",
                             u"/proj\\d.jpg",  u"/proj/sub/e.jpg",   u"/projx/f.jpg", u""};
  for (const char16_t* n : names) doc.AddPicture(*p)->filename = n;
  doc.settings.FilenameEdit1 = u"/x/../proj/logo.gif";
  doc.settings.FilenameEdit2 = u"/proj/bg.jpg";
  doc.settings.FilenameEdit3 = u"";

  // Written for /proj/x.pk2: names directly in /proj are stored bare, so the
  // same bytes read from another folder resolve there.
  const std::string bytes = ProjectFileBytes(doc, "/proj/x.pk2");
  Document moved;
  ASSERT_TRUE(ReadProjectBytes(moved, bytes, ProjectFormat::Current, "/data/kat/y.pk2", ReadOptions{}));
  const Product& q = moved.kats[0].products[0];
  // A relative name is held relative to the current folder; stored elsewhere
  // it becomes a full name.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const std::u16string subB = ql::FromUtf8(cwd) + u"/sub/b.jpg";
  const char16_t* expect[] = {u"/data/kat/a.jpg", u"C:\\bilder\\a.jpg", subB.c_str(),    u"/data/kat/c.jpg",
                              u"/data/kat/d.jpg", u"/proj/sub/e.jpg",   u"/projx/f.jpg", u""};
  ASSERT_EQ(q.pictures.Count(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(q.pictures[i].filename, expect[i]) << i;
  EXPECT_EQ(moved.kats[0].options->picfile, u"/data/kat/cat.jpg");
  EXPECT_EQ(moved.settings.FilenameEdit1, u"/data/kat/logo.gif");
  EXPECT_EQ(moved.settings.FilenameEdit2, u"/data/kat/bg.jpg");
  EXPECT_EQ(moved.settings.FilenameEdit3, u"");

  // Windows-style project paths work the same way.
  Document win;
  ASSERT_TRUE(ReadProjectBytes(win, bytes, ProjectFormat::Current, "D:\\kat\\x.pk2", ReadOptions{}));
  EXPECT_EQ(win.kats[0].products[0].pictures[0].filename, u"D:\\kat\\a.jpg");

  // A project named without a folder resolves relative to the current folder.
  Document rel;
  ASSERT_TRUE(ReadProjectBytes(rel, bytes, ProjectFormat::Current, "x.pk2", ReadOptions{}));
  EXPECT_EQ(rel.kats[0].products[0].pictures[0].filename, u"a.jpg");
  EXPECT_EQ(ProjectFileBytes(rel, "x.pk2"), bytes);
}

TEST(ProjectFileRoundTrip, JsonDumpEscapesTextsAndRoundTripsNumbers) {
  using project::JsonNumber;
  using project::JsonString;
  EXPECT_EQ(JsonString(u"a\"b\\c\n\t\x01\x1f"), "\"a\\\"b\\\\c\\n\\t\\u0001\\u001F\"");
  EXPECT_EQ(JsonString(u"\u00FC\u20AC\U0001F600"), "\"\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80\"");
  EXPECT_EQ(JsonString(std::u16string(1, char16_t(0xD800)) + u"x"), "\"\\uD800x\"");
  EXPECT_EQ(JsonString(std::u16string(1, char16_t(0xDC00))), "\"\\uDC00\"");
  for (double v : {0.1, 1.0 / 3, 12.0, -0.0, 1e300, 5e-324, 25.39995, 123456789.123456789})
    EXPECT_EQ(std::strtod(JsonNumber(v).c_str(), nullptr), v) << JsonNumber(v);
  EXPECT_EQ(JsonNumber(12.0), "12");
  EXPECT_EQ(JsonNumber(0.1), "0.1");
  EXPECT_EQ(JsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");

  Document doc;
  FillRichDocument(doc, u"/p/");
  const std::string json = project::DumpJson(doc, "/p/x.pk2");
  const size_t at = json.find("\"LinksEd\":");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(std::strtod(json.c_str() + at + 10, nullptr), doc.settings.LinksEd);
  EXPECT_NE(json.find("\"PreDefAnzPreisEd\":"), std::string::npos);
  EXPECT_NE(json.find("\"RahmenCheck\":true"), std::string::npos);
  EXPECT_NE(json.find("\"FontDialog2\":{\"name\":"), std::string::npos);
  EXPECT_NE(json.find("\"options\":null"), std::string::npos);

  // The whole dump is valid JSON (checked with Python's parser when present).
  const std::string dir = MakeTempDir();
  WriteBytes(dir + "d.json", json);
  FILE* check = popen(("python3 -c 'import json,sys; d=json.load(open(sys.argv[1],encoding=\"utf-8\")); "
                       "print(len(d[\"categories\"]), d[\"settings\"][\"BildLinks\"], "
                       "d[\"categories\"][0][\"products\"][0][\"variants\"][1][3])' '" +
                       dir + "d.json' 2>&1")
                          .c_str(),
                      "r");
  ASSERT_NE(check, nullptr);
  char out[256] = {};
  size_t n = fread(out, 1, sizeof out - 1, check);
  const int rc = pclose(check);
  if (rc != 0 && std::string(out, n).find("not found") != std::string::npos)
    GTEST_SKIP() << "python3 missing";
  EXPECT_EQ(rc, 0) << out;
  EXPECT_EQ(std::string(out, n), "3 True extra\n");
}
