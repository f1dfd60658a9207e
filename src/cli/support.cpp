#include "cli/support.h"

#include <cstdio>
#include <ostream>

#include "core/codepage.h"
#include "platform/guiapp.h"
#include "project/fileio.h"

namespace cli {

int UsageError(Console& io, const std::string& name, const std::string& why) {
  io.err << "quillane-cli " << name << ": " << why << "\nRun 'quillane-cli " << name
         << " --help' for its options.\n";
  return kUsage;
}

int FileError(Console& io, const std::string& name, const std::string& what) {
  io.err << "quillane-cli " << name << ": " << what << "\n";
  return kFileError;
}

bool OpenProject(Console& io, Document& doc, const std::string& path) {
  return OpenProject(io, doc, path, ReadOptions::FromDocument(doc));
}

bool OpenProject(Console& io, Document& doc, const std::string& path, const ReadOptions& options) {
  doc.progpath = ql::FromUtf8(io.progpath);
  std::u16string error;
  if (OpenProjectFile(doc, path, options, &error)) return true;
  io.err << ql::ToUtf8(error) << "\n";
  return false;
}

bool SaveProject(Console& io, const Document& doc, const std::string& path) {
  std::u16string error;
  if (SaveProjectFile(doc, path, &error)) return true;
  io.err << ql::ToUtf8(error) << "\n";
  return false;
}

int CheckProjectOutputName(Console& io, const std::string& command, const std::string& path) {
  if (!project::HasOlderProjectExtension(path)) return kOk;
  return UsageError(io, command, "the output must not end in .pkd: the current format is written");
}

std::unique_ptr<RenderSetup> MakeRenderSetup(Console& io, Document& doc, const std::string& command) {
  if (!platform::EnsureGuiApplication()) {
    FileError(io, command, "fonts are not available");
    return nullptr;
  }
  doc.progpath = ql::FromUtf8(io.progpath);
  return std::make_unique<RenderSetup>(doc);
}

bool ChoosePrinterPage(Console& io, const std::string& command, const std::string& name,
                       platform::PrinterPage& page) {
  if (name.empty()) {
    page = platform::FallbackPrinterPage();
    return true;
  }
  if (!platform::EnsureGuiApplication() || !platform::NamedPrinterPage(name, page)) {
    FileError(io, command, "there is no printer named " + name);
    return false;
  }
  char mm[64];
  std::snprintf(mm, sizeof mm, "%.1f x %.1f mm", platform::PageWidthMm(page), platform::PageHeightMm(page));
  io.err << command << ": laid out on the page of printer " << name << ": "
         << (page.fallback ? std::string("none reported, A4 fallback") : platform::PaperText(page)) << ", "
         << page.width << " x " << page.height << " pixels at " << page.resx << " dpi (" << mm << ")\n";
  return true;
}

void ConsoleFeedback::ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon) {
  ++messages_;
  if (!caption.empty()) io_.err << ql::ToUtf8(caption) << ": ";
  io_.err << ql::ToUtf8(text) << "\n";
}

void ReportPictureProblems(Console& io, RenderSetup& setup, const std::string& command) {
  ReportPictureProblems(io, setup.loader.TakeProblems(), command);
}

void ReportPictureProblems(Console& io, const std::vector<render::PictureLoader::Problem>& problems,
                           const std::string& command) {
  if (problems.empty()) return;
  io.err << "quillane-cli " << command << ": " << problems.size()
         << (problems.size() == 1 ? " picture" : " pictures") << " could not be drawn:\n";
  for (const auto& p : problems) io.err << "  " << p.reason << '\n';
}

}  // namespace cli
