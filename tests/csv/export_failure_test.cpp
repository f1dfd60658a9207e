// A CSV export that cannot replace its file says why and keeps the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/codepage.h"
#include "csv/csvexport.h"
#include "i18n/messages.h"

namespace {

TEST(CsvExportFailure, ReadOnlyTargetIsRefusedWithTheReasonAndKept) {
  std::string dir = ::testing::TempDir() + "qlcsvroXXXXXX";
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  const std::string path = dir + "/preise.csv";
  std::ofstream(path, std::ios::binary) << "alt\r\n";
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  Document doc;
  doc.AddProduct(*doc.AddCategory(u"K"))->name.assign(1, u'P');
  std::u16string error;
  EXPECT_FALSE(csv::ExportCSVFile(doc, path, true, 0, error));
  EXPECT_EQ(error.rfind(i18n::Msg(34), 0), 0u) << ql::ToUtf8(error);
  EXPECT_NE(error.find(u"Die Datei ist schreibgeschützt"), std::u16string::npos) << ql::ToUtf8(error);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "alt\r\n");

  // A writable target is replaced.
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  EXPECT_TRUE(csv::ExportCSVFile(doc, path, true, 0, error)) << ql::ToUtf8(error);
}

}  // namespace
