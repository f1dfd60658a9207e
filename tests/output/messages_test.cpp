// Why an output failed, in the language of the messages: every refusal of
// the page images, the HTML catalog, the PDF, the price list, printing into
// a file, a single page image and the recovery copy is a text of the
// shown-texts catalog in French or Dutch, naming the file, with the
// system's reason in our own short words. Nothing English or German leaks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QPrinter>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../support/shown_texts.h"
#include "output/htmlcatalog.h"
#include "output/pageimages.h"
#include "output/pdfexport.h"
#include "output/pricelistdocument.h"
#include "output/printjob.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pageimage.h"
#include "platform/qtpictureloader.h"
#include "platform/recoveryfile.h"
#include "project/document.h"
#include "test_renderer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFrench = 2, kDutch = 3;

class OutputMessages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    std::string t = (fs::temp_directory_path() / "ql-outmsg-XXXXXX").string();
    dir_ = mkdtemp(t.data());
    doc_.settings.FilenameEdit1.clear();
    session_ = std::make_unique<render::RenderSession>(doc_, measurer_, loader_);
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(dir_, ec))
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  std::string file(const std::string& name) const { return dir_ + "/" + name; }
  static void Spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // The message for `path` that could not be written, for `reason`.
  static std::string CannotWrite(const std::string& path, const std::u16string& reason) {
    return i18n::SayUtf8(i18n::Text::CannotWriteFile, {ql::FromUtf8(path), reason});
  }
  // A catalog text, and none of the system's English reasons in it.
  static void ExpectShown(const std::string& message) {
    EXPECT_TRUE(testsupport::IsCatalogText(message)) << message;
    for (int err : {ENOENT, EACCES, ENOTDIR, EISDIR, EEXIST, ENOSPC})
      EXPECT_EQ(message.find(std::strerror(err)), std::string::npos) << message;
    for (const char* english : {"cannot", "not enough", "the file", "must lie", "read-only"})
      EXPECT_EQ(message.find(english), std::string::npos) << message;
  }
  std::string dir_;
  Document doc_;
  platform::QtTextMeasurer measurer_;
  platform::QtPictureLoader loader_;
  std::unique_ptr<render::RenderSession> session_;
};

}  // namespace

TEST_F(OutputMessages, PageImagesInFrench) {
  testsupport::ShippedLanguage french(kFrench);
  ASSERT_TRUE(french.loaded());
  outtest::RendererGuard guard(*session_, 5);
  output::PageImagesOptions o;
  o.dpi = 20;
  auto refused = [&](const output::PageImagesOptions& opts, const std::string& name = "p") {
    const output::PageImagesResult r = output::ExportPageImages(*session_, file(name), opts);
    EXPECT_FALSE(r.ok);
    ExpectShown(r.error);
    return r.error;
  };
  output::PageImagesOptions bad = o;
  bad.dpi = 5;
  EXPECT_EQ(refused(bad), i18n::SayUtf8(i18n::Text::ResolutionOutOfRange, {u"10", u"1440"}));
  bad = o;
  bad.filterIndex = 99;
  refused(bad);
  bad = o;
  bad.compress = 101;
  refused(bad);
  bad = o;
  bad.dpi = 1440;  // A4 at 1440 dpi is beyond the page bitmap limit
  refused(bad);
  bad = o;
  bad.allPages = false;
  bad.from = 3;
  bad.to = 2;
  refused(bad);
  bad.from = 6;
  bad.to = 9;
  EXPECT_NE(refused(bad).find("5"), std::string::npos);
  // A folder that does not exist.
  EXPECT_NE(refused(o, "missing/p").find(file("missing/p1")), std::string::npos);
}

TEST_F(OutputMessages, HtmlCatalogInDutch) {
  testsupport::ShippedLanguage dutch(kDutch);
  ASSERT_TRUE(dutch.loaded());
  outtest::RendererGuard guard(*session_, 3);
  const std::string prog = file("prog/");
  fs::create_directories(prog);
  Spit(prog + "flippages.htm", "<html data-pairs=\"%%ANZPAGES%%\"></html>\n");
  for (const char* name : output::kHtmlNavPictures) Spit(prog + name, std::string("GIF89a") + name);
  output::HtmlCatalogOptions o;
  o.progpath = prog;
  o.dpi = 20;
  auto refused = [&](const output::HtmlCatalogOptions& opts, const std::string& folder) {
    const output::HtmlCatalogResult r = output::ExportHtmlCatalog(*session_, folder, opts);
    EXPECT_FALSE(r.ok);
    ExpectShown(r.error);
    return r.error;
  };
  output::HtmlCatalogOptions bad = o;
  bad.dpi = 5;
  refused(bad, file("out"));
  bad = o;
  bad.compress = -1;
  refused(bad, file("out"));
  bad = o;
  bad.progpath = file("noprog");
  EXPECT_NE(refused(bad, file("out")).find(file("noprog/flippages.htm")), std::string::npos);

  // A folder below a file cannot be made.
  Spit(file("plain"), "x");
  EXPECT_NE(refused(o, file("plain/out")).find(file("plain/out/")), std::string::npos);

  // A read-only catalog.htm, then a read-only page image of an earlier run.
  const std::string out = file("out/");
  fs::create_directories(out);
  Spit(out + "catalog.htm", "old");
  fs::permissions(out + "catalog.htm", fs::perms::owner_read);
  EXPECT_EQ(refused(o, out), CannotWrite(out + "catalog.htm", i18n::Say(i18n::Text::ErrFileReadOnly)));
  fs::remove(out + "catalog.htm");
  Spit(out + "catalogpage3.jpg", "old");
  fs::permissions(out + "catalogpage3.jpg", fs::perms::owner_read);
  EXPECT_EQ(refused(o, out), CannotWrite(out + "catalogpage3.jpg", i18n::Say(i18n::Text::ErrFileReadOnly)));
}

TEST_F(OutputMessages, PdfInFrench) {
  testsupport::ShippedLanguage french(kFrench);
  ASSERT_TRUE(french.loaded());
  outtest::RendererGuard guard(*session_, 2);
  output::PdfExportOptions o;
  o.dpi = 20;
  o.cmyk = false;
  o.progpath = dir_;
  o.tempFolder = dir_;
  auto refused = [&](const output::PdfExportOptions& opts, const std::string& name = "c.pdf") {
    const output::PdfExportResult r = output::ExportPDF(*session_, file(name), opts);
    EXPECT_FALSE(r.ok);
    ExpectShown(r.error);
    return r.error;
  };
  output::PdfExportOptions bad = o;
  bad.dpi = 5;
  refused(bad);
  bad = o;
  bad.dpi = 4000;
  refused(bad);
  bad = o;
  bad.printer.width = 0;
  EXPECT_EQ(refused(bad), i18n::SayUtf8(i18n::Text::PrinterNoPageSize));
  EXPECT_EQ(refused(o, "missing/c.pdf"), CannotWrite(file("missing/c.pdf"), i18n::SystemErrorText(ENOENT)));
  if (geteuid() != 0) {
    // The writer fails mid-way: its folder for temporary files cannot be made.
    bad = o;
    bad.tempFolder = file("locked");
    fs::create_directory(bad.tempFolder);
    chmod(bad.tempFolder.c_str(), 0500);
    EXPECT_NE(refused(bad).find(ql::ToUtf8(i18n::SystemErrorText(EACCES))), std::string::npos);
  }
}

TEST_F(OutputMessages, PriceListAndPrintingIntoAFileInDutch) {
  testsupport::ShippedLanguage dutch(kDutch);
  ASSERT_TRUE(dutch.loaded());
  std::string error;
  EXPECT_FALSE(output::WritePriceList(doc_, file("no/p.txt"), output::PriceListFormat::Text, error));
  EXPECT_EQ(error, CannotWrite(file("no/p.txt"), i18n::SystemErrorText(ENOENT)));
  EXPECT_FALSE(output::WritePriceList(doc_, file("no/p.pdf"), output::PriceListFormat::Pdf, error));
  ExpectShown(error);

  outtest::RendererGuard guard(*session_, 2);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(100);
  printer.setOutputFileName(QString::fromStdString(file("no/x.pdf")));
  const output::PrintResult r = output::PrintCatalog(*session_, printer, u"Katalog drucken", 0);
  EXPECT_FALSE(r.ok);
  ExpectShown(r.error);
  EXPECT_NE(r.error.find(file("no/x.pdf")), std::string::npos) << r.error;
}

TEST_F(OutputMessages, PageImageAndRecoveryCopyInFrench) {
  testsupport::ShippedLanguage french(kFrench);
  ASSERT_TRUE(french.loaded());
  outtest::RendererGuard guard(*session_, 2);
  const platform::PrinterPage page = platform::FallbackPrinterPage();
  dib out;
  platform::PageImageInfo info;
  std::string error;
  platform::PageImageRequest req;
  req.zoom = 0;
  EXPECT_FALSE(platform::RenderPageImage(*session_, page, req, out, info, &error));
  EXPECT_EQ(error, i18n::SayUtf8(i18n::Text::ZoomNotPositive));
  req.zoom = 100;
  req.dpi = 2000;
  EXPECT_FALSE(platform::RenderPageImage(*session_, page, req, out, info, &error));
  ExpectShown(error);

  // The recovery folder would lie below a file.
  Spit(file("plain"), "x");
  const QString folder = QString::fromStdString(file("plain/recovery"));
  platform::RecoveryFile recovery(folder);
  std::u16string why;
  EXPECT_FALSE(recovery.Write(doc_, QDateTime::currentDateTimeUtc(), &why));
  EXPECT_EQ(why, i18n::Say(i18n::Text::CannotCreateFolderPlain, {folder.toStdU16String()}));
  platform::RecoveryCopy gone;
  gone.path = QString::fromStdString(file("gone.qlr"));
  EXPECT_FALSE(platform::RecoveryFile::Restore(gone, doc_, &why));
  EXPECT_EQ(why, i18n::Say(i18n::Text::FileUnreadable, {gone.path.toStdU16String()}));
  ExpectShown(ql::ToUtf8(why));
}
