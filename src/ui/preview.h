// The page preview of the tab "Katalog erzeugen" and the picture boxes of
// the product editor, the background and the logo tabs.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <vector>

#include "imaging/dib/dib.h"
#include "platform/printer.h"
#include "render/pictureloader.h"

class QScrollArea;

namespace render {
class RenderSession;
}

namespace ui {

// The paint box of the page preview. Its size is the preview bitmap plus
// 8 pixels each way; painting renders the page (layout, zoom and page from
// the providers) into a bitmap at the screen's resolution and copies it to
// (0, 0). The rendered page is kept until Invalidate, so scrolling does not
// lay out the catalog again. Pressing a mouse button starts panning the
// scroll area it sits in.
// "Diese Bilder konnten nicht gezeichnet werden:" and one line per picture
// (file: reason), translated; empty for no problems.
QString PictureProblemsText(const std::vector<render::PictureLoader::Problem>& problems);

class PagePreview : public QWidget {
  Q_OBJECT
 public:
  PagePreview(render::RenderSession& session, QWidget* parent = nullptr);

  void SetScrollArea(QScrollArea* area) { area_ = area; }
  void SetPrinter(const platform::PrinterPage& p) { printer_ = p; }
  const platform::PrinterPage& printer() const { return printer_; }
  // Zoom (%) and page come from the window's boxes.
  void SetZoom(double zoom) { zoom_ = zoom; }
  void SetPage(int page) { page_ = page; }
  double zoom() const { return zoom_; }
  int page() const { return page_; }
  // Screen resolution (horizontal), 96 where the screen tells none.
  int Dpi() const;

  // Discards the rendered page and schedules a repaint.
  void Invalidate();
  // Renders now (as the next paint would) and returns the page bitmap; a
  // null image when the size is not positive or too large.
  const QImage& Rendered();
  bool Dragging() const { return ziehen_; }

 signals:
  void clickedPage();            // the window moves the focus to its focus sink
  void pagesCounted(int pages);  // a render laid out the catalog: its page count

 protected:
  void paintEvent(class QPaintEvent* e) override;
  void mousePressEvent(class QMouseEvent* e) override;
  void mouseMoveEvent(class QMouseEvent* e) override;
  void mouseReleaseEvent(class QMouseEvent* e) override;

 private:
  bool Render(int w, int h);

  render::RenderSession& session_;
  // The pictures the last render could not draw, named above the page.
  QString missing_;
  platform::PrinterPage printer_;
  QScrollArea* area_ = nullptr;
  double zoom_ = 100;
  int page_ = 1;
  QImage image_;
  bool valid_ = false;
  bool ziehen_ = false;
  QPoint zieh_;
};

// Shows a dib: 1:1 with the box sized to the picture (background and logo
// tabs), or scaled to fit on white (product editor). Nothing is drawn when
// the picture has no pixels.
class DibBox : public QWidget {
  Q_OBJECT
 public:
  enum class Mode { Actual, Fit };
  DibBox(Mode mode, QWidget* parent = nullptr);
  void SetDib(const dib& d);
  bool HasPicture() const { return !image_.isNull(); }
  // The fitted size of a w x h picture in a W x H box.
  static QSize FitSize(int boxw, int boxh, int w, int h);

 protected:
  void paintEvent(class QPaintEvent* e) override;

 private:
  Mode mode_;
  QImage image_;
};

}  // namespace ui
