#include "platform/qtpictureloader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/codepage.h"
#include "imaging/pixoran.h"

namespace platform {

namespace {
uint64_t DibBytes(const dib& d) { return d.pixels.size() + d.palette.size() * sizeof(DibRGB) + sizeof(dib); }
}  // namespace

bool QtPictureLoader::Load(const std::u16string& filename, dib& out) {
  int32_t w, h;
  return LoadForBox(filename, 0, 0, out, w, h);
}

bool QtPictureLoader::PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) {
  width = height = 0;
  if (filename.empty()) return false;
  const std::string name = ql::ToUtf8(filename);
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return false;
  const int64_t mtime = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  const int64_t length = int64_t(st.st_size);
  auto it = sizes_.find(name);
  if (it == sizes_.end() || it->second.mtime != mtime || it->second.length != length) {
    if (sizes_.size() >= kMaxSizes) sizes_.clear();
    KnownSize k{mtime, length, false, 0, 0};
    ++headerreads_;
    k.ok = DibFileSize(name, k.width, k.height);
    it = sizes_.insert_or_assign(name, k).first;
  }
  if (!it->second.ok) return false;
  width = it->second.width;
  height = it->second.height;
  return true;
}

bool QtPictureLoader::LoadForBox(const std::u16string& filename, int32_t boxWidth, int32_t boxHeight,
                                 dib& out, int32_t& fullWidth, int32_t& fullHeight) {
  fullWidth = fullHeight = 0;
  if (filename.empty()) {
    deldib(out);
    return false;
  }
  const std::string name = ql::ToUtf8(filename);
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) {
    deldib(out);
    Problem(filename, name + ": " + std::strerror(errno));
    return false;
  }
  if (boxWidth < 0 || boxHeight < 0) boxWidth = boxHeight = 0;
  const Key key{name, boxWidth, boxHeight, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                int64_t(st.st_size)};
  auto it = index_.find(key);
  if (it != index_.end()) {
    entries_.splice(entries_.begin(), entries_, it->second);
    const Entry& e = *it->second;
    out = *e.pic;
    fullWidth = e.fullw;
    fullHeight = e.fullh;
    return true;
  }
  std::string error;
  ++decodes_;
  if (!OpenDibForBox(out, name, boxWidth, boxHeight, fullWidth, fullHeight, &error)) {
    Problem(filename, error);
    return false;
  }
  Remember(key, out, fullWidth, fullHeight);
  return true;
}

void QtPictureLoader::Remember(const Key& key, const dib& pic, int32_t fullw, int32_t fullh) {
  const uint64_t bytes = DibBytes(pic);
  if (bytes > limit_ / 2) return;  // one picture may not push out all others
  entries_.push_front(Entry{key, std::make_shared<const dib>(pic), fullw, fullh, bytes});
  index_[key] = entries_.begin();
  used_ += bytes;
  Evict();
}

void QtPictureLoader::Evict() {
  while (used_ > limit_ && !entries_.empty()) {
    used_ -= entries_.back().bytes;
    index_.erase(entries_.back().key);
    entries_.pop_back();
  }
}

void QtPictureLoader::SetCacheLimit(uint64_t bytes) {
  limit_ = bytes;
  Evict();
}

void QtPictureLoader::Problem(const std::u16string& filename, const std::string& reason) {
  if (problemFiles_.insert(filename).second) problems_.push_back({filename, reason});
}

std::vector<render::PictureLoader::Problem> QtPictureLoader::TakeProblems() {
  problemFiles_.clear();
  return std::exchange(problems_, {});
}

}  // namespace platform
