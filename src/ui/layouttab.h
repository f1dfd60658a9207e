// The tab "Layout": the sub-tabs "Ränder und Abstände", "Schriftarten",
// "Farben", "Formatierung" and "Kopf- und Fußzeile", every control bound to
// a document setting through the window's SettingsBinder, which reports each
// change to the window.
#pragma once

#include <QTabWidget>

struct CatalogSettings;

namespace ui {

class SettingsBinder;

class LayoutTab : public QTabWidget {
  Q_OBJECT
 public:
  LayoutTab(CatalogSettings& s, SettingsBinder& b, QWidget* parent = nullptr);
};

}  // namespace ui
