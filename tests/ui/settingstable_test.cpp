// The settings tabs build their number boxes from the settings table: every
// number setting of the table has a box in the window, and each box accepts
// exactly the table's range and shows the table's default in a new document.
#include "core/settingstable.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <set>
#include <string>

#include "fixture.h"
#include "render/layouts/layouts.h"
#include "ui/translatewidgets.h"

namespace uitest {
namespace {

TEST_F(WindowTest, NumberBoxesTakeRangeAndDefaultFromTheSettingsTable) {
  Start();
  std::set<std::string> seen;
  auto check = [&](const QString& object, double lo, double hi, double value) {
    const std::string name = object.toStdString();
    const SettingRange* row = FindSetting(name.c_str());
    if (!row) return;  // a view box (zoom, page, picture width), not a setting
    SCOPED_TRACE(name);
    seen.insert(name);
    EXPECT_EQ(lo, row->lo);
    EXPECT_EQ(hi, row->hi);
    EXPECT_EQ(value, row->def);
  };
  for (const QDoubleSpinBox* b : window->findChildren<QDoubleSpinBox*>())
    check(b->objectName(), b->minimum(), b->maximum(), b->value());
  for (const QSpinBox* b : window->findChildren<QSpinBox*>())
    check(b->objectName(), b->minimum(), b->maximum(), b->value());

  // The layout is chosen from a list with one entry per layout of the table.
  const SettingRange* layout = FindSetting("LayoutCombo");
  ASSERT_TRUE(layout);
  auto* combo = window->findChild<QComboBox*>(QStringLiteral("LayoutCombo"));
  ASSERT_TRUE(combo);
  ASSERT_EQ(combo->count(), render::kLayoutCount);
  for (int i = 0; i < combo->count(); ++i)
    EXPECT_EQ(combo->itemText(i), ui::TrW(QString::fromUtf8(render::kLayouts[i].name))) << i;
  EXPECT_EQ(combo->currentIndex(), int(layout->def));

  // Every number of the table has its box, once.
  CatalogSettings s;
  s.Visit([&](SettingKind kind, const char* name, auto&, double, double) {
    if ((kind == SettingKind::MM || kind == SettingKind::INT) && std::string(name) != "LayoutCombo") {
      EXPECT_EQ(seen.count(name), 1u) << name << " has no number box";
    }
    EXPECT_EQ(window->findChildren<QAbstractSpinBox*>(QString::fromLatin1(name)).size(), seen.count(name))
        << name << " has more than one box";
  });
}

}  // namespace
}  // namespace uitest
