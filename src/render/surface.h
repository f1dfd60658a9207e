// DrawingSurface: the canvas every renderer draws on (preview bitmap,
// printer page, export bitmaps, test recorders).
//
// The class holds the drawing state itself (font, pen, brush, text
// background, current position) and applies the rules that are pure state
// logic, so every surface behaves the same; a concrete surface implements
// only the protected Do* primitives, the text metrics and the device access.
//
// Coordinates are whole pixels, origin top left, y growing downward.
// Colours are 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <string>

#include "core/settings.h"
#include "imaging/dib/dib.h"

namespace render {

enum class PenStyle { Solid, Clear };  // a clear pen draws nothing
enum class BrushStyle { Solid, Clear };

// Ordinary pens are cosmetic: the end point of a line is not drawn. A
// geometric pen is solid, of the pen's colour and width, with flat (or
// square) line ends and round joins; it is used for separators, frames and
// band outlines.
enum class PenKind { Cosmetic, GeometricFlat, GeometricSquare };

struct PenState {
  TColor color = 0;
  int32_t width = 1;
  PenStyle style = PenStyle::Solid;
  PenKind kind = PenKind::Cosmetic;
};

struct BrushState {
  TColor color = 0xFFFFFF;
  BrushStyle style = BrushStyle::Solid;
};

struct SurfacePoint {
  int32_t x = 0, y = 0;
};

// What a stretch of drawing is in the catalog's structure, for documents
// that carry it (the tagged vector PDF): headings of main categories,
// categories and products, paragraphs, tables with their rows and header
// and data cells, pictures, and page furniture that is no part of the text
// (Artifact).
enum class StructTag {
  Heading1,
  Heading2,
  Heading3,
  Paragraph,
  Table,
  TableRow,
  HeaderCell,
  Cell,
  Figure,
  Artifact
};

class DrawingSurface {
 public:
  DrawingSurface();
  virtual ~DrawingSurface();
  DrawingSurface(const DrawingSurface&) = delete;
  DrawingSurface& operator=(const DrawingSurface&) = delete;

  // ---- Font ----------------------------------------------------------
  // Copies name, point size, style, colour and character set from a role
  // font; the font's pixels-per-inch stays as it was.
  void SetFont(const TFontSpec& f);
  void SetFontSize(int32_t points);  // values below 1 become 1
  void SetFontColor(TColor c);
  void SetFontPpi(int32_t ppi);  // values below 1 become 1
  const TFontSpec& Font() const { return font_; }
  // points * ppi / 72, rounded half away from zero (the em height in px).
  int32_t FontPixelSize() const;
  // The em height in pixels that the layout measured the text for, unrounded
  // (the unzoomed size at the surface's resolution times the zoom); 0 when
  // unknown. A surface that draws real glyphs draws each text run exactly as
  // wide as this size gives, not as wide as the rounded FontPixelSize(), so
  // text ends where the layout expects at every zoom. Every other font call
  // resets it: set it last.
  void SetFontEmPixels(double px);
  double FontEmPixels() const { return em_px_; }
  // Changes whenever any font property changes (measurement caches key on
  // it). Serials are unique across all surfaces of the process, so a serial
  // names one font state of one surface.
  uint64_t FontSerial() const { return font_serial_; }
  // Sets the whole font state at once, as Font() and FontEmPixels() read it
  // back (no clamping: take the values from a surface that had them).
  void AssignFont(const TFontSpec& font, double em_px);

  // ---- Pen -----------------------------------------------------------
  // Each of these makes the pen an ordinary (cosmetic) pen again.
  void SetPenColor(TColor c);
  void SetPenWidth(int32_t px);  // negative widths become 0
  void SetPenStyle(PenStyle s);
  // Turns the current colour and width into a solid geometric pen. Any
  // later SetPen* call returns to an ordinary pen, so set colour and width
  // first.
  void SetGeometricPen(bool square_ends = false);
  const PenState& Pen() const { return pen_; }

  // ---- Brush and text background ---------------------------------------
  // Setting the brush colour also makes the brush solid.
  void SetBrushColor(TColor c);
  void SetBrushStyle(BrushStyle s);
  const BrushState& Brush() const { return brush_; }
  // Text is drawn without background until the brush is next changed.
  void SetTransparentText();
  bool TransparentText() const { return transparent_; }
  // Whether TextOut paints the text cell in the brush colour first: not in
  // transparent mode, and only with a solid brush.
  bool TextOpaque() const { return !transparent_ && brush_.style == BrushStyle::Solid; }

  // ---- Text ------------------------------------------------------------
  // (x, y) is the top-left corner of the text cell. The text is drawn as
  // given: callers strip control characters first.
  void TextOut(int32_t x, int32_t y, const std::u16string& s);
  // Size of the text cell in pixels for the current font.
  virtual int32_t TextWidth(const std::u16string& s) = 0;
  virtual int32_t TextHeight(const std::u16string& s) = 0;

  // ---- Lines and shapes --------------------------------------------------
  void MoveTo(int32_t x, int32_t y);
  // Line from the current position with the current pen; with an ordinary
  // pen the end point is not drawn. The position moves to (x, y).
  void LineTo(int32_t x, int32_t y);
  SurfacePoint PenPos() const { return pos_; }
  // Outline with the pen, interior with the brush. Corners may come in any
  // order; the right and bottom edges are exclusive. With a clear pen the
  // filled area is one pixel narrower and lower: x1 ... x2 - 2, y1 ... y2 - 2.
  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  // Arc of the ellipse inscribed in the box (x1, y1)-(x2, y2),
  // counter-clockwise from the ray through (x3, y3) to the ray through
  // (x4, y4), both rays from the box centre.
  void Arc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4, int32_t y4);

  // ---- Device access for pictures ----------------------------------------
  // A raster printer scales pictures itself (stretched transfer).
  virtual bool IsRasterPrinter() const { return false; }
  // The drawable area in pixels, if the surface knows it (picture transfers
  // then skip what falls outside). False: unbounded or unknown.
  virtual bool Extent(int32_t& width, int32_t& height) const {
    (void)width;
    (void)height;
    return false;
  }
  // Stretched transfer of the source rectangle (sx, sy, sw, sh) of `pic`
  // onto (dx, dy, dw, dh), colour-on-colour (rows and columns dropped, not
  // blended) unless the device scales on its own. sy counts from the
  // bottom row, as in the dib. False when the device refuses.
  virtual bool StretchDib(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx,
                          int32_t sy, int32_t sw, int32_t sh) = 0;
  // Row transfer: writes the one-pixel-high picture `row` (24 or 8 bits,
  // the 8-bit one with its colour table) 1:1 at (x, y).
  virtual void SetDibRow(int32_t x, int32_t y, const dib& row) = 0;
  // Block transfer of a whole picture 1:1 at (x, y); false when the device
  // does not accept it. The default writes it row by row.
  virtual bool SetDibBlock(int32_t x, int32_t y, const dib& block);
  // A finished bitmap 1:1 at (x, y) (preview only).
  virtual void CopyBitmap(int32_t x, int32_t y, const dib& bmp) = 0;

  // ---- Navigation (documents with links only) ----------------------------
  // The area x1 <= x < x2, y1 <= y < y2 leads to `page` (counted from 1) of
  // the same document, e.g. an entry of the table of contents. Surfaces
  // without links ignore it; nothing is drawn.
  virtual void LinkToPage(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t page) {
    (void)x1, (void)y1, (void)x2, (void)y2, (void)page;
  }

  // ---- Structure (tagged documents only) ------------------------------------
  // What is drawn from BeginTag to the matching EndTag is `tag`, inside the
  // tags still open; `alt` is a picture's alternative text. Tags nest and
  // may stay open across pages. Surfaces without structure ignore them;
  // nothing is drawn.
  virtual void BeginTag(StructTag tag, const std::u16string& alt = std::u16string()) { (void)tag, (void)alt; }
  virtual void EndTag() {}

 protected:
  // Primitives with the state rules already applied. Implementations read
  // Font(), Pen(), Brush() and TextOpaque() for everything else.
  // The text, opaque background included when TextOpaque().
  virtual void DoTextOut(int32_t x, int32_t y, const std::u16string& s) = 0;
  // Fills x1 <= x < x2, y1 <= y < y2 in colour c (x1 < x2, y1 < y2).
  virtual void DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor c) = 0;
  // Strokes the outline through the pixel centres of the corners (x1, y1)
  // and (x2 - 1, y2 - 1) with the current (visible) pen.
  virtual void DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  // A line with the current (visible) pen; an ordinary pen leaves out the
  // end point, a geometric pen ends flat (or square) at it.
  virtual void DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  // The arc, box normalised (x1 <= x2, y1 <= y2), with the current pen.
  virtual void DoArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                     int32_t y4) = 0;

 private:
  // The router of a pass over every page keeps the state and replays the
  // primitives on the surface of the page being drawn.
  friend class PageRouter;
  void FontChanged();
  // The state of a new surface.
  void ResetState();

  TFontSpec font_;
  double em_px_ = 0;
  uint64_t font_serial_ = 0;
  PenState pen_;
  BrushState brush_;
  bool transparent_ = false;
  SurfacePoint pos_;
};

// A tag open for the lifetime of the scope (when `on`).
class TagScope {
 public:
  TagScope(DrawingSurface& s, StructTag tag, bool on = true, const std::u16string& alt = std::u16string())
      : s_(s), on_(on) {
    if (on_) s_.BeginTag(tag, alt);
  }
  ~TagScope() {
    if (on_) s_.EndTag();
  }
  TagScope(const TagScope&) = delete;
  TagScope& operator=(const TagScope&) = delete;

 private:
  DrawingSurface& s_;
  const bool on_;
};

}  // namespace render
