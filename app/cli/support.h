// Helpers shared by the command files: number parsing, opening a project
// with its error on stderr, and the Qt-backed render session.
#pragma once

#include <memory>
#include <string>

#include "platform/measurer.h"
#include "platform/pictureloader.h"
#include "project/document.h"
#include "render/render.h"

namespace cli {

// A whole string as a finite number / a decimal integer.
bool ParseNumber(const std::string& s, double& out);
bool ParseInt(const std::string& s, long& out);

// Opens a project file (the reader chosen by the extension); on failure the
// error goes to stderr and the result is false.
bool OpenProject(Document& doc, const std::string& path);

// What every rendering command needs: the 300-ppi measurer, the picture
// loader and a session over the document with its furniture pictures.
struct RenderSetup {
  explicit RenderSetup(Document& doc) : session(doc, measurer, loader) { session.LoadFurniturePictures(); }
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  render::RenderSession session;
};
// Null (with a message naming `command`) when the GUI side cannot start.
std::unique_ptr<RenderSetup> MakeRenderSetup(Document& doc, const char* command);

// Lists on stderr the pictures the setup's renders could not draw (the
// file and why), like a printer's preflight; nothing when all were drawn.
void ReportPictureProblems(RenderSetup& setup, const char* command);

}  // namespace cli
