// The "Print To File..." dialog: the name of the file to print into. Our
// own window; a script drives it by its texts and field numbers:
//   "Print To File..."   the title
//   field 10             the file name (it has the focus: `type` fills it)
//   "All files (*.*)"    the file type shown
//   OK (1), Cancel (2)
#pragma once
#include <optional>
#include <string>

namespace vrt::report {

enum : int { kFileName = 10, kFileType = 11 };

// The chosen file's path (made absolute against the working folder), or
// nothing when the user cancels. `initial` fills the name first. Headless
// with no script to answer, it answers `initial` at once (nothing when
// that is empty).
std::optional<std::string> print_to_file_dialog(const std::string& initial = "");

}  // namespace vrt::report
