#include "output/pageimages.h"

#include <cmath>
#include <new>

#include "i18n/texts.h"
#include "imaging/pixoran.h"
#include "output/bitmapsink.h"
#include "output/pagejobs.h"
#include "render/layouts/layouts.h"
#include "render/units.h"

namespace output {

bool MakeImageFileNames(const std::string& chosen, int filterIndex, ImageFileNames& out) {
  const DibFileFormat* f = DibFormatByCode(filterIndex + 2);
  if (filterIndex < 1 || !f || !f->writable) return false;
  out.formatCode = f->code;
  const size_t sep = chosen.find_last_of("/\\");
  const size_t name = sep == std::string::npos ? 0 : sep + 1;
  const size_t dot = chosen.find_last_of('.');
  if (dot == std::string::npos || dot < name) {
    out.base = chosen;
    out.extension = f->extension;
  } else {
    out.base = chosen.substr(0, dot);
    out.extension = chosen.substr(dot);
  }
  return true;
}

PageImagesResult ExportPageImages(render::RenderSession& session, const std::string& chosenName,
                                  const PageImagesOptions& options, const PageImagesProgressFn& progress) {
  PageImagesResult res;
  if (!(options.dpi >= 10 && options.dpi <= 1440)) {
    res.error = i18n::SayUtf8(i18n::Text::ResolutionOutOfRange, {u"10", u"1440"});
    return res;
  }
  ImageFileNames names;
  if (!MakeImageFileNames(chosenName, options.filterIndex, names)) {
    res.error = i18n::SayUtf8(i18n::Text::PicFormatNotWritable, {i18n::Decimal(options.filterIndex)});
    return res;
  }
  const int32_t quality = render::TruncClamp(100 - options.compress);
  if (!(options.compress >= 0 && options.compress <= 100)) {
    res.error = i18n::SayUtf8(i18n::Text::CompressionOutOfRange);
    return res;
  }
  const int32_t from = options.allPages ? 1 : render::RoundEven(options.from);
  const int32_t to = options.allPages ? INT32_MAX : render::RoundEven(options.to);

  const render::RenderParams p = OutputPageParams(options.printer, render::TruncClamp(options.dpi));
  res.error = CheckPageSize(p);
  if (!res.error.empty()) return res;
  res.width = p.width;
  res.height = p.height;

  SetJPEGQual(quality);
  PageJobs jobs(options.encoderThreads);
  int32_t submitted = 0;
  BitmapSink sink(
      p.width, p.height,
      [&](int32_t page, bool& draw) {
        draw = page >= from && page <= to;
        return !progress || progress(PageImagesProgress{page, submitted});
      },
      [&](int32_t page, dib&& bitmap) {
        const std::string file = names.PageFile(page);
        if (res.firstFile.empty()) res.firstFile = file;
        const int code = names.formatCode;
        const int32_t dpi = render::TruncClamp(options.dpi);
        jobs.Submit(page, std::move(bitmap), [file, code, dpi](dib& d) {
          std::string error;
          return SaveDib(d, file, code, &error, dpi) ? std::string() : error;
        });
        ++submitted;
        return true;
      });
  if (!sink.ok()) {
    res.error = NoMemoryForPageOf(p.width, p.height);
    return res;
  }

  render::AllPagesResult all;
  try {
    all = render::RenderAllPages(session, p, sink, options.layout);
  } catch (const std::bad_alloc&) {
    res.error = i18n::SayUtf8(i18n::Text::NoMemoryForPages);
  }
  jobs.Wait();
  res.anzpages = all.pages;
  res.saved = jobs.Succeeded();
  if (!sink.error().empty() && res.error.empty()) res.error = sink.error();
  if (!jobs.Failures().empty() && res.error.empty()) res.error = jobs.Failures().begin()->second;
  if (sink.cancelled() && res.error.empty()) res.cancelled = true;
  if (res.error.empty() && !res.cancelled && submitted == 0) {
    res.error = from > to
                    ? i18n::SayUtf8(i18n::Text::PageRangeReversed, {i18n::Decimal(from), i18n::Decimal(to)})
                    : i18n::SayUtf8(i18n::Text::PageRangeEmpty,
                                    {i18n::Decimal(all.pages), i18n::Decimal(from), i18n::Decimal(to)});
  }
  res.ok = res.error.empty() && !res.cancelled;
  return res;
}

}  // namespace output
