// The print dialog: which printer, how many copies, which pages. Our own
// window (the platform has no standard dialogs); a script drives it by its
// texts and field numbers:
//   "Print"            the title
//   printers           radio buttons, one per available printer, by name
//   field 11           the number of copies
//   "All" / "Pages"    radio buttons (fields 12 and 13) for the range
//   fields 14, 15      the first and last page when "Pages"
//   OK (1), Cancel (2)
#pragma once
#include <optional>

#include "runtime/platform/print/printer.h"

namespace vrt::report {

enum : int { kPrintCopies = 11, kPrintAll = 12, kPrintPages = 13, kPrintFrom = 14, kPrintTo = 15 };

struct PrintChoice {
  platform::DEVNAMES printer;
  platform::DEVMODE mode;  // the printer's settings, with the copies chosen
  bool all_pages = true;
  int from_page = 1, to_page = 1;  // when not all_pages; 1 <= from <= to
};

// Shows the dialog over the current printer and its settings. Nothing when
// the user cancels. Another printer chosen comes with its own default
// settings. Headless with no script to answer, it answers its defaults
// (the current printer, all pages) at once.
std::optional<PrintChoice> print_dialog(const platform::DEVNAMES& current, const platform::DEVMODE& mode);

}  // namespace vrt::report
