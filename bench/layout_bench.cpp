// bench_layout: lays out a generated catalog of 2,000 products (about 400
// pages in layout 1: pictures, variant tables, a contents category) with the
// Qt measurer, picture loader and surface, and times
//   first_pass_ms        a pass over the whole catalog with empty caches
//   cached_pass_ms       the same pass again (best of five)
//   last_page_preview_ms the preview of the last page at 96 dpi, zoom 100
// for layout 1, then the same figures for layout 2 and layout 3, each on a
// freshly built catalog (lines "layout2: ..." and "layout3: ..."). Layout 3's
// first call lays the catalog out twice (its name padding is learnt).
// The last line of the output is
//   layout: first_pass_ms=... cached_pass_ms=... last_page_preview_ms=... pages=...
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "platform/guiapp.h"
#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "platform/printer.h"
#include "platform/qtsurface.h"
#include "project/document.h"
#include "render/layouts/layouts.h"
#include "render/render.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

std::u16string U(const std::string& s) { return ql::FromUtf8(s); }

const char* const kWords[] = {"Garten", "robust", "wetterfest", "aus", "Holz", "und", "Metall", "mit", "praktischem",
                              "Griff", "ideal", "für", "Balkon", "Terrasse", "pflegeleicht", "langlebig", "in",
                              "verschiedenen", "Größen", "erhältlich", "handgefertigt", "frostfest", "leicht"};

std::u16string Sentence(std::mt19937& rng, int words) {
  std::string s;
  for (int i = 0; i < words; ++i) {
    if (i) s += ' ';
    s += kWords[rng() % (sizeof kWords / sizeof kWords[0])];
  }
  return U(s + ".");
}

void BuildCatalog(Document& doc, const std::vector<std::u16string>& pictures) {
  std::mt19937 rng(20270);
  Category* toc = doc.AddCategory(u"Inhaltsverzeichnis");
  toc->options = std::make_unique<CategoryOptions>(NewCategoryOptions());
  toc->options->istoc = true;
  int made = 0;
  for (int k = 0; made < 2000; ++k) {
    if (k % 8 == 0) doc.AddCategory(U("Bereich " + std::to_string(k / 8 + 1)));  // a main category
    Category* c = doc.AddCategory(U("Kategorie " + std::to_string(k + 1)));
    c->options = std::make_unique<CategoryOptions>(NewCategoryOptions());
    c->options->introtext = Sentence(rng, 25);
    if (k % 3 == 0) {
      c->options->picfile = pictures[k % pictures.size()];
      c->options->picwidth = 2;
    }
    for (int i = 0; i < 50 && made < 2000; ++i, ++made) {
      Product* p = doc.AddProduct(*c);
      p->name = U("Artikel " + std::to_string(made + 1) + " ") + Sentence(rng, 2);
      p->description = Sentence(rng, 10 + static_cast<int>(rng() % 20));
      const int npics = 1 + static_cast<int>(rng() % 2);
      for (int j = 0; j < npics; ++j) {
        Picture* pic = doc.AddPicture(*p);
        pic->filename = pictures[(made + j) % pictures.size()];
        pic->width = 3;
      }
      p->pricecols = 2;
      const char* titles[] = {"Name", "Art. Nummer", "Preis", "Ab 10 Stk."};
      VariantRow* r0 = doc.AddRow(*p);
      for (const char* t : titles) r0->cells.Add()->text = U(t);
      const int rows = 1 + static_cast<int>(rng() % 2);
      for (int r = 0; r < rows; ++r) {
        VariantRow* row = doc.AddRow(*p);
        row->cells.Add()->text = U(std::to_string(10 + 5 * r) + " cm");
        row->cells.Add()->text = U("GM-" + std::to_string(1000 + made) + "-" + std::to_string(r));
        row->cells.Add()->text = U(std::to_string(5 + r) + ",90 €");
        row->cells.Add()->text = U(std::to_string(4 + r) + ",50 €" + (r == 0 ? "##FFE0E0" : ""));
      }
    }
  }
}

struct Timings {
  double first = 0, cached = 1e30, preview = 1e30;
  int32_t pages = 0;
};

// The three figures of one layout on its own copy of the catalog.
Timings TimeLayout(int32_t layout, const std::vector<std::u16string>& pictures, render::RenderParams p) {
  Document doc;
  BuildCatalog(doc, pictures);
  doc.settings.FilenameEdit1.clear();
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);
  platform::ImageSurface surface(p.width, p.height);
  p.canvas0 = &surface;
  Timings t;
  auto t0 = Clock::now();
  render::RenderLayout(session, p, layout);
  t.first = Ms(t0, Clock::now());
  for (int i = 0; i < 5; ++i) {
    auto a = Clock::now();
    render::RenderLayout(session, p, layout);
    t.cached = std::min(t.cached, Ms(a, Clock::now()));
  }
  t.pages = session.anzpages;
  for (int i = 0; i < 3; ++i) {
    auto a = Clock::now();
    platform::ImageSurface page(p.width, p.height);
    render::RenderParams q = p;
    q.canvas0 = &page;
    q.seiteedvalue = t.pages;
    render::RenderLayout(session, q, layout);
    page.End();
    t.preview = std::min(t.preview, Ms(a, Clock::now()));
  }
  return t;
}

}  // namespace

int main() {
  if (!platform::EnsureGuiApplication()) {
    std::fprintf(stderr, "bench_layout: fonts are not available\n");
    return 1;
  }
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  std::vector<std::u16string> pictures;
  for (int i = 0; i < 24; ++i) {
    QImage img(320 + 16 * i, 240, QImage::Format_RGB32);
    img.fill(QColor::fromHsv((i * 37) % 360, 120, 230));
    QPainter pt(&img);
    pt.setBrush(QColor::fromHsv((i * 53) % 360, 200, 160));
    pt.drawEllipse(40, 40, 160, 120);
    pt.end();
    const QString file = QDir(dir.path()).filePath(QString("bild%1.jpg").arg(i));
    img.save(file, "JPEG", 85);
    pictures.push_back(file.toStdU16String());
  }
  Document doc;
  BuildCatalog(doc, pictures);
  doc.settings.FilenameEdit1.clear();
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session(doc, measurer, loader);

  const platform::PrinterPage printer = platform::FallbackPrinterPage();
  int32_t w = 0, h = 0;
  platform::PreviewBitmapSize(printer, 96, 100, w, h);
  render::RenderParams p;
  p.dpi = 96;
  p.width = w;
  p.height = h;
  p.zoomedvalue = 100;
  p.printit = false;
  p.widthmm = platform::PageWidthMm(printer);
  p.heightmm = platform::PageHeightMm(printer);
  p.seiteedvalue = 0;  // lays out, draws nothing but the preview page

  platform::ImageSurface surface(w, h);
  p.canvas0 = &surface;
  auto t0 = Clock::now();
  render::RenderLayout(session, p, 0);
  auto t1 = Clock::now();
  const double first = Ms(t0, t1);
  double cached = 1e30;
  for (int i = 0; i < 5; ++i) {
    auto a = Clock::now();
    render::RenderLayout(session, p, 0);
    cached = std::min(cached, Ms(a, Clock::now()));
  }
  const int32_t pages = session.anzpages;
  double preview = 1e30;
  for (int i = 0; i < 3; ++i) {
    auto a = Clock::now();
    platform::ImageSurface page(w, h);
    render::RenderParams q = p;
    q.canvas0 = &page;
    q.seiteedvalue = pages;
    render::RenderLayout(session, q, 0);
    page.End();
    if (i == 0 && std::getenv("BENCH_LAYOUT_PNG")) page.image().save(std::getenv("BENCH_LAYOUT_PNG"));
    preview = std::min(preview, Ms(a, Clock::now()));
  }
  std::printf("catalog: %u products, %u categories; preview page %d x %d px\n", doc.ProductCount(),
              doc.kats.Count(), w, h);
  for (int32_t layout : {1, 2}) {
    const Timings t = TimeLayout(layout, pictures, p);
    std::printf("layout%d: first_pass_ms=%.1f cached_pass_ms=%.1f last_page_preview_ms=%.1f pages=%d\n", layout + 1,
                t.first, t.cached, t.preview, t.pages);
  }
  std::printf("layout: first_pass_ms=%.1f cached_pass_ms=%.1f last_page_preview_ms=%.1f pages=%d\n", first, cached,
              preview, pages);
  return 0;
}
