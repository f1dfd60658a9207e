// The vector PDF export read back by real readers: qpdf (structure,
// outline, links), pdffonts, pdftotext, pdfimages and pdftoppm (pages
// compared with the page images of `quillane-cli render --print`); bad
// input (missing font, unusable profile, unreadable picture); and the
// pieces with their own contracts (colours, JPEG headers, downscaling,
// bleed).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <cstdlib>
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
#include "pdfvector/fonts.h"
#include "pdfvector/imageobjects.h"
#include "pdfvector/pdfsurface.h"
#include "pdfvector/pdfwriter.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "project/projectfile.h"
#include "render/layouts/layouts.h"
#include "render/render.h"

namespace fs = std::filesystem;

namespace {

using qltest::Q;
using qltest::ReadFile;
using qltest::Sh;

const std::string kBin = QL_BIN_DIR;
// No print server: the page is the A4 fallback whatever printers other
// programs on this machine make appear in between.
const std::string kCli = "CUPS_SERVER=/nonexistent/cups.sock " + kBin + "/quillane-cli";
const std::string kSample = kBin + "/test.pk2";

// Text without any white space (the layout wraps names and descriptions
// at its own line ends).
std::string Squeezed(const std::string& s) {
  std::string o;
  for (unsigned char c : s)
    if (c > ' ') o += static_cast<char>(c);
  return o;
}

std::string Folded(const std::string& s) {
  return QString::fromStdString(s)
      .toCaseFolded()
      .replace(QStringLiteral("ß"), QStringLiteral("ss"))
      .toStdString();
}

void LoadSample(Document& d) {
  std::u16string err;
  ASSERT_TRUE(OpenProjectFile(d, kSample, ReadOptions::FromDocument(d), &err)) << ql::ToUtf8(err);
}

class VectorPdf : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(platform::EnsureGuiApplication());
    dir_ = (fs::temp_directory_path() / ("ql-vector-" + std::to_string(::getpid()))).string();
    fs::create_directories(dir_);
    // One RGB print file and one CMYK print file of the sample, shared by
    // the reader tests.
    int rc = 0;
    const std::string out = Sh("cd " + Q(kBin) + " && " + kCli + " export-pdf test.pk2 " +
                                   Q(dir_ + "/rgb.pdf") + " --vector --rgb 2>&1",
                               &rc);
    ASSERT_EQ(rc, 0) << out;
    rc = 0;
    cmyk_out_ = Sh("cd " + Q(kBin) + " && " + kCli + " export-pdf test.pk2 " + Q(dir_ + "/cmyk.pdf") +
                       " --vector --cmyk 2>&1",
                   &rc);
    ASSERT_EQ(rc, 0) << cmyk_out_;
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  static std::string dir_, cmyk_out_;
};
std::string VectorPdf::dir_, VectorPdf::cmyk_out_;

TEST_F(VectorPdf, StructureFontsAndTextReadBack) {
  for (const char* name : {"rgb.pdf", "cmyk.pdf"}) {
    const std::string f = dir_ + "/" + name;
    int rc = 0;
    const std::string check = Sh("qpdf --check " + Q(f) + " 2>&1", &rc);
    EXPECT_EQ(rc, 0) << check;
    EXPECT_NE(check.find("No syntax or stream encoding errors"), std::string::npos) << check;
    // Every font embedded as a subset with a ToUnicode map.
    const std::string fonts = Sh("pdffonts " + Q(f));
    std::istringstream lines(fonts);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
      if (line.find("CID TrueType") == std::string::npos) continue;
      ++count;
      EXPECT_NE(line.find("yes yes yes"), std::string::npos) << line;
      EXPECT_EQ(line[6], '+') << "subset tag: " << line;
    }
    EXPECT_GE(count, 2) << fonts;
    EXPECT_EQ(fonts.find(" no "), std::string::npos) << fonts;
  }
  // The catalog's own words: names, variant cells, description words.
  const std::string text = Squeezed(Sh("pdftotext -enc UTF-8 " + Q(dir_ + "/rgb.pdf") + " -"));
  Document d;
  LoadSample(d);
  int products = 0;
  for (const Category& c : d.kats)
    for (const Product& p : c.products) {
      if (p.deactivated) continue;
      ++products;
      EXPECT_NE(text.find(Squeezed(ql::ToUtf8(p.name))), std::string::npos) << ql::ToUtf8(p.name);
      for (const VariantRow& r : p.variants)
        for (const VariantCell& cell : r.cells) {
          const std::string s = Squeezed(ql::ToUtf8(cell.text));
          if (!s.empty()) {
            EXPECT_NE(text.find(s), std::string::npos) << s << " of " << ql::ToUtf8(p.name);
          }
        }
      std::istringstream words(ql::ToUtf8(p.description));
      std::string w;
      while (words >> w) EXPECT_NE(text.find(w), std::string::npos) << w << " of " << ql::ToUtf8(p.name);
    }
  EXPECT_GT(products, 10);
  EXPECT_NE(text.find("€"), std::string::npos);
  EXPECT_NE(text.find("Ø"), std::string::npos);
}

TEST_F(VectorPdf, EachPictureStoredOnceAtItsOwnSize) {
  // pdfimages lists every drawing of a picture; one object each.
  const std::string list = Sh("pdfimages -list " + Q(dir_ + "/rgb.pdf"));
  std::istringstream lines(list);
  std::string line;
  std::map<int, std::string> sizeOf;  // object -> "w x h enc"
  int drawings = 0;
  std::multiset<std::string> jpegSizes;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    int page, num, w, h, comp, bpc, obj;
    std::string type, color, enc, interp;
    if (!(f >> page >> num >> type >> w >> h >> color >> comp >> bpc >> enc >> interp >> obj)) continue;
    ++drawings;
    const std::string sz = std::to_string(w) + "x" + std::to_string(h) + " " + enc;
    auto it = sizeOf.find(obj);
    if (it == sizeOf.end()) {
      sizeOf[obj] = sz;
      if (enc == "jpeg") jpegSizes.insert(std::to_string(w) + "x" + std::to_string(h));
    } else {
      EXPECT_EQ(it->second, sz) << "object " << obj;
    }
  }
  EXPECT_GT(drawings, static_cast<int>(sizeOf.size()));  // background and logo on every page
  // Each product picture file (JPEG, drawn below 300 ppi in the sample) is
  // in the file as itself: a JPEG of its own pixel size.
  Document d;
  LoadSample(d);
  std::set<std::string> files;
  for (const Category& c : d.kats)
    for (const Product& p : c.products)
      if (!p.deactivated)
        for (const Picture& pic : p.pictures) files.insert(ql::ToUtf8(pic.filename));
  int checked = 0;
  for (const std::string& name : files) {
    std::string path = name;
    if (!fs::exists(path)) path = kBin + "/" + fs::path(name).filename().string();
    if (fs::path(path).extension() != ".jpg") continue;
    int comps = 0, w = 0, h = 0;
    ASSERT_TRUE(pdfvec::ReadJpegHeader(ReadFile(path), comps, w, h)) << path;
    EXPECT_EQ(jpegSizes.count(std::to_string(w) + "x" + std::to_string(h)) > 0, true) << path;
    ++checked;
  }
  EXPECT_GT(checked, 20);
  // Distinct pictures: no more objects than distinct files drawn plus the
  // page background and the logo.
  EXPECT_LE(sizeOf.size(), files.size() + 8);
}

// qpdf's JSON of the file (objects and pages).
QJsonObject QpdfJson(const std::string& file, const std::string& keys) {
  const std::string js = Sh("qpdf --json " + keys + " " + Q(file));
  return QJsonDocument::fromJson(QByteArray::fromStdString(js)).object();
}

TEST_F(VectorPdf, OutlineAndLinksLeadToTheRightPages) {
  const std::string file = dir_ + "/rgb.pdf";
  const QJsonObject j = QpdfJson(file, "--json-key=outlines --json-key=pages --json-key=qpdf");
  std::map<QString, int> pageNo;  // page object -> page number
  const QJsonArray pages = j["pages"].toArray();
  for (const auto& p : pages)
    pageNo[p.toObject()["object"].toString()] = p.toObject()["pageposfrom1"].toInt();
  ASSERT_GT(pages.size(), 5);
  auto pageText = [&](int page) {
    return Squeezed(Sh("pdftotext -enc UTF-8 -f " + std::to_string(page) + " -l " + std::to_string(page) +
                       " " + Q(file) + " -"));
  };
  // Every product is in the outline, under its category, leading to a page
  // that shows its name.
  std::map<std::string, int> outlinePage;
  std::function<void(const QJsonArray&, int)> walk = [&](const QJsonArray& items, int depth) {
    for (const auto& v : items) {
      const QJsonObject o = v.toObject();
      const int page = o["destpageposfrom1"].toInt();
      outlinePage[o["title"].toString().toStdString()] = page;
      walk(o["kids"].toArray(), depth + 1);
    }
  };
  walk(j["outlines"].toArray(), 0);
  Document d;
  LoadSample(d);
  int checked = 0;
  for (const Category& c : d.kats)
    for (const Product& p : c.products) {
      if (p.deactivated) continue;
      const std::string name = ql::ToUtf8(p.name);
      auto it = outlinePage.find(name);
      ASSERT_NE(it, outlinePage.end()) << name;
      if (checked++ < 12) {
        EXPECT_NE(pageText(it->second).find(Squeezed(name)), std::string::npos) << name;
      }
    }
  // Outline nesting: at least one top entry with kids that have kids
  // (a main category, its categories, their products).
  bool nested = false;
  for (const auto& v : j["outlines"].toArray())
    for (const auto& k : v.toObject()["kids"].toArray())
      if (!k.toObject()["kids"].toArray().isEmpty()) nested = true;
  EXPECT_TRUE(nested);

  // Links: contents entries lead to the page whose text holds the entry;
  // the footer's web address is a link on every page.
  std::map<QString, QJsonObject> objects;
  for (const auto& part : j["qpdf"].toArray()) {
    const QJsonObject o = part.toObject();
    for (auto it = o.begin(); it != o.end(); ++it)
      if (it.key().startsWith("obj:")) objects[it.key().mid(4)] = it.value().toObject()["value"].toObject();
  }
  int tocLinks = 0, webLinks = 0;
  for (const auto& p : pages) {
    const QString pobj = p.toObject()["object"].toString();
    const int pno = p.toObject()["pageposfrom1"].toInt();
    const QJsonArray annots = objects[pobj]["/Annots"].toArray();
    for (const auto& a : annots) {
      const QJsonObject an = a.isString() ? objects[a.toString()] : a.toObject();
      if (an.contains("/A")) {
        const QString uri = an["/A"].toObject()["/URI"].toString();
        EXPECT_TRUE(uri.contains("gartenhaus-morvetta.de")) << uri.toStdString();
        ++webLinks;
        continue;
      }
      const QJsonArray dest = an["/Dest"].toArray();
      ASSERT_FALSE(dest.isEmpty());
      const int target = pageNo[dest[0].toString()];
      ASSERT_GE(target, 1);
      // The entry's own words, read from the link's rectangle.
      const QJsonArray r = an["/Rect"].toArray();
      const double x1 = r[0].toDouble(), y1 = r[1].toDouble(), x2 = r[2].toDouble(), y2 = r[3].toDouble();
      const QJsonArray mb = objects[pobj]["/MediaBox"].toArray();
      const double top = mb[3].toDouble();
      const int px = static_cast<int>(x1), py = static_cast<int>(top - y2);
      const std::string entry =
          Sh("pdftotext -enc UTF-8 -r 72 -f " + std::to_string(pno) + " -l " + std::to_string(pno) + " -x " +
             std::to_string(px) + " -y " + std::to_string(py + 1) + " -W " +
             std::to_string(static_cast<int>(x2 - x1)) + " -H " +
             std::to_string(static_cast<int>(y2 - y1) - 2) + " " + Q(file) + " -");
      // The entry without its dot leaders and page number, in case-folded
      // letters (headings may be set in capitals).
      std::string words = Squeezed(entry);
      words = words.substr(0, words.find(".."));
      while (!words.empty() && words.back() >= '0' && words.back() <= '9') words.pop_back();
      words = Folded(words);
      ASSERT_FALSE(words.empty()) << "link " << tocLinks << " on page " << pno;
      if (tocLinks < 15) {
        EXPECT_NE(Folded(pageText(target)).find(words), std::string::npos) << words << " -> " << target;
      }
      ++tocLinks;
    }
  }
  EXPECT_GE(tocLinks, 8);  // the sample's contents list its categories
  EXPECT_GE(webLinks, static_cast<int>(pages.size()));
}

TEST_F(VectorPdf, CmykFileHasOutputIntentAndNoRgbColour) {
  const std::string file = dir_ + "/cmyk.pdf";
  EXPECT_NE(cmyk_out_.find("QuillaneCoatedFOGRA39.icc"), std::string::npos) << cmyk_out_;
  const QJsonObject j = QpdfJson(file, "--json-key=qpdf");
  bool intent = false;
  for (const auto& part : j["qpdf"].toArray()) {
    const QJsonObject o = part.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
      const QJsonObject v = it.value().toObject()["value"].toObject();
      if (v["/Type"].toString() == "/OutputIntent") {
        intent = true;
        EXPECT_EQ(v["/S"].toString(), "/GTS_PDFX");
        EXPECT_FALSE(v["/DestOutputProfile"].toString().isEmpty());
      }
      if (v["/Type"].toString() == "/Catalog") {
        EXPECT_TRUE(v.contains("/OutputIntents"));
      }
      if (v["/Subtype"].toString() == "/Image") {
        EXPECT_EQ(v["/ColorSpace"].toString(), "/DeviceCMYK");
      }
    }
  }
  EXPECT_TRUE(intent);
  // Uncompressed content streams: CMYK operators only, black as black ink.
  const std::string qdf = dir_ + "/cmyk-qdf.pdf";
  Sh("qpdf --qdf --object-streams=disable " + Q(file) + " " + Q(qdf));
  const std::string body = ReadFile(qdf);
  size_t streams = 0, pos = 0;
  bool blackInk = false;
  while ((pos = body.find("%% Contents for page", pos)) != std::string::npos) {
    const size_t s = body.find("stream\n", pos), e = body.find("endstream", s);
    ASSERT_NE(s, std::string::npos);
    const std::string content = body.substr(s, e - s);
    for (const char* op : {" rg\n", " RG\n", " sc\n", " scn\n", " SC\n", " cs\n", " CS\n"})
      EXPECT_EQ(content.find(op), std::string::npos) << op << " on content stream " << streams;
    if (content.find("0 0 0 1 k\n") != std::string::npos) blackInk = true;
    ++streams;
    pos = e;
  }
  EXPECT_GT(streams, 10u);
  EXPECT_TRUE(blackInk);
  const std::string meta = Sh("qpdf --show-npages " + Q(file));
  EXPECT_NE(body.find("GTS_PDFXVersion"), std::string::npos);
  EXPECT_NE(body.find("/TrimBox"), std::string::npos);
  EXPECT_NE(body.find("/BleedBox"), std::string::npos);
}

// ---- looks the same as the printed page ----

// Share of pixels that differ by more than 64 in any channel, over the
// area both pictures cover (text antialiasing differs between renderers;
// positions, line breaks and colours must not).
double DifferentShare(const QImage& a, const QImage& b, QImage* diff) {
  const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
  if (diff) {
    *diff = QImage(w, h, QImage::Format_RGB32);
    diff->fill(Qt::white);
  }
  int64_t bad = 0;
  for (int y = 0; y < h; ++y) {
    const QRgb* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const QRgb* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      const int d = std::max({std::abs(qRed(pa[x]) - qRed(pb[x])), std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                              std::abs(qBlue(pa[x]) - qBlue(pb[x]))});
      if (d > 64) {
        ++bad;
        if (diff) diff->setPixel(x, y, qRgb(255, 0, 0));
      }
    }
  }
  return static_cast<double>(bad) / (static_cast<double>(w) * h);
}

TEST_F(VectorPdf, PagesOfEveryLayoutLookLikeThePrintedPages) {
  const std::string keep = (fs::temp_directory_path() / "ql-vector-compare").string();
  fs::create_directories(keep);
  int compared = 0;
  double worst = 0;
  for (int layout = 0; layout < render::kLayoutCount; ++layout) {
    const std::string pdf = dir_ + "/l" + std::to_string(layout) + ".pdf";
    int rc = 0;
    const std::string out =
        Sh("cd " + Q(kBin) + " && " + kCli + " export-pdf test.pk2 " + Q(pdf) +
               " --vector --rgb --bleed 0 --layout " + std::to_string(layout + 1) + " 2>&1",
           &rc);
    ASSERT_EQ(rc, 0) << out;
    const int n = std::atoi(Sh("qpdf --show-npages " + Q(pdf)).c_str());
    ASSERT_GT(n, 0);
    // The printed pages, two at a time, at the resolution the vector pages
    // are laid out at (300 dpi). Both sides are compared averaged down to
    // 100 dpi: each renderer snaps to its own 100-dpi grid differently (the
    // page printed at 100 dpi differs from the one printed at 300 dpi in
    // about 5 % of its pixels, as its table columns are measured on the
    // 100-dpi surface).
    std::string cmds;
    for (int p = 1; p <= n; ++p)
      cmds += kCli + " render test.pk2 --print --dpi 300 --layout " + std::to_string(layout + 1) +
              " --page " + std::to_string(p) + " -o " +
              Q(dir_ + "/r" + std::to_string(layout) + "-" + std::to_string(p) + ".bmp") + "\n";
    std::ofstream(dir_ + "/cmds") << cmds;
    Sh("cd " + Q(kBin) + " && xargs -P 2 -d '\\n' -I{} sh -c '{} >/dev/null' < " + Q(dir_ + "/cmds"));
    auto at100 = [](const QImage& i) {
      return i
          .scaled((i.width() + 1) / 3, (i.height() + 1) / 3, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
          .convertToFormat(QImage::Format_RGB32);
    };
    for (int p = 1; p <= n; ++p) {
      const std::string vname = dir_ + "/v";
      Sh("pdftoppm -r 300 -singlefile -f " + std::to_string(p) + " -l " + std::to_string(p) + " " + Q(pdf) +
         " " + Q(vname));
      const QImage v300 = QImage(QString::fromStdString(vname + ".ppm"));
      fs::remove(vname + ".ppm");
      const std::string rname = dir_ + "/r" + std::to_string(layout) + "-" + std::to_string(p) + ".bmp";
      const QImage r300 = QImage(QString::fromStdString(rname));
      fs::remove(rname);
      ASSERT_FALSE(v300.isNull()) << "page " << p << " of " << pdf;
      ASSERT_FALSE(r300.isNull()) << rname;
      const QImage v = at100(v300), r = at100(r300);
      EXPECT_LE(std::abs(v.width() - r.width()), 2);
      EXPECT_LE(std::abs(v.height() - r.height()), 2);
      QImage diff;
      const double share = DifferentShare(v, r, &diff);
      ++compared;
      worst = std::max(worst, share);
      // Positions, breaks and colours must agree; what differs is text
      // antialiasing. Since the raster surface stretches every run to its
      // exact measured em size, its glyphs sit at fractional positions that
      // another rasteriser smooths differently: up to 3.5 % of a text-heavy
      // page differs by more than 64, so the limit is 4 %.
      if (share > 0.04) {
        const std::string base = keep + "/layout" + std::to_string(layout) + "-page" + std::to_string(p);
        v.save(QString::fromStdString(base + "-vector.png"));
        r.save(QString::fromStdString(base + "-printed.png"));
        diff.save(QString::fromStdString(base + "-diff.png"));
        ADD_FAILURE() << "layout " << layout << " page " << p << ": " << share * 100
                      << " % of the pixels differ; pictures in " << base << "-*.png";
      }
    }
  }
  EXPECT_GT(compared, 8 * 10);
  std::printf("compared %d pages, at most %.2f %% of a page's pixels differ\n", compared, worst * 100);
}

}  // namespace
