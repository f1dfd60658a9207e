#include "output/printing.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>

#include "core/codepage.h"
#include "i18n/texts.h"
#include "platform/printer.h"
#include "platform/qtsurface.h"
#include "render/render.h"

namespace output {

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

using i18n::Text;

// The printer's name, or the file of Qt's PDF output, for messages.
std::u16string Label(const QPrinter& printer) {
  return (printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName())
      .toStdU16String();
}
std::u16string Num(int64_t n) { return ql::FromUtf8(std::to_string(n)); }
// A message of the catalog in the current language, as the result's UTF-8.
std::string Said(Text t, std::initializer_list<std::u16string> args = {}) {
  return ql::ToUtf8(i18n::Say(t, args));
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
        error = Said(Text::PrintJobNotStarted, {Label(printer_)});
        return nullptr;
      }
    } else if (!printer_.newPage()) {
      error = Said(Text::PrinterRefusedSheet, {Num(page)});
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
      if (error.empty()) error = Said(Text::PrintingFailed, {Label(printer_)});
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
    res.error = Said(Text::PageMissing, {Num(only), Num(r.pages)});
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
    why = Said(Text::NoPrinter);
    return false;
  }
  if (!printer.isValid()) {
    why = Said(Text::PrinterUnusable, {Label(printer)});
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
    res.error = Said(Text::PageNumbersFromOne);
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
    res.error = Said(Text::PageSmallerThanMargins, {Label(printer)});
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
    res.error = Said(Text::PrintJobNotStarted, {Label(printer)});
    return res;
  }
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  for (int i = 0; i < pages; ++i) {
    if (i > 0 && !printer.newPage()) {
      res.error = Said(Text::PrinterRefusedSheet, {Num(i + 1)});
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
    res.error = Said(Text::PrintingFailed, {Label(printer)});
  res.ok = res.error.empty();
  return res;
}

}  // namespace output
