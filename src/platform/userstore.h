// Per-user storage of the program options kept between runs, the preview
// zoom and a few dialog values (QSettings: ~/.config/Quillane/Quillane.conf).
#pragma once

#include <string>
#include <vector>

#include "core/settings.h"

namespace platform {

class UserStore {
 public:
  // The per-user store; tests pass a file of their own.
  UserStore();
  explicit UserStore(const std::string& inifile);
  ~UserStore();
  UserStore(const UserStore&) = delete;
  UserStore& operator=(const UserStore&) = delete;

  // The three options kept between runs and ZoomEd (1 ... 1000); values
  // missing or out of range keep what the arguments hold.
  void LoadOptions(ProgramOptions& options, double& zoom) const;
  void SaveOptions(const ProgramOptions& options, double zoom);

  // A whole number kept for a dialog ("PDFAufl/DPIEd"), clamped to lo ... hi.
  int LoadInt(const std::string& key, int fallback, int lo, int hi) const;
  void SaveInt(const std::string& key, int value);

  // A list of texts kept under `key` (the recently used project files).
  std::vector<std::u16string> LoadTextList(const std::string& key) const;
  void SaveTextList(const std::string& key, const std::vector<std::u16string>& texts);

  // Writes pending changes; false when the store cannot be written.
  bool Sync();

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace platform
