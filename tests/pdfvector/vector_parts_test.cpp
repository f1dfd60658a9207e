// Bad input of the vector export (a missing font, an unusable profile, an
// unreadable picture) and the pieces of the vector surface with contracts
// of their own: text measured like the layout, colours, bleed, pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/codepage.h"
#include "output/vectorexport.h"
#include "pdf/pdfimages.h"
#include "pdfvector/fonts.h"
#include "pdfvector/pdfsurface.h"
#include "pdfvector/pdfwriter.h"
#include "pdfvector/pictures.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"

namespace fs = std::filesystem;

namespace {

const std::string kBin = QL_BIN_DIR;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

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
