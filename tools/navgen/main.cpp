// Draws the navigation pictures of the HTML page-turning catalog: first,
// previous, next and last page, zoom in and zoom out. 40 x 40 pixels (shown
// at half size, sharp on high-density screens), one dark ink antialiased
// onto white, written as GIF by the image layer.
//
// usage: quillane-navgen OUTDIR
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <string>

#include "imaging/pixoran.h"
#include "imaging/qtdib.h"

namespace {

constexpr int kSize = 40;
const QColor kInk(0x2b, 0x47, 0x6b);

// A triangle pointing right (dir = 1) or left (-1) with its tip at x.
void Triangle(QPainter& p, double x, int dir) {
  QPainterPath path;
  path.moveTo(x, 20);
  path.lineTo(x - dir * 13, 9);
  path.lineTo(x - dir * 13, 31);
  path.closeSubpath();
  p.fillPath(path, kInk);
}

void Bar(QPainter& p, double x) { p.fillRect(QRectF(x, 9, 4, 22), kInk); }

void Magnifier(QPainter& p, bool plus) {
  QPen pen(kInk, 3.5);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(17, 17), 10.5, 10.5);
  pen.setWidthF(6);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  p.drawLine(QPointF(25.5, 25.5), QPointF(34, 34));
  pen.setWidthF(3);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  p.drawLine(QPointF(11.5, 17), QPointF(22.5, 17));
  if (plus) p.drawLine(QPointF(17, 11.5), QPointF(17, 22.5));
}

bool Write(const std::string& folder, const char* name, void (*draw)(QPainter&)) {
  QImage img(kSize, kSize, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
  }
  dib d;
  std::string error;
  if (!QImageToDib(img, d, &error) || !SaveDib(d, folder + "/" + name, kDibGif, &error)) {
    std::fprintf(stderr, "quillane-navgen: %s: %s\n", name, error.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillane-navgen OUTDIR\n");
    return 2;
  }
  const std::string out = argv[1];
  bool ok = true;
  ok &= Write(out, "vcr-start.gif", [](QPainter& p) {
    Bar(p, 7);
    Triangle(p, 11, -1);
    Triangle(p, 23, -1);
  });
  ok &= Write(out, "vcr-previous.gif", [](QPainter& p) { Triangle(p, 13, -1); });
  ok &= Write(out, "vcr-next.gif", [](QPainter& p) { Triangle(p, 27, 1); });
  ok &= Write(out, "vcr-end.gif", [](QPainter& p) {
    Triangle(p, 17, 1);
    Triangle(p, 29, 1);
    Bar(p, 29);
  });
  ok &= Write(out, "magnifying-glass-plus.gif", [](QPainter& p) { Magnifier(p, true); });
  ok &= Write(out, "magnifying-glass-minus.gif", [](QPainter& p) { Magnifier(p, false); });
  return ok ? 0 : 1;
}
