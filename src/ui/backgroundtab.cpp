#include "ui/backgroundtab.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <cstring>

#include "core/settings.h"
#include "render/render.h"
#include "ui/settingsbinder.h"
#include "ui/tabhelpers.h"

namespace ui {

BackgroundTab::BackgroundTab(render::RenderSession& session, SettingsBinder& b, QWidget* parent)
    : PictureTab(session, session.di2, "TabHintergrund", "PaintBox2", 3, parent) {
  CatalogSettings& s = session.doc().settings;
  AddFileRow("Dateiname:", b.Text("FilenameEdit2", s.FilenameEdit2));
  AddFileRow("Dateiname für gerade Seiten (optional):", b.Text("FilenameEdit3", s.FilenameEdit3));
  grid_->addWidget(b.Check("BackgroundColorCheck", s.BackgroundColorCheck,
                           QStringLiteral("Hintergrundfarbe/Farbverlauf:")),
                   row_, 0);
  grid_->addWidget(b.Color("Shape5", s.Shape5), row_, 1);
  grid_->addWidget(b.Color("Shape6", s.Shape6), row_++, 2);
  AddRow("Breite:", b.Number("BreitEd2", s.BreitEd2, 0.1));
  AddRow("Höhe:", b.Number("HochEd2", s.HochEd2, 0.1));
  AddWideRow(b.Check("SVerh2Check", s.SVerh2Check, QStringLiteral("Seitenverhältnis beibehalten")));
  AddWideRow(b.Check("GrayScaleCheck", s.GrayScaleCheck, QStringLiteral("Textur in Graustufen umwandeln")));
  AddWideRow(b.Check("LightenCheck", s.LightenCheck,
                     QStringLiteral("Textur aufhellen und Sättigung neu berechnen")));
  AddRow("Helligkeit %:", b.Number("HellEd", s.HellEd, 1, 0));
  AddRow("Sättigung:", b.Number("SatEd", s.SatEd, 1, 0));
  grid_->addWidget(Label("(größer 0=Farben intensiver)"), row_ - 1, 2);
  EndRows();
}

void BackgroundTab::SettingChanged(const char* name) {
  auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
  if (is("FilenameEdit2")) {
    session_.PrepareBackground(2);
  } else if (is("FilenameEdit3")) {
    session_.PrepareBackground(3);  // the even pages' picture is not shown here
    return;
  } else if (is("GrayScaleCheck") || is("LightenCheck") || is("HellEd") || is("SatEd")) {
    session_.PrepareBackgrounds();
  } else {
    return;
  }
  ShowPicture();
}

}  // namespace ui
