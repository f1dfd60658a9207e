#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

#include "fixture.h"

using namespace render;
using layouttest::RecordingSurface;
using layouttest::SurfaceOp;

namespace {

// Pixel geometry on the 210 mm page (left/right margin 12 mm = 141 px,
// RandBildEd = RandTextEd = 2 mm = 23 px, the 40 mm column = 472 px).
struct Side {
  int32_t textx, leftouter, divider, rightouter;
};
constexpr Side kLeft{141 + 472 + 23 + 23, 141 - 23, 141 + 472 + 23, 2480 - 141 + 23};
constexpr Side kRight{141, 141 - 23, 2480 - 141 - 23 - 472, 2480 - 141 + 23};

struct Layout2Test : layouttest::FamilyTest {
  static std::set<int32_t> XsOf(const std::vector<SurfaceOp>& ops) {
    std::set<int32_t> xs;
    for (const auto& op : ops) xs.insert(op.x1);
    return xs;
  }
};

}  // namespace

TEST_F(Layout2Test, GeometryWithPicturesLeftAndRight) {
  Category& c = Cat(u"K");
  Prod(c, std::u16string(67, u'a'));  // 67 x 2.1167 mm fits in W = 142 mm
  Prod(c, std::u16string(68, u'b'));  // 68 characters do not
  // The text starts 56 mm from the page edge, converted piecewise.
  EXPECT_EQ(kLeft.textx, Len(12) + Len(40) + Len(2) + Len(2));
  const double y0 = FirstProductY();
  for (auto [layout, side] : {std::pair{1, kLeft}, std::pair{5, kRight}}) {
    SCOPED_TRACE(layout);
    RecordingSurface s;
    EXPECT_FALSE(Render(s, 1, layout));
    const auto a = TextsStarting(s, u"a");
    const auto b = TextsStarting(s, u"b");
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0].text.size(), 67u);
    EXPECT_EQ(a[0].x1, side.textx);
    EXPECT_EQ(b[1].x1, side.textx);
    // Name below the top line, half the line width and RandBildEd.
    EXPECT_EQ(a[0].y1, Pos(y0 + 0.3 + 2));
    // Two framed blocks: three verticals each, top and bottom lines.
    const auto v = Verticals(s);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(XsOf(v), (std::set<int32_t>{side.leftouter, side.divider, side.rightouter}));
    EXPECT_EQ(v[0].y1, Pos(y0 + 0.3));
    const auto h = Horizontals(s);
    ASSERT_EQ(h.size(), 4u);
    for (const auto& op : h) {
      EXPECT_EQ(std::min(op.x1, op.x2), side.leftouter);
      EXPECT_EQ(std::max(op.x1, op.x2), side.rightouter);
      EXPECT_EQ(op.pen.kind, PenKind::GeometricSquare);
      EXPECT_EQ(op.pen.width, Len(0.6));
    }
    EXPECT_EQ(h[0].y1, Pos(y0));
    // The first block: name and empty description; the next one starts on
    // its bottom line.
    const int32_t bottom = Pos(y0 + 0.3 + 2 + 2 * lh + 0.3);
    EXPECT_EQ(h[1].y1, bottom);
    EXPECT_EQ(h[2].y1, bottom);
  }
}

TEST_F(Layout2Test, AlternatingSidesFollowThePassPageCounter) {
  set.FirstPageNr = 7;  // printed numbers do not matter
  Category& c = Cat(u"K");
  Prod(c, u"one").pagebreakafter = true;
  Prod(c, u"two").pagebreakafter = true;
  Prod(c, u"three");
  const std::u16string names[3] = {u"one", u"two", u"three"};
  // bildmode 2 (layout 7): right on odd pages; bildmode 3 (layout 8): left.
  for (auto [layout, odd, even] : {std::tuple{6, kRight, kLeft}, std::tuple{7, kLeft, kRight}}) {
    for (int page = 1; page <= 3; ++page) {
      SCOPED_TRACE(testing::Message() << "layout " << layout << " page " << page);
      RecordingSurface s;
      Render(s, page, layout);
      const SurfaceOp* t = s.FindText(names[page - 1]);
      ASSERT_TRUE(t);
      const Side& side = page % 2 ? odd : even;
      EXPECT_EQ(t->x1, side.textx);
      EXPECT_EQ(XsOf(Verticals(s)), (std::set<int32_t>{side.leftouter, side.divider, side.rightouter}));
      // A break for pagebreakafter closes the frame at the product's end.
      for (const auto& v : Verticals(s)) EXPECT_LT(v.y2, Pos(Bottom()));
    }
  }
}

TEST_F(Layout2Test, ContinuedProductKeepsItsSideAndItsFrameContinues) {
  Category& c = Cat(u"K");
  Prod(c, u"long", Lines(70, u"d"));  // 355 mm of text: first on its page, so it stays
  Prod(c, u"next");
  RecordingSurface p1, p2;
  Render(p1, 1, 6);  // bildmode 2: right on page 1
  Render(p2, 2, 6);
  // Page 1: the frame of "long" runs down to the usable bottom, no bottom line.
  const auto v1 = Verticals(p1);
  ASSERT_EQ(v1.size(), 3u);
  for (const auto& v : v1) EXPECT_EQ(v.y2, Pos(Bottom()));
  EXPECT_EQ(XsOf(v1), (std::set<int32_t>{kRight.leftouter, kRight.divider, kRight.rightouter}));
  EXPECT_EQ(Horizontals(p1).size(), 1u);
  // Page 2: the description continues on the right-picture side, one line
  // below the content top; the frame restarts at the content top.
  const auto d = TextsStarting(p2, u"d");
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].x1, kRight.textx);
  EXPECT_EQ(d[0].y1, Pos(10 + lh));
  const auto v2 = Verticals(p2);
  ASSERT_EQ(v2.size(), 6u);  // "long" continued, then "next"
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(v2[i].y1, Len(10));
    EXPECT_TRUE(v2[i].x1 == kRight.leftouter || v2[i].x1 == kRight.divider || v2[i].x1 == kRight.rightouter);
  }
  // The next product starts on page 2 and takes that page's side.
  const SurfaceOp* next = p2.FindText(u"next");
  ASSERT_TRUE(next);
  EXPECT_EQ(next->x1, kLeft.textx);
}

TEST_F(Layout2Test, FrameContinuationWithAllowPageBreakAndWithoutFrame) {
  Category& c = Cat(u"K");
  Prod(c, u"short");
  Prod(c, u"long", Lines(70, u"d"));
  {
    // Does not fit below "short": moved as a whole.
    RecordingSurface p1, p2;
    Render(p1, 1, 1);
    Render(p2, 2, 1);
    EXPECT_FALSE(p1.FindText(u"long"));
    ASSERT_TRUE(p2.FindText(u"long"));
    EXPECT_EQ(p2.FindText(u"long")->y1, Pos(10 + 0.3 + 2));
  }
  set.AllowPageBreak = true;
  {
    RecordingSurface p1, p2;
    Render(p1, 1, 1);
    Render(p2, 2, 1);
    ASSERT_TRUE(p1.FindText(u"long"));
    const auto v1 = Verticals(p1);
    ASSERT_EQ(v1.size(), 6u);
    for (int i = 3; i < 6; ++i) EXPECT_EQ(v1[i].y2, Pos(Bottom()));
    EXPECT_EQ(Horizontals(p1).size(), 3u);  // top and bottom of "short", top of "long"
    const auto v2 = Verticals(p2);
    ASSERT_EQ(v2.size(), 3u);
    for (const auto& v : v2) EXPECT_EQ(v.y1, Len(10));
    ASSERT_EQ(Horizontals(p2).size(), 1u);  // the bottom line only
    EXPECT_EQ(Horizontals(p2)[0].y1, v2[0].y2);
  }
  set.NoRahmenCheck = true;
  {
    // Only the top lines remain; nothing continues.
    RecordingSurface p1, p2;
    Render(p1, 1, 1);
    Render(p2, 2, 1);
    EXPECT_TRUE(Verticals(p1).empty());
    EXPECT_EQ(Horizontals(p1).size(), 2u);
    EXPECT_TRUE(Verticals(p2).empty());
    EXPECT_TRUE(Horizontals(p2).empty());
    // The layout itself does not change.
    ASSERT_TRUE(p2.FindText(u"d69"));
  }
}

TEST_F(Layout2Test, PicturesAreCappedAt40MmAndCentredOnRequest) {
  Category& c = Cat(u"K");
  Product& a = Prod(c, u"a");
  AddPicture(a, u"wide.png", 6, 600, 300);
  Product& b = Prod(c, u"b");
  AddPicture(b, u"narrow.png", 3, 300, 300);
  const double y0 = FirstProductY();
  for (bool centre : {false, true}) {
    for (auto [layout, colleft] : {std::pair{1, 12.0}, std::pair{5, 210 - 12 - 40.0}}) {
      SCOPED_TRACE(testing::Message() << "centre " << centre << " layout " << layout);
      set.BildZentr = centre;
      RecordingSurface s;
      Render(s, 1, layout);
      const auto pics = PictureOps(s);
      ASSERT_EQ(pics.size(), 2u);
      // 6 cm: drawn 40 mm wide, its height scaled by the same factor.
      EXPECT_EQ(pics[0].x1, Pos(colleft));
      EXPECT_EQ(pics[0].y1, Pos(y0 + 0.3 + 2));
      EXPECT_EQ(pics[0].x2, Len(40));
      EXPECT_EQ(pics[0].y2, 300 * Len(40) / 600);
      // 3 cm keeps 30 mm; centred it has 5 mm on each side.
      EXPECT_EQ(pics[1].x1, Pos(centre ? colleft + 5 : colleft));
      EXPECT_EQ(pics[1].x2, Len(30));
    }
  }
}

TEST_F(Layout2Test, ProductWithoutPicturesKeepsItsPictureCell) {
  set.RandBildEd = 12;  // 2 x 12 mm is more than name and empty description
  Category& c = Cat(u"K");
  Prod(c, u"bare");
  RecordingSurface s;
  Render(s, 1, 1);
  const int32_t pad = Len(12);
  const auto v = Verticals(s);
  EXPECT_EQ(XsOf(v), (std::set<int32_t>{141 - pad, 141 + 472 + pad, 2480 - 141 + Len(2)}));
  const double y0 = FirstProductY();
  const auto h = Horizontals(s);
  ASSERT_EQ(h.size(), 2u);
  EXPECT_EQ(h[1].y1, Pos(y0 + 0.3 + 2 * 12 + 0.3));
}

TEST_F(Layout2Test, Layout5PutsTheSecondPictureBelowTheText) {
  Category& c = Cat(u"K");
  Product& three = Prod(c, u"three");
  AddPicture(three, u"p0.png", 4, 400, 200);  // 40 x 20 mm
  AddPicture(three, u"p1.png", 8, 800, 400);  // 80 x 40 mm, wider than the column
  AddPicture(three, u"p2.png", 4, 400, 200);
  Product& one = Prod(c, u"one");
  AddPicture(one, u"q0.png", 4, 400, 200);
  const double top = FirstProductY() + 0.3;
  {
    RecordingSurface s;
    Render(s, 1, 4);
    const auto pics = PictureOps(s);
    ASSERT_EQ(pics.size(), 4u);
    EXPECT_EQ(pics[0].x1, Pos(12));
    EXPECT_EQ(pics[0].y1, Pos(top + 2));
    EXPECT_EQ(pics[1].x1, Pos(12));  // the third picture follows the first
    EXPECT_EQ(pics[1].y1, Pos(top + 2 + 20 + 2));
    // Below the name and the empty description, centred over the text cell
    // (cw = 2480 - 2 x 141 - 472 - 2 x 23 = 1680 px), at its full width.
    const int32_t cw = 1680;
    EXPECT_EQ(pics[2].x1, 472 + 2 * 23 + 141 + (cw - Len(80)) / 2);
    EXPECT_EQ(pics[2].y1, Pos(top + 2 + 2 * lh));
    EXPECT_EQ(pics[2].x2, Len(80));
    // "one" has a single picture: in the column, nothing below its text.
    const SurfaceOp* name = s.FindText(u"one");
    ASSERT_TRUE(name);
    EXPECT_EQ(pics[3].x1, Pos(12));
    EXPECT_EQ(pics[3].y1, name->y1);
  }
  {
    // Layout 2: all three in the column, the wide one capped.
    RecordingSurface s;
    Render(s, 1, 1);
    const auto pics = PictureOps(s);
    ASSERT_EQ(pics.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pics[i].x1, Pos(12));
    EXPECT_EQ(pics[2].y1, Pos(top + 2 + 20 + 2 + 20 + 2));  // 80 mm capped to 40 x 20
  }
}

TEST_F(Layout2Test, OversizedContentEndsAndMovesAtMostOnce) {
  Category& c = Cat(u"K");
  Prod(c, u"first");
  Product& tall = Prod(c, u"tall");
  AddPicture(tall, u"tall.png", 4, 100, 3000);  // 1200 mm high
  Prod(c, u"after");
  for (int layout : {1, 2}) {
    SCOPED_TRACE(layout);
    RecordingSurface s;
    Render(s, 1, layout);
    // Moved once to page 2, where it runs over the bottom; "after" follows.
    EXPECT_LE(session.anzpages, 3);
    RecordingSurface p2;
    Render(p2, 2, layout);
    ASSERT_TRUE(p2.FindText(u"tall"));
  }
  // A description font taller than the page still places a line per page.
  set.FontDialog4 = MakeFont(u"Fixed", 2000, false, 0);
  Prod(c, u"huge", Lines(3, u"h"));
  for (int layout : {1, 2}) {
    RecordingSurface s;
    Render(s, 1, layout);
    EXPECT_GT(session.anzpages, 3);
    EXPECT_LT(session.anzpages, 20);
  }
}

TEST(LayoutTable, EachLayoutHasItsRendererAndVariations) {
  const struct {
    LayoutRenderer renderer;
    int32_t bildmode;
    bool one, second;
  } want[] = {{&PaintToCanvas, 0, false, false},        {&PaintToCanvasLayout2, 0, false, false},
              {&PaintToCanvasLayout3, 0, false, false}, {&PaintToCanvas, 0, true, false},
              {&PaintToCanvasLayout2, 0, false, true},  {&PaintToCanvasLayout2, 1, false, false},
              {&PaintToCanvasLayout2, 2, false, false}, {&PaintToCanvasLayout2, 3, false, false}};
  // A new layout is added at the end: these stay as they are.
  ASSERT_GE(kLayoutCount, static_cast<int32_t>(std::size(want)));
  for (int32_t i = 0; i < static_cast<int32_t>(std::size(want)); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(kLayouts[i].renderer, want[i].renderer);
    EXPECT_EQ(kLayouts[i].bildmode, want[i].bildmode);
    EXPECT_EQ(kLayouts[i].froceOnlyOneColumnCheck, want[i].one);
    EXPECT_EQ(kLayouts[i].SecondPictureBelowText, want[i].second);
  }
  for (int32_t i = 0; i < kLayoutCount; ++i) {
    EXPECT_EQ(&LayoutAt(i), &kLayouts[i]);
    // The window's list names each layout with its number first.
    EXPECT_EQ(std::string(kLayouts[i].name).rfind(std::to_string(i + 1) + " - ", 0), 0u) << kLayouts[i].name;
  }
  EXPECT_EQ(&LayoutAt(-1), &kLayouts[0]);
  EXPECT_EQ(&LayoutAt(kLayoutCount), &kLayouts[0]);
}
