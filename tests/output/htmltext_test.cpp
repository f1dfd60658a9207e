// The HTML catalog's text layer: texts caught while the pages are drawn,
// joined into lines, contents links and addresses, and every catalog text
// kept as data in the scripts, the page list and the template.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "output/htmlcatalog.h"
#include "output/htmlpagetext.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "project/document.h"
#include "render/render.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

const std::u16string kEvil = u"<img src=x onerror=alert(1)></script>\"onmouseover=\"x' javascript:alert(1)";

// Two pages: page 1 a contents entry leading to page 2 and a justified line
// drawn word by word; page 2 a hostile product name and an address line.
bool TextRenderer(render::RenderSession& s, const render::RenderParams& p, const render::LayoutEntry&) {
  s.anzpages = 2;
  if (p.seiteedvalue >= 1 && p.seiteedvalue <= 2) {
    render::DrawingSurface& c = *p.canvas0;
    c.SetTransparentText();
    if (p.seiteedvalue == 1) {
      c.TextOut(10, 10, u"Garten");
      c.LinkToPage(10, 10, 200, 10 + c.TextHeight(u"Garten"), 2);
      const int32_t y = 60;
      int32_t x = 10;
      for (const std::u16string w : {u"Gie\u00DFkanne", u"aus", u"Zink"}) {
        c.TextOut(x, y, w);
        x += c.TextWidth(w) + c.TextWidth(u" ") + 2;
      }
    } else {
      c.TextOut(10, 10, kEvil);
      c.TextOut(10, 80, u"Mehr unter www.example.de/a?b=\"1\" oder info@example.de.");
    }
  }
  return p.seiteedvalue < 2;
}

class HtmlText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    std::string t = (fs::temp_directory_path() / "ql-htmltext-XXXXXX").string();
    root_ = mkdtemp(t.data());
    fs::create_directories(root_ + "/prog");
    std::ofstream(root_ + "/prog/flippages.htm", std::ios::binary)
        << "<html lang=\"%%LANG%%\"><title>%%TITLE%%</title>%%PAGECOUNT%%|%%TEXTLAYER%%\n"
           "<noscript>%%NOSCRIPT%%</noscript></html>\n";
    session_ = std::make_unique<render::RenderSession>(doc_, measurer_, loader_);
    session_->drawWith = TextRenderer;
    opts_.progpath = root_ + "/prog";
    opts_.dpi = 72;
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string root_;
  Document doc_;
  platform::QtTextMeasurer measurer_;
  platform::QtPictureLoader loader_;
  std::unique_ptr<render::RenderSession> session_;
  output::HtmlCatalogOptions opts_;
};

}  // namespace

TEST_F(HtmlText, PagesCarryTheirLinesLinksAndAddresses) {
  doc_.settings.KopfEd = u"Gartenkatalog 100% <b>";
  const std::string out = root_ + "/out";
  const output::HtmlCatalogResult r = output::ExportHtmlCatalog(*session_, out, opts_);
  ASSERT_TRUE(r.ok) << r.error;
  const std::string p1 = Slurp(out + "/catalogtext1.js"), p2 = Slurp(out + "/catalogtext2.js");
  EXPECT_EQ(p1.rfind("qlPageText(1,{", 0), 0u) << p1;
  // The contents entry leads to page 2; the words of the justified line are one line.
  EXPECT_NE(p1.find("\"Garten\",0,2]"), std::string::npos) << p1;
  EXPECT_NE(p1.find("\"Gie\\u00dfkanne aus Zink\",0,0]"), std::string::npos) << p1;
  // The address line has its two addresses with escaped, encoded targets.
  EXPECT_NE(p2.find("[[11,32,\"https://www.example.de/a?b=%221\"],[39,54,\"mailto:info@example.de\"]]"),
            std::string::npos)
      << p2;
  // Hostile text stays inside its string: no <, >, quote or backslash-free escape.
  const size_t at = p2.find("\\u003cimg");
  ASSERT_NE(at, std::string::npos) << p2;
  for (const char* bad : {"<", ">", "'", "</script"}) EXPECT_EQ(p2.find(bad), std::string::npos) << bad;
  const std::string index = Slurp(out + "/" + output::kHtmlSearchIndexName);
  EXPECT_NE(index.find("[1,\"Garten\\u000aGie\\u00dfkanne aus Zink\"]"), std::string::npos) << index;

  const std::string html = Slurp(out + "/catalog.htm");
  EXPECT_NE(html.find("<html lang=\"de\"><title>Gartenkatalog 100&#37; &lt;b&gt;</title>2|1"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("<noscript><a href=\"catalogpages.htm\">Gartenkatalog 100% &lt;b&gt;</a></noscript>"),
            std::string::npos);
  // Without scripts: the pages with their lines, hostile text escaped, the
  // contents entry and the addresses as links of the allowed kinds only.
  const std::string list = Slurp(out + "/catalogpages.htm");
  EXPECT_NE(list.find("<html lang=\"de\">"), std::string::npos);
  EXPECT_NE(list.find("<title>Gartenkatalog 100% &lt;b&gt;</title>"), std::string::npos);
  EXPECT_NE(list.find("&lt;img src=x onerror=alert(1)&gt;&lt;/script&gt;&quot;onmouseover=&quot;x&#39; "
                      "javascript:alert(1)"),
            std::string::npos)
      << html;
  EXPECT_EQ(list.find("<img src=x"), std::string::npos);
  EXPECT_NE(list.find("<a href=\"#page=2\">Garten</a>"), std::string::npos);
  EXPECT_NE(list.find("<a href=\"https://www.example.de/a?b=%221\">www.example.de/a?b=&quot;1</a>&quot;"),
            std::string::npos);
  EXPECT_NE(list.find("<a href=\"mailto:info@example.de\">"), std::string::npos);
  EXPECT_EQ(list.find("href=\"javascript"), std::string::npos);

  // Without the text layer: no text files, the template says so.
  opts_.textLayer = false;
  ASSERT_TRUE(output::ExportHtmlCatalog(*session_, root_ + "/plain", opts_).ok);
  EXPECT_FALSE(fs::exists(root_ + "/plain/catalogtext1.js"));
  EXPECT_NE(Slurp(root_ + "/plain/catalog.htm").find("</title>2|\r\n"), std::string::npos);
}

TEST(HtmlTemplateInfo, OurPlaceholdersAreFilledOnceAndEscaped) {
  output::HtmlTemplateInfo info;
  info.pageCount = 17;
  info.lang = "fr";
  info.title = u"%%LANG%% \"A\" & <B>";
  info.pdfFile = "katalog.pdf";
  const std::string t =
      "%%ANZPAGES%%|%%PAGECOUNT%%|%%LANG%%|%%TITLE%%|%%PDFFILE%%|%%TR:Vollbild%%|%%X%%|%%TEXTLAYER%%|"
      "%%HDPICTURES%%|50%";
  EXPECT_EQ(
      output::FillHtmlTemplate(t, 18, info),
      "10|17|fr|&#37;&#37;LANG&#37;&#37; &quot;A&quot; &amp; &lt;B&gt;|katalog.pdf|Vollbild|%%X%%|||50%\r\n");
}
