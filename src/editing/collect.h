// "Bilddateien alle in ein Verzeichnis kopieren...": copies every category
// and product picture into one folder and points the references there.
#pragma once

#include <string>

#include "project/document.h"
#include "project/feedback.h"

namespace editing {

// Where a copy of `source` goes in `folder`: folder + base name + extension,
// or base name + "0", "1", ... + extension when that name is taken. Empty
// when no free name was found.
std::u16string CopyTargetName(const std::u16string& source, const std::u16string& folder);

// Copies one file (4096-byte blocks, time stamps kept) to a new file
// `target` that must not exist yet. On failure nothing is left at `target`.
bool CopyPictureFile(const std::u16string& source, const std::u16string& target);

struct CollectResult {
  bool folderOk = false;  // the folder exists or was created
  int copied = 0;
  int failed = 0;
};

// Creates `folder` with its parents, then copies the picture of every
// category with options and a picture, and every product picture, each to a
// free name in the folder, and sets the reference to the copy. A copy that
// fails is reported (messages 45 / 46) and its reference is left as it was.
// Ends with message 47 (caption 48). Does not mark the document changed.
// When the folder cannot be created, says so (message 49) and changes nothing.
CollectResult CollectPictures(Document& doc, const std::u16string& folder, Feedback& fb);

}  // namespace editing
