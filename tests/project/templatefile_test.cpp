#include "project/templatefile.h"

#include <gtest/gtest.h>

#include "core/codepage.h"
#include "projectfile_testutil.h"

using namespace pftest;
using Titles = std::vector<std::u16string>;

TEST(TemplateFile, LinesEncodingsAndTheFinalLineBreak) {
  EXPECT_EQ(ParseTemplateText("Name\r\nArt. Nummer\r\n\r\nPreis\r\n"),
            (Titles{u"Name", u"Art. Nummer", u"", u"Preis"}));
  EXPECT_EQ(ParseTemplateText("a\nb"), (Titles{u"a", u"b"}));
  EXPECT_EQ(ParseTemplateText("a\rb\r\r"), (Titles{u"a", u"b", u""}));
  EXPECT_EQ(ParseTemplateText("\r\n"), (Titles{u""}));
  EXPECT_EQ(ParseTemplateText(""), Titles{});
  EXPECT_EQ(ParseTemplateText("Gr\xF6\xDF"
                              "e \x80\r\n"),
            (Titles{u"Gr\u00F6\u00DFe \u20AC"}));
  EXPECT_EQ(ParseTemplateText("\xEF\xBB\xBFGr\xC3\xB6\xC3\x9F"
                              "e\r\nx"),
            (Titles{u"Gr\u00F6\u00DFe", u"x"}));
  EXPECT_EQ(ParseTemplateText(std::string("\xFF\xFE"
                                          "a\0\r\0\n\0\xAC\x20",
                                          10)),
            (Titles{u"a", u"\u20AC"}));
  EXPECT_EQ(ParseTemplateText(std::string("\xFE\xFF\0a\0\n\x20\xAC", 8)), (Titles{u"a", u"\u20AC"}));
}

TEST(TemplateFile, SaveAndLoad) {
  const std::string dir = MakeTempDir();
  const std::string path = dir + "v.vor";
  std::u16string error;
  ASSERT_TRUE(SaveTemplateFile(path, {u"Name", u"", u"Preis \u20AC", u"\u0141\u00FC"}, &error));
  EXPECT_EQ(ReadBytes(path), "Name\r\n\r\nPreis \x80\r\n?\xFC\r\n");
  Titles t = {u"alt1", u"alt2", u"alt3", u"alt4", u"alt5", u"alt6"};
  ASSERT_TRUE(LoadTemplateFile(path, t, &error));
  EXPECT_EQ(t, (Titles{u"Name", u"", u"Preis \u20AC", u"?\u00FC"}));

  ASSERT_TRUE(SaveTemplateFile(path, {}, &error));
  EXPECT_EQ(ReadBytes(path), "");
  ASSERT_TRUE(LoadTemplateFile(path, t, &error));
  EXPECT_TRUE(t.empty());

  t = {u"bleibt"};
  EXPECT_FALSE(LoadTemplateFile(dir + "fehlt.vor", t, &error));
  EXPECT_NE(error.find(ql::FromUtf8(dir + "fehlt.vor")), std::u16string::npos);
  EXPECT_EQ(t, Titles{u"bleibt"});
  EXPECT_FALSE(SaveTemplateFile(path + "/x.vor", {u"a"}, &error));
  EXPECT_EQ(ReadBytes(path), "");
}
