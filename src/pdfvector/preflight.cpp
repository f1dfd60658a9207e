#include "pdfvector/preflight.h"

#include <cstdio>

#include "core/codepage.h"

namespace pdfvec {

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

std::string Quoted(const std::string& s) {
  std::string o = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      o += '\\';
      o += static_cast<char>(c);
    } else if (c < 0x20) {
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04x", c);
      o += b;
    } else {
      o += static_cast<char>(c);
    }
  }
  return o + "\"";
}

std::string Quoted(const std::u16string& s) { return Quoted(ql::ToUtf8(s)); }

std::string Number(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.1f", v);
  return b;
}

}  // namespace

bool IsSubstitute(const std::u16string& asked, const std::string& usedFamily) {
  std::string name = ql::ToUtf8(asked);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
  while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.erase(0, 1);
  name = Lower(name);
  const std::string used = Lower(usedFamily);
  if (name == used) return false;
  // Faces made to the same character widths as the family they stand for.
  static const char* const kSameWidths[][2] = {
      {"arial", "liberation sans"},
      {"helvetica", "liberation sans"},
      {"arial narrow", "liberation sans narrow"},
      {"times new roman", "liberation serif"},
      {"times", "liberation serif"},
      {"courier new", "liberation mono"},
      {"courier", "liberation mono"},
  };
  for (const auto& p : kSameWidths)
    if (name == p[0] && used == p[1]) return false;
  return true;
}

std::string Preflight::ToJson() const {
  std::string j = "{\n  \"minPpi\": " + Number(minPpi) + ",\n  \"lowResolutionPictures\": [";
  for (size_t i = 0; i < lowResolution.size(); ++i) {
    const LowPicture& p = lowResolution[i];
    j += std::string(i ? "," : "") + "\n    {\"file\": " + (p.file.empty() ? "null" : Quoted(p.file)) +
         ", \"ppi\": " + Number(p.ppi) + ", \"widthMm\": " + Number(p.widthMm) +
         ", \"heightMm\": " + Number(p.heightMm) + ", \"firstPage\": " + std::to_string(p.firstPage) +
         ", \"pages\": " + std::to_string(p.pages) + "}";
  }
  j += lowResolution.empty() ? "]" : "\n  ]";
  j += ",\n  \"missingPictures\": [";
  for (size_t i = 0; i < missingPictures.size(); ++i)
    j += std::string(i ? "," : "") + "\n    {\"file\": " + Quoted(missingPictures[i].file) +
         ", \"reason\": " + (missingPictures[i].exists ? "\"unreadable\"" : "\"missing\"") + "}";
  j += missingPictures.empty() ? "]" : "\n  ]";
  j += ",\n  \"substitutedFonts\": [";
  for (size_t i = 0; i < substitutedFonts.size(); ++i)
    j += std::string(i ? "," : "") + "\n    {\"asked\": " + Quoted(substitutedFonts[i].asked) +
         ", \"used\": " + Quoted(substitutedFonts[i].used) + "}";
  j += substitutedFonts.empty() ? "]" : "\n  ]";
  j += ",\n  \"missingCharacters\": [";
  for (size_t i = 0; i < missingCharacters.size(); ++i)
    j += std::string(i ? "," : "") + "\n    {\"font\": " + Quoted(missingCharacters[i].font) +
         ", \"characters\": " + Quoted(missingCharacters[i].characters) +
         ", \"firstPage\": " + std::to_string(missingCharacters[i].firstPage) + "}";
  j += missingCharacters.empty() ? "]" : "\n  ]";
  j += ",\n  \"textsPastPage\": [";
  for (size_t i = 0; i < textsPastPage.size(); ++i)
    j += std::string(i ? "," : "") + "\n    {\"text\": " + Quoted(textsPastPage[i].text) +
         ", \"page\": " + std::to_string(textsPastPage[i].page) + "}";
  j += textsPastPage.empty() ? "]" : "\n  ]";
  j += ",\n  \"inkMaxPercent\": " + (inkMaxPercent < 0 ? std::string("null") : Number(inkMaxPercent));
  j += ",\n  \"blocking\": " + std::string(Blocking() ? "true" : "false") + "\n}\n";
  return j;
}

}  // namespace pdfvec
