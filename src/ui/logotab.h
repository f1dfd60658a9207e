// The tab "Logo": the logo picture and its size, and the loaded logo. Its
// controls are bound to the document's settings through the window's
// SettingsBinder, which reports every change to the window; the window
// passes each change on to SettingChanged.
#pragma once

#include <QWidget>

namespace render {
class RenderSession;
}

namespace ui {

class DibBox;
class SettingsBinder;

class LogoTab : public QWidget {
  Q_OBJECT
 public:
  // The session holds the document whose settings the controls edit and
  // the prepared pictures.
  LogoTab(render::RenderSession& session, SettingsBinder& b, QWidget* parent = nullptr);
  // After the setting `name` changed: prepares the logo again when the
  // setting is one of this tab's that shapes it, and shows the result.
  void SettingChanged(const char* name);
  // Shows the picture as prepared for the pages (1:1).
  void ShowPicture();

 private:
  render::RenderSession& session_;
  DibBox* paintBox3_ = nullptr;
};

}  // namespace ui
