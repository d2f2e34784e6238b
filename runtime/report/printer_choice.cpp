// The process's current printer: the default one until a report procedure
// selects another. A name that cannot be selected leaves it in force.
#include <mutex>

#include "runtime/report/report_engine.h"

namespace vrt::report {

using namespace vrt::platform;

namespace {

struct Choice {
  std::mutex lock;
  bool chosen = false;
  DEVNAMES printer;
  DEVMODE mode;
};

Choice& choice() {
  static Choice c;
  return c;
}

// The default printer, or the PDF printer, which is always there.
void choose_default(Choice& c) {
  if (c.chosen) return;
  std::optional<DEVNAMES> found = platform::select_printer("");
  if (!found) found = platform::select_printer("PDF");
  if (found) {
    c.printer = *found;
    c.mode = default_device_mode(*found);
  }
  c.chosen = true;
}

}  // namespace

bool select_printer(const std::string& name) {
  std::optional<DEVNAMES> found = platform::select_printer(name);
  if (!found) return false;
  DEVMODE mode = default_device_mode(*found);
  Choice& c = choice();
  std::lock_guard guard(c.lock);
  c.printer = *found;
  c.mode = mode;
  c.chosen = true;
  return true;
}

void use_printer(const DEVNAMES& printer, const DEVMODE& mode) {
  Choice& c = choice();
  std::lock_guard guard(c.lock);
  c.printer = printer;
  c.mode = mode;
  c.chosen = true;
}

const DEVNAMES& current_printer() {
  Choice& c = choice();
  std::lock_guard guard(c.lock);
  choose_default(c);
  return c.printer;
}

DEVMODE& current_device_mode() {
  Choice& c = choice();
  std::lock_guard guard(c.lock);
  choose_default(c);
  return c.mode;
}

}  // namespace vrt::report
