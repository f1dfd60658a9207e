// The one way the program writes a file: the new content goes to a temporary
// file made exclusively in the target's folder, is flushed to disk and then
// renamed over the target, and the folder is flushed so the rename itself
// survives a power cut. Until Commit succeeds the old file is untouched; on
// any failure the temporary file is removed and the reason is kept.
//
// - An existing target keeps its permissions (and owner, where allowed); a
//   new one gets 0666 less the umask, as an ordinary new file would.
// - An existing target without any write permission, or one the process may
//   not write, is refused ("the file is read-only") rather than replaced:
//   the rename would otherwise succeed in a writable folder.
// - A target that is a symbolic link is written through: the file the link
//   names is replaced, the link stays.
//
// Streamed use:
//   ql::SafeFile f;
//   if (!f.Open(path)) return fail(f.Error());
//   while (...) if (!f.Write(chunk)) return fail(f.Error());
//   if (!f.Commit()) return fail(f.Error());
// Write buffers up to 64 KB; a writer that writes the descriptor itself takes
// it with ReleaseDescriptor() (it must then flush, fsync and close it before
// Commit, which only renames).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/temppaths.h"

namespace ql {

class SafeFile {
 public:
  SafeFile() = default;
  ~SafeFile();  // abandons the temporary file unless committed
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  // Creates the temporary file beside `path`. False with Error() set when
  // the target cannot be replaced or the temporary file cannot be made.
  bool Open(const std::string& path);
  // Appends bytes (buffered). False with Error() set on a write failure
  // (a full disk, a file-size limit); the file is then abandoned.
  bool Write(std::string_view bytes);
  bool Write(const void* data, size_t n) {
    return Write(std::string_view(static_cast<const char*>(data), n));
  }
  // Puts the complete file in place. False with Error() set on failure; the
  // old file is then unchanged.
  bool Commit();
  // Commit then leaves flushing the file and its folder to a later
  // SyncFolder over the folder: for a batch of new files that only count
  // once all of them are there (the pictures an export stages before it
  // moves them into place). Call before Commit.
  void SyncLater() { syncLater_ = true; }
  // Removes the temporary file; the target is not touched.
  void Abandon();

  // The descriptor of the temporary file, handed over: SafeFile no longer
  // writes, syncs or closes it. -1 when not open.
  int ReleaseDescriptor();

  // The reason of the last failure, a short lower-case English text such as
  // "No space left on device" or "the file is read-only".
  const std::string& Error() const { return error_; }
  // The file that will be replaced (the link's file for a symbolic link).
  const std::string& Target() const { return target_; }
  const std::string& TempName() const { return tmp_; }

 private:
  bool Flush();
  bool Fail(int err);

  std::string target_;
  std::string tmp_;
  TemporaryPath guard_;  // the temporary file goes if the program is interrupted
  std::string buf_;
  std::string error_;
  int fd_ = -1;
  bool released_ = false;
  bool syncLater_ = false;
};

enum class Sync { Now, Later };

// Writes `bytes` as the whole content of `path` through a SafeFile. False
// with `reason` set (see SafeFile::Error) on failure.
// With Sync::Later the file is flushed by a later SyncFolder (see
// SafeFile::SyncLater).
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string& reason,
                     Sync sync = Sync::Now);

// Flushes to disk, in one go, the files committed into `folder` with
// SyncLater and the folder itself. False with `reason` set on failure.
bool SyncFolder(const std::string& folder, std::string& reason);
// Flushes only the folder itself: the names of the files moved into it.
bool SyncFolderNames(const std::string& folder, std::string& reason);

}  // namespace ql
