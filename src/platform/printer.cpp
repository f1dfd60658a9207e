#include "platform/printer.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "render/units.h"

namespace platform {

PrinterPage FallbackPrinterPage() {
  PrinterPage p;
  p.width = kFallbackPageWidth;
  p.height = kFallbackPageHeight;
  p.resx = p.resy = kFallbackResolution;
  p.fallback = true;
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
  return p;
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
