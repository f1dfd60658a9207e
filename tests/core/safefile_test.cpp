// The safe writer: the old file survives every failure (a full disk, a
// file-size limit, a read-only target), permissions are kept, a symbolic
// link is written through, and no temporary file is left behind.
#include "core/safefile.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string TempFolder() {
  std::string tmpl = ::testing::TempDir() + "qlsafeXXXXXX";
  EXPECT_NE(mkdtemp(tmpl.data()), nullptr);
  return tmpl + "/";
}
std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
size_t FilesIn(const std::string& dir) {
  size_t n = 0;
  for (auto it = fs::directory_iterator(dir); it != fs::directory_iterator(); ++it) ++n;
  return n;
}
mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0);
  return st.st_mode & 07777;
}
std::string Big(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 23);
  return s;
}

TEST(SafeFile, WritesNewFilesAndReplacesOldOnesKeepingTheirPermissions) {
  const std::string dir = TempFolder();
  const std::string path = dir + "neu.dat";
  std::string reason;
  ASSERT_TRUE(ql::WriteFileSafely(path, "eins", reason)) << reason;
  EXPECT_EQ(ReadAll(path), "eins");
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(ModeOf(path), 0666 & ~mask);

  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  // Streamed in pieces smaller and larger than the buffer.
  const std::string big = Big(300000);
  ql::SafeFile f;
  ASSERT_TRUE(f.Open(path)) << f.Error();
  EXPECT_EQ(ReadAll(path), "eins");  // nothing visible before Commit
  ASSERT_TRUE(f.Write(big.substr(0, 10)));
  ASSERT_TRUE(f.Write(big.substr(10, 100000)));
  ASSERT_TRUE(f.Write(big.substr(100010)));
  EXPECT_EQ(ReadAll(path), "eins");
  ASSERT_TRUE(f.Commit()) << f.Error();
  EXPECT_EQ(ReadAll(path), big);
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(FilesIn(dir), 1u);

  // Abandoned (never committed): the old file stays, the temporary goes.
  {
    ql::SafeFile g;
    ASSERT_TRUE(g.Open(path));
    ASSERT_TRUE(g.Write("zwei"));
    EXPECT_EQ(FilesIn(dir), 2u);
  }
  EXPECT_EQ(ReadAll(path), big);
  EXPECT_EQ(FilesIn(dir), 1u);
}

// Files whose flushing is left to one SyncFolder for the batch: in place
// at once, refused for the same reasons, and the flush reports a folder
// that is not there.
TEST(SafeFile, BatchOfFilesFlushedTogether) {
  const std::string dir = TempFolder();
  std::string reason;
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(
        ql::WriteFileSafely(dir + "seite" + std::to_string(i), Big(1000 + i), reason, ql::Sync::Later))
        << reason;
  EXPECT_EQ(FilesIn(dir), 5u);
  EXPECT_EQ(ReadAll(dir + "seite4"), Big(1004));
  WriteAll(dir + "alt", "alt");
  ASSERT_EQ(chmod((dir + "alt").c_str(), 0444), 0);
  EXPECT_FALSE(ql::WriteFileSafely(dir + "alt", "neu", reason, ql::Sync::Later));
  EXPECT_EQ(reason, "the file is read-only");
  EXPECT_EQ(ReadAll(dir + "alt"), "alt");
  EXPECT_TRUE(ql::SyncFolder(dir, reason)) << reason;
  EXPECT_TRUE(ql::SyncFolderNames(dir, reason)) << reason;
  EXPECT_FALSE(ql::SyncFolderNames(dir + "alt", reason));
  EXPECT_EQ(reason, std::strerror(ENOTDIR));
  EXPECT_FALSE(ql::SyncFolder(dir + "fehlt", reason));
  EXPECT_EQ(reason, std::strerror(ENOENT));
  EXPECT_EQ(FilesIn(dir), 6u);
}

TEST(SafeFile, ReadOnlyTargetsFoldersAndMissingFoldersAreRefusedWithTheReason) {
  const std::string dir = TempFolder();
  const std::string path = dir + "schreibgeschuetzt.csv";
  WriteAll(path, "alt");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  std::string reason;
  EXPECT_FALSE(ql::WriteFileSafely(path, "neu", reason));
  EXPECT_EQ(reason, "the file is read-only");
  EXPECT_EQ(ReadAll(path), "alt");
  EXPECT_EQ(ModeOf(path), 0444u);
  EXPECT_EQ(FilesIn(dir), 1u);

  EXPECT_FALSE(ql::WriteFileSafely(dir, "neu", reason));
  EXPECT_EQ(reason, std::strerror(EISDIR));
  EXPECT_FALSE(ql::WriteFileSafely(dir + "fehlt/x.dat", "neu", reason));
  EXPECT_EQ(reason, std::strerror(ENOENT));
  EXPECT_FALSE(ql::WriteFileSafely("", "neu", reason));
  EXPECT_FALSE(reason.empty());
}

TEST(SafeFile, SymbolicLinkTargetIsWrittenThrough) {
  const std::string dir = TempFolder();
  fs::create_directory(dir + "echt");
  const std::string real = dir + "echt/katalog.pk2";
  WriteAll(real, "alt");
  ASSERT_EQ(chmod(real.c_str(), 0600), 0);
  const std::string link = dir + "verweis.pk2";
  ASSERT_EQ(symlink("echt/katalog.pk2", link.c_str()), 0);
  // A link to a link too.
  const std::string link2 = dir + "verweis2.pk2";
  ASSERT_EQ(symlink(link.c_str(), link2.c_str()), 0);

  std::string reason;
  ASSERT_TRUE(ql::WriteFileSafely(link2, "neu", reason)) << reason;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::is_symlink(link2));
  EXPECT_EQ(ReadAll(real), "neu");
  EXPECT_EQ(ModeOf(real), 0600u);
  EXPECT_EQ(FilesIn(dir + "echt"), 1u);

  // A dangling link gets its file created where it points.
  const std::string dangling = dir + "leer.pk2";
  ASSERT_EQ(symlink("echt/neu.pk2", dangling.c_str()), 0);
  ASSERT_TRUE(ql::WriteFileSafely(dangling, "frisch", reason)) << reason;
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(ReadAll(dir + "echt/neu.pk2"), "frisch");
}

// The old file and no temporary file after a write that runs out of room.
void ExpectFailedWriteKeepsTheOldFile(const std::string& dir, const std::string& expectedReason) {
  const std::string path = dir + "katalog.pk2";
  WriteAll(path, "alter Inhalt");
  const size_t before = FilesIn(dir);
  const std::string big = Big(1 << 20);
  std::string reason;
  EXPECT_FALSE(ql::WriteFileSafely(path, big, reason));
  EXPECT_EQ(reason, expectedReason);
  EXPECT_EQ(ReadAll(path), "alter Inhalt");
  EXPECT_EQ(FilesIn(dir), before);

  // Streamed: the failure shows on the Write that meets it, Commit refuses.
  ql::SafeFile f;
  ASSERT_TRUE(f.Open(path));
  bool ok = true;
  for (int i = 0; i < 16 && ok; ++i) ok = f.Write(big.substr(0, 100000));
  EXPECT_FALSE(ok);
  EXPECT_EQ(f.Error(), expectedReason);
  EXPECT_FALSE(f.Commit());
  EXPECT_EQ(ReadAll(path), "alter Inhalt");
  EXPECT_EQ(FilesIn(dir), before);
}

TEST(SafeFile, FullDiskKeepsTheOldFile) {
  const std::string dir = TempFolder();
  if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                 << "); the file-size limit test covers the same path";
  ExpectFailedWriteKeepsTheOldFile(dir, std::strerror(ENOSPC));
  umount(dir.c_str());
}

TEST(SafeFile, FileSizeLimitKeepsTheOldFile) {
  const std::string dir = TempFolder();
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit lim = old;
  lim.rlim_cur = 200000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
  ExpectFailedWriteKeepsTheOldFile(dir, std::strerror(EFBIG));
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
}

}  // namespace
