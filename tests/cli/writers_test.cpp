// quillane-cli's PDF writers that go through Qt's PDF printer (price-list
// --format pdf, print --to-pdf) and the export-html pictures, run as real
// processes: a full file system (a small tmpfs where the test may mount one,
// else a file-size limit), signals, two runs at once, and what the next start
// removes after a run was killed.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

#include "cli_process.h"

namespace fs = std::filesystem;

namespace {

const std::string kSample = std::string(QL_BIN_DIR) + "/test.pk2";

struct Writers : ::testing::Test {
  fs::path root = fs::temp_directory_path() / ("quillane-writers-" + std::to_string(::getpid()));
  fs::path out = root / "out";
  fs::path tmp = root / "tmp";
  bool mounted = false;

  void SetUp() override {
    fs::remove_all(root);
    fs::create_directories(out);
    fs::create_directories(tmp);
  }
  void TearDown() override {
    if (mounted) ::umount(out.c_str());
    fs::remove_all(root);
  }
  cliproc::Options Opts(long long fileLimit = 0) const {
    cliproc::Options o;
    o.tmpdir = tmp.string();
    o.fileLimit = fileLimit;
    o.errFile = (root / "err.txt").string();
    return o;
  }
  std::string Err() const { return cliproc::ReadFile((root / "err.txt").string()); }
  std::string Out(const std::string& name) const { return (out / name).string(); }
  void Spit(const std::string& path, const std::string& bytes) const {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // Makes `out` a file system that is nearly full after `old` is written
  // into it (8 KB left). False when no tmpfs can be mounted here.
  bool FullFileSystem(const std::string& old) {
    if (::mount("tmpfs", out.c_str(), "tmpfs", 0, "size=512k") != 0) return false;
    mounted = true;
    Spit(Out("old.pdf"), old);
    struct statvfs s {};
    ::statvfs(out.c_str(), &s);
    const unsigned long long free = s.f_bfree * s.f_frsize;
    Spit(Out("filler"), std::string(free - 8192, 'x'));
    return true;
  }
  // The page count of a PDF that passes qpdf's check (every object and
  // stream whole); -1 for a damaged one.
  static int Pages(const std::string& path) {
    if (std::system(("qpdf --check '" + path + "' >/dev/null 2>&1").c_str()) != 0) return -1;
    const std::string cmd = "qpdf --show-npages '" + path + "' 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[64] = {0};
    const bool got = std::fgets(buf, sizeof buf, p) != nullptr;
    const int rc = ::pclose(p);
    return got && rc == 0 ? std::atoi(buf) : -1;
  }
};

// Both writers on a full disk (or past the file-size limit): exit 1, the
// reason named, the old file as it was, no temporary file left.
TEST_F(Writers, FullDiskKeepsTheOldFileAndNamesTheReason) {
  const std::string old = "%PDF-1.4 the old file";
  const bool tmpfs = FullFileSystem(old);
  if (!tmpfs) Spit(Out("old.pdf"), old);
  const long long limit = tmpfs ? 0 : 8192;
  // In our own short words for the system error, not the system's.
  const std::string reason = tmpfs ? "Disk full" : "File too large";
  const std::vector<std::vector<std::string>> runs = {
      {"price-list", kSample, Out("old.pdf"), "--format", "pdf"},
      {"print", kSample, "--to-pdf", Out("old.pdf"), "--layout", "2"}};
  for (const auto& args : runs) {
    SCOPED_TRACE(args[0] + (tmpfs ? " on a full tmpfs" : " past a file-size limit"));
    EXPECT_EQ(cliproc::Run(args, Opts(limit)), 1) << Err();
    EXPECT_NE(Err().find(reason), std::string::npos) << Err();
    EXPECT_EQ(Err().find("written to"), std::string::npos) << Err();
    EXPECT_EQ(cliproc::ReadFile(Out("old.pdf")), old);
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(out)) names.insert(e.path().filename().string());
    EXPECT_EQ(names, (tmpfs ? std::set<std::string>{"old.pdf", "filler"} : std::set<std::string>{"old.pdf"}));
  }
}

// SIGTERM and SIGINT in the middle of a print into a PDF: the old file stays,
// the temporary file goes, the status is 128 + the signal.
TEST_F(Writers, InterruptedPrintLeavesTheOldFile) {
  for (int sig : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(sig == SIGTERM ? "SIGTERM" : "SIGINT");
    // The signal must land while the job runs; a print that finished
    // first (a fast machine) is tried again.
    int status = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
      Spit(Out("k.pdf"), "old");
      const pid_t pid = cliproc::Start({"print", kSample, "--to-pdf", Out("k.pdf"), "--layout", "3"}, Opts());
      ASSERT_GT(pid, 0);
      ASSERT_TRUE(cliproc::WaitUntil(pid, [&] { return cliproc::HasEntryStarting(out, ".k.pdf."); }))
          << "the print never had its temporary file";
      ASSERT_EQ(::kill(pid, sig), 0);
      status = cliproc::Wait(pid);
      if (status != 0) break;
      EXPECT_GT(Pages(Out("k.pdf")), 0) << "a finished print is a whole PDF";
    }
    EXPECT_EQ(status, 128 + sig);
    EXPECT_EQ(cliproc::ReadFile(Out("k.pdf")), "old");
    EXPECT_EQ(cliproc::Entries(out), std::vector<std::string>{Out("k.pdf")});
    EXPECT_EQ(cliproc::Entries(tmp), std::vector<std::string>{});
  }
}

// Two prints into the same file at once: the file is one of the two whole
// PDFs, never a mix.
TEST_F(Writers, TwoPrintsAtOnceLeaveOneWholeFile) {
  const int pagesOf2 = [&] {
    EXPECT_EQ(cliproc::Run({"print", kSample, "--to-pdf", Out("a.pdf"), "--layout", "2"}, Opts()), 0)
        << Err();
    return Pages(Out("a.pdf"));
  }();
  const int pagesOf3 = [&] {
    EXPECT_EQ(cliproc::Run({"print", kSample, "--to-pdf", Out("b.pdf"), "--layout", "3"}, Opts()), 0)
        << Err();
    return Pages(Out("b.pdf"));
  }();
  ASSERT_GT(pagesOf2, 0);
  ASSERT_GT(pagesOf3, 0);
  ASSERT_NE(pagesOf2, pagesOf3) << "the two layouts must differ in their page count";
  for (int round = 0; round < 2; ++round) {
    const pid_t a = cliproc::Start({"print", kSample, "--to-pdf", Out("same.pdf"), "--layout", "2"}, Opts());
    const pid_t b = cliproc::Start({"print", kSample, "--to-pdf", Out("same.pdf"), "--layout", "3"}, Opts());
    EXPECT_EQ(cliproc::Wait(a), 0);
    EXPECT_EQ(cliproc::Wait(b), 0);
    const int pages = Pages(Out("same.pdf"));
    EXPECT_TRUE(pages == pagesOf2 || pages == pagesOf3) << "round " << round << ": " << pages << " pages";
  }
  EXPECT_FALSE(cliproc::HasEntryStarting(out, "."));
}

// A run killed with SIGKILL cannot clean up; the next start of the program
// removes its temporary target and its spool folder, but nothing of a
// process that still runs or of another user.
TEST_F(Writers, NextStartRemovesWhatAKilledRunLeft) {
  const pid_t pid = cliproc::Start({"export-pdf", kSample, Out("k.pdf"), "--dpi", "400"}, Opts());
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(cliproc::WaitUntil(pid, [&] {
    return cliproc::HasEntryStarting(out, ".k.pdf.") && cliproc::HasEntryStarting(tmp, "quillane-pdf-");
  })) << "the export never had its temporary files";
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(::kill(pid, SIGKILL), 0);
  EXPECT_EQ(cliproc::Wait(pid), 128 + SIGKILL);
  ASSERT_TRUE(cliproc::HasEntryStarting(out, ".k.pdf."));
  ASSERT_TRUE(cliproc::HasEntryStarting(tmp, "quillane-pdf-"));

  // Left alone: the spool folder of a process that runs (this test) and a
  // dead process's folder that belongs to another user.
  const fs::path living = tmp / ("quillane-pdf-" + std::to_string(::getpid()) + "-aaaaaa");
  const fs::path foreign = tmp / ("quillane-pdf-" + std::to_string(pid) + "-bbbbbb");
  fs::create_directories(living);
  fs::create_directories(foreign);
  const bool chowned = ::geteuid() == 0 && ::chown(foreign.c_str(), 65534, 65534) == 0;
  if (!chowned) fs::remove(foreign);

  EXPECT_EQ(cliproc::Run({"pages", kSample}, Opts()), 0) << Err();
  EXPECT_EQ(cliproc::Entries(out), std::vector<std::string>{});
  std::vector<std::string> left = cliproc::Entries(tmp);
  std::sort(left.begin(), left.end());
  std::vector<std::string> expect = {living.string()};
  if (chowned) expect.insert(expect.begin(), foreign.string());
  std::sort(expect.begin(), expect.end());
  EXPECT_EQ(left, expect);
}

// export-html interrupted while it writes pictures: no picture and no
// temporary folder stays, the earlier catalog page is untouched.
TEST_F(Writers, InterruptedHtmlExportLeavesNoPictures) {
  Spit(Out("catalog.htm"), "old");
  const pid_t pid =
      cliproc::Start({"export-html", kSample, out.string(), "--dpi", "300", "--no-open"}, Opts());
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(cliproc::WaitUntil(pid, [&] {
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(out, ec))
      if (e.path().filename().string().rfind("catalogpage", 0) == 0) return true;
    return false;
  })) << "the export never wrote a picture";
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  EXPECT_EQ(cliproc::Wait(pid), 128 + SIGTERM);
  EXPECT_EQ(cliproc::Entries(out), std::vector<std::string>{Out("catalog.htm")});
  EXPECT_EQ(cliproc::ReadFile(Out("catalog.htm")), "old");
}

}  // namespace
