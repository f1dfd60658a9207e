#include "platform/printer.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>
#include <cstdio>

#include "render/units.h"

namespace platform {

PrinterPage FallbackPrinterPage() {
  PrinterPage p;
  p.width = kFallbackPageWidth;
  p.height = kFallbackPageHeight;
  p.resx = p.resy = kFallbackResolution;
  p.fallback = true;
  p.paper = "A4";
  p.paperWidthMm = 210;
  p.paperHeightMm = 297;
  return p;
}

PrinterPage PrinterPageOf(const QPrinterInfo& info) {
  if (info.isNull()) return FallbackPrinterPage();
  QPrinter printer(info, QPrinter::HighResolution);
  return PrinterPageOf(printer);
}

PrinterPage PrinterPageOf(const QPrinter& printer) {
  const int res = printer.resolution();
  const QRect page = printer.pageLayout().paintRectPixels(res);
  if (res <= 0 || page.width() <= 0 || page.height() <= 0) return FallbackPrinterPage();
  PrinterPage p;
  p.width = page.width();
  p.height = page.height();
  p.resx = p.resy = res;
  p.printer = printer.printerName().toStdString();
  const QPageLayout layout = printer.pageLayout();
  if (layout.pageSize().id() != QPageSize::Custom) p.paper = layout.pageSize().key().toStdString();
  const QSizeF full = layout.fullRect(QPageLayout::Millimeter).size();
  p.paperWidthMm = full.width();
  p.paperHeightMm = full.height();
  p.landscape = layout.orientation() == QPageLayout::Landscape;
  return p;
}

bool NamedPrinterPage(const std::string& name, PrinterPage& page) {
  const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(name));
  if (info.isNull()) return false;
  page = PrinterPageOf(info);
  // A queue that reports no usable page still names itself.
  page.printer = name;
  return true;
}

std::string PaperText(const PrinterPage& p, const std::string& landscapeWord) {
  std::string text = p.paper;
  if (text.empty()) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f x %.0f mm", p.paperWidthMm, p.paperHeightMm);
    return buf;
  }
  if (p.landscape) text += " " + landscapeWord;
  return text;
}

PrinterPage DefaultPrinterPage() {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    // No default: take the first printer there is, if any.
    const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
    return all.isEmpty() ? FallbackPrinterPage() : PrinterPageOf(all.first());
  }
  return PrinterPageOf(info);
}

double PageWidthMm(const PrinterPage& p) { return render::PageMm(p.width, p.resx); }
double PageHeightMm(const PrinterPage& p) { return render::PageMm(p.height, p.resx); }

void PreviewBitmapSize(const PrinterPage& p, int32_t dpi, double zoom, int32_t& width, int32_t& height) {
  const double res = p.resx > 0 ? p.resx : kFallbackResolution;
  width = render::TruncClamp(zoom * (static_cast<double>(p.width) * dpi / res) / 100.0);
  height = render::TruncClamp(zoom * (static_cast<double>(p.height) * dpi / res) / 100.0);
}

void OutputBitmapSize(const PrinterPage& p, int32_t dpi, int32_t& width, int32_t& height) {
  const int64_t res = p.resx > 0 ? p.resx : kFallbackResolution;
  width = static_cast<int32_t>(static_cast<int64_t>(p.width) * dpi / res);
  height = static_cast<int32_t>(static_cast<int64_t>(p.height) * dpi / res);
}

}  // namespace platform
