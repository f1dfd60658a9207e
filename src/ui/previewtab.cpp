#include "ui/previewtab.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "render/layouts/layouts.h"
#include "ui/preview.h"
#include "ui/tabhelpers.h"
#include "ui/translatewidgets.h"

namespace ui {

PreviewTab::PreviewTab(render::RenderSession& session, ViewState& view, std::function<void(int)> layoutChosen,
                       QWidget* parent)
    : QWidget(parent), view_(view), layoutChosen_(std::move(layoutChosen)) {
  QWidget* page = this;
  page->setObjectName(QStringLiteral("TabKatalog"));
  auto* lay = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  top->addWidget(Label("Zoom in %:"));
  zoomEd_ = new QDoubleSpinBox;
  zoomEd_->setObjectName(QStringLiteral("ZoomEd"));
  zoomEd_->setRange(1, 1000);
  zoomEd_->setSingleStep(10);
  zoomEd_->setDecimals(0);
  zoomEd_->setValue(view_.ZoomEd);
  top->addWidget(zoomEd_);
  top->addWidget(Label("Seite:"));
  seiteEd_ = new QSpinBox;
  seiteEd_->setObjectName(QStringLiteral("SeiteEd"));
  seiteEd_->setRange(1, 100000);
  seiteEd_->setValue(view_.SeiteEd);
  top->addWidget(seiteEd_);
  pageInfo_ = new QLabel;
  pageInfo_->setObjectName(QStringLiteral("SeiteVonLabel"));
  MarkDataWidget(pageInfo_);  // set in the window language as pages are counted
  top->addWidget(pageInfo_);
  pageSize_ = new QLabel;
  pageSize_->setObjectName(QStringLiteral("PageSizeLabel"));
  MarkDataWidget(pageSize_);  // set in the window language with the page count
  top->addWidget(pageSize_);
  top->addWidget(Label("Layout:"));
  layoutCombo_ = new QComboBox;
  layoutCombo_->setObjectName(QStringLiteral("LayoutCombo"));
  for (const render::LayoutEntry& l : render::kLayouts) layoutCombo_->addItem(QString::fromUtf8(l.name));
  top->addWidget(layoutCombo_, 1);
  lay->addLayout(top);

  // The focus sink sits behind the preview: it takes the keyboard focus so
  // that the wheel and keys reach the window, not the boxes above.
  auto* stack = new QWidget;
  keyEdit_ = new QLineEdit(stack);
  keyEdit_->setObjectName(QStringLiteral("KeyEdit"));
  keyEdit_->setReadOnly(true);
  keyEdit_->setGeometry(0, 0, 1, 1);
  scrollBox_ = new QScrollArea(stack);
  scrollBox_->setObjectName(QStringLiteral("ScrollBox1"));
  scrollBox_->setWidgetResizable(false);
  preview_ = new PagePreview(session);
  preview_->SetScrollArea(scrollBox_);
  preview_->SetZoom(view_.ZoomEd);
  preview_->SetPage(view_.SeiteEd);
  scrollBox_->setWidget(preview_);
  auto* stackLay = new QVBoxLayout(stack);
  stackLay->setContentsMargins(0, 0, 0, 0);
  stackLay->addWidget(scrollBox_);
  keyEdit_->lower();
  lay->addWidget(stack, 1);

  connect(zoomEd_, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this](double z) {
    view_.ZoomEd = z;
    preview_->SetZoom(z);
    preview_->Invalidate();
  });
  connect(seiteEd_, qOverload<int>(&QSpinBox::valueChanged), this, [this](int p) {
    view_.SeiteEd = p;
    preview_->SetPage(p);
    preview_->Invalidate();
  });
  connect(layoutCombo_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int i) {
    if (i < 0) return;
    layoutChosen_(i);
  });
  connect(preview_, &PagePreview::clickedPage, this, [this] { keyEdit_->setFocus(); });
  connect(preview_, &PagePreview::pagesCounted, this, [this](int pages) {
    // Pages past the end are blank: the box stops at the last one.
    seiteEd_->setMaximum(std::max(1, pages));
    pageInfo_->setText(TrW(QStringLiteral("Seite %1 von %2")).arg(seiteEd_->value()).arg(std::max(1, pages)));
    pageSize_->setText(PrinterPageText(preview_->printer()));
  });

  // Keys of the preview, while the tab has the focus.
  auto key = [this, page](const char* obj, std::initializer_list<QKeySequence> keys, auto slot) {
    auto* a = new QAction(page);
    a->setObjectName(QString::fromLatin1(obj));
    a->setShortcuts(QList<QKeySequence>(keys));
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    page->addAction(a);
    connect(a, &QAction::triggered, this, slot);
  };
  key("PreviewRedraw", {QKeySequence(Qt::Key_F5)}, [this] { preview_->Invalidate(); });
  key("PreviewZoomIn", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
      [this] { zoomEd_->stepUp(); });
  key("PreviewZoomOut", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { zoomEd_->stepDown(); });
  key("PreviewZoom100", {QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { zoomEd_->setValue(100); });
  key("PreviewPageUp", {QKeySequence(Qt::Key_PageUp)}, [this] { seiteEd_->stepDown(); });
  key("PreviewPageDown", {QKeySequence(Qt::Key_PageDown)}, [this] { seiteEd_->stepUp(); });

  // The wheel reaches the preview from every widget of the window, not only
  // from the scroll box.
  qApp->installEventFilter(this);
}

bool PreviewTab::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::Wheel || !isVisible()) return QWidget::eventFilter(watched, e);
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w || w->window() != window()) return QWidget::eventFilter(watched, e);
  wheelRest_ += static_cast<QWheelEvent*>(e)->angleDelta().y();
  const int notches = wheelRest_ / 120;
  wheelRest_ -= notches * 120;
  QScrollBar* vb = scrollBox_->verticalScrollBar();
  vb->setValue(vb->value() - notches * 20);  // the scroll bar keeps it within its range
  return true;
}

void PreviewTab::ShowBoxPage() {
  view_.SeiteEd = seiteEd_->value();
  preview_->SetPage(view_.SeiteEd);
  preview_->Invalidate();
}

void PreviewTab::ShowLayout(int index) {
  const QSignalBlocker block(layoutCombo_);
  layoutCombo_->setCurrentIndex(std::clamp(index, 0, layoutCombo_->count() - 1));
}

void PreviewTab::SetPrinter(const platform::PrinterPage& page) {
  preview_->SetPrinter(page);
  pageSize_->setText(PrinterPageText(page));
}

QString PreviewTab::PrinterPageText(const platform::PrinterPage& page) {
  const QString paper =
      QString::fromStdString(platform::PaperText(page, TrW(QStringLiteral("quer")).toStdString()));
  if (page.fallback) return TrW(QStringLiteral("%1 (ohne Drucker)")).arg(paper);
  if (page.printer.empty()) return TrW(QStringLiteral("%1 (PDF-Ausgabe)")).arg(paper);
  return TrW(QStringLiteral("%1 (Drucker: %2)")).arg(paper, QString::fromStdString(page.printer));
}

}  // namespace ui
