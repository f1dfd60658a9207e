#include "core/settingstable.h"

#include <cstring>
#include <type_traits>

namespace {
template <class T>
double NumericDefault(const T& v) {
  if constexpr (std::is_arithmetic_v<T>)
    return double(v);
  else
    return 0;
}
}  // namespace

const SettingRange* FindSetting(const char* name) {
  static const CatalogSettings defaults;
  static const SettingRange table[] = {
#define QL_SETTING_RANGE(kind, n, def, lo, hi) \
  {SettingKind::kind, #n, NumericDefault(defaults.n), double(lo), double(hi)},
      QL_CATALOG_SETTINGS(QL_SETTING_RANGE)
#undef QL_SETTING_RANGE
  };
  if (!name) return nullptr;
  for (const SettingRange& r : table)
    if (std::strcmp(r.name, name) == 0) return &r;
  return nullptr;
}
