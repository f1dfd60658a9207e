#include "platform/qtpictureloader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <iterator>
#include <utility>

#include "core/codepage.h"
#include "i18n/texts.h"
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
    const int err = errno;
    deldib(out);
    // The file's name and our own short text for the system's reason, in
    // the language of the messages.
    Problem(filename, i18n::SayUtf8(i18n::Text::PictureNotDrawn, {filename, i18n::SystemErrorText(err)}));
    return false;
  }
  if (boxWidth < 0 || boxHeight < 0) boxWidth = boxHeight = 0;
  const Key key{name, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, int64_t(st.st_size)};
  int32_t w = 0, h = 0;
  auto it = index_.find(key);
  if (it != index_.end()) {
    const Entry& e = *it->second;
    DibSizeForBox(e.fullw, e.fullh, boxWidth, boxHeight, w, h);
    if (e.pic->width >= w && e.pic->height >= h) {
      entries_.splice(entries_.begin(), entries_, it->second);
      ++hits_;
      fullWidth = e.fullw;
      fullHeight = e.fullh;
      if (ResampleDib(out, *e.pic, w, h)) return true;
      fullWidth = fullHeight = 0;
      Problem(filename,
              i18n::SayUtf8(i18n::Text::PictureNotDrawn, {filename, i18n::Say(i18n::Text::PicNoMemory)}));
      return false;
    }
  }
  std::string error;
  ++decodes_;
  // 0 x 0 stays "the whole picture".
  const auto more = [](int32_t v) { return int32_t(std::min<int64_t>(int64_t(v) * kHeadroom, INT32_MAX)); };
  dib decoded;
  if (!OpenDibForBox(decoded, name, more(boxWidth), more(boxHeight), fullWidth, fullHeight, &error)) {
    deldib(out);
    Problem(filename, error);
    return false;
  }
  DibSizeForBox(fullWidth, fullHeight, boxWidth, boxHeight, w, h);
  // A format that learns its size only by decoding has handed back the
  // whole picture; anything else is at least the box's size.
  w = std::min(w, decoded.width);
  h = std::min(h, decoded.height);
  if (!ResampleDib(out, decoded, w, h)) {
    fullWidth = fullHeight = 0;
    Problem(filename,
            i18n::SayUtf8(i18n::Text::PictureNotDrawn, {filename, i18n::Say(i18n::Text::PicNoMemory)}));
    return false;
  }
  Remember(key, std::move(decoded), fullWidth, fullHeight);
  return true;
}

void QtPictureLoader::Remember(const Key& key, dib&& pic, int32_t fullw, int32_t fullh) {
  const uint64_t bytes = DibBytes(pic);
  // One picture may not push out all others; a smaller copy of the same
  // file then stays for the boxes it covers.
  if (bytes > limit_ / 2) return;
  auto old = index_.find(key);
  if (old != index_.end()) Forget(old->second);
  entries_.push_front(Entry{key, std::make_shared<const dib>(std::move(pic)), fullw, fullh, bytes});
  index_[key] = entries_.begin();
  used_ += bytes;
  Evict();
}

void QtPictureLoader::Forget(std::list<Entry>::iterator it) {
  used_ -= it->bytes;
  index_.erase(it->key);
  entries_.erase(it);
}

void QtPictureLoader::Evict() {
  while (used_ > limit_ && !entries_.empty()) Forget(std::prev(entries_.end()));
}

void QtPictureLoader::SetCacheLimit(uint64_t bytes) {
  limit_ = bytes;
  Evict();
}

void QtPictureLoader::Problem(const std::u16string& filename, const std::string& reason) {
  if (problemFiles_.insert(filename).second) {
    problems_.push_back({filename, reason});
    return;
  }
  // The newest reason, in the language of the messages now (a picture
  // loaded before the window chose its language is loaded again).
  for (render::PictureLoader::Problem& p : problems_)
    if (p.filename == filename) p.reason = reason;
}

std::vector<render::PictureLoader::Problem> QtPictureLoader::TakeProblems() {
  problemFiles_.clear();
  return std::exchange(problems_, {});
}

}  // namespace platform
