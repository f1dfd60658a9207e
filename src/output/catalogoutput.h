// Every output of the catalog behind one interface: the options they all
// share, one progress callback that can cancel, one result, and a part of
// each output's own (its existing option struct). The table of outputs
// names each one for the window (menu text and file filter) and for
// quillane-cli (command name and summary) and makes it; the window's export
// entries and the command line's export commands are built from it.
//
// A new output: a class deriving from OutputOf<ItsOptions> and its row in
// OutputTable() (output/catalogoutput.cpp). The window then offers it with a
// file dialog of its filter, quillane-cli as a command of its name with the
// shared options; both show its progress, pictures and result.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/printer.h"
#include "render/pictureloader.h"

class QPrinter;

namespace render {
class RenderSession;
}

namespace output {

// What every output takes. An output never writes any of it into the
// document: the document's settings and its changed flag stay as they were.
struct OutputOptions {
  int32_t layout = -1;   // layout index 0 ... 7; -1: the document's LayoutCombo
  double dpi = 0;        // pixels per inch of page pictures; 0: the output's own default
  int32_t page = 0;      // only this page, counted from 1 (where the output can); 0: every page
  std::string progpath;  // folder of the program's data files (template, profiles, translate.dat)
  // The page the catalog is laid out for (outputs with their own paper
  // size ignore it); no printer: A4 at 600 dpi.
  platform::PrinterPage printer = platform::FallbackPrinterPage();
};

struct OutputProgress {
  int32_t page = 0;  // the page being drawn or just finished, from 1
};
// Called for every page; returning false cancels the output.
using OutputProgressFn = std::function<bool(const OutputProgress&)>;

struct OutputResult {
  bool ok = false;
  bool cancelled = false;
  bool refused = false;            // the output's own check said no: nothing written
  int32_t pages = 0;               // pages of the catalog in this run
  std::vector<std::string> files;  // the main files written, the one to open first
  int32_t filesWritten = 0;        // files written (the pictures of one page count once)
  std::vector<render::PictureLoader::Problem> pictures;  // pictures that could not be drawn
  std::vector<std::string> warnings;                     // written, with these reservations
  std::string summary;  // one line: what was written (quillane-cli prints it)
  std::string error;    // what went wrong, naming the file
};

// One output. `target` is the file (or folder, or print queue) the table
// entry's target kind names. Writes through ql::SafeFile; a failed or
// cancelled output leaves the target as the output's own header says.
// Needs a Qt GUI application (fonts) for every page-drawing output.
class CatalogOutput {
 public:
  virtual ~CatalogOutput() = default;
  virtual OutputResult Write(render::RenderSession& session, const std::string& target,
                             const OutputOptions& common, const OutputProgressFn& progress) = 0;
};

// An output with its own options `format` (what only it has); the shared
// options override the matching fields of `format` when they are set.
template <class Format>
class OutputOf : public CatalogOutput {
 public:
  Format format;
};

// The per-format part of `out`, when `out` is an output of that format.
template <class Format>
Format* FormatOf(CatalogOutput& out) {
  auto* o = dynamic_cast<OutputOf<Format>*>(&out);
  return o ? &o->format : nullptr;
}

// The per-format part of printing: the target names a print queue (empty:
// the system's default, else the first one) unless `toPdf` (the target is a
// file for Qt's PDF printer) or `printer` (set up by the caller) says else.
struct PrintOutputOptions {
  bool toPdf = false;
  QPrinter* printer = nullptr;
};

enum class OutputTarget { File, Folder, Printer };

struct OutputEntry {
  const char* id;          // "pdf", "vector-pdf", "images", "html", "price-list", "print"
  const char* menuText;    // the window's menu entry, German (translated when shown)
  const char* menuName;    // the menu entry's object name
  const char* fileFilter;  // German "Name (*.ext)|*.ext" for the file dialog; empty: none
  const char* command;     // quillane-cli command (several outputs may share one)
  const char* summary;     // its line in quillane-cli's overview
  OutputTarget target;
  double defaultDpi;  // 0: the output draws no page pictures
  std::unique_ptr<CatalogOutput> (*make)();
};

// Every output, in the order of the window's menu.
const std::vector<OutputEntry>& OutputTable();
// The entry of `id`; null when there is none.
const OutputEntry* FindOutput(const std::string& id);

// Runs `entry`'s output with its per-format defaults.
OutputResult WriteOutput(const OutputEntry& entry, render::RenderSession& session, const std::string& target,
                         const OutputOptions& common, const OutputProgressFn& progress = {});

}  // namespace output
