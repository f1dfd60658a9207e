// The checks a prepress operator runs on the print-ready PDF, with the same
// readers: boxes and conformance claims (qpdf), black text that overprints
// (content streams, Ghostscript's CMYK separations), picture resolution per
// use (pdfimages -list) and the preflight (its JSON, --strict).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "../support/shell.h"
#include "core/codepage.h"
#include "output/vectorexport.h"
#include "pdf/pdfimages.h"
#include "pdfvector/pdfsurface.h"
#include "pdfvector/vectordoc.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "project/projectfile.h"
#include "render/heading.h"
#include "render/render.h"

namespace fs = std::filesystem;

namespace {

using qltest::Q;
using qltest::ReadFile;
using qltest::Sh;

const std::string kBin = QL_BIN_DIR;
const std::string kCli = "CUPS_SERVER=/nonexistent/cups.sock " + kBin + "/quillane-cli";

// Runs `cmd` in a child process of its own: its exit status and its peak
// resident memory in MB.
int PeakMb(const std::string& cmd, int& status) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", (cmd + " >/dev/null 2>&1").c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int st = 0;
  rusage ru{};
  if (pid < 0 || ::wait4(pid, &st, 0, &ru) != pid) return -1;
  status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return static_cast<int>(ru.ru_maxrss / 1024);
}

QJsonObject Json(const std::string& text) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

// Page 1's boxes as qpdf reads them.
std::map<QString, QJsonArray> Boxes(const std::string& file) {
  const QJsonObject j = Json(Sh("qpdf --json --json-key=pages --json-key=qpdf " + Q(file)));
  const QString page = j["pages"].toArray()[0].toObject()["object"].toString();
  std::map<QString, QJsonArray> out;
  for (const auto& part : j["qpdf"].toArray()) {
    const QJsonObject o = part.toObject();
    const QJsonObject v = o["obj:" + page].toObject()["value"].toObject();
    for (const char* box : {"/MediaBox", "/BleedBox", "/TrimBox"})
      if (v.contains(box)) out[box] = v[box].toArray();
  }
  return out;
}

class PrintShop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }
  void SetUp() override {
    dir_ = (fs::temp_directory_path() / ("ql-shop-" + std::to_string(::getpid()))).string();
    fs::create_directories(dir_);
    std::u16string err;
    ASSERT_TRUE(OpenProjectFile(doc, kBin + "/test.pk2", ReadOptions::FromDocument(doc), &err))
        << ql::ToUtf8(err);
    opts.progpath = kBin;
    opts.threads = 2;
  }
  void TearDown() override { fs::remove_all(dir_); }
  output::VectorPdfResult Export(const std::string& out) {
    render::RenderSession s(doc, measurer, loader);
    s.LoadFurniturePictures();
    return output::ExportVectorPDF(s, out, opts);
  }

  std::string dir_;
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  output::VectorPdfOptions opts = output::PrintPdfPreset();
};

TEST_F(PrintShop, BoxesAreExactAndOnlyThePrintFileClaimsPdfX) {
  for (double bleed : {3.0, 2.5, 0.0}) {
    SCOPED_TRACE(bleed);
    opts.bleedMm = bleed;
    const std::string out = dir_ + "/b.pdf";
    const output::VectorPdfResult r = Export(out);
    ASSERT_TRUE(r.ok) << r.error;
    auto boxes = Boxes(out);
    ASSERT_EQ(boxes.size(), 3u);
    const double b = bleed * 72 / 25.4;
    const QJsonArray m = boxes["/MediaBox"], t = boxes["/TrimBox"];
    EXPECT_EQ(boxes["/BleedBox"], m);
    EXPECT_NEAR(t[0].toDouble() - m[0].toDouble(), b, 0.01);
    EXPECT_NEAR(t[1].toDouble() - m[1].toDouble(), b, 0.01);
    EXPECT_NEAR(m[2].toDouble() - t[2].toDouble(), b, 0.01);
    EXPECT_NEAR(m[3].toDouble() - t[3].toDouble(), b, 0.01);
  }
  // The CMYK file is PDF/X-4 with a press intent; the RGB file says
  // nothing of PDF/X and keeps sRGB for the viewers.
  for (bool cmyk : {true, false}) {
    SCOPED_TRACE(cmyk);
    opts.cmyk = cmyk;
    const std::string out = dir_ + (cmyk ? "/x.pdf" : "/plain.pdf");
    ASSERT_TRUE(Export(out).ok);
    const std::string qdf = out + ".qdf";
    Sh("qpdf --qdf --object-streams=disable " + Q(out) + " " + Q(qdf));
    const std::string body = ReadFile(qdf);
    EXPECT_EQ(ReadFile(out).substr(0, 8), "%PDF-1.6");
    EXPECT_EQ(body.find("GTS_PDFXVersion") != std::string::npos, cmyk);
    EXPECT_EQ(body.find("pdfxid:") != std::string::npos, cmyk);
    EXPECT_EQ(body.find("/S /GTS_PDFX") != std::string::npos, cmyk);
    EXPECT_EQ(body.find("/S /GTS_PDFA1") != std::string::npos, !cmyk);
    EXPECT_NE(body.find("/DestOutputProfile"), std::string::npos);
    EXPECT_EQ(body.find("/N 3") != std::string::npos, !cmyk);
    // What PDF/X-4 asks of every file: an ID, no encryption, a title and
    // the trapping state; nothing transparent.
    EXPECT_NE(body.find("/ID ["), std::string::npos);
    EXPECT_NE(body.find("/Trapped /False"), std::string::npos);
    EXPECT_NE(body.find("/Title "), std::string::npos);
    EXPECT_NE(Sh("qpdf --show-encryption " + Q(out)).find("File is not encrypted"), std::string::npos);
    for (const char* key : {"/SMask", "/CA ", "/ca ", "/BM ", "/Group"})
      EXPECT_EQ(body.find(key), std::string::npos) << key;
  }
}

TEST_F(PrintShop, PageLabelsAreThePrintedNumbersAndTheLanguageIsNamed) {
  for (int32_t first : {5, -1}) {
    SCOPED_TRACE(first);
    doc.settings.FirstPageNr = first;
    opts.language = "en-GB";
    const std::string out = dir_ + "/labels.pdf";
    const output::VectorPdfResult r = Export(out);
    ASSERT_TRUE(r.ok) << r.error;
    const QJsonArray labels = Json(Sh("qpdf --json --json-key=pagelabels " + Q(out)))["pagelabels"].toArray();
    ASSERT_FALSE(labels.isEmpty());
    const QJsonObject l0 = labels[0].toObject()["label"].toObject();
    if (first == 5) {
      EXPECT_EQ(l0["/S"].toString(), "/D");
      EXPECT_EQ(l0["/St"].toInt(), 5);
    } else {
      // Printed 0, 0, then 1, 2 ...
      EXPECT_EQ(l0["/P"].toString(), "u:0");
      ASSERT_EQ(labels.size(), 2);
      EXPECT_EQ(labels[1].toObject()["index"].toInt(), 2);
      EXPECT_EQ(labels[1].toObject()["label"].toObject()["/St"].toInt(), 1);
    }
    const std::string qdf = out + ".qdf";
    Sh("qpdf --qdf --object-streams=disable " + Q(out) + " " + Q(qdf));
    EXPECT_NE(ReadFile(qdf).find("/Lang (en-GB)"), std::string::npos);
  }
}

// One page: a cyan band with black text and a black rule on it, drawn
// straight on the document's surface.
std::string OneTintedPage(const std::string& path, bool overprint) {
  pdfvec::VectorOptions vo;
  vo.widthPx = vo.heightPx = 600;  // 2 x 2 inches at 300 dpi
  vo.widthPt = vo.heightPt = 144;
  vo.bleedMm = 0;
  vo.cmyk = true;
  vo.profilePath = kBin + "/" + pdfimg::kShippedProfileName;
  vo.ink.overprintBlack = overprint;
  vo.threads = 0;
  pdfvec::VectorDocument d(vo);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!d.Begin(fd, path)) return d.error();
  render::DrawingSurface& s = d.BeginPage();
  s.SetPenStyle(render::PenStyle::Clear);
  s.SetBrushColor(RGBColor(0, 160, 230));
  s.Rectangle(0, 0, 601, 601);
  TFontSpec f;
  f.name = u"Arial";
  f.size = 40;
  f.bold = true;
  s.SetFont(f);
  s.SetFontPpi(300);
  s.SetTransparentText();
  s.TextOut(40, 100, u"HHHH");
  s.SetBrushColor(0);
  s.Rectangle(40, 400, 561, 403);
  if (!d.EndPage() || !d.Finish({})) return d.error();
  return std::string();
}

TEST(PrintShopInk, BlackTextOverprintsTheTintUnderIt) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  const std::string dir = (fs::temp_directory_path() / ("ql-ink-" + std::to_string(::getpid()))).string();
  fs::create_directories(dir);
  // Ghostscript's CMYK rendering (what a RIP separates), 72 dpi: under the
  // glyphs and the rule, full black and the band's cyan both.
  int band = 0;
  auto cyanUnderBlack = [&](bool overprint, int& blackPixels) {
    const std::string pdf = dir + "/ink.pdf", raw = dir + "/ink.cmyk";
    EXPECT_EQ(OneTintedPage(pdf, overprint), "");
    int rc = 0;
    const std::string log =
        Sh("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bitcmyk -dGrayValues=256 -r72 "
           "-dOverprint=/enable -o " +
               Q(raw) + " " + Q(pdf) + " 2>&1",
           &rc);
    EXPECT_EQ(rc, 0) << log;
    const std::string px = ReadFile(raw);
    EXPECT_EQ(px.size(), 144u * 144u * 4u);
    int lowest = 255;
    blackPixels = 0;
    // The band's own cyan, in a corner away from the text.
    band = static_cast<uint8_t>(px[(2 * 144 + 2) * 4]);
    for (size_t i = 0; i + 3 < px.size(); i += 4) {
      if (static_cast<uint8_t>(px[i + 3]) < 250) continue;
      ++blackPixels;
      lowest = std::min(lowest, static_cast<int>(static_cast<uint8_t>(px[i])));
    }
    return lowest;
  };
  int black = 0;
  EXPECT_GE(cyanUnderBlack(true, black), band - 2);
  EXPECT_GT(band, 100);
  EXPECT_GT(black, 300);
  // The same page knocked out: white cyan under the black (the check can
  // tell the two apart).
  EXPECT_LT(cyanUnderBlack(false, black), 20);
  // The content stream read back: the overprint state set before the text.
  const std::string qdf = dir + "/ink.qdf";
  EXPECT_EQ(OneTintedPage(dir + "/ink.pdf", true), "");
  Sh("qpdf --qdf --object-streams=disable " + Q(dir + "/ink.pdf") + " " + Q(qdf));
  const std::string body = ReadFile(qdf);
  const size_t op = body.find("/GSop gs"), bt = body.find("BT", op);
  ASSERT_NE(op, std::string::npos);
  EXPECT_NE(bt, std::string::npos);
  EXPECT_NE(body.find("/OP true"), std::string::npos);
  EXPECT_NE(body.find("/OPM 1"), std::string::npos);
  fs::remove_all(dir);
}

// Crop and bleed marks: the slug grows the media box, the other boxes stay
// exact, and the file names itself in the slug.
TEST_F(PrintShop, MarksGrowTheMediaBoxOnly) {
  opts.marks = true;
  const std::string out = dir_ + "/marked.pdf";
  const output::VectorPdfResult r = Export(out);
  ASSERT_TRUE(r.ok) << r.error;
  auto boxes = Boxes(out);
  ASSERT_EQ(boxes.size(), 3u);
  const double b = 3 * 72 / 25.4, slug = pdfvec::kSlugMm * 72 / 25.4;
  const QJsonArray m = boxes["/MediaBox"], bl = boxes["/BleedBox"], t = boxes["/TrimBox"];
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(bl[i].toDouble() - m[i].toDouble(), slug, 0.01);
    EXPECT_NEAR(m[i + 2].toDouble() - bl[i + 2].toDouble(), slug, 0.01);
    EXPECT_NEAR(t[i].toDouble() - bl[i].toDouble(), b, 0.01);
    EXPECT_NEAR(bl[i + 2].toDouble() - t[i + 2].toDouble(), b, 0.01);
  }
  EXPECT_NEAR(t[2].toDouble() - t[0].toDouble(), 210 * 72 / 25.4, 0.01);
  int rc = 0;
  EXPECT_NE(Sh("pdftotext -f 1 -l 1 " + Q(out) + " -", &rc).find("marked.pdf"), std::string::npos);
  EXPECT_NE(Sh("qpdf --check " + Q(out), &rc).find("No syntax or stream encoding errors"), std::string::npos);
}

// One cyan page with marks, separated by Ghostscript at 144 dpi: inside the
// bleed box only the page, outside it only registration colour (every ink
// full) on white, with marks at every corner and the page line below.
TEST(PrintShopMarks, MarksAreRegistrationColourOutsideTheBleed) {
  ASSERT_TRUE(platform::EnsureGuiApplication());
  const std::string dir = (fs::temp_directory_path() / ("ql-marks-" + std::to_string(::getpid()))).string();
  fs::create_directories(dir);
  const std::string pdf = dir + "/m.pdf", pam = dir + "/m.pam";
  pdfvec::VectorOptions vo;
  vo.widthPx = vo.heightPx = 600;
  // Trim, bleed and slug add up to whole points: 220 x 220 pt of media.
  const double edge = (3 + pdfvec::kSlugMm) * 72 / 25.4;
  vo.widthPt = vo.heightPt = 220 - 2 * edge;
  vo.bleedMm = 3;
  vo.cmyk = true;
  vo.profilePath = kBin + "/" + pdfimg::kShippedProfileName;
  vo.marks = true;
  vo.marksFile = u"m.pdf";
  vo.threads = 0;
  {
    pdfvec::VectorDocument d(vo);
    ASSERT_TRUE(d.Begin(::open(pdf.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), pdf));
    render::DrawingSurface& s = d.BeginPage();
    s.SetPenStyle(render::PenStyle::Clear);
    s.SetBrushColor(RGBColor(0, 160, 230));
    s.Rectangle(0, 0, 601, 601);
    ASSERT_TRUE(d.EndPage() && d.Finish({})) << d.error();
  }
  int rc = 0;
  const std::string log = Sh(
      "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pamcmyk32 -r144 -o " + Q(pam) + " " + Q(pdf) + " 2>&1", &rc);
  ASSERT_EQ(rc, 0) << log;
  const std::string img = ReadFile(pam);
  const size_t body = img.find("ENDHDR\n");
  ASSERT_NE(body, std::string::npos);
  const int n = 440;  // 220 pt at 144 dpi
  ASSERT_EQ(img.size() - body - 7, size_t(n) * n * 4);
  const auto ink = [&](int x, int y, int c) {
    return static_cast<uint8_t>(img[body + 7 + (size_t(y) * n + x) * 4 + c]);
  };
  const double k = 2;                                                    // pixels per point
  const int slug = int(std::ceil(pdfvec::kSlugMm * 72 / 25.4 * k)) + 1;  // bleed box from here
  const int trim = int(std::ceil(edge * k)) + 1;
  int corners[4] = {0, 0, 0, 0}, pageLine = 0, stray = 0, inside = 0;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const bool reg = ink(x, y, 0) > 200 && ink(x, y, 1) > 200 && ink(x, y, 2) > 200 && ink(x, y, 3) > 200;
      const bool white = !ink(x, y, 0) && !ink(x, y, 1) && !ink(x, y, 2) && !ink(x, y, 3);
      const bool inBleed = x >= slug - 2 && x < n - slug + 2 && y >= slug - 2 && y < n - slug + 2;
      if (x >= trim && x < n - trim && y >= trim && y < n - trim) {
        if (ink(x, y, 3) > 100 || ink(x, y, 0) < 100) ++inside;  // marks, or no page
      } else if (!inBleed) {
        if (!reg && !white) ++stray;
        if (reg && (x < trim || x >= n - trim) && (y < trim || y >= n - trim))
          ++corners[(x < n / 2 ? 0 : 1) + (y < n / 2 ? 0 : 2)];
        if (reg && x > trim && x < n - trim && y >= n - slug) ++pageLine;
      }
    }
  EXPECT_EQ(inside, 0);
  EXPECT_EQ(stray, 0);
  for (int c : corners) EXPECT_GT(c, 20);
  EXPECT_GT(pageLine, 20);
  fs::remove_all(dir);
}

// The structure tree as qpdf reads it: the elements below the document in
// tree order, each with its type, the page of its first content (from 0)
// and its alternative text.
struct StructElem {
  QString type;
  int page = -1;
  QString alt;
};
std::vector<StructElem> StructureInOrder(const std::string& file, QJsonObject& catalog,
                                         std::vector<QJsonObject>& pages) {
  const QJsonObject j = Json(Sh("qpdf --json --json-key=pages --json-key=qpdf " + Q(file)));
  const QJsonObject objs = j["qpdf"].toArray()[1].toObject();
  auto obj = [&](const QString& ref) { return objs["obj:" + ref].toObject()["value"].toObject(); };
  std::map<QString, int> pageIndex;
  pages.clear();
  for (const auto& pg : j["pages"].toArray()) {
    const QString ref = pg.toObject()["object"].toString();
    pageIndex[ref] = static_cast<int>(pages.size());
    pages.push_back(obj(ref));
  }
  catalog = obj(objs["trailer"].toObject()["value"].toObject()["/Root"].toString());
  std::vector<StructElem> out;
  std::function<void(const QJsonObject&)> walk = [&](const QJsonObject& e) {
    StructElem el;
    el.type = e["/S"].toString();
    el.alt = e["/Alt"].toString().mid(2);  // past "u:"
    const size_t at = out.size();
    if (el.type != "/Document") out.push_back(el);
    for (const auto& k : e["/K"].toArray()) {
      if (k.isString()) {
        walk(obj(k.toString()));
      } else if (k.isObject() && at < out.size() && out[at].page < 0) {
        out[at].page = pageIndex[k.toObject()["/Pg"].toString()];
      }
    }
  };
  const QJsonObject root = obj(catalog["/StructTreeRoot"].toString());
  for (const auto& k : root["/K"].toArray()) walk(obj(k.toString()));
  return out;
}

// The tagged catalog: headings of the categories in page order, product
// names as headings, tables with header cells, pictures as figures named
// after their products; every piece of content marked.
TEST_F(PrintShop, TheCatalogIsTaggedInReadingOrder) {
  const std::string out = dir_ + "/tagged.pdf";
  const output::VectorPdfResult r = Export(out);
  ASSERT_TRUE(r.ok) << r.error;
  const std::string info = Sh("pdfinfo " + Q(out));
  const size_t tagged = info.find("Tagged:");
  ASSERT_NE(tagged, std::string::npos);
  EXPECT_EQ(info.substr(tagged, info.find('\n', tagged) - tagged).find("yes") != std::string::npos, true);
  QJsonObject catalog;
  std::vector<QJsonObject> pages;
  const std::vector<StructElem> tree = StructureInOrder(out, catalog, pages);
  EXPECT_EQ(catalog["/MarkInfo"].toObject()["/Marked"].toBool(), true);
  EXPECT_EQ(catalog["/Lang"].toString(), "u:de-DE");
  for (size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i]["/StructParents"].toInt(-1), static_cast<int>(i));
    EXPECT_EQ(pages[i]["/Tabs"].toString(), "/S");
  }
  // The categories' headings as the layout placed them.
  std::vector<std::pair<QString, int>> want, got;
  for (const Category& c : doc.kats)
    if (!render::CategoryDeactivated(c) && c.options && !c.options->pictureonly)
      want.push_back({render::IsMainCategory(c) ? "/H1" : "/H2",
                      static_cast<int>(c.options->pagenr - doc.settings.FirstPageNr)});
  std::map<QString, int> count;
  std::set<QString> names;
  for (const Category& c : doc.kats) {
    names.insert(QString::fromStdU16String(c.name));  // category pictures
    for (const Product& p : c.products) names.insert(QString::fromStdU16String(p.name));
  }
  int lastPage = 0;
  QString last;
  for (const StructElem& e : tree) {
    ++count[e.type];
    if (e.type == "/H1" || e.type == "/H2") got.push_back({e.type, e.page});
    if (e.type == "/Figure") {
      EXPECT_TRUE(names.count(e.alt)) << e.alt.toStdString();
    }
    // A table's first row is its header.
    if (last == "/TR" && e.type != "/TH" && e.type != "/TD") ADD_FAILURE() << "empty row";
    if (last == "/Table") {
      EXPECT_EQ(e.type, "/TR");
    }
    // Reading order is page order.
    if (e.page >= 0) {
      EXPECT_GE(e.page, lastPage) << e.type.toStdString();
      lastPage = e.page;
    }
    last = e.type;
  }
  EXPECT_EQ(got, want);
  size_t tables = 0;
  for (const Category& c : doc.kats)
    for (const Product& p : c.products) tables += !p.deactivated && p.variants.Count() > 0;
  EXPECT_EQ(count["/Table"], static_cast<int>(tables));
  EXPECT_GE(count["/TH"], count["/Table"]);
  EXPECT_GT(count["/H3"], 10);
  EXPECT_GT(count["/P"], 0);
  EXPECT_GT(count["/Figure"], 0);
  // Every text, path and picture of the page streams inside marked content,
  // which is balanced on every page.
  const std::string qdf = out + ".qdf";
  Sh("qpdf --qdf --object-streams=disable " + Q(out) + " " + Q(qdf));
  const std::string body = ReadFile(qdf);
  int unmarked = 0, streams = 0;
  for (size_t at = body.find("%% Contents for page"); at != std::string::npos;
       at = body.find("%% Contents for page", at + 1)) {
    const size_t from = body.find("stream\n", at) + 7, to = body.find("endstream", from);
    std::istringstream in(body.substr(from, to - from));
    std::string line;
    int depth = 0;
    ++streams;
    while (std::getline(in, line)) {
      if (line.size() >= 3 &&
          (line.compare(line.size() - 3, 3, "BDC") == 0 || line.compare(line.size() - 3, 3, "BMC") == 0))
        ++depth;
      else if (line == "EMC")
        --depth;
      else if (depth == 0 && (line.rfind("BT ", 0) == 0 || line.find(" Do") != std::string::npos ||
                              line.find("re f") != std::string::npos || line.find(" S") != std::string::npos))
        ++unmarked;
      EXPECT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
  }
  EXPECT_EQ(streams, static_cast<int>(pages.size()));
  EXPECT_EQ(unmarked, 0);
}

TEST_F(PrintShop, EachDrawingOfAPictureHasTheResolutionItsSizeNeeds) {
  // A 2400 x 1500 picture (an aspect no sample picture has) drawn as the
  // logo (small), as product pictures (middle) and as the page background
  // (large).
  QImage big(2400, 1500, QImage::Format_RGB32);
  for (int y = 0; y < big.height(); ++y)
    for (int x = 0; x < big.width(); ++x) big.setPixel(x, y, qRgb(x % 256, y % 256, (x ^ y) % 256));
  const std::string file = dir_ + "/big.png";
  ASSERT_TRUE(big.save(QString::fromStdString(file)));
  doc.settings.FilenameEdit1 = ql::FromUtf8(file);
  doc.settings.LogoChecked = true;
  doc.settings.FilenameEdit2 = ql::FromUtf8(file);
  doc.settings.BreitEd2 = 21;
  int replaced = 0;
  for (Category& c : doc.kats)
    for (Product& p : c.products)
      for (Picture& pic : p.pictures)
        if (replaced < 6) {
          pic.filename = ql::FromUtf8(file);
          pic.pixwidth = 2400;
          pic.pixheight = 1500;
          ++replaced;
        }
  opts.cmyk = false;
  opts.bleedMm = 0;
  const std::string out = dir_ + "/p.pdf";
  const output::VectorPdfResult r = Export(out);
  ASSERT_TRUE(r.ok) << r.error;
  // pdfimages -list: every drawing with its object and effective ppi.
  std::istringstream lines(Sh("pdfimages -list " + Q(out)));
  std::string line;
  std::map<int, std::string> sizeOf;
  std::map<std::string, int> bigSizes;  // sizes of the big picture's objects
  int drawings = 0;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    int page, num, w, h, comp, bpc, obj, gen;
    double xppi, yppi;
    std::string type, color, enc, interp;
    if (!(f >> page >> num >> type >> w >> h >> color >> comp >> bpc >> enc >> interp >> obj >> gen >> xppi >>
          yppi))
      continue;
    ++drawings;
    // No drawing above the cap by more than rounding.
    EXPECT_LE(std::max(xppi, yppi), 302) << line;
    const std::string sz = std::to_string(w) + "x" + std::to_string(h);
    auto it = sizeOf.find(obj);
    if (it != sizeOf.end()) {
      EXPECT_EQ(it->second, sz) << "object " << obj;
    }
    sizeOf[obj] = sz;
    // The big picture: wherever it is drawn at min(its own resolution
    // there, 300 ppi), give or take rounding.
    if (std::abs(w * 10 - h * 16) <= 16) {
      bigSizes[sz] = obj;
      const double source = xppi * 2400 / w;
      EXPECT_GE(std::min(xppi, yppi), std::min(source, 300.0) - 2) << line;
    }
  }
  EXPECT_GT(drawings, 10);
  // Logo, product pictures and background: at least three sizes, each one
  // object however often it is drawn.
  EXPECT_GE(bigSizes.size(), 3u);
}

TEST_F(PrintShop, AHugeLogoIsDecodedAtTheSizeItIsDrawn) {
  // An 8000 x 8000 JPEG as the logo (1.5 cm wide) and as the background of
  // even pages: decoded whole it alone takes 256 MB.
  {
    QImage huge(8000, 8000, QImage::Format_Grayscale8);
    for (int y = 0; y < huge.height(); ++y) std::memset(huge.scanLine(y), (y / 50) % 2 ? 40 : 220, 8000);
    ASSERT_TRUE(huge.save(QString::fromStdString(dir_ + "/huge.jpg"), "JPEG", 60));
  }
  doc.settings.FilenameEdit1 = ql::FromUtf8(dir_ + "/huge.jpg");
  doc.settings.LogoChecked = true;
  doc.settings.FilenameEdit3 = ql::FromUtf8(dir_ + "/huge.jpg");
  doc.settings.BreitEd2 = 10;
  const std::string project = dir_ + "/huge.pk2";
  std::u16string err;
  ASSERT_TRUE(SaveProjectFile(doc, project, &err)) << ql::ToUtf8(err);
  int status = -1;
  const int vector =
      PeakMb(kCli + " export-pdf " + Q(project) + " " + Q(dir_ + "/huge.pdf") + " --vector", status);
  EXPECT_EQ(status, 0);
  EXPECT_GT(vector, 0);
  EXPECT_LT(vector, 200);
  const int page =
      PeakMb(kCli + " render " + Q(project) + " --page 2 --dpi 150 -o " + Q(dir_ + "/p2.png"), status);
  EXPECT_EQ(status, 0);
  EXPECT_LT(page, 200);
  std::printf("peak memory with an 8000 x 8000 logo: vector export %d MB, one page %d MB\n", vector, page);
  // The logo is in the file at what its 1.5 cm need (300 ppi: 177 pixels).
  bool logo = false;
  std::istringstream lines(Sh("pdfimages -list " + Q(dir_ + "/huge.pdf")));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    int page, num, w, h;
    std::string type;
    if (f >> page >> num >> type >> w >> h) logo = logo || (w == h && w >= 175 && w <= 179);
  }
  EXPECT_TRUE(logo) << Sh("pdfimages -list " + Q(dir_ + "/huge.pdf") + " | head");
}

TEST_F(PrintShop, PreflightListsWhatTheShopWouldQueryAndStrictWritesNothing) {
  // A picture that is gone, a font printed in another family, a small
  // background stretched over the page.
  const std::string gone = dir_ + "/gone.jpg";
  bool set = false;
  for (Category& c : doc.kats)
    for (Product& p : c.products)
      if (!set && !p.deactivated && !p.pictures.Empty()) {
        p.pictures[0].filename = ql::FromUtf8(gone);
        set = true;
      }
  ASSERT_TRUE(set);
  doc.settings.FontDialog9.name = u"Arial Black";  // the header
  doc.settings.KopfEd = u"Gartenkatalog";
  QImage small(100, 75, QImage::Format_RGB32);
  small.fill(qRgb(250, 240, 200));
  const std::string bg = dir_ + "/small.png";
  ASSERT_TRUE(small.save(QString::fromStdString(bg)));
  doc.settings.FilenameEdit2 = ql::FromUtf8(bg);
  doc.settings.BreitEd2 = 21;

  const std::string out = dir_ + "/pre.pdf";
  std::ofstream(out) << "old";
  pdfvec::Preflight seen;
  opts.approve = [&seen](const pdfvec::Preflight& p) {
    seen = p;
    return false;
  };
  const output::VectorPdfResult r = Export(out);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.refused);
  EXPECT_EQ(ReadFile(out), "old");  // asked before anything was replaced
  ASSERT_EQ(seen.missingPictures.size(), 1u);
  EXPECT_EQ(seen.missingPictures[0].file, gone);
  EXPECT_FALSE(seen.missingPictures[0].exists);
  // The sample sets several roles in Arial Black (printed as DejaVu Sans);
  // its Arial (printed as Liberation Sans, of the same widths) is no
  // substitute.
  ASSERT_FALSE(seen.substitutedFonts.empty());
  for (const auto& f : seen.substitutedFonts) {
    EXPECT_EQ(f.asked.substr(0, 11), "Arial Black") << f.asked;
    EXPECT_EQ(f.used.substr(0, 11), "DejaVu Sans") << f.used;
  }
  bool background = false;
  for (const auto& l : seen.lowResolution)
    if (l.file == bg) {
      background = true;
      EXPECT_NEAR(l.ppi, 100 / (210 / 25.4), 1);  // 12 ppi
      EXPECT_EQ(l.pages, r.anzpages);
    }
  EXPECT_TRUE(background);
  EXPECT_GT(seen.inkMaxPercent, 100);
  EXPECT_LE(seen.inkMaxPercent, 400);
  EXPECT_TRUE(seen.Blocking());
  const QJsonObject j = Json(seen.ToJson());
  EXPECT_EQ(j["missingPictures"].toArray().size(), 1);
  EXPECT_EQ(j["substitutedFonts"].toArray()[0].toObject()["asked"].toString().left(11), "Arial Black");
  EXPECT_TRUE(j["blocking"].toBool());
  EXPECT_TRUE(j["inkMaxPercent"].isDouble());

  // The same through quillane-cli: the report is written either way;
  // --strict exits 1 and leaves no PDF.
  const std::string project = dir_ + "/pre.pk2";
  std::u16string err;
  ASSERT_TRUE(SaveProjectFile(doc, project, &err)) << ql::ToUtf8(err);
  const std::string pdf = dir_ + "/cli.pdf", report = dir_ + "/report.json";
  int rc = 0;
  std::string log = Sh(kCli + " export-pdf " + Q(project) + " " + Q(pdf) + " --vector --strict --preflight " +
                           Q(report) + " 2>&1",
                       &rc);
  EXPECT_EQ(rc, 1) << log;
  // In the program's language (English without options.dat).
  EXPECT_NE(log.find("Not written: " + pdf + " (--strict: 1 pictures missing, "), std::string::npos) << log;
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_TRUE(Json(ReadFile(report))["blocking"].toBool()) << ReadFile(report);
  fs::remove(report);
  log = Sh(kCli + " export-pdf " + Q(project) + " " + Q(pdf) + " --vector --preflight " + Q(report) + " 2>&1",
           &rc);
  EXPECT_EQ(rc, 0) << log;
  EXPECT_TRUE(fs::exists(pdf));
  EXPECT_EQ(Json(ReadFile(report))["missingPictures"].toArray().size(), 1);
  // Without the missing picture and in fonts that are installed, --strict
  // lets the file through.
  for (Category& c : doc.kats)
    for (Product& p : c.products)
      for (Picture& pic : p.pictures)
        if (pic.filename == ql::FromUtf8(gone)) pic.filename = u"";
  for (TFontSpec* f : {&doc.settings.FontDialog1, &doc.settings.FontDialog2, &doc.settings.FontDialog3,
                       &doc.settings.FontDialog4, &doc.settings.FontDialog5, &doc.settings.FontDialog6,
                       &doc.settings.FontDialog7, &doc.settings.FontDialog8, &doc.settings.FontDialog9,
                       &doc.settings.FontDialog11, &doc.settings.FontDialog12})
    f->name = u"Arial";
  ASSERT_TRUE(SaveProjectFile(doc, project, &err)) << ql::ToUtf8(err);
  log = Sh(kCli + " export-pdf " + Q(project) + " " + Q(pdf) + " --vector --strict 2>&1", &rc);
  EXPECT_EQ(rc, 0) << log;
  log = Sh(kCli + " export-pdf " + Q(project) + " " + Q(pdf) + " --vector --rich-black 60,40,40 2>&1", &rc);
  EXPECT_EQ(rc, 2) << log;
}

}  // namespace
