#include "output/printing.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>

#include "platform/printer.h"
#include "platform/qtsurface.h"
#include "render/render.h"

namespace output {

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

std::string PrinterLabel(const QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat)
    return "the PDF file " + printer.outputFileName().toStdString();
  return "the printer " + printer.printerName().toStdString();
}

// One sheet per page on the printer's painter. The painter is begun with the
// first page that is drawn, so a run that draws no page starts no job.
class PrinterSink : public render::PageSink {
 public:
  // only = 0: every page; otherwise that page alone.
  PrinterSink(QPrinter& printer, int32_t only) : printer_(printer), only_(only), measuring_(nullptr, true) {}

  render::DrawingSurface& MeasuringSurface() override { return measuring_; }

  render::DrawingSurface* BeginPage(int32_t page) override {
    if (!error.empty() || (only_ > 0 && page != only_)) return nullptr;
    if (!surface_) {
      surface_ = std::make_unique<platform::QtSurface>(&printer_, true);
      if (!surface_->Active()) {
        error = "cannot start a print job on " + PrinterLabel(printer_);
        return nullptr;
      }
    } else if (!printer_.newPage()) {
      error = "the printer refused a new sheet before page " + std::to_string(page);
      return nullptr;
    }
    return surface_.get();
  }

  bool EndPage(int32_t page, render::DrawingSurface&) override {
    ++sheets;
    return only_ == 0 || page < only_;
  }

  // Ends the job; false when the printer reports an error.
  bool Finish() {
    if (!surface_) return true;
    surface_->End();
    if (printer_.printerState() == QPrinter::Error) {
      if (error.empty()) error = "printing on " + PrinterLabel(printer_) + " failed";
      return false;
    }
    return error.empty();
  }

  int32_t sheets = 0;
  std::string error;

 private:
  QPrinter& printer_;
  int32_t only_;
  platform::QtSurface measuring_;  // no device: lays out, draws nothing
  std::unique_ptr<platform::QtSurface> surface_;
};

PrintResult Print(render::RenderSession& session, QPrinter& printer, int32_t only,
                  const std::u16string& jobTitle, int32_t layoutindex) {
  PrintResult res;
  if (!PrinterUsable(printer, res.error)) return res;
  const platform::PrinterPage page = platform::PrinterPageOf(printer);
  printer.setDocName(Q(jobTitle));
  render::RenderParams p;
  p.dpi = page.resx;
  p.width = page.width;
  p.height = page.height;
  p.zoomedvalue = 100;
  p.printit = true;
  p.widthmm = platform::PageWidthMm(page);
  p.heightmm = platform::PageHeightMm(page);
  const int32_t before = session.anzpages;
  PrinterSink sink(printer, only);
  const render::AllPagesResult r = render::RenderAllPages(session, p, sink, layoutindex);
  res.anzpages = r.pages;
  res.pages = sink.sheets;
  if (only > 0) session.anzpages = before;
  const bool finished = sink.Finish();
  if (!finished) {
    res.error = sink.error;
    return res;
  }
  if (only > 0 && sink.sheets == 0) {
    res.error = "page " + std::to_string(only) + " does not exist: the catalog has " +
                std::to_string(r.pages) + (r.pages == 1 ? " page" : " pages");
    return res;
  }
  res.ok = true;
  return res;
}

}  // namespace

bool PrinterUsable(const QPrinter& printer, std::string& why) {
  const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
  if (pdf && !printer.outputFileName().isEmpty()) return true;
  if (pdf || printer.printerName().isEmpty()) {
    why = "there is no printer on this system";
    return false;
  }
  if (!printer.isValid()) {
    why = PrinterLabel(printer) + " cannot be used";
    return false;
  }
  return true;
}

PrintResult PrintCatalog(render::RenderSession& session, QPrinter& printer, const std::u16string& jobTitle,
                         int32_t layoutindex) {
  return Print(session, printer, 0, jobTitle, layoutindex);
}

PrintResult PrintCatalogPage(render::RenderSession& session, QPrinter& printer, int32_t page,
                             const std::u16string& jobTitle, int32_t layoutindex) {
  if (page < 1) {
    PrintResult res;
    res.error = "page numbers start at 1";
    return res;
  }
  return Print(session, printer, page, jobTitle, layoutindex);
}

PrintResult PrintRichText(const QTextDocument& text, QPrinter& printer, const std::u16string& jobTitle) {
  PrintResult res;
  if (!PrinterUsable(printer, res.error)) return res;
  const platform::PrinterPage page = platform::PrinterPageOf(printer);
  // Half an inch on every side, in device pixels.
  const int32_t mx = page.resx / 2, my = page.resy / 2;
  const QRect area(mx, my, page.width - 2 * mx, page.height - 2 * my);
  if (area.width() <= 0 || area.height() <= 0) {
    res.error = "the page of " + PrinterLabel(printer) + " is smaller than its margins";
    return res;
  }
  printer.setDocName(Q(jobTitle));

  // Laid out on a copy at the printer's resolution, one page per area.
  std::unique_ptr<QTextDocument> copy(text.clone());
  copy->documentLayout()->setPaintDevice(&printer);
  copy->setDocumentMargin(0);
  copy->setPageSize(QSizeF(area.size()));
  const int pages = std::max(1, copy->pageCount());

  QPainter painter;
  if (!painter.begin(&printer)) {
    res.error = "cannot start a print job on " + PrinterLabel(printer);
    return res;
  }
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  for (int i = 0; i < pages; ++i) {
    if (i > 0 && !printer.newPage()) {
      res.error = "the printer refused a new sheet before page " + std::to_string(i + 1);
      break;
    }
    painter.save();
    painter.setClipRect(area);
    painter.setPen(Qt::black);
    // Line by line: the layout keeps every line on one page, and a line is
    // drawn on that page only (no clipped copy at the foot of the page
    // before, which would show up in the PDF's text).
    const qreal top = static_cast<qreal>(i) * area.height();
    for (QTextBlock b = copy->begin(); b.isValid(); b = b.next()) {
      const QTextLayout* layout = b.layout();
      if (!layout) continue;
      const QPointF at = copy->documentLayout()->blockBoundingRect(b).topLeft();
      for (int l = 0; l < layout->lineCount(); ++l) {
        const QTextLine line = layout->lineAt(l);
        const qreal y = at.y() + line.y();
        if (y < top || y >= top + area.height()) continue;
        line.draw(&painter, QPointF(area.left() + at.x(), area.top() + at.y() - top));
      }
    }
    painter.restore();
    res.pages = i + 1;
  }
  painter.end();
  if (res.error.empty() && printer.printerState() == QPrinter::Error)
    res.error = "printing on " + PrinterLabel(printer) + " failed";
  res.ok = res.error.empty();
  return res;
}

}  // namespace output
