// CatalogSettings: every layout and format setting of a catalog, each named
// after the control that edits it. All of them are stored in the project file.
// ProgramOptions: the few options of the program itself (not of a catalog).
#pragma once

#include <cstdint>
#include <string>

#include "core/records.h"

struct TFontSpec {
  std::u16string name;
  int32_t size = 10;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  uint8_t charset = 0;  // 0 = Western (ANSI)
  uint8_t pitch = 0;    // 0 default, 1 variable, 2 fixed
  TColor color = 0;
  int32_t ppi = 96;

  bool operator==(const TFontSpec& o) const {
    return name == o.name && size == o.size && bold == o.bold && italic == o.italic &&
           underline == o.underline && strikeout == o.strikeout && charset == o.charset && pitch == o.pitch &&
           color == o.color && ppi == o.ppi;
  }
  bool operator!=(const TFontSpec& o) const { return !(*this == o); }
};

TFontSpec MakeFont(const char16_t* name, int32_t size, bool bold, TColor color);

// X(kind, name, default, min, max). Kinds: MM (64-bit float: mm, cm, %),
// BOOL, INT, COLOR, TEXT, FONT. min and max are what the editing control
// accepts (0, 0 where there is no range; LayoutCombo's range is the layout
// table's, render/layouts/layouts.h).
#define QL_CATALOG_SETTINGS(X)                                                             \
  /* Margins and spacing */                                                                \
  X(MM, LinksEd, 12.0, 0, 1000)                                                            \
  X(MM, ObenEd, 2.0, 0, 1000)                                                              \
  X(MM, RechtsEd, 12.0, 0, 1000)                                                           \
  X(MM, UntenEd, 5.0, 0, 1000)                                                             \
  X(MM, RandBildEd, 2.0, 0, 1000)                                                          \
  X(MM, KopfEdmm, 5.0, 0, 1000)                                                            \
  X(MM, RandKopfEd, 5.0, 0, 1000)                                                          \
  X(MM, PlatzueberEd, 5.0, 0, 1000)                                                        \
  X(MM, LinkRandFussEd, 5.0, 0, 1000)                                                      \
  X(MM, PlatzZwischenSpaltenEd, 5.0, 0, 1000)                                              \
  X(BOOL, RahmenCheck, false, 0, 0)                                                        \
  X(MM, LineWidthEd, 0.6, 0, 1000)                                                         \
  X(MM, LineWidthEd2, 0.6, 0, 1000)                                                        \
  X(MM, LineAddSpaceEd, 0.0, 0, 1000)                                                      \
  X(MM, PDFRandEd, 0.0, 0, 1000)                                                           \
  X(BOOL, SetPDFSizeCheck, false, 0, 0)                                                    \
  X(MM, PDFWidthEd, 210.0, 0, 1000)                                                        \
  X(MM, PDFHeightED, 297.0, 0, 1000)                                                       \
  X(BOOL, ZerrePDFCheck, false, 0, 0)                                                      \
  X(MM, RandTextEd, 2.0, 0, 1000)                                                          \
  /* Fonts */                                                                              \
  X(FONT, FontDialog2, MakeFont(u"Arial Black", 24, true, RGBColor(255, 255, 0)), 0, 0)    \
  X(FONT, FontDialog3, MakeFont(u"Arial Black", 14, false, 0), 0, 0)                       \
  X(FONT, FontDialog4, MakeFont(u"Arial", 11, false, 0), 0, 0)                             \
  X(FONT, FontDialog5, MakeFont(u"Arial", 10, true, 0), 0, 0)                              \
  X(FONT, FontDialog6, MakeFont(u"Arial Black", 9, false, 0), 0, 0)                        \
  X(FONT, FontDialog7, MakeFont(u"Arial", 10, false, 0), 0, 0)                             \
  X(FONT, FontDialog8, MakeFont(u"Arial Black", 10, false, RGBColor(255, 255, 255)), 0, 0) \
  X(FONT, FontDialog9, MakeFont(u"Arial Black", 24, true, RGBColor(255, 255, 255)), 0, 0)  \
  X(FONT, FontDialog11, MakeFont(u"Arial Black", 14, false, 0), 0, 0)                      \
  X(FONT, FontDialog1, MakeFont(u"Arial", 12, true, 0), 0, 0)                              \
  X(FONT, FontDialog12, MakeFont(u"Arial", 11, false, 0), 0, 0)                            \
  /* Colours */                                                                            \
  X(BOOL, FarbRechtKopfCheck, true, 0, 0)                                                  \
  X(COLOR, Shape1, RGBColor(0, 0, 128), 0, 0)                                              \
  X(BOOL, FarbrechtFussCheck, true, 0, 0)                                                  \
  X(COLOR, Shape2, RGBColor(0, 0, 128), 0, 0)                                              \
  X(BOOL, UnterlegeKategorie, true, 0, 0)                                                  \
  X(COLOR, Shape3, RGBColor(0, 0, 0), 0, 0)                                                \
  X(BOOL, KatBereichUnterCheck, true, 0, 0)                                                \
  X(COLOR, Shape4, RGBColor(128, 128, 128), 0, 0)                                          \
  X(COLOR, Shape7, RGBColor(255, 255, 255), 0, 0)                                          \
  X(COLOR, Shape8, RGBColor(192, 192, 192), 0, 0)                                          \
  X(COLOR, Shape9, RGBColor(225, 225, 225), 0, 0)                                          \
  X(COLOR, Shape10, RGBColor(0, 0, 0), 0, 0)                                               \
  X(COLOR, Shape11, RGBColor(0, 0, 0), 0, 0)                                               \
  /* Formatting */                                                                         \
  X(BOOL, OnlyOneColumnCheck, false, 0, 0)                                                 \
  X(BOOL, BildLinks, false, 0, 0)                                                          \
  X(BOOL, BildZentr, false, 0, 0)                                                          \
  X(BOOL, BildRechts, true, 0, 0)                                                          \
  X(BOOL, ArtNotBlockCheck, true, 0, 0)                                                    \
  X(BOOL, ZentrTabelleCheck, false, 0, 0)                                                  \
  X(BOOL, CapsCheck, true, 0, 0)                                                           \
  X(BOOL, ZentrCheck, true, 0, 0)                                                          \
  X(BOOL, ZentrFussCheck, false, 0, 0)                                                     \
  X(BOOL, NoLineBelowVariantsCheck, false, 0, 0)                                           \
  X(BOOL, CoverCheck, false, 0, 0)                                                         \
  X(BOOL, AllowPageBreak, false, 0, 0)                                                     \
  X(BOOL, ZweiColumns, false, 0, 0)                                                        \
  X(BOOL, dreiColumns, false, 0, 0)                                                        \
  X(BOOL, FourColumns, true, 0, 0)                                                         \
  X(BOOL, ZwischenLinienCheck, false, 0, 0)                                                \
  X(BOOL, DonotShowVariantsCheck, false, 0, 0)                                             \
  X(BOOL, BilderrahmenCheck, false, 0, 0)                                                  \
  X(BOOL, PreisLinksCheck, false, 0, 0)                                                    \
  X(BOOL, NoRahmenCheck, false, 0, 0)                                                      \
  X(BOOL, PreisCentCheck, false, 0, 0)                                                     \
  X(BOOL, AndereRechtsCheck, false, 0, 0)                                                  \
  X(BOOL, AndereZentriertCheck, false, 0, 0)                                               \
  X(BOOL, DoLineBreakinTableCellsCheck, true, 0, 0)                                        \
  X(BOOL, DonotShowPriceColumnscheck, false, 0, 0)                                         \
  X(BOOL, LinesInVariantCheck, true, 0, 0)                                                 \
  X(BOOL, FooterLeftCheck, false, 0, 0)                                                    \
  X(BOOL, UseColorInInhaltCheck, false, 0, 0)                                              \
  X(BOOL, DonotIncreaseFontSizeCheck, false, 0, 0)                                         \
  X(BOOL, SetPicHeightCheck, false, 0, 0)                                                  \
  /* Header and footer */                                                                  \
  X(TEXT, FussEd, u"%PAGE%  -  Besuchen Sie uns im Internet unter www.morvetta.de", 0, 0)  \
  X(TEXT, FussEd2, u"Besuchen Sie uns im Internet unter www.morvetta.de  -  %PAGE%", 0, 0) \
  X(TEXT, KopfEd, u"Morvetta GbR Produktkatalog", 0, 0)                                    \
  X(BOOL, LogoChecked, true, 0, 0)                                                         \
  X(BOOL, xchangecheck, false, 0, 0)                                                       \
  X(INT, FirstPageNr, 1, -2147483647, 2147483647)                                          \
  X(TEXT, Fuss2Ed, u"", 0, 0)                                                              \
  /* Background */                                                                         \
  X(TEXT, FilenameEdit2, u"", 0, 0)                                                        \
  X(TEXT, FilenameEdit3, u"", 0, 0)                                                        \
  X(BOOL, BackgroundColorCheck, false, 0, 0)                                               \
  X(COLOR, Shape5, RGBColor(240, 202, 166), 0, 0)                                          \
  X(COLOR, Shape6, RGBColor(255, 255, 255), 0, 0)                                          \
  X(MM, BreitEd2, 30.0, 1, 10000)                                                          \
  X(MM, HochEd2, 10.0, 1, 10000)                                                           \
  X(BOOL, SVerh2Check, true, 0, 0)                                                         \
  X(BOOL, GrayScaleCheck, false, 0, 0)                                                     \
  X(BOOL, LightenCheck, true, 0, 0)                                                        \
  X(MM, HellEd, 50.0, 1, 100)                                                              \
  X(MM, SatEd, 0.0, -100, 200)                                                             \
  /* Logo */                                                                               \
  X(TEXT, FilenameEdit1, u"logo morvetta200x200.gif", 0, 0)                                \
  X(MM, BreitEd3, 1.5, 1, 10000)                                                           \
  X(MM, HochEd3, 1.5, 1, 10000)                                                            \
  X(BOOL, sverhlogo, true, 0, 0)                                                           \
  X(BOOL, ShowLogoRightAlignedCheck, false, 0, 0)                                          \
  /* Variant table defaults */                                                             \
  X(INT, PreDefAnzPreisEd, 3, 1, 100)                                                      \
  X(BOOL, DefineFixedWidthCheck, false, 0, 0)                                              \
  X(MM, RxSpinEdit1, 35.0, 0, 1000)                                                        \
  X(MM, RxSpinEdit2, 35.0, 0, 1000)                                                        \
  X(MM, RxSpinEdit3, 35.0, 0, 1000)                                                        \
  X(MM, RxSpinEdit4, 35.0, 0, 1000)                                                        \
  X(MM, RxSpinEdit5, 35.0, 0, 1000)                                                        \
  X(MM, RxSpinEdit7, 35.0, 0, 1000)                                                        \
  X(MM, RxSpinEdit8, 35.0, 0, 1000)                                                        \
  X(MM, RxSpinEdit9, 35.0, 0, 1000)                                                        \
  X(MM, RxSpinEdit10, 35.0, 0, 1000)                                                       \
  X(MM, RxSpinEdit11, 35.0, 0, 1000)                                                       \
  X(BOOL, DefineFixedHeightCheck, false, 0, 0)                                             \
  X(MM, RxSpinEdit6, 5.0, 0, 1000)                                                         \
  X(BOOL, FixWidthForTableCheck, false, 0, 0)                                              \
  X(MM, FixedWidthForTableEd, 155.0, 0, 1000)                                              \
  X(BOOL, DefMaxCellWidthCheck, true, 0, 0)                                                \
  X(MM, MaxCellWidthEd, 50.0, 0, 1000)                                                     \
  /* Layout */                                                                             \
  X(INT, LayoutCombo, 0, 0, 0)

#define QL_SETTING_TYPE_MM double
#define QL_SETTING_TYPE_BOOL bool
#define QL_SETTING_TYPE_INT int32_t
#define QL_SETTING_TYPE_COLOR TColor
#define QL_SETTING_TYPE_TEXT std::u16string
#define QL_SETTING_TYPE_FONT TFontSpec

enum class SettingKind { MM, BOOL, INT, COLOR, TEXT, FONT };

struct CatalogSettings {
#define QL_DECLARE_SETTING(kind, name, def, lo, hi) QL_SETTING_TYPE_##kind name = def;
  QL_CATALOG_SETTINGS(QL_DECLARE_SETTING)
#undef QL_DECLARE_SETTING

  // Picture alignment 0 left, 1 centred, 2 right (BildLinks/BildZentr/BildRechts).
  int PictureAlignment() const { return BildLinks ? 0 : BildZentr ? 1 : 2; }
  void SetPictureAlignment(int a);
  // Newspaper columns (layout 1) / products side by side (layout 3): 2, 3 or
  // 4. The switches are tested FourColumns, dreiColumns, ZweiColumns in that
  // order, 4 when none is on, so a damaged file with two switches on lays
  // out the same in every layout.
  int ColumnCount() const { return FourColumns ? 4 : dreiColumns ? 3 : ZweiColumns ? 2 : 4; }
  void SetColumnCount(int n);

  // Width of variant column i (0-based, 0 ... 9) from RxSpinEdit1..5, 7..11.
  double DefaultColumnWidth(int i) const;
  void SetDefaultColumnWidth(int i, double mm);

  // Visits every setting as v(kind, "Name", field, min, max).
  template <class V>
  void Visit(V&& v) {
#define QL_VISIT_SETTING(kind, name, def, lo, hi) v(SettingKind::kind, #name, name, double(lo), double(hi));
    QL_CATALOG_SETTINGS(QL_VISIT_SETTING)
#undef QL_VISIT_SETTING
  }
  template <class V>
  void Visit(V&& v) const {
#define QL_VISIT_SETTING(kind, name, def, lo, hi) v(SettingKind::kind, #name, name, double(lo), double(hi));
    QL_CATALOG_SETTINGS(QL_VISIT_SETTING)
#undef QL_VISIT_SETTING
  }
};

// Options of the program, kept between runs in per-user storage (the first
// three) or for the session only.
struct ProgramOptions {
  bool LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = true;
  bool PDFDateienmitCMYKFarbenausgeben1 = true;
  bool DruckenDialoganzeigenvordemDrucken1 = false;
  bool BeimImportierendieSpaltenberschriftenderVariantentabelleausderVorlagebernehmen1 = false;
};

// View state of the window, not stored in a catalog.
struct ViewState {
  double ZoomEd = 100;     // 1 ... 1000
  int32_t SeiteEd = 1;     // 1 ... 100000
  double BildBreitEd = 8;  // cm, 0.01 ... 10000
};

// Parses a hexadecimal colour box ("#FFAACC"): true and the colour when at
// least six hexadecimal digits follow an optional "#" (blanks trimmed,
// characters after the sixth ignored).
bool ParseHexColor(const std::u16string& box, TColor& out);
