// The picture codecs: loading, saving, halftoning and resampling of `dib`
// records on top of Qt's image I/O (plus our own writers for formats Qt
// cannot write). The header itself is Qt-free so that any layer holding a
// dib can name the operations.
//
// File names are UTF-8. Every operation that can fail returns false and,
// when `error` is given, a message naming the file and the reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/dib/dib.h"

// Format codes. 0 lets the loader look at the content. Codes 3 ... 13 are the
// save filter's entries in order (filter index + 2); PNG and WebP follow.
enum DibFormatCode : int {
  kDibAuto = 0,
  kDibBmp = 3,
  kDibDib = 4,
  kDibGif = 5,
  kDibIff = 6,
  kDibJif = 7,
  kDibJpeg = 8,
  kDibLbm = 9,
  kDibPcx = 10,
  kDibRle = 11,
  kDibTga = 12,
  kDibTiff = 13,
  kDibPng = 14,
  kDibWebp = 15,
};

struct DibFileFormat {
  int code;
  const char* extension;    // with the dot: ".bmp"
  const char* description;  // "Windows Bitmap"
  bool writable;            // SaveDib can write it
  bool readable;            // OpenDib can read it when asked for this code
};

// Every format of the save filter, in filter order (entry i has code i + 3).
const std::vector<DibFileFormat>& DibSaveFormats();
// The entry for a code, or null.
const DibFileFormat* DibFormatByCode(int code);
// Code for a file name's extension (case-insensitive), 0 when unknown.
int DibFormatForExtension(const std::string& filename);

// Loads a picture into `d` as 24 bits, or 8 bits with its colour table for
// palette and grey pictures. Pictures with transparency are composed onto
// white. Refuses truncated files, files whose headers do not match their
// data and pictures of more than PicturePixelCap(). `d` is emptied on failure.
bool OpenDib(dib& d, const std::string& filename, int format = kDibAuto, std::string* error = nullptr);

// Loads a picture for drawing into a box of boxWidth x boxHeight pixels. A
// picture of more than kScaledDecodeMinPixels pixels and more than four
// times the box's pixels is decoded at the box's size at its own aspect
// (never smaller than the box): JPEG scales inside the decoder, so a camera
// picture drawn small never has its full size in memory. Other pictures, and
// a box of 0 x 0, load exactly as OpenDib. fullWidth/fullHeight receive the
// file's own pixel size. The pixel cap applies to the decoded size.
constexpr int64_t kScaledDecodeMinPixels = 1000 * 1000;
// The size OpenDibForBox hands back for a picture of fullWidth x fullHeight
// pixels drawn into that box (the full size when it decodes the whole
// picture).
void DibSizeForBox(int32_t fullWidth, int32_t fullHeight, int32_t boxWidth, int32_t boxHeight, int32_t& width,
                   int32_t& height);
bool OpenDibForBox(dib& d, const std::string& filename, int32_t boxWidth, int32_t boxHeight,
                   int32_t& fullWidth, int32_t& fullHeight, std::string* error = nullptr,
                   int format = kDibAuto);
// The same on file content in memory (fuzzing and tests); the format is
// found from the content.
bool OpenDibFromBytes(dib& d, const std::string& bytes, int32_t boxWidth, int32_t boxHeight,
                      std::string* error = nullptr);
// Whether picture content in memory is one OpenDib would load (the whole
// content is decoded, for a small box).
bool IsReadablePicture(const std::string& bytes);
// The header's pixel size of picture content in memory; false when the
// header does not say.
bool DibSizeFromBytes(const std::string& bytes, int32_t& width, int32_t& height);

// The most pixels one decoded picture may have on this machine: an eighth
// of its memory at 4 bytes a pixel, at most kMaxDibPixels (and never less
// than 4 megapixels). Larger pictures are refused with a message naming
// the file and its size.
int64_t PicturePixelCap();

// Pixel size of a picture file from its header, without decoding it.
bool DibFileSize(const std::string& filename, int32_t& width, int32_t& height, std::string* error = nullptr);

// Writes `d` in the format of `code` (3 ... 15). A format that cannot be
// written is refused; nothing is written then. The file is replaced only
// when the whole picture was written. The file claims `dpi` pixels per inch
// (1 ... 100000; anything else is taken as 96) in every format that holds a
// resolution: BMP, DIB and RLE (pixels per metre), JPEG and JIF (JFIF
// density in dots per inch), PNG (pHYs, pixels per metre) and TIFF; GIF,
// Targa and WebP hold none.
constexpr int32_t kDefaultDibDpi = 96;
bool SaveDib(const dib& d, const std::string& filename, int code, std::string* error = nullptr,
             int32_t dpi = kDefaultDibDpi);
// Pixels per metre for `dpi` pixels per inch, as the resolution fields of
// BMP and PNG hold it (96 for a value outside 1 ... 100000).
int32_t DotsPerMetre(int32_t dpi);

// JPEG quality 0 ... 100 (clamped) used by every later JPEG save; 75 at start.
void SetJPEGQual(int quality);
int GetJPEGQual();

// Filter texts for file dialogs, entries separated by ";;" ("Windows Bitmap
// (*.bmp);;..."). The save filter holds DibSaveFormats() in order.
std::string GetDIBOpenFilter();
std::string GetDIBSaveFilter();

// A copy of `src` resampled (with averaging) to width x height, 24 bits; a
// plain copy when it already has that size. False, `out` emptied, when the
// source is empty or the size bad.
bool ResampleDib(dib& out, const dib& src, int32_t width, int32_t height);

// An 8-bit copy with a fixed 256-colour palette (ordered dither), for
// displays of at most 256 colours. The XY variant resamples (with averaging)
// to width x height first. False when the source is empty or the size bad.
bool DIBHalftoneDIB(dib& out, const dib& src);
bool DIBHalftoneDIBXY(dib& out, const dib& src, int32_t width, int32_t height);
