#include "output/pricelistdocument.h"

#include <QPrinter>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "core/codepage.h"
#include "i18n/messages.h"
#include "i18n/texts.h"
#include "output/printjob.h"
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
    error = i18n::SayUtf8(i18n::Text::CannotWriteFile, {ql::FromUtf8(path), i18n::SystemErrorText(reason)});
    return false;
  }
  // Qt's PDF printer; PrintRichText puts its file in place only when it is
  // a complete PDF (see output/printjob.h).
  QTextDocument text;
  FillPriceListDocument(text, lines);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  const PrintResult r = PrintRichText(text, printer, i18n::Msg(44));
  if (!r.ok) {
    error = r.error;
    return false;
  }
  return true;
}

}  // namespace output
