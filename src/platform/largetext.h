// Large text filled as the raster engine fills it, only faster.
//
// Above the size its glyph cache holds (64 pixels), Qt's raster engine
// draws a run of text by filling the outlines of all its glyphs as one
// shape. Its rasteriser keeps each pixel row's cells in a list that is
// walked for every new cell, and its cell memory overflows on a long
// heading (the shape is then drawn again in bands), so a page of large
// headings at print resolutions spends most of its drawing time there.
//
// The filler fills the same outlines (the same glyphs at the same
// positions, under the painter's transformation) in pieces: glyphs whose
// pixels cannot touch those of their neighbours on their own, glyphs that
// may share a pixel together. Every pixel is covered by exactly the
// outlines that cover it in the whole shape, so the pixels are the same;
// a heading fills in a fraction of the time.
#pragma once

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QString>
#include <map>

namespace platform {

class LargeTextFiller {
 public:
  // Draws `text` in the painter's font and pen at the origin (the baseline
  // at y = 0) as drawText(QPointF(0, 0), text) would, and returns true;
  // returns false, drawing nothing, for text it leaves to the engine: not
  // a raster engine, no text antialiasing, glyphs the engine draws from
  // its cache (small, or coloured), larger than kMaxPx as drawn, lines
  // under, over or through the text, right-to-left text, and runs that
  // need a second font.
  bool Fill(QPainter& painter, const QString& text);

  // The largest size (pixels as drawn) filled here; larger text was not
  // compared pixel for pixel with the engine's.
  static constexpr int kMaxPx = 200;

 private:
  struct GlyphOutline {
    QPainterPath path;  // at the origin, at the font's pixel size
    QRectF bounds;      // of its control points
  };
  bool OutlineFont(const QRawFont& font);
  const GlyphOutline& Outline(const QRawFont& font, quint32 glyph);

  static constexpr int kMaxGlyphOutlines = 4000;  // a few megabytes; an export uses a few hundred
  std::map<QString, bool> outlineFonts_;          // by family and style: see OutlineFont
  QHash<QRawFont, QHash<quint32, GlyphOutline>> glyphs_;
  int glyphCount_ = 0;
};

}  // namespace platform
