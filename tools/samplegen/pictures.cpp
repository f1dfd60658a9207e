#include "samplegen/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>

namespace samplegen {

namespace {

constexpr double kW = 400;  // canvas of every product picture
constexpr double kH = 300;
constexpr double kGround = 238;  // where objects stand

// xorshift32: a small generator whose sequence depends only on the seed.
class Rng {
 public:
  explicit Rng(uint32_t seed) : s_(seed ? seed : 0x9E3779B9u) {}
  uint32_t Next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
  }
  // Uniform in [lo, hi).
  double Range(double lo, double hi) { return lo + (hi - lo) * (Next() % 100000) / 100000.0; }

 private:
  uint32_t s_;
};

QColor Mix(const QColor& a, const QColor& b, double t) {
  return QColor(int(std::lround(a.red() + (b.red() - a.red()) * t)),
                int(std::lround(a.green() + (b.green() - a.green()) * t)),
                int(std::lround(a.blue() + (b.blue() - a.blue()) * t)));
}

// Horizontal shading that makes a flat shape look round: dark rim, light
// band left of the middle.
QBrush Round(double left, double right, const QColor& c) {
  QLinearGradient g(left, 0, right, 0);
  g.setColorAt(0.0, c.darker(160));
  g.setColorAt(0.35, c.lighter(135));
  g.setColorAt(0.7, c);
  g.setColorAt(1.0, c.darker(180));
  return QBrush(g);
}

QBrush Vertical(double top, double bottom, const QColor& a, const QColor& b) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, a);
  g.setColorAt(1, b);
  return QBrush(g);
}

const QColor kMetal(170, 176, 184);
const QColor kWood(150, 104, 62);
const QColor kLeaf(58, 128, 52);
const QColor kSoil(82, 58, 40);
const QColor kDark(52, 52, 56);

void Shadow(QPainter& p, double cx, double w) {
  QRadialGradient g(cx, kGround + 4, w / 2);
  g.setColorAt(0, QColor(0, 0, 0, 90));
  g.setColorAt(1, QColor(0, 0, 0, 0));
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.translate(cx, kGround + 4);
  p.scale(1.0, 0.18);
  p.drawEllipse(QPointF(0, 0), w / 2, w / 2);
  p.restore();
}

void Leaf(QPainter& p, double x, double y, double len, double angle, const QColor& c) {
  p.save();
  p.translate(x, y);
  p.rotate(angle);
  QPainterPath leaf;
  leaf.moveTo(0, 0);
  leaf.quadTo(len * 0.5, -len * 0.32, len, 0);
  leaf.quadTo(len * 0.5, len * 0.32, 0, 0);
  p.setPen(QPen(c.darker(140), 1));
  p.setBrush(Vertical(-len * 0.3, len * 0.3, c.lighter(125), c.darker(115)));
  p.drawPath(leaf);
  p.restore();
}

void Blossom(QPainter& p, double x, double y, double r, const QColor& c, int petals = 5) {
  p.save();
  p.setPen(Qt::NoPen);
  for (int i = 0; i < petals; ++i) {
    const double a = i * 2 * M_PI / petals;
    QRadialGradient g(x + std::cos(a) * r * 0.6, y + std::sin(a) * r * 0.6, r * 0.6);
    g.setColorAt(0, c.lighter(130));
    g.setColorAt(1, c);
    p.setBrush(g);
    p.drawEllipse(QPointF(x + std::cos(a) * r * 0.6, y + std::sin(a) * r * 0.6), r * 0.5, r * 0.5);
  }
  p.setBrush(QColor(250, 204, 60));
  p.drawEllipse(QPointF(x, y), r * 0.3, r * 0.3);
  p.restore();
}

// A bunch of leaves and blossoms rising from (cx, base).
void Plant(QPainter& p, Rng& rng, double cx, double base, double spread, const QColor& flower, int blossoms) {
  for (int i = 0; i < 14; ++i) {
    Leaf(p, cx + rng.Range(-spread * 0.4, spread * 0.4), base, rng.Range(spread * 0.35, spread * 0.6),
         rng.Range(-160, -20), Mix(kLeaf, QColor(110, 160, 60), rng.Range(0, 0.6)));
  }
  for (int i = 0; i < blossoms; ++i) {
    Blossom(p, cx + rng.Range(-spread * 0.5, spread * 0.5), base - rng.Range(spread * 0.2, spread * 0.55),
            rng.Range(9, 14), Mix(flower, flower.lighter(140), rng.Range(0, 0.5)));
  }
}

void PotShape(QPainter& p, double cx, double top, double bottom, double topW, double bottomW,
              const QColor& c) {
  QPolygonF body;
  body << QPointF(cx - topW / 2, top) << QPointF(cx + topW / 2, top) << QPointF(cx + bottomW / 2, bottom)
       << QPointF(cx - bottomW / 2, bottom);
  p.setPen(QPen(c.darker(170), 1.2));
  p.setBrush(Round(cx - topW / 2, cx + topW / 2, c));
  p.drawPolygon(body);
  p.drawRect(QRectF(cx - topW / 2 - 8, top - 14, topW + 16, 16));
  p.setBrush(kSoil);
  p.drawEllipse(QRectF(cx - topW / 2 - 4, top - 18, topW + 8, 9));
}

// ---------------------------------------------------------------- scenes

void DrawScene(QPainter& p, Scene scene, Rng& rng) {
  p.setPen(Qt::NoPen);
  switch (scene) {
    case Scene::Garden: {
      p.setBrush(Vertical(0, 170, QColor(150, 196, 236), QColor(226, 238, 246)));
      p.drawRect(QRectF(0, 0, kW, 180));
      for (int i = 0; i < 9; ++i) {
        p.setBrush(Mix(QColor(60, 110, 60), QColor(90, 140, 70), rng.Range(0, 1)));
        p.drawEllipse(QPointF(i * 50 + rng.Range(-10, 10), 172), rng.Range(34, 50), rng.Range(22, 34));
      }
      p.setBrush(Vertical(178, kH, QColor(120, 176, 80), QColor(70, 130, 50)));
      p.drawRect(QRectF(0, 178, kW, kH - 178));
      p.setPen(QPen(QColor(60, 112, 44), 1.2));
      for (int i = 0; i < 220; ++i) {
        const double x = rng.Range(0, kW);
        const double y = rng.Range(190, kH);
        p.drawLine(QPointF(x, y), QPointF(x + rng.Range(-3, 3), y - rng.Range(4, 9)));
      }
      break;
    }
    case Scene::Studio: {
      p.setBrush(Vertical(0, 200, QColor(244, 244, 240), QColor(214, 216, 212)));
      p.drawRect(QRectF(0, 0, kW, 200));
      p.setBrush(Vertical(200, kH, QColor(204, 204, 198), QColor(236, 236, 232)));
      p.drawRect(QRectF(0, 200, kW, kH - 200));
      break;
    }
    case Scene::Terrace: {
      p.setBrush(Vertical(0, 190, QColor(240, 226, 200), QColor(222, 202, 170)));
      p.drawRect(QRectF(0, 0, kW, 190));
      for (int i = 0; i < 7; ++i) {
        const double y = 190 + i * 16;
        p.setPen(Qt::NoPen);
        p.setBrush(Mix(QColor(168, 118, 72), QColor(140, 96, 58), (i % 2) * 0.6 + rng.Range(0, 0.3)));
        p.drawRect(QRectF(0, y, kW, 16));
        p.setPen(QPen(QColor(110, 74, 44), 1));
        p.drawLine(QPointF(0, y), QPointF(kW, y));
        p.setPen(QPen(QColor(126, 86, 50, 120), 0.8));
        for (int k = 0; k < 5; ++k) {
          const double gx = rng.Range(0, kW);
          p.drawLine(QPointF(gx, y + rng.Range(4, 12)),
                     QPointF(gx + rng.Range(30, 80), y + rng.Range(4, 12)));
        }
      }
      break;
    }
  }
}

// ---------------------------------------------------------------- motifs

void DrawMotif(QPainter& p, Motif motif, const QColor& c, Rng& rng) {
  p.setRenderHint(QPainter::Antialiasing, true);
  switch (motif) {
    case Motif::Pot: {
      Shadow(p, 200, 130);
      PotShape(p, 200, 150, kGround, 120, 84, c);
      Plant(p, rng, 200, 138, 150, QColor(214, 40, 60), 6);
      break;
    }
    case Motif::BalconyBox: {
      Shadow(p, 200, 290);
      Plant(p, rng, 140, 178, 130, QColor(230, 60, 110), 6);
      Plant(p, rng, 260, 178, 130, QColor(240, 120, 40), 6);
      p.setPen(QPen(c.darker(170), 1.2));
      p.setBrush(Vertical(170, kGround, c.lighter(120), c.darker(130)));
      p.drawRoundedRect(QRectF(60, 170, 280, kGround - 170), 6, 6);
      p.setPen(QPen(c.darker(130), 1));
      for (int i = 1; i < 6; ++i)
        p.drawLine(QPointF(60 + i * 46.6, 178), QPointF(60 + i * 46.6, kGround - 8));
      break;
    }
    case Motif::HangingBasket: {
      p.setPen(QPen(kDark, 1.6));
      p.drawLine(QPointF(200, 10), QPointF(135, 130));
      p.drawLine(QPointF(200, 10), QPointF(265, 130));
      p.drawLine(QPointF(200, 10), QPointF(200, 126));
      for (int i = 0; i < 10; ++i) {
        Leaf(p, rng.Range(140, 260), 150, rng.Range(40, 70), rng.Range(60, 120), kLeaf);
      }
      QPainterPath bowl;
      bowl.moveTo(125, 130);
      bowl.cubicTo(130, 205, 270, 205, 275, 130);
      bowl.closeSubpath();
      p.setPen(QPen(c.darker(160), 1.2));
      p.setBrush(Round(125, 275, c));
      p.drawPath(bowl);
      for (int i = 0; i < 7; ++i)
        Blossom(p, rng.Range(135, 265), rng.Range(110, 135), 11, QColor(190, 60, 200));
      break;
    }
    case Motif::PlantBowl: {
      Shadow(p, 200, 220);
      QPainterPath bowl;
      bowl.moveTo(90, 180);
      bowl.cubicTo(100, 250, 300, 250, 310, 180);
      bowl.closeSubpath();
      for (int i = 0; i < 6; ++i) {
        const double x = 120 + i * 32;
        p.setPen(QPen(QColor(60, 110, 70), 1));
        for (int k = 0; k < 7; ++k)
          Leaf(p, x, 178, rng.Range(18, 28), -90 + (k - 3) * 25, QColor(110, 160, 120));
      }
      p.setPen(QPen(c.darker(160), 1.2));
      p.setBrush(Round(90, 310, c));
      p.drawPath(bowl);
      p.setBrush(c.lighter(115));
      p.drawEllipse(QRectF(88, 172, 224, 16));
      break;
    }
    case Motif::Tub: {
      Shadow(p, 200, 170);
      QRadialGradient crown(185, 70, 110);
      crown.setColorAt(0, QColor(110, 170, 80));
      crown.setColorAt(1, QColor(40, 96, 40));
      p.setPen(Qt::NoPen);
      p.setBrush(crown);
      p.drawEllipse(QPointF(200, 100), 90, 80);
      p.setBrush(kWood.darker(140));
      p.drawRect(QRectF(194, 160, 12, 30));
      p.setPen(QPen(c.darker(160), 1.2));
      p.setBrush(Round(130, 270, c));
      p.drawRect(QRectF(130, 170, 140, kGround - 170));
      p.setPen(QPen(c.darker(140), 2));
      for (int i = 0; i < 3; ++i) p.drawLine(QPointF(130, 185 + i * 20), QPointF(270, 185 + i * 20));
      break;
    }
    case Motif::WateringCan: {
      Shadow(p, 210, 200);
      p.setPen(QPen(c.darker(170), 1.4));
      p.setBrush(c.darker(110));
      QPolygonF spout;
      spout << QPointF(250, 205) << QPointF(338, 110) << QPointF(346, 118) << QPointF(262, 222);
      p.drawPolygon(spout);
      p.save();
      p.translate(344, 112);
      p.rotate(-40);
      p.setBrush(Round(-14, 14, c));
      p.drawEllipse(QRectF(-16, -8, 32, 16));
      p.restore();
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(c.darker(130), 10, Qt::SolidLine, Qt::RoundCap));
      p.drawArc(QRectF(130, 80, 140, 110), 20 * 16, 140 * 16);
      p.setPen(QPen(c.darker(170), 1.4));
      p.setBrush(Round(130, 260, c));
      p.drawRoundedRect(QRectF(130, 130, 130, kGround - 130), 14, 14);
      p.setBrush(c.darker(150));
      p.drawEllipse(QRectF(142, 124, 60, 14));
      break;
    }
    case Motif::Hose: {
      Shadow(p, 200, 230);
      p.setBrush(Qt::NoBrush);
      for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(c.darker(100 + i * 8), 13, Qt::SolidLine, Qt::RoundCap));
        p.drawEllipse(QPointF(200, 175 - i * 9), 100 - i * 3, 50 - i * 2);
      }
      p.setPen(QPen(c.lighter(140), 3));
      p.drawEllipse(QPointF(196, 126), 84, 38);
      p.setPen(QPen(c, 13, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(290, 170), QPointF(340, 220));
      p.setPen(QPen(kDark, 1));
      p.setBrush(Round(330, 360, QColor(250, 160, 30)));
      p.drawRoundedRect(QRectF(332, 214, 30, 20), 4, 4);
      break;
    }
    case Motif::HoseReel: {
      Shadow(p, 200, 220);
      p.setPen(QPen(kDark, 6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(130, kGround), QPointF(180, 90));
      p.drawLine(QPointF(270, kGround), QPointF(220, 90));
      p.drawLine(QPointF(180, 70), QPointF(220, 70));
      p.drawLine(QPointF(180, 70), QPointF(180, 95));
      p.drawLine(QPointF(220, 70), QPointF(220, 95));
      p.setBrush(Qt::NoBrush);
      for (int i = 0; i < 5; ++i) {
        p.setPen(QPen(c.darker(100 + i * 10), 11));
        p.drawEllipse(QPointF(200, 160), 62 - i * 9, 62 - i * 9);
      }
      p.setPen(QPen(kMetal.darker(130), 5));
      p.drawEllipse(QPointF(200, 160), 70, 70);
      p.setBrush(kMetal);
      p.drawEllipse(QPointF(200, 160), 12, 12);
      break;
    }
    case Motif::Sprinkler: {
      p.setPen(Qt::NoPen);
      for (int arm = -1; arm <= 1; arm += 2) {
        for (int i = 1; i < 24; ++i) {
          const double t = i / 24.0;
          const double x = 200 + arm * t * 170;
          const double y = 150 - std::sin(t * M_PI) * 110 + t * 60;
          p.setBrush(QColor(120, 180, 240, 200 - i * 6));
          p.drawEllipse(QPointF(x + rng.Range(-4, 4), y + rng.Range(-4, 4)), 3.5, 3.5);
        }
      }
      Shadow(p, 200, 140);
      p.setPen(QPen(c.darker(170), 1.2));
      p.setBrush(Round(130, 270, c));
      p.drawRoundedRect(QRectF(130, 215, 140, kGround - 215), 8, 8);
      p.setBrush(Round(190, 210, kMetal));
      p.drawRect(QRectF(192, 150, 16, 66));
      p.setBrush(Round(150, 250, c.lighter(120)));
      p.drawRoundedRect(QRectF(150, 138, 100, 16), 6, 6);
      break;
    }
    case Motif::Sprayer: {
      Shadow(p, 200, 120);
      p.setPen(QPen(QColor(120, 140, 160), 1.2));
      p.setBrush(Round(150, 250, QColor(226, 236, 244)));
      p.drawRoundedRect(QRectF(150, 120, 100, kGround - 120), 22, 22);
      p.setBrush(QColor(150, 200, 240, 140));
      p.drawRoundedRect(QRectF(156, 170, 88, kGround - 176), 16, 16);
      p.setPen(QPen(c.darker(170), 1.2));
      p.setBrush(Round(170, 230, c));
      p.drawRect(QRectF(172, 90, 56, 32));
      QPolygonF head;
      head << QPointF(160, 60) << QPointF(262, 60) << QPointF(262, 78) << QPointF(230, 92)
           << QPointF(160, 92);
      p.drawPolygon(head);
      QPolygonF trigger;
      trigger << QPointF(232, 92) << QPointF(244, 92) << QPointF(240, 130) << QPointF(230, 128);
      p.drawPolygon(trigger);
      break;
    }
    case Motif::SeedBag: {
      Shadow(p, 200, 170);
      QPolygonF bag;
      bag << QPointF(130, 60);
      for (int i = 1; i <= 14; ++i) bag << QPointF(130 + i * 10, (i % 2) ? 52 : 60);
      bag << QPointF(270, kGround) << QPointF(130, kGround);
      p.setPen(QPen(QColor(140, 110, 70), 1.2));
      p.setBrush(Round(130, 270, QColor(214, 184, 138)));
      p.drawPolygon(bag);
      p.setBrush(QColor(250, 248, 240));
      p.drawRoundedRect(QRectF(148, 90, 104, 120), 8, 8);
      p.setPen(QPen(kLeaf, 3));
      p.drawLine(QPointF(200, 200), QPointF(200, 150));
      Leaf(p, 200, 185, 28, -30, kLeaf);
      Leaf(p, 200, 175, 26, -150, kLeaf);
      Blossom(p, 200, 138, 34, c, 12);
      break;
    }
    case Motif::Bulbs: {
      Shadow(p, 200, 260);
      p.setPen(QPen(kLeaf.darker(120), 3));
      p.drawLine(QPointF(300, kGround - 20), QPointF(300, 100));
      Leaf(p, 300, 190, 60, -70, kLeaf);
      Leaf(p, 300, 200, 55, -115, kLeaf);
      QPainterPath tulip;
      tulip.moveTo(282, 100);
      tulip.cubicTo(280, 60, 290, 60, 292, 70);
      tulip.lineTo(300, 58);
      tulip.lineTo(308, 70);
      tulip.cubicTo(310, 60, 320, 60, 318, 100);
      tulip.closeSubpath();
      p.setPen(QPen(c.darker(150), 1));
      p.setBrush(Round(280, 320, c));
      p.drawPath(tulip);
      for (int i = 0; i < 7; ++i) {
        const double x = 90 + (i % 4) * 45 + (i / 4) * 22;
        const double y = kGround - 10 - (i / 4) * 30;
        QPainterPath bulb;
        bulb.moveTo(x, y - 46);
        bulb.cubicTo(x + 6, y - 30, x + 26, y - 26, x + 22, y - 8);
        bulb.cubicTo(x + 18, y + 4, x - 18, y + 4, x - 22, y - 8);
        bulb.cubicTo(x - 26, y - 26, x - 6, y - 30, x, y - 46);
        p.setPen(QPen(QColor(120, 80, 40), 1));
        p.setBrush(Round(x - 22, x + 22, Mix(QColor(200, 150, 100), QColor(170, 110, 70), rng.Range(0, 1))));
        p.drawPath(bulb);
      }
      break;
    }
    case Motif::Rose: {
      Shadow(p, 200, 150);
      PotShape(p, 200, 180, kGround, 100, 72, QColor(70, 70, 74));
      for (int i = 0; i < 22; ++i)
        Leaf(p, 200 + rng.Range(-70, 70), 100 + rng.Range(-50, 70), rng.Range(22, 34), rng.Range(0, 360),
             QColor(40, 100, 46));
      for (int i = 0; i < 7; ++i) {
        const double x = 200 + rng.Range(-70, 70);
        const double y = 100 + rng.Range(-55, 50);
        for (int r = 5; r >= 1; --r) {
          p.setPen(QPen(c.darker(150), 0.8));
          p.setBrush(Mix(c.darker(120), c.lighter(130), r / 5.0));
          p.drawEllipse(QPointF(x + r * 0.6, y - r * 0.4), r * 3.2, r * 2.8);
        }
      }
      break;
    }
    case Motif::Lavender: {
      Shadow(p, 200, 140);
      for (int i = 0; i < 26; ++i) {
        const double a = (i - 12.5) * 3.2;
        const double len = rng.Range(110, 150);
        const double ex = 200 + std::sin(a * M_PI / 180) * len;
        const double ey = 170 - std::cos(a * M_PI / 180) * len;
        p.setPen(QPen(QColor(100, 130, 80), 1.6));
        p.drawLine(QPointF(200, 170), QPointF(ex, ey));
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 8; ++k) {
          const double t = 0.72 + k * 0.035;
          p.setBrush(Mix(c, c.lighter(140), rng.Range(0, 1)));
          p.drawEllipse(QPointF(200 + (ex - 200) * t, 170 + (ey - 170) * t), 3.4, 4.2);
        }
      }
      PotShape(p, 200, 180, kGround, 110, 78, QColor(196, 104, 64));
      break;
    }
    case Motif::Herbs: {
      const QColor greens[3] = {QColor(70, 140, 60), QColor(110, 150, 90), QColor(40, 110, 70)};
      for (int k = 0; k < 3; ++k) {
        const double cx = 100 + k * 100;
        Shadow(p, cx, 80);
        for (int i = 0; i < 16; ++i)
          Leaf(p, cx + rng.Range(-20, 20), 178, rng.Range(16, 34 + k * 6), rng.Range(-170, -10), greens[k]);
        PotShape(p, cx, 190, kGround, 70, 52, c);
      }
      break;
    }
    case Motif::Spade:
    case Motif::Fork: {
      Shadow(p, 200, 110);
      p.setPen(QPen(kWood.darker(150), 1));
      p.setBrush(Round(192, 208, kWood));
      p.drawRect(QRectF(192, 46, 16, 120));
      p.setBrush(Round(170, 230, c));
      p.drawRoundedRect(QRectF(170, 20, 60, 14), 6, 6);
      p.drawRect(QRectF(172, 30, 8, 22));
      p.drawRect(QRectF(220, 30, 8, 22));
      p.setBrush(Round(160, 240, kMetal));
      p.setPen(QPen(kMetal.darker(160), 1.2));
      if (motif == Motif::Spade) {
        QPainterPath blade;
        blade.moveTo(165, 160);
        blade.lineTo(235, 160);
        blade.lineTo(232, kGround - 10);
        blade.quadTo(200, kGround + 6, 168, kGround - 10);
        blade.closeSubpath();
        p.drawPath(blade);
      } else {
        p.drawRect(QRectF(162, 160, 76, 12));
        for (int i = 0; i < 4; ++i) {
          QPolygonF tine;
          const double x = 166 + i * 20;
          tine << QPointF(x, 170) << QPointF(x + 10, 170) << QPointF(x + 7, kGround)
               << QPointF(x + 3, kGround);
          p.drawPolygon(tine);
        }
      }
      break;
    }
    case Motif::Rake: {
      Shadow(p, 200, 220);
      p.setPen(QPen(kWood.darker(150), 1));
      p.setBrush(Round(194, 206, kWood));
      p.drawRect(QRectF(194, 10, 12, 190));
      p.setPen(QPen(c.darker(160), 1.2));
      p.setBrush(Vertical(196, 212, c.lighter(130), c.darker(120)));
      p.drawRect(QRectF(90, 196, 220, 16));
      p.setBrush(kMetal);
      p.setPen(QPen(kMetal.darker(160), 1));
      for (int i = 0; i < 14; ++i) p.drawRect(QRectF(94 + i * 15.5, 212, 5, 24));
      break;
    }
    case Motif::Shears: {
      p.save();
      p.translate(200, 150);
      for (int side = -1; side <= 1; side += 2) {
        p.save();
        p.rotate(side * 16);
        QPolygonF blade;
        blade << QPointF(0, -6) << QPointF(-120, -2 * side - 2) << QPointF(-120, 2) << QPointF(0, 8);
        p.setPen(QPen(kMetal.darker(170), 1.2));
        p.setBrush(Vertical(-6, 8, kMetal.lighter(130), kMetal.darker(120)));
        p.drawPolygon(blade);
        p.setPen(QPen(c.darker(160), 1.2));
        p.setBrush(Vertical(-10, 10, c.lighter(120), c.darker(120)));
        p.drawRoundedRect(QRectF(10, -9, 130, 18), 9, 9);
        p.restore();
      }
      p.setBrush(kMetal.darker(110));
      p.drawEllipse(QPointF(0, 0), 9, 9);
      p.restore();
      Shadow(p, 200, 260);
      break;
    }
    case Motif::Trowel: {
      Shadow(p, 200, 220);
      p.save();
      p.translate(200, 160);
      p.rotate(-28);
      QPainterPath blade;
      blade.moveTo(-150, 0);
      blade.cubicTo(-110, -40, -40, -36, -10, -6);
      blade.lineTo(-10, 6);
      blade.cubicTo(-40, 36, -110, 40, -150, 0);
      p.setPen(QPen(kMetal.darker(170), 1.2));
      p.setBrush(Vertical(-36, 36, kMetal.lighter(130), kMetal.darker(130)));
      p.drawPath(blade);
      p.setBrush(kMetal.darker(120));
      p.drawRect(QRectF(-12, -4, 40, 8));
      p.setPen(QPen(c.darker(160), 1.2));
      p.setBrush(Vertical(-12, 12, c.lighter(125), c.darker(125)));
      p.drawRoundedRect(QRectF(26, -12, 110, 24), 12, 12);
      p.restore();
      break;
    }
    case Motif::Wheelbarrow: {
      Shadow(p, 200, 300);
      p.setPen(QPen(kDark, 5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(100, 190), QPointF(40, 150));
      p.drawLine(QPointF(300, 190), QPointF(370, 150));
      p.drawLine(QPointF(140, 200), QPointF(150, kGround));
      p.drawLine(QPointF(250, 200), QPointF(245, kGround));
      QPolygonF tub;
      tub << QPointF(80, 110) << QPointF(320, 110) << QPointF(280, 196) << QPointF(120, 196);
      p.setPen(QPen(c.darker(170), 1.4));
      p.setBrush(Vertical(110, 196, c.lighter(125), c.darker(130)));
      p.drawPolygon(tub);
      p.setBrush(c.darker(160));
      p.drawRect(QRectF(76, 104, 248, 10));
      p.setPen(QPen(kDark, 9));
      p.setBrush(kMetal);
      p.drawEllipse(QPointF(320, 206), 28, 28);
      break;
    }
    case Motif::LeafRake: {
      Shadow(p, 200, 200);
      p.setPen(QPen(kWood.darker(150), 1));
      p.setBrush(Round(194, 206, kWood));
      p.drawRect(QRectF(194, 8, 12, 160));
      p.setPen(QPen(c, 3.2, Qt::SolidLine, Qt::RoundCap));
      for (int i = 0; i < 17; ++i) {
        const double a = (i - 8) * 7.0 * M_PI / 180;
        p.drawLine(QPointF(200, 160), QPointF(200 + std::sin(a) * 110, 160 + std::cos(a) * 76));
      }
      p.setPen(QPen(c.darker(140), 4));
      p.drawLine(QPointF(150, 200), QPointF(250, 200));
      break;
    }
    case Motif::Chair: {
      Shadow(p, 200, 150);
      p.setPen(QPen(c.darker(170), 1.2));
      p.setBrush(Round(140, 260, c));
      for (int i = 0; i < 4; ++i) p.drawRect(QRectF(148 + i * 28, 40, 20, 110));
      p.drawRect(QRectF(140, 40, 120, 14));
      p.setBrush(Vertical(150, 170, c.lighter(120), c.darker(120)));
      p.drawRect(QRectF(130, 150, 140, 18));
      p.setBrush(c.darker(120));
      p.drawRect(QRectF(136, 168, 10, kGround - 168));
      p.drawRect(QRectF(254, 168, 10, kGround - 168));
      p.drawRect(QRectF(156, 168, 8, kGround - 178));
      p.drawRect(QRectF(236, 168, 8, kGround - 178));
      break;
    }
    case Motif::Table: {
      Shadow(p, 200, 290);
      p.setPen(QPen(c.darker(170), 1.2));
      p.setBrush(c.darker(125));
      p.drawRect(QRectF(88, 150, 12, kGround - 150));
      p.drawRect(QRectF(300, 150, 12, kGround - 150));
      p.drawRect(QRectF(124, 150, 10, kGround - 162));
      p.drawRect(QRectF(266, 150, 10, kGround - 162));
      QPolygonF top;
      top << QPointF(100, 120) << QPointF(300, 120) << QPointF(330, 150) << QPointF(70, 150);
      p.setBrush(Vertical(120, 150, c.lighter(130), c));
      p.drawPolygon(top);
      p.setBrush(c.darker(140));
      p.drawRect(QRectF(70, 150, 260, 10));
      break;
    }
    case Motif::Bench: {
      Shadow(p, 200, 320);
      p.setPen(QPen(kDark.darker(120), 1.2));
      p.setBrush(kDark);
      p.drawRect(QRectF(60, 90, 14, kGround - 90));
      p.drawRect(QRectF(326, 90, 14, kGround - 90));
      p.setPen(QPen(c.darker(170), 1.2));
      for (int i = 0; i < 3; ++i) {
        p.setBrush(Vertical(96 + i * 22, 112 + i * 22, c.lighter(120), c.darker(115)));
        p.drawRect(QRectF(66, 96 + i * 22, 268, 16));
      }
      for (int i = 0; i < 3; ++i) {
        p.setBrush(Vertical(168 + i * 10, 176 + i * 10, c.lighter(125), c));
        p.drawRect(QRectF(60 - i * 4, 168 + i * 10, 280 + i * 8, 9));
      }
      p.setPen(QPen(kDark, 8, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(60, 150), QPointF(40, 150));
      p.drawLine(QPointF(340, 150), QPointF(360, 150));
      break;
    }
    case Motif::Parasol: {
      Shadow(p, 200, 120);
      p.setPen(QPen(kMetal.darker(150), 1));
      p.setBrush(Round(196, 204, kMetal));
      p.drawRect(QRectF(196, 50, 8, kGround - 60));
      p.setBrush(Round(160, 240, kDark));
      p.drawRoundedRect(QRectF(160, kGround - 16, 80, 16), 4, 4);
      QPainterPath canopy;
      canopy.moveTo(200, 30);
      canopy.lineTo(40, 120);
      for (int i = 0; i < 6; ++i) {
        const double x0 = 40 + i * 53.3;
        canopy.quadTo(x0 + 26.6, 138, x0 + 53.3, 120);
      }
      canopy.closeSubpath();
      p.setPen(QPen(c.darker(160), 1.2));
      QLinearGradient g(40, 0, 360, 0);
      g.setColorAt(0, c.darker(130));
      g.setColorAt(0.45, c.lighter(130));
      g.setColorAt(1, c.darker(140));
      p.setBrush(g);
      p.drawPath(canopy);
      p.setPen(QPen(c.darker(140), 1));
      for (int i = 1; i < 6; ++i) p.drawLine(QPointF(200, 30), QPointF(40 + i * 53.3, 122));
      break;
    }
    case Motif::Lounger: {
      Shadow(p, 200, 320);
      p.setPen(QPen(kMetal.darker(140), 6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(70, kGround), QPointF(90, 190));
      p.drawLine(QPointF(300, kGround), QPointF(290, 190));
      p.drawLine(QPointF(90, 190), QPointF(300, 190));
      p.drawLine(QPointF(300, 190), QPointF(350, 110));
      p.setPen(QPen(c.darker(160), 1.2));
      p.setBrush(Vertical(170, 190, c.lighter(125), c.darker(115)));
      p.drawRoundedRect(QRectF(84, 172, 222, 18), 8, 8);
      QPolygonF back;
      back << QPointF(296, 172) << QPointF(342, 98) << QPointF(360, 108) << QPointF(314, 182);
      p.drawPolygon(back);
      break;
    }
    case Motif::Swing: {
      Shadow(p, 200, 340);
      p.setPen(QPen(kDark, 8, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(60, kGround), QPointF(90, 60));
      p.drawLine(QPointF(340, kGround), QPointF(310, 60));
      p.drawLine(QPointF(80, 60), QPointF(320, 60));
      QPolygonF roof;
      roof << QPointF(70, 60) << QPointF(110, 30) << QPointF(290, 30) << QPointF(330, 60);
      p.setPen(QPen(c.darker(160), 1.2));
      p.setBrush(Vertical(30, 60, c.lighter(120), c.darker(120)));
      p.drawPolygon(roof);
      p.setPen(QPen(kMetal.darker(130), 2));
      p.drawLine(QPointF(120, 60), QPointF(120, 160));
      p.drawLine(QPointF(280, 60), QPointF(280, 160));
      p.setPen(QPen(c.darker(160), 1.2));
      p.setBrush(Vertical(100, 180, c.lighter(125), c));
      p.drawRoundedRect(QRectF(112, 100, 176, 60), 10, 10);
      p.drawRoundedRect(QRectF(106, 156, 188, 20), 8, 8);
      break;
    }
    case Motif::Grill: {
      Shadow(p, 200, 220);
      p.setPen(QPen(kDark, 6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(170, 180), QPointF(130, kGround));
      p.drawLine(QPointF(230, 180), QPointF(270, kGround));
      p.drawLine(QPointF(200, 185), QPointF(200, kGround - 6));
      p.setPen(QPen(c.darker(170), 1.4));
      QPainterPath bowl;
      bowl.moveTo(120, 130);
      bowl.cubicTo(125, 200, 275, 200, 280, 130);
      bowl.closeSubpath();
      p.setBrush(Round(120, 280, c));
      p.drawPath(bowl);
      QPainterPath lid;
      lid.moveTo(118, 128);
      lid.cubicTo(125, 60, 275, 60, 282, 128);
      lid.closeSubpath();
      p.drawPath(lid);
      p.setBrush(kMetal);
      p.drawRoundedRect(QRectF(184, 68, 32, 10), 4, 4);
      p.setBrush(kMetal.darker(120));
      p.drawRect(QRectF(116, 126, 168, 6));
      break;
    }
    case Motif::Lantern: {
      Shadow(p, 200, 120);
      QRadialGradient glow(200, 160, 70);
      glow.setColorAt(0, QColor(255, 230, 150, 200));
      glow.setColorAt(1, QColor(255, 230, 150, 0));
      p.setPen(Qt::NoPen);
      p.setBrush(glow);
      p.drawEllipse(QPointF(200, 160), 70, 70);
      p.setBrush(QColor(250, 246, 236));
      p.drawRect(QRectF(186, 160, 28, 60));
      QRadialGradient flame(200, 148, 10);
      flame.setColorAt(0, QColor(255, 250, 200));
      flame.setColorAt(1, QColor(250, 150, 30));
      p.setBrush(flame);
      p.drawEllipse(QPointF(200, 148), 6, 12);
      p.setPen(QPen(c.darker(150), 5));
      p.setBrush(QColor(255, 255, 255, 40));
      p.drawRect(QRectF(160, 100, 80, kGround - 104));
      p.setBrush(c);
      QPolygonF hood;
      hood << QPointF(150, 100) << QPointF(200, 70) << QPointF(250, 100);
      p.drawPolygon(hood);
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(200, 58), 12, 12);
      break;
    }
    case Motif::Birdhouse: {
      p.setPen(QPen(kWood.darker(160), 1));
      p.setBrush(Round(192, 208, kWood));
      p.drawRect(QRectF(192, 190, 16, kGround - 190));
      Shadow(p, 200, 80);
      QPolygonF body;
      body << QPointF(140, 100) << QPointF(200, 50) << QPointF(260, 100) << QPointF(260, 196)
           << QPointF(140, 196);
      p.setPen(QPen(c.darker(170), 1.2));
      p.setBrush(Round(140, 260, c));
      p.drawPolygon(body);
      QPolygonF roofL, roofR;
      roofL << QPointF(200, 40) << QPointF(124, 106) << QPointF(136, 114) << QPointF(200, 58);
      roofR << QPointF(200, 40) << QPointF(276, 106) << QPointF(264, 114) << QPointF(200, 58);
      p.setBrush(QColor(150, 60, 40));
      p.drawPolygon(roofL);
      p.drawPolygon(roofR);
      p.setBrush(QColor(30, 24, 20));
      p.drawEllipse(QPointF(200, 126), 16, 16);
      p.setPen(QPen(kWood.darker(130), 4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(200, 160), QPointF(200, 176));
      break;
    }
    case Motif::InsectHotel: {
      Shadow(p, 200, 200);
      QPolygonF frame;
      frame << QPointF(110, 90) << QPointF(200, 30) << QPointF(290, 90) << QPointF(290, kGround)
            << QPointF(110, kGround);
      p.setPen(QPen(c.darker(170), 1.4));
      p.setBrush(c);
      p.drawPolygon(frame);
      const QRectF cells[4] = {QRectF(122, 96, 76, 64), QRectF(202, 96, 76, 64), QRectF(122, 164, 76, 68),
                               QRectF(202, 164, 76, 68)};
      for (int k = 0; k < 4; ++k) {
        p.setPen(QPen(c.darker(140), 1));
        p.setBrush(QColor(220, 196, 150));
        p.drawRect(cells[k]);
        for (double y = cells[k].top() + 8; y < cells[k].bottom() - 4; y += 13)
          for (double x = cells[k].left() + 8 + (int(y) % 2) * 4; x < cells[k].right() - 4; x += 13) {
            p.setPen(QPen(QColor(150, 120, 80), 1));
            p.setBrush(k % 2 ? QColor(190, 160, 100) : QColor(170, 130, 80));
            p.drawEllipse(QPointF(x, y), 5.5, 5.5);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(70, 50, 30));
            p.drawEllipse(QPointF(x, y), 2.2, 2.2);
          }
      }
      break;
    }
  }
}

}  // namespace

QImage DrawProductPicture(const PictureSpec& spec, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(width / kW, height / kH);
  if (spec.zoom != 1.0) {
    p.translate(kW / 2, kH / 2);
    p.scale(spec.zoom, spec.zoom);
    p.translate(-kW / 2, -kH / 2 - 10);
  }
  Rng rng(spec.seed);
  DrawScene(p, spec.scene, rng);
  DrawMotif(p, spec.motif, spec.colour, rng);
  p.end();
  return image;
}

QImage DrawCategoryPicture(Motif motif, const QColor& colour, const QColor& field, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(field);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  // The motif fills a 400 x 300 box; fit it into the picture with a margin.
  const double s = std::min(width / kW, height / kH) * 0.92;
  p.translate((width - kW * s) / 2, (height - kH * s) / 2);
  p.scale(s, s);
  p.setPen(Qt::NoPen);
  p.setBrush(field.lighter(112));
  p.drawEllipse(QPointF(kW / 2, kH / 2), kW * 0.48, kH * 0.48);
  Rng rng(uint32_t(int(motif) * 7919 + 17));
  DrawMotif(p, motif, colour, rng);
  p.end();
  return image;
}

QImage DrawBanner(bool house, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(width / 480.0, height / 200.0);
  Rng rng(house ? 4242u : 2424u);
  p.setPen(Qt::NoPen);
  p.setBrush(Vertical(0, 130, QColor(140, 190, 236), QColor(232, 242, 248)));
  p.drawRect(QRectF(0, 0, 480, 140));
  p.setBrush(QColor(255, 244, 200));
  p.drawEllipse(QPointF(410, 36), 20, 20);
  if (house) {
    p.setBrush(QColor(236, 220, 190));
    p.drawRect(QRectF(150, 60, 180, 80));
    QPolygonF roof;
    roof << QPointF(136, 64) << QPointF(240, 14) << QPointF(344, 64);
    p.setBrush(QColor(170, 70, 50));
    p.drawPolygon(roof);
    p.setBrush(QColor(110, 76, 50));
    p.drawRect(QRectF(226, 92, 30, 48));
    p.setBrush(QColor(170, 206, 230));
    p.drawRect(QRectF(170, 84, 34, 28));
    p.drawRect(QRectF(276, 84, 34, 28));
  }
  for (int i = 0; i < 12; ++i) {
    p.setBrush(Mix(QColor(60, 116, 60), QColor(96, 150, 70), rng.Range(0, 1)));
    p.drawEllipse(QPointF(i * 44 + rng.Range(-8, 8), 134), rng.Range(26, 38), rng.Range(16, 24));
  }
  p.setBrush(Vertical(136, 200, QColor(124, 180, 84), QColor(76, 136, 52)));
  p.drawRect(QRectF(0, 136, 480, 64));
  // A picket fence along the lawn and flower beds in front of it.
  p.setPen(QPen(QColor(200, 200, 196), 1));
  p.setBrush(QColor(250, 250, 246));
  for (int i = 0; i < 24; ++i) {
    QPolygonF picket;
    const double x = 6 + i * 20;
    picket << QPointF(x, 150) << QPointF(x + 5, 142) << QPointF(x + 10, 150) << QPointF(x + 10, 178)
           << QPointF(x, 178);
    p.drawPolygon(picket);
  }
  p.drawRect(QRectF(0, 156, 480, 5));
  p.drawRect(QRectF(0, 168, 480, 5));
  const QColor flowers[4] = {QColor(220, 50, 70), QColor(250, 190, 40), QColor(180, 90, 210),
                             QColor(250, 250, 250)};
  for (int i = 0; i < 40; ++i)
    Blossom(p, rng.Range(0, 480), rng.Range(178, 198), rng.Range(4, 6.5), flowers[rng.Next() % 4]);
  p.end();
  return image;
}

QImage DrawBackgroundTexture(int size) {
  // Periodic in both directions: every term repeats over `size` pixels.
  QImage image(size, size, QImage::Format_RGB32);
  const double k = 2 * M_PI / size;
  for (int y = 0; y < size; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size; ++x) {
      const double fibre = 3.0 * std::sin(k * (7 * x + 2 * y)) + 2.0 * std::sin(k * (3 * x - 11 * y)) +
                           1.5 * std::sin(k * (23 * x + 17 * y)) + 1.0 * std::cos(k * (31 * x - 29 * y));
      const double cloud = 4.0 * std::sin(k * (x + y)) * std::cos(k * (2 * x - y));
      const double v = fibre + cloud;
      line[x] =
          qRgb(int(std::lround(236 + v)), int(std::lround(240 + v * 0.9)), int(std::lround(224 + v * 0.8)));
    }
  }
  // Faint leaf outlines, drawn wrapped so the tile stays seamless.
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  Rng rng(777);
  for (int i = 0; i < 9; ++i) {
    const double x = rng.Range(0, size);
    const double y = rng.Range(0, size);
    const double len = rng.Range(size * 0.12, size * 0.2);
    const double angle = rng.Range(0, 360);
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        Leaf(p, x + dx * size, y + dy * size, len, angle, QColor(206, 222, 190));
  }
  p.end();
  return image;
}

QImage DrawLogo(int size) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(size / 200.0, size / 200.0);
  p.setPen(QPen(QColor(24, 84, 40), 6));
  QRadialGradient disc(80, 70, 120);
  disc.setColorAt(0, QColor(96, 170, 80));
  disc.setColorAt(1, QColor(34, 110, 50));
  p.setBrush(disc);
  p.drawEllipse(QPointF(100, 100), 92, 92);
  // The garden house.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 246, 230));
  p.drawRect(QRectF(58, 96, 84, 58));
  QPolygonF roof;
  roof << QPointF(46, 100) << QPointF(100, 52) << QPointF(154, 100);
  p.setBrush(QColor(196, 72, 48));
  p.drawPolygon(roof);
  p.setBrush(QColor(120, 80, 50));
  p.drawRect(QRectF(90, 116, 22, 38));
  p.setBrush(QColor(150, 200, 230));
  p.drawRect(QRectF(66, 108, 18, 16));
  p.drawRect(QRectF(118, 108, 18, 16));
  // A leaf springing from the roof ridge.
  Leaf(p, 100, 54, 44, -62, QColor(200, 230, 90));
  // The lawn.
  p.setBrush(QColor(200, 230, 90));
  QPainterPath lawn;
  lawn.moveTo(30, 154);
  lawn.quadTo(100, 140, 170, 154);
  lawn.lineTo(166, 164);
  lawn.quadTo(100, 152, 34, 164);
  lawn.closeSubpath();
  p.drawPath(lawn);
  p.end();
  return image;
}

}  // namespace samplegen
