#include "ui/preview.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <exception>

#include "imaging/qtdib.h"
#include "platform/qtsurface.h"
#include "render/layouts/layouts.h"
#include "ui/translatewidgets.h"

namespace ui {

PagePreview::PagePreview(render::RenderSession& session, QWidget* parent)
    : QWidget(parent), session_(session), printer_(platform::FallbackPrinterPage()) {
  setObjectName(QStringLiteral("PaintBox1"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(8, 8);
}

int PagePreview::Dpi() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  const int dpi = s ? qRound(s->logicalDotsPerInchX()) : 0;
  return dpi > 0 ? dpi : 96;
}

void PagePreview::Invalidate() {
  valid_ = false;
  update();
}

bool PagePreview::Render(int w, int h) {
  image_ = QImage();
  valid_ = true;  // a failed page is not retried until something changes
  if (w <= 0 || h <= 0 || static_cast<int64_t>(w) * h > kMaxDibPixels) return false;
  try {
    platform::ImageSurface surface(w, h);
    if (!surface.ok()) return false;
    render::RenderParams p;
    p.canvas0 = &surface;
    p.dpi = Dpi();
    p.width = w;
    p.height = h;
    p.zoomedvalue = zoom_;
    p.printit = false;
    p.widthmm = platform::PageWidthMm(printer_);
    p.heightmm = platform::PageHeightMm(printer_);
    // A pass that draws nothing first, so that the page numbers and category
    // names one pass leaves for the next are current on the page shown.
    p.seiteedvalue = 0;
    render::RenderCatalogPage(session_, p);
    emit pagesCounted(session_.anzpages);
    p.seiteedvalue = page_;
    render::RenderCatalogPage(session_, p);
    surface.End();
    image_ = surface.image().copy();
    missing_ = PictureProblemsText(session_.loader().TakeProblems());
    setToolTip(missing_);
  } catch (const std::exception&) {
    // The preview simply stays empty; the next change tries again.
    image_ = QImage();
  }
  return !image_.isNull();
}

const QImage& PagePreview::Rendered() {
  int32_t w = 0, h = 0;
  platform::PreviewBitmapSize(printer_, Dpi(), zoom_, w, h);
  if (!valid_ || image_.width() != w || image_.height() != h) Render(w, h);
  return image_;
}

void PagePreview::paintEvent(QPaintEvent*) {
  int32_t w = 0, h = 0;
  platform::PreviewBitmapSize(printer_, Dpi(), zoom_, w, h);
  const QSize want(std::max(0, w) + 8, std::max(0, h) + 8);
  if (size() != want) {
    // The resize brings a new paint at the new size.
    image_ = QImage();
    valid_ = false;
    resize(want);
    return;
  }
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const QImage& img = Rendered();
  if (!img.isNull()) painter.drawImage(0, 0, img);
  if (!missing_.isEmpty()) {
    // Holes on the page are named, not left without a word.
    const QRect box = rect().adjusted(4, 4, -4, -4);
    const QRect need = painter.boundingRect(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, missing_);
    painter.fillRect(need.adjusted(-3, -2, 3, 2), QColor(255, 255, 220));
    painter.setPen(QColor(170, 0, 0));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, missing_);
  }
}

QString PictureProblemsText(const std::vector<render::PictureLoader::Problem>& problems) {
  if (problems.empty()) return {};
  QString text = TrW(QStringLiteral("Diese Bilder konnten nicht gezeichnet werden:"));
  for (const auto& p : problems) text += QStringLiteral("\n") + QString::fromStdString(p.reason);
  return text;
}

void PagePreview::mousePressEvent(QMouseEvent* e) {
  ziehen_ = true;
  zieh_ = e->position().toPoint();
  emit clickedPage();
}

void PagePreview::mouseMoveEvent(QMouseEvent* e) {
  if (!ziehen_ || !area_) return;
  const QPoint at = e->position().toPoint();
  QScrollBar* hb = area_->horizontalScrollBar();
  QScrollBar* vb = area_->verticalScrollBar();
  hb->setValue(std::clamp(hb->value() + zieh_.x() - at.x(), 0, std::max(0, hb->maximum())));
  vb->setValue(std::clamp(vb->value() + zieh_.y() - at.y(), 0, std::max(0, vb->maximum())));
}

void PagePreview::mouseReleaseEvent(QMouseEvent*) { ziehen_ = false; }

DibBox::DibBox(Mode mode, QWidget* parent) : QWidget(parent), mode_(mode) {}

void DibBox::SetDib(const dib& d) {
  image_ = d.loaded() ? DibToQImage(d) : QImage();
  if (mode_ == Mode::Actual) {
    if (image_.isNull())
      resize(0, 0);
    else
      resize(image_.size());
  }
  update();
}

QSize DibBox::FitSize(int boxw, int boxh, int w, int h) {
  if (w <= 0 || h <= 0) return QSize();
  int fw = boxw, fh = static_cast<int>(static_cast<int64_t>(boxw) * h / w);
  if (fh > boxh) {
    fw = static_cast<int>(static_cast<int64_t>(boxh) * w / h);
    fh = boxh;
  }
  return QSize(fw, fh);
}

void DibBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (mode_ == Mode::Fit) {
    p.fillRect(rect(), Qt::white);
    if (image_.isNull()) return;
    const QSize s = FitSize(width(), height(), image_.width(), image_.height());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint(0, 0), s), image_);
    return;
  }
  if (!image_.isNull()) p.drawImage(0, 0, image_);
}

}  // namespace ui
