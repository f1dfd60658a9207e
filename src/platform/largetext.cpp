#include "platform/largetext.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {

// Whether the raster engine fills the glyphs of a font of `pixelSize` under
// `m` as outlines rather than drawing them from its glyph cache: the cache
// holds glyphs up to 64 pixels (or QT_MAX_CACHED_GLYPH_SIZE), measured as
// the engine measures them.
bool EngineFillsOutlines(qreal pixelSize, const QTransform& m) {
  static const int limitSquared = [] {
    const int env = qEnvironmentVariableIntValue("QT_MAX_CACHED_GLYPH_SIZE");
    const int limit = env ? env : 64;
    return limit * limit;
  }();
  return m.type() < QTransform::TxProject && !(pixelSize * pixelSize * qAbs(m.determinant()) < limitSquared);
}

// Text whose layout is the plain left-to-right run of its characters.
bool LeftToRightOnly(const QString& text) {
  for (const QChar c : text) {
    switch (c.direction()) {
      case QChar::DirR:
      case QChar::DirAL:
      case QChar::DirRLE:
      case QChar::DirRLO:
      case QChar::DirRLI:
      case QChar::DirFSI:
      case QChar::DirLRE:
      case QChar::DirLRO:
      case QChar::DirLRI:
      case QChar::DirPDF:
      case QChar::DirPDI:
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace

bool LargeTextFiller::OutlineFont(const QRawFont& font) {
  const QString key = font.familyName() + u'\n' + font.styleName();
  auto it = outlineFonts_.find(key);
  if (it == outlineFonts_.end()) {
    // Glyph outlines and no coloured glyphs: the engine draws such a font
    // as filled outlines at large sizes.
    const bool outlines = !font.fontTable("glyf").isEmpty() || !font.fontTable("CFF ").isEmpty();
    const bool colour = !font.fontTable("CBDT").isEmpty() || !font.fontTable("sbix").isEmpty() ||
                        !font.fontTable("COLR").isEmpty() || !font.fontTable("SVG ").isEmpty();
    it = outlineFonts_.emplace(key, outlines && !colour).first;
  }
  return it->second;
}

const LargeTextFiller::GlyphOutline& LargeTextFiller::Outline(const QRawFont& font, quint32 glyph) {
  if (glyphCount_ > kMaxGlyphOutlines) {
    glyphs_.clear();
    glyphCount_ = 0;
  }
  QHash<quint32, GlyphOutline>& ofFont = glyphs_[font];
  auto it = ofFont.find(glyph);
  if (it == ofFont.end()) {
    GlyphOutline g;
    g.path = font.pathForGlyph(glyph);
    g.bounds = g.path.controlPointRect();
    it = ofFont.insert(glyph, g);
    ++glyphCount_;
  }
  return *it;
}

bool LargeTextFiller::Fill(QPainter& painter, const QString& text) {
  const QFont& font = painter.font();
  if (painter.paintEngine()->type() != QPaintEngine::Raster ||
      !painter.testRenderHint(QPainter::TextAntialiasing) || (font.styleStrategy() & QFont::NoAntialias) ||
      font.underline() || font.overline() || font.strikeOut() || text.isEmpty() || !LeftToRightOnly(text))
    return false;
  const QTransform m = painter.combinedTransform();
  // Cheap test first: the pixel size of the font as drawn.
  if (!EngineFillsOutlines(font.pixelSize(), m)) return false;
  QTextLayout layout(text, font, painter.device());
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTextDirection(Qt::LeftToRight);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (!line.isValid()) return false;
  line.setLineWidth(1e6);  // one line whatever its length (NoWrap); within QFixed
  layout.endLayout();
  const QList<QGlyphRun> runs = layout.glyphRuns();
  // One font for the whole run: glyphs of a fallback font the engine fills
  // apart, in pieces of its own.
  if (runs.size() != 1) return false;
  const QGlyphRun& run = runs.front();
  const QRawFont raw = run.rawFont();
  // Sizes beyond kMaxPx are left to the engine: compared pixel by
  // pixel up to there.
  if (!EngineFillsOutlines(raw.pixelSize(), m) ||
      raw.pixelSize() * std::sqrt(qAbs(m.determinant())) > kMaxPx || !OutlineFont(raw))
    return false;
  const QList<quint32> glyphs = run.glyphIndexes();
  const QList<QPointF> positions = run.positions();
  if (glyphs.size() != positions.size()) return false;
  const QPointF baseline(0, -line.ascent());
  std::vector<GlyphOutline> outlines;
  outlines.reserve(static_cast<size_t>(glyphs.size()));
  for (qsizetype i = 0; i < glyphs.size(); ++i) outlines.push_back(Outline(raw, glyphs[i]));

  const bool antialiased = painter.testRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::Antialiasing, true);
  const QBrush brush = painter.pen().brush();
  auto fill = [&](qsizetype first, qsizetype last) {
    QPainterPath piece;
    piece.setFillRule(Qt::WindingFill);
    for (qsizetype i = last; i >= first; --i)
      if (!outlines[static_cast<size_t>(i)].path.isEmpty())
        piece.addPath(outlines[static_cast<size_t>(i)].path.translated(positions[i] + baseline));
    painter.fillPath(piece, brush);
  };
  // Pieces in the order of the run, each glyph a piece of its own at first
  // (its pixels: its control points' box on the device, a pixel wider on
  // each side); a piece whose pixels reach those of an earlier one is
  // merged with it and with every piece between them.
  struct Piece {
    qsizetype first, last;
    double left, right;
  };
  std::vector<Piece> pieces;
  for (qsizetype i = 0; i < glyphs.size(); ++i) {
    const GlyphOutline& g = outlines[static_cast<size_t>(i)];
    if (g.path.isEmpty()) continue;
    const QRectF box = m.mapRect(g.bounds.translated(positions[i] + baseline));
    Piece piece{i, i, std::floor(box.left()) - 1, std::ceil(box.right()) + 1};
    size_t from = pieces.size();
    for (size_t k = 0; k < pieces.size(); ++k)
      if (piece.left <= pieces[k].right && piece.right >= pieces[k].left) {
        from = k;
        break;
      }
    for (size_t k = from; k < pieces.size(); ++k) {
      piece.first = std::min(piece.first, pieces[k].first);
      piece.left = std::min(piece.left, pieces[k].left);
      piece.right = std::max(piece.right, pieces[k].right);
    }
    pieces.resize(from);
    pieces.push_back(piece);
  }
  for (const Piece& p : pieces) fill(p.first, p.last);
  painter.setRenderHint(QPainter::Antialiasing, antialiased);
  return true;
}

}  // namespace platform
