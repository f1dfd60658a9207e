// "Bilddateien alle in ein Verzeichnis kopieren...": copies every category
// and product picture into one folder and points the references there.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "project/document.h"
#include "project/feedback.h"

namespace editing {

// Where a copy of `source` goes in `folder`: folder + base name + extension,
// or base name + "0", "1", ... + extension when that name is taken. Empty
// when no free name was found.
std::u16string CopyTargetName(const std::u16string& source, const std::u16string& folder);

// Whether file content is a picture the program's picture reader accepts.
// The reader lives above this layer, so the caller supplies it
// (imaging's IsReadablePicture).
using PictureCheck = std::function<bool(const std::string& bytes)>;

// Why a file was not copied.
enum class CopyRefusal {
  None,        // copied
  Failed,      // could not be read or written (missing, no permission, full disk)
  NotAFile,    // a folder, a device, a pipe ...
  TooLarge,    // larger than kMaxCollectedPicture
  NotAPicture  // the picture reader does not accept it
};

// Larger files are not read for a copy.
constexpr uint64_t kMaxCollectedPicture = 256ULL * 1024 * 1024;

// Copies one regular file that `isPicture` accepts to a new file `target`
// that must not exist yet, through ql::SafeFile, with the source's time
// stamps. The copy's mode is the source's or less (never wider than the
// umask allows, no execute bits), so a private file stays private. The
// bytes checked are the bytes copied. On failure nothing is left at
// `target`.
CopyRefusal CopyPictureFile(const std::u16string& source, const std::u16string& target,
                            const PictureCheck& isPicture);

// The reason shown for a refusal, in the current language.
std::u16string RefusalText(CopyRefusal why);

struct CollectRefusal {
  std::u16string file;
  CopyRefusal why = CopyRefusal::NotAPicture;
};

struct CollectResult {
  bool folderOk = false;  // the folder exists or was created
  int copied = 0;
  int failed = 0;                       // could not be read or written
  std::vector<CollectRefusal> refused;  // not copied on purpose: not a picture ...
};

// Creates `folder` with its parents, then copies the picture of every
// category with options and a picture, and every product picture, each to a
// free name in the folder, and sets the reference to the copy. Only
// regular files that `isPicture` accepts are copied; the others are listed
// in one message (each with its reason) and keep their references. A copy
// that fails is reported (messages 45 / 46) and its reference is left as it
// was. Ends with message 47 (caption 48). Does not mark the document
// changed. When the folder cannot be created, says so (message 49) and
// changes nothing.
CollectResult CollectPictures(Document& doc, const std::u16string& folder, Feedback& fb,
                              const PictureCheck& isPicture);

}  // namespace editing
