// Variant-table template files (".vor"): one column title per line.
#pragma once

#include <string>
#include <vector>

// Reads the titles of a template file. A file starting with a UTF-8 or
// UTF-16 byte order mark is read in that encoding, any other as
// Windows-1252. Every line (CR LF, LF or CR ended), empty ones included, is
// one title; a final line break adds no empty title. On failure `titles` is
// left as it was and `error` names the file.
bool LoadTemplateFile(const std::string& path, std::vector<std::u16string>& titles,
                      std::u16string* error = nullptr);

// Writes the titles in Windows-1252 (characters it lacks become "?"), each
// followed by CR LF, without a byte order mark. The old file is replaced only
// once the new one is complete.
bool SaveTemplateFile(const std::string& path, const std::vector<std::u16string>& titles,
                      std::u16string* error = nullptr);

// The titles held by template file content (exposed for tests).
std::vector<std::u16string> ParseTemplateText(const std::string& bytes);
