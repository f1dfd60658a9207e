#include <gtest/gtest.h>

#include <algorithm>

#include "layout_fixture.h"
#include "render/furniture.h"
#include "render/toc.h"
#include "render/varianttable.h"

using namespace render;
using layouttest::LineMm;
using testsupport::RecordingSurface;
using testsupport::SurfaceOp;

namespace {

struct TocTest : layouttest::LayoutTest {
  CategoryOptions* toc = nullptr;
  TocTest() {
    set.FontDialog1 = MakeFont(u"Fixed", 10, false, 0);  // sub-entries and products
    Category& t = Cat(u"Inhalt");
    t.options = std::make_unique<CategoryOptions>();
    t.options->istoc = true;
    toc = t.options.get();
    Category& s0 = Cat(u"S0");
    Prod(s0, u"P1");
    Prod(s0, u"P2").deactivated = true;
    Cat(u"M1");
    Prod(Cat(u"S1"), u"Q1");
    Category& s2 = Cat(u"S2");
    s2.options = std::make_unique<CategoryOptions>();
    s2.options->notintoc = true;
    Prod(s2, u"R1");
    Cat(u"M2");
    Prod(Cat(u"S3"), u"T1");
  }
  // Page 1 after a first pass stored the page numbers.
  std::unique_ptr<RecordingSurface> Page1() {
    RecordingSurface warm;
    auto s = std::make_unique<RecordingSurface>();
    Render(warm, 1);
    Render(*s, 1);
    return s;
  }
  std::vector<std::u16string> Listed(const RecordingSurface& s) {
    std::vector<std::u16string> out;
    for (const auto& op : s.Texts())
      if (op.text != u"." && op.text != u"Inhalt" && !(op.text[0] >= u'0' && op.text[0] <= u'9'))
        out.push_back(op.text);
    return out;
  }
  int32_t pm() const { return Len(set.RandBildEd); }
};

using V = std::vector<std::u16string>;

}  // namespace

TEST_F(TocTest, MainEntriesFlushLeftSubEntriesIndentedWithPageNumbers) {
  auto sp = Page1();
  RecordingSurface& s = *sp;
  EXPECT_EQ(Listed(s), (V{u"S0", u"M1", u"S1", u"M2", u"S3"}));
  // Entries before the first main category count as main entries.
  EXPECT_EQ(s.FindText(u"S0")->x1, Len(10));
  EXPECT_EQ(s.FindText(u"S0")->font.size, 12);
  EXPECT_EQ(s.FindText(u"M1")->x1, Len(10));
  EXPECT_EQ(s.FindText(u"S1")->x1, Len(10) + 4 * pm());
  EXPECT_EQ(s.FindText(u"S1")->font.size, 10);
  // S0 is on page 2, M1 and S1 share page 3 (main categories do not break).
  const SurfaceOp* s1 = s.FindText(u"S1");
  const SurfaceOp* num = nullptr;
  for (const auto& op : s.Texts())
    if (op.y1 == s1->y1 && op.text == u"3") num = &op;
  ASSERT_NE(num, nullptr);
  EXPECT_EQ(num->x1, kW - Len(10) - 21);  // "3" is 21 px wide at 10 pt: right-aligned
}

TEST_F(TocTest, ListingOptions) {
  toc->tocsubcategoriesonly = true;
  EXPECT_EQ(Listed(*Page1()), (V{u"S0"}));  // stops at the first main category

  toc->tocallcategories = true;  // wins over sub-categories only
  doc.kats[2].name = u"M1";
  EXPECT_EQ(Listed(*Page1()), (V{u"S0", u"M1", u"S1", u"M2", u"S3"}));
  toc->tocallcategories = toc->tocsubcategoriesonly = false;

  toc->tocwithproducts = true;
  auto wp = Page1();
  RecordingSurface& with = *wp;
  EXPECT_EQ(Listed(with), (V{u"S0", u"P1", u"M1", u"S1", u"Q1", u"M2", u"S3", u"T1"}));
  EXPECT_EQ(with.FindText(u"P1")->x1, Len(10) + 4 * pm());
  EXPECT_EQ(with.FindText(u"Q1")->x1, Len(10) + 8 * pm());
  toc->tocnocategories = true;
  auto op1 = Page1();
  RecordingSurface& only = *op1;
  EXPECT_EQ(Listed(only), (V{u"P1", u"Q1", u"T1"}));
  EXPECT_EQ(only.FindText(u"P1")->x1, Len(10));
  EXPECT_EQ(only.FindText(u"Q1")->x1, Len(10) + 4 * pm());
}

TEST_F(TocTest, DotLeadersSitOnOneGridAndStopBeforeTheNumber) {
  doc.kats[1].name = std::u16string(92, u'N');  // 92 x 25 px: longer than the room before the number
  auto sp = Page1();
  RecordingSurface& s = *sp;
  const int32_t d = 25;  // "." at 12 pt
  std::vector<int32_t> ys;
  for (const auto& op : s.Texts())
    if (op.text == u".") {
      if (op.font.size == 12) {
        EXPECT_EQ(op.x1 % d, 0) << op.x1;
      }
      if (op.font.size == 10) {
        EXPECT_EQ(op.x1 % 21, 0) << op.x1;
      }
      ys.push_back(op.y1);
    }
  // The long entry is broken before its number: no dots beside its first
  // line, the number and the dots follow its last line.
  std::vector<SurfaceOp> parts;
  for (const auto& op : s.Texts())
    if (!op.text.empty() && op.text.find_first_not_of(u'N') == std::u16string::npos) parts.push_back(op);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].text.size() + parts[1].text.size(), 92u);
  EXPECT_LE(parts[0].x1 + 25 * static_cast<int32_t>(parts[0].text.size()), kW - Len(10) - 25);
  EXPECT_EQ(std::count(ys.begin(), ys.end(), parts[0].y1), 0);
  EXPECT_GT(std::count(ys.begin(), ys.end(), parts[1].y1), 0);
  EXPECT_GT(parts[1].y1, parts[0].y1);
  const SurfaceOp* m1 = s.FindText(u"M1");
  const auto n = std::count(ys.begin(), ys.end(), m1->y1);
  // From the first multiple of d after the name up to the number's left edge.
  const int32_t start = (Len(10) + 2 * d + d - 1) / d * d;
  const int32_t stop = kW - Len(10) - 25;  // one digit
  EXPECT_EQ(n, (stop - start - 1) / d);
}

TEST_F(TocTest, LongListingContinuesOnTheNextPage) {
  for (int i = 0; i < 70; ++i)
    Prod(Cat(u"X" + std::u16string(1, char16_t(u'A' + i % 26)) + char16_t(u'a' + i / 26)), u"p");
  auto s1p = Page1();
  RecordingSurface& s1 = *s1p;
  RecordingSurface s2;
  Render(s2, 2);
  EXPECT_EQ(doc.kats[doc.kats.Count() - 1].options->pagenr,
            6 + 70);  // contents 1-2, S0 3, M1+S1 4, S2 5, M2+S3 6
  const auto one = Listed(s1), two = Listed(s2);
  ASSERT_FALSE(two.empty());
  EXPECT_EQ(one.size() + two.size(), 75u);
  EXPECT_EQ(doc.lastkat.Get(1), two.front());  // the entry that did not fit names the page
  EXPECT_EQ(s2.FindText(two.front())->y1, Pos(10 + LineMm(10)));
}

// ---------------------------------------------------------------------------

namespace {

struct TableTest : layouttest::LayoutTest {
  Product* p = nullptr;
  const double lh = LineMm(12);
  TableTest() {
    Category& c = Cat(u"K");
    p = &Prod(c, u"P");
  }
  void Row(std::initializer_list<const char16_t*> cells) {
    VariantRow* r = doc.AddRow(*p);
    for (const char16_t* t : cells) r->cells.Add()->text = t;
  }
  // Lays out (pass 0) and draws (pass 1) the table at y = 20 mm of page 1.
  double Draw(RecordingSurface& s, double y0 = 20) {
    const RenderParams prm = Params(s, 1);
    RenderPass pass(session, prm);
    PageState st;
    StartPass(pass, st);
    s.Clear();
    st.y = y0;
    DrawVariantTable(pass, st, *p, st.leftpx, 0, true, u"K");
    st.y = y0;
    DrawVariantTable(pass, st, *p, st.leftpx, 1, true, u"K");
    return st.y;
  }
  int32_t Width(uint32_t c) const { return p->variants[0].cells[c].measuredwidth; }
};

}  // namespace

TEST(CellText, ColourSuffix) {
  CellContent c = ParseCellText(u"19,90##FF0000");
  EXPECT_TRUE(c.hascolor);
  EXPECT_EQ(c.shown, u"19,90");
  EXPECT_EQ(c.color, RGBColor(255, 0, 0));
  c = ParseCellText(u"a\tb##GG80zz");  // G and z count as 0
  EXPECT_EQ(c.shown, u"ab");
  EXPECT_EQ(c.color, RGBColor(0, 0x80, 0));
  EXPECT_TRUE(ParseCellText(u"##0000FF").hascolor);
  EXPECT_EQ(ParseCellText(u"##0000FF").shown, u"");
  EXPECT_FALSE(ParseCellText(u"#0000FF").hascolor);
  EXPECT_FALSE(ParseCellText(u"1#000000F").hascolor);
}

TEST_F(TableTest, EmptyTableDrawsNothingAndKeepsY) {
  RecordingSurface s;
  EXPECT_DOUBLE_EQ(Draw(s), 20);
  EXPECT_TRUE(s.ops.empty());
}

TEST_F(TableTest, ColourSuffixWidthsPriceAlignmentAndHeight) {
  p->pricecols = 1;
  Row({u"Name", u"Preis"});
  Row({u"Topf", u"19,90##FF0000"});
  RecordingSurface s;
  const double y = Draw(s);
  EXPECT_EQ(Width(0), 100);  // 4 characters of 25 px
  EXPECT_EQ(Width(1), 125);  // the suffix is not measured
  const SurfaceOp* price = s.FindText(u"19,90");
  ASSERT_NE(price, nullptr);
  const int32_t pad = Len(1), p2 = Len(set.LineWidthEd2);
  const int32_t cell1 = Len(10) + p2 + 100 + 2 * pad + p2;  // left edge of the price cell
  EXPECT_EQ(price->x1, cell1 + pad + 125 - 125);
  bool red = false;
  for (const auto& op : s.OfKind(SurfaceOp::Fill))
    red |= op.color == RGBColor(255, 0, 0) && op.x1 == cell1 && op.y1 == Pos(20 + 2 * set.LineWidthEd2 + lh);
  EXPECT_TRUE(red);
  EXPECT_NEAR(y, 20 + set.LineWidthEd2 + lh + set.LineWidthEd2 + lh + lh + set.LineWidthEd2 / 2, 1e-9);
  // A short price is right-aligned in its column.
  p->variants[1].cells[1].text = u"9,9";
  RecordingSurface s2;
  Draw(s2);
  EXPECT_EQ(s2.FindText(u"9,9")->x1, cell1 + pad + 125 - 75);
  set.PreisLinksCheck = true;
  RecordingSurface s3;
  Draw(s3);
  EXPECT_EQ(s3.FindText(u"9,9")->x1, cell1 + pad);
}

TEST_F(TableTest, HiddenPriceColumnsCloseUpButCountForCentring) {
  p->pricecols = 2;
  Row({u"Name", u"Preis", u"Ab 10"});
  Row({u"Topf", u"1,00", u"0,90"});
  set.DonotShowPriceColumnscheck = true;
  set.ZentrTabelleCheck = true;
  RecordingSurface s;
  Draw(s);
  EXPECT_EQ(s.FindText(u"Preis"), nullptr);
  EXPECT_EQ(s.FindText(u"0,90"), nullptr);
  const int32_t pad = Len(1), p2 = Len(set.LineWidthEd2);
  const int32_t tablew = (100 + 3 * pad) + (125 + 3 * pad) + (125 + 3 * pad);
  const int32_t indent = (kW - 2 * Len(10) - tablew) / 2;
  EXPECT_EQ(s.FindText(u"Name")->x1, Len(10) + indent + p2 + pad);
  // Three bars: left of column 0, right of it (drawn twice per row).
  int32_t rightmost = 0;
  for (const auto& op : s.OfKind(SurfaceOp::Fill))
    if (op.color == set.Shape10) rightmost = std::max(rightmost, op.x2);
  EXPECT_EQ(rightmost, Len(10) + indent + p2 + 100 + 2 * pad + p2);
}

TEST_F(TableTest, LongerRowsAndFixedTableWidth) {
  Row({u"A", u"B"});
  Row({u"aa", u"bb", u"cccc"});
  set.FixWidthForTableCheck = true;
  set.FixedWidthForTableEd = 100;
  RecordingSurface s;
  Draw(s);
  const double t = 100 / kMmPerInch * 300;
  const int32_t grown = static_cast<int32_t>(50 + (t - 100) / 2);
  EXPECT_EQ(Width(0), grown);
  EXPECT_EQ(Width(1), grown);
  ASSERT_NE(s.FindText(u"cccc"), nullptr);  // drawn although row 0 has no third cell
  const int32_t pad = Len(1), p2 = Len(set.LineWidthEd2);
  EXPECT_EQ(s.FindText(u"cccc")->x1, Len(10) + p2 + 2 * (grown + 2 * pad + p2) + pad);
  // A fixed width below the measured one changes nothing.
  set.FixedWidthForTableEd = 5;
  Draw(s);
  EXPECT_EQ(Width(0), 50);
}

TEST_F(TableTest, WordWiderThanItsColumnBreaksInsideWithoutLoss) {
  Row({u"Titel"});
  Row({u"Gartenschlauch"});
  Row({u"ab cdefg"});
  set.DefineFixedWidthCheck = true;
  set.RxSpinEdit1 = 10;  // 118 px: four characters
  RecordingSurface s;
  const double y = Draw(s);
  std::u16string joined;
  std::vector<std::u16string> texts;
  for (const auto& op : s.Texts()) texts.push_back(op.text);
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"Tite", u"l", u"Gart", u"ensc", u"hlau", u"ch", u"ab",
                                                u"cdef", u"g"}));
  EXPECT_EQ(p->variants[1].lines, 4);
  EXPECT_EQ(p->variants[2].lines, 3);
  EXPECT_NEAR(y, 20 + 3 * set.LineWidthEd2 + (2 + 4 + 3) * lh + lh + set.LineWidthEd2 / 2, 1e-9);
  // Without breaking a cell stays one line and runs into the next column.
  set.DoLineBreakinTableCellsCheck = false;
  RecordingSurface s2;
  Draw(s2);
  EXPECT_NE(s2.FindText(u"Gartenschlauch"), nullptr);
  EXPECT_EQ(p->variants[1].lines, 1);
}

TEST_F(TableTest, RowsBreakToTheNextPageInTheDrawingPass) {
  Row({u"T"});
  for (int i = 0; i < 5; ++i) Row({u"r"});
  RecordingSurface s;
  const double y = Draw(s, Bottom() - 2.5 * lh);
  EXPECT_EQ(doc.lastkat.Get(1), u"K");
  // Rows 0 to 2 start above the bottom; rows 3 to 5 go to page 2, the first
  // one line below the top.
  EXPECT_NEAR(y, 10 + lh + 3 * lh + 2 * set.LineWidthEd2 + lh + set.LineWidthEd2 / 2, 1e-9);
}
