#include "project/projectfile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "core/codepage.h"
#include "i18n/messages.h"
#include "i18n/texts.h"
#include "project/fileio.h"

namespace {

using project::FolderPart;
using project::HasFolderPart;
using project::StoredPictureName;

std::u16string Num(uint64_t n) { return ql::FromUtf8(std::to_string(n)); }
std::u16string SNum(int64_t n) { return ql::FromUtf8(std::to_string(n)); }

// Thrown inside the reader; turned into the error text at the top.
struct ReadFailure {
  std::u16string detail;
};

// A group of the file that is taken only when the file has not ended in front
// of it. Files of the older format end after group 43.
constexpr int kLastOlderGroup = 43;

// The smallest number of bytes each repeated entry occupies, used to reject
// counts that the rest of the file cannot hold before anything is allocated.
constexpr uint64_t kMinCategory = 8;  // name length, product count
constexpr uint64_t kMinProduct = 20;  // name, description, pricecols, rows, pictures
constexpr uint64_t kMinRow = 4;       // cell count
constexpr uint64_t kMinCell = 4;      // text length
constexpr uint64_t kMinPicture = 12;  // width, name length
constexpr uint64_t kMinTitle = 4;
constexpr size_t kTableBlockSize = 104;

// ---------------------------------------------------------------- reading

class Reader {
 public:
  Reader(std::string_view bytes, ProjectFormat format, Document& doc, std::u16string folder, bool dropEmpty,
         uint64_t memoryBudget)
      : budget_(memoryBudget),
        data_(reinterpret_cast<const uint8_t*>(bytes.data())),
        size_(bytes.size()),
        format_(format),
        doc_(doc),
        folder_(std::move(folder)),
        dropEmpty_(dropEmpty) {}

  void PartA();
  void BeginPartB() { part_ = 1; }

  // --- The items shared with the writer (see TransferPartsBC).
  void B(bool& v) { v = U8() != 0; }
  void I(int32_t& v) { v = I32(); }
  void F(double& v) { v = F64(); }
  void C(TColor& v) { v = U32(); }
  void S(std::u16string& v) { v = Text(); }
  void File(std::u16string& v) { v = Resolve(Text()); }
  void Font(TFontSpec& f);
  void UnusedFont(const TFontSpec&) {
    TFontSpec ignored;
    Font(ignored);
  }
  bool Group(int n) {
    if (format_ == ProjectFormat::Older && n > kLastOlderGroup) return false;
    if (pos_ == size_) return false;
    part_ = 2;
    group_ = n;
    return true;
  }
  void Titles(std::vector<std::u16string>& titles);
  void Alignment(CatalogSettings& s) { s.SetPictureAlignment(I32()); }
  void CategoryOptionsGroup();
  void CatFlag(bool CategoryOptions::*field);
  void ProdFlag(bool Product::*field);
  void TableBlocks();
  void CategoryColours();

 private:
  size_t Remaining() const { return size_ - pos_; }

  [[noreturn]] void Fail(std::u16string detail) { throw ReadFailure{std::move(detail)}; }
  [[noreturn]] void FailEnd() {
    Fail(i18n::Say(i18n::Text::FileEndsEarly, {Where(), Num(pos_), Num(size_)}));
  }
  void Need(uint64_t n) {
    if (Remaining() < n) FailEnd();
  }
  [[noreturn]] void FailMemory() { Fail(i18n::Say(i18n::Text::NoMemoryReading, {Where()})); }

  // A file of many tiny arrays (one-cell rows, say) needs more memory than
  // its size. The reader adds up every block the record arrays allocate while
  // reading and refuses a file whose catalog would take more than the budget
  // (ReadOptions::memoryBudget), before allocating the block that crosses it.
  template <class T>
  void Budget(const TDynaArray<T>& arr) {
    memory_ += arr.GrowthBytes();
    if (memory_ > budget_) Fail(i18n::Say(i18n::Text::FileTooLarge, {Where(), Num(budget_ >> 20)}));
  }
  uint64_t memory_ = 0;
  uint64_t budget_;

  uint8_t U8() {
    Need(1);
    return data_[pos_++];
  }
  uint32_t U32() {
    Need(4);
    uint32_t v = uint32_t(data_[pos_]) | uint32_t(data_[pos_ + 1]) << 8 | uint32_t(data_[pos_ + 2]) << 16 |
                 uint32_t(data_[pos_ + 3]) << 24;
    pos_ += 4;
    return v;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  double F64() {
    Need(8);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | data_[pos_ + i];
    pos_ += 8;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  // A count of entries each at least `minEach` bytes long.
  int32_t Count(i18n::Text what, uint64_t minEach) {
    const size_t at = pos_;
    const int32_t n = I32();
    if (n < 0) Fail(i18n::Say(i18n::Text::NegativeCount, {SNum(n), i18n::Say(what), Where(), Num(at)}));
    if (static_cast<uint64_t>(n) * minEach > Remaining())
      Fail(i18n::Say(i18n::Text::CountTooLarge,
                     {Num(static_cast<uint64_t>(n)), i18n::Say(what), Where(), Num(at), Num(Remaining())}));
    return n;
  }
  // Length of a counted text in bytes, checked against the rest of the file.
  size_t TextBytes() {
    const int32_t n = Count(i18n::Text::CountCharacters, 1);
    const uint64_t bytes = format_ == ProjectFormat::Current ? uint64_t(n) * 2 : uint64_t(n);
    Need(bytes);
    return static_cast<size_t>(bytes);
  }
  std::u16string Text() {
    const size_t bytes = TextBytes();
    const uint8_t* p = data_ + pos_;
    pos_ += bytes;
    if (format_ == ProjectFormat::Older)
      return ql::FromCp1252(std::string_view(reinterpret_cast<const char*>(p), bytes));
    std::u16string s(bytes / 2, u'\0');
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
    return s;
  }
  // Skips a text; returns its length in characters.
  size_t SkipText() {
    const size_t bytes = TextBytes();
    pos_ += bytes;
    return format_ == ProjectFormat::Current ? bytes / 2 : bytes;
  }
  // A bare picture name is looked for in the project's folder, then the
  // program's and the current folder, and held as the file found; found
  // nowhere, it names the file in the project's folder (current format
  // only: the older format keeps names as stored).
  std::u16string Resolve(std::u16string name) const {
    if (format_ == ProjectFormat::Current)
      return project::ResolveStoredPictureName(name, folder_, doc_.progpath);
    return name;
  }
  void ReadVariants(Product& p);

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  ProjectFormat format_;
  Document& doc_;
  std::u16string folder_;
  bool dropEmpty_;
  // Where the reader is, for error messages: part A (with the category and
  // product being read), part B, or an optional group.
  int part_ = 0;
  int group_ = 0;
  int64_t cat_ = -1, prod_ = -1;
  std::u16string Where() const {
    using i18n::Text;
    if (part_ == 1) return i18n::Say(Text::WherePartB);
    if (part_ == 2) return i18n::Say(Text::WhereGroup, {Num(static_cast<uint64_t>(group_))});
    const std::u16string cat = Num(static_cast<uint64_t>(cat_ + 1));
    if (cat_ >= 0 && prod_ >= 0)
      return i18n::Say(Text::WherePartAProduct, {cat, Num(static_cast<uint64_t>(prod_ + 1))});
    if (cat_ >= 0) return i18n::Say(Text::WherePartACategory, {cat});
    return i18n::Say(Text::WherePartA);
  }
};

void Reader::PartA() {
  const int32_t ncat = Count(i18n::Text::CountCategories, kMinCategory);
  for (int32_t i = 0; i < ncat; ++i) {
    cat_ = i;
    prod_ = -1;
    Budget(doc_.kats);
    Category* cat = doc_.AddCategory(Text());
    if (!cat) FailMemory();
    const int32_t nprod = Count(i18n::Text::CountProducts, kMinProduct);
    for (int32_t j = 0; j < nprod; ++j) {
      prod_ = j;
      Budget(cat->products);
      Product* p = doc_.AddProduct(*cat);
      if (!p) FailMemory();
      p->name = Text();
      p->description = Text();
      p->pricecols = I32();
      ReadVariants(*p);
      const int32_t npic = Count(i18n::Text::CountPictures, kMinPicture);
      for (int32_t k = 0; k < npic; ++k) {
        const double width = F64();
        std::u16string name = Resolve(Text());
        Budget(p->pictures);
        Picture* pic = doc_.AddPicture(*p);
        if (!pic) FailMemory();
        pic->width = width;
        pic->filename = std::move(name);
      }
    }
  }
}

void Reader::ReadVariants(Product& p) {
  const size_t start = pos_;
  // Rows below keepRows and cells below keepCols are created. With trailing
  // empty rows and columns dropped, a first pass finds the last row and the
  // last column holding any text.
  uint64_t keepRows = UINT64_MAX, keepCols = UINT64_MAX;
  if (dropEmpty_) {
    keepRows = keepCols = 0;
    const int32_t nrows = Count(i18n::Text::CountRows, kMinRow);
    for (int32_t r = 0; r < nrows; ++r) {
      const int32_t ncells = Count(i18n::Text::CountCells, kMinCell);
      for (int32_t c = 0; c < ncells; ++c)
        if (SkipText() >= 1) {
          if (uint64_t(r) + 1 > keepRows) keepRows = uint64_t(r) + 1;
          if (uint64_t(c) + 1 > keepCols) keepCols = uint64_t(c) + 1;
        }
    }
    pos_ = start;
  }
  const int32_t nrows = Count(i18n::Text::CountRows, kMinRow);
  for (int32_t r = 0; r < nrows; ++r) {
    const bool keepRow = uint64_t(r) < keepRows;
    VariantRow* row = nullptr;
    if (keepRow) {
      Budget(p.variants);
      row = doc_.AddRow(p);
      if (!row) FailMemory();
    }
    const int32_t ncells = Count(i18n::Text::CountCells, kMinCell);
    for (int32_t c = 0; c < ncells; ++c) {
      if (!keepRow || uint64_t(c) >= keepCols) {
        SkipText();
        continue;
      }
      std::u16string text = Text();
      Budget(row->cells);
      VariantCell* cell = row->cells.Add();
      if (!cell) FailMemory();
      cell->text = std::move(text);
    }
  }
}

void Reader::Font(TFontSpec& f) {
  f.charset = U8();
  f.color = U32();
  const uint8_t len = U8();
  Need(uint64_t(len) * 2);
  std::u16string name(len, u'\0');
  for (size_t i = 0; i < len; ++i)
    name[i] = static_cast<char16_t>(data_[pos_ + 2 * i] | data_[pos_ + 2 * i + 1] << 8);
  pos_ += size_t(len) * 2;
  f.name = std::move(name);
  f.pitch = U8();
  f.ppi = I32();
  f.size = I32();
  const uint8_t style = U8();
  f.bold = style & 1;
  f.italic = style & 2;
  f.underline = style & 4;
  f.strikeout = style & 8;
}

void Reader::Titles(std::vector<std::u16string>& titles) {
  const int32_t n = Count(i18n::Text::CountTemplateColumns, kMinTitle);
  std::vector<std::u16string> read;
  read.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) read.push_back(Text());
  titles = std::move(read);
}

// Entries beyond the categories of part A are read and dropped.
void Reader::CategoryOptionsGroup() {
  const int32_t n = Count(i18n::Text::CountCategoryOptions, 1);
  for (int32_t i = 0; i < n; ++i) {
    if (!U8()) continue;
    auto o = std::make_unique<CategoryOptions>();
    o->introtext = Text();
    o->picfile = Resolve(Text());
    o->picwidth = F64();
    o->picbelowname = I32();
    o->introbelowpic = U8() != 0;
    if (static_cast<uint32_t>(i) < doc_.kats.Count())
      doc_.kats[static_cast<uint32_t>(i)].options = std::move(o);
  }
}

void Reader::CatFlag(bool CategoryOptions::*field) {
  const int32_t n = Count(i18n::Text::CountCategoryEntries, 1);
  for (int32_t i = 0; i < n; ++i) {
    if (!U8()) continue;
    const bool v = U8() != 0;
    if (static_cast<uint32_t>(i) < doc_.kats.Count()) {
      CategoryOptions* o = doc_.kats[static_cast<uint32_t>(i)].options.get();
      if (o) o->*field = v;
    }
  }
}

void Reader::ProdFlag(bool Product::*field) {
  const int32_t nc = Count(i18n::Text::CountCategoryEntries, 4);
  for (int32_t i = 0; i < nc; ++i) {
    const int32_t np = Count(i18n::Text::CountProductEntries, 1);
    Category* cat =
        static_cast<uint32_t>(i) < doc_.kats.Count() ? &doc_.kats[static_cast<uint32_t>(i)] : nullptr;
    for (int32_t j = 0; j < np; ++j) {
      const bool v = U8() != 0;
      if (cat && static_cast<uint32_t>(j) < cat->products.Count())
        cat->products[static_cast<uint32_t>(j)].*field = v;
    }
  }
}

void Reader::TableBlocks() {
  for (Category& cat : doc_.kats)
    for (Product& p : cat.products) {
      Need(kTableBlockSize);
      p.overwrite = U8() != 0;
      p.fixcellwidth = U8() != 0;
      p.fixtablewidth = U8() != 0;
      p.fixcellheight = U8() != 0;
      pos_ += 4;  // reserved
      for (double& w : p.colwidth) w = F64();
      p.tablewidth = F64();
      p.rowheight = F64();
    }
}

void Reader::CategoryColours() {
  const int32_t n = Count(i18n::Text::CountCategoryColours, 1);
  for (int32_t i = 0; i < n; ++i) {
    if (!U8()) continue;
    const bool area = U8() != 0, name = U8() != 0, font = U8() != 0;
    const TColor fontcolor = U32(), namecolor = U32(), areacolor = U32();
    if (static_cast<uint32_t>(i) >= doc_.kats.Count()) continue;
    CategoryOptions* o = doc_.kats[static_cast<uint32_t>(i)].options.get();
    if (!o) continue;
    o->ownareacolor = area;
    o->ownnamecolor = name;
    o->ownfontcolor = font;
    o->fontcolor = fontcolor;
    o->namecolor = namecolor;
    o->areacolor = areacolor;
  }
}

// ---------------------------------------------------------------- writing

class Writer {
 public:
  // `toFile` false: a snapshot that is no file (names are kept as held).
  Writer(const Document& doc, std::u16string folder, bool toFile)
      : doc_(doc), folder_(std::move(folder)), toFile_(toFile) {}

  std::string Take() { return std::move(out_); }

  void PartA();
  void BeginPartB() {}

  void B(const bool& v) { U8(v ? 1 : 0); }
  void I(const int32_t& v) { U32(static_cast<uint32_t>(v)); }
  void F(const double& v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) out_.push_back(static_cast<char>(bits >> (8 * i)));
  }
  void C(const TColor& v) { U32(v); }
  void S(const std::u16string& v) { WStr(v); }
  void File(const std::u16string& v) { WStr(StoredName(v)); }
  void Font(const TFontSpec& f);
  // The first font slot of the settings is never applied by a reader; it
  // holds the category-name font.
  void UnusedFont(const TFontSpec& f) { Font(f); }
  bool Group(int) { return true; }
  void Titles(const std::vector<std::u16string>& titles) {
    U32(static_cast<uint32_t>(titles.size()));
    for (const auto& t : titles) WStr(t);
  }
  void Alignment(const CatalogSettings& s) { I(s.PictureAlignment()); }
  void CategoryOptionsGroup();
  void CatFlag(bool CategoryOptions::*field);
  void ProdFlag(bool Product::*field);
  void TableBlocks();
  void CategoryColours();

 private:
  void U8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<char>(v >> (8 * i)));
  }
  void Units(const char16_t* s, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      out_.push_back(static_cast<char>(s[i] & 0xFF));
      out_.push_back(static_cast<char>(s[i] >> 8));
    }
  }
  void WStr(const std::u16string& s) {
    U32(static_cast<uint32_t>(s.size()));
    Units(s.data(), s.size());
  }
  // The file the document draws (a bare name may lie in the program's or
  // the current folder), stored for the file being written.
  std::u16string StoredName(const std::u16string& name) const {
    if (!toFile_) return name;
    return StoredPictureName(doc_.FindPicture(name), folder_);
  }

  const Document& doc_;
  std::u16string folder_;
  bool toFile_;
  std::string out_;
};

void Writer::PartA() {
  U32(doc_.kats.Count());
  for (const Category& cat : doc_.kats) {
    WStr(cat.name);
    U32(cat.products.Count());
    for (const Product& p : cat.products) {
      WStr(p.name);
      WStr(p.description);
      I(p.pricecols);
      U32(p.variants.Count());
      for (const VariantRow& row : p.variants) {
        U32(row.cells.Count());
        for (const VariantCell& cell : row.cells) WStr(cell.text);
      }
      U32(p.pictures.Count());
      for (const Picture& pic : p.pictures) {
        F(pic.width);
        File(pic.filename);
      }
    }
  }
}

void Writer::Font(const TFontSpec& f) {
  U8(f.charset);
  U32(f.color);
  // The name's length is one byte; longer names are cut (never inside a
  // surrogate pair).
  size_t n = f.name.size() > 255 ? 255 : f.name.size();
  if (n < f.name.size() && n > 0 && f.name[n - 1] >= 0xD800 && f.name[n - 1] <= 0xDBFF) --n;
  U8(static_cast<uint8_t>(n));
  Units(f.name.data(), n);
  U8(f.pitch);
  I(f.ppi);
  I(f.size);
  U8(static_cast<uint8_t>((f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0) |
                          (f.strikeout ? 8 : 0)));
}

void Writer::CategoryOptionsGroup() {
  U32(doc_.kats.Count());
  for (const Category& cat : doc_.kats) {
    const CategoryOptions* o = cat.options.get();
    U8(o ? 1 : 0);
    if (!o) continue;
    WStr(o->introtext);
    File(o->picfile);
    F(o->picwidth);
    I(o->picbelowname);
    B(o->introbelowpic);
  }
}

void Writer::CatFlag(bool CategoryOptions::*field) {
  U32(doc_.kats.Count());
  for (const Category& cat : doc_.kats) {
    const CategoryOptions* o = cat.options.get();
    U8(o ? 1 : 0);
    if (o) B(o->*field);
  }
}

void Writer::ProdFlag(bool Product::*field) {
  U32(doc_.kats.Count());
  for (const Category& cat : doc_.kats) {
    U32(cat.products.Count());
    for (const Product& p : cat.products) B(p.*field);
  }
}

void Writer::TableBlocks() {
  for (const Category& cat : doc_.kats)
    for (const Product& p : cat.products) {
      B(p.overwrite);
      B(p.fixcellwidth);
      B(p.fixtablewidth);
      B(p.fixcellheight);
      U32(0);  // reserved
      for (const double& w : p.colwidth) F(w);
      F(p.tablewidth);
      F(p.rowheight);
    }
}

void Writer::CategoryColours() {
  U32(doc_.kats.Count());
  for (const Category& cat : doc_.kats) {
    const CategoryOptions* o = cat.options.get();
    U8(o ? 1 : 0);
    if (!o) continue;
    B(o->ownareacolor);
    B(o->ownnamecolor);
    B(o->ownfontcolor);
    C(o->fontcolor);
    C(o->namecolor);
    C(o->areacolor);
  }
}

// ------------------------------------------------ the layout after part A

// Parts B and C in file order. The reader and the writer share this one
// description, so they cannot disagree about the layout. Each optional group
// is taken only when io.Group(n) says so (the reader: the file has not ended
// and the format has the group; the writer: always).
template <class IO, class Settings, class Titles>
void TransferPartsBC(IO& io, Settings& s, Titles& titles) {
  io.BeginPartB();
  io.Titles(titles);                                                                       // 3
  io.I(s.PreDefAnzPreisEd);                                                                // 4
  io.File(s.FilenameEdit2);                                                                // 5
  io.File(s.FilenameEdit1);                                                                // 6
  io.F(s.LinksEd), io.F(s.ObenEd), io.F(s.RechtsEd), io.F(s.UntenEd), io.F(s.RandBildEd);  // 7
  io.B(s.CapsCheck), io.B(s.ZentrCheck);                                                   // 8
  io.S(s.FussEd), io.S(s.FussEd2), io.S(s.KopfEd);                                         // 9
  io.B(s.RahmenCheck);                                                                     // 10
  io.F(s.KopfEdmm), io.F(s.RandKopfEd);                                                    // 11
  io.B(s.FarbRechtKopfCheck), io.C(s.Shape1), io.B(s.FarbrechtFussCheck), io.C(s.Shape2);  // 12
  io.B(s.LogoChecked), io.B(s.UnterlegeKategorie), io.B(s.KatBereichUnterCheck);           // 13
  io.C(s.Shape3), io.C(s.Shape4);
  io.B(s.ZentrFussCheck);                                             // 14
  io.F(s.PlatzueberEd), io.F(s.LinkRandFussEd);                       // 15
  io.B(s.xchangecheck);                                               // 16
  io.I(s.FirstPageNr);                                                // 17
  io.F(s.BreitEd2), io.F(s.HochEd2), io.F(s.HellEd), io.F(s.SatEd);   // 18
  io.B(s.SVerh2Check), io.B(s.GrayScaleCheck), io.B(s.LightenCheck);  // 19
  io.F(s.BreitEd3), io.F(s.HochEd3);                                  // 20
  io.B(s.sverhlogo);                                                  // 21
  io.UnusedFont(s.FontDialog2);                                       // 22
  io.Font(s.FontDialog2), io.Font(s.FontDialog3), io.Font(s.FontDialog4), io.Font(s.FontDialog5);
  io.Font(s.FontDialog6), io.Font(s.FontDialog7), io.Font(s.FontDialog8), io.Font(s.FontDialog9);

  if (!io.Group(23)) return;
  io.B(s.OnlyOneColumnCheck);
  if (!io.Group(24)) return;
  io.Alignment(s);
  if (!io.Group(25)) return;
  io.B(s.ArtNotBlockCheck);
  if (!io.Group(26)) return;
  io.F(s.PlatzZwischenSpaltenEd);
  if (!io.Group(27)) return;
  io.B(s.ZentrTabelleCheck);
  if (!io.Group(28)) return;
  io.B(s.BackgroundColorCheck), io.C(s.Shape5), io.C(s.Shape6);
  if (!io.Group(29)) return;
  io.I(s.LayoutCombo);
  if (!io.Group(30)) return;
  io.B(s.NoLineBelowVariantsCheck);
  if (!io.Group(31)) return;
  io.CategoryOptionsGroup();
  if (!io.Group(32)) return;
  io.F(s.LineWidthEd), io.F(s.LineWidthEd2);
  io.C(s.Shape7), io.C(s.Shape8), io.C(s.Shape9), io.C(s.Shape10), io.C(s.Shape11);
  if (!io.Group(33)) return;
  io.CatFlag(&CategoryOptions::nonewpage);
  io.ProdFlag(&Product::pagebreakafter);
  if (!io.Group(34)) return;
  io.B(s.CoverCheck);
  if (!io.Group(35)) return;
  io.B(s.DefineFixedWidthCheck), io.B(s.DefineFixedHeightCheck);
  io.F(s.RxSpinEdit1), io.F(s.RxSpinEdit2), io.F(s.RxSpinEdit3), io.F(s.RxSpinEdit4), io.F(s.RxSpinEdit5);
  io.F(s.RxSpinEdit6);
  if (!io.Group(36)) return;
  io.CatFlag(&CategoryOptions::istoc);
  if (!io.Group(37)) return;
  io.Font(s.FontDialog11);
  if (!io.Group(38)) return;
  io.ProdFlag(&Product::deactivated);
  if (!io.Group(39)) return;
  io.B(s.AllowPageBreak);
  if (!io.Group(40)) return;
  io.B(s.FourColumns), io.B(s.dreiColumns), io.B(s.ZweiColumns);
  if (!io.Group(41)) return;
  io.B(s.ZwischenLinienCheck), io.B(s.DonotShowVariantsCheck), io.B(s.BilderrahmenCheck);
  // Files that end in front of the flags of groups 42, 43, 51 and 52 leave
  // them off: a category's options record starts with every flag off.
  if (!io.Group(42)) return;
  io.CatFlag(&CategoryOptions::firstproductnewpage);
  if (io.Group(42)) {
    io.B(s.PreisLinksCheck);
    if (io.Group(42)) io.F(s.LineAddSpaceEd);
  }
  if (!io.Group(43)) return;
  io.CatFlag(&CategoryOptions::pictureonly);
  if (!io.Group(44)) return;
  io.F(s.PDFRandEd);
  if (!io.Group(45)) return;
  io.B(s.SetPDFSizeCheck), io.F(s.PDFWidthEd), io.F(s.PDFHeightED);
  if (!io.Group(46)) return;
  io.B(s.ZerrePDFCheck);
  if (!io.Group(47)) return;
  io.Font(s.FontDialog1);
  if (!io.Group(48)) return;
  io.F(s.RxSpinEdit7), io.F(s.RxSpinEdit8), io.F(s.RxSpinEdit9), io.F(s.RxSpinEdit10), io.F(s.RxSpinEdit11);
  if (!io.Group(49)) return;
  io.B(s.FixWidthForTableCheck), io.F(s.FixedWidthForTableEd);
  if (!io.Group(50)) return;
  io.TableBlocks();
  if (!io.Group(51)) return;
  io.CatFlag(&CategoryOptions::picasbackground);
  if (!io.Group(52)) return;
  io.CatFlag(&CategoryOptions::notintoc);
  if (!io.Group(53)) return;
  io.File(s.FilenameEdit3);
  if (!io.Group(54)) return;
  io.B(s.NoRahmenCheck);
  if (!io.Group(55)) return;
  io.Font(s.FontDialog12), io.B(s.PreisCentCheck);
  if (!io.Group(56)) return;
  io.CatFlag(&CategoryOptions::tocsubcategoriesonly);
  if (!io.Group(57)) return;
  io.CatFlag(&CategoryOptions::tocallcategories);
  if (!io.Group(58)) return;
  io.B(s.AndereRechtsCheck), io.B(s.AndereZentriertCheck);
  if (!io.Group(59)) return;
  io.B(s.DoLineBreakinTableCellsCheck);
  if (!io.Group(60)) return;
  io.F(s.RandTextEd);
  if (!io.Group(61)) return;
  io.CatFlag(&CategoryOptions::deactivated);
  if (!io.Group(62)) return;
  io.B(s.DonotShowPriceColumnscheck);
  if (!io.Group(63)) return;
  io.B(s.ShowLogoRightAlignedCheck), io.S(s.Fuss2Ed), io.B(s.LinesInVariantCheck);
  if (!io.Group(64)) return;
  io.B(s.DefMaxCellWidthCheck), io.F(s.MaxCellWidthEd);
  if (!io.Group(65)) return;
  io.B(s.FooterLeftCheck);
  if (!io.Group(66)) return;
  io.CategoryColours();
  if (!io.Group(67)) return;
  io.B(s.UseColorInInhaltCheck);
  if (!io.Group(68)) return;
  io.CatFlag(&CategoryOptions::tocwithproducts);
  if (!io.Group(69)) return;
  io.CatFlag(&CategoryOptions::tocnocategories);
  if (!io.Group(70)) return;
  io.B(s.DonotIncreaseFontSizeCheck);
  if (!io.Group(71)) return;
  io.B(s.SetPicHeightCheck);
}

std::u16string ProjectFolder(const std::string& path) { return FolderPart(ql::FromUtf8(path)); }

std::u16string CannotOpen(const std::string& path) { return i18n::Msg(1) + ql::FromUtf8(path); }

bool OpenWith(Document& doc, const std::string& path, ProjectFormat format, const ReadOptions& options,
              std::u16string* error) {
  std::string bytes, reason;
  if (!project::ReadWholeFile(path, bytes, reason)) {
    if (error) *error = CannotOpen(path) + u"\n" + i18n::SystemErrorText(reason);
    return false;
  }
  return ReadProjectBytes(doc, bytes, format, path, options, error);
}

}  // namespace

bool ReadProjectBytes(Document& doc, std::string_view bytes, ProjectFormat format, const std::string& path,
                      const ReadOptions& options, std::u16string* error) {
  try {
    Document fresh;
    fresh.settings = doc.settings;
    fresh.settings.BackgroundColorCheck = false;
    fresh.templatecolumns = doc.templatecolumns;
    fresh.options = doc.options;
    // Bytes that are no file (an undo snapshot) keep their names as held.
    if (!path.empty()) fresh.progpath = doc.progpath;
    Reader reader(bytes, format, fresh, ProjectFolder(path),
                  options.LeereVariantenSpaltenundZeilenbeimffnenentfernen1, options.memoryBudget);
    reader.PartA();
    TransferPartsBC(reader, fresh.settings, fresh.templatecolumns);
    fresh.afilename = ql::FromUtf8(path);
    doc.AdoptContent(std::move(fresh));
  } catch (const ReadFailure& f) {
    if (error) *error = CannotOpen(path) + u"\n" + f.detail;
    return false;
  } catch (const std::bad_alloc&) {
    if (error) *error = CannotOpen(path) + u"\n" + i18n::Say(i18n::Text::NoMemory);
    return false;
  }
  doc.SetUnChanged();
  doc.changed = false;
  return true;
}

bool OpenFileWithName(Document& doc, const std::string& path, const ReadOptions& options,
                      std::u16string* error) {
  return OpenWith(doc, path, ProjectFormat::Current, options, error);
}

bool OpenFileWithName(Document& doc, const std::string& path, std::u16string* error) {
  return OpenFileWithName(doc, path, ReadOptions::FromDocument(doc), error);
}

bool OpenFileWithNameOLD(Document& doc, const std::string& path, const ReadOptions& options,
                         std::u16string* error) {
  return OpenWith(doc, path, ProjectFormat::Older, options, error);
}

bool OpenFileWithNameOLD(Document& doc, const std::string& path, std::u16string* error) {
  return OpenFileWithNameOLD(doc, path, ReadOptions::FromDocument(doc), error);
}

bool OpenProjectFile(Document& doc, const std::string& path, const ReadOptions& options,
                     std::u16string* error) {
  return project::HasOlderProjectExtension(path) ? OpenFileWithNameOLD(doc, path, options, error)
                                                 : OpenFileWithName(doc, path, options, error);
}

std::string ProjectFileBytes(const Document& doc, const std::string& path) {
  Writer writer(doc, ProjectFolder(path), !path.empty());
  writer.PartA();
  TransferPartsBC(writer, doc.settings, doc.templatecolumns);
  return writer.Take();
}

bool SaveProjectFile(const Document& doc, const std::string& path, std::u16string* error) {
  std::string reason;
  try {
    const std::string bytes = ProjectFileBytes(doc, path);
    if (project::WriteFileAtomically(path, bytes, reason)) return true;
  } catch (const std::bad_alloc&) {
    reason = std::strerror(ENOMEM);
  }
  if (error) *error = i18n::Msg(49) + u": " + ql::FromUtf8(path) + u"\n" + i18n::SystemErrorText(reason);
  return false;
}
