// Bare picture names beside the program are found from any current folder,
// by the pages and by a project saved elsewhere.
#include <unistd.h>

#include <fstream>

#include "cli_fixture.h"
#include "core/codepage.h"
#include "project/projectfile.h"

TEST_F(CliTest, BarePicturesBesideTheProgramAreDrawnFromAnyFolder) {
  // A project holding the default logo and a product picture by bare names
  // that lie neither beside it nor in the current folder, only beside the
  // program (as a picture chosen from the program's folder is held).
  Document doc;
  Product* p = doc.AddProduct(*doc.AddCategory(u"Gartenmöbel"));
  p->name = u"Gartenbank";
  Picture* pic = doc.AddPicture(*p);
  pic->filename = u"gartenbank-1.jpg";
  pic->width = 5;
  ASSERT_EQ(doc.settings.FilenameEdit1, u"logo morvetta200x200.gif");
  {
    std::ofstream f(Path("k.pk2"), std::ios::binary);
    f << ProjectFileBytes(doc, std::string());  // names as held: bare
  }
  std::filesystem::create_directories(dir / "run");
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir((dir / "run").c_str()), 0);
  const int rendered = Run({"render", Path("k.pk2"), "-o", Path("page.png"), "--print", "--dpi", "30"});
  const std::string renderErr = err;
  const int converted = Run({"convert", Path("k.pk2"), Path("run/copy.pk2")});
  ASSERT_EQ(::chdir(previous), 0);

  EXPECT_EQ(rendered, 0) << renderErr;
  EXPECT_EQ(renderErr.find("could not be drawn"), std::string::npos) << renderErr;
  ASSERT_EQ(converted, 0) << err;
  Document copy;
  ASSERT_TRUE(OpenFileWithName(copy, Path("run/copy.pk2")));
  const std::u16string bin = ql::FromUtf8(QL_BIN_DIR "/");
  EXPECT_EQ(copy.settings.FilenameEdit1, bin + u"logo morvetta200x200.gif");
  EXPECT_EQ(copy.kats[0].products[0].pictures[0].filename, bin + u"gartenbank-1.jpg");
}
