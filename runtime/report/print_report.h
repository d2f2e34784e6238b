// Printing a report's page images the way a user asks for it: the print
// dialog chooses the printer, the copies and the pages; a printer whose port
// is "FILE:" asks for the file with the "Print To File..." dialog. Either
// dialog cancelled prints nothing.
#pragma once
#include <string>
#include <vector>

namespace vrt::report {

enum class PrintOutcome { Printed, Cancelled, Failed };

// On Failed, printer_error_text() says why.
PrintOutcome print_with_dialog(const std::vector<std::string>& pages, const std::string& doc_name);

}  // namespace vrt::report
