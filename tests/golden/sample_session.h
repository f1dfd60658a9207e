// The bundled sample catalog opened for drawing on the Qt surface, and the
// parameters of one of its pages drawn like a preview.
#pragma once

#include <unistd.h>

#include <string>

#include "platform/measurer.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "project/projectfile.h"
#include "render/render.h"

namespace golden {

// Picture file names in the sample are relative to its folder: the catalog
// is opened and its furniture pictures loaded with that folder as the
// working directory, which is restored before the constructor returns.
// `opened` says whether the catalog could be read (and the directory changed
// and restored).
struct SampleSession {
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session{doc, measurer, loader};
  bool opened = false;

  SampleSession() {
    char old[4096];
    if (!getcwd(old, sizeof old)) return;
    if (chdir((std::string(QL_SOURCE_DIR) + "/data/sample").c_str()) != 0) return;
    const bool read = OpenProjectFile(doc, "test.pk2", ReadOptions::FromDocument(doc));
    session.LoadFurniturePictures();
    opened = chdir(old) == 0 && read;
  }
};

// A page of `printer` drawn at `dpi` and `zoom` as the preview sizes it:
// width and height in pixels, the page in millimetres, page 0 (the run that
// lays the catalog out). The caller sets the surface.
inline render::RenderParams PreviewParams(const platform::PrinterPage& printer, int32_t dpi, double zoom) {
  render::RenderParams p;
  platform::PreviewBitmapSize(printer, dpi, zoom, p.width, p.height);
  p.dpi = dpi;
  p.zoomedvalue = zoom;
  p.widthmm = platform::PageWidthMm(printer);
  p.heightmm = platform::PageHeightMm(printer);
  p.seiteedvalue = 0;
  return p;
}

}  // namespace golden
