// Printing the catalog and the price list through a QPrinter (a system
// print queue, or Qt's own PDF output when the printer is set to a file).
//
// A catalog print lays the catalog out once, then draws every page (or the
// one page asked for) on the printer's own QPainter surface, one sheet per
// page, at the printer's resolution and printable page. The window's menu
// commands and the command-line tool both call these functions; the
// dialogs around them belong to the caller.
//
// A printer set to Qt's PDF output with a file name writes like every other
// output (ql::SafeFile): into a temporary file beside the target, put in
// place only when the job succeeded and the file is a complete PDF (its
// trailer ends in %%EOF and points at its cross-reference table). A
// read-only target or a missing folder is refused before anything is
// printed, a symbolic link is written through, the old file stays on any
// failure, and a full disk or the file-size limit is named as the reason.
// The printer's file name is the same afterwards.
#pragma once

#include <cstdint>
#include <string>

#include "platform/printer.h"

class QPrinter;
class QTextDocument;

namespace render {
class RenderSession;
}

namespace output {

struct PrintResult {
  bool ok = false;
  int32_t pages = 0;     // sheets printed
  int32_t anzpages = 0;  // pages of the catalog in this layout
  std::string error;     // what went wrong, naming the printer or the page
};

// Prints every page of the catalog with `layoutindex` (-1: the document's
// LayoutCombo) as one job titled `jobTitle` (message 21 in the current
// language). Sets session.anzpages to the page count.
PrintResult PrintCatalog(render::RenderSession& session, QPrinter& printer, const std::u16string& jobTitle,
                         int32_t layoutindex = -1);

// Prints page `page` (counted from 1) alone, exactly as it comes out of a
// whole print. A page beyond the last one prints nothing and fails with a
// message that gives the page count. session.anzpages is left as it was.
PrintResult PrintCatalogPage(render::RenderSession& session, QPrinter& printer, int32_t page,
                             const std::u16string& jobTitle, int32_t layoutindex = -1);

// Prints a rich text (the price list box) inside a half-inch margin on every
// side of the printable page, as one job titled `jobTitle` (message 44).
// The document itself is not changed: it is laid out on a copy at the
// printer's resolution.
PrintResult PrintRichText(const QTextDocument& text, QPrinter& printer, const std::u16string& jobTitle);

// Whether `printer` can print at all: a system queue, or a file for Qt's PDF
// output. False (with `why`) when the system has no printer and no file is
// set.
bool PrinterUsable(const QPrinter& printer, std::string& why);

}  // namespace output
