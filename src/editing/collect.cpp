#include "editing/collect.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/codepage.h"
#include "editing/selection.h"
#include "i18n/messages.h"

namespace editing {
namespace fs = std::filesystem;

namespace {

fs::path PathOf(const std::u16string& name) { return fs::u8path(ql::ToUtf8(name)); }

// True when something (a file, a folder, even a dangling link) has this name.
bool NameTaken(const std::u16string& name) {
  std::error_code ec;
  fs::file_status st = fs::symlink_status(PathOf(name), ec);
  if (ec) return ec != std::errc::no_such_file_or_directory;  // unknown: treat as taken
  return fs::exists(st);
}

std::u16string WithSeparator(const std::u16string& folder) {
  if (folder.empty()) return u"./";
  char16_t last = folder.back();
  return last == u'/' || last == u'\\' ? folder : folder + u"/";
}

constexpr int kMaxNameTries = 100000;

}  // namespace

std::u16string CopyTargetName(const std::u16string& source, const std::u16string& folder) {
  const std::u16string file = FileNamePart(source);
  const size_t dot = file.rfind(u'.');
  const std::u16string base = dot == std::u16string::npos ? file : file.substr(0, dot);
  const std::u16string ext = dot == std::u16string::npos ? std::u16string() : file.substr(dot);
  const std::u16string dir = WithSeparator(folder);
  std::u16string target = dir + base + ext;
  if (!NameTaken(target)) return target;
  for (int n = 0; n < kMaxNameTries; ++n) {
    target = dir + base + DecimalText(n) + ext;
    if (!NameTaken(target)) return target;
  }
  return std::u16string();
}

bool CopyPictureFile(const std::u16string& source, const std::u16string& target) {
  if (source.empty() || target.empty()) return false;
  const fs::path src = PathOf(source), dst = PathOf(target);
  std::error_code ec;
  if (fs::is_directory(src, ec)) return false;
  FILE* in = std::fopen(src.c_str(), "rb");
  if (!in) return false;
  FILE* out = std::fopen(dst.c_str(), "wbx");  // never overwrite
  if (!out) {
    std::fclose(in);
    return false;
  }
  bool ok = true;
  char buf[4096];
  for (;;) {
    size_t n = std::fread(buf, 1, sizeof buf, in);
    if (n == 0) {
      if (std::ferror(in)) ok = false;
      break;
    }
    if (std::fwrite(buf, 1, n, out) != n) {
      ok = false;
      break;
    }
  }
  if (std::fclose(in) != 0) ok = false;
  if (std::fclose(out) != 0) ok = false;
  if (!ok) {
    fs::remove(dst, ec);
    return false;
  }
  auto stamp = fs::last_write_time(src, ec);
  if (!ec) fs::last_write_time(dst, stamp, ec);
  return true;
}

namespace {

// Copies one referenced file; on success the reference names the copy.
void CollectOne(std::u16string& ref, const std::u16string& folder, Feedback& fb, CollectResult& res) {
  std::u16string target = CopyTargetName(ref, folder);
  if (!target.empty() && CopyPictureFile(ref, target)) {
    ref = target;
    res.copied++;
    return;
  }
  res.failed++;
  fb.ShowMessage(i18n::Msg(45) + u" \n" + ref + u"\n " + i18n::Msg(46) + u" \n" + target + u" !",
                 std::u16string(), MessageIcon::Information);
}

}  // namespace

CollectResult CollectPictures(Document& doc, const std::u16string& folder, Feedback& fb) {
  CollectResult res;
  std::error_code ec;
  const fs::path dir = PathOf(folder);
  if (!folder.empty()) fs::create_directories(dir, ec);
  if (folder.empty() || !fs::is_directory(dir, ec)) {
    fb.ShowMessage(i18n::Msg(49) + u": " + folder, std::u16string(), MessageIcon::Error);
    return res;
  }
  res.folderOk = true;
  doc.akat = nullptr;
  for (Category& cat : doc.kats) {
    if (cat.options && !cat.options->picfile.empty()) CollectOne(cat.options->picfile, folder, fb, res);
    for (Product& p : cat.products)
      for (Picture& pic : p.pictures) CollectOne(pic.filename, folder, fb, res);
  }
  fb.ShowMessage(i18n::Msg(47), i18n::Msg(48), MessageIcon::Information);
  return res;
}

}  // namespace editing
