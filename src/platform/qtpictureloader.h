// The renderers' picture loader on the image codecs, with a cache of decoded
// pictures shared by everything that renders through the same loader (the
// window's preview and its exports use the session's one loader).
//
// Pictures are decoded at the size they are drawn (OpenDibForBox), so a
// camera picture drawn at a few centimetres costs a few MB, not its full
// size. Decoding a large JPEG still reads all of its data, whatever the
// scale, so each file is decoded as rarely as possible: the cache keeps one
// decoded copy per file, keyed by file name and the file's modification time
// and length (a picture edited on disk is decoded afresh), made for twice the
// box it was first asked for. Every box it covers is served by scaling that
// copy (a zoomed preview, a 150-dpi export after the 96-dpi preview, each
// page of an export asking a pixel more or less); a larger box decodes the
// file again and replaces the copy. The cache holds decoded pictures up to a
// memory limit (256 MB by default); the least recently used go first.
//
// Pixel sizes (what layout passes ask for every picture record) are kept by
// file name with the file's modification time and length as well, so a
// catalog that shows one file many times reads its header once.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "render/pictureloader.h"

namespace platform {

class QtPictureLoader : public render::PictureLoader {
 public:
  explicit QtPictureLoader(uint64_t cacheBytes = uint64_t(256) << 20) : limit_(cacheBytes) {}

  bool Load(const std::u16string& filename, dib& out) override;
  bool PixelSize(const std::u16string& filename, int32_t& width, int32_t& height) override;
  bool LoadForBox(const std::u16string& filename, int32_t boxWidth, int32_t boxHeight, dib& out,
                  int32_t& fullWidth, int32_t& fullHeight) override;
  std::vector<Problem> TakeProblems() override;

  // The cache's limit in bytes (0 turns caching off) and what it holds now.
  uint64_t CacheLimit() const override { return limit_; }
  void SetCacheLimit(uint64_t bytes) override;
  uint64_t CachedBytes() const { return used_; }
  size_t CachedPictures() const { return entries_.size(); }
  // Files decoded since construction, and pictures served from the cache.
  uint64_t Decodes() const { return decodes_; }
  uint64_t CacheHits() const { return hits_; }

  // A decoded copy is made for this many times the box first asked for.
  static constexpr int32_t kHeadroom = 2;
  // Headers read for PixelSize since construction (cache hits do not count).
  uint64_t HeaderReads() const { return headerreads_; }
  // Pixel sizes kept at most; beyond, the table starts afresh.
  static constexpr size_t kMaxSizes = 16384;

 private:
  struct Key {
    std::string file;
    int64_t mtime, length;
    bool operator<(const Key& o) const {
      return std::tie(file, mtime, length) < std::tie(o.file, o.mtime, o.length);
    }
  };
  struct Entry {
    Key key;
    std::shared_ptr<const dib> pic;
    int32_t fullw, fullh;
    uint64_t bytes;
  };
  void Remember(const Key& key, dib&& pic, int32_t fullw, int32_t fullh);
  void Forget(std::list<Entry>::iterator it);
  void Evict();
  void Problem(const std::u16string& filename, const std::string& reason);

  uint64_t limit_;
  uint64_t used_ = 0;
  uint64_t decodes_ = 0;
  uint64_t hits_ = 0;
  uint64_t headerreads_ = 0;
  struct KnownSize {
    int64_t mtime, length;
    bool ok;
    int32_t width, height;
  };
  std::map<std::string, KnownSize> sizes_;
  std::list<Entry> entries_;  // most recently used first
  std::map<Key, std::list<Entry>::iterator> index_;
  std::vector<render::PictureLoader::Problem> problems_;
  std::set<std::u16string> problemFiles_;
};

}  // namespace platform
