// The picture list of the product editor. Pictures are held by file name;
// whether a file is a loadable picture is asked through a PictureProbe,
// which the window backs with the picture codecs and tests with a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editing/selection.h"
#include "project/document.h"
#include "project/feedback.h"

namespace editing {

// Loads the picture named `path`; true and its pixel size when it loads.
using PictureProbe = std::function<bool(const std::u16string& path, int& width, int& height)>;

struct AddPicturesResult {
  int added = 0;
  // Full name of the last picture that loaded: the preview shows it. Empty
  // when none loaded (the preview keeps its picture).
  std::u16string preview;
};

// The name a picture chosen as `fullname` is stored under: the bare file
// name when its folder is exactly `progpath` (case-sensitive), else the full
// name.
std::u16string StoredPictureName(const std::u16string& fullname, const std::u16string& progpath);

// "Neue Bilder...": for each chosen file in order, loads it through `probe`;
// a file that does not load gets message 9 (error icon) and is skipped, one
// that loads is appended with width `width` (BildBreitEd). Marks the document
// changed for every picture added. Nothing without a selected product.
AddPicturesResult AddPictures(Document& doc, const Selection& sel, const std::vector<std::u16string>& files,
                              const std::u16string& progpath, double width, const PictureProbe& probe,
                              Feedback& fb);

// "Löschen": removes picture `pic`; returns the entry selected afterwards
// (the same position, -1 after the last or without a selection). Marks changed.
int32_t DeletePicture(Document& doc, const Selection& sel, int32_t pic);

// "Nach oben" / "Nach unten": the picture's new index (unchanged at the ends,
// -1 without a selection). Marks changed when it moved.
int32_t MovePictureUp(Document& doc, const Selection& sel, int32_t pic);
int32_t MovePictureDown(Document& doc, const Selection& sel, int32_t pic);

constexpr double kMinPictureWidth = 0.01;
constexpr double kMaxPictureWidth = 10000;

// BildBreitEd changed with a picture selected: its width (cm, kept within
// 0.01 ... 10000). Marks changed. False without a selected picture.
bool SetPictureWidth(Document& doc, const Selection& sel, int32_t pic, double width);

struct PreviewResult {
  bool loaded = false;
  std::u16string file;  // the picture the preview now shows (name as stored)
  double width = 0;     // what BildBreitEd shows
};

// A click on a picture entry: loads the file the document finds for the
// stored name (Document::FindPicture, as the pages do); on success the
// preview shows it and BildBreitEd its width, otherwise message 9 is shown.
PreviewResult PreviewPicture(Document& doc, const Selection& sel, int32_t pic, const PictureProbe& probe,
                             Feedback& fb);

}  // namespace editing
