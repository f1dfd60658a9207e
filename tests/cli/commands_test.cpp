// Every quillane-cli command in-process: the overview and help, the usage
// errors each command reports before opening a file, its file errors, and
// its output.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/sharedoptions.h"
#include "cli_fixture.h"
#include "core/codepage.h"
#include "editing/fixture.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "imaging/pixoran.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pageimage.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "project/projectfile.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Two categories of eight products with descriptions and price tables:
// enough to make the layouts differ in their page counts.
struct Commands : CliTest {
  std::string project;
  void SetUp() override {
    CliTest::SetUp();
    EditingDoc t;
    for (int k = 0; k < 2; ++k) {
      Category& c = t.AddCategory(k ? u"Werkzeug" : u"Garten", {u"Schaufel", u"Rechen", u"Kelle", u"Spaten",
                                                                u"Harke", u"Besen", u"Hacke", u"Gabel"});
      for (Product& p : c.products) {
        p.description =
            u"Ein robustes Werkzeug aus Stahl mit einem Stiel aus Eschenholz. "
            u"Geeignet für jeden Boden und jede Jahreszeit.";
        p.pricecols = 1;
        t.SetTable(p, {{u"Name", u"Preis"}, {u"Klein", u"9,90"}, {u"Groß", u"14,50"}});
      }
    }
    project = Path("katalog.pk2");
    ASSERT_TRUE(SaveProjectFile(t.doc, project));
  }
};

}  // namespace

TEST_F(CliTest, OverviewHelpAndUnknownCommands) {
  EXPECT_EQ(Run({}), 2);
  for (const cli::CommandEntry& c : cli::CommandList())
    EXPECT_NE(err.find(c.name), std::string::npos) << c.name;
  EXPECT_EQ(Run({"--help"}), 0);
  for (const cli::CommandEntry& c : cli::CommandList())
    EXPECT_NE(out.find(c.name), std::string::npos) << c.name;
  EXPECT_NE(out.find("Exit codes"), std::string::npos);
  EXPECT_EQ(Run({"frobnicate", "x"}), 2);
  EXPECT_NE(err.find("unknown command 'frobnicate'"), std::string::npos) << err;
  EXPECT_EQ(Run({"--frobnicate"}), 2);
}

TEST_F(CliTest, EveryCommandHasHelpAndRefusesUnknownOptionsAndMissingFiles) {
  for (const cli::CommandEntry& c : cli::CommandList()) {
    EXPECT_EQ(Run({c.name, "--help"}), 0) << c.name;
    EXPECT_NE(out.find(c.name), std::string::npos) << c.name << ": " << out;
    EXPECT_NE(out.find(c.summary), std::string::npos) << c.name;
    EXPECT_EQ(Run({c.name, "--no-such-option"}), 2) << c.name;
    EXPECT_NE(err.find(std::string("quillane-cli ") + c.name + ":"), std::string::npos) << err;
    EXPECT_NE(err.find("--help"), std::string::npos) << err;
  }
  // Those that need files name the one missing.
  for (const char* name :
       {"dump", "convert", "render", "pages", "export-pdf", "export-csv", "import-csv", "edit"}) {
    EXPECT_EQ(Run({name}), 2) << name;
    EXPECT_NE(err.find("required"), std::string::npos) << name << ": " << err;
  }
}

TEST(CliOptions, PageRanges) {
  cli::PageRange r;
  ASSERT_TRUE(cli::ParsePageRange("3-7", r));
  EXPECT_EQ(r.first, 3);
  EXPECT_EQ(r.last, 7);
  EXPECT_TRUE(r.Contains(7));
  EXPECT_FALSE(r.Contains(8));
  ASSERT_TRUE(cli::ParsePageRange("4-", r));
  EXPECT_TRUE(r.Contains(100000));
  EXPECT_FALSE(r.Contains(3));
  ASSERT_TRUE(cli::ParsePageRange("5", r));
  EXPECT_TRUE(r.Contains(5));
  EXPECT_FALSE(r.Contains(6));
  for (const char* bad : {"", "0", "7-3", "-3", "a-b", "3-x", "1-2-3", "9999999"})
    EXPECT_FALSE(cli::ParsePageRange(bad, r)) << bad;
}

TEST_F(Commands, DumpPrintsJsonAndReportsDamagedFiles) {
  ASSERT_EQ(Run({"dump", project}), 0) << err;
  EXPECT_EQ(out.front(), '{');
  EXPECT_NE(out.find("\"Schaufel\""), std::string::npos);
  EXPECT_NE(out.find("Werkzeug"), std::string::npos);
  EXPECT_EQ(Run({"dump", project, "second"}), 2);
  EXPECT_EQ(Run({"dump", Path("fehlt.pk2")}), 1);
  EXPECT_FALSE(err.empty());
  EXPECT_TRUE(out.empty());
  // A file cut short is damaged, not read half.
  const std::string whole = ReadAll(project);
  { std::ofstream(Path("kurz.pk2"), std::ios::binary) << whole.substr(0, whole.size() / 2); }
  EXPECT_EQ(Run({"dump", Path("kurz.pk2")}), 1);
  EXPECT_FALSE(err.empty());
  // The reasons in the program's language (English without options.dat),
  // like the tool's own texts.
  EXPECT_NE(err.find(" in part A (categories and products, category "), std::string::npos) << err;
  EXPECT_EQ(Run({"dump", Path("fehlt.pk2")}), 1);
  EXPECT_NE(err.find("File not found"), std::string::npos) << err;
}

TEST_F(Commands, ConvertWritesTheCurrentFormatOnly) {
  ASSERT_EQ(Run({"convert", project, Path("kopie.pk2")}), 0) << err;
  Document back;
  ASSERT_TRUE(OpenFileWithName(back, Path("kopie.pk2")));
  EXPECT_EQ(back.kats.Count(), 2u);
  EXPECT_EQ(back.kats[1].products[2].name, u"Kelle");
  EXPECT_EQ(Run({"convert", project, Path("alt.pkd")}), 2);
  EXPECT_FALSE(Exists("alt.pkd"));
  EXPECT_EQ(Run({"convert", Path("fehlt.pk2"), Path("x.pk2")}), 1);
  EXPECT_FALSE(Exists("x.pk2"));
  EXPECT_EQ(Run({"convert", project, Path("kein/ordner/x.pk2")}), 1);
  EXPECT_FALSE(err.empty());
}

TEST_F(CliTest, MessagesListsEveryNumberInTheChosenLanguage) {
  ASSERT_EQ(Run({"messages", "--lang", "0"}), 0) << err;
  size_t lines = 0;
  for (char c : out) lines += c == '\n';
  EXPECT_EQ(lines, i18n::MessageNumbers().size());
  const std::string german = out;
  ASSERT_EQ(Run({"messages", "--lang", "1"}), 0) << err;
  EXPECT_NE(out, german);
  EXPECT_EQ(i18n::Language(), 0) << "the command leaves the language as it found it";
  EXPECT_EQ(i18n::Language(), 0) << "the command leaves the language as it found it";
  // --lang takes exactly the columns of the language table.
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages())
    EXPECT_EQ(Run({"messages", "--lang", std::to_string(l.column)}), 0) << l.code << err;
  const std::string unused = std::to_string(i18n::InterfaceLanguages().size());
  EXPECT_EQ(Run({"messages", "--lang", unused}), 2);
  EXPECT_EQ(Run({"export-html", Path("k.pk2"), Path("html"), "--lang", unused}), 2);
  EXPECT_EQ(Run({"messages", "--lang", "-1"}), 2);
  EXPECT_EQ(Run({"messages", "--lang", "x"}), 2);
  EXPECT_EQ(Run({"messages", "--lang", "1x"}), 2);
  ASSERT_EQ(Run({"messages", "--help"}), 0);
  for (const i18n::InterfaceLanguage& l : i18n::InterfaceLanguages())
    EXPECT_NE(out.find(std::to_string(l.column) + " " + l.englishName), std::string::npos) << out;
}

TEST_F(Commands, LayoutNumbersCountFromOne) {
  // pages --layout N gives the page count of layout index N - 1.
  ASSERT_TRUE(platform::EnsureGuiApplication());
  Document doc;
  ASSERT_TRUE(OpenFileWithName(doc, project));
  platform::QtTextMeasurer m;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, m, loader);
  std::vector<int> counts;
  for (int n = 1; n <= 8; ++n) {
    ASSERT_EQ(Run({"pages", project, "--layout", std::to_string(n), "--dpi", "30"}), 0) << n << err;
    platform::PageImageRequest req;
    req.dpi = 30;
    req.layout = n - 1;
    dib bitmap;
    platform::PageImageInfo info;
    ASSERT_TRUE(platform::RenderPageImage(session, platform::FallbackPrinterPage(), req, bitmap, info));
    EXPECT_EQ(out, std::to_string(info.pages) + "\n") << "layout " << n;
    counts.push_back(info.pages);
  }
  EXPECT_NE(*std::min_element(counts.begin(), counts.end()), *std::max_element(counts.begin(), counts.end()))
      << "the test catalog should tell some layouts apart";
  for (const char* bad : {"0", "9", "-1", "2.5", "zwei"}) {
    EXPECT_EQ(Run({"pages", project, "--layout", bad}), 2) << bad;
    EXPECT_NE(err.find("--layout"), std::string::npos) << err;
  }
  EXPECT_EQ(Run({"pages", project, "--dpi", "5"}), 2);
  EXPECT_EQ(Run({"pages", Path("fehlt.pk2")}), 1);
}

TEST_F(Commands, RenderWritesOnePageImage) {
  ASSERT_EQ(Run({"render", project, "--page", "2", "--layout", "3", "--dpi", "40", "-o", Path("s2.png")}), 0)
      << err;
  EXPECT_NE(out.find("s2.png: page 2 of "), std::string::npos) << out;
  dib page;
  ASSERT_TRUE(OpenDib(page, Path("s2.png")));
  EXPECT_GT(page.width, 100);
  EXPECT_GT(page.height, page.width);
  ASSERT_EQ(Run({"render", project, "--print", "--dpi", "20", "--output", Path("p.bmp")}), 0) << err;
  EXPECT_NE(out.find("as printed"), std::string::npos) << out;
  EXPECT_EQ(Run({"render", project, "--print", "--zoom", "50", "-o", Path("x.png")}), 2);
  EXPECT_EQ(Run({"render", project, "-o", Path("x.txt")}), 2);
  EXPECT_NE(err.find("extension"), std::string::npos) << err;
  EXPECT_EQ(Run({"render", project}), 2);
  EXPECT_EQ(Run({"render", project, "--page", "0", "-o", Path("x.png")}), 2);
  EXPECT_EQ(Run({"render", project, "--zoom", "5000", "-o", Path("x.png")}), 2);
  EXPECT_EQ(Run({"render", Path("fehlt.pk2"), "-o", Path("x.png")}), 1);
  EXPECT_EQ(Run({"render", project, "-o", Path("kein/ordner/x.png")}), 1);
  EXPECT_FALSE(Exists("x.png"));
}

TEST_F(Commands, ExportPdfWritesAPdfAndChecksItsOptions) {
  ASSERT_EQ(
      Run({"export-pdf", project, Path("k.pdf"), "--rgb", "--dpi", "20", "--layout", "2", "--progress"}), 0)
      << err;
  EXPECT_EQ(ReadAll(Path("k.pdf")).substr(0, 5), "%PDF-");
  EXPECT_NE(out.find("pages of"), std::string::npos) << out;
  EXPECT_NE(out.find("RGB"), std::string::npos) << out;
  EXPECT_NE(err.find("page 1\n"), std::string::npos) << err;
  ASSERT_EQ(Run({"export-pdf", project, Path("s.pdf"), "--cmyk", "--dpi", "20", "--pdf-size", "100x150",
                 "--margin", "5", "--stretch"}),
            0)
      << err;
  EXPECT_NE(ReadAll(Path("s.pdf")).find("/DeviceCMYK"), std::string::npos);
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--rgb", "--cmyk"},
                                             {"--stretch"},  // needs --pdf-size
                                             {"--pdf-size", "0x10"},
                                             {"--pdf-size", "100"},
                                             {"--pdf-size", "100x2000"},
                                             {"--margin", "-1"},
                                             {"--dpi", "4001"},
                                             {"--layout", "0"}}) {
    std::vector<std::string> args = {"export-pdf", project, Path("bad.pdf")};
    args.insert(args.end(), bad.begin(), bad.end());
    EXPECT_EQ(Run(args), 2) << bad[0];
  }
  EXPECT_FALSE(Exists("bad.pdf"));
  EXPECT_EQ(Run({"export-pdf", Path("fehlt.pk2"), Path("bad.pdf")}), 1);
  EXPECT_EQ(Run({"export-pdf", project, Path("bad.pdf"), "--profile", Path("fehlt.icc")}), 1);
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(Exists("bad.pdf"));
}

// `text` lists the runs each page draws; the lines (page and text of every
// run, in drawing order) are the same in the preview and in an output at
// another resolution, and one page's runs are that page's of the whole list.
TEST_F(Commands, TextListsTheRunsEveryPageDraws) {
  auto lines = [](const std::string& listing, int page) {
    std::vector<std::string> result;
    std::istringstream in(listing);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      const size_t tab = line.find('\t');
      if (page > 0 && line.substr(0, tab) != std::to_string(page)) continue;
      result.push_back(line.substr(0, tab) + " " + line.substr(line.rfind('\t') + 1));
    }
    return result;
  };
  ASSERT_EQ(Run({"text", project, "--layout", "3"}), 0) << err;
  const std::string preview = out;
  EXPECT_EQ(preview.rfind("# ", 0), 0u) << preview;
  EXPECT_NE(preview.find(" pixels at 96 dpi (209.97 x 297.01 mm)"), std::string::npos) << preview;
  EXPECT_NE(preview.find("\tSchaufel\n"), std::string::npos) << preview;
  ASSERT_EQ(Run({"text", project, "--layout", "3", "--print", "--dpi", "1200"}), 0) << err;
  EXPECT_EQ(lines(out, 0), lines(preview, 0));
  ASSERT_EQ(Run({"text", project, "--layout", "3", "--page", "2"}), 0) << err;
  EXPECT_FALSE(lines(out, 2).empty());
  EXPECT_EQ(lines(out, 0), lines(preview, 2));
  EXPECT_EQ(Run({"text", project, "--page", "99"}), 1);
  EXPECT_NE(err.find("there is no page 99 of "), std::string::npos) << err;
  EXPECT_EQ(Run({"text", project, "--page", "0"}), 2);
  EXPECT_EQ(Run({"text", Path("fehlt.pk2")}), 1);
}

// Without --printer every command lays out on the A4 page, whatever
// printers the machine has (tests/cli/default_printer_test.sh runs them with
// a default queue); a printer asked for by name must exist.
TEST_F(Commands, PagesAreA4UnlessAPrinterIsNamed) {
  ASSERT_EQ(Run({"render", project, "--dpi", "20", "-o", Path("a.png")}), 0) << err;
  EXPECT_NE(out.find("(A4 fallback page 4960 x 7016 at 600 dpi)"), std::string::npos) << out;
  ASSERT_EQ(Run({"pages", project}), 0) << err;
  EXPECT_EQ(err, "");
  const std::vector<std::vector<std::string>> commands = {
      {"pages", project},
      {"render", project, "-o", Path("n.png")},
      {"export-pdf", project, Path("n.pdf"), "--dpi", "20"},
      {"export-images", project, Path("n.png"), "--dpi", "20"},
      {"export-html", project, Path("html"), "--dpi", "20", "--no-open"}};
  for (std::vector<std::string> args : commands) {
    args.insert(args.end(), {"--printer", "no-such-queue-here"});
    EXPECT_EQ(Run(args), 1) << args[0];
    EXPECT_NE(err.find("there is no printer named no-such-queue-here"), std::string::npos) << args[0] << err;
  }
  EXPECT_FALSE(Exists("n.png") || Exists("n1.png") || Exists("n.pdf") || Exists("html/catalog.htm"));
}

// The print-ready PDF's trim box is a paper size: --pdf-size, else A4. A
// printer page, an extra margin or stretching have no place in it.
TEST_F(Commands, PrintReadyPdfTrimIsAPaperSize) {
  ASSERT_EQ(Run({"export-pdf", project, Path("a4.pdf"), "--vector", "--rgb", "--bleed", "0"}), 0) << err;
  EXPECT_NE(out.find(" pages of 595 x 841 pt, vector"), std::string::npos) << out;
  EXPECT_NE(ReadAll(Path("a4.pdf")).find("/TrimBox [0 0 595.2"), std::string::npos);
  ASSERT_EQ(Run({"export-pdf", project, Path("a5.pdf"), "--vector", "--rgb", "--bleed", "0", "--pdf-size",
                 "148x210"}),
            0)
      << err;
  EXPECT_NE(out.find(" pages of 419 x 595 pt, vector"), std::string::npos) << out;
  EXPECT_NE(ReadAll(Path("a5.pdf")).find("/TrimBox [0 0 419.5"), std::string::npos);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--printer", "x"}, {"--margin", "5"}, {"--pdf-size", "100x150", "--stretch"}}) {
    std::vector<std::string> args = {"export-pdf", project, Path("bad.pdf"), "--vector"};
    args.insert(args.end(), bad.begin(), bad.end());
    EXPECT_EQ(Run(args), 2) << bad[0];
  }
  EXPECT_FALSE(Exists("bad.pdf"));
}

TEST_F(Commands, CsvExportAndImportTravelBothWays) {
  ASSERT_EQ(Run({"export-csv", project, Path("alle.csv")}), 0) << err;
  const std::string all = ReadAll(Path("alle.csv"));
  EXPECT_NE(all.find("\"Werkzeug\";"), std::string::npos);
  ASSERT_EQ(Run({"export-csv", project, Path("zwei.csv"), "--category", "2"}), 0) << err;
  const std::string two = ReadAll(Path("zwei.csv"));
  EXPECT_EQ(two.find("\"Werkzeug\";"), std::string::npos);
  EXPECT_NE(two.find("Schaufel"), std::string::npos);
  EXPECT_EQ(Run({"export-csv", project, Path("x.csv"), "--category", "3"}), 2);
  EXPECT_NE(err.find("2 categories"), std::string::npos) << err;
  EXPECT_EQ(Run({"export-csv", project, Path("x.csv"), "--all", "--category", "1"}), 2);
  EXPECT_EQ(Run({"export-csv", project, Path("x.csv"), "--category", "0"}), 2);
  EXPECT_EQ(Run({"export-csv", project, Path("kein/ordner/x.csv")}), 1);
  EXPECT_FALSE(Exists("x.csv"));

  // The export of everything read into an empty project gives both categories back.
  {
    Document empty;
    ASSERT_TRUE(SaveProjectFile(empty, Path("leer.pk2")));
  }
  ASSERT_EQ(Run({"import-csv", Path("leer.pk2"), Path("alle.csv"), Path("neu.pk2")}), 0) << err;
  EXPECT_NE(out.find("16 products, 2 new"), std::string::npos) << out;
  Document back;
  ASSERT_TRUE(OpenFileWithName(back, Path("neu.pk2")));
  ASSERT_EQ(back.kats.Count(), 2u);
  EXPECT_EQ(back.kats[1].name, u"Werkzeug");
  EXPECT_EQ(back.kats[1].products[1].name, u"Rechen");
  EXPECT_NE(back.kats[1].products[1].description.find(u"Eschenholz"), std::u16string::npos);
  // Products of one category into category 1 of the project.
  ASSERT_EQ(Run({"import-csv", project, Path("zwei.csv"), Path("mehr.pk2"), "--products-into", "1"}), 0)
      << err;
  Document more;
  ASSERT_TRUE(OpenFileWithName(more, Path("mehr.pk2")));
  EXPECT_EQ(more.kats[0].products.Count(), 16u);

  EXPECT_EQ(Run({"import-csv", project, Path("zwei.csv"), Path("x.pk2"), "--products-into", "3"}), 2);
  EXPECT_EQ(
      Run({"import-csv", project, Path("zwei.csv"), Path("x.pk2"), "--categories", "--with-categories"}), 2);
  EXPECT_EQ(Run({"import-csv", project, Path("zwei.csv"), Path("x.pk2"), "--locale", "xx"}), 2);
  EXPECT_EQ(Run({"import-csv", project, Path("zwei.csv"), Path("x.pkd")}), 2);
  EXPECT_EQ(Run({"import-csv", project, Path("fehlt.csv"), Path("x.pk2")}), 1);
  EXPECT_FALSE(Exists("x.pk2"));
  EXPECT_FALSE(Exists("x.pkd"));
}
