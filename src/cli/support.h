// Helpers the command files share: opening a project with its error on the
// console, the Qt-backed render session, and Feedback on the console.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/command.h"
#include "platform/measurer.h"
#include "platform/printer.h"
#include "platform/qtpictureloader.h"
#include "project/document.h"
#include "project/feedback.h"
#include "project/projectfile.h"
#include "render/render.h"

namespace cli {

// Opens a project file (the reader chosen by the extension); on failure
// the reader's message goes to io.err and the result is false. The document
// looks for bare picture names in io.progpath too (Document::progpath).
bool OpenProject(Console& io, Document& doc, const std::string& path);
bool OpenProject(Console& io, Document& doc, const std::string& path, const ReadOptions& options);
// Saves in the current format; on failure the message goes to io.err.
bool SaveProject(Console& io, const Document& doc, const std::string& path);

// Checks an output project name: the older format is never written, so a
// ".pkd" name would be read back with the wrong reader. Usage error when it
// ends in .pkd, otherwise kOk.
int CheckProjectOutputName(Console& io, const std::string& command, const std::string& path);

// What every rendering command needs: the 300-ppi measurer, the picture
// loader and a session over the document with its furniture pictures.
struct RenderSetup {
  explicit RenderSetup(Document& doc) : session(doc, measurer, loader) { session.LoadFurniturePictures(); }
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session;
};
// Null (with a message naming `command`) when the GUI side cannot start.
std::unique_ptr<RenderSetup> MakeRenderSetup(Console& io, Document& doc, const std::string& command);

// The page a command lays the catalog out on: the A4 fallback page when
// `name` is empty (nothing is written then), else the page of the print
// queue `name`, which is then described on io.err ("COMMAND: laid out on
// the page of printer NAME: A4, W x H pixels at R dpi (w x h mm)"). False,
// with a message naming the printer, when there is no queue of that name.
bool ChoosePrinterPage(Console& io, const std::string& command, const std::string& name,
                       platform::PrinterPage& page);

// Lists on io.err the pictures the setup's renders could not draw (the
// file and why), like a printer's preflight; nothing when all were drawn.
void ReportPictureProblems(Console& io, RenderSetup& setup, const std::string& command);
// The same for the pictures an output's result lists.
void ReportPictureProblems(Console& io, const std::vector<render::PictureLoader::Problem>& problems,
                           const std::string& command);

// Messages of the library go to io.err ("caption: text"); questions are
// answered No, since nobody is there to answer them.
class ConsoleFeedback : public Feedback {
 public:
  explicit ConsoleFeedback(Console& io) : io_(io) {}
  void ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon) override;
  Answer Ask(const std::u16string&, const std::u16string&, Buttons) override { return Answer::No; }
  int messages() const { return messages_; }

 private:
  Console& io_;
  int messages_ = 0;
};

}  // namespace cli
