// quillane-cli edit on a saved project: the edits in their order, and the
// arguments it refuses before touching any file.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "cli_fixture.h"
#include "core/codepage.h"
#include "editing/fixture.h"
#include "project/projectfile.h"

namespace {

struct CliEdit : CliTest {
  std::string In() const { return Path("in.pk2"); }
  std::string Out() const { return Path("out.pk2"); }
  int Edit(std::vector<std::string> extra) {
    std::vector<std::string> args = {"edit", In(), Out()};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
  }
  void SaveRing(const std::u16string& price) {
    EditingDoc t;
    Product& p = t.AddCategory(u"K", {u"Ring"}).products[0];
    p.pricecols = 1;
    t.SetTable(p, {{u"Name", u"Preis"}, {u"Gold B", price}, {u"Gold A", u"100"}});
    ASSERT_TRUE(SaveProjectFile(t.doc, In()));
  }
  std::u16string OutCell(uint32_t r, uint32_t c) {
    Document back;
    EXPECT_TRUE(OpenFileWithName(back, Out()));
    return back.kats.Count() ? VariantText(back.kats[0].products[0], r, c) : std::u16string();
  }
};

}  // namespace

TEST_F(CliEdit, PricesSortAndReplaceInThatOrder) {
  SaveRing(u"12,50");
  ASSERT_EQ(
      Edit({"--prices", "+10%", "--sort-variants", "1", "--replace", "Gold", "Silber", "--locale", "de_DE"}),
      0)
      << err;
  EXPECT_EQ(out, "prices: 2 cells changed\nsort: 1 products\nreplace: 2 cells changed\n");
  EXPECT_EQ(OutCell(0, 0), u"Name");
  EXPECT_EQ(OutCell(1, 0), u"Silber A");
  EXPECT_EQ(OutCell(1, 1), u"110,00");
  EXPECT_EQ(OutCell(2, 1), u"13,75");
  EXPECT_EQ(OutCell(0, 1), u"Preis");
}

TEST_F(CliEdit, ADecreaseIsAValueNotAnOption) {
  for (const char* form : {"--prices=-2,50", "--prices"}) {
    SaveRing(u"12,50");
    std::vector<std::string> args = {form};
    if (std::string(form) == "--prices") args.push_back("-2,50");
    args.insert(args.end(), {"--locale", "de_DE"});
    ASSERT_EQ(Edit(args), 0) << form << err;
    EXPECT_EQ(OutCell(1, 1), u"10,00") << form;
    EXPECT_EQ(OutCell(2, 1), u"97,50") << form;
  }
}

TEST_F(CliEdit, BadArgumentsAreRefusedBeforeAnyFileIsWritten) {
  SaveRing(u"12,50");
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--prices", "10%"},       // no sign
                                             {"--prices", "+20000%"},   // beyond the limit
                                             {"--sort-variants", "0"},  // columns count from 1
                                             {"--sort-variants", "x"},  // not a number
                                             {"--locale", "xx_YY"},     // unknown locale
                                             {"--replace", "", "x"},    // nothing to find
                                             {"--replace", "Gold"},     // TO missing
                                             {"--frobnicate"}}) {       // unknown option
    EXPECT_EQ(Edit(bad), 2) << bad[0];
    EXPECT_NE(err.find("quillane-cli edit:"), std::string::npos) << err;
  }
  EXPECT_EQ(Run({"edit", In()}), 2);
  EXPECT_NE(err.find("OUT"), std::string::npos) << err;
  EXPECT_EQ(Run({"edit", In(), Path("o.pkd")}), 2);
  EXPECT_NE(err.find(".pkd"), std::string::npos) << err;
  EXPECT_FALSE(Exists("out.pk2"));
  EXPECT_FALSE(Exists("o.pkd"));
}

TEST_F(CliEdit, AMissingOrDamagedProjectIsAFileError) {
  EXPECT_EQ(Run({"edit", Path("fehlt.pk2"), Out()}), 1);
  EXPECT_FALSE(err.empty());
  { std::ofstream(In(), std::ios::binary) << "kein Projekt"; }
  EXPECT_EQ(Edit({"--sort-variants", "1"}), 1);
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(Exists("out.pk2"));
}

TEST_F(CliEdit, PicturesThatCannotBeCopiedKeepTheirReferencesAndFail) {
  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"Ring"}).products[0];
  t.doc.AddPicture(p)->filename = ql::FromUtf8(Path("fehlt.jpg"));
  ASSERT_TRUE(SaveProjectFile(t.doc, In()));
  EXPECT_EQ(Edit({"--collect-pictures", Path("bilder")}), 1);
  EXPECT_NE(out.find("pictures: 0 copied, 1 failed"), std::string::npos) << out;
  EXPECT_NE(err.find("were not copied"), std::string::npos) << err;
  Document back;
  ASSERT_TRUE(OpenFileWithName(back, Out()));
  EXPECT_EQ(back.kats[0].products[0].pictures[0].filename, ql::FromUtf8(Path("fehlt.jpg")));
}

// Only files the picture reader accepts are copied, and a copy is never more
// readable than its source: a private text file named as a picture (say a
// password file) and a private picture from another folder.
TEST_F(CliEdit, CollectCopiesOnlyPicturesAndNeverWidensTheMode) {
  namespace fs = std::filesystem;
  fs::create_directories(dir / "outside");
  const std::string secret = Path("outside/secret.jpg"), shadow = Path("shadow");
  fs::copy_file(std::string(QL_BIN_DIR) + "/balkonkasten-1.jpg", secret);
  fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
  { std::ofstream(shadow) << "root:$6$abcdefgh:19000:0:99999:7:::\n"; }
  fs::permissions(shadow, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const std::string fifo = Path("pipe.jpg");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EditingDoc t;
  Product& p = t.AddCategory(u"K", {u"Ring"}).products[0];
  for (const std::string& f : {shadow, Path("outside/../outside/secret.jpg"), fifo, Path("outside")})
    t.doc.AddPicture(p)->filename = ql::FromUtf8(f);
  ASSERT_TRUE(SaveProjectFile(t.doc, In()));
  ::umask(022);

  EXPECT_EQ(Edit({"--collect-pictures", Path("bilder")}), 1);
  EXPECT_NE(out.find("pictures: 1 copied, 0 failed, 3 refused"), std::string::npos) << out;
  // The command speaks the program's language: English without options.dat.
  EXPECT_NE(err.find(shadow + " (not a picture the program can read)"), std::string::npos) << err;
  EXPECT_NE(err.find(fifo + " (not a regular file)"), std::string::npos) << err;
  EXPECT_NE(err.find(Path("outside") + " (not a regular file)"), std::string::npos) << err;
  std::vector<std::string> copied;
  for (const auto& e : fs::directory_iterator(dir / "bilder")) copied.push_back(e.path().filename().string());
  EXPECT_EQ(copied, std::vector<std::string>{"secret.jpg"});
  EXPECT_EQ(fs::status(dir / "bilder/secret.jpg").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  Document back;
  ASSERT_TRUE(OpenFileWithName(back, Out()));
  const Product& q = back.kats[0].products[0];
  EXPECT_EQ(q.pictures[0].filename, ql::FromUtf8(shadow));
  EXPECT_EQ(q.pictures[1].filename, ql::FromUtf8(Path("bilder/secret.jpg")));
  EXPECT_EQ(q.pictures[2].filename, ql::FromUtf8(fifo));
}
