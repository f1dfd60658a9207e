#include "project/templatefile.h"

#include <new>

#include "core/codepage.h"
#include "i18n/messages.h"
#include "project/fileio.h"

namespace {

std::u16string Utf16(const std::string& bytes, size_t from, bool bigEndian) {
  std::u16string s;
  s.reserve((bytes.size() - from) / 2);
  for (size_t i = from; i + 1 < bytes.size(); i += 2) {
    const unsigned a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    s.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
  }
  return s;
}

}  // namespace

std::vector<std::u16string> ParseTemplateText(const std::string& bytes) {
  std::u16string text;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
    text = ql::FromUtf8(std::string_view(bytes).substr(3));
  else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0)
    text = Utf16(bytes, 2, false);
  else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFE\xFF") == 0)
    text = Utf16(bytes, 2, true);
  else
    text = ql::FromCp1252(bytes);

  std::vector<std::u16string> titles;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    titles.push_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) titles.push_back(text.substr(start));
  return titles;
}

bool LoadTemplateFile(const std::string& path, std::vector<std::u16string>& titles, std::u16string* error) {
  std::string bytes, reason;
  if (!project::ReadWholeFile(path, bytes, reason)) {
    if (error) *error = i18n::Msg(1) + ql::FromUtf8(path) + u"\n" + ql::FromUtf8(reason);
    return false;
  }
  try {
    titles = ParseTemplateText(bytes);
  } catch (const std::bad_alloc&) {
    if (error) *error = i18n::Msg(1) + ql::FromUtf8(path) + u"\nNicht genug Speicher.";
    return false;
  }
  return true;
}

bool SaveTemplateFile(const std::string& path, const std::vector<std::u16string>& titles,
                      std::u16string* error) {
  std::string bytes;
  for (const auto& t : titles) {
    bytes += ql::ToCp1252(t);
    bytes += "\r\n";
  }
  std::string reason;
  if (project::WriteFileAtomically(path, bytes, reason)) return true;
  if (error) *error = i18n::Msg(49) + u": " + ql::FromUtf8(path) + u"\n" + ql::FromUtf8(reason);
  return false;
}
