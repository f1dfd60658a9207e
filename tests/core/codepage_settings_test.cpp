#include <gtest/gtest.h>

#include "core/codepage.h"
#include "core/settings.h"

TEST(Codepage, Windows1252RoundTripAndReplacement) {
  EXPECT_EQ(ql::FromCp1252("\xFC"), u"\u00FC");
  EXPECT_EQ(ql::FromCp1252("\x80\x9F"), u"\u20AC\u0178");
  EXPECT_EQ(ql::ToCp1252(u"K\u00FCche \u20AC"),
            "K\xFC"
            "che \x80");
  EXPECT_EQ(ql::ToCp1252(u"\u0141\U0001F600"), "??");
  for (int b = 0; b < 256; ++b) {
    std::string s(1, static_cast<char>(b));
    EXPECT_EQ(ql::ToCp1252(ql::FromCp1252(s)), s) << b;
  }
  EXPECT_EQ(ql::ToUtf8(ql::FromUtf8("Bär \xF0\x9F\x98\x80")), "Bär \xF0\x9F\x98\x80");
  EXPECT_EQ(ql::FromUtf8("\xC3"), u"\uFFFD");
}

TEST(Settings, DefaultsAndGroupedSwitches) {
  CatalogSettings s;
  EXPECT_EQ(s.PictureAlignment(), 2);
  EXPECT_EQ(s.ColumnCount(), 4);
  // FourColumns first, then drei, then Zwei; none on counts as four.
  s.ZweiColumns = s.dreiColumns = true;
  EXPECT_EQ(s.ColumnCount(), 4);
  s.FourColumns = false;
  EXPECT_EQ(s.ColumnCount(), 3);
  s.dreiColumns = false;
  EXPECT_EQ(s.ColumnCount(), 2);
  s.ZweiColumns = false;
  EXPECT_EQ(s.ColumnCount(), 4);
  s.SetColumnCount(3);
  EXPECT_EQ(s.ColumnCount(), 3);
  EXPECT_EQ(s.FontDialog2.name, u"Arial Black");
  EXPECT_EQ(s.FontDialog2.color, RGBColor(255, 255, 0));
  EXPECT_EQ(s.Shape5, 0x00A6CAF0u);
  s.SetPictureAlignment(0);
  EXPECT_TRUE(s.BildLinks && !s.BildZentr && !s.BildRechts);
  s.SetPictureAlignment(7);
  EXPECT_EQ(s.PictureAlignment(), 0);
  s.SetDefaultColumnWidth(5, 12.5);
  EXPECT_DOUBLE_EQ(s.RxSpinEdit7, 12.5);
  int n = 0;
  s.Visit([&](SettingKind, const char*, auto&, double, double) { ++n; });
  EXPECT_GT(n, 100);
}

TEST(Settings, HexColorBox) {
  TColor c = 1;
  EXPECT_TRUE(ParseHexColor(u"  #FFAACC ", c));
  EXPECT_EQ(c, RGBColor(255, 170, 204));
  c = 1;
  EXPECT_TRUE(ParseHexColor(u"FFAACCDD", c));
  EXPECT_EQ(c, RGBColor(255, 170, 204));
  c = 1;
  EXPECT_FALSE(ParseHexColor(u"#FFAAC", c));
  EXPECT_FALSE(ParseHexColor(u"#FFAAXC", c));
  EXPECT_EQ(c, 1u);
}
