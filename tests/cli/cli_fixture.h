// Runs quillane-cli commands in-process with captured output, in a fresh
// temporary folder per test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

struct CliTest : ::testing::Test {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("quillane-cli-test-" + std::to_string(::getpid()) + "-" +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string out, err;

  void SetUp() override {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // Runs one command line; its output lands in `out` and `err`.
  int Run(std::initializer_list<std::string> args) { return Run(std::vector<std::string>(args)); }
  int Run(const std::vector<std::string>& args) {
    std::ostringstream o, e;
    cli::Console io{o, e, std::string(QL_BIN_DIR) + "/"};
    const int rc = cli::RunCommandLine(args, io);
    out = o.str();
    err = e.str();
    return rc;
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
};
