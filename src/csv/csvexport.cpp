#include "csv/csvexport.h"

#include "core/codepage.h"
#include "core/linebreaks.h"
#include "core/safefile.h"
#include "i18n/messages.h"
#include "i18n/texts.h"

namespace csv {

namespace {

std::u16string AppTitle() { return i18n::Tr(u"Quillane"); }

}  // namespace

std::u16string QuoteValue(const std::u16string& value) {
  std::u16string out;
  out.reserve(value.size() + 2);
  out.push_back(u'"');
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    // Every line break (CR LF, or a lone CR or LF as typed into the editor)
    // leaves as the escaped CR LF that other programs expect.
    if (const size_t n = ql::LineBreakAt(value, i)) {
      out += u"\\r\\n";
      i += n - 1;
    } else if (c == u'"') {
      out += u"\"\"";
    } else {
      out.push_back(c);
    }
  }
  out.push_back(u'"');
  return out;
}

std::u16string ProductLine(const Document& doc, const Product& p, const std::u16string* category) {
  static const std::u16string empty;
  std::u16string line;
  auto add = [&](const std::u16string& v) {
    if (!line.empty()) line.push_back(u';');
    line += QuoteValue(v);
  };
  if (category) add(*category);
  add(p.name);
  add(p.description);
  add(p.pictures.Empty() ? empty : p.pictures[0].filename);
  const uint32_t t = static_cast<uint32_t>(doc.templatecolumns.size());
  for (const VariantRow& row : p.variants)
    for (uint32_t c = 0; c < t; ++c) add(c < row.cells.Count() ? row.cells[c].text : empty);
  return line;
}

bool ExportCSVFile(const Document& doc, const std::string& path, bool all, int32_t selected,
                   std::u16string& error) {
  const std::u16string uname = ql::FromUtf8(path);
  if (!all && (selected < 0 || static_cast<uint32_t>(selected) >= doc.kats.Count())) {
    error = i18n::Msg(37);
    return false;
  }
  ql::SafeFile f;
  if (!f.Open(path)) {
    error = i18n::Msg(34) + uname + u" (" + i18n::SystemErrorText(f.Error()) + u")";
    return false;
  }
  auto writeCategory = [&](const Category& cat) {
    for (const Product& p : cat.products) {
      std::string bytes = ql::ToCp1252(ProductLine(doc, p, all ? &cat.name : nullptr));
      bytes += "\r\n";
      if (!f.Write(bytes)) return false;
    }
    return true;
  };
  bool ok = true;
  if (all) {
    for (const Category& cat : doc.kats)
      if (!(ok = writeCategory(cat))) break;
  } else {
    ok = writeCategory(doc.kats[static_cast<uint32_t>(selected)]);
  }
  if (!ok || !f.Commit()) {
    error = i18n::Tr(u"Fehler beim Schreiben der Datei: ") + uname + u" (" +
            i18n::SystemErrorText(f.Error()) + u")";
    return false;
  }
  return true;
}

bool ExportalsCSVDatei(const Document& doc, int32_t selected, Feedback& fb,
                       const std::function<std::string()>& chooseFile) {
  const bool all = fb.Ask(i18n::Msg(35), i18n::Msg(36), Buttons::YesNo) == Answer::Yes;
  if (!all && (selected < 0 || static_cast<uint32_t>(selected) >= doc.kats.Count())) {
    fb.ShowMessage(i18n::Msg(37), i18n::Msg(36), MessageIcon::Error);
    return false;
  }
  const std::string path = chooseFile ? chooseFile() : std::string();
  if (path.empty()) return false;
  std::u16string error;
  if (!ExportCSVFile(doc, path, all, selected, error)) {
    fb.ShowMessage(error, AppTitle(), MessageIcon::Error);
    return false;
  }
  return true;
}

}  // namespace csv
