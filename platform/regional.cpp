#include "platform/regional.h"

#if defined(_WIN32)
#include "platform/windows_api.h"
#else
#include <langinfo.h>
#endif

#include <clocale>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include "platform/code_page.h"

namespace morvane {

namespace {

std::mutex settings_mutex;
std::optional<TRegionalSettings> override_settings;

#if defined(_WIN32)
// One character of the user's regional settings, in the ANSI code page.
char LocaleCharacter(LCTYPE item, char fallback) {
  char text[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, item, text, sizeof(text)) < 2) return fallback;
  return static_cast<unsigned char>(text[0]) == 0xA0 ? ' ' : text[0];
}
#else
// A locale separator is UTF-8 text of one character; keep it when the code page has it.
char SeparatorFrom(const char* text, char fallback) {
  if (text == nullptr || *text == '\0') return fallback;
  const std::string ansi = Utf8ToAnsi(text);
  if (ansi.size() != 1 || ansi[0] == '?') return fallback;
  // A no-break space (as French locales use) reads as a plain space.
  return static_cast<unsigned char>(ansi[0]) == 0xA0 ? ' ' : ansi[0];
}

char TimeSeparatorOf(const char* time_format) {
  // The character after the hour in the locale's time format, "%H:%M:%S" giving ":".
  if (time_format == nullptr) return ':';
  for (const char* p = time_format; *p != '\0'; ++p) {
    if (p[0] == '%' && (p[1] == 'H' || p[1] == 'I' || p[1] == 'k' || p[1] == 'l') && p[2] != '\0' &&
        p[2] != '%')
      return SeparatorFrom(std::string(1, p[2]).c_str(), ':');
  }
  return ':';
}
#endif

const TRegionalSettings& LocaleSettings() {
  static const TRegionalSettings settings = ReadLocaleSettings();
  return settings;
}

}  // namespace

TRegionalSettings ReadLocaleSettings() {
  TRegionalSettings settings;
#if defined(_WIN32)
  settings.DecimalSeparator = LocaleCharacter(LOCALE_SDECIMAL, '.');
  settings.ThousandSeparator = LocaleCharacter(LOCALE_STHOUSAND, ',');
  settings.TimeSeparator = LocaleCharacter(LOCALE_STIME, ':');
#else
  const lconv* conventions = std::localeconv();
  if (conventions != nullptr) {
    settings.DecimalSeparator = SeparatorFrom(conventions->decimal_point, '.');
    settings.ThousandSeparator = SeparatorFrom(conventions->thousands_sep, ',');
  }
  settings.TimeSeparator = TimeSeparatorOf(nl_langinfo(T_FMT));
#endif
  if (settings.ThousandSeparator == settings.DecimalSeparator)
    settings.ThousandSeparator = settings.DecimalSeparator == ',' ? '.' : ',';
  return settings;
}

const TRegionalSettings& RegionalSettings() {
  std::lock_guard<std::mutex> guard(settings_mutex);
  return override_settings ? *override_settings : LocaleSettings();
}

void SetRegionalSettings(const TRegionalSettings& settings) {
  std::lock_guard<std::mutex> guard(settings_mutex);
  override_settings = settings;
}

void ResetRegionalSettings() {
  std::lock_guard<std::mutex> guard(settings_mutex);
  override_settings.reset();
}

}  // namespace morvane
