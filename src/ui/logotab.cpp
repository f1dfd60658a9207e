#include "ui/logotab.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <cstring>

#include "core/settings.h"
#include "render/render.h"
#include "ui/settingsbinder.h"

namespace ui {

LogoTab::LogoTab(render::RenderSession& session, SettingsBinder& b, QWidget* parent)
    : PictureTab(session, session.di3, "TabLogo", "PaintBox3", 2, parent) {
  CatalogSettings& s = session.doc().settings;
  AddFileRow("Dateiname:", b.Text("FilenameEdit1", s.FilenameEdit1));
  AddRow("Breite:", b.Number("BreitEd3", s.BreitEd3, 0.1));
  AddRow("Höhe:", b.Number("HochEd3", s.HochEd3, 0.1));
  AddWideRow(b.Check("sverhlogo", s.sverhlogo, QStringLiteral("Seitenverhältnis beibehalten")));
  AddWideRow(b.Check("ShowLogoRightAlignedCheck", s.ShowLogoRightAlignedCheck,
                     QStringLiteral("Logo rechtsbündig anzeigen")));
  EndRows();
}

void LogoTab::SettingChanged(const char* name) {
  if (std::strcmp(name, "FilenameEdit1") != 0) return;
  session_.LoadLogo();
  ShowPicture();
}

}  // namespace ui
