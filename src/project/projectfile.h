// Project files: the reader of the current format (".pk2"), the reader of the
// older format (".pkd", 8-bit texts, ends after group 43) and the writer,
// which always writes the current format.
//
// Paths are UTF-8 (std::string). Readers read into a fresh document that
// starts with the open document's settings and template (a file that ends
// early keeps the values it lacks, except BackgroundColorCheck, which goes off
// as for a new document) and replace the open document only after the whole
// file was read. On any failure the open document, its file name and its
// changed flag stay exactly as they were and `error` (if given) receives a
// message naming the file and what is wrong.
#pragma once

#include <string>
#include <string_view>

#include "project/document.h"

struct ReadOptions {
  // Drop trailing empty variant rows and columns while reading.
  bool LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = true;
  // Most memory the catalog's record arrays may take while reading; a file
  // that would need more is refused (many tiny arrays cost more memory than
  // file bytes). The last guard: checked before each block is allocated.
  uint64_t memoryBudget = uint64_t(2) << 30;

  static ReadOptions FromDocument(const Document& doc) {
    ReadOptions o;
    o.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 =
        doc.options.LeereVariantenSpaltenundZeilenbeimffnenentfernen1;
    return o;
  }
};

enum class ProjectFormat { Current, Older };

// Reads a current-format project file into `doc`; true on success.
bool OpenFileWithName(Document& doc, const std::string& path, const ReadOptions& options,
                      std::u16string* error = nullptr);
bool OpenFileWithName(Document& doc, const std::string& path, std::u16string* error = nullptr);

// Reads an older-format project file into `doc`; true on success. File names
// are used exactly as stored.
bool OpenFileWithNameOLD(Document& doc, const std::string& path, const ReadOptions& options,
                         std::u16string* error = nullptr);
bool OpenFileWithNameOLD(Document& doc, const std::string& path, std::u16string* error = nullptr);

// Picks the reader by the extension: ".pkd" in any letter case is the older
// format, everything else the current one.
bool OpenProjectFile(Document& doc, const std::string& path, const ReadOptions& options,
                     std::u16string* error = nullptr);

// Reads project file content held in memory, as if read from `path` (whose
// folder resolves bare picture names in the current format; an empty `path`
// keeps every name as stored, as ProjectFileBytes wrote it without a file).
// Same contract as the readers above.
bool ReadProjectBytes(Document& doc, std::string_view bytes, ProjectFormat format, const std::string& path,
                      const ReadOptions& options, std::u16string* error = nullptr);

// The bytes of a current-format project file holding `doc`, as saved under
// `path`: each picture is stored as the file the document draws
// (Document::FindPicture), as a bare name when that file lies directly in the
// folder of `path`, otherwise as its full name. An empty `path` (a snapshot,
// no file) keeps every name as held.
std::string ProjectFileBytes(const Document& doc, const std::string& path);

// Writes `doc` to `path` in the current format. The previous file is replaced
// only once the new one is completely on disk; on failure it is left intact,
// false is returned and `error` begins with message 49 and the file name.
// Does not touch the document's file name or changed flag.
bool SaveProjectFile(const Document& doc, const std::string& path, std::u16string* error = nullptr);
