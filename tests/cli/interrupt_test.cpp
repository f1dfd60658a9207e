// quillane-cli interrupted by SIGTERM, SIGINT or SIGHUP in the middle of a PDF
// export leaves neither its temporary target nor its spool folder behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(dir, ec)) out.push_back(e.path().string());
  return out;
}

bool HasEntryStarting(const fs::path& dir, const std::string& prefix) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.path().filename().string().rfind(prefix, 0) == 0) return true;
  return false;
}

struct Interrupted : ::testing::TestWithParam<int> {
  fs::path root = fs::temp_directory_path() / ("quillane-interrupt-" + std::to_string(::getpid()));
  fs::path out = root / "out";
  fs::path tmp = root / "tmp";
  void SetUp() override {
    fs::remove_all(root);
    fs::create_directories(out);
    fs::create_directories(tmp);
  }
  void TearDown() override { fs::remove_all(root); }
};

TEST_P(Interrupted, ExportRemovesItsTemporaryFilesAndExitsWith128PlusTheSignal) {
  const int sig = GetParam();
  const std::string cli = std::string(QL_BIN_DIR) + "/quillane-cli";
  const std::string target = (out / "katalog.pdf").string();
  std::vector<std::string> args = {cli,    "export-pdf", std::string(QL_BIN_DIR) + "/test.pk2",
                                   target, "--dpi",      "400"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // The child's temporary folder is ours to inspect; its output is discarded.
  std::vector<std::string> env = {"TMPDIR=" + tmp.string(), "QT_QPA_PLATFORM=offscreen",
                                  "HOME=" + root.string()};
  for (char** e = environ; *e; ++e) {
    const std::string v = *e;
    if (v.rfind("TMPDIR=", 0) && v.rfind("QT_QPA_PLATFORM=", 0) && v.rfind("HOME=", 0)) env.push_back(v);
  }
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, cli.c_str(), &fa, nullptr, argv.data(), envp.data()), 0);
  posix_spawn_file_actions_destroy(&fa);

  // Wait until the export has both its temporary target and its spool folder.
  bool busy = false;
  int status = 0;
  bool ended = false;
  for (int i = 0; i < 6000 && !busy && !ended; ++i) {
    busy = HasEntryStarting(out, ".katalog.pdf.") && HasEntryStarting(tmp, "quillane-pdf-");
    if (!busy) {
      ended = ::waitpid(pid, &status, WNOHANG) == pid;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  if (!busy) {
    if (!ended) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
    }
    FAIL() << "the export never had its temporary files (ended: " << ended << ")";
  }
  // Let it spool a little more, then interrupt it.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_EQ(::kill(pid, sig), 0);
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself, not by the cleanup";
  EXPECT_EQ(WEXITSTATUS(status), 128 + sig);
  EXPECT_EQ(Entries(out), std::vector<std::string>{}) << "no temporary target, no half-written PDF";
  EXPECT_EQ(Entries(tmp), std::vector<std::string>{}) << "no spool folder, no spool files";
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupted, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& p) {
                           return p.param == SIGTERM  ? std::string("SIGTERM")
                                  : p.param == SIGINT ? std::string("SIGINT")
                                                      : std::string("SIGHUP");
                         });

}  // namespace
