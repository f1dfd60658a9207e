// Category commands: new, rename, delete, move, the category dialog and
// moving products to another category. `kats` is the category list: each
// Category record carries its list entry's name and options.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"
#include "editing/selection.h"
#include "project/document.h"
#include "project/feedback.h"

namespace editing {

// "Neue Kategorie": appends a category with an empty name, no options and no
// products; returns its index (the window starts editing its name), -1 when
// it could not be added. Marks the document changed.
int32_t NewCategory(Document& doc);

// In-place rename of the category list entry. Marks the document changed
// when the name differs. False when no category is selected.
bool RenameCategory(Document& doc, int32_t kat, const std::u16string& name);

// Selecting another category is a change notification of the category list
// and marks the document changed. Returns the category or null.
Category* SelectCategory(Document& doc, int32_t kat);

// "Löschen": asks message 10 with the name in quotes (caption message 11);
// only Yes deletes the category with all its products. Marks changed.
bool DeleteCategory(Document& doc, int32_t kat, Feedback& fb);

// "Nach oben" / "Nach unten": exchanges the category with its neighbour and
// returns the moved entry's new index (the same index when nothing moved,
// -1 when nothing is selected). Marks changed when something moved.
int32_t MoveCategoryUp(Document& doc, int32_t kat);
int32_t MoveCategoryDown(Document& doc, int32_t kat);

// The control values of the dialog "Kategorie bearbeiten".
struct CategoryDialogValues {
  std::u16string name;
  std::u16string picfile;    // FilenameEdit1
  double picwidth = 3.0;     // BildBreitEd, cm
  int32_t picbelowname = 0;  // 0 "Bild vor ...", 1 "Bild unter Kategorienamen anzeigen"
  bool introbelowpic = false;
  bool picasbackground = false;  // UseAsBackgroundPicCheck
  std::u16string introtext;
  bool nonewpage = false;             // NoNeedForNewPageCheck
  bool istoc = false;                 // InhaltsVerzeichnisCheck
  bool firstproductnewpage = false;   // ErstesAufneuerSeiteCheck
  bool pictureonly = false;           // ShowOnlyPictureCheck
  bool notintoc = false;              // DoNotListinInhaltCheck
  bool tocsubcategoriesonly = false;  // UnterkategorienCheck
  bool tocallcategories = false;      // ListAllKategoiresCheck
  bool deactivated = false;           // DeactivateCheck
  bool ownfontcolor = false;          // OwnFontColorCheck
  TColor fontcolor = RGBColor(255, 255, 0);
  bool ownnamecolor = false;  // UnterlegeKategorie
  TColor namecolor = RGBColor(0, 0, 0);
  bool ownareacolor = false;  // KatBereichUnterCheck
  TColor areacolor = RGBColor(128, 128, 128);
  bool tocwithproducts = false;  // produkteinhaltcheck
  bool tocnocategories = false;  // DoNotListCategoriesCheck
};

constexpr double kMinCategoryPicWidth = 0.01;
constexpr double kMaxCategoryPicWidth = 10000;

// Fills the dialog from a category: its name, and either every field of its
// options or the defaults of a category without options.
CategoryDialogValues CategoryDialogFromCategory(const Category& cat);

// A click on ShowOnlyPictureCheck, DoNotListinInhaltCheck or DeactivateCheck:
// with "Nur das Bild anzeigen ..." on, the picture goes below the name.
void CategoryDialogCheckClicked(CategoryDialogValues& v);

// OK: the entry's name becomes the dialog's name (a rename, which marks the
// document changed when it differs) and a new options record built from all
// controls replaces the old one. The options alone do not mark the document.
// False when no category is selected.
bool ApplyCategoryDialog(Document& doc, int32_t kat, const CategoryDialogValues& v);

// The drop-down of "In andere Kategorie verschieben": every category name but
// the selected one, in list order.
std::vector<std::u16string> MoveTargetNames(const Document& doc, int32_t kat);

// OK with drop-down entry `target` (index into MoveTargetNames): moves every
// selected product, from the last to the first, to the end of the target
// category (so several arrive in reverse order). Marks the document changed.
// False when nothing was selected or the target does not exist.
bool MoveProductsToCategory(Document& doc, const Selection& sel, int32_t target);

}  // namespace editing
