#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "core/linebreaks.h"
#include "core/temppaths.h"

namespace {

bool Exists(const std::string& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0;
}

void Touch(const std::string& p) { std::ofstream(p) << "x"; }

}  // namespace

TEST(TemporaryPaths, RegisteredFilesAndFoldersAreRemovedOthersStay) {
  std::string base = ::testing::TempDir() + "qltmpXXXXXX";
  ASSERT_NE(mkdtemp(base.data()), nullptr);
  const std::string file = base + "/a.tmp", kept = base + "/keep.txt", gone = base + "/unregistered.tmp";
  const std::string spool = base + "/spool/";
  Touch(file);
  Touch(kept);
  Touch(gone);
  ASSERT_EQ(::mkdir(spool.c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((spool + "inner").c_str(), 0700), 0);
  for (int i = 0; i < 300; ++i)
    Touch(spool + "temppdfimg" + std::to_string(i) + ".bmp");  // more than one read
  {
    ql::TemporaryPath a(file), s(spool, true), g(gone);
    EXPECT_TRUE(a.registered() && s.registered() && g.registered());
    g.Reset();  // handed over, e.g. renamed into place
    ql::RemoveTemporaryPaths();
  }
  EXPECT_FALSE(Exists(file));
  EXPECT_FALSE(Exists(spool));
  EXPECT_TRUE(Exists(kept));
  EXPECT_TRUE(Exists(gone));
  // After the scope nothing is registered any more.
  Touch(file);
  ql::RemoveTemporaryPaths();
  EXPECT_TRUE(Exists(file));
  EXPECT_EQ(ql::RegisterTemporaryPath(std::string(5000, 'x')), -1);
  EXPECT_EQ(ql::RegisterTemporaryPath(""), -1);
  ::unlink(file.c_str());
  ::unlink(kept.c_str());
  ::unlink(gone.c_str());
  ::rmdir(base.c_str());
}

TEST(TemporaryPaths, SlotsAreReusedAndBounded) {
  std::vector<int> handles;
  for (int i = 0; i < ql::kMaxTemporaryPaths + 5; ++i)
    handles.push_back(ql::RegisterTemporaryPath("/nonexistent/" + std::to_string(i)));
  int failed = 0;
  for (int h : handles) failed += h < 0;
  EXPECT_EQ(failed, 5);
  for (int h : handles) ql::UnregisterTemporaryPath(h);
  const int again = ql::RegisterTemporaryPath("/nonexistent/again");
  EXPECT_GE(again, 0);
  ql::UnregisterTemporaryPath(again);
}

TEST(LineBreaks, CrLfLoneCrAndLoneLfAreEachOneBreak) {
  const std::u16string t = u"a\r\nb\nc\rd\n\r\ne";
  EXPECT_EQ(ql::LineBreakAt(t, 1), 2u);
  EXPECT_EQ(ql::LineBreakAt(t, 2), 1u);  // the LF of a pair, seen on its own
  EXPECT_EQ(ql::LineBreakAt(t, 4), 1u);
  EXPECT_EQ(ql::LineBreakAt(t, 6), 1u);
  EXPECT_EQ(ql::LineBreakAt(t, 0), 0u);
  EXPECT_EQ(ql::LineBreakAt(t, 99), 0u);
  EXPECT_EQ(ql::SplitAtLineBreaks(t), (std::vector<std::u16string>{u"a", u"b", u"c", u"d", u"", u"e"}));
  EXPECT_EQ(ql::SplitAtLineBreaks(u"x\n"), (std::vector<std::u16string>{u"x"}));
  EXPECT_EQ(ql::SplitAtLineBreaks(u""), (std::vector<std::u16string>{}));
  EXPECT_EQ(ql::WithLineBreaks(t, u"\r\n"), u"a\r\nb\r\nc\r\nd\r\n\r\ne");
  EXPECT_EQ(ql::WithLineBreaks(u"\r\r\n\n", u"|"), u"|||");
}
