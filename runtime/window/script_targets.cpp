#include "runtime/window/script_targets.h"

#include <cctype>
#include <vector>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/controls/zor_classes.h"
#include "runtime/window/message_box.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// "marlock$marlo002" is named by "marlock$marlo002" or "marlo002".
bool module_named(const std::string& module, std::string_view name) {
  if (same_letters(module, name)) return true;
  size_t dollar = module.find('$');
  return dollar != std::string::npos && same_letters(std::string_view(module).substr(dollar + 1), name);
}

HWND find_in(HWND parent, const std::string& name) {
  for (HWND c : GetChildren(parent)) {
    if (GetClassName(c).starts_with(kWindowClassPrefix) && IsWindowVisible(c) && window_has_name(c, name)) return c;
    if (HWND deeper = find_in(c, name)) return deeper;
  }
  return nullptr;
}

bool pressable(HWND h) {
  std::string cls = GetClassName(h);
  return cls == kButtonClass || cls == kZorButton || cls == kZorRadio || cls == kZorCheck || cls == kZorTab;
}

// Matches below `root` (itself excluded), skipping other runtime windows
// inside it when `own_only`; pressable controls first.
void collect(HWND root, const std::string& text, bool own_only, std::vector<HWND>& press, std::vector<HWND>& other) {
  for (HWND c : GetChildren(root)) {
    if (own_only && GetClassName(c).starts_with(kWindowClassPrefix)) continue;
    if (without_ampersands(GetWindowText(c)) == text) (pressable(c) ? press : other).push_back(c);
    collect(c, text, own_only, press, other);
  }
}

}  // namespace

std::string without_ampersands(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '&') out += c;
  return out;
}

bool window_has_name(HWND hwnd, const std::string& name) {
  if (!name.starts_with("@")) return window_text_now(hwnd) == name;
  WindowObject* w = window_object(hwnd);
  if (!w) return false;
  std::string_view wanted = std::string_view(name).substr(1);
  size_t colon = wanted.find(':');
  if (!module_named(w->module(), wanted.substr(0, colon))) return false;
  return colon == std::string_view::npos || same_letters(w->label(), wanted.substr(colon + 1));
}

HWND find_named_window(const std::string& name) {
  for (HWND top : GetTopLevelWindows()) {
    if (IsWindowVisible(top) && window_has_name(top, name)) return top;
    if (HWND child = find_in(top, name)) return child;
  }
  return nullptr;
}

HWND find_hidden_window(const std::string& name) {
  for (HWND top : GetTopLevelWindows())
    if (!IsWindowVisible(top) && window_has_name(top, name)) return top;
  return nullptr;
}

std::string describe_window(HWND hwnd) {
  if (!hwnd) return "no window";
  std::string out = "\"" + window_text_now(hwnd) + "\"";
  if (WindowObject* w = window_object(hwnd)) out += " (@" + w->module() + ":" + w->label() + ")";
  return out;
}

HWND find_control_by_text(HWND current, const std::string& text) {
  std::string wanted = without_ampersands(text);
  // Nearest first: the current window, its top-level window, every window.
  std::vector<HWND> press, other;
  if (current) {
    collect(current, wanted, true, press, other);
    if (HWND top = GetTopLevel(current); top != current) collect(top, wanted, false, press, other);
  }
  for (HWND top : GetTopLevelWindows())
    if (IsWindowVisible(top)) collect(top, wanted, false, press, other);
  // What a user can press wins over static text anywhere: a radio of one
  // window over a caption of the same text in the window beside it.
  if (!press.empty()) return press.front();
  return other.empty() ? nullptr : other.front();
}

HWND frontmost_message_box() {
  for (HWND top : GetTopLevelWindows())
    if (IsWindowVisible(top) && is_message_box(top)) return top;
  return nullptr;
}

HWND frontmost_popup_menu() {
  for (HWND top : GetTopLevelWindows())
    if (IsWindowVisible(top) && is_popup_menu(top)) return top;
  return nullptr;
}

}  // namespace vrt::window
