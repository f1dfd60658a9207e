#include "ui/backgroundtab.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <cstring>

#include "core/settings.h"
#include "render/render.h"
#include "ui/preview.h"
#include "ui/settingsbinder.h"
#include "ui/tabhelpers.h"

namespace ui {

BackgroundTab::BackgroundTab(render::RenderSession& session, SettingsBinder& b, QWidget* parent)
    : QWidget(parent), session_(session) {
  CatalogSettings& s = session.doc().settings;
  QWidget* page = this;
  page->setObjectName(QStringLiteral("TabHintergrund"));
  auto* lay = new QHBoxLayout(page);
  auto* g = new QGridLayout;
  int row = 0;
  g->addWidget(Label("Dateiname:"), row, 0);
  g->addWidget(PictureFileRow(page, b.Text("FilenameEdit2", s.FilenameEdit2)), row++, 1, 1, 3);
  g->addWidget(Label("Dateiname für gerade Seiten (optional):"), row, 0);
  g->addWidget(PictureFileRow(page, b.Text("FilenameEdit3", s.FilenameEdit3)), row++, 1, 1, 3);
  g->addWidget(b.Check("BackgroundColorCheck", s.BackgroundColorCheck,
                       QStringLiteral("Hintergrundfarbe/Farbverlauf:")),
               row, 0);
  g->addWidget(b.Color("Shape5", s.Shape5), row, 1);
  g->addWidget(b.Color("Shape6", s.Shape6), row++, 2);
  g->addWidget(Label("Breite:"), row, 0);
  g->addWidget(b.Number("BreitEd2", s.BreitEd2, 0.1), row++, 1);
  g->addWidget(Label("Höhe:"), row, 0);
  g->addWidget(b.Number("HochEd2", s.HochEd2, 0.1), row++, 1);
  g->addWidget(b.Check("SVerh2Check", s.SVerh2Check, QStringLiteral("Seitenverhältnis beibehalten")), row++,
               0, 1, 3);
  g->addWidget(b.Check("GrayScaleCheck", s.GrayScaleCheck, QStringLiteral("Textur in Graustufen umwandeln")),
               row++, 0, 1, 3);
  g->addWidget(
      b.Check("LightenCheck", s.LightenCheck, QStringLiteral("Textur aufhellen und Sättigung neu berechnen")),
      row++, 0, 1, 3);
  g->addWidget(Label("Helligkeit %:"), row, 0);
  g->addWidget(b.Number("HellEd", s.HellEd, 1, 0), row++, 1);
  g->addWidget(Label("Sättigung:"), row, 0);
  g->addWidget(b.Number("SatEd", s.SatEd, 1, 0), row, 1);
  g->addWidget(Label("(größer 0=Farben intensiver)"), row++, 2);
  g->setRowStretch(row, 1);
  lay->addLayout(g, 1);
  auto* area = new QScrollArea;
  paintBox2_ = new DibBox(DibBox::Mode::Actual);
  paintBox2_->setObjectName(QStringLiteral("PaintBox2"));
  area->setWidget(paintBox2_);
  lay->addWidget(area, 1);
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

void BackgroundTab::ShowPicture() { paintBox2_->SetDib(session_.di2); }

}  // namespace ui
