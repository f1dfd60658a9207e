#include "ui/picturetab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScrollArea>

#include "ui/preview.h"
#include "ui/tabhelpers.h"

namespace ui {

PictureTab::PictureTab(render::RenderSession& session, const dib& shown, const char* tabName,
                       const char* boxName, int span, QWidget* parent)
    : QWidget(parent), session_(session), shown_(shown), span_(span) {
  setObjectName(QString::fromLatin1(tabName));
  box_ = new DibBox(DibBox::Mode::Actual);
  box_->setObjectName(QString::fromLatin1(boxName));
  grid_ = new QGridLayout;
}

void PictureTab::AddFileRow(const char* label, QLineEdit* box) {
  grid_->addWidget(Label(label), row_, 0);
  grid_->addWidget(PictureFileRow(this, box), row_++, 1, 1, span_);
}

void PictureTab::AddRow(const char* label, QWidget* control) {
  grid_->addWidget(Label(label), row_, 0);
  grid_->addWidget(control, row_++, 1);
}

void PictureTab::AddWideRow(QWidget* control) { grid_->addWidget(control, row_++, 0, 1, span_); }

void PictureTab::EndRows() {
  grid_->setRowStretch(row_, 1);
  // The grid's controls join the tab (and its focus order) before the box.
  auto* lay = new QHBoxLayout(this);
  lay->addLayout(grid_, 1);
  auto* area = new QScrollArea;
  area->setWidget(box_);
  lay->addWidget(area, 1);
}

void PictureTab::ShowPicture() { box_->SetDib(shown_); }

}  // namespace ui
