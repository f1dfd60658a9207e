// The command-line "edit" command, run as a program on a saved project.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/codepage.h"
#include "fixture.h"
#include "project/projectfile.h"

namespace fs = std::filesystem;

namespace {
struct CliRun : ::testing::Test {
  fs::path dir = fs::temp_directory_path() / ("quillane-cli-edit-" + std::to_string(::getpid()));
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  int Run(const std::string& args) {
    std::string cmd = std::string(QL_BIN_DIR) + "/quillane-cli edit " + args + " >" + (dir / "out.txt").string() +
                      " 2>" + (dir / "err.txt").string();
    int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  }
  std::string In() const { return (dir / "in.pk2").string(); }
  std::string Out() const { return (dir / "out.pk2").string(); }
};
}  // namespace

TEST_F(CliRun, PricesSortAndReplaceInThatOrder) {
  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"Ring"}).products[0];
  p.pricecols = 1;
  t.SetTable(p, {{u"Name", u"Preis"}, {u"Gold B", u"12,50"}, {u"Gold A", u"100"}});
  ASSERT_TRUE(SaveProjectFile(t.doc, In()));

  ASSERT_EQ(Run(In() + " " + Out() + " --prices +10% --sort-variants 1 --replace Gold Silber --locale de_DE"), 0);
  Document back;
  ASSERT_TRUE(OpenFileWithName(back, Out()));
  const Product& q = back.kats[0].products[0];
  EXPECT_EQ(VariantText(q, 0, 0), u"Name");
  EXPECT_EQ(VariantText(q, 1, 0), u"Silber A");
  EXPECT_EQ(VariantText(q, 1, 1), u"110,00");
  EXPECT_EQ(VariantText(q, 2, 1), u"13,75");
  EXPECT_EQ(VariantText(q, 0, 1), u"Preis");
}

TEST_F(CliRun, UsageAndFileErrors) {
  EditingDoc t;
  t.AddCategory(u"K", {u"Ring"});
  ASSERT_TRUE(SaveProjectFile(t.doc, In()));
  EXPECT_EQ(Run(In()), 2);
  EXPECT_EQ(Run(In() + " " + Out() + " --prices 10%"), 2);
  EXPECT_EQ(Run(In() + " " + Out() + " --prices +20000%"), 2);
  EXPECT_EQ(Run(In() + " " + Out() + " --sort-variants 0"), 2);
  EXPECT_EQ(Run(In() + " " + Out() + " --locale xx_YY"), 2);
  EXPECT_EQ(Run(In() + " " + (dir / "o.pkd").string()), 2);
  EXPECT_FALSE(fs::exists(Out()));
  EXPECT_EQ(Run((dir / "fehlt.pk2").string() + " " + Out()), 1);
  EXPECT_FALSE(fs::exists(Out()));
}
