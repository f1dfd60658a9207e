// Rows of the settings table (QL_CATALOG_SETTINGS in core/settings.h) looked
// up by name, for the controls that edit a number: they take the range they
// accept from here instead of repeating it.
#pragma once

#include "core/settings.h"

// One row: the range the editing control accepts and the value a new
// document starts with. `def` is the default as a number (numbers, switches,
// colours); 0 for texts and fonts, whose defaults are not numbers.
struct SettingRange {
  SettingKind kind;
  const char* name;
  double def, lo, hi;
};

// The row of the setting called `name`, exactly as the table spells it;
// null for any other name.
const SettingRange* FindSetting(const char* name);
