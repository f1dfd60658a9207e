// quillane-cli edit on a saved project: the edits in their order, and the
// arguments it refuses before touching any file.
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
  EXPECT_NE(err.find("could not be copied"), std::string::npos) << err;
  Document back;
  ASSERT_TRUE(OpenFileWithName(back, Out()));
  EXPECT_EQ(back.kats[0].products[0].pictures[0].filename, ql::FromUtf8(Path("fehlt.jpg")));
}
