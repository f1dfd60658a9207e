// The outputs behind one interface: every output of the table runs through
// CatalogOutput with the layout as a parameter, draws that layout's pages,
// and leaves the document's settings and changed flag as they were.
#include "output/catalogoutput.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <type_traits>

#include "output/htmlcatalog.h"
#include "output/pageimages.h"
#include "output/pdfexport.h"
#include "output/pricelistdocument.h"
#include "output/vectorexport.h"
#include "platform/guiapp.h"
#include "render/render.h"
#include "sample_session.h"

namespace fs = std::filesystem;

namespace {

// The sample, its changed flag live and clear.
void OpenSample(SampleSession& s, int32_t layout) {
  ASSERT_TRUE(s.Open(std::string(QL_SOURCE_DIR) + "/data/sample/test.pk2", layout));
  s.doc.maincap = u"Quillane";
  s.doc.SetUnChanged();
}
std::string TempDir() {
  std::string t = (fs::temp_directory_path() / "ql-outputs-XXXXXX").string();
  return mkdtemp(t.data()) ? t : std::string();
}

// The names of the settings that differ between `a` and `b`.
std::string DifferingSettings(const CatalogSettings& a, const CatalogSettings& b) {
  std::string differ;
  a.Visit([&](SettingKind, const char* name, const auto& f, double, double) {
    // The same field of `b`: at the same place in the struct.
    using T = std::decay_t<decltype(f)>;
    const auto at = reinterpret_cast<const char*>(&f) - reinterpret_cast<const char*>(&a);
    if (!(f == *reinterpret_cast<const T*>(reinterpret_cast<const char*>(&b) + at)))
      differ += std::string(differ.empty() ? "" : " ") + name;
  });
  return differ;
}

// Small and quick: low resolutions, no encoder threads.
void Quick(output::CatalogOutput& out) {
  if (auto* o = output::FormatOf<output::PdfExportOptions>(out)) o->encoderThreads = 0;
  if (auto* o = output::FormatOf<output::VectorPdfOptions>(out)) {
    *o = output::ScreenPdfPreset();
    o->threads = 0;
    o->maxPictureppi = 36;
  }
  if (auto* o = output::FormatOf<output::PageImagesOptions>(out)) o->encoderThreads = 0;
  if (auto* o = output::FormatOf<output::HtmlCatalogOptions>(out)) {
    o->encoderThreads = 0;
    o->hdPictures = false;
  }
  if (auto* o = output::FormatOf<output::PrintOutputOptions>(out)) o->toPdf = true;
}

}  // namespace

TEST(CatalogOutputs, TheTableNamesEveryOutputOnceAndMakesIt) {
  std::set<std::string> ids, menus;
  for (const output::OutputEntry& e : output::OutputTable()) {
    SCOPED_TRACE(e.id);
    EXPECT_TRUE(ids.insert(e.id).second);
    EXPECT_TRUE(menus.insert(e.menuName).second);
    EXPECT_EQ(output::FindOutput(e.id), &e);
    EXPECT_NE(e.make(), nullptr);
    EXPECT_NE(std::string(e.command), "");
  }
  EXPECT_EQ(output::FindOutput("no-such-output"), nullptr);
}

TEST(CatalogOutputs, EachTakesTheLayoutAsAParameterAndLeavesTheDocumentAlone) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  const std::string dir = TempDir();
  ASSERT_FALSE(dir.empty());
  // Layout 1 (index 0) in the document, layout 3 asked for: the sample's
  // page counts differ between them.
  constexpr int32_t kAsked = 2;
  SampleSession asked, own;
  OpenSample(asked, kAsked);
  OpenSample(own, 0);
  const CatalogSettings settingsBefore = own.doc.settings;
  for (const output::OutputEntry& e : output::OutputTable()) {
    SCOPED_TRACE(e.id);
    const bool pages = std::string(e.id) != "price-list";
    const bool reports = pages && std::string(e.id) != "print";  // a print job reports no pages
    const std::string target = dir + "/" + e.id + (e.target == output::OutputTarget::Folder ? "" : ".out");
    output::OutputOptions common;
    common.dpi = e.defaultDpi > 0 ? 20 : 0;
    common.progpath = std::string(QL_BIN_DIR) + "/";
    // The reference: the layout chosen in the document itself.
    const auto reference = e.make();
    Quick(*reference);
    const output::OutputResult want = reference->Write(*asked.session, target + "-ref", common, {});
    ASSERT_TRUE(want.ok) << want.error;

    common.layout = kAsked;
    int32_t calls = 0;
    const auto out = e.make();
    Quick(*out);
    const output::OutputResult got =
        out->Write(*own.session, target, common, [&](const output::OutputProgress&) {
          ++calls;
          return true;
        });
    ASSERT_TRUE(got.ok) << got.error;
    EXPECT_FALSE(got.files.empty());
    for (const std::string& f : got.files) EXPECT_TRUE(fs::exists(f)) << f;
    EXPECT_FALSE(got.summary.empty());
    if (pages) {
      EXPECT_EQ(got.pages, want.pages);
    }
    if (reports) {
      EXPECT_GT(calls, 0);
    }
    EXPECT_EQ(own.doc.settings.LayoutCombo, 0);
    EXPECT_EQ(DifferingSettings(own.doc.settings, settingsBefore), "");
    EXPECT_FALSE(own.doc.changed);
  }
  // The two layouts really differ, so the counts above tell them apart.
  const output::OutputResult first =
      output::WriteOutput(*output::FindOutput("vector-pdf"), *own.session, dir + "/own.pdf", {});
  const output::OutputResult third =
      output::WriteOutput(*output::FindOutput("vector-pdf"), *asked.session, dir + "/asked.pdf", {});
  EXPECT_NE(first.pages, third.pages);
  fs::remove_all(dir);
}

TEST(CatalogOutputs, TheHtmlCatalogWritesItsPdfBesideItWhenAsked) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  const std::string dir = TempDir();
  ASSERT_FALSE(dir.empty());
  SampleSession s;
  OpenSample(s, 0);
  const auto out = output::FindOutput("html")->make();
  Quick(*out);
  output::FormatOf<output::HtmlCatalogOptions>(*out)->pdfFile = output::kHtmlPdfName;
  output::OutputOptions common;
  common.dpi = 20;
  common.progpath = std::string(QL_BIN_DIR) + "/";
  common.layout = 4;
  const output::OutputResult r = out->Write(*s.session, dir, common, {});
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.files.size(), 2u);
  EXPECT_EQ(fs::path(r.files[0]).filename(), output::kHtmlCatalogName);
  EXPECT_EQ(fs::path(r.files[1]).filename(), output::kHtmlPdfName);
  EXPECT_TRUE(fs::exists(r.files[1]));
  fs::remove_all(dir);
}
