// "Als Druck-PDF exportieren...": the dialog of the vector PDF (screen or
// print, RGB or CMYK, bleed, maximum picture resolution, colour profile),
// the file dialog and the export with its progress and "Abbrechen"; what
// the preflight finds is shown before the file is written.
#pragma once

#include <QStringList>
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

// The preflight's findings worded in the window language, one line each.
QStringList PreflightLines(const pdfvec::Preflight& p);
// Shows the findings with "Trotzdem exportieren" and "Abbrechen"; true at
// once when there are none, else true when the user goes on.
bool ConfirmPreflight(QWidget* parent, const pdfvec::Preflight& p);

// The whole command: dialog, file name, export, and a message naming what
// went wrong (through `fb`) when the export fails. `options` is remembered
// by the caller between runs.
void ExportPrintPdf(QWidget* parent, render::RenderSession& session, const platform::PrinterPage& printer,
                    const std::string& progpath, output::VectorPdfOptions& options, Feedback& fb,
                    const std::u16string& caption);

}  // namespace ui
