#include "platform/largetext.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <vector>

#include "platform/guiapp.h"

namespace {

class LargeText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(platform::EnsureGuiApplication()); }

  struct Drawing {
    QImage image;
    bool filled = false;
  };
  // The text drawn as the page surfaces draw a stretched run: translated to
  // its baseline, scaled across, at the origin. By the engine, or by the
  // filler (falling back to the engine when it declines).
  static Drawing Draw(const QFont& font, const QString& text, double sx, double y, bool filler,
                      platform::LargeTextFiller* shared = nullptr) {
    Drawing d;
    d.image = QImage(1400, 260, QImage::Format_RGB32);
    d.image.fill(Qt::white);
    QPainter p(&d.image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(font);
    p.setPen(QColor(20, 60, 200));
    p.translate(7, y);
    p.scale(sx, 1.0);
    platform::LargeTextFiller own;
    if (filler) d.filled = (shared ? shared : &own)->Fill(p, text);
    if (!d.filled) p.drawText(QPointF(0, 0), text);
    return d;
  }

  static QFont Font(const char* family, int px, bool bold = false, bool italic = false) {
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(px);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
  }
};

// Headings in the catalog's fonts, stretched as the layout stretches them,
// at sizes the page outputs reach: pixel for pixel what the engine draws.
// Kerned and ligated pairs, umlauts, quotes and touching italic glyphs put
// glyphs close enough to share pixels.
TEST_F(LargeText, FillsThePixelsTheEngineFills) {
  // Combining marks over the glyph before (fonts without them need a
  // second font: left to the engine).
  const QString kMarks = QString::fromUtf8("Cafe\u0301 An\u0303o");
  const std::vector<QString> texts = {QStringLiteral("GARTEN UND PFLANZEN"),
                                      QString::fromUtf8("Gießkanne „Toskana“ – verzinkt 12,95 €"),
                                      QStringLiteral("AVAWAY Tj ffi fl Wolf 'VA'"),
                                      QString::fromUtf8("Blumentöpfe und Pflanzgefäße"), kMarks};
  platform::LargeTextFiller filler;  // one for all, as a surface keeps one
  int compared = 0, marksFilled = 0;
  for (const char* family : {"DejaVu Sans", "DejaVu Serif", "Liberation Sans", "Liberation Serif"})
    for (bool bold : {false, true})
      for (int px : {66, 97, 150, 190})
        for (double sx : {1.0031, 0.9871})
          for (const QString& text : texts) {
            SCOPED_TRACE(testing::Message() << family << (bold ? " bold " : " ") << px << " px x" << sx << " "
                                            << text.toStdString());
            const QFont font = Font(family, px, bold, !bold && px == 97);
            const double y = 180 + (px % 3) * 0.3;  // fractional baselines too
            const Drawing engine = Draw(font, text, sx, y, false);
            const Drawing ours = Draw(font, text, sx, y, true, &filler);
            if (text == kMarks)
              marksFilled += ours.filled;
            else
              EXPECT_TRUE(ours.filled);
            EXPECT_TRUE(engine.image == ours.image);
            ++compared;
          }
  EXPECT_EQ(compared, 320);
  EXPECT_GT(marksFilled, 0);
}

// What the filler leaves to the engine it does not touch: the engine's
// cached small glyphs, text beyond the compared sizes, decorated and
// right-to-left text, and painters that are not the raster engine.
TEST_F(LargeText, LeavesEverythingElseToTheEngine) {
  const QString heading = QStringLiteral("Katalog");
  auto declines = [](QPainter& p, const QString& text) {
    platform::LargeTextFiller filler;
    return !filler.Fill(p, text);
  };
  struct Case {
    const char* what;
    QFont font;
    QString text;
    double sx;
  };
  QFont underlined = Font("DejaVu Sans", 120);
  underlined.setUnderline(true);
  QFont crossed = Font("DejaVu Sans", 120);
  crossed.setStrikeOut(true);
  const std::vector<Case> cases = {
      {"cached size", Font("DejaVu Sans", 63), heading, 1.0},
      {"cached once narrowed", Font("DejaVu Sans", 70), heading, 0.8},
      {"beyond the compared sizes", Font("DejaVu Sans", 240), heading, 1.0031},
      {"underlined", underlined, heading, 1.0031},
      {"struck out", crossed, heading, 1.0031},
      {"right to left", Font("DejaVu Sans", 120), QString::fromUtf8("קטלוג"), 1.0031},
      {"mixed directions", Font("DejaVu Sans", 120), QString::fromUtf8("Katalog קטלוג"), 1.0031},
      {"empty", Font("DejaVu Sans", 120), QString(), 1.0031},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QImage image(900, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QImage before = image;
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(c.font);
    p.translate(5, 200);
    p.scale(c.sx, 1.0);
    EXPECT_TRUE(declines(p, c.text));
    p.end();
    EXPECT_TRUE(image == before);
  }
  {
    SCOPED_TRACE("no text antialiasing");
    QImage image(900, 300, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(Font("DejaVu Sans", 120));
    EXPECT_TRUE(declines(p, heading));
  }
  {
    SCOPED_TRACE("a recording, not a raster engine");
    QPicture picture;
    QPainter p(&picture);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(Font("DejaVu Sans", 120));
    p.scale(1.0031, 1.0);
    EXPECT_TRUE(declines(p, heading));
  }
}

}  // namespace
