// Whole-file reading and crash-safe writing for the project's own files.
#pragma once

#include <string>

namespace project {

// Reads the whole file into `bytes`. On failure returns false and sets
// `reason` to the system's description of what went wrong.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason);

// Replaces `path` by `bytes` without ever leaving a half-written file: the
// bytes go to a temporary file in the same folder, are flushed to disk and the
// temporary file is then renamed over the old one. On failure the old file is
// untouched, the temporary file is removed and `reason` says what went wrong.
// A file that existed keeps its permission bits.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& reason);

// The folder part of a file name up to and including the last "/" or "\",
// empty when the name has none.
std::u16string FolderPart(const std::u16string& name);
std::string FolderPart(const std::string& name);

// True when the name contains a folder separator ("\" or "/").
bool HasFolderPart(const std::u16string& name);

// The name under which a picture held as `name` is stored in a project file
// written into `projectFolder` (a folder part as FolderPart gives it), so that
// a reader resolving bare names against that folder finds the same file: the
// bare name when the picture lies directly in that folder, otherwise the full
// name. Relative names (held relative to the current folder) and the folder
// are made absolute and "."/".." steps dropped before comparing; "\" and "/"
// both separate folders. Names that are already absolute, or carry a drive
// letter, are kept as held when they lie elsewhere.
std::u16string StoredPictureName(const std::u16string& name, const std::u16string& projectFolder);

// The file a picture held as `name` is drawn from. A bare name (no folder
// part) is looked for in `projectFolder`, then in `programFolder` (an empty
// folder is skipped; one without a final separator gets "/"), then in the
// current folder: the full name of the first regular file found is returned,
// the bare name itself for the current folder and for a name found nowhere
// (which then means the current folder, as a bare name always did). `found`,
// if given, is false only for a bare name found nowhere. Names with a folder
// part, and the empty name, are returned unchanged.
std::u16string FindPictureFile(const std::u16string& name, const std::u16string& projectFolder,
                               const std::u16string& programFolder, bool* found = nullptr);

// A picture name read from a project file in `projectFolder`: the file
// FindPictureFile finds, and for a bare name found nowhere the file in the
// project's folder (where a bare name in a project file points).
std::u16string ResolveStoredPictureName(const std::u16string& name, const std::u16string& projectFolder,
                                        const std::u16string& programFolder);

// True when `name` has a ".pkd" extension in any letter case (older format).
bool HasOlderProjectExtension(const std::string& name);

}  // namespace project
