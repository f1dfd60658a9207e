// PdfSurface: a DrawingSurface that writes a PDF content stream instead of
// pixels. Coordinates stay the renderers' device pixels: the stream starts
// with a matrix that maps them (y downward) onto the trim box of the page.
//
// Text is text in the role font (see FontSet) at the surface's pixel size,
// positioned where the renderers put it with the baseline at the font's
// rounded ascent, each run as wide as the layout measured it, as the
// QPainter surfaces draw it. Rectangles and axis
// lines are filled areas with the exact pixel edges of the bitmap surfaces;
// other lines and arcs are stroked paths. Pictures are image objects (see
// PictureStore) clipped to their destination rectangle.
//
// Bleed: filled areas and pictures that touch an edge of the page reach
// `bleed` pixels beyond it (pictures by repeating their edge pixels), so
// trimming leaves no white seam; nothing else moves. The trim box starts
// `bleedPt` points from the media box's corner (exact, not a whole number
// of pixels); `bleed` pixels must cover at least that much.
//
// Black in CMYK: black text and black rules are black ink only and
// overprint (ExtGState /OP, /op true, /OPM 1), so a tinted background is
// not knocked out under them; large black areas (over 1 cm², both sides
// over 1 mm) knock out and may be rich black (InkOptions).
//
// Structure: with a TagTree the surface is tagged. Content between
// BeginTag and EndTag is marked (BDC / EMC with an MCID) as part of the
// element; content of no element is an /Artifact, except text outside
// every tag, which becomes a paragraph of its own (one per stretch of text
// between two tags).
//
// Errors (a font that cannot be found or embedded) are sticky: the surface
// draws nothing more and error() names the font.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "render/surface.h"

namespace pdfimg {
class CmykConverter;
}
namespace render {
class TextMeasurer;
}

namespace pdfvec {

class FontSet;
class PictureStore;
class PdfWriter;
class TagTree;
struct FontFace;
struct ShapedGlyph;

// What a colour paints, as far as inks are concerned.
enum class InkUse {
  Text,      // glyphs, their underlines and strikeouts
  ThinRule,  // lines and areas thinner than 1 pt
  Small,     // other rules and areas up to 1 cm² (or up to 1 mm across)
  Large,     // areas over 1 cm² and over 1 mm across both ways
};

// How black and grey are separated in CMYK output.
struct InkOptions {
  bool overprintBlack = true;             // black (K only) text, rules and small areas overprint
  bool grayAsK = true;                    // neutral greys of text and thin rules: black ink only
  bool richBlack = false;                 // black Large areas in `rich` instead of K only
  double rich[4] = {0.6, 0.4, 0.4, 1.0};  // C, M, Y, K, each 0 ... 1
};

// Colour operators for RGB or CMYK output; in CMYK pure black is black ink
// only (0 0 0 1), every other colour goes through the converter.
class ColourOps {
 public:
  ColourOps(bool cmyk, const pdfimg::CmykConverter* conv, const InkOptions& ink = InkOptions())
      : cmyk_(cmyk), conv_(conv), ink_(ink) {}
  // "r g b rg" / "c m y k k" (stroke: RG / K).
  std::string Op(TColor c, bool stroke);
  // The operator for `c` painting `use` (InkOptions applied); `overprint`
  // is set when the object is to overprint.
  std::string Op(TColor c, bool stroke, InkUse use, bool& overprint);
  bool cmyk() const { return cmyk_; }
  // The highest total of the four inks (0 ... 4) among the colours made.
  double maxInk() const { return maxInk_; }

 private:
  std::string Cmyk(const double k[4]);
  bool cmyk_;
  const pdfimg::CmykConverter* conv_;
  InkOptions ink_;
  std::map<TColor, std::string> cache_;
  double maxInk_ = 0;
};

struct PageLink {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // device pixels of the page
  int32_t page = 0;                       // > 0: a page of this document
  std::string uri;                        // else a web address
};

class PdfSurface : public render::DrawingSurface {
 public:
  // `width` x `height` device pixels make one page; `ptPerPx` points per
  // pixel across and down. `measuring`: a surface for the silent layout
  // pass that records nothing. `metrics`: the layout's measurer, whose
  // run widths and line heights the surface measures and draws with (each
  // run's glyphs scaled to its measured width), as every other surface
  // does; null: the embedded faces' own advances and heights.
  // `bleedPt`: where the trim box starts from the media box's corner, in
  // points (the bleed, plus the slug when there are marks); < 0: bleedPx
  // pixels of ptPerPxX points.
  PdfSurface(FontSet& fonts, PictureStore& pictures, PdfWriter& writer, ColourOps& colours, int32_t width,
             int32_t height, double ptPerPxX, double ptPerPxY, int32_t bleedPx, bool measuring,
             render::TextMeasurer* metrics = nullptr, double bleedPt = -1);
  ~PdfSurface() override;

  // Starts a new page: empty content, no resources, no links. Open tags
  // stay open.
  void BeginPage();
  // Tags go into `tree` from now on (null: they are ignored).
  void SetTagTree(TagTree* tree) { tree_ = tree; }
  // The page's content stream (the matrix to points included).
  std::string TakeContent();
  const std::set<FontFace*>& fonts() const { return fonts_; }
  const std::map<std::string, int32_t>& images() const { return images_; }
  const std::vector<PageLink>& links() const { return links_; }
  // The page uses the ExtGStates /GSop (overprint) and /GSko (knock out).
  bool overprintUsed() const { return overprintUsed_; }

  // What the page drew, for the preflight: each picture drawn with the
  // size it covers, the role fonts asked for with the face printed, the
  // characters each face lacked, and texts that run past the page's edge.
  struct PictureUse {
    const void* entry;  // the PictureStore entry (one per object)
    std::string file;
    int32_t width, height;  // pixels written
    double inchesW, inchesH;
  };
  const std::vector<PictureUse>& pictureUses() const { return pictureUses_; }
  struct AskedFont {
    std::u16string name;
    bool bold, italic;
    FontFace* face;
  };
  const std::vector<AskedFont>& askedFonts() const { return askedFonts_; }
  const std::map<FontFace*, std::u16string>& missingCharacters() const { return missingChars_; }
  const std::vector<std::u16string>& textsPastPage() const { return pastPage_; }

  const std::string& error() const { return error_; }

  // Content that draws `s` with its baseline from (x, baseline) in points of
  // the media box (y upward), outside the page's matrix, in `f` at `sizePt`
  // and the fill colour in force where it is placed; the faces it uses
  // become fonts of the page. Empty when the font cannot be used (the
  // surface's own drawing is not affected).
  std::string TextInPoints(const TFontSpec& f, double x, double baseline, double sizePt,
                           const std::u16string& s);

  int32_t TextWidth(const std::u16string& s) override;
  int32_t TextHeight(const std::u16string& s) override;
  bool IsRasterPrinter() const override { return true; }  // pictures arrive whole (StretchDib)
  bool Extent(int32_t& width, int32_t& height) const override;
  bool StretchDib(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, int32_t sx, int32_t sy,
                  int32_t sw, int32_t sh) override;
  void SetDibRow(int32_t x, int32_t y, const dib& row) override;
  bool SetDibBlock(int32_t x, int32_t y, const dib& block) override;
  void CopyBitmap(int32_t x, int32_t y, const dib& bmp) override;
  void LinkToPage(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t page) override;
  void BeginTag(render::StructTag tag, const std::u16string& alt = std::u16string()) override;
  void EndTag() override;

 protected:
  void DoTextOut(int32_t x, int32_t y, const std::u16string& s) override;
  void DoFillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor c) override;
  void DoFrameRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DoLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DoArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
             int32_t y4) override;

 private:
  FontFace* CurrentFace();
  // The em size the text is measured at: the layout's exact one, else the
  // whole pixel size.
  double EmPixels() const;
  // Width of `s` in the current font at EmPixels(), unrounded.
  double RunWidth(FontFace& face, const std::u16string& s);
  // Rounded ascent and descent at the whole pixel size.
  void LineMetrics(FontFace& face, int32_t& ascent, int32_t& descent);
  void Fill(int64_t x1, int64_t y1, int64_t x2, int64_t y2, TColor c);  // with bleed
  void FlushFill();
  void Emit(const std::string& s);
  void SetFillColour(TColor c, InkUse use);
  void SetStroke(TColor c, double width, int cap, InkUse use);
  void SetOverprint(bool on);
  // The InkUse of an area of w x h pixels, or of a line w pixels wide (h 0).
  InkUse UseOf(double w, double h) const;
  void DrawImage(int32_t dx, int32_t dy, int32_t dw, int32_t dh, const dib& pic, double fx, double fy,
                 double fw, double fh);
  // Opens the marked content that what is drawn next (text or not) belongs
  // to, closing the one before when it differs.
  void Mark(bool text);
  void NoteMissingCharacters(FontFace& f, const std::u16string& s, const std::vector<ShapedGlyph>& glyphs);
  void FindWebAddresses(int32_t x, int32_t y, const std::u16string& s, FontFace& face);

  FontSet& fontset_;
  PictureStore& pictures_;
  PdfWriter& writer_;
  ColourOps& colours_;
  const int32_t width_, height_;
  const double ptx_, pty_;
  const int32_t bleed_;
  const bool measuring_;
  render::TextMeasurer* const metrics_;
  const double bleedPt_;

  std::string content_;
  std::set<FontFace*> fonts_;
  std::map<std::string, int32_t> images_;
  std::vector<PageLink> links_;
  std::vector<PictureUse> pictureUses_;
  std::vector<AskedFont> askedFonts_;
  std::map<FontFace*, std::u16string> missingChars_;
  std::vector<std::u16string> pastPage_;
  std::string error_;

  // Graphics state of the stream as written.
  std::string fill_, stroke_;
  double linewidth_ = -1;
  int cap_ = -1;
  bool overprint_ = false, overprintUsed_ = false;
  // A fill not yet written: consecutive rows of one colour (gradients are
  // drawn a row at a time) become one rectangle.
  bool pending_ = false;
  int64_t px1_ = 0, py1_ = 0, px2_ = 0, py2_ = 0;
  TColor pc_ = 0;

  // Structure: the open elements (innermost last; kArtifact for an
  // artifact), the paragraph of text outside every tag, the marked
  // content open in the stream (an element, kArtifact or kNoMark).
  static constexpr int32_t kArtifact = -2, kNoMark = -3;
  TagTree* tree_ = nullptr;
  std::vector<int32_t> open_;
  int32_t looseText_ = -1;
  int32_t mark_ = kNoMark;
};

}  // namespace pdfvec
