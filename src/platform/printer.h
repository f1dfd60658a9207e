// The printer page the catalog is laid out for, and the bitmap sizes the
// preview and the outputs derive from it.
#pragma once

#include <cstdint>
#include <string>

class QPrinter;
class QPrinterInfo;

namespace platform {

struct PrinterPage {
  int32_t width = 0, height = 0;  // printable page in device pixels
  int32_t resx = 0, resy = 0;     // device pixels per inch
  bool fallback = false;          // no printer: A4 at 600 dpi
  std::string printer;            // name of the printer asked

  // The paper's key ("A4", "Letter"; empty for a custom size) and the whole
  // sheet in millimetres as it lies (landscape: wider than high).
  std::string paper;
  double paperWidthMm = 0, paperHeightMm = 0;
  bool landscape = false;
};

// A4 at 600 dpi, used when the system has no printer.
constexpr int32_t kFallbackPageWidth = 4960;
constexpr int32_t kFallbackPageHeight = 7016;
constexpr int32_t kFallbackResolution = 600;
PrinterPage FallbackPrinterPage();

// The system's default printer (the fallback when there is none).
PrinterPage DefaultPrinterPage();
// A given printer; a null QPrinterInfo gives the fallback.
PrinterPage PrinterPageOf(const QPrinterInfo& info);
// The print queue called `name`; false (and `page` untouched) when this
// machine has none of that name.
bool NamedPrinterPage(const std::string& name, PrinterPage& page);
// The page of a configured printer (its paper, orientation and resolution as
// set up); the fallback when it reports no usable page.
PrinterPage PrinterPageOf(const QPrinter& printer);

// The paper in words for people: "A4", "Letter", "A4 landscape",
// "200 x 300 mm" (the word "landscape" as given, so the window can
// translate it).
std::string PaperText(const PrinterPage& p, const std::string& landscapeWord = "landscape");

// Page size in millimetres as the renderers take it: pixels divided by the
// horizontal resolution times 25.39995 (for the height as well).
double PageWidthMm(const PrinterPage& p);
double PageHeightMm(const PrinterPage& p);

// The preview bitmap: Trunc(zoom * (page pixels * dpi / resolution) / 100).
void PreviewBitmapSize(const PrinterPage& p, int32_t dpi, double zoom, int32_t& width, int32_t& height);
// An output bitmap at `dpi`: page pixels * dpi div resolution.
void OutputBitmapSize(const PrinterPage& p, int32_t dpi, int32_t& width, int32_t& height);

}  // namespace platform
