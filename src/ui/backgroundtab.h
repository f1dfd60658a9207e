// The tab "Hintergrund": background pictures, colours and processing, and the
// prepared background picture.
#pragma once

#include "ui/picturetab.h"

namespace ui {

class SettingsBinder;

class BackgroundTab : public PictureTab {
  Q_OBJECT
 public:
  BackgroundTab(render::RenderSession& session, SettingsBinder& b, QWidget* parent = nullptr);
  // Prepares the background pictures again after a change of their files or
  // processing; shows the one of all (or odd) pages.
  void SettingChanged(const char* name) override;
};

}  // namespace ui
