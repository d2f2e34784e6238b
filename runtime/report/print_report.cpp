#include "runtime/report/print_report.h"

#include <algorithm>

#include "runtime/report/print_dialog.h"
#include "runtime/report/print_to_file_dialog.h"
#include "runtime/report/report_engine.h"

namespace vrt::report {

PrintOutcome print_with_dialog(const std::vector<std::string>& pages, const std::string& doc_name) {
  std::optional<PrintChoice> choice = print_dialog(current_printer(), current_device_mode());
  if (!choice) return PrintOutcome::Cancelled;
  use_printer(choice->printer, choice->mode);
  std::vector<std::string> chosen = pages;
  if (!choice->all_pages) {
    size_t from = static_cast<size_t>(std::max(1, choice->from_page)) - 1;
    size_t to = std::min(pages.size(), static_cast<size_t>(std::max(choice->to_page, choice->from_page)));
    chosen.assign(pages.begin() + static_cast<std::ptrdiff_t>(std::min(from, pages.size())),
                  pages.begin() + static_cast<std::ptrdiff_t>(std::max(to, std::min(from, pages.size()))));
    if (chosen.empty()) return PrintOutcome::Cancelled;
  }
  std::string output;
  if (choice->printer.port == "FILE:") {
    std::optional<std::string> file = print_to_file_dialog();
    if (!file) return PrintOutcome::Cancelled;
    output = *file;
  }
  return print_page_images(chosen, doc_name, output) ? PrintOutcome::Printed : PrintOutcome::Failed;
}

}  // namespace vrt::report
