#include "ui/logotab.h"

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

LogoTab::LogoTab(render::RenderSession& session, SettingsBinder& b, QWidget* parent)
    : QWidget(parent), session_(session) {
  CatalogSettings& s = session.doc().settings;
  QWidget* page = this;
  page->setObjectName(QStringLiteral("TabLogo"));
  auto* lay = new QHBoxLayout(page);
  auto* g = new QGridLayout;
  int row = 0;
  g->addWidget(Label("Dateiname:"), row, 0);
  g->addWidget(PictureFileRow(page, b.Text("FilenameEdit1", s.FilenameEdit1)), row++, 1, 1, 2);
  g->addWidget(Label("Breite:"), row, 0);
  g->addWidget(b.Number("BreitEd3", s.BreitEd3, 0.1), row++, 1);
  g->addWidget(Label("Höhe:"), row, 0);
  g->addWidget(b.Number("HochEd3", s.HochEd3, 0.1), row++, 1);
  g->addWidget(b.Check("sverhlogo", s.sverhlogo, QStringLiteral("Seitenverhältnis beibehalten")), row++, 0, 1,
               2);
  g->addWidget(b.Check("ShowLogoRightAlignedCheck", s.ShowLogoRightAlignedCheck,
                       QStringLiteral("Logo rechtsbündig anzeigen")),
               row++, 0, 1, 2);
  g->setRowStretch(row, 1);
  lay->addLayout(g, 1);
  auto* area = new QScrollArea;
  paintBox3_ = new DibBox(DibBox::Mode::Actual);
  paintBox3_->setObjectName(QStringLiteral("PaintBox3"));
  area->setWidget(paintBox3_);
  lay->addWidget(area, 1);
}

void LogoTab::SettingChanged(const char* name) {
  if (std::strcmp(name, "FilenameEdit1") != 0) return;
  session_.LoadLogo();
  ShowPicture();
}

void LogoTab::ShowPicture() { paintBox3_->SetDib(session_.di3); }

}  // namespace ui
