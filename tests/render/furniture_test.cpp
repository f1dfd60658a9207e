#include "render/furniture.h"

#include <gtest/gtest.h>

#include "render/layouts/layouts.h"
#include "render/render.h"
#include "support/recording_surface.h"

using namespace render;
using testsupport::FixedMeasurer;
using testsupport::MemoryPictureLoader;
using testsupport::RecordingSurface;
using testsupport::SurfaceOp;

namespace {

// Header font 24 pt at 100 dpi: 33 px, text height 40. Footer 10 pt: 14 px,
// advance 7, height 17. At 300 ppi the footer line is 50 px = 4.2333 mm,
// the header line 120 px = 10.16 mm.
constexpr double kFooterLineMm = 50 * 25.39995 / 300;
constexpr double kHeaderLineMm = 120 * 25.39995 / 300;

struct Furniture : ::testing::Test {
  Document doc;
  FixedMeasurer m;
  MemoryPictureLoader loader;
  RenderSession session{doc, m, loader};
  CatalogSettings& set = doc.settings;

  Furniture() {
    set.FilenameEdit1.clear();
    set.FussEd = u"odd %page%";
    set.FussEd2 = u"even %PAGE%";
    session.today = [] { return std::u16string(u"09.12.2026"); };
  }

  RenderParams Params(RecordingSurface& s, int32_t seite, bool printit = true) {
    RenderParams p;
    p.canvas0 = &s;
    p.dpi = 100;
    p.width = 800;
    p.height = 1100;
    p.seiteedvalue = seite;
    p.zoomedvalue = 100;
    p.printit = printit;
    p.widthmm = PageMm(800, 100);
    p.heightmm = PageMm(1100, 100);
    return p;
  }

  // A pass of `pages` pages, closing page n with category "K<n>".
  bool Pass(RecordingSurface& s, int32_t pages, int32_t seite, PageState* out = nullptr,
            bool printit = true) {
    const RenderParams p = Params(s, seite, printit);
    RenderPass pass(session, p);
    PageState st;
    StartPass(pass, st);
    if (out && seite == 1) *out = st;
    while (st.page < pages) {
      std::u16string name = u"K";
      name.push_back(static_cast<char16_t>(u'0' + st.page));
      BreakPage(pass, st, name);
      if (out && st.page == seite) *out = st;
    }
    return FinishPass(pass, st);
  }

  static dib Picture(int w, int h, uint32_t colour_left, uint32_t colour_right) {
    dib d;
    newdib(d, w, h, 24);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) setpixel(d, x, y, x < w / 2 ? colour_left : colour_right);
    return d;
  }
};

}  // namespace

TEST_F(Furniture, FooterTextAndPlacementOnOddAndEvenPages) {
  // bottompx = Len(5 mm) = 19, side = Len(5 mm) = 19, footer y = 1100 - 19 - 17.
  RecordingSurface s;
  Pass(s, 2, 1);
  const SurfaceOp* t = s.FindText(u"odd 1");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->x1, 19);
  EXPECT_EQ(t->y1, 1064);
  EXPECT_FALSE(t->opaque);
  EXPECT_EQ(t->font.size, 10);
  s.Clear();
  Pass(s, 2, 2);
  t = s.FindText(u"even 2");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->x1, 800 - 6 * 7 - 19);  // right-aligned

  set.xchangecheck = true;  // texts and sides swap
  s.Clear();
  Pass(s, 2, 1);
  t = s.FindText(u"even 1");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->x1, 800 - 42 - 19);
  s.Clear();
  Pass(s, 2, 2);
  t = s.FindText(u"odd 2");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->x1, 19);

  set.xchangecheck = false;
  set.ZentrFussCheck = true;
  s.Clear();
  Pass(s, 2, 2);
  EXPECT_EQ(s.FindText(u"even 2")->x1, (800 - 42) / 2);
  set.ZentrFussCheck = false;
  set.FooterLeftCheck = true;
  s.Clear();
  Pass(s, 2, 2);
  EXPECT_EQ(s.FindText(u"even 2")->x1, 19);
}

TEST_F(Furniture, PagePlaceholdersAndTheSecondFooterLine) {
  set.FirstPageNr = 0;
  set.FussEd = u"S.%PAGE%|%Date%|%category%\t";
  set.Fuss2Ed = u"extra %PAGE%";
  RecordingSurface s;
  Pass(s, 3, 1);  // page 1: number 0 shows as nothing
  ASSERT_NE(s.FindText(u"S.|09.12.2026|"), nullptr);
  EXPECT_EQ(s.FindText(u"S.|09.12.2026|")->y1, 1100 - 19 - 17 - 17);
  ASSERT_NE(s.FindText(u"extra "), nullptr);
  EXPECT_EQ(s.FindText(u"extra ")->y1, 1100 - 19 - 17);
  s.Clear();
  Pass(s, 3, 3);  // page 3 is odd: FussEd, number 2, category of page 3 from the last pass: none
  EXPECT_NE(s.FindText(u"S.2|09.12.2026|"), nullptr);
  EXPECT_NE(s.FindText(u"extra 2"), nullptr);

  // Reserves: two lines, the space above and 5 mm.
  PageState st;
  Pass(s, 1, 1, &st);
  EXPECT_EQ(st.footerpx, 17 + 17 + 19 + 19);
  EXPECT_DOUBLE_EQ(st.footermm, 2 * kFooterLineMm + 5 + 5);
  set.Fuss2Ed.clear();
  Pass(s, 1, 1, &st);
  EXPECT_EQ(st.footerpx, 17 + 19 + 19);
  EXPECT_DOUBLE_EQ(st.footermm, kFooterLineMm + 5 + 5);

  // The even-page text alone makes no footer.
  set.FussEd.clear();
  s.Clear();
  Pass(s, 2, 2, &st);
  EXPECT_EQ(s.FindText(u"even 2"), nullptr);
  EXPECT_EQ(st.footermm, 0);
}

TEST_F(Furniture, HeaderShowsTheCategoryOfTheLastPassAndReservesItsSpace) {
  set.KopfEd = u"Head %Category%\x01";
  set.FarbRechtKopfCheck = true;
  RecordingSurface s;
  PageState st;
  Pass(s, 3, 2, &st);
  // lastkat[2] is written when page 2 closes, after its header was drawn.
  const SurfaceOp* t = s.FindText(u"Head ");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->x1, 19);  // RandKopfEd 5 mm
  EXPECT_EQ(t->y1, 7);   // ObenEd 2 mm
  EXPECT_EQ(st.headerpx, 40 + 19);
  EXPECT_DOUBLE_EQ(st.headermm, 5 + kHeaderLineMm);
  EXPECT_DOUBLE_EQ(st.y, 2 + 5 + kHeaderLineMm);
  s.Clear();
  Pass(s, 3, 2);
  EXPECT_NE(s.FindText(u"Head K2"), nullptr);
  // The band: 0, 0, width, TH + toppx + Len(KopfEdmm).
  const auto fills = s.OfKind(SurfaceOp::Fill);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills[0].y2, 40 + 7 + 19);
  EXPECT_EQ(fills[0].color, set.Shape1);

  set.KopfEdmm = 0;  // drawn, but no room reserved
  s.Clear();
  Pass(s, 1, 1, &st);
  EXPECT_NE(s.FindText(u"Head K1"), nullptr);
  EXPECT_EQ(st.headerpx, 0);
  EXPECT_EQ(st.headermm, 0);
  EXPECT_DOUBLE_EQ(st.y, 2);
}

TEST_F(Furniture, LogoMovesTheHeaderTextUnlessRightAligned) {
  loader.files[u"logo.gif"] = Picture(4, 2, 0x0000FF, 0x0000FF);
  set.FilenameEdit1 = u"logo.gif";
  set.FarbRechtKopfCheck = false;
  session.LoadLogo();
  ASSERT_TRUE(session.di3.loaded());
  RecordingSurface s(800, 1100);
  Pass(s, 1, 1);
  // 1.5 cm = 59 px wide, 29 px high (aspect kept), at (19, 7).
  const auto rows = s.OfKind(SurfaceOp::DibRow);
  ASSERT_EQ(rows.size(), 29u);
  EXPECT_EQ(rows[0].x1, 19);
  EXPECT_EQ(rows[0].y1, 7);
  EXPECT_EQ(rows[0].x2, 59);
  EXPECT_EQ(s.Pixel(19, 7), 0x0000FFu);
  EXPECT_EQ(s.FindText(set.KopfEd)->x1, 19 + 59 + 7);

  set.ShowLogoRightAlignedCheck = true;
  s.Clear();
  Pass(s, 1, 1);
  EXPECT_EQ(s.OfKind(SurfaceOp::DibRow)[0].x1, 800 - 19 - 59);
  EXPECT_EQ(s.FindText(set.KopfEd)->x1, 19);

  set.FilenameEdit1 = u"missing.gif";  // fails silently, no logo
  session.LoadLogo();
  EXPECT_FALSE(session.di3.loaded());
}

TEST_F(Furniture, CoverPagesHaveNoHeaderNorFooter) {
  set.CoverCheck = true;
  RecordingSurface s;
  PageState st;
  Pass(s, 3, 1, &st);
  EXPECT_EQ(s.FindText(set.KopfEd), nullptr);
  EXPECT_EQ(s.FindText(u"odd 1"), nullptr);
  EXPECT_EQ(st.headermm, 0);
  EXPECT_EQ(st.footermm, 0);
  EXPECT_EQ(session.anzpages, 3);
  s.Clear();
  Pass(s, 3, 2, &st);
  EXPECT_NE(s.FindText(set.KopfEd), nullptr);
  EXPECT_GT(st.footermm, 0);
  s.Clear();
  Pass(s, 3, 3, &st);  // the last page of the previous pass
  EXPECT_EQ(s.FindText(set.KopfEd), nullptr);
  EXPECT_EQ(s.FindText(u"odd 3"), nullptr);
  EXPECT_EQ(st.headermm, 0);
}

TEST_F(Furniture, BackgroundGradientAndFlatFill) {
  EXPECT_EQ(GradientRow(RGBColor(240, 202, 166), RGBColor(255, 255, 255), 1, 10), RGBColor(241, 206, 174));
  EXPECT_EQ(GradientRow(RGBColor(240, 202, 166), RGBColor(255, 255, 255), 10, 10), RGBColor(255, 255, 255));
  // Two separate divisions: 1 * 9 div 10 + 1 * 1 div 10 = 0, not 1.
  EXPECT_EQ(GradientRow(RGBColor(1, 0, 0), RGBColor(1, 0, 0), 1, 10), RGBColor(0, 0, 0));

  set.BackgroundColorCheck = true;
  set.FarbRechtKopfCheck = false;
  set.FarbrechtFussCheck = false;
  RecordingSurface s;
  Pass(s, 1, 1);
  const auto fills = s.OfKind(SurfaceOp::Fill);
  ASSERT_EQ(fills.size(), 1100u);
  EXPECT_EQ(fills[0].y1, 0);
  EXPECT_EQ(fills[0].y2, 1);
  EXPECT_EQ(fills[0].x2, 800);
  EXPECT_NE(fills[0].color, set.Shape5);
  EXPECT_EQ(fills[1099].y1, 1099);
  EXPECT_EQ(fills[1099].color, set.Shape6);

  set.Shape6 = set.Shape5;
  s.Clear();
  Pass(s, 1, 1);
  const auto flat = s.OfKind(SurfaceOp::Fill);
  ASSERT_EQ(flat.size(), 1u);
  EXPECT_EQ(flat[0].y2, 1100);
  EXPECT_EQ(flat[0].color, set.Shape5);
  EXPECT_EQ(s.OfKind(SurfaceOp::Frame)[0].pen.kind, PenKind::GeometricFlat);
}

TEST_F(Furniture, EvenPagePictureOnlyOnEvenPagesAndTilesRepeat) {
  loader.files[u"even.bmp"] = Picture(2, 1, 0x00FF00, 0xFF0000);
  set.FilenameEdit3 = u"even.bmp";
  set.BreitEd2 = 1;
  set.LightenCheck = false;
  session.PrepareBackgrounds();
  EXPECT_FALSE(session.di2.loaded());
  ASSERT_TRUE(session.di4.loaded());
  RecordingSurface odd(800, 1100), even(800, 1100);
  Pass(odd, 2, 1);
  Pass(even, 2, 2);
  EXPECT_EQ(odd.Pixel(0, 500), 0xFFFFFFu);
  // Tiles 1 cm = 39 px wide, 19 px high with the aspect kept; each tile
  // shows column 0 up to x 19 and column 1 from x 20.
  EXPECT_EQ(even.Pixel(0, 500), 0x00FF00u);
  EXPECT_EQ(even.Pixel(19, 500), 0x00FF00u);
  EXPECT_EQ(even.Pixel(20, 500), 0xFF0000u);
  EXPECT_EQ(even.Pixel(38, 500), 0xFF0000u);
  EXPECT_EQ(even.Pixel(39, 500), 0x00FF00u);
  EXPECT_EQ(even.Pixel(799, 500), 0x00FF00u);  // 20 * 39 = 780: x 19 of the last tile
}

TEST_F(Furniture, BackgroundProcessingArithmetic) {
  dib p;
  newdib(p, 3, 1, 24);
  setpixel(p, 0, 0, RGBColor(200, 100, 50));
  setpixel(p, 1, 0, RGBColor(127, 0, 255));
  setpixel(p, 2, 0, RGBColor(128, 129, 1));
  dib grey = p;
  ProcessBackground(grey, true, false, 50, 0);
  EXPECT_EQ(getcolor(grey, 0, 0), RGBColor(124, 124, 124));  // 12450 div 100
  dib light = p;
  ProcessBackground(light, false, true, 50, 0);
  // Trunc(255 - (255 - c) * 50 / 100): 200 -> 227, 100 -> 177, 50 -> 152.
  EXPECT_EQ(getcolor(light, 0, 0), RGBColor(227, 177, 152));
  dib sat = p;
  ProcessBackground(sat, false, true, 100, 50);
  // (c - 128) * 150 div 100 + 128, toward zero, limited: 127 -> 127 (not
  // 126), 0 -> 0 (from -64), 255 -> 255 (from 318), 129 -> 129, 1 -> 0.
  EXPECT_EQ(getcolor(sat, 1, 0), RGBColor(127, 0, 255));
  EXPECT_EQ(getcolor(sat, 2, 0), RGBColor(128, 129, 0));
  EXPECT_EQ(getcolor(sat, 0, 0), RGBColor(236, 86, 11));
  dib both = p;
  ProcessBackground(both, true, true, 50, 0);
  EXPECT_EQ(getcolor(both, 0, 0), RGBColor(189, 189, 189));

  // Palette pictures become 24 bits; 1 bit ignores its colour table.
  dib mono;
  newdib(mono, 2, 1, 1);
  mono.palette[0] = {255, 255, 255, 0};
  mono.palette[1] = {0, 0, 0, 0};
  setpixel(mono, 1, 0, 1);
  ProcessBackground(mono, false, true, 100, 0);
  EXPECT_EQ(mono.bitcount, 24);
  EXPECT_EQ(getcolor(mono, 0, 0), 0u);
  EXPECT_EQ(getcolor(mono, 1, 0), 0xFFFFFFu);
  dib nib;
  newdib(nib, 2, 1, 4);
  nib.palette[3] = {10, 20, 30, 0};
  nib.palette[5] = {40, 50, 60, 0};
  nib.pixels[0] = 0x35;  // first pixel in the high nibble
  ProcessBackground(nib, false, true, 100, 0);
  EXPECT_EQ(getcolor(nib, 0, 0), RGBColor(10, 20, 30));
  EXPECT_EQ(getcolor(nib, 1, 0), RGBColor(40, 50, 60));
  // Nothing to do: the picture keeps its depth.
  dib eight;
  newdib(eight, 1, 1, 8);
  ProcessBackground(eight, false, false, 50, 0);
  EXPECT_EQ(eight.bitcount, 8);
}

TEST_F(Furniture, PageFrameAndFontStateAfterStartPage) {
  set.RahmenCheck = true;
  RecordingSurface s;
  const RenderParams p = Params(s, 1);
  RenderPass pass(session, p);
  PageState st;
  StartPass(pass, st);
  const auto lines = s.OfKind(SurfaceOp::Line);
  ASSERT_EQ(lines.size(), 4u);
  // leftpx 47, toppx 7, rightpx 47, bottompx 19.
  EXPECT_EQ(lines[0].x1, 47);
  EXPECT_EQ(lines[0].y1, 3);
  EXPECT_EQ(lines[0].x2, 800 - 47);
  EXPECT_EQ(lines[1].x1, 800 - 23);
  EXPECT_EQ(lines[3].x1, 23);
  EXPECT_EQ(lines[3].y2, 1100 - 19);
  EXPECT_EQ(lines[0].pen.kind, PenKind::GeometricFlat);
  EXPECT_EQ(lines[0].pen.width, 3);  // 1 mm
  const auto arcs = s.OfKind(SurfaceOp::Arc);
  ASSERT_EQ(arcs.size(), 4u);
  // Top left: from its 6 o'clock point to its 3 o'clock point.
  EXPECT_EQ(arcs[0].x3, 23);
  EXPECT_EQ(arcs[0].y3, 7);
  EXPECT_EQ(arcs[0].x4, 47);
  EXPECT_EQ(arcs[0].y4, 3);
  // Bottom right: box (753, 1081)-(800, 1100), from 12 to 9 o'clock.
  EXPECT_EQ(arcs[3].x1, 753);
  EXPECT_EQ(arcs[3].y1, 1081);
  EXPECT_EQ(arcs[3].x3, 776);
  EXPECT_EQ(arcs[3].y3, 1081);
  EXPECT_EQ(arcs[3].x4, 753);
  EXPECT_EQ(arcs[3].y4, 1090);

  // The caller's font and base size survive a page break.
  pass.SelectRoleFont(set.FontDialog4);
  pass.basesize = 11.5;
  const TFontSpec before = s.Font();
  BreakPage(pass, st, u"K");
  EXPECT_EQ(s.Font(), before);
  EXPECT_EQ(pass.basesize, 11.5);
  EXPECT_EQ(s.Brush().style, BrushStyle::Clear);
  EXPECT_EQ(st.page, 2);
  EXPECT_EQ(doc.lastkat.Get(1), u"K");
}

TEST_F(Furniture, RequestedPageBeyondTheCatalogAndPageZero) {
  RecordingSurface s;
  EXPECT_FALSE(RenderFurnitureOnly(session, Params(s, 1, false), kLayouts[0]));
  EXPECT_EQ(session.anzpages, 1);
  EXPECT_NE(s.FindText(set.KopfEd), nullptr);
  for (int seite : {2, 0}) {
    s.Clear();
    session.anzpages = 0;
    const bool more = RenderFurnitureOnly(session, Params(s, seite, false), kLayouts[0]);
    EXPECT_EQ(more, seite == 0);
    EXPECT_EQ(session.anzpages, 1);
    // Only the white page with its border, and the border once more.
    EXPECT_TRUE(s.Texts().empty());
    ASSERT_EQ(s.OfKind(SurfaceOp::Fill).size(), 1u);
    EXPECT_EQ(s.OfKind(SurfaceOp::Fill)[0].color, 0xFFFFFFu);
    EXPECT_EQ(s.OfKind(SurfaceOp::Frame).size(), 2u);
  }
  // Printing: the caller prepares the surface, no border.
  s.Clear();
  RenderFurnitureOnly(session, Params(s, 2, true), kLayouts[0]);
  EXPECT_TRUE(s.ops.empty());
}

namespace {
struct Seen {
  int calls = 0;
  LayoutEntry layout{};
} g_seen;
bool Spy(RenderSession&, const RenderParams&, const LayoutEntry& layout) {
  ++g_seen.calls;
  g_seen.layout = layout;
  return true;
}
}  // namespace

TEST_F(Furniture, EveryLayoutIndexDrawsWithItsTableEntry) {
  // An empty catalog renders as one page.
  RecordingSurface s;
  EXPECT_FALSE(RenderCatalogPage(session, Params(s, 1)));
  EXPECT_EQ(session.anzpages, 1);
  EXPECT_NE(s.FindText(set.KopfEd), nullptr);

  // The variations reach the renderer as data of the entry: the session
  // carries none of them.
  session.drawWith = Spy;
  for (int32_t index = -1; index <= kLayoutCount; ++index) {
    SCOPED_TRACE(index);
    const LayoutEntry& want = kLayouts[index >= 0 && index < kLayoutCount ? index : 0];
    g_seen = Seen{};
    set.LayoutCombo = index;
    EXPECT_TRUE(RenderCatalogPage(session, Params(s, 1)));
    EXPECT_EQ(g_seen.calls, 1);
    EXPECT_EQ(g_seen.layout.number, want.number);
    EXPECT_EQ(g_seen.layout.bildmode, want.bildmode);
    EXPECT_EQ(g_seen.layout.froceOnlyOneColumnCheck, want.froceOnlyOneColumnCheck);
    EXPECT_EQ(g_seen.layout.SecondPictureBelowText, want.SecondPictureBelowText);
  }
  // Without a surface nothing is drawn.
  g_seen = Seen{};
  RenderParams none = Params(s, 1);
  none.canvas0 = nullptr;
  EXPECT_FALSE(RenderLayout(session, none, 0));
  EXPECT_EQ(g_seen.calls, 0);
  session.drawWith = nullptr;
}

TEST(Placeholders, AnyLetterCaseEveryOccurrence) {
  EXPECT_EQ(ReplaceFooterPlaceholders(u"%page%/%PaGe% %DATE% %Category%", 7, u"d", u"K"), u"7/7 d K");
  EXPECT_EQ(ReplaceFooterPlaceholders(u"%PAGE%", 0, u"d", u"K"), u"");
  EXPECT_EQ(ReplaceNoCase(u"%CATEGORY%%category", u"%CATEGORY%", u"x"), u"x%category");
  EXPECT_FALSE(TodayShortDate().empty());
}
