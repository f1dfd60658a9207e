#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "csv/csvexport.h"
#include "csv/csvimport.h"
#include "csv/csvreader.h"
#include "i18n/messages.h"
#include "support/scripted_feedback.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

// A fresh folder per test, removed with everything in it at the end.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/ql_csv_XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    if (DIR* d = opendir(path_.c_str())) {
      while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') out.push_back(e->d_name);
      closedir(d);
    }
    return out;
  }

 private:
  std::string path_;
};

struct CsvFixture : testing::Test {
  Document doc;
  ScriptedFeedback fb;
  TempDir dir;
  csv::ImportContext ctx;

  CsvFixture() {
    doc.maincap = u"Quillane";  // the changed flag works only after the window is shown
    doc.templatecolumns = {u"Name", u"Art. Nummer", u"Preis"};
    ctx.pictureWidth = 6.5;
  }

  Product& AddProduct(Category& cat, const std::u16string& name, const std::u16string& desc,
                      const std::vector<std::vector<std::u16string>>& rows,
                      const std::u16string& picture = {}) {
    Product* p = doc.AddProduct(cat);
    p->name = name;
    p->description = desc;
    if (!picture.empty()) doc.AddPicture(*p)->filename = picture;
    for (const auto& r : rows) {
      VariantRow* row = doc.AddRow(*p);
      for (const auto& t : r) row->cells.Add()->text = t;
    }
    return *p;
  }

  static std::vector<std::vector<std::u16string>> Rows(const Product& p) {
    std::vector<std::vector<std::u16string>> out;
    for (const VariantRow& r : p.variants) {
      out.emplace_back();
      for (const VariantCell& c : r.cells) out.back().push_back(c.text);
    }
    return out;
  }

  std::string Export(bool all, int32_t selected = -1) {
    std::string path = dir.File("out.csv");
    std::u16string error;
    EXPECT_TRUE(csv::ExportCSVFile(doc, path, all, selected, error)) << ql::ToUtf8(error);
    return ReadFile(path);
  }
};

}  // namespace

TEST_F(CsvFixture, ExportQuotesEscapesAndCutsRowsToTemplate) {
  Category* cat = doc.AddCategory(u"Stühle");
  AddProduct(*cat, u"\"Wort\"\r\n", u"a;b \\ c", {{u"T1", u"T2", u"T3", u"T4"}, {u"x"}}, u"c:\\bild.jpg");
  AddProduct(*doc.AddCategory(u"Leer"), u"€", u"", {});
  EXPECT_EQ(
      Export(true),
      "\"St\xFC"
      "hle\";\"\"\"Wort\"\"\\r\\n\";\"a;b \\ c\";\"c:\\bild.jpg\";\"T1\";\"T2\";\"T3\";\"x\";\"\";\"\"\r\n"
      "\"Leer\";\"\x80\";\"\";\"\"\r\n");
  EXPECT_EQ(Export(false, 1), "\"\x80\";\"\";\"\"\r\n");

  doc.templatecolumns.clear();  // T = 0: no variant values at all
  EXPECT_EQ(Export(false, 0), "\"\"\"Wort\"\"\\r\\n\";\"a;b \\ c\";\"c:\\bild.jpg\"\r\n");

  doc.kats.Clear();
  EXPECT_EQ(Export(true), "");  // Yes with no categories: an empty file
  EXPECT_FALSE(doc.changed);
}

TEST_F(CsvFixture, RoundTripWithCategoryColumn) {
  Category* a = doc.AddCategory(u"Tische; rund");
  Product& p = AddProduct(
      *a, u"Tisch \"Eiche\"\r\nmassiv", u"Zeile 1\nZeile 2\r",
      {{u"Name", u"Art. Nummer", u"Preis"}, {u"klein", u"T-1", u"99,00"}, {u"groß", u"T-2"}}, u"tisch.jpg");
  doc.AddPicture(p)->filename = u"second.jpg";  // only the first picture is exported
  AddProduct(*doc.AddCategory(u"Lampen"), u"Lampe", u"", {{u"Name"}});
  std::string path = dir.File("round.csv");
  std::u16string error;
  ASSERT_TRUE(csv::ExportCSVFile(doc, path, true, -1, error));

  Document back;
  back.maincap = u"x";
  back.templatecolumns = doc.templatecolumns;
  back.settings.PreDefAnzPreisEd = 2;
  csv::ImportResult r = csv::ImportCSVFileComplete(back, -1, path, ctx, fb);
  EXPECT_TRUE(r.complete);
  EXPECT_TRUE(fb.shown.empty());
  EXPECT_TRUE(back.changed);
  ASSERT_EQ(back.kats.Count(), 2u);
  EXPECT_EQ(r.selected, 1);
  EXPECT_EQ(back.kats[0].name, u"Tische; rund");
  ASSERT_EQ(back.kats[0].products.Count(), 1u);
  const Product& q = back.kats[0].products[0];
  EXPECT_EQ(q.name, p.name);
  // Every line break (here a lone LF and a lone CR) leaves as CR LF.
  EXPECT_EQ(q.description, u"Zeile 1\r\nZeile 2\r\n");
  ASSERT_EQ(q.pictures.Count(), 1u);
  EXPECT_EQ(q.pictures[0].filename, u"tisch.jpg");
  EXPECT_EQ(q.pictures[0].width, 6.5);
  EXPECT_EQ(q.pricecols, 2);
  EXPECT_EQ(q.tablewidth, 155.0);
  // The exported rows, each of T cells, then one row of empty cells.
  EXPECT_EQ(Rows(q), (std::vector<std::vector<std::u16string>>{{u"Name", u"Art. Nummer", u"Preis"},
                                                               {u"klein", u"T-1", u"99,00"},
                                                               {u"groß", u"T-2", u""},
                                                               {u"", u"", u""}}));
  const Product& lamp = back.kats[1].products[0];
  EXPECT_EQ(Rows(lamp), (std::vector<std::vector<std::u16string>>{{u"Name", u"", u""}, {u"", u"", u""}}));
  EXPECT_EQ(lamp.pictures[0].filename, u"");  // created although empty

  // Without the category column the plain product import reads it back.
  ASSERT_TRUE(csv::ExportCSVFile(doc, path, false, 0, error));
  Document plain;
  plain.templatecolumns = doc.templatecolumns;
  plain.AddCategory(u"Ziel");
  r = csv::ImportCSVFile(plain, 0, path, ctx, fb);
  ASSERT_EQ(plain.kats[0].products.Count(), 1u);
  EXPECT_EQ(plain.kats[0].products[0].name, p.name);
  EXPECT_EQ(Rows(plain.kats[0].products[0]).size(), 4u);
}

TEST_F(CsvFixture, ProductImportRowsAndTemplateTitles) {
  doc.AddCategory(u"K");
  std::string path = dir.File("in.csv");
  // T = 3 with six variant fields; a second record without variant fields.
  WriteFile(path, "A;Beschreibung;a.jpg;1;2;3;4;5;6\r\n\r\nB\r\n;;\r\n");
  csv::ImportResult r = csv::ImportCSVFile(doc, 0, path, ctx, fb);
  EXPECT_EQ(r.products, 2u);
  const auto& prods = doc.kats[0].products;
  ASSERT_EQ(prods.Count(), 2u);
  EXPECT_EQ(Rows(prods[0]), (std::vector<std::vector<std::u16string>>{
                                {u"1", u"2", u"3"}, {u"4", u"5", u"6"}, {u"", u"", u""}}));
  EXPECT_EQ(prods[1].name, u"B");
  EXPECT_EQ(prods[1].description, u"");
  EXPECT_EQ(Rows(prods[1]), (std::vector<std::vector<std::u16string>>{{u"", u"", u""}}));

  // Seven fields: the third row holds the seventh and is padded.
  doc.options.BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1 = true;
  WriteFile(path, "C;;;1;2;3;4;5;6;7\r\n");
  csv::ImportCSVFile(doc, 0, path, ctx, fb);
  EXPECT_EQ(
      Rows(prods[2]),
      (std::vector<std::vector<std::u16string>>{
          {u"Name", u"Art. Nummer", u"Preis"}, {u"1", u"2", u"3"}, {u"4", u"5", u"6"}, {u"7", u"", u""}}));
  EXPECT_TRUE(fb.shown.empty());
}

TEST_F(CsvFixture, ProductImportFailures) {
  // No category selected: message 7, nothing read, nothing changed.
  csv::ImportResult r = csv::ImportCSVFile(doc, -1, dir.File("in.csv"), ctx, fb);
  ASSERT_EQ(fb.shown.size(), 1u);
  EXPECT_EQ(fb.shown[0].text, i18n::Msg(7));
  EXPECT_EQ(fb.shown[0].caption, i18n::Msg(8));
  EXPECT_FALSE(doc.changed);
  EXPECT_FALSE(r.opened);

  // A file that cannot be opened: message 1 and the name; still changed.
  doc.AddCategory(u"K");
  for (const std::string& bad : {dir.File("missing.csv"), dir.File("")}) {
    fb.shown.clear();
    doc.changed = false;
    r = csv::ImportCSVFile(doc, 0, bad, ctx, fb);
    EXPECT_FALSE(r.opened);
    ASSERT_EQ(fb.shown.size(), 1u);
    EXPECT_EQ(fb.shown[0].text, i18n::Msg(1) + ql::FromUtf8(bad));
    EXPECT_EQ(fb.shown[0].icon, MessageIcon::Error);
    EXPECT_TRUE(doc.changed);
    EXPECT_EQ(doc.kats[0].products.Count(), 0u);
  }
  fb.shown.clear();
  r = csv::ImportCSVFileCategories(doc, 0, dir.File("missing.csv"), ctx, fb);
  EXPECT_EQ(fb.shown.size(), 1u);
  EXPECT_EQ(doc.kats.Count(), 1u);

  // An overlong record ends the import with a message; what came before stays.
  fb.shown.clear();
  std::string path = dir.File("long.csv");
  WriteFile(path, "gut\r\n\"offen" + std::string(csv::kMaxRecordChars, 'x') + "\r\nnie\r\n");
  r = csv::ImportCSVFile(doc, 0, path, ctx, fb);
  EXPECT_FALSE(r.complete);
  EXPECT_EQ(r.products, 1u);
  ASSERT_EQ(fb.shown.size(), 1u);
  EXPECT_NE(fb.shown[0].text.find(u"Zeile 2"), std::u16string::npos);
  EXPECT_EQ(doc.kats[0].products.Count(), 1u);
}

TEST_F(CsvFixture, ImportWithCategoriesGroupsConsecutiveNames) {
  doc.AddCategory(u"A");  // existing categories are not reused
  std::string path = dir.File("in.csv");
  WriteFile(path, "A;p1\nA;p2\r\nB;p3\r\na;p4\r\nA;p5\r\n;\r\nC\r\n");
  csv::ImportResult r = csv::ImportCSVFileComplete(doc, 0, path, ctx, fb);
  EXPECT_EQ(r.categoriesCreated, 5u);
  EXPECT_EQ(r.selected, 5);
  ASSERT_EQ(doc.kats.Count(), 6u);
  std::vector<std::u16string> names;
  for (const Category& c : doc.kats) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"A", u"A", u"B", u"a", u"A", u"C"}));
  EXPECT_EQ(doc.kats[0].products.Count(), 0u);
  EXPECT_EQ(doc.kats[1].products.Count(), 2u);
  EXPECT_EQ(doc.kats[1].products[1].name, u"p2");
  EXPECT_EQ(doc.kats[4].products[0].name, u"p5");
  // The category-only record still creates an empty product.
  ASSERT_EQ(doc.kats[5].products.Count(), 1u);
  EXPECT_EQ(doc.kats[5].products[0].name, u"");
  EXPECT_FALSE(doc.kats[5].options);
}

TEST_F(CsvFixture, CategoryImport) {
  Category* existing = doc.AddCategory(u"Stühle");
  existing->options = std::make_unique<CategoryOptions>(NewCategoryOptions());
  existing->options->tocwithproducts = true;
  existing->options->ownfontcolor = true;
  existing->options->nonewpage = true;
  AddProduct(*existing, u"Stuhl", u"", {});
  doc.AddCategory(u"Ohne");

  std::string path = dir.File("cats.csv");
  ctx.decimalSeparator = u',';
  WriteFile(path,
            "St\xFChle;Intro\\nText;s.jpg;2,5;true\r\n"
            "Ohne;;;2.5;True;TRUE;true;tRUE\r\n"
            "Neu;x;y;10;false;true;true;true;true;true;true;true;true;true;true;true\r\n"
            "Kurz\r\n");
  csv::ImportResult r = csv::ImportCSVFileCategories(doc, 0, path, ctx, fb);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.categoriesUpdated, 2u);
  EXPECT_EQ(r.categoriesCreated, 2u);
  EXPECT_EQ(r.selected, 3);
  ASSERT_EQ(doc.kats.Count(), 4u);

  const CategoryOptions& a = *doc.kats[0].options;
  EXPECT_EQ(a.introtext, u"Intro\nText");
  EXPECT_EQ(a.picfile, u"s.jpg");
  EXPECT_EQ(a.picwidth, 2.5);
  EXPECT_EQ(a.picbelowname, 1);
  EXPECT_FALSE(a.nonewpage);  // missing field: off
  // Fields the file does not carry keep their values.
  EXPECT_TRUE(a.tocwithproducts);
  EXPECT_TRUE(a.ownfontcolor);
  EXPECT_EQ(a.fontcolor, RGBColor(255, 255, 0));
  EXPECT_EQ(doc.kats[0].products.Count(), 1u);

  // No options before: a zeroed record. "2.5" is no number with a decimal
  // comma; only the lower-case word switches an option on.
  ASSERT_TRUE(doc.kats[1].options);
  const CategoryOptions& b = *doc.kats[1].options;
  EXPECT_EQ(b.picwidth, 3.0);
  EXPECT_EQ(b.picbelowname, 0);
  EXPECT_FALSE(b.introbelowpic);
  EXPECT_TRUE(b.nonewpage);
  EXPECT_FALSE(b.istoc);
  EXPECT_EQ(b.areacolor, 0u);

  const Category& n = doc.kats[2];
  EXPECT_EQ(n.name, u"Neu");
  const CategoryOptions& c = *n.options;
  EXPECT_EQ(c.picwidth, 10.0);
  EXPECT_EQ(c.picbelowname, 0);
  EXPECT_TRUE(c.introbelowpic && c.nonewpage && c.istoc && c.firstproductnewpage && c.pictureonly &&
              c.picasbackground && c.notintoc && c.tocsubcategoriesonly && c.tocallcategories &&
              c.deactivated);
  EXPECT_FALSE(c.tocnocategories || c.tocwithproducts || c.ownareacolor);
  EXPECT_EQ(doc.kats[3].options->picwidth, 3.0);  // absent
}

TEST(CsvNumbers, PictureWidthAndLocales) {
  EXPECT_EQ(csv::ParsePictureWidth(u"2,5", u','), 2.5);
  EXPECT_EQ(csv::ParsePictureWidth(u" 2,5 ", u','), 2.5);
  EXPECT_EQ(csv::ParsePictureWidth(u"2.5", u'.'), 2.5);
  EXPECT_EQ(csv::ParsePictureWidth(u"-1,25e1", u','), -12.5);
  EXPECT_EQ(csv::ParsePictureWidth(u",5", u','), 0.5);
  for (const char16_t* bad : {u"", u"2.5", u"abc", u"2,5cm", u",", u"1e", u"1e999", u"2,5,0", u"--1"})
    EXPECT_EQ(csv::ParsePictureWidth(bad, u','), 3.0) << ql::ToUtf8(bad);
}

TEST_F(CsvFixture, ExportCommandQuestionsAndErrors) {
  doc.AddCategory(u"K");
  AddProduct(doc.kats[0], u"P", u"", {});
  // No with nothing selected: message 37, no dialog.
  bool asked = false;
  fb.answers = {Answer::No};
  EXPECT_FALSE(csv::ExportalsCSVDatei(doc, -1, fb, [&] {
    asked = true;
    return std::string();
  }));
  EXPECT_FALSE(asked);
  ASSERT_EQ(fb.shown.size(), 2u);
  EXPECT_EQ(fb.shown[0].text, i18n::Msg(35));
  EXPECT_EQ(fb.shown[1].text, i18n::Msg(37));
  EXPECT_EQ(fb.shown[1].caption, i18n::Msg(36));

  // Yes: all categories with the category column.
  fb.shown.clear();
  fb.answers = {Answer::Yes};
  const std::string path = dir.File("x.csv");
  EXPECT_TRUE(csv::ExportalsCSVDatei(doc, -1, fb, [&] { return path; }));
  EXPECT_EQ(ReadFile(path), "\"K\";\"P\";\"\";\"\"\r\n");

  // A folder that does not exist: message 34 and the name.
  fb.shown.clear();
  fb.answers = {Answer::No};
  const std::string bad = dir.File("nowhere/x.csv");
  EXPECT_FALSE(csv::ExportalsCSVDatei(doc, 0, fb, [&] { return bad; }));
  ASSERT_EQ(fb.shown.size(), 2u);
  EXPECT_EQ(fb.shown[1].text, i18n::Msg(34) + ql::FromUtf8(bad) + u" (Datei nicht gefunden)")
      << "the system's reason in our own words";
  EXPECT_EQ(fb.shown[1].caption, u"Quillane");
}

TEST_F(CsvFixture, FailedExportKeepsTheEarlierFile) {
  Category* cat = doc.AddCategory(u"K");
  for (int i = 0; i < 2000; ++i)
    AddProduct(*cat, u"Produkt mit einem langen Namen", u"Beschreibung", {{u"a"}});
  const std::string path = dir.File("prices.csv");
  WriteFile(path, "earlier export\r\n");
  // The export in a child process whose file size limit stops the writes.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit lim{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &lim);
    std::u16string error;
    bool ok = csv::ExportCSVFile(doc, path, true, -1, error);
    _exit(ok ? 0 : error.find(u"prices.csv") != std::u16string::npos ? 3 : 4);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(ReadFile(path), "earlier export\r\n");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"prices.csv"}));  // no temporary file left

  // A successful export replaces it and keeps its permission bits.
  chmod(path.c_str(), 0640);
  std::u16string error;
  ASSERT_TRUE(csv::ExportCSVFile(doc, path, false, 0, error));
  struct stat st {};
  stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadFile(path).substr(0, 32), "\"Produkt mit einem langen Namen\"");
}

TEST_F(CsvFixture, ExportReadByPythonCsvModule) {
  if (std::system("python3 -c 'import csv' >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 not available";
  Category* cat = doc.AddCategory(u"Kat;1");
  AddProduct(*cat, u"Sag \"Hallo\"", u"Zeile1\r\nZeile2", {{u"Größe", u"€ 5", u"a\\b"}}, u"c:\\x.jpg");
  const std::string path = dir.File("py.csv");
  std::u16string error;
  ASSERT_TRUE(csv::ExportCSVFile(doc, path, true, -1, error));
  const std::string script = dir.File("read.py");
  WriteFile(script,
            "import csv, sys\n"
            "with open(sys.argv[1], encoding='cp1252', newline='') as f:\n"
            "    for row in csv.reader(f, delimiter=';'):\n"
            "        print(' '.join(v.encode('utf-8').hex() or '-' for v in row))\n");
  FILE* p = popen(("python3 '" + script + "' '" + path + "'").c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  ASSERT_EQ(pclose(p), 0);
  std::vector<std::u16string> fields;
  std::istringstream lines(out);
  std::string line;
  int rows = 0;
  while (std::getline(lines, line)) {
    ++rows;
    std::istringstream words(line);
    std::string hex;
    while (words >> hex) {
      std::string bytes;
      if (hex != "-")
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
          bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
      fields.push_back(ql::FromUtf8(bytes));
    }
  }
  EXPECT_EQ(rows, 1);
  // Line breaks stay escaped for other programs; quotes and ";" are plain CSV.
  EXPECT_EQ(fields, (std::vector<std::u16string>{u"Kat;1", u"Sag \"Hallo\"", u"Zeile1\\r\\nZeile2",
                                                 u"c:\\x.jpg", u"Größe", u"€ 5", u"a\\b"}));
}

// Categories are found by name through an index: the first of equal names is
// updated, a name seen earlier in the same file updates the category made
// then (after the array has grown and moved), and 100,000 distinct names
// take well under the seconds a search through every category took.
TEST_F(CsvFixture, CategoryImportFindsNamesThroughAnIndex) {
  doc.AddCategory(u"Doppelt");
  doc.AddCategory(u"Doppelt");
  std::string file = "Doppelt;erste\r\n";
  for (int i = 0; i < 5000; ++i) file += "K" + std::to_string(i) + ";neu\r\n";
  file += "K7;wieder\r\nDoppelt;noch einmal\r\n";
  csv::MemoryByteReader in(file);
  csv::ImportResult r = csv::ImportCategories(doc, 0, in, u"f.csv", ctx, fb);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.categoriesCreated, 5000u);
  EXPECT_EQ(r.categoriesUpdated, 3u);
  ASSERT_EQ(doc.kats.Count(), 5002u);
  EXPECT_EQ(doc.kats[0].options->introtext, u"noch einmal");
  EXPECT_FALSE(doc.kats[1].options);
  EXPECT_EQ(doc.kats[2 + 7].name, u"K7");
  EXPECT_EQ(doc.kats[2 + 7].options->introtext, u"wieder");
  EXPECT_EQ(doc.kats[2 + 8].options->introtext, u"neu");

  Document big;
  std::string many;
  for (int i = 0; i < 100000; ++i) many += "Kategorie " + std::to_string(i) + ";x\r\n";
  csv::MemoryByteReader bigIn(many);
  const auto t0 = std::chrono::steady_clock::now();
  r = csv::ImportCategories(big, -1, bigIn, u"big.csv", ctx, fb);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_EQ(r.categoriesCreated, 100000u);
  EXPECT_LT(s, 5.0) << "100,000 categories took " << s << " s";
}
