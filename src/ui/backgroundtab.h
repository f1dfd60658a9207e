// The tab "Hintergrund": background pictures, colours and processing, and the prepared background picture.
// Its controls are bound to the document's settings through the window's SettingsBinder, which reports every
// change to the window.
#pragma once

#include <QWidget>

#include "imaging/dib/dib.h"

struct CatalogSettings;

namespace ui {

class DibBox;
class SettingsBinder;

class BackgroundTab : public QWidget {
  Q_OBJECT
 public:
  BackgroundTab(CatalogSettings& s, SettingsBinder& b, QWidget* parent = nullptr);
  // Shows the picture as prepared for the pages (1:1).
  void ShowPicture(const dib& d);

 private:
  DibBox* paintBox2_ = nullptr;
};

}  // namespace ui
