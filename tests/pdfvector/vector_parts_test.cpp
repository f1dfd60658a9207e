// Bad input of the vector export (a missing font, an unusable profile, an
// unreadable picture) and the pieces of the vector surface with contracts
// of their own: text measured like the layout, colours, bleed, pictures.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "../support/shell.h"
#include "../support/shown_texts.h"
#include "core/codepage.h"
#include "output/vectorexport.h"
#include "pdf/pdfimages.h"
#include "pdfvector/fonts.h"
#include "pdfvector/imageobjects.h"
#include "pdfvector/pdfsurface.h"
#include "pdfvector/pdfwriter.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"

namespace fs = std::filesystem;

namespace {

using qltest::ReadFile;

const std::string kBin = QL_BIN_DIR;

class VectorExportInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    dir_ = (fs::temp_directory_path() / ("ql-vecin-" + std::to_string(::getpid()))).string();
    fs::create_directories(dir_);
    std::u16string err;
    ASSERT_TRUE(OpenProjectFile(doc, kBin + "/test.pk2", ReadOptions::FromDocument(doc), &err))
        << ql::ToUtf8(err);
    opts.progpath = kBin;
    opts.threads = 2;
  }
  void TearDown() override { fs::remove_all(dir_); }
  output::VectorPdfResult Export(const std::string& out) {
    render::RenderSession s(doc, measurer, loader);
    s.LoadFurniturePictures();
    return output::ExportVectorPDF(s, out, opts);
  }
  // Files in the folder besides the ones named.
  size_t FileCount() const {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir_)) (void)e, ++n;
    return n;
  }

  std::string dir_;
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  output::VectorPdfOptions opts = output::PrintPdfPreset();
};

TEST_F(VectorExportInput, MissingFontFailsNamingItAndKeepsTheOldFile) {
  doc.settings.FontDialog2.name = u"Quillane Missing Face";
  const std::string out = dir_ + "/c.pdf";
  std::ofstream(out) << "old";
  const output::VectorPdfResult r = Export(out);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("Quillane Missing Face"), std::string::npos) << r.error;
  EXPECT_EQ(ReadFile(out), "old");
  EXPECT_EQ(FileCount(), 1u);  // no temporary file left
}

TEST_F(VectorExportInput, UnusableProfileNamedByTheUserWritesNoFile) {
  const std::string bad = dir_ + "/bad.icc";
  std::ofstream(bad) << std::string(4096, 'x');
  opts.profilePath = bad;
  const std::string out = dir_ + "/c.pdf";
  const output::VectorPdfResult r = Export(out);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("bad.icc"), std::string::npos) << r.error;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(FileCount(), 1u);
  // The same file for an RGB export is not used at all.
  opts.cmyk = false;
  EXPECT_TRUE(Export(out).ok);
}

// Every refusal of the export, in the user's language: a text of the
// shown-texts catalog naming the font or file, no English of the libraries.
TEST_F(VectorExportInput, RefusalsSpeakTheUsersLanguage) {
  testsupport::ShippedLanguage dutch(3);
  ASSERT_TRUE(dutch.loaded());
  const std::string out = dir_ + "/c.pdf";
  const auto refused = [&](const std::string& named) {
    const output::VectorPdfResult r = Export(out);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(testsupport::IsCatalogText(r.error)) << r.error;
    EXPECT_NE(r.error.find(named), std::string::npos) << r.error;
    EXPECT_FALSE(fs::exists(out));
    return r.error;
  };
  const TFontSpec font = doc.settings.FontDialog2;
  doc.settings.FontDialog2.name = u"Quillane Missing Face";
  EXPECT_NE(refused("Quillane Missing Face").find("is niet geïnstalleerd"), std::string::npos);
  doc.settings.FontDialog2 = font;

  std::ofstream(dir_ + "/bad.icc") << std::string(4096, 'x');
  for (const char* profile : {"bad.icc", "missing.icc"}) {
    opts.profilePath = dir_ + "/" + profile;
    refused(profile);
  }
  opts.profilePath.clear();
  opts.bleedMm = 30;
  refused("25 mm");
  opts.bleedMm = 3;
  opts.maxPictureppi = 20;
  refused("4000 ppi");
  opts.maxPictureppi = 300;
  doc.settings.SetPDFSizeCheck = true;
  doc.settings.PDFWidthEd = 0;
  refused("0 mm");
  doc.settings.SetPDFSizeCheck = false;

  const std::string nowhere = dir_ + "/weg/c.pdf";
  const output::VectorPdfResult r = Export(nowhere);
  EXPECT_EQ(r.error, "Het bestand " + nowhere + " kon niet worden geschreven: Bestand niet gevonden");
  EXPECT_TRUE(Export(out).ok);
}

TEST_F(VectorExportInput, UnreadablePictureIsLeftOut) {
  const std::string out = dir_ + "/c.pdf";
  opts.cmyk = false;
  const output::VectorPdfResult before = Export(out);
  ASSERT_TRUE(before.ok) << before.error;
  const std::string broken = dir_ + "/broken.jpg";
  std::ofstream(broken) << "\xFF\xD8\xFF\xE0 not a picture";
  int replaced = 0;
  for (Category& c : doc.kats)
    for (Product& p : c.products)
      for (Picture& pic : p.pictures)
        if (replaced < 3) {
          pic.filename = ql::FromUtf8(broken);
          pic.pixwidth = pic.pixheight = 0;
          ++replaced;
        }
  ASSERT_EQ(replaced, 3);
  const output::VectorPdfResult after = Export(out);
  ASSERT_TRUE(after.ok) << after.error;
  EXPECT_EQ(after.anzpages, before.anzpages);
  EXPECT_LT(after.pictures, before.pictures);
  EXPECT_EQ(std::system(("qpdf --check '" + out + "' >/dev/null 2>&1").c_str()), 0);
}

// The window's loader keeps up to 256 MB of decoded pictures for its
// preview; the export draws each page once and holds its cache to a few
// MB while it runs, a lower limit stays, and the caller's comes back after
// a finished and after a failed export.
TEST_F(VectorExportInput, PictureCacheIsHeldSmallWhileExporting) {
  struct Spy : render::PictureLoader {
    explicit Spy(platform::QtPictureLoader& l) : inner(l) {}
    bool Load(const std::u16string& f, dib& out) override { return inner.Load(f, out); }
    bool PixelSize(const std::u16string& f, int32_t& w, int32_t& h) override {
      return inner.PixelSize(f, w, h);
    }
    bool LoadForBox(const std::u16string& f, int32_t bw, int32_t bh, dib& out, int32_t& fw,
                    int32_t& fh) override {
      ++loads;
      highest = std::max(highest, inner.CacheLimit());
      return inner.LoadForBox(f, bw, bh, out, fw, fh);
    }
    uint64_t CacheLimit() const override { return inner.CacheLimit(); }
    void SetCacheLimit(uint64_t bytes) override { inner.SetCacheLimit(bytes); }
    platform::QtPictureLoader& inner;
    int loads = 0;
    uint64_t highest = 0;
  };
  const uint64_t preview = loader.CacheLimit();
  ASSERT_GE(preview, uint64_t(256) << 20);
  Spy spy(loader);
  auto run = [&](const std::string& out) {
    spy.loads = 0;
    spy.highest = 0;
    render::RenderSession s(doc, measurer, spy);
    return output::ExportVectorPDF(s, out, opts);
  };
  ASSERT_TRUE(run(dir_ + "/c.pdf").ok);
  EXPECT_GT(spy.loads, 0);
  EXPECT_GT(spy.highest, 0u);
  EXPECT_LE(spy.highest, uint64_t(32) << 20);
  EXPECT_EQ(loader.CacheLimit(), preview);

  loader.SetCacheLimit(1 << 20);
  ASSERT_TRUE(run(dir_ + "/c.pdf").ok);
  EXPECT_EQ(spy.highest, uint64_t(1) << 20);
  EXPECT_EQ(loader.CacheLimit(), uint64_t(1) << 20);

  loader.SetCacheLimit(preview);
  doc.settings.FontDialog2.name = u"Quillane Missing Face";
  EXPECT_FALSE(run(dir_ + "/d.pdf").ok);
  EXPECT_EQ(loader.CacheLimit(), preview);
}

// ---- the surface ----

class Surface : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  pdfvec::PdfWriter writer{0};
  pdfvec::FontSet fonts;
  pdfvec::PictureStore pictures{writer, pdfvec::PictureOptions()};
  pdfvec::ColourOps rgb{false, nullptr};
};

TEST_F(Surface, TextIsMeasuredAsTheLayoutMeasures) {
  // The layout measures at 300 ppi; a 300-dpi page must end runs there.
  pdfvec::PdfSurface s(fonts, pictures, writer, rgb, 2480, 3508, 0.24, 0.24, 0, false);
  platform::QtTextMeasurer m;
  for (const char* name : {"Arial", "Times New Roman", "Courier New", "Verdana"})
    for (bool bold : {false, true}) {
      TFontSpec f;
      f.name = ql::FromUtf8(name);
      f.size = 11;
      f.bold = bold;
      s.SetFont(f);
      s.SetFontPpi(300);
      for (const char16_t* text : {u"Gießkanne verzinkt, 10 l", u"Ø 25 cm – 5,90 €", u"WWW iiii"}) {
        const int32_t ours = s.TextWidth(text), layout = m.TextWidthPx(f, text);
        EXPECT_NEAR(ours, layout, 1) << name << (bold ? " bold " : " ") << ql::ToUtf8(text);
      }
      EXPECT_NEAR(s.TextHeight(u" "), m.TextHeightPx(f, u" "), 1) << name;
    }
  EXPECT_TRUE(s.error().empty()) << s.error();
}

TEST_F(Surface, AreasTouchingAnEdgeReachIntoTheBleed) {
  pdfvec::PdfSurface s(fonts, pictures, writer, rgb, 1000, 2000, 0.24, 0.24, 30, false);
  s.BeginPage();
  s.SetPenStyle(render::PenStyle::Clear);
  s.SetBrushColor(RGBColor(10, 20, 30));
  s.Rectangle(0, 0, 1001, 101);  // a header band (clear pen: one pixel less)
  s.SetBrushColor(RGBColor(200, 20, 30));
  s.Rectangle(100, 500, 201, 601);  // inside: unchanged
  s.SetBrushColor(RGBColor(0, 0, 255));
  s.Rectangle(0, 1900, 51, 2001);  // bottom-left corner
  const std::string c = s.TakeContent();
  EXPECT_NE(c.find("-30 -30 1060 130 re f"), std::string::npos) << c;
  EXPECT_NE(c.find("100 500 100 100 re f"), std::string::npos) << c;
  EXPECT_NE(c.find("-30 1900 80 130 re f"), std::string::npos) << c;
  // Rows of one colour (a gradient's runs) become one area.
  s.BeginPage();
  s.SetBrushColor(RGBColor(1, 2, 3));
  for (int y = 200; y < 260; ++y) s.Rectangle(10, y, 21, y + 2);
  const std::string g = s.TakeContent();
  EXPECT_NE(g.find("10 200 10 60 re f"), std::string::npos) << g;
}

TEST_F(Surface, ColoursInCmykAreInkAndBlackIsBlackInkOnly) {
  pdfimg::CmykConverter conv(kBin + "/" + pdfimg::kShippedProfileName);
  pdfvec::ColourOps cmyk(true, &conv);
  EXPECT_EQ(cmyk.Op(0, false), "0 0 0 1 k");
  EXPECT_EQ(cmyk.Op(0, true), "0 0 0 1 K");
  const std::string red = cmyk.Op(RGBColor(255, 0, 0), false);
  EXPECT_EQ(red.substr(red.size() - 2), " k");
  EXPECT_EQ(rgb.Op(RGBColor(255, 255, 255), false), "1 1 1 rg");
  EXPECT_EQ(rgb.Op(RGBColor(255, 0, 0), true), "1 0 0 RG");
}

TEST(Pictures, JpegHeaderDownscaleAndHash) {
  // 4 x 2 RGB: each 2 x 2 block averages to one pixel.
  std::string px;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      px += {static_cast<char>(x < 2 ? 10 * (x + y) : 200), 0, static_cast<char>(100)};
  const std::string half = pdfvec::Downscale(px, 4, 2, 3, 2, 1);
  ASSERT_EQ(half.size(), 6u);
  EXPECT_EQ(static_cast<uint8_t>(half[0]), 10);  // (0 + 10 + 10 + 20) / 4
  EXPECT_EQ(static_cast<uint8_t>(half[3]), 200);
  EXPECT_EQ(static_cast<uint8_t>(half[5]), 100);

  const std::string jpeg = pdfvec::EncodeJpeg(std::string(37 * 21 * 3, '\x80'), 37, 21, 3, 90);
  int comps = 0, w = 0, h = 0;
  ASSERT_TRUE(pdfvec::ReadJpegHeader(jpeg, comps, w, h));
  EXPECT_EQ(comps, 3);
  EXPECT_EQ(w, 37);
  EXPECT_EQ(h, 21);
  EXPECT_FALSE(pdfvec::ReadJpegHeader(jpeg.substr(0, 20), comps, w, h));
  EXPECT_FALSE(pdfvec::ReadJpegHeader("GIF89a", comps, w, h));

  dib a, b;
  ASSERT_TRUE(newdib(a, 5, 5, 24));
  ASSERT_TRUE(newdib(b, 5, 5, 24));
  EXPECT_EQ(pdfvec::PictureHash(a), pdfvec::PictureHash(b));
  setpixel(b, 2, 2, 0x010101);
  EXPECT_NE(pdfvec::PictureHash(a), pdfvec::PictureHash(b));
}

TEST_F(Surface, BlackOverprintsGreyIsBlackInkLargeBlackMayBeRich) {
  pdfimg::CmykConverter conv(kBin + "/" + pdfimg::kShippedProfileName);
  pdfvec::InkOptions ink;
  ink.richBlack = true;
  pdfvec::ColourOps cmyk(true, &conv, ink);
  // 0.24 pt a pixel: 4 px is about 1 pt, 120 px about 1 cm.
  pdfvec::PdfSurface s(fonts, pictures, writer, cmyk, 2480, 3508, 0.24, 0.24, 0, false);
  s.BeginPage();
  TFontSpec f;
  f.name = u"Arial";
  f.size = 10;
  s.SetFont(f);
  s.SetFontPpi(300);
  s.SetPenStyle(render::PenStyle::Clear);
  s.SetBrushColor(RGBColor(200, 230, 255));  // a tinted band
  s.Rectangle(0, 0, 2481, 301);
  s.SetTransparentText();
  s.TextOut(100, 100, u"Schwarz");  // black text on it
  s.SetBrushColor(0);
  s.Rectangle(100, 400, 1101, 403);  // a black rule 0.5 pt thick
  s.Rectangle(100, 500, 801, 801);   // a black bar over 1 cm²
  TFontSpec grey = f;
  grey.color = RGBColor(128, 128, 128);
  s.SetFont(grey);
  s.TextOut(100, 900, u"Grau");
  const std::string c = s.TakeContent();
  const size_t band = c.find("0 0 2480 300 re f"), op = c.find("/GSop gs"), bt = c.find("BT");
  ASSERT_NE(band, std::string::npos) << c;
  // The band knocks out nothing and is painted without overprint; the
  // black text after it overprints.
  EXPECT_LT(band, op) << c;
  EXPECT_LT(op, bt) << c;
  EXPECT_NE(c.find("0 0 0 1 k"), std::string::npos) << c;
  const size_t rule = c.find("100 400 1000 2 re f"), bar = c.find("100 500 700 300 re f");
  ASSERT_NE(rule, std::string::npos) << c;
  ASSERT_NE(bar, std::string::npos) << c;
  // The rule still overprints; the bar knocks out in rich black.
  EXPECT_EQ(c.rfind("gs", rule), c.rfind("/GSop gs", rule) + 6) << c;
  const std::string beforeBar = c.substr(rule, bar - rule);
  EXPECT_NE(beforeBar.find("/GSko gs"), std::string::npos) << c;
  EXPECT_NE(beforeBar.find("0.6 0.4 0.4 1 k"), std::string::npos) << c;
  // Grey text: black ink only (50 %), not overprinting.
  const std::string greyPart = c.substr(bar);
  EXPECT_NE(greyPart.find("0 0 0 0.498 k"), std::string::npos) << greyPart;
  EXPECT_TRUE(s.overprintUsed());
  EXPECT_NEAR(cmyk.maxInk(), 2.4, 0.01);  // the rich black

  // Without rich black the bar is black ink alone; RGB never overprints.
  pdfvec::ColourOps plain(true, &conv);
  bool overprint = true;
  EXPECT_EQ(plain.Op(0, false, pdfvec::InkUse::Large, overprint), "0 0 0 1 k");
  EXPECT_FALSE(overprint);
  EXPECT_EQ(plain.Op(0, true, pdfvec::InkUse::ThinRule, overprint), "0 0 0 1 K");
  EXPECT_TRUE(overprint);
  ink.grayAsK = false;
  pdfvec::ColourOps noGrey(true, &conv, ink);
  EXPECT_NE(noGrey.Op(RGBColor(128, 128, 128), false, pdfvec::InkUse::Text, overprint).substr(0, 6),
            "0 0 0 ");
  EXPECT_EQ(rgb.Op(0, false, pdfvec::InkUse::Text, overprint), "0 0 0 rg");
  EXPECT_FALSE(overprint);
  pdfvec::PdfSurface r(fonts, pictures, writer, rgb, 2480, 3508, 0.24, 0.24, 0, false);
  r.BeginPage();
  r.SetFont(f);
  r.SetFontPpi(300);
  r.TextOut(100, 100, u"Schwarz");
  EXPECT_EQ(r.TakeContent().find(" gs"), std::string::npos);
  EXPECT_FALSE(r.overprintUsed());
}

TEST_F(Surface, TrimBoxStartsAtTheExactBleed) {
  // 3 mm at 0.24 pt a pixel: 8.504 pt, 36 whole pixels of area beyond the
  // edge (35 would leave a seam of 0.1 pt).
  pdfvec::PdfSurface s(fonts, pictures, writer, rgb, 1000, 2000, 0.24, 0.24, 36, false, nullptr,
                       3 * 72 / 25.4);
  s.BeginPage();
  s.SetPenStyle(render::PenStyle::Clear);
  s.SetBrushColor(RGBColor(10, 20, 30));
  s.Rectangle(0, 0, 1001, 101);
  const std::string c = s.TakeContent();
  EXPECT_EQ(c.substr(0, c.find('\n')), "q 0.24 0 0 -0.24 8.5039 488.5039 cm") << c;
  EXPECT_NE(c.find("-36 -36 1072 136 re f"), std::string::npos) << c;
}

TEST(Pictures, EachUseGetsThePixelsItsSizeNeeds) {
  const int fd = ::open("/dev/null", O_WRONLY);
  ASSERT_GE(fd, 0);
  pdfvec::PdfWriter w(0);
  w.Open(fd, "/dev/null");
  pdfvec::PictureOptions po;
  po.maxppi = 300;
  pdfvec::PictureStore store(w, po);
  // The loader handed 1200 x 600 pixels of a 2400 x 1200 file.
  dib pic;
  ASSERT_TRUE(newdib(pic, 1200, 600, 24));
  setpixel(pic, 3, 3, 0x102030);
  store.NoteOrigin(pdfvec::PictureHash(pic), "/pictures/wide.png", 2400, 1200);
  // Small first, then large, then small again (the order that used to keep
  // the small size for every use), then at the file's own resolution.
  const auto* small = store.Use(pic, 1, 0.5);
  const auto* large = store.Use(pic, 3, 1.5);
  const auto* again = store.Use(pic, 1, 0.5);
  ASSERT_TRUE(small && large && again);
  EXPECT_EQ(small->width, 300);
  EXPECT_EQ(small->height, 150);
  EXPECT_EQ(large->width, 900);
  EXPECT_EQ(large->height, 450);
  EXPECT_EQ(again, small);  // one size, one object
  EXPECT_NE(large->obj, small->obj);
  EXPECT_EQ(small->file, "/pictures/wide.png");
  // Drawn so large that the file is below the cap: all the pixels there
  // are (the 1200 the loader gave, since pixels cannot be made up).
  const auto* poster = store.Use(pic, 10, 5);
  EXPECT_EQ(poster->width, 1200);
  EXPECT_EQ(store.count(), 3u);

  int32_t nw, nh;
  pdfvec::PictureStore::SizeForUse(2400, 1200, 2.0, 1.0, 300, nw, nh);  // 1200 ppi
  EXPECT_EQ(nw, 600);
  EXPECT_EQ(nh, 300);
  pdfvec::PictureStore::SizeForUse(400, 300, 2.0, 1.5, 300, nw, nh);  // 200 ppi: as it is
  EXPECT_EQ(nw, 400);
  pdfvec::PictureStore::SizeForUse(4000, 10, 1.0, 0.01, 0, nw, nh);  // no cap
  EXPECT_EQ(nw, 4000);
  pdfvec::PictureStore::SizeForUse(3001, 7, 1.003, 0.5, 300, nw, nh);  // 300.9: rounded up; never 0
  EXPECT_EQ(nw, 301);
  EXPECT_EQ(nh, 1);
  EXPECT_TRUE(w.Finish("/Root 1 0 R") || true);
}

// Objects written directly land after the bodies queued before them,
// however slow the workers are: the same document gives the same bytes.
TEST(Writer, DirectObjectsKeepTheirPlaceBehindQueuedBodies) {
  const std::string path = (fs::temp_directory_path() / "ql_writer_order.pdf").string();
  std::string first;
  for (int run = 0; run < 2; ++run) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    pdfvec::PdfWriter w(2);
    w.Open(fd, path);
    const int32_t slow = w.Reserve(), direct = w.Reserve(), root = w.Reserve();
    const int delay = run == 0 ? 150 : 0;  // the worker is slow the first time only
    w.Enqueue(slow, [delay] {
      std::this_thread::sleep_for(std::chrono::milliseconds(delay));
      return std::string("(queued)");
    });
    w.WriteObject(direct, "(direct)");
    w.WriteObject(root, "<< /Type /Catalog >>");
    ASSERT_TRUE(w.Finish("/Root " + pdfvec::Ref(root)));
    const std::string bytes = ReadFile(path);
    EXPECT_LT(bytes.find("(queued)"), bytes.find("(direct)"));
    if (run == 0)
      first = bytes;
    else
      EXPECT_EQ(bytes, first);
  }
  fs::remove(path);
}

}  // namespace

// Characters the role fonts lack come from a fallback face that fontconfig
// finds, embedded as a subset with its ToUnicode map like the role fonts.
TEST_F(VectorExportInput, CharactersTheFontLacksComeFromAnEmbeddedFallback) {
  Product* p = nullptr;
  for (uint32_t k = 0; k < doc.kats.Count() && !p; ++k)
    for (uint32_t i = 0; i < doc.kats[k].products.Count() && !p; ++i)
      if (!doc.kats[k].products[i].deactivated && !(doc.kats[k].options && doc.kats[k].options->deactivated))
        p = doc.kats.GetObject(int32_t(k))->products.GetObject(int32_t(i));
  ASSERT_NE(p, nullptr);
  p->name = u"Ä€漢字 Tee";
  const std::string out = dir_ + "/cjk.pdf";
  const output::VectorPdfResult r = Export(out);
  ASSERT_TRUE(r.ok) << r.error;
  auto sh = [](const std::string& cmd) {
    std::string s;
    if (FILE* f = ::popen(cmd.c_str(), "r")) {
      char buf[4096];
      for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
      ::pclose(f);
    }
    return s;
  };
  const std::string text = sh("pdftotext -enc UTF-8 '" + out + "' -");
  EXPECT_NE(text.find("漢字"), std::string::npos) << text.substr(0, 400);
  EXPECT_NE(text.find("Ä€"), std::string::npos);
  const std::string fonts = sh("pdffonts '" + out + "'");
  bool fallback = false;
  std::istringstream lines(fonts);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("CID TrueType") == std::string::npos) continue;
    EXPECT_NE(line.find("yes yes yes"), std::string::npos) << line;
    if (line.find("Liberation") == std::string::npos && line.find("DejaVu") == std::string::npos)
      fallback = true;
  }
  EXPECT_TRUE(fallback) << "no fallback face among\n" << fonts;
}
