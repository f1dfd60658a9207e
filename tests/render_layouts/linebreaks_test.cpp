// A line break is a line break whether the text holds CR LF (files written
// elsewhere), a bare LF (typed into the editor) or a lone CR: every layout
// draws the same page for all three.
#include <gtest/gtest.h>

#include <string>

#include "core/codepage.h"
#include "fixture.h"

namespace {

using namespace layouttest;

struct LineBreakTest : FamilyTest {
  // A catalog whose product names, descriptions and category introduction
  // hold several line breaks ("|" below), and enough text to span pages.
  LineBreakTest() {
    Category& c = Cat(u"Gießen");
    c.options = std::make_unique<CategoryOptions>();
    for (int i = 0; i < 12; ++i) {
      std::u16string n(1, char16_t(u'A' + i));
      Product& p = Prod(c, {}, {});
      AddTable(p, {{u"Name", u"Preis"}, {n.c_str(), u"4,95 €"}});
    }
  }
  // Writes every break as `br`.
  void SetBreaks(const std::u16string& br) {
    auto with = [&](std::u16string t) {
      for (size_t i; (i = t.find(u'|')) != std::u16string::npos;) t.replace(i, 1, br);
      return t;
    };
    Category& c = doc.kats[0];
    c.options->introtext = with(u"Erste Zeile|zweite Zeile||nach leerer Zeile");
    int i = 0;
    for (Product& p : c.products) {
      std::u16string n(1, char16_t(u'A' + i++));
      p.name = with(u"Kanne " + n + u"|aus Zink");
      p.description = with(u"Inhalt 5 Liter.|Mit Brause||Farbe " + n + u"|l00|l01|l02");
    }
  }
  // Text and position of every text drawn on `page`, one line each.
  std::u16string Page(int32_t layout, int32_t page) {
    RecordingSurface s;
    Render(s, page, layout);
    std::u16string out;
    for (const auto& op : s.Texts())
      out += op.text + u" @" + ql::FromUtf8(std::to_string(op.x1) + "," + std::to_string(op.y1)) + u"\n";
    return out;
  }
};

TEST_F(LineBreakTest, LoneLfCrLfAndLoneCrGiveTheSamePageInEveryLayout) {
  for (int32_t layout = 0; layout < render::kLayoutCount; ++layout) {
    SCOPED_TRACE("layout index " + std::to_string(layout));
    SetBreaks(u"\r\n");
    std::u16string crlf = Page(layout, 1) + Page(layout, 2);
    const int32_t pages = session.anzpages;
    // The break shows: "Liter." ends its line.
    EXPECT_NE(crlf.find(u"Inhalt 5 Liter. @"), std::u16string::npos);
    EXPECT_EQ(crlf.find(u"Liter.Mit"), std::u16string::npos);
    for (const char16_t* br : {u"\n", u"\r"}) {
      SetBreaks(br);
      EXPECT_EQ(Page(layout, 1) + Page(layout, 2), crlf) << (br[0] == u'\n' ? "LF" : "CR");
      EXPECT_EQ(session.anzpages, pages);
    }
  }
}

}  // namespace
