// Web and e-mail addresses found in a line of text: where they end, what
// they lead to, and what never becomes a link.
#include "render/webaddress.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Uris(const std::u16string& s) {
  std::vector<std::string> v;
  for (const render::WebAddress& a : render::FindWebAddresses(s)) v.push_back(a.uri);
  return v;
}

}  // namespace

TEST(WebAddress, BoundsAndTargets) {
  const std::u16string s = u"Besuchen Sie www.garten.de. Oder schreiben Sie an Info@Garten-Shop.de, danke";
  const auto found = render::FindWebAddresses(s);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(s.substr(found[0].begin, found[0].end - found[0].begin), u"www.garten.de");
  EXPECT_EQ(found[0].uri, "https://www.garten.de");
  EXPECT_EQ(s.substr(found[1].begin, found[1].end - found[1].begin), u"Info@Garten-Shop.de");
  EXPECT_EQ(found[1].uri, "mailto:Info@Garten-Shop.de");
  EXPECT_EQ(Uris(u"(HTTP://x.de/a?b=1&c=2)"), std::vector<std::string>{"HTTP://x.de/a?b=1&c=2"});
  EXPECT_EQ(Uris(u"https://gr\u00FCn.de/\U0001F600"),
            std::vector<std::string>{"https://gr%C3%BCn.de/%F0%9F%98%80"});
}

TEST(WebAddress, NothingElseBecomesALinkAndTargetsCannotBreakOut) {
  for (const std::u16string s : {u"javascript:alert(1)", u"data:text/html,x", u"a@b", u"@x.de", u"x@.de",
                                 u"name@host", u"wwwx.de", u"vbscript:msgbox", u"x<y@z.de"})
    EXPECT_TRUE(Uris(s).empty()) << std::string(s.begin(), s.end());
  // Quotes, angle brackets, backslashes and backticks are percent-encoded.
  EXPECT_EQ(Uris(u"http://x.de/\"onmouseover=\"alert(1)<b>`\\"),
            std::vector<std::string>{"http://x.de/%22onmouseover=%22alert(1)%3Cb%3E%60%5C"});
  // Not inside a word: "xhttp://a.de" is no address.
  EXPECT_TRUE(Uris(u"xhttp://a.de").empty());
}
