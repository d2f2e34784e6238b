#include "runtime/report/print_to_file_dialog.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/report/modal_dialog.h"
#include "runtime/window/message_box.h"

namespace vrt::report {

namespace {

using namespace vrt::platform;
namespace fs = std::filesystem;

constexpr const char* kTitle = "Print To File...";
// The filter's text as the dialog shows it; every file matches it.
constexpr const char* kAllFiles = "All files (*.*)";

// An absolute path for a name, or nothing when it cannot name a file.
std::optional<std::string> file_path(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
  std::error_code ec;
  fs::path path = fs::absolute(name, ec);
  if (ec || !path.has_filename()) return std::nullopt;  // "dir/" names a folder
  return path.lexically_normal().string();
}

}  // namespace

std::optional<std::string> print_to_file_dialog(const std::string& initial) {
  if (dialog_answers_itself()) {
    std::fprintf(stderr, "[%s] %s\n", kTitle, initial.c_str());
    std::fflush(stderr);
    return file_path(initial);
  }
  const int margin = scaled(14), row = scaled(24), label_w = scaled(100), entry_w = scaled(260);
  int width = margin * 2 + label_w + entry_w, height = margin + row * 2 + scaled(10) + margin + scaled(26) + margin;
  ModalDialog dialog(kTitle, width, height);
  dialog.add(kStaticClass, "File &name:", SS_LEFT, margin, margin + scaled(4), label_w, row);
  HWND name = dialog.add(kEditClass, initial, kTabStop | ES_AUTOHSCROLL, margin + label_w, margin, entry_w,
                         row - scaled(2), kFileName);
  int y = margin + row + scaled(10);
  dialog.add(kStaticClass, "Save as &type:", SS_LEFT, margin, y + scaled(4), label_w, row);
  dialog.add(kStaticClass, kAllFiles, SS_LEFT | SS_NOPREFIX, margin + label_w, y + scaled(4), entry_w, row, kFileType);
  dialog.add_ok_cancel();
  std::optional<std::string> chosen;
  bool ok = dialog.run(name, [&] {
    std::string text = GetWindowText(name);
    chosen = file_path(text);
    if (chosen && fs::is_directory(*chosen)) chosen.reset();
    if (chosen) return true;
    window::Message(text.empty() ? "Type the name of the file to print into."
                                 : "Not a name of a file: " + text,
                    kTitle, "", window::kButtonOk);
    ModalDialog::focus(name);
    return false;
  });
  return ok ? chosen : std::nullopt;
}

}  // namespace vrt::report
