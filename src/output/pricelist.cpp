#include "output/pricelist.h"

#include <unistd.h>

#include <QFile>
#include <QPrinter>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdio>

#include "i18n/messages.h"
#include "output/printing.h"
#include "platform/fontmap.h"
#include "project/fileio.h"

namespace output {

QString PriceListFontFamily() { return platform::MapFontFamily(u"Courier New"); }

void FillPriceListDocument(QTextDocument& doc, const std::vector<csv::PriceLine>& lines) {
  doc.clear();
  QFont base(PriceListFontFamily());
  base.setStyleHint(QFont::TypeWriter);
  base.setPointSize(10);
  doc.setDefaultFont(base);
  QTextCursor cur(&doc);
  cur.beginEditBlock();
  for (size_t i = 0; i < lines.size(); ++i) {
    QTextCharFormat f;
    f.setFontFamilies({PriceListFontFamily()});
    f.setFontFixedPitch(true);
    f.setFontPointSize(lines[i].points);
    f.setFontWeight(lines[i].bold ? QFont::Bold : QFont::Normal);
    f.setForeground(Qt::black);
    if (i > 0)
      cur.insertBlock(QTextBlockFormat(), f);
    else
      cur.setBlockCharFormat(f);
    cur.setCharFormat(f);
    cur.insertText(QString::fromStdU16String(lines[i].text), f);
  }
  cur.endEditBlock();
}

bool WritePriceList(const Document& doc, const std::string& path, PriceListFormat format,
                    std::string& error) {
  const std::u16string title = i18n::Msg(43);
  const std::vector<csv::PriceLine> lines = csv::BuildPriceList(doc, title);
  if (format != PriceListFormat::Pdf) {
    const std::string bytes =
        format == PriceListFormat::Text
            ? csv::PriceListPlainText(lines)
            : csv::PriceListHtml(lines, title,
                                 "'" + PriceListFontFamily().toStdString() + "', 'Courier New', monospace");
    std::string reason;
    if (project::WriteFileAtomically(path, bytes, reason)) return true;
    error = "cannot write " + path + ": " + reason;
    return false;
  }
  // Qt's PDF printer writes as it goes: into a temporary name beside the
  // target, renamed over it when the job has ended without error.
  const std::string tmp = project::FolderPart(path) + ".pricelist-" + std::to_string(::getpid()) + ".pdf.tmp";
  QTextDocument text;
  FillPriceListDocument(text, lines);
  PrintResult r;
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(tmp));
    r = PrintRichText(text, printer, i18n::Msg(44));
  }
  if (!r.ok || !QFile::exists(QString::fromStdString(tmp))) {
    std::remove(tmp.c_str());
    error = "cannot write " + path +
            (r.ok ? std::string() : " (" + r.error.substr(0, r.error.find(" on ")) + ")");
    return false;
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace output
