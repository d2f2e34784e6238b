#include "runtime/core/base/settings.h"

#include <cstring>
#include <mutex>

#include "runtime/core/base/environment.h"
#include "runtime/platform/os/process.h"
#include "runtime/platform/os/profile.h"

namespace vrt::core {

namespace {

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};
const char* const kMonthAbbrevs[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void copy_slot(char* slot, size_t capacity, const std::string& text) {
  size_t n = std::min(text.size(), capacity - 1);
  std::memcpy(slot, text.data(), n);
  slot[n] = 0;
}

Settings make_start_state() {
  Settings s{};
  for (int m = 0; m < 12; ++m) {
    copy_slot(s.month_names[m], sizeof s.month_names[m], kMonthNames[m]);
    copy_slot(s.month_abbrevs[m], sizeof s.month_abbrevs[m], kMonthAbbrevs[m]);
  }
  copy_slot(s.am_pm[0], 3, "AM");
  copy_slot(s.am_pm[1], 3, "PM");
  copy_slot(s.windows_am_pm[0], 3, "AM");
  copy_slot(s.windows_am_pm[1], 3, "PM");
  for (int c = 0; c < 256; ++c) {
    s.collation_ansi[c] = static_cast<uint8_t>(c);
    s.collation_oem[c] = static_cast<uint8_t>(c);
  }
  for (int c = 'A'; c <= 'Z'; ++c) {
    s.case_kind[c] = kCaseUpper;
    s.case_partner[c] = static_cast<uint8_t>(c + 32);
    s.case_kind[c + 32] = kCaseLower;
    s.case_partner[c + 32] = static_cast<uint8_t>(c);
  }
  for (int c = '0'; c <= '9'; ++c) s.case_kind[c] = kCaseDigit;
  s.long_file_names = true;
  s.oem_text = false;
  return s;
}

Settings g_settings = make_start_state();

void read_intl() {
  Settings& s = settings();
  IntlSettings& intl = s.intl;
  intl.itime = platform::GetProfileInt("intl", "iTime", 0);
  intl.itlzero = platform::GetProfileInt("intl", "iTLzero", 1);
  intl.idate = platform::GetProfileInt("intl", "iDate", 0);
  intl.stime = platform::GetProfileString("intl", "sTime", ":").substr(0, 1);
  copy_slot(s.windows_am_pm[0], 3, platform::GetProfileString("intl", "s1159", "AM"));
  copy_slot(s.windows_am_pm[1], 3, platform::GetProfileString("intl", "s2359", "PM"));
  intl.short_date = platform::GetProfileString("intl", "sShortDate", "MM/dd/yy").substr(0, 255);
  intl.long_date = platform::GetProfileString("intl", "sLongDate", "ddd', 'MMMM' 'dd', 'yyyy").substr(0, 255);
}

}  // namespace

Settings& settings() { return g_settings; }

const Settings& start_settings() {
  static const Settings start = make_start_state();
  return start;
}

void reset_settings() { g_settings = make_start_state(); }

void read_base_settings(void (*after_intl)(const IntlSettings&)) {
  read_intl();
  if (after_intl) after_intl(settings().intl);
  // Every code weighs its own value until a collation is loaded.
  for (int c = 0; c < 256; ++c) settings().collation_oem[c] = static_cast<uint8_t>(c);
  load_environment_file(environment_file_for(platform::executable_path()));
}

}  // namespace vrt::core
