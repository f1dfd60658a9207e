// The translation table: every German text the program shows is its own key;
// columns 1 ... 19 hold the same text in further languages (the columns
// of i18n::InterfaceLanguages(), i18n/languages.h). The table is kept in translate.dat next to the
// executable and rewritten whenever a lookup meets a text it does not know,
// so running the program collects every text that still needs translating.
//
// translate.dat, little-endian, no header:
//   i32 C (number of columns, 20 when written), i32 R (number of rows),
//   R rows of C texts; a text is i32 n followed by n UTF-16LE code units.
// Reading keeps the first 20 columns and drops further ones; columns a
// shorter file lacks stay empty.
//
// The window translates its own texts (captions, hints, list items, file
// dialog filters, ...) by passing each of them through i18n::Tr (messages.h)
// once the table is installed with SetCurrentTable; a filter string such as
// "Produkt Kataloge (*.pk2)|*.pk2" is one text.
#pragma once

#include <cstdint>
#include <string>

#include "core/dynaarray.h"

namespace i18n {

constexpr int kColumns = 20;
constexpr int kBuckets = 256;

struct TranslationEntry {
  std::u16string texts[kColumns];
};

struct TranslationKey {
  std::u16string key;  // copy of the German text
  int32_t entry = 0;   // its row in the table
};

enum class LoadStatus {
  Loaded,   // the file was read completely
  Missing,  // no file (or it could not be opened): the table starts empty
  Damaged,  // the file ended early or held impossible counts; the rows read
            // before the damage are kept
};

class TranslationTable {
 public:
  TranslationTable();
  TranslationTable(const TranslationTable&) = delete;
  TranslationTable& operator=(const TranslationTable&) = delete;

  // Reads progpath + "translate.dat" (progpath ends with a separator) and
  // builds the index. The file is remembered for later saves. Never throws
  // and never reports to the user; the status says what happened.
  LoadStatus Load(const std::string& progpath);
  // The same from bytes in memory (no file is remembered, saves do nothing
  // unless SetFile is called).
  LoadStatus LoadFromBytes(const std::string& bytes);
  // Where SaveTranslationTable writes.
  void SetFile(const std::string& path) { file_ = path; }
  const std::string& File() const { return file_; }
  // A description of the last load's damage, empty when there was none.
  const std::string& LoadProblem() const { return problem_; }

  // The text in `language` (0 German ... 19), keeping the text's leading and
  // trailing blanks. A text not yet in the table is appended and the file
  // rewritten; empty or blank-only texts are returned as given.
  std::u16string TranslateText(const std::u16string& text, int language);

  // Rewrites the file through a temporary file and a rename, so a crash in
  // the middle never leaves a broken table. Returns false (and reports
  // nothing) when there is no file or it cannot be written.
  bool SaveTranslationTable();
  // The bytes SaveTranslationTable writes.
  std::string ToBytes() const;

  // Rows, for the translation editor.
  uint32_t Count() const { return table_.Count(); }
  const TranslationEntry& Entry(uint32_t row) const { return table_[row]; }
  // Changes one text; changing column 0 re-keys the row. Out-of-range
  // arguments are ignored.
  void SetText(uint32_t row, int column, const std::u16string& text);
  // Appends a row with the given German text (may be empty); returns its number.
  int32_t AddEntry(const std::u16string& german);
  // Removes a row; the index is rebuilt.
  void DeleteEntry(uint32_t row);
  // The row whose German text is exactly `german`, or -1. Of several rows
  // with that text, the one whose key comes first in its bucket.
  int32_t Find(const std::u16string& german) const;

  // The index bucket of a key: the low 8 bits of its first code unit.
  static int BucketOf(const std::u16string& key) { return key.empty() ? -1 : (key[0] & 0xFF); }
  // The keys of bucket b: sorted when the index was built (load, delete),
  // keys added since then follow in the order they came.
  const TDynaArray<TranslationKey>& Bucket(int b) const { return buckets_[b]; }

 private:
  void BuildIndex();
  static void SortBucket(TDynaArray<TranslationKey>& bucket);

  TranslationEntry* aentry_ = nullptr;
  TDynaArray<TranslationEntry> table_{&aentry_};
  TranslationKey* akey_ = nullptr;
  TDynaArray<TranslationKey> buckets_[kBuckets];
  // How many keys at the front of each bucket are sorted (Find searches
  // them by halving); the keys after them were appended since.
  uint32_t sorted_[kBuckets] = {};
  std::string file_;
  std::string problem_;
  bool damaged_file_ = false;  // the file on disk is damaged: keep a copy before replacing it
};

}  // namespace i18n
