// The document as one JSON object (UTF-8): the content, the template and
// every catalog setting the project file stores, under the setting's name.
#pragma once

#include <string>

#include "project/document.h"

namespace project {

// `file` is the project file name as it was opened.
std::string DumpJson(const Document& doc, const std::string& file);

// JSON pieces, exposed for tests.
std::string JsonString(const std::u16string& text);
std::string JsonNumber(double v);

}  // namespace project
