#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv/csvreader.h"

using csv::CsvReader;
using csv::MemoryByteReader;
using csv::ReadStatus;
using Fields = std::vector<std::u16string>;

namespace {

// Every record of `bytes`, including those without fields.
std::vector<Fields> ReadAll(const std::string& bytes, size_t maxChars = csv::kMaxRecordChars,
                            size_t maxFields = csv::kMaxRecordFields, ReadStatus* last = nullptr) {
  MemoryByteReader in(bytes);
  CsvReader r(in, maxChars, maxFields);
  std::vector<Fields> out;
  Fields f;
  ReadStatus st;
  while ((st = r.Next(f)) == ReadStatus::Record) out.push_back(f);
  if (last) *last = st;
  return out;
}

// A source that produces `total` bytes of a repeated pattern without holding
// them, to feed the reader more than it may keep.
class PatternReader : public csv::ByteReader {
 public:
  PatternReader(std::string pattern, uint64_t total) : pattern_(std::move(pattern)), left_(total) {}

 protected:
  long Fill(char* dst, size_t cap) override {
    size_t n = 0;
    while (n < cap && left_ > 0) {
      dst[n++] = pattern_[at_++ % pattern_.size()];
      --left_;
    }
    return static_cast<long>(n);
  }

 private:
  std::string pattern_;
  uint64_t left_;
  uint64_t at_ = 0;
};

}  // namespace

TEST(CsvReader, SplitsOnSemicolonsOutsideQuotes) {
  auto recs = ReadAll("eins;zwei\r\n\"a;b\";c\r\nab\"c;d\"e;f\r\n");
  ASSERT_EQ(recs.size(), 3u);
  EXPECT_EQ(recs[0], (Fields{u"eins", u"zwei"}));
  EXPECT_EQ(recs[1], (Fields{u"a;b", u"c"}));
  // A quote inside an unquoted field also protects the separator; the field
  // keeps its quotes because it is not quoted as a whole.
  EXPECT_EQ(recs[2], (Fields{u"ab\"c;d\"e", u"f"}));
}

TEST(CsvReader, SeparatorsAtTheEdgesOfALine) {
  auto recs = ReadAll("a;\r\na;;\r\n;a\r\n;\r\n\"\";\"\"\r\n");
  ASSERT_EQ(recs.size(), 5u);
  EXPECT_EQ(recs[0], (Fields{u"a"}));
  EXPECT_EQ(recs[1], (Fields{u"a", u""}));
  EXPECT_EQ(recs[2], (Fields{u"", u"a"}));
  EXPECT_EQ(recs[3], (Fields{u""}));
  EXPECT_EQ(recs[4], (Fields{u"", u""}));
  EXPECT_FALSE(csv::HasContent(recs[3]));
  EXPECT_FALSE(csv::HasContent(recs[4]));
}

TEST(CsvReader, QuotedFieldsLoseQuotesAndDoubledQuotes) {
  auto recs = ReadAll("\"\"\"Wort\"\" und \"\"x\"\"\";\"\";\"\"\"\";\"\r\n");
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0], (Fields{u"\"Wort\" und \"x\"", u"", u"\"", u"\""}));
}

TEST(CsvReader, QuotedFieldSpanningLinesThenMoreFields) {
  auto recs = ReadAll("a;\"erste Zeile\r\nzweite; Zeile\";b;c\r\nnext\r\n");
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0], (Fields{u"a", u"erste Zeile\r\nzweite; Zeile", u"b", u"c"}));
  EXPECT_EQ(recs[1], (Fields{u"next"}));

  // Empty lines inside the field add nothing; three lines make one value.
  recs = ReadAll("\"x\r\n\r\ny\r\nz\";w\r\n");
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0], (Fields{u"x\r\ny\r\nz", u"w"}));

  // A field still open at the end of the file keeps its opening quote.
  recs = ReadAll("a;\"offen\r\nbis zum Ende");
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0], (Fields{u"a", u"\"offen\r\nbis zum Ende"}));
}

TEST(CsvReader, LineEnds) {
  // CR, CR LF and a single LF each end a line; an empty line is a record
  // without fields.
  auto recs = ReadAll("a\rb\r\nc\nd\r\n\r\ne");
  ASSERT_EQ(recs.size(), 6u);
  EXPECT_EQ(recs[0], (Fields{u"a"}));
  EXPECT_EQ(recs[1], (Fields{u"b"}));
  EXPECT_EQ(recs[2], (Fields{u"c"}));
  EXPECT_EQ(recs[3], (Fields{u"d"}));
  EXPECT_TRUE(recs[4].empty());
  EXPECT_EQ(recs[5], (Fields{u"e"}));

  // In an LF-only file a blank line joins its neighbours: LF LF becomes CR LF.
  recs = ReadAll("eins;zwei\n\ndrei\nvier\n");
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0], (Fields{u"eins", u"zwei\r\ndrei"}));
  EXPECT_EQ(recs[1], (Fields{u"vier"}));
}

TEST(CsvReader, FinalLineBreakMakesNoDifference) {
  const std::vector<Fields> want = {{u"x", u"y"}, {u"z"}};
  for (const char* tail : {"", "\r\n", "\n", "\r"}) {
    SCOPED_TRACE(testing::Message() << "tail length " << std::string(tail).size());
    EXPECT_EQ(ReadAll(std::string("x;y\r\nz") + tail), want);
  }
  EXPECT_TRUE(ReadAll("").empty());
}

TEST(CsvReader, BackslashEscapes) {
  auto recs = ReadAll("\"a\\r\\nb\";c\\n;\\x\\\\n;end\\\r\n");
  ASSERT_EQ(recs.size(), 1u);
  // "\\" stays as a pair, so the "n" after it is a plain letter.
  EXPECT_EQ(recs[0], (Fields{u"a\r\nb", u"c\n", u"\\x\\\\n", u"end\\"}));
}

TEST(CsvReader, BytesAreWindows1252) {
  auto recs = ReadAll("\x80;\xFC\xDF;\x81\r\n");
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0], (Fields{u"\u20AC", u"\u00FC\u00DF", u"\u0081"}));
}

TEST(CsvReader, LookBackAcrossBufferRefill) {
  // CR as the last byte of the first 64 KiB buffer, followed by a plain
  // byte: the reader must step back over it after the refill.
  std::string bytes(64 * 1024 - 1, 'a');
  bytes += "\rb\n\nc";
  auto recs = ReadAll(bytes);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0][0].size(), 64u * 1024 - 1);
  EXPECT_EQ(recs[1], (Fields{u"b\r\nc"}));

  // The same with LF and with CR LF split by the refill.
  for (const char* end : {"\nb", "\r\nb"}) {
    std::string b2(64 * 1024 - 1, 'a');
    b2 += end;
    auto r2 = ReadAll(b2);
    ASSERT_EQ(r2.size(), 2u);
    EXPECT_EQ(r2[1], (Fields{u"b"}));
  }
}

TEST(CsvReader, OverlongRecordsAreRefused) {
  ReadStatus st;
  // A stray quote would swallow the rest of the file into one field.
  auto recs = ReadAll("ok\r\n\"stray;x\r\nmore\r\nand more\r\n", 12, 100, &st);
  EXPECT_EQ(st, ReadStatus::RecordTooLong);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0], (Fields{u"ok"}));

  ReadAll("a;b;c;d;e\r\n", 1000, 4, &st);
  EXPECT_EQ(st, ReadStatus::RecordTooLong);
  recs = ReadAll("a;b;c;d\r\n", 1000, 4, &st);
  EXPECT_EQ(st, ReadStatus::End);
  EXPECT_EQ(recs.size(), 1u);
  // Fields from a continuation line count too.
  ReadAll("a;b;\"c\r\nd\";e;f\r\n", 1000, 4, &st);
  EXPECT_EQ(st, ReadStatus::RecordTooLong);

  // 64 MiB without a line break with the default caps: refused without
  // building the whole line.
  PatternReader endless("xxxxxxx;", 64ull * 1024 * 1024);
  CsvReader r(endless);
  Fields f;
  EXPECT_EQ(r.Next(f), ReadStatus::RecordTooLong);
  PatternReader noSeparator("\"abcdefg", 64ull * 1024 * 1024);
  CsvReader r2(noSeparator);
  EXPECT_EQ(r2.Next(f), ReadStatus::RecordTooLong);
}
