// The export commands come from the table of outputs: every output has a
// command, and one without options of its own gets the shared ones
// (GenericExport) and reports through the one result.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>

#include "cli/cli.h"
#include "cli/exportcommand.h"
#include "cli_fixture.h"
#include "project/projectfile.h"
#include "render/render.h"

namespace {

// An output that notes what it was asked for and writes nothing.
struct Seen {
  output::OutputOptions common;
  std::string target;
  int progressCalls = 0;
  int32_t layoutBefore = -2;
};
Seen g_seen;

class NotingOutput : public output::OutputOf<int> {
 public:
  output::OutputResult Write(render::RenderSession& session, const std::string& target,
                             const output::OutputOptions& common,
                             const output::OutputProgressFn& progress) override {
    g_seen.common = common;
    g_seen.target = target;
    g_seen.layoutBefore = session.doc().settings.LayoutCombo;
    if (progress && progress({1})) ++g_seen.progressCalls;
    output::OutputResult r;
    r.ok = true;
    r.pages = 1;
    r.summary = "noted " + target;
    return r;
  }
};

std::unique_ptr<output::CatalogOutput> MakeNoting() { return std::make_unique<NotingOutput>(); }

}  // namespace

TEST_F(CliTest, EveryOutputOfTheTableHasItsCommand) {
  for (const output::OutputEntry& e : output::OutputTable()) {
    const auto& list = cli::CommandList();
    EXPECT_TRUE(std::any_of(list.begin(), list.end(), [&](const cli::CommandEntry& c) {
      return std::string(c.name) == e.command;
    })) << e.id;
  }
}

TEST_F(CliTest, AnOutputWithoutOptionsOfItsOwnGetsTheSharedOnes) {
  const output::OutputEntry entry{"noting",
                                  "Notieren...",
                                  "Notieren1",
                                  "Notizen (*.nt)|*.nt",
                                  "export-noting",
                                  "note the run",
                                  output::OutputTarget::File,
                                  72,
                                  MakeNoting};
  CLI::App app("test");
  CLI::App* sub = app.add_subcommand("export-noting");
  const cli::CommandRun run = cli::GenericExport(*sub, entry);
  const std::string project = std::string(QL_BIN_DIR) + "/test.pk2";
  Document doc;
  ASSERT_TRUE(OpenProjectFile(doc, project, ReadOptions::FromDocument(doc)));
  const int32_t asked = doc.settings.LayoutCombo == 2 ? 4 : 2;  // not the project's own
  const std::vector<std::string> args = {
      "export-noting", project, Path("x.nt"), "--layout", std::to_string(asked + 1),
      "--dpi",         "40",    "--page",     "2",        "--progress"};
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  ASSERT_NO_THROW(app.parse(reversed));
  std::ostringstream o, e;
  cli::Console io{o, e, std::string(QL_BIN_DIR) + "/"};
  g_seen = {};
  ASSERT_EQ(run(io), cli::kOk) << e.str();
  EXPECT_EQ(g_seen.target, Path("x.nt"));
  EXPECT_EQ(g_seen.common.layout, asked) << "the layout is the output's parameter";
  EXPECT_EQ(g_seen.layoutBefore, doc.settings.LayoutCombo) << "and never written into the project's settings";
  EXPECT_EQ(g_seen.common.dpi, 40);
  EXPECT_EQ(g_seen.common.page, 2);
  EXPECT_EQ(g_seen.progressCalls, 1);
  EXPECT_NE(e.str().find("page 1"), std::string::npos) << e.str();
  EXPECT_EQ(o.str(), "noted " + Path("x.nt") + "\n");
}
