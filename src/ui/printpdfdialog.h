// "Als Druck-PDF exportieren...": the dialog of the vector PDF (screen or
// print, RGB or CMYK, bleed, maximum picture resolution, colour profile),
// the file dialog and the export with its progress and "Abbrechen".
#pragma once

#include <string>

#include "output/vectorexport.h"
#include "platform/printer.h"

class QWidget;
class Feedback;

namespace render {
class RenderSession;
}

namespace ui {

// The dialog alone: edits `o` (start with a preset); false when cancelled.
bool RunPrintPdfDialog(QWidget* parent, output::VectorPdfOptions& o);

// What an export wrote; an empty path when nothing was written.
struct WrittenPdf {
  std::string path;
  int32_t pages = 0;
};

// The whole command: dialog, file name, export, and a message naming what
// went wrong (through `fb`) when the export fails. `options` is remembered
// by the caller between runs.
WrittenPdf ExportPrintPdf(QWidget* parent, render::RenderSession& session,
                          const platform::PrinterPage& printer, const std::string& progpath,
                          output::VectorPdfOptions& options, Feedback& fb, const std::u16string& caption);

}  // namespace ui
