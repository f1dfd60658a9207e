// Printing through Qt's PDF printer (the same QPrinter path a print queue
// takes): the whole sample catalog and one page of it, the page count, the
// errors of a missing page and of a printer that cannot print, and the price
// list's printout with its fonts and half-inch margins. The end-to-end run
// through a real CUPS queue is print_queue_test.sh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QPageLayout>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "csv/pricelistlines.h"
#include "output/pricelistdocument.h"
#include "output/printjob.h"
#include "pdf/pdf_test_util.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "project/document.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"

namespace fs = std::filesystem;

namespace {

int PdfPages(const std::string& path) {
  return std::atoi(pdftest::RunCapture("qpdf --show-npages '" + path + "' 2>/dev/null").c_str());
}

// Page `page` of a PDF as a 40-dpi grey image.
std::string PageRaster(const std::string& pdf, int page, const std::string& base) {
  pdftest::RunCapture("pdftoppm -gray -r 40 -f " + std::to_string(page) + " -l " + std::to_string(page) +
                      " -singlefile '" + pdf + "' '" + base + "'");
  return pdftest::ReadFile(base + ".pgm");
}

class Printing : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    std::string t = (fs::temp_directory_path() / "ql-printing-XXXXXX").string();
    dir_ = mkdtemp(t.data());
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // A PDF printer at a low resolution (quick) writing `name` in the folder.
  std::unique_ptr<QPrinter> PdfPrinter(const std::string& name) {
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setResolution(100);
    p->setOutputFileName(QString::fromStdString(file(name)));
    return p;
  }
  std::string file(const std::string& name) const { return dir_ + "/" + name; }

  std::string dir_;
};

class SamplePrinting : public Printing {
 protected:
  void SetUp() override {
    Printing::SetUp();
    std::u16string error;
    ASSERT_TRUE(OpenProjectFile(doc_, QL_BIN_DIR "/test.pk2", ReadOptions::FromDocument(doc_), &error));
    session_ = std::make_unique<render::RenderSession>(doc_, measurer_, loader_);
    session_->LoadFurniturePictures();
  }
  Document doc_;
  platform::QtTextMeasurer measurer_;
  platform::QtPictureLoader loader_;
  std::unique_ptr<render::RenderSession> session_;
};

TEST_F(SamplePrinting, WholeCatalogAndPageThreeAlone) {
  auto whole = PdfPrinter("whole.pdf");
  const output::PrintResult all = output::PrintCatalog(*session_, *whole, u"Katalog drucken", 0);
  ASSERT_TRUE(all.ok) << all.error;
  ASSERT_GE(all.anzpages, 3);
  EXPECT_EQ(all.pages, all.anzpages);
  EXPECT_EQ(session_->anzpages, all.anzpages);
  whole.reset();  // the PDF is complete once the printer is gone
  EXPECT_EQ(PdfPages(file("whole.pdf")), all.anzpages);
  EXPECT_NE(pdftest::RunCapture("pdfinfo '" + file("whole.pdf") + "'").find("Katalog drucken"),
            std::string::npos);

  session_->anzpages = 12345;  // a one-page print leaves the count alone
  auto one = PdfPrinter("page3.pdf");
  const output::PrintResult r = output::PrintCatalogPage(*session_, *one, 3, u"Katalog drucken", 0);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.pages, 1);
  EXPECT_EQ(session_->anzpages, 12345);
  one.reset();
  EXPECT_EQ(PdfPages(file("page3.pdf")), 1);

  const std::string a = PageRaster(file("whole.pdf"), 3, file("w3"));
  const std::string b = PageRaster(file("page3.pdf"), 1, file("p3"));
  ASSERT_GT(a.size(), 1000u);
  EXPECT_TRUE(a == b) << "page 3 alone differs from page 3 of the whole print";
  // Page 3 differs from page 2: the page asked for is the one printed.
  EXPECT_NE(PageRaster(file("whole.pdf"), 2, file("w2")), b);
}

TEST_F(SamplePrinting, PageBeyondTheLastPrintsNothing) {
  auto printer = PdfPrinter("none.pdf");
  const output::PrintResult r = output::PrintCatalogPage(*session_, *printer, 999, u"Katalog drucken", 0);
  EXPECT_FALSE(r.ok);
  // Without a translation table the messages are German.
  EXPECT_NE(r.error.find("Die Seite 999 gibt es nicht"), std::string::npos) << r.error;
  EXPECT_NE(r.error.find(std::to_string(r.anzpages) + " Seiten"), std::string::npos) << r.error;
  printer.reset();
  EXPECT_FALSE(fs::exists(file("none.pdf")));
}

TEST_F(SamplePrinting, PrinterThatCannotPrint) {
  QPrinter nowhere(QPrinter::HighResolution);
  nowhere.setOutputFormat(QPrinter::PdfFormat);  // no queue and no file
  output::PrintResult r = output::PrintCatalog(*session_, nowhere, u"Katalog drucken", 0);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("keinen Drucker"), std::string::npos) << r.error;

  auto unwritable = PdfPrinter("missing-folder/x.pdf");
  r = output::PrintCatalog(*session_, *unwritable, u"Katalog drucken", 0);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("missing-folder/x.pdf"), std::string::npos) << r.error;
}

TEST_F(Printing, PriceListPrintoutKeepsFontsAndMargins) {
  Document doc;
  Category& c = *doc.AddCategory(u"K");
  for (int i = 0; i < 40; ++i) {  // long enough for a second sheet
    Product& p = *doc.AddProduct(c);
    p.name = u"Produkt " + std::u16string(1, char16_t(u'A' + i % 26));
    VariantRow& head = *doc.AddRow(p);
    head.cells.Add()->text = u"Art. Nummer";
    head.cells.Add()->text = u"Preis";
    VariantRow& row = *doc.AddRow(p);
    row.cells.Add()->text = u"A-" + std::u16string(1, char16_t(u'0' + i % 10));
    row.cells.Add()->text = u"9,99";
  }
  QTextDocument text;
  output::FillPriceListDocument(text, csv::BuildPriceList(doc, u"Preisliste"));
  // What the user typed into the box is printed.
  QTextCursor cur(&text);
  cur.movePosition(QTextCursor::End);
  cur.insertText(QStringLiteral("Handschriftlich ergänzt"));

  auto printer = PdfPrinter("prices.pdf");
  // The margins are measured from the printable area the printer reports.
  const QRectF paint = printer->pageLayout().paintRect(QPageLayout::Point);
  const QRectF paper = printer->pageLayout().fullRect(QPageLayout::Point);
  const output::PrintResult r = output::PrintRichText(text, *printer, u"Katalog");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_GE(r.pages, 2);
  printer.reset();
  const std::string pdf = file("prices.pdf");
  EXPECT_EQ(PdfPages(pdf), r.pages);
  EXPECT_NE(pdftest::RunCapture("pdfinfo '" + pdf + "'").find("Katalog"), std::string::npos);

  const std::string fonts = pdftest::RunCapture("pdffonts '" + pdf + "'");
  EXPECT_NE(fonts.find("LiberationMono-Bold"), std::string::npos) << fonts;
  EXPECT_NE(fonts.find("LiberationMono "), std::string::npos) << fonts;

  const std::string words = pdftest::RunCapture("pdftotext -layout '" + pdf + "' -");
  EXPECT_NE(words.find("Art. Nummer Preis"), std::string::npos);
  EXPECT_NE(words.find("A-1         9,99"), std::string::npos);
  EXPECT_NE(words.find("Handschriftlich ergänzt"), std::string::npos);

  // Every word lies inside the half-inch (36 point) margins of its page.
  const std::string bbox = pdftest::RunCapture("pdftotext -bbox '" + pdf + "' -");
  double minX = 1e9, minY = 1e9, maxY = 0, pageH = 0;
  size_t at = 0;
  int wordsSeen = 0;
  while ((at = bbox.find("<word xMin=\"", at)) != std::string::npos) {
    double x0, y0, x1, y1;
    ASSERT_EQ(std::sscanf(bbox.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &x0,
                          &y0, &x1, &y1),
              4);
    minX = std::min(minX, x0);
    minY = std::min(minY, y0);
    maxY = std::max(maxY, y1);
    ++wordsSeen;
    ++at;
  }
  const size_t ph = bbox.find("<page width=\"");
  ASSERT_NE(ph, std::string::npos);
  double pageW;
  ASSERT_EQ(std::sscanf(bbox.c_str() + ph, "<page width=\"%lf\" height=\"%lf\"", &pageW, &pageH), 2);
  ASSERT_GT(wordsSeen, 100);
  EXPECT_NEAR(pageH, paper.height(), 1);
  EXPECT_NEAR(minX, paint.left() + 36, 1.5);
  EXPECT_GE(minY, paint.top() + 36 - 1);
  EXPECT_LE(maxY, paint.bottom() - 36 + 1);
}

TEST_F(Printing, PriceListFiles) {
  Document doc;
  Category& c = *doc.AddCategory(u"K");
  Product& p = *doc.AddProduct(c);
  p.name = u"Spaten";
  doc.AddRow(p)->cells.Add()->text = u"S-1";
  std::string error;
  ASSERT_TRUE(output::WritePriceList(doc, file("p.txt"), output::PriceListFormat::Text, error)) << error;
  EXPECT_EQ(pdftest::ReadFile(file("p.txt")), "Preisliste\n\nSpaten\nS-1 \n\n");
  ASSERT_TRUE(output::WritePriceList(doc, file("p.html"), output::PriceListFormat::Html, error)) << error;
  EXPECT_NE(pdftest::ReadFile(file("p.html")).find("<p class=\"b\">Spaten</p>"), std::string::npos);
  ASSERT_TRUE(output::WritePriceList(doc, file("p.pdf"), output::PriceListFormat::Pdf, error)) << error;
  EXPECT_EQ(PdfPages(file("p.pdf")), 1);
  EXPECT_NE(pdftest::RunCapture("pdftotext '" + file("p.pdf") + "' -").find("Spaten"), std::string::npos);

  // A folder that does not exist: a message naming the file, nothing written.
  EXPECT_FALSE(output::WritePriceList(doc, file("no/p.pdf"), output::PriceListFormat::Pdf, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(output::WritePriceList(doc, file("no/p.txt"), output::PriceListFormat::Text, error));
  EXPECT_NE(error.find("no/p.txt"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(file("no")));
  size_t n = 0;
  for (auto it = fs::directory_iterator(dir_); it != fs::directory_iterator(); ++it) ++n;
  EXPECT_EQ(n, 3u);  // p.txt, p.html, p.pdf: no temporary left behind
}

TEST_F(Printing, PriceListPdfIsWrittenLikeEveryOtherFile) {
  Document doc;
  Product& p = *doc.AddProduct(*doc.AddCategory(u"K"));
  p.name = u"Spaten";
  std::string error;
  auto spit = [](const std::string& path, const std::string& bytes) { std::ofstream(path) << bytes; };

  // A link planted under the name the export once used for its temporary
  // file (".pricelist-<pid>.pdf.tmp") is never written through.
  spit(file("victim"), "keep me");
  fs::create_symlink(file("victim"), file(".pricelist-" + std::to_string(::getpid()) + ".pdf.tmp"));
  ASSERT_TRUE(output::WritePriceList(doc, file("p.pdf"), output::PriceListFormat::Pdf, error)) << error;
  EXPECT_EQ(pdftest::ReadFile(file("victim")), "keep me");
  EXPECT_EQ(PdfPages(file("p.pdf")), 1);

  // A read-only target is refused and keeps its bytes and mode (root too).
  spit(file("ro.pdf"), "old");
  fs::permissions(file("ro.pdf"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(output::WritePriceList(doc, file("ro.pdf"), output::PriceListFormat::Pdf, error));
  EXPECT_NE(error.find("schreibgeschützt"), std::string::npos) << error;
  EXPECT_EQ(pdftest::ReadFile(file("ro.pdf")), "old");
  EXPECT_EQ(fs::status(file("ro.pdf")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  // A link as the target is written through: the link stays, its file is
  // the new price list, with the file's mode kept.
  spit(file("real.pdf"), "old");
  fs::permissions(file("real.pdf"), fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(file("real.pdf"), file("link.pdf"));
  ASSERT_TRUE(output::WritePriceList(doc, file("link.pdf"), output::PriceListFormat::Pdf, error)) << error;
  EXPECT_TRUE(fs::is_symlink(file("link.pdf")));
  EXPECT_EQ(PdfPages(file("real.pdf")), 1);
  EXPECT_EQ(fs::status(file("real.pdf")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  // The window's printer keeps its file name after a print into a file.
  auto printer = PdfPrinter("window.pdf");
  QTextDocument text;
  output::FillPriceListDocument(text, csv::BuildPriceList(doc, u"Preisliste"));
  ASSERT_TRUE(output::PrintRichText(text, *printer, u"Katalog").ok);
  EXPECT_EQ(printer->outputFileName().toStdString(), file("window.pdf"));
  EXPECT_EQ(PdfPages(file("window.pdf")), 1);
  const std::string planted = ".pricelist-" + std::to_string(::getpid()) + ".pdf.tmp";
  for (const auto& e : fs::directory_iterator(dir_)) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(name[0] != '.' || name == planted) << name << " left behind";
  }
}

}  // namespace

namespace {

// A price list of characters the fixed-pitch font lacks: they come from a
// fallback face, embedded, and read back as text.
TEST_F(Printing, PriceListPdfEmbedsAFallbackForCharactersTheFontLacks) {
  Document doc;
  Category* c = doc.AddCategory(u"K");
  Product& p = *doc.AddProduct(*c);
  p.name = u"Ä€漢字";
  doc.AddRow(p)->cells.Add()->text = u"漢字-1";
  std::string error;
  ASSERT_TRUE(output::WritePriceList(doc, file("cjk.pdf"), output::PriceListFormat::Pdf, error)) << error;
  const std::string text = pdftest::RunCapture("pdftotext -enc UTF-8 '" + file("cjk.pdf") + "' -");
  EXPECT_NE(text.find("Ä€漢字"), std::string::npos) << text;
  EXPECT_NE(text.find("漢字-1"), std::string::npos) << text;
  const std::string fonts = pdftest::RunCapture("pdffonts '" + file("cjk.pdf") + "'");
  bool fallback = false;
  std::istringstream lines(fonts);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("Liberation") != std::string::npos || line.find("---") != std::string::npos ||
        line.find("name ") == 0)
      continue;
    fallback = true;
    // Qt writes its subsets without a tag, so pdffonts cannot tell: the
    // size does (the fallback's font file is many megabytes).
    EXPECT_NE(line.find("CID TrueType      Identity-H       yes"), std::string::npos) << "embedded: " << line;
  }
  EXPECT_TRUE(fallback) << fonts;
  EXPECT_LT(fs::file_size(file("cjk.pdf")), 200u * 1024);
}

}  // namespace
