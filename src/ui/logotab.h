// The tab "Logo": the logo picture and its size, and the loaded logo. Its controls are bound to
// the document's settings through the window's SettingsBinder, which reports
// every change to the window.
#pragma once

#include <QWidget>

#include "imaging/dib/dib.h"

struct CatalogSettings;

namespace ui {

class DibBox;
class SettingsBinder;

class LogoTab : public QWidget {
  Q_OBJECT
 public:
  LogoTab(CatalogSettings& s, SettingsBinder& b, QWidget* parent = nullptr);
  // Shows the picture as prepared for the pages (1:1).
  void ShowPicture(const dib& d);

 private:
  DibBox* paintBox3_ = nullptr;
};

}  // namespace ui
