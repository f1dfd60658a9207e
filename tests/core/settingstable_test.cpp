// Rows of the settings table looked up by name.
#include "core/settingstable.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsTable, RowsCarryRangeAndNumericDefault) {
  const SettingRange* links = FindSetting("LinksEd");
  ASSERT_TRUE(links);
  EXPECT_EQ(links->kind, SettingKind::MM);
  EXPECT_EQ(links->def, CatalogSettings().LinksEd);
  EXPECT_EQ(links->lo, 0);
  EXPECT_EQ(links->hi, 1000);
  const SettingRange* sat = FindSetting("SatEd");
  ASSERT_TRUE(sat);
  EXPECT_EQ(sat->lo, -100);  // negative ranges survive
  const SettingRange* colour = FindSetting("Shape5");
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour->def, double(CatalogSettings().Shape5));
  EXPECT_EQ(FindSetting("KopfEd")->def, 0) << "a text has no numeric default";
  EXPECT_EQ(FindSetting("NoSuchSetting"), nullptr);
  EXPECT_EQ(FindSetting("LinksE"), nullptr) << "names match whole";
  EXPECT_EQ(FindSetting(nullptr), nullptr);
}

}  // namespace
