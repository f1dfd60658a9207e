// Small builders shared by the settings tabs.
#pragma once

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

#include "imaging/pixoran.h"

namespace ui {

// A page of a settings tab, scrollable when the window is small.
inline QWidget* Scrolled(QWidget* content) {
  auto* area = new QScrollArea;
  area->setWidget(content);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  return area;
}

inline QLabel* Label(const char* text) { return new QLabel(QString::fromUtf8(text)); }

// A file name box with a button that chooses a picture.
inline QWidget* PictureFileRow(QWidget* owner, QLineEdit* box) {
  auto* row = new QWidget;
  auto* lay = new QHBoxLayout(row);
  lay->setContentsMargins(0, 0, 0, 0);
  lay->addWidget(box, 1);
  auto* browse = new QPushButton(QStringLiteral("..."));
  lay->addWidget(browse);
  QObject::connect(browse, &QPushButton::clicked, owner, [owner, box] {
    const QString f = QFileDialog::getOpenFileName(owner, QString(), box->text(),
                                                   QString::fromStdString(GetDIBOpenFilter()));
    if (f.isEmpty()) return;
    box->setText(f);
    emit box->textEdited(f);  // stores the name like typing does
  });
  return row;
}

}  // namespace ui
