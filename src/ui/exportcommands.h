// The window's export commands: one "Datei" entry per output of the table
// (output/catalogoutput.h), each run through the one output interface with
// progress and "Abbrechen", and what the user is told afterwards
// (MainWindow::ExportCmd and its helpers are defined in exportcommands.cpp).
// An output without a dialog of its own gets a file (or folder) dialog and
// its defaults.
//
// "Als Druck-PDF exportieren..." has its dialog here: screen or print, RGB
// or CMYK, bleed, maximum picture resolution, colour profile, trim size;
// what the preflight finds is shown before the file is written.
#pragma once

#include <QStringList>
#include <functional>
#include <string>

#include "output/vectorexport.h"

class QWidget;
class Feedback;

namespace render {
class RenderSession;
}

namespace ui {

// The trim size of the PDF in millimetres (output::VectorTrimSize).
struct TrimSize {
  double widthMm = output::kDefaultTrimWidthMm, heightMm = output::kDefaultTrimHeightMm;
};

// The dialog alone: edits `o` (start with a preset) and, when given, the
// trim size, which it shows with the paper's name and lets the user change;
// false when cancelled (both left as they were).
bool RunPrintPdfDialog(QWidget* parent, output::VectorPdfOptions& o, TrimSize* trim = nullptr);

// What an export wrote; an empty path when nothing was written.
struct WrittenPdf {
  std::string path;
  int32_t pages = 0;
};

// The preflight's findings worded in the window language, one line each.
QStringList PreflightLines(const pdfvec::Preflight& p);
// Shows the findings with "Trotzdem exportieren" and "Abbrechen"; true at
// once when there are none, else true when the user goes on.
bool ConfirmPreflight(QWidget* parent, const pdfvec::Preflight& p);

// The whole command: dialog, file name, export, and a message naming what
// went wrong (through `fb`) when the export fails. `options` is remembered
// by the caller between runs. The dialog starts at the document's trim
// size; a size changed there is handed to `changeTrim` (which stores it in
// the document as its PDF page size) before the export.
WrittenPdf ExportPrintPdf(QWidget* parent, render::RenderSession& session, const std::string& progpath,
                          output::VectorPdfOptions& options, Feedback& fb, const std::u16string& caption,
                          const std::function<void(const TrimSize&)>& changeTrim);

}  // namespace ui
