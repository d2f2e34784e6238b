// The runtime-wide settings tables: filled at start-up from the profile's
// "intl" section and the environment file, changed at run time by
// set_environment_value, read by values, pictures and dates.
#pragma once
#include <cstdint>
#include <string>

namespace vrt::core {

// Kinds in the case table.
enum CaseKind : uint8_t { kCaseOther = 0, kCaseUpper = 1, kCaseLower = 2, kCaseDigit = 4 };

inline constexpr int kMaxDigraphs = 16;

// The profile's international settings as read (defaults when missing).
struct IntlSettings {
  int itime = 0;      // 0 twelve-hour clock, else 24-hour
  int itlzero = 1;    // hours with a leading zero
  int idate = 0;      // typed dates: 0 month-day-year, 1 day-month-year, 2 year-month-day
  std::string stime = ":";
  std::string short_date = "MM/dd/yy";
  std::string long_date = "ddd', 'MMMM' 'dd', 'yyyy";
};

struct Settings {
  char month_names[12][13];
  char month_abbrevs[12][4];
  char am_pm[2][3];          // time pictures' texts, changed by ZORAMPM
  char windows_am_pm[2][3];  // from "s1159" and "s2359"
  uint8_t case_partner[256];
  uint8_t case_kind[256];
  uint8_t collation_ansi[256];
  uint8_t collation_oem[256];
  // {character, first, second, 0}; a zero first byte ends the table.
  uint8_t digraphs[kMaxDigraphs][4];
  uint8_t digraphs_oem[kMaxDigraphs][4];
  bool long_file_names = true;
  bool oem_text = false;
  IntlSettings intl;
};

// The one settings object of the process, in its start state until
// read_settings() (startup/read_settings.h) runs.
Settings& settings();

// Resets every table to its start state (used by read_settings and tests).
void reset_settings();
// The tables as they are before any setting is read.
const Settings& start_settings();

// Reads the profile's "intl" section and the environment file beside the
// executable into the tables, calling `after_intl` between the two (the
// layers above make their layouts of the intl section there).
void read_base_settings(void (*after_intl)(const IntlSettings&));

// Upper- and lower-case partners through the case table.
inline uint8_t to_upper(uint8_t c) {
  return settings().case_kind[c] == kCaseLower ? settings().case_partner[c] : c;
}
inline uint8_t to_lower(uint8_t c) {
  return settings().case_kind[c] == kCaseUpper ? settings().case_partner[c] : c;
}

}  // namespace vrt::core
