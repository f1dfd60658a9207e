#include "output/printjob.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "core/codepage.h"
#include "core/safefile.h"
#include "i18n/texts.h"
#include "platform/printer.h"
#include "platform/qtsurface.h"
#include "render/layouts/layouts.h"

namespace output {

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

using i18n::Text;

// The printer's name, or the file of Qt's PDF output, for messages.
std::u16string Label(const QPrinter& printer) {
  return (printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName())
      .toStdU16String();
}
std::u16string Num(int64_t n) { return ql::FromUtf8(std::to_string(n)); }
// A message of the catalog in the current language, as the result's UTF-8.
std::string Said(Text t, std::initializer_list<std::u16string> args = {}) {
  return ql::ToUtf8(i18n::Say(t, args));
}

// Qt's PDF printer writes its file as it goes and does not report write
// errors (a full disk leaves a truncated PDF and a job that "succeeded").
// So a PDF printed to a file goes through a ql::SafeFile like every other
// output: the printer writes into the SafeFile's temporary file (made
// exclusively beside the target, registered for removal on interrupt), and
// only a complete PDF is renamed over the target.
class PrinterPdfFile {
 public:
  ~PrinterPdfFile() { Abandon(); }

  // Points `printer` at the temporary file of `target`; false with Error()
  // when the target cannot be replaced (read-only, a folder, no folder ...).
  bool Begin(const std::string& target, QPrinter& printer) {
    target_ = target;
    if (!file_.Open(target)) return Fail(file_.Error());
    fd_ = file_.ReleaseDescriptor();
    if (fd_ < 0) return Fail(file_.Error());
    // The printer opens its file by name and truncates it. Through the
    // descriptor's own name it opens this very file, even if someone renamed
    // or replaced the temporary name in the folder meanwhile.
    std::string name = "/proc/self/fd/" + std::to_string(fd_);
    struct stat a {
    }, b{};
    if (::stat(name.c_str(), &a) != 0 || ::fstat(fd_, &b) != 0 || a.st_ino != b.st_ino ||
        a.st_dev != b.st_dev)
      name = file_.TempName();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(name));
    return true;
  }

  // After the job: checks that the file is a whole PDF (its trailer ends in
  // %%EOF and points at a cross-reference table inside the file) and puts it
  // in place. False with Error() otherwise; the old file is then untouched.
  bool Finish() {
    if (fd_ < 0) return Fail(file_.Error().empty() ? std::strerror(EBADF) : file_.Error());
    if (::fsync(fd_) != 0) return Fail(std::strerror(errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return Fail(std::strerror(errno));
    if (!Complete(static_cast<off_t>(st.st_size))) {
      const std::string why = Diagnose();
      return Fail(why.empty() ? Said(Text::PdfPrinterIncomplete) : why);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail(std::strerror(errno));
    if (!file_.Commit()) return Fail(file_.Error());
    return true;
  }

  void Abandon() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    file_.Abandon();
  }

  // Why the printer could not write the whole file, as far as the file
  // system tells: a full disk or the file-size limit; empty when neither.
  std::string Diagnose() const {
    if (fd_ < 0) return std::string();
    constexpr unsigned long long kSlack = 64 * 1024;  // less than one of the printer's writes
    struct statvfs fs {};
    if (::fstatvfs(fd_, &fs) == 0) {
      const unsigned long long blocks = ::geteuid() == 0 ? fs.f_bfree : fs.f_bavail;
      if (blocks * fs.f_frsize < kSlack) return std::strerror(ENOSPC);
    }
    struct rlimit lim {};
    struct stat st {};
    if (::getrlimit(RLIMIT_FSIZE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY && ::fstat(fd_, &st) == 0 &&
        static_cast<unsigned long long>(st.st_size) + kSlack >= lim.rlim_cur)
      return std::strerror(EFBIG);
    return std::string();
  }

  const std::string& Error() const { return error_; }
  const std::string& Target() const { return target_; }
  std::string TempName() const { return file_.TempName(); }

 private:
  bool Fail(const std::string& why) {
    error_ = why;
    Abandon();
    return false;
  }

  // The tail of the file: "startxref", the table's offset, "%%EOF" and at
  // most white space after it; the offset lies inside the file and starts
  // the table ("xref") or a cross-reference stream ("N 0 obj").
  bool Complete(off_t size) const {
    if (size < 64) return false;
    const off_t tailSize = std::min<off_t>(size, 1024);
    std::string tail(static_cast<size_t>(tailSize), '\0');
    if (::pread(fd_, tail.data(), tail.size(), size - tailSize) != tailSize) return false;
    size_t end = tail.size();
    while (end > 0 && std::strchr(" \r\n\t", tail[end - 1])) --end;
    if (end < 5 || tail.compare(end - 5, 5, "%%EOF") != 0) return false;
    const size_t sx = tail.rfind("startxref", end - 5);
    if (sx == std::string::npos) return false;
    size_t i = sx + 9;
    while (i < end && std::strchr(" \r\n", tail[i])) ++i;
    off_t offset = 0;
    size_t digits = 0;
    for (; i < end && tail[i] >= '0' && tail[i] <= '9' && digits < 18; ++i, ++digits)
      offset = offset * 10 + (tail[i] - '0');
    if (digits == 0 || offset >= size - 4) return false;
    char head[4];
    if (::pread(fd_, head, 4, offset) != 4) return false;
    return std::memcmp(head, "xref", 4) == 0 || (head[0] >= '0' && head[0] <= '9');
  }

  ql::SafeFile file_;
  std::string target_, error_;
  int fd_ = -1;
};

// The message for a PDF file the printer could not write, for `reason`.
std::string CannotWritePdf(const std::string& target, const std::string& reason) {
  return i18n::SayUtf8(i18n::Text::CannotWriteFile, {ql::FromUtf8(target), i18n::SystemErrorText(reason)});
}

// Runs `job` on `printer`; when the printer prints into a PDF file, through
// a PrinterPdfFile (the printer's file name is restored afterwards).
template <class Job>
PrintResult ThroughSafeFile(QPrinter& printer, Job job) {
  const QString name = printer.outputFileName();
  if (printer.outputFormat() != QPrinter::PdfFormat || name.isEmpty()) return job();
  const std::string target = name.toStdString();
  PrinterPdfFile file;
  PrintResult res;
  if (!file.Begin(target, printer)) {
    res.error = CannotWritePdf(target, file.Error());
    return res;
  }
  const std::string label = printer.outputFileName().toStdString();
  res = job();
  const std::string why = res.ok ? std::string() : file.Diagnose();
  printer.setOutputFileName(name);
  if (!res.ok) {
    // The job's own message names the printer's file; the user knows the target.
    for (size_t at = 0; (at = res.error.find(label, at)) != std::string::npos; at += target.size())
      res.error.replace(at, label.size(), target);
    if (!why.empty()) res.error = CannotWritePdf(target, why);
    return res;
  }
  if (!file.Finish()) {
    res.ok = false;
    res.error = CannotWritePdf(target, file.Error());
  }
  return res;
}

// One sheet per page on the printer's painter. The painter is begun with the
// first page that is drawn, so a run that draws no page starts no job.
class PrinterSink : public render::PageSink {
 public:
  // only = 0: every page; otherwise that page alone.
  PrinterSink(QPrinter& printer, int32_t only) : printer_(printer), only_(only), measuring_(nullptr, true) {}

  render::DrawingSurface& MeasuringSurface() override { return measuring_; }

  render::DrawingSurface* BeginPage(int32_t page) override {
    if (!error.empty() || (only_ > 0 && page != only_)) return nullptr;
    if (!surface_) {
      surface_ = std::make_unique<platform::QtSurface>(&printer_, true);
      if (!surface_->Active()) {
        error = Said(Text::PrintJobNotStarted, {Label(printer_)});
        return nullptr;
      }
    } else if (!printer_.newPage()) {
      error = Said(Text::PrinterRefusedSheet, {Num(page)});
      return nullptr;
    }
    return surface_.get();
  }

  bool EndPage(int32_t page, render::DrawingSurface&) override {
    ++sheets;
    return only_ == 0 || page < only_;
  }

  // Ends the job; false when the printer reports an error.
  bool Finish() {
    if (!surface_) return true;
    surface_->End();
    if (printer_.printerState() == QPrinter::Error) {
      if (error.empty()) error = Said(Text::PrintingFailed, {Label(printer_)});
      return false;
    }
    return error.empty();
  }

  int32_t sheets = 0;
  std::string error;

 private:
  QPrinter& printer_;
  int32_t only_;
  platform::QtSurface measuring_;  // no device: lays out, draws nothing
  std::unique_ptr<platform::QtSurface> surface_;
};

PrintResult Print(render::RenderSession& session, QPrinter& printer, int32_t only,
                  const std::u16string& jobTitle, int32_t layoutindex) {
  PrintResult res;
  if (!PrinterUsable(printer, res.error)) return res;
  const platform::PrinterPage page = platform::PrinterPageOf(printer);
  printer.setDocName(Q(jobTitle));
  render::RenderParams p;
  p.dpi = page.resx;
  p.width = page.width;
  p.height = page.height;
  p.zoomedvalue = 100;
  p.printit = true;
  p.widthmm = platform::PageWidthMm(page);
  p.heightmm = platform::PageHeightMm(page);
  const int32_t before = session.anzpages;
  PrinterSink sink(printer, only);
  const render::AllPagesResult r = render::RenderAllPages(session, p, sink, layoutindex);
  res.anzpages = r.pages;
  res.pages = sink.sheets;
  if (only > 0) session.anzpages = before;
  const bool finished = sink.Finish();
  if (!finished) {
    res.error = sink.error;
    return res;
  }
  if (only > 0 && sink.sheets == 0) {
    res.error = Said(Text::PageMissing, {Num(only), Num(r.pages)});
    return res;
  }
  res.ok = true;
  return res;
}

}  // namespace

bool PrinterUsable(const QPrinter& printer, std::string& why) {
  const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
  if (pdf && !printer.outputFileName().isEmpty()) return true;
  if (pdf || printer.printerName().isEmpty()) {
    why = Said(Text::NoPrinter);
    return false;
  }
  if (!printer.isValid()) {
    why = Said(Text::PrinterUnusable, {Label(printer)});
    return false;
  }
  return true;
}

PrintResult PrintCatalog(render::RenderSession& session, QPrinter& printer, const std::u16string& jobTitle,
                         int32_t layoutindex) {
  return ThroughSafeFile(printer, [&] { return Print(session, printer, 0, jobTitle, layoutindex); });
}

PrintResult PrintCatalogPage(render::RenderSession& session, QPrinter& printer, int32_t page,
                             const std::u16string& jobTitle, int32_t layoutindex) {
  if (page < 1) {
    PrintResult res;
    res.error = Said(Text::PageNumbersFromOne);
    return res;
  }
  return ThroughSafeFile(printer, [&] { return Print(session, printer, page, jobTitle, layoutindex); });
}

namespace {

PrintResult PrintRichTextJob(const QTextDocument& text, QPrinter& printer, const std::u16string& jobTitle) {
  PrintResult res;
  if (!PrinterUsable(printer, res.error)) return res;
  const platform::PrinterPage page = platform::PrinterPageOf(printer);
  // Half an inch on every side, in device pixels.
  const int32_t mx = page.resx / 2, my = page.resy / 2;
  const QRect area(mx, my, page.width - 2 * mx, page.height - 2 * my);
  if (area.width() <= 0 || area.height() <= 0) {
    res.error = Said(Text::PageSmallerThanMargins, {Label(printer)});
    return res;
  }
  printer.setDocName(Q(jobTitle));

  // Laid out on a copy at the printer's resolution, one page per area.
  std::unique_ptr<QTextDocument> copy(text.clone());
  copy->documentLayout()->setPaintDevice(&printer);
  copy->setDocumentMargin(0);
  copy->setPageSize(QSizeF(area.size()));
  const int pages = std::max(1, copy->pageCount());

  QPainter painter;
  if (!painter.begin(&printer)) {
    res.error = Said(Text::PrintJobNotStarted, {Label(printer)});
    return res;
  }
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  for (int i = 0; i < pages; ++i) {
    if (i > 0 && !printer.newPage()) {
      res.error = Said(Text::PrinterRefusedSheet, {Num(i + 1)});
      break;
    }
    painter.save();
    painter.setClipRect(area);
    painter.setPen(Qt::black);
    // Line by line: the layout keeps every line on one page, and a line is
    // drawn on that page only (no clipped copy at the foot of the page
    // before, which would show up in the PDF's text).
    const qreal top = static_cast<qreal>(i) * area.height();
    for (QTextBlock b = copy->begin(); b.isValid(); b = b.next()) {
      const QTextLayout* layout = b.layout();
      if (!layout) continue;
      const QPointF at = copy->documentLayout()->blockBoundingRect(b).topLeft();
      for (int l = 0; l < layout->lineCount(); ++l) {
        const QTextLine line = layout->lineAt(l);
        const qreal y = at.y() + line.y();
        if (y < top || y >= top + area.height()) continue;
        line.draw(&painter, QPointF(area.left() + at.x(), area.top() + at.y() - top));
      }
    }
    painter.restore();
    res.pages = i + 1;
  }
  painter.end();
  if (res.error.empty() && printer.printerState() == QPrinter::Error)
    res.error = Said(Text::PrintingFailed, {Label(printer)});
  res.ok = res.error.empty();
  return res;
}

}  // namespace

PrintResult PrintRichText(const QTextDocument& text, QPrinter& printer, const std::u16string& jobTitle) {
  return ThroughSafeFile(printer, [&] { return PrintRichTextJob(text, printer, jobTitle); });
}

}  // namespace output
