// TPDFCanvas: writes a PDF 1.3 file page by page, straight to the file (no
// object model in memory). Each page gets one content stream that paints the
// page images placed with DrawDIB; EndDoc writes the page tree, the catalog,
// an empty outline, the image objects and the cross-reference table.
//
// Object numbers: 1 the procedure set; page k has its content stream in 2k
// and that stream's length in 2k + 1; then the page tree P = 2N + 2, the
// pages P + 1 ... P + N, the catalog P + N + 1, the outline root P + N + 2
// and the images from P + N + 3 on, in registration order.
//
// Images are encoded while the document grows: DrawDIB copies the bitmap
// and hands it to a pool of encoder threads, which build the samples (RGB,
// or CMYK through Little CMS), deflate them and spool the compressed stream
// to a private temporary folder; EndDoc copies the spooled streams into the
// file in registration order. The file's bytes do not depend on the number
// of threads. Memory holds at most (threads + queue) bitmaps at a time.
//
// Errors (the file cannot be created, a write fails, the disk is full, a
// spool file cannot be made) are sticky: later output is skipped and EndDoc
// returns false; the message is in LastError(). The partly written file is
// left to the caller.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/temppaths.h"
#include "imaging/dib/dib.h"

namespace pdfimg {
class CmykConverter;
class WorkerPool;
}  // namespace pdfimg

struct PDFCanvasOptions {
  // Folder of the executable; the press profile is looked for there.
  std::string progpath;
  // A colour profile to use instead of the one in the program's folder
  // (a command-line option or the per-user setting); empty = none.
  std::string profilePath;
  // Where the private spool folder is made; empty = $TMPDIR, else /tmp.
  std::string tempFolder;
  // Encoder threads: -1 = one per core, 0 = encode on the caller's thread.
  int encoderThreads = -1;
  // Flush the file to disk before closing it (for a file that is renamed
  // over another afterwards).
  bool syncOnClose = false;
};

class TPDFCanvas {
 public:
  explicit TPDFCanvas(const PDFCanvasOptions& options = {});
  virtual ~TPDFCanvas();  // completes an open document, removes the spool folder
  TPDFCanvas(const TPDFCanvas&) = delete;
  TPDFCanvas& operator=(const TPDFCanvas&) = delete;

  // Creates or truncates `fname`; false (nothing else happens) if it cannot
  // be created. Begins page 1.
  bool BeginDoc(const std::string& fname);
  // The same on a file the caller has opened for writing; the writer takes
  // the descriptor over and closes it. `name` is used in messages.
  bool BeginDoc(int fd, const std::string& name);

  // Places the 24-bit bitmap `di` with its top-left corner at (x1, y1)
  // (y downward from the top of the page), x2w × y2w points large. Of the
  // source area only xx2w and yy2w are examined: when any of x2w, y2w, xx2w,
  // yy2w is 0 nothing happens. A bitmap that is not a complete 24-bit one is
  // refused (false, and the document is marked failed). The caller may reuse
  // `di` as soon as the call returns.
  bool DrawDIB(int32_t x1, int32_t y1, int32_t x2w, int32_t y2w, const dib& di, int32_t xx1, int32_t yy1,
               int32_t xx2w, int32_t yy2w);
  // The same, handing the bitmap's pixel memory to the encoder instead of
  // copying it: `di` keeps its header and gets pixel memory of the same size
  // whose content is unspecified (ready to be drawn into again).
  bool DrawDIB(int32_t x1, int32_t y1, int32_t x2w, int32_t y2w, dib&& di, int32_t xx1, int32_t yy1,
               int32_t xx2w, int32_t yy2w);

  void NewPage();
  // Completes and closes the document. True when the whole file was written
  // and closed without error; a second call does nothing and gives the same
  // answer.
  bool EndDoc();
  // Closes an open document without completing it (for a cancelled export);
  // pending images are dropped. The incomplete file stays for the caller.
  void AbortDoc();

  bool isOpen() const { return isincreation; }
  bool Failed() const;
  std::string LastError() const;
  bool uselcms() const;
  // Why the Little CMS conversion is not in use (empty when it is).
  std::string colorFallbackReason() const;
  // The colour profile of the Little CMS conversion (empty when not in use).
  std::string profileUsed() const;
  int encoderThreads() const;

  // Registered images and their spool files (for tests and diagnostics).
  size_t imageCount() const { return images.size(); }
  std::string spoolFolder() const { return spoolfolder; }
  std::vector<std::string> spoolFiles() const;

  // Size of the page being drawn in points; each page keeps the size in
  // effect when it is finished.
  int32_t PageWidth = 595;
  int32_t PageHeight = 841;
  // Set before BeginDoc.
  bool compressasCMYK = false;
  bool usetempfileforimages = false;

  // Object numbers of the last document.
  int32_t rootObjNr = 0;
  int32_t procobjsnr = 0;
  int32_t parentnr = 0;
  int32_t fontobjnr = 0;
  int32_t apages = 0;

 private:
  struct ObjEntry {
    uint64_t offset = 0;
    uint32_t generation = 0;
    bool free = false;
  };
  struct PageSize {
    int32_t width = 0, height = 0;
  };
  struct ImageEntry;

  bool placeImage(int32_t x1, int32_t y1, int32_t x2w, int32_t y2w, const dib& di, int32_t xx2w, int32_t yy2w,
                  dib* takeover);
  void write(const std::string& s);
  void writeln(const std::string& s);
  void writeBytes(const uint8_t* data, size_t len);
  void flushFile();
  void fail(const std::string& message);
  int32_t beginObj(bool dict);
  void endObj(bool dict);
  void beginPage();
  void finishPage();
  void writeImageObject(ImageEntry& img);
  void closeFile();
  void encodeJob(ImageEntry& img, std::vector<uint8_t> pixels, int32_t width, int32_t height, int32_t bytew);
  void stopEncoders(bool drop);

  PDFCanvasOptions opts;
  std::unique_ptr<pdfimg::CmykConverter> conv;
  std::unique_ptr<pdfimg::WorkerPool> pool;

  std::vector<ObjEntry> objs;
  std::vector<PageSize> PageProps;
  std::vector<std::unique_ptr<ImageEntry>> images;
  std::string spoolfolder;
  uint32_t nextspool = 0;
  // The file being written and the spool folder are removed if the program
  // is interrupted (core/temppaths.h) while they exist.
  ql::TemporaryPath fileGuard_, spoolGuard_;

  int fd = -1;
  std::string fname_;
  std::vector<uint8_t> filebuf;  // pending file output
  uint64_t filepos = 0;          // bytes written to the file so far, buffered ones included
  uint64_t startstream = 0, endstream = 0, startxref = 0;
  bool isincreation = false;
  bool instream = false;
  std::string streambuf;
  bool docCMYK = false;  // compressasCMYK as it was at BeginDoc
  bool completed = false;

  // Pixel buffers handed back by the encoders, reused for later images.
  std::vector<uint8_t> takeBuffer(size_t bytes);
  void giveBuffer(std::vector<uint8_t> buf);
  std::mutex bufmu;
  std::vector<std::vector<uint8_t>> freebufs;

  mutable std::mutex errmu;  // encoder threads report failures too
  std::string error;
};
