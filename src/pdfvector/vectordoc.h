// VectorDocument: a print-ready vector PDF (PDF/X-4 structure) built page
// by page from PdfSurface pages.
//
//   VectorDocument doc(options);
//   doc.Begin(fd, name);                       // checks the profile, opens
//   doc.MeasuringSurface() / doc.BeginPage()   // surfaces for the renderers
//   doc.EndPage()                              // content queued for writing
//   doc.Finish(outline)                        // fonts, pages, navigation
//
// Every page has a BleedBox (the trim box grown by the bleed on every side,
// exact to the hundredth of a point) and a TrimBox (the catalog page); the
// MediaBox is the BleedBox, or with marks the BleedBox grown by a slug that
// holds the crop and bleed marks and a line naming the file and the page. A CMYK document is a PDF/X-4 file:
// the press profile as output intent, XMP metadata and the info entries of PDF/X-4. An RGB document claims no
// PDF/X conformance (that needs a printing condition): it is a plain PDF 1.6 whose output intent, sRGB, only
// tells viewers the colours. Both carry the outline and the links the surfaces collected, and both are
// tagged: the structure the renderers give the surface (headings,
// paragraphs, tables, figures with their alternative text; page furniture
// as artifacts) in reading order, /MarkInfo /Marked true, the language
// (/Lang) and a tab order by structure on every page. Nothing uses
// transparency.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pdfvector/pdfsurface.h"
#include "pdfvector/preflight.h"
#include "project/document.h"

namespace pdfimg {
class CmykConverter;
}
namespace render {
class TextMeasurer;
}

namespace pdfvec {

class PdfWriter;
class FontSet;
class PictureStore;
class TagTree;

// The slug around the bleed box that holds the marks.
constexpr double kSlugMm = 10;

struct VectorOptions {
  int32_t widthPx = 0, heightPx = 0;  // the page in the renderers' pixels
  double widthPt = 0, heightPt = 0;   // the trim box in points
  double bleedMm = 3;                 // 0 ... 25
  bool cmyk = true;
  std::string profilePath;      // CMYK: the press profile
  bool requireProfile = false;  // CMYK: fail when it cannot be used (else arithmetic colours)
  double maxPictureppi = 300;   // 0: pictures keep their resolution
  InkOptions ink;               // CMYK: overprint, grey as black ink, rich black
  double preflightPpi = 150;    // pictures below this are listed by the preflight
  std::u16string title;
  // The printed number of the first page (FirstPageNr): the page labels
  // follow the numbers in the footers.
  int64_t firstPageNr = 1;
  std::string language = "de-DE";  // the catalog's language (BCP 47), the catalog's /Lang
  // Crop marks (the trim box's edges) and, with a bleed, bleed marks (the
  // bleed box's edges) in registration colour in a slug of kSlugMm around
  // the bleed box, beside a line with `marksFile` and the printed page
  // number; nothing of them reaches into the bleed box.
  bool marks = false;
  std::u16string marksFile;
  int threads = -1;  // -1 one per core, 0 the calling thread
  // The layout's measurer: text is measured and drawn with its metrics (see
  // PdfSurface); it must outlive the document. Null: the faces' own.
  render::TextMeasurer* metrics = nullptr;
};

struct OutlineItem {
  std::u16string title;
  int32_t page = 0;  // counted from 1
  std::vector<OutlineItem> kids;
};

// The catalog's outline: main categories (entries without products) with
// the categories that follow them, each with its products, at the pages the
// last layout pass gave them. Deactivated entries are left out; an entry
// without a page takes its first child's page.
std::vector<OutlineItem> CatalogOutline(const Document& doc);

// The document's title: the header text without its placeholders, else the
// project file's name without folder and extension, else "Catalog".
std::u16string CatalogTitle(const Document& doc);

class VectorDocument {
 public:
  explicit VectorDocument(const VectorOptions& o);
  ~VectorDocument();
  VectorDocument(const VectorDocument&) = delete;
  VectorDocument& operator=(const VectorDocument&) = delete;

  // False with error() when the profile cannot be used (nothing is written
  // then; `fd` is closed).
  bool Begin(int fd, const std::string& name);
  // The profile in use (empty: RGB) and its description.
  const std::string& profile() const { return profile_; }
  const std::string& profileDescription() const { return profileDesc_; }

  PdfSurface& MeasuringSurface();
  PdfSurface& BeginPage();
  // False (with error()) when the page failed: a font was missing, a write
  // failed.
  bool EndPage();
  bool Finish(const std::vector<OutlineItem>& outline);
  void Abort();

  // Records the file a decoded picture came from (see PictureStore).
  void NoteOrigin(uint64_t pictureHash, const std::string& file, int32_t fullWidth, int32_t fullHeight,
                  bool filePixels = true);
  // A picture the catalog shows could not be loaded (`exists`: the file is
  // there but unreadable).
  void NoteMissingPicture(const std::string& file, bool exists);
  // The findings so far; complete after Finish.
  const Preflight& preflight() const { return preflight_; }

  int32_t pages() const;
  size_t pictureCount() const;
  const std::string& error() const { return error_; }

 private:
  struct PageRecord;
  int32_t PageObject(int32_t page);
  std::string Box(double x1, double y1, double x2, double y2) const;
  // The marks and the page line of page `pageNo`, in points of the media box.
  std::string Marks(int32_t pageNo);

  VectorOptions o_;
  std::unique_ptr<pdfimg::CmykConverter> conv_;
  std::unique_ptr<PdfWriter> w_;
  std::unique_ptr<FontSet> fonts_;
  std::unique_ptr<PictureStore> pictures_;
  std::unique_ptr<ColourOps> colours_;
  std::unique_ptr<PdfSurface> measuring_, page_;
  std::unique_ptr<TagTree> tags_;
  std::vector<PageRecord> pages_;
  std::vector<int32_t> pageobjs_;
  double ptPerPxX_ = 1, ptPerPxY_ = 1, bleedPt_ = 0, slugPt_ = 0;
  std::string profile_, profileDesc_;
  std::string profileBytes_;
  std::string error_;
  Preflight preflight_;
  struct LowUse {
    size_t index;  // in preflight_.lowResolution
    int32_t lastPage;
  };
  std::map<const void*, LowUse> lowUses_;
};

}  // namespace pdfvec
