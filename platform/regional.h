// Regional settings: the separators the user's numbers and times are shown with. On Linux they
// come from the user's C locale (LC_NUMERIC, LC_TIME); tests override them.
#pragma once

namespace morvane {

struct TRegionalSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char TimeSeparator = ':';
};

// The settings in force: the override when one is set, else those read once from the locale.
const TRegionalSettings& RegionalSettings();
void SetRegionalSettings(const TRegionalSettings& settings);
void ResetRegionalSettings();  // back to the locale's

// Reads the separators of the process's current C locale. A locale without a thousands
// separator (the "C" locale) gets ",", as the number patterns of the tips always group digits.
TRegionalSettings ReadLocaleSettings();

}  // namespace morvane
