#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <set>

#include "imaging/pixoran.h"
#include "platform/fontmap.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/pageimage.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "platform/qtsurface.h"
#include "platform/userstore.h"
#include "render/drawdib.h"

using platform::ImageSurface;
using render::BrushStyle;
using render::PenStyle;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

class Surface : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }

  // The pixels of the image as a picture of characters: '#' for `ink`,
  // '.' for white, '?' for anything else.
  static std::string Art(const QImage& img, QRgb ink = kBlack) {
    std::string s;
    for (int y = 0; y < img.height(); ++y) {
      for (int x = 0; x < img.width(); ++x) {
        const QRgb p = img.pixel(x, y);
        s += p == ink ? '#' : p == kWhite ? '.' : '?';
      }
      s += '\n';
    }
    return s;
  }
  static QRgb Px(ImageSurface& s, int x, int y) { return s.image().pixel(x, y); }
};

TEST_F(Surface, RectangleEdgesAreExclusiveAndCornersMayComeInAnyOrder) {
  for (bool swapped : {false, true}) {
    ImageSurface s(10, 8);
    s.SetPenColor(0);
    s.SetBrushColor(0x0000FF);  // red
    if (swapped)
      s.Rectangle(8, 6, 2, 1);
    else
      s.Rectangle(2, 1, 8, 6);
    EXPECT_EQ(Art(s.image()),
              "..........\n"
              "..######..\n"
              "..#????#..\n"
              "..#????#..\n"
              "..#????#..\n"
              "..######..\n"
              "..........\n"
              "..........\n");
    EXPECT_EQ(Px(s, 3, 2), qRgb(255, 0, 0));
  }
}

TEST_F(Surface, ClearPenFillsOnePixelNarrowerAndLower) {
  ImageSurface s(10, 8);
  s.SetPenStyle(PenStyle::Clear);
  s.SetBrushColor(0);
  s.Rectangle(2, 1, 8, 6);
  EXPECT_EQ(Art(s.image()),
            "..........\n"
            "..#####...\n"
            "..#####...\n"
            "..#####...\n"
            "..#####...\n"
            "..........\n"
            "..........\n"
            "..........\n");
  // Clear brush: outline only.
  ImageSurface t(6, 5);
  t.SetPenColor(0);
  t.SetBrushStyle(BrushStyle::Clear);
  t.Rectangle(0, 0, 6, 5);
  EXPECT_EQ(Art(t.image()), "######\n#....#\n#....#\n#....#\n######\n");
}

TEST_F(Surface, WidePenFramesCentreOnTheOutline) {
  ImageSurface s(12, 12);
  s.SetPenColor(0);
  s.SetPenWidth(3);
  s.SetBrushStyle(BrushStyle::Clear);
  s.Rectangle(2, 2, 10, 10);
  // Three pixels across the outline through pixels 2 and 9.
  EXPECT_EQ(Art(s.image()),
            "............\n"
            ".##########.\n"
            ".##########.\n"
            ".##########.\n"
            ".###....###.\n"
            ".###....###.\n"
            ".###....###.\n"
            ".###....###.\n"
            ".##########.\n"
            ".##########.\n"
            ".##########.\n"
            "............\n");
}

TEST_F(Surface, LineToLeavesOutItsEndPointInEveryDirection) {
  ImageSurface s(8, 8);
  s.SetPenColor(0);
  s.MoveTo(1, 1);
  s.LineTo(6, 1);  // right
  s.MoveTo(6, 6);
  s.LineTo(1, 6);  // left
  s.MoveTo(0, 2);
  s.LineTo(0, 5);  // down
  EXPECT_EQ(Art(s.image()),
            "........\n"
            ".#####..\n"
            "#.......\n"
            "#.......\n"
            "#.......\n"
            "........\n"
            "..#####.\n"
            "........\n");
  EXPECT_EQ(s.PenPos().x, 0);
  EXPECT_EQ(s.PenPos().y, 5);

  ImageSurface d(6, 6);
  d.SetPenColor(0);
  d.MoveTo(0, 0);
  d.LineTo(5, 5);
  EXPECT_EQ(Art(d.image()), "#.....\n.#....\n..#...\n...#..\n....#.\n......\n");
  ImageSurface e(7, 3);
  e.SetPenColor(0);
  e.MoveTo(6, 2);
  e.LineTo(0, 0);  // shallow, right to left
  const std::string art = Art(e.image());
  EXPECT_EQ(art[2 * 8 + 6], '#');
  EXPECT_EQ(art[0], '.');
  EXPECT_EQ(std::count(art.begin(), art.end(), '#'), 6);
  // A clear pen draws nothing but still moves the position.
  e.SetPenStyle(PenStyle::Clear);
  e.LineTo(6, 0);
  EXPECT_EQ(Art(e.image()), art);
  EXPECT_EQ(e.PenPos().x, 6);
}

TEST_F(Surface, GeometricPensEndFlatOrSquare) {
  ImageSurface s(14, 9);
  s.SetPenColor(0);
  s.SetPenWidth(3);
  s.SetGeometricPen(false);
  s.MoveTo(3, 2);
  s.LineTo(10, 2);
  s.SetGeometricPen(true);
  s.MoveTo(3, 6);
  s.LineTo(10, 6);
  EXPECT_EQ(Art(s.image()),
            "..............\n"
            "...#######....\n"
            "...#######....\n"
            "...#######....\n"
            "..............\n"
            "..##########..\n"
            "..##########..\n"
            "..##########..\n"
            "..............\n");
  // Any later pen change returns to an ordinary pen.
  s.SetPenColor(0);
  EXPECT_EQ(s.Pen().kind, render::PenKind::Cosmetic);
  // Vertical, flat: stops before the end point.
  ImageSurface v(5, 8);
  v.SetPenColor(0);
  v.SetPenWidth(2);
  v.SetGeometricPen(false);
  v.MoveTo(2, 1);
  v.LineTo(2, 6);
  EXPECT_EQ(Art(v.image()), ".....\n.##..\n.##..\n.##..\n.##..\n.##..\n.....\n.....\n");
}

TEST_F(Surface, BrushColourMakesTheBrushSolidAndTextBackgroundFollowsTheBrush) {
  ImageSurface s(200, 60);
  TFontSpec f = MakeFont(u"Arial", 10, false, 0);
  s.SetFont(f);
  const QRgb red = qRgb(255, 0, 0);
  // Opaque background in the brush colour: the cell's top-left pixel.
  s.SetBrushStyle(BrushStyle::Clear);
  s.SetBrushColor(0x0000FF);
  EXPECT_EQ(s.Brush().style, BrushStyle::Solid);
  s.TextOut(2, 2, u".");
  EXPECT_EQ(Px(s, 2, 2), red);
  // Transparent until the brush is next changed.
  s.SetTransparentText();
  s.TextOut(40, 2, u".");
  EXPECT_EQ(Px(s, 40, 2), kWhite);
  s.SetBrushColor(0x0000FF);
  s.TextOut(80, 2, u".");
  EXPECT_EQ(Px(s, 80, 2), red);
  // A clear brush gives no background.
  s.SetBrushStyle(BrushStyle::Clear);
  s.TextOut(120, 2, u".");
  EXPECT_EQ(Px(s, 120, 2), kWhite);
}

TEST_F(Surface, TextIsAntialiasedInTheFontColourAndSizedByPpi) {
  ImageSurface s(300, 80);
  TFontSpec f = MakeFont(u"Arial", 24, true, 0x00FF0000);  // blue
  s.SetFont(f);
  s.SetTransparentText();
  s.TextOut(4, 4, u"Quillane");
  std::set<QRgb> colours;
  bool blue = false;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 300; ++x) {
      const QRgb p = s.image().pixel(x, y);
      colours.insert(p);
      blue |= p == qRgb(0, 0, 255);
    }
  EXPECT_TRUE(blue);
  EXPECT_GT(colours.size(), 4u);  // intermediate shades at glyph edges
  // 24 points at 96 ppi is 32 px; at 192 ppi the text is twice as large.
  EXPECT_EQ(s.FontPixelSize(), 32);
  const int w96 = s.TextWidth(u"Quillane"), h96 = s.TextHeight(u"Quillane");
  s.SetFontPpi(192);
  EXPECT_NEAR(s.TextWidth(u"Quillane"), 2 * w96, 1);
  EXPECT_NEAR(s.TextHeight(u"x"), 2 * h96, 1);
}

TEST_F(Surface, ArcRunsCounterClockwiseFromStartRayToEndRay) {
  auto count = [](const QImage& img, bool top, bool right) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        // Pixels near the axes belong to no quadrant.
        if (img.pixel(x, y) == kBlack && (top ? y < 17 : y > 24) && (right ? x > 24 : x < 17)) ++n;
    return n;
  };
  ImageSurface a(41, 41);
  a.SetPenColor(0);
  a.Arc(0, 0, 41, 41, 40, 20, 20, 0);  // from 3 o'clock to 12 o'clock
  EXPECT_GT(count(a.image(), true, true), 15);
  EXPECT_EQ(count(a.image(), false, false), 0);
  EXPECT_EQ(count(a.image(), true, false), 0);
  EXPECT_EQ(count(a.image(), false, true), 0);
  ImageSurface b(41, 41);
  b.SetPenColor(0);
  b.Arc(0, 0, 41, 41, 20, 0, 40, 20);  // from 12 o'clock round to 3 o'clock
  EXPECT_EQ(count(b.image(), true, true), 0);
  EXPECT_GT(count(b.image(), true, false), 15);
  EXPECT_GT(count(b.image(), false, false), 15);
  EXPECT_GT(count(b.image(), false, true), 15);
}

TEST_F(Surface, FontsMapToInstalledFamilies) {
  EXPECT_EQ(platform::MapFontFamily(u"Arial"), "Liberation Sans");
  EXPECT_EQ(platform::MapFontFamily(u"arial black"), "DejaVu Sans");
  EXPECT_EQ(platform::MapFontFamily(u"Courier New"), "Liberation Mono");
  EXPECT_EQ(platform::MapFontFamily(u"Times New Roman"), "Liberation Serif");
  EXPECT_EQ(platform::MapFontFamily(u"Some Other Font"), "Some Other Font");
  int n = 0;
  const platform::FontMapping* table = platform::FontMappings(n);
  for (int i = 0; i < n; ++i) {
    const QFontInfo info(platform::MakeQFont(MakeFont(table[i].logical, 10, false, 0), 40));
    EXPECT_EQ(info.family(), QString::fromLatin1(table[i].family)) << table[i].family;
  }
  const QFontInfo heavy(platform::MakeQFont(MakeFont(u"Arial Black", 10, false, 0), 40));
  EXPECT_GE(heavy.weight(), static_cast<int>(QFont::Bold));
  EXPECT_EQ(platform::FontPixelSize(10, 96), 13);
  EXPECT_EQ(platform::FontPixelSize(11, 300), 46);
  EXPECT_EQ(platform::FontPixelSize(0, 300), 1);
}

TEST_F(Surface, MeasurerWorksAt300PpiWhateverTheSurface) {
  platform::QtTextMeasurer m;
  TFontSpec f = MakeFont(u"Arial", 10, false, 0);
  f.ppi = 72;  // ignored by the measurer
  const std::u16string text = u"Ab 100 Stk. Küche";
  const int w = m.TextWidthPx(f, text);
  const int h = m.TextHeightPx(f, u" ");
  // Liberation Sans at 42 px: ascent + descent about 1.15 em.
  EXPECT_GE(h, 46);
  EXPECT_LE(h, 50);
  // Sizes are whole pixels (10 pt: 42 px, 20 pt: 83 px); widths scale with them.
  f.size = 20;
  EXPECT_NEAR(m.TextWidthPx(f, text), w * 83.0 / 42.0, 2);
  f.size = 10;
  // A surface at 300 ppi gives the same widths.
  ImageSurface s(10, 10);
  s.SetFont(f);
  s.SetFontPpi(300);
  EXPECT_EQ(s.TextWidth(text), w);
  EXPECT_EQ(s.TextHeight(text), h);
  // Widths of growing prefixes never shrink; bold is wider.
  int last = 0;
  for (size_t i = 1; i <= text.size(); ++i) {
    const int pw = m.TextWidthPx(f, text.substr(0, i));
    EXPECT_GE(pw, last);
    last = pw;
  }
  TFontSpec bold = f;
  bold.bold = true;
  EXPECT_GT(m.TextWidthPx(bold, text), w);
  EXPECT_EQ(m.TextWidthPx(f, u""), 0);
}

TEST_F(Surface, RowTransferEnlargesWithoutBlendingAndPrintersStretch) {
  dib pic;
  ASSERT_TRUE(newdib(pic, 2, 2, 24));
  setpixel(pic, 0, 0, 0x0000FF);
  setpixel(pic, 1, 0, 0x00FF00);
  setpixel(pic, 0, 1, 0xFF0000);
  setpixel(pic, 1, 1, 0x000000);
  ImageSurface s(6, 6);
  render::DrawDibWhole(s, 1, 1, 4, 4, pic, false);
  const QRgb expect[2][2] = {{qRgb(255, 0, 0), qRgb(0, 255, 0)}, {qRgb(0, 0, 255), qRgb(0, 0, 0)}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(Px(s, 1 + x, 1 + y), expect[y / 2][x / 2]) << x << "," << y;
  EXPECT_EQ(Px(s, 0, 0), kWhite);
  EXPECT_EQ(Px(s, 5, 5), kWhite);
  // Rows outside the page are clipped, not written out of bounds.
  s.SetDibRow(-1, 5, pic);
  s.SetDibRow(4, 5, pic);
  s.SetDibRow(0, 99, pic);

  // The printer path through the device's stretched transfer.
  QImage page(8, 8, QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    platform::QtSurface printer(&page, true);
    EXPECT_TRUE(printer.IsRasterPrinter());
    render::DrawDibWhole(printer, 0, 0, 8, 8, pic, false);
  }
  EXPECT_EQ(page.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(page.pixel(7, 7), qRgb(0, 0, 0));
  EXPECT_EQ(page.pixel(0, 7), qRgb(0, 0, 255));
  // 8-bit pictures through the row transfer with their colour table.
  dib pal;
  DibRGB colours[2] = {{0, 0, 0, 0}, {0, 200, 0, 0}};
  ASSERT_TRUE(newdib(pal, 2, 1, 8, colours, 2));
  setpixel(pal, 1, 0, 1);
  ImageSurface t(4, 1);
  render::DrawDibWhole(t, 0, 0, 4, 1, pal, false);
  EXPECT_EQ(Px(t, 3, 0), qRgb(0, 200, 0));
  EXPECT_EQ(Px(t, 0, 0), qRgb(0, 0, 0));
  dib out;
  ASSERT_TRUE(t.ToDib(out));
  EXPECT_EQ(getpixel(out, 3, 0), 0x00C800u);

  // A row that repeats the one before is copied: changed bytes, a changed
  // colour table, another width or depth are never taken for a repeat.
  ImageSurface u(5, 6);
  dib row;
  ASSERT_TRUE(newdib(row, 3, 1, 24));
  for (int x = 0; x < 3; ++x) setpixel(row, x, 0, 0x102030u * (x + 1));
  u.SetDibRow(0, 0, row);
  u.SetDibRow(1, 1, row);
  setpixel(row, 2, 0, 0xABCDEFu);
  u.SetDibRow(1, 2, row);
  ASSERT_TRUE(newdib(pal, 3, 1, 8, colours, 2));
  setpixel(pal, 0, 0, 1);
  u.SetDibRow(0, 3, pal);
  pal.palette[1] = DibRGB{0, 0, 90, 0};
  u.SetDibRow(0, 4, pal);
  u.SetDibRow(3, 5, pal);  // clipped to two pixels
  EXPECT_EQ(Px(u, 2, 0), qRgb(0x90, 0x60, 0x30));
  EXPECT_EQ(Px(u, 3, 1), qRgb(0x90, 0x60, 0x30));
  EXPECT_EQ(Px(u, 3, 2), qRgb(0xEF, 0xCD, 0xAB));
  EXPECT_EQ(Px(u, 1, 2), qRgb(0x30, 0x20, 0x10));
  EXPECT_EQ(Px(u, 0, 3), qRgb(0, 200, 0));
  EXPECT_EQ(Px(u, 0, 4), qRgb(0, 0, 90));
  EXPECT_EQ(Px(u, 1, 4), qRgb(0, 0, 0));
  EXPECT_EQ(Px(u, 3, 5), qRgb(0, 0, 90));
  EXPECT_EQ(Px(u, 4, 5), qRgb(0, 0, 0));
  EXPECT_EQ(Px(u, 0, 5), kWhite);
}

TEST_F(Surface, ImageSurfaceRefusesAbsurdSizes) {
  EXPECT_FALSE(ImageSurface(0, 10).ok());
  EXPECT_FALSE(ImageSurface(60000, 60000).ok());
  ImageSurface none(-1, 5);
  none.Rectangle(0, 0, 5, 5);  // draws nowhere, does not crash
  none.TextOut(0, 0, u"x");
}

TEST_F(Surface, PaintsIntoTheCallersMemoryAndLeavesTheLastPageAlone) {
  ImageSurface s(6, 4);
  std::vector<uint32_t> first(24, 0x12345678u), second(24, 0x12345678u);
  ASSERT_TRUE(s.PaintInto(reinterpret_cast<uint8_t*>(first.data())));
  s.SetPenColor(0);
  s.Rectangle(0, 0, 3, 2);
  EXPECT_EQ(first[0], kBlack);
  EXPECT_EQ(first[5], 0x12345678u);  // beside the frame: untouched
  // The next page goes into other memory; the first keeps what it got.
  ASSERT_TRUE(s.PaintInto(reinterpret_cast<uint8_t*>(second.data())));
  s.Rectangle(0, 0, 6, 4);
  EXPECT_EQ(second[5], kBlack);
  EXPECT_EQ(first[5], 0x12345678u);
  EXPECT_EQ(first[0], kBlack);
  EXPECT_EQ(s.image().bits(), reinterpret_cast<const uchar*>(second.data()));
  // Pixels of another layout, or none, are refused; painting goes on where it was.
  ImageSurface rgb(6, 4, QImage::Format_RGB888);
  EXPECT_FALSE(rgb.PaintInto(reinterpret_cast<uint8_t*>(first.data())));
  EXPECT_FALSE(s.PaintInto(nullptr));
  s.SetBrushColor(0x0000FF);
  s.Rectangle(3, 1, 6, 4);
  EXPECT_EQ(second[4 + 2 * 6], qRgb(255, 0, 0));
}

TEST(Printer, FallbackIsA4At600Dpi) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  const platform::PrinterPage p = platform::PrinterPageOf(QPrinterInfo());
  EXPECT_TRUE(p.fallback);
  EXPECT_EQ(p.width, 4960);
  EXPECT_EQ(p.height, 7016);
  EXPECT_EQ(p.resx, 600);
  EXPECT_NEAR(platform::PageWidthMm(p), 209.9729, 1e-3);
  EXPECT_NEAR(platform::PageHeightMm(p), 297.0101, 1e-3);
  int32_t w = 0, h = 0;
  platform::PreviewBitmapSize(p, 96, 100, w, h);
  EXPECT_EQ(w, 793);
  EXPECT_EQ(h, 1122);
  platform::PreviewBitmapSize(p, 96, 50, w, h);
  EXPECT_EQ(w, 396);
  platform::OutputBitmapSize(p, 150, w, h);
  EXPECT_EQ(w, 1240);
  EXPECT_EQ(h, 1754);
  // Whatever the machine has, the default page is usable.
  const platform::PrinterPage d = platform::DefaultPrinterPage();
  EXPECT_GT(d.width, 0);
  EXPECT_GT(d.resx, 0);
}

TEST(UserStore, OptionsAndZoomSurviveARestart) {
  QTemporaryDir tmp;
  const std::string file = tmp.filePath("user.conf").toStdString();
  {
    platform::UserStore s(file);
    ProgramOptions o;
    o.PDFDateienmitCMYKFarbenausgeben1 = false;
    o.DruckenDialoganzeigenvordemDrucken1 = true;
    s.SaveOptions(o, 250);
    s.SaveInt("PDFAufl/DPIEd", 600);
    EXPECT_TRUE(s.Sync());
  }
  platform::UserStore s(file);
  ProgramOptions o;
  double zoom = 100;
  s.LoadOptions(o, zoom);
  EXPECT_FALSE(o.PDFDateienmitCMYKFarbenausgeben1);
  EXPECT_TRUE(o.DruckenDialoganzeigenvordemDrucken1);
  EXPECT_TRUE(o.LeereVariantenSpaltenundZeilenbeimffnenentfernen1);
  EXPECT_EQ(zoom, 250);
  EXPECT_EQ(s.LoadInt("PDFAufl/DPIEd", 300, 10, 4000), 600);
  EXPECT_EQ(s.LoadInt("missing", 300, 10, 4000), 300);
  s.SaveOptions(o, 5000);  // out of range: ignored on loading
  zoom = 100;
  s.LoadOptions(o, zoom);
  EXPECT_EQ(zoom, 100);
}

TEST(PictureLoader, LoadsBySizeAndRefusesMissingFiles) {
  QTemporaryDir tmp;
  dib d;
  ASSERT_TRUE(newdib(d, 5, 3, 24));
  const std::string file = tmp.filePath("Bild ä.png").toStdString();
  ASSERT_TRUE(SaveDib(d, file, kDibPng));
  platform::QtPictureLoader loader;
  const std::u16string name = QString::fromStdString(file).toStdU16String();
  int32_t w = 0, h = 0;
  ASSERT_TRUE(loader.PixelSize(name, w, h));
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 3);
  dib out;
  EXPECT_TRUE(loader.Load(name, out));
  EXPECT_EQ(out.width, 5);
  EXPECT_FALSE(loader.Load(name + u"x", out));
  EXPECT_FALSE(out.loaded());
  EXPECT_FALSE(loader.PixelSize(u"", w, h));
}

}  // namespace

namespace {

TEST(PageImage, PreviewHasItsBorderAndPrintedPagesDoNot) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);
  const platform::PrinterPage a4 = platform::FallbackPrinterPage();
  platform::PageImageRequest req;
  req.zoom = 50;
  dib page;
  platform::PageImageInfo info;
  std::string err;
  ASSERT_TRUE(platform::RenderPageImage(session, a4, req, page, info, &err)) << err;
  EXPECT_EQ(info.width, 396);  // Trunc(50 * (4960 * 96 / 600) / 100)
  EXPECT_EQ(info.height, 561);
  EXPECT_EQ(page.width, 396);
  EXPECT_EQ(info.pages, 1);
  EXPECT_FALSE(info.more);
  EXPECT_EQ(getpixel(page, 0, 280), 0u);
  EXPECT_EQ(getpixel(page, 395, 280), 0u);
  EXPECT_EQ(getpixel(page, 200, 280), 0xFFFFFFu);

  req.print = true;
  req.dpi = 50;
  ASSERT_TRUE(platform::RenderPageImage(session, a4, req, page, info, &err)) << err;
  EXPECT_EQ(info.width, 413);  // 4960 * 50 div 600
  EXPECT_EQ(getpixel(page, 0, 280), 0xFFFFFFu);

  req.print = false;
  req.zoom = 1000;
  req.dpi = 96;
  EXPECT_FALSE(platform::RenderPageImage(session, a4, req, page, info, &err));
  EXPECT_NE(err.find("Megapixel"), std::string::npos);
  EXPECT_FALSE(page.loaded());
}

}  // namespace
