#include "i18n/translate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "i18n/messages.h"

namespace {

using i18n::LoadStatus;
using i18n::TranslationTable;

std::string TempFolder() {
  std::string tmpl = ::testing::TempDir() + "qli18nXXXXXX";
  char* d = mkdtemp(tmpl.data());
  EXPECT_NE(d, nullptr);
  return tmpl + "/";
}

void PutI32(std::string& b, int32_t v) {
  auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}
void PutText(std::string& b, const std::u16string& t) {
  PutI32(b, static_cast<int32_t>(t.size()));
  for (char16_t c : t) {
    b.push_back(static_cast<char>(c & 0xFF));
    b.push_back(static_cast<char>(c >> 8));
  }
}
// A translate.dat with `cols` columns per row.
std::string FileBytes(int32_t cols, const std::vector<std::vector<std::u16string>>& rows) {
  std::string b;
  PutI32(b, cols);
  PutI32(b, static_cast<int32_t>(rows.size()));
  for (const auto& r : rows)
    for (int32_t c = 0; c < cols; ++c) PutText(b, c < static_cast<int32_t>(r.size()) ? r[c] : u"");
  return b;
}
std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
bool Exists(const std::string& path) { return std::ifstream(path).good(); }

class TranslateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TempFolder();
    WriteAll(dir + "translate.dat", FileBytes(20, {{u"Speichern", u"Save", u"Enregistrer", u"Opslaan"},
                                                   {u"Preis", u" \t Price\r\n ", u"", u"Prijs"},
                                                   {u"Nur Deutsch"}}));
    ASSERT_EQ(table.Load(dir), LoadStatus::Loaded);
  }
  std::string dir;
  TranslationTable table;
};

TEST_F(TranslateTest, BlanksAroundTheTextAreKeptAroundTheTranslation) {
  EXPECT_EQ(table.TranslateText(u"  Speichern ", 1), u"  Save ");
  EXPECT_EQ(table.TranslateText(u"Speichern", 3), u"Opslaan");
  // The translation's own blanks and control characters are dropped.
  EXPECT_EQ(table.TranslateText(u" Preis", 1), u" Price");
  // Only U+0020 counts as a blank around the looked-up text.
  const uint32_t before = table.Count();
  EXPECT_EQ(table.TranslateText(u"\tSpeichern", 1), u"\tSpeichern");
  EXPECT_EQ(table.Count(), before + 1);
}

TEST_F(TranslateTest, EmptyAndBlankTextsAreReturnedAndNotAdded) {
  const std::string onDisk = ReadAll(dir + "translate.dat");
  EXPECT_EQ(table.TranslateText(u"", 1), u"");
  EXPECT_EQ(table.TranslateText(u"   ", 1), u"   ");
  EXPECT_EQ(table.Count(), 3u);
  EXPECT_EQ(ReadAll(dir + "translate.dat"), onDisk);
}

TEST_F(TranslateTest, EmptyColumnAndGermanReturnTheInput) {
  EXPECT_EQ(table.TranslateText(u" Preis  ", 2), u" Preis  ");  // French column empty
  EXPECT_EQ(table.TranslateText(u"Nur Deutsch", 1), u"Nur Deutsch");
  for (const char16_t* t : {u"Speichern", u"  Preis ", u"Nur Deutsch"})
    EXPECT_EQ(table.TranslateText(t, 0), t);
  // Columns beyond the table are never read.
  EXPECT_EQ(table.TranslateText(u"Speichern", 20), u"Speichern");
  EXPECT_EQ(table.TranslateText(u"Speichern", -1), u"Speichern");
}

TEST_F(TranslateTest, UnknownTextIsAddedOnceAndTheFileRewrittenAtOnce) {
  EXPECT_EQ(table.TranslateText(u" Neu ", 1), u" Neu ");
  ASSERT_EQ(table.Count(), 4u);
  EXPECT_EQ(table.Entry(3).texts[0], u"Neu");  // stored without its blanks
  EXPECT_EQ(table.TranslateText(u"Neu", 1), u"Neu");
  EXPECT_EQ(table.Count(), 4u);

  TranslationTable again;
  ASSERT_EQ(again.Load(dir), LoadStatus::Loaded);
  ASSERT_EQ(again.Count(), 4u);
  EXPECT_EQ(again.Entry(3).texts[0], u"Neu");
  EXPECT_EQ(again.TranslateText(u"Speichern", 2), u"Enregistrer");
  EXPECT_FALSE(Exists(dir + "translate.dat.tmp"));
  EXPECT_EQ(ReadAll(dir + "translate.dat"), again.ToBytes());
}

TEST(TranslateTableFile, MissingFileIsCreatedWithTheGermanTexts) {
  const std::string dir = TempFolder();
  TranslationTable table;
  EXPECT_EQ(table.Load(dir), LoadStatus::Missing);
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_EQ(table.TranslateText(u"Hallo", 1), u"Hallo");
  EXPECT_EQ(table.TranslateText(u"Welt", 3), u"Welt");
  TranslationTable reread;
  ASSERT_EQ(reread.Load(dir), LoadStatus::Loaded);
  ASSERT_EQ(reread.Count(), 2u);
  EXPECT_EQ(reread.Entry(0).texts[0], u"Hallo");
  EXPECT_EQ(reread.Entry(1).texts[0], u"Welt");
  for (int c = 1; c < i18n::kColumns; ++c) EXPECT_TRUE(reread.Entry(1).texts[c].empty());
}

TEST(TranslateTableFile, UnwritableFolderStillTranslatesForTheRun) {
  TranslationTable table;
  EXPECT_EQ(table.Load("/nonexistent-quillane-folder/"), LoadStatus::Missing);
  EXPECT_EQ(table.TranslateText(u"Hallo", 1), u"Hallo");
  EXPECT_EQ(table.TranslateText(u"Hallo", 1), u"Hallo");
  EXPECT_EQ(table.Count(), 1u);
  EXPECT_FALSE(table.SaveTranslationTable());
}

TEST(TranslateTableFile, ExtraColumnsAreDroppedAndShortRowsPadded) {
  std::vector<std::u16string> wide;
  for (int c = 0; c < 23; ++c) wide.push_back(u"c" + std::u16string(1, static_cast<char16_t>(u'a' + c)));
  TranslationTable table;
  ASSERT_EQ(table.LoadFromBytes(FileBytes(23, {wide, {u"Zwei", u"Two"}})), LoadStatus::Loaded);
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.Entry(0).texts[19], u"ct");
  EXPECT_EQ(table.Entry(1).texts[1], u"Two");

  ASSERT_EQ(table.LoadFromBytes(FileBytes(2, {{u"Ja", u"Yes"}, {u"Nein", u"No"}})), LoadStatus::Loaded);
  EXPECT_EQ(table.TranslateText(u"Nein", 1), u"No");
  EXPECT_TRUE(table.Entry(0).texts[2].empty());
  // Written back with all 20 columns.
  TranslationTable back;
  ASSERT_EQ(back.LoadFromBytes(table.ToBytes()), LoadStatus::Loaded);
  EXPECT_EQ(back.ToBytes(), FileBytes(20, {{u"Ja", u"Yes"}, {u"Nein", u"No"}}));
}

TEST(TranslateTableFile, DamagedFilesKeepWhatWasReadAndAllocateNothingHuge) {
  TranslationTable table;
  // 2^31 - 1 rows claimed in a 20-byte file.
  std::string huge;
  PutI32(huge, 20);
  PutI32(huge, 0x7FFFFFFF);
  huge.append(12, '\0');
  EXPECT_EQ(table.LoadFromBytes(huge), LoadStatus::Damaged);
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_FALSE(table.LoadProblem().empty());

  // A text claiming more code units than the file holds, in the second row.
  std::string cut = FileBytes(2, {{u"Ja", u"Yes"}});
  std::string b;
  PutI32(b, 2);
  PutI32(b, 2);
  b += cut.substr(8);
  PutI32(b, 1000000);
  b += "ab";
  PutI32(b, 0);
  EXPECT_EQ(table.LoadFromBytes(b), LoadStatus::Damaged);
  ASSERT_EQ(table.Count(), 1u);
  EXPECT_EQ(table.TranslateText(u"Ja", 1), u"Yes");

  for (std::string bad : {std::string("\x14\0\0", 3), FileBytes(-1, {}), std::string()}) {
    EXPECT_EQ(table.LoadFromBytes(bad), LoadStatus::Damaged);
    EXPECT_EQ(table.Count(), 0u);
  }
  std::string negative;
  PutI32(negative, 1);
  PutI32(negative, 1);
  PutI32(negative, -5);
  EXPECT_EQ(table.LoadFromBytes(negative), LoadStatus::Damaged);
}

TEST(TranslateTableFile, DamagedFileIsKeptAsideBeforeTheFirstRewrite) {
  const std::string dir = TempFolder();
  std::string damaged = FileBytes(20, {{u"Ja", u"Yes"}});
  damaged[4] = 3;  // claims three rows, holds one
  WriteAll(dir + "translate.dat", damaged);
  TranslationTable table;
  ASSERT_EQ(table.Load(dir), LoadStatus::Damaged);
  EXPECT_EQ(table.TranslateText(u"Ja", 1), u"Yes");
  EXPECT_EQ(table.TranslateText(u"Neu", 1), u"Neu");  // rewrites the file
  EXPECT_EQ(ReadAll(dir + "translate.dat.damaged"), damaged);
  TranslationTable reread;
  ASSERT_EQ(reread.Load(dir), LoadStatus::Loaded);
  EXPECT_EQ(reread.Count(), 2u);
}

TEST(TranslateIndex, TextsSharingABucketFindTheirOwnRows) {
  // U+0041 and U+0141 share bucket 0x41; the bucket is sorted at load.
  TranslationTable table;
  ASSERT_EQ(table.LoadFromBytes(FileBytes(20, {{u"\u0141odz", u"Lodz"},
                                               {u"Apfel", u"Apple"},
                                               {u"Ast", u"Branch"},
                                               {u"\u0141aska", u"Grace"},
                                               {u"", u"orphan"},
                                               {u"Birne", u"Pear"}})),
            LoadStatus::Loaded);
  EXPECT_EQ(TranslationTable::BucketOf(u"A"), TranslationTable::BucketOf(u"\u0141"));
  const auto& bucket = table.Bucket(0x41);
  ASSERT_EQ(bucket.Count(), 4u);
  for (uint32_t i = 1; i < bucket.Count(); ++i) EXPECT_LT(bucket[i - 1].key, bucket[i].key);
  EXPECT_EQ(table.TranslateText(u"Apfel", 1), u"Apple");
  EXPECT_EQ(table.TranslateText(u"Ast", 1), u"Branch");
  EXPECT_EQ(table.TranslateText(u"\u0141odz", 1), u"Lodz");
  EXPECT_EQ(table.TranslateText(u"\u0141aska", 1), u"Grace");
  EXPECT_EQ(table.TranslateText(u"Birne", 1), u"Pear");
  // The row without German text is in no bucket; ordinal compare is case-sensitive.
  EXPECT_EQ(table.TranslateText(u"apfel", 1), u"apfel");
  EXPECT_EQ(table.Count(), 7u);
  // New texts go to the end of their bucket.
  EXPECT_EQ(table.TranslateText(u"Aa", 1), u"Aa");
  EXPECT_EQ(bucket[bucket.Count() - 1].key, u"Aa");
  EXPECT_EQ(table.Find(u"Aa"), 7);
}

TEST(TranslateIndex, ManyKeysInOneBucketAreAllFound) {
  std::vector<std::vector<std::u16string>> rows;
  for (int i = 0; i < 500; ++i) {
    // A descending run with repeats exercises both sides of the partition.
    std::u16string k = u"K" + std::u16string(1, static_cast<char16_t>(0x3000 + (499 - i) / 2)) +
                       std::u16string(1, static_cast<char16_t>(u'a' + i % 2));
    rows.push_back({k, u"t" + k});
  }
  TranslationTable table;
  ASSERT_EQ(table.LoadFromBytes(FileBytes(20, rows)), LoadStatus::Loaded);
  for (const auto& r : rows) EXPECT_EQ(table.TranslateText(r[0], 1), r[1]);
  EXPECT_EQ(table.Count(), 500u);
}

TEST(TranslateIndex, DeletingARowRebuildsTheIndex) {
  TranslationTable table;
  ASSERT_EQ(table.LoadFromBytes(FileBytes(20, {{u"Eins", u"One"}, {u"Zwei", u"Two"}, {u"Drei", u"Three"}})),
            LoadStatus::Loaded);
  table.DeleteEntry(0);
  EXPECT_EQ(table.TranslateText(u"Zwei", 1), u"Two");
  EXPECT_EQ(table.TranslateText(u"Drei", 1), u"Three");
  EXPECT_EQ(table.Find(u"Eins"), -1);
  // A changed German text keeps answering for the old key until the next load.
  table.SetText(0, 0, u"Zwo");
  EXPECT_EQ(table.TranslateText(u"Zwei", 1), u"Two");
  table.SetText(0, 1, u"Deux");
  EXPECT_EQ(table.TranslateText(u"Zwei", 1), u"Deux");
}

TEST(Messages, LookupThroughTheInstalledTable) {
  i18n::SetCurrentTable(nullptr);
  i18n::SetLanguage(1);
  EXPECT_EQ(i18n::Msg(13), u"Speichern");
  EXPECT_EQ(i18n::Tr(u"Irgendwas"), u"Irgendwas");

  TranslationTable table;
  ASSERT_EQ(
      table.LoadFromBytes(FileBytes(
          20, {{u"Speichern", u"Save"}, {u"Konte die folgende Datei nicht öffnen:", u"Could not open:"}})),
      LoadStatus::Loaded);
  i18n::SetCurrentTable(&table);
  EXPECT_EQ(i18n::Msg(13), u"Save");
  // Messages 1 and 34 share one key; the trailing blank survives.
  EXPECT_EQ(i18n::Msg(1), u"Could not open: ");
  EXPECT_EQ(i18n::Msg(34), u"Could not open: ");
  for (int n : {0, 14, 25, 33, i18n::HighestMessageNumber() + 1, -3}) EXPECT_EQ(i18n::Msg(n), u"") << n;
  i18n::SetLanguage(0);
  EXPECT_EQ(i18n::Msg(13), u"Speichern");
  i18n::SetCurrentTable(nullptr);
}

}  // namespace
