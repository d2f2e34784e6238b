// A printer's default settings: its paper, margins and resolution.
#include <cstdlib>
#include <string>

#include "runtime/platform/print/cups_queue.h"
#include "runtime/platform/print/printer.h"

namespace vrt::platform {

namespace {

// The territory of the locale that decides the paper ("en_US.UTF-8" gives
// "US"), as the C library would pick it: LC_ALL, then LC_PAPER, then LANG.
std::string paper_territory() {
  for (const char* var : {"LC_ALL", "LC_PAPER", "LANG"}) {
    const char* value = std::getenv(var);
    if (!value || !*value) continue;
    std::string locale = value;
    size_t underscore = locale.find('_');
    if (underscore == std::string::npos) return "";
    return locale.substr(underscore + 1, locale.find_first_of(".@", underscore) - underscore - 1);
  }
  return "";
}

// Letter where the locale's territory uses it, else A4.
void locale_paper(DEVMODE* mode) {
  std::string territory = paper_territory();
  bool letter = territory == "US" || territory == "CA";
  mode->paper_width = letter ? 2159 : 2100;
  mode->paper_length = letter ? 2794 : 2970;
}

}  // namespace

DEVMODE default_device_mode(const DEVNAMES& printer) {
  DEVMODE mode;
  locale_paper(&mode);
  if (printer.driver == "CUPS") cups_default_mode(printer.port, &mode);
  return mode;
}

}  // namespace vrt::platform
