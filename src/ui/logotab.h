// The tab "Logo": the logo picture and its size, and the loaded logo.
#pragma once

#include "ui/picturetab.h"

namespace ui {

class SettingsBinder;

class LogoTab : public PictureTab {
  Q_OBJECT
 public:
  LogoTab(render::RenderSession& session, SettingsBinder& b, QWidget* parent = nullptr);
  // Loads the logo again after its file changed and shows it.
  void SettingChanged(const char* name) override;
};

}  // namespace ui
