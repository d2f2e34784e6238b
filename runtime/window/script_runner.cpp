#include "runtime/window/script_runner.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "runtime/core/startup/startup.h"

#include "runtime/platform/display/automation.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/platform/os/process.h"
#include "runtime/platform/os/shell_command.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/window/controls/list_rows_shown.h"
#include "runtime/window/controls/sheet_control.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/controls/zor_classes.h"
#include "runtime/window/message_box.h"
#include "runtime/window/script_targets.h"
#include "runtime/window/window_dump.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;
namespace automation = vrt::platform::automation;

constexpr int kWaitMs = 10000;
constexpr int kRunTimeoutMs = 60000;
constexpr auto kEndWait = std::chrono::seconds(10);

struct Key {
  const char* name;
  UINT vk;
};
constexpr Key kKeys[] = {
    {"Enter", VK_RETURN}, {"Tab", VK_TAB},   {"Esc", VK_ESCAPE}, {"Insert", VK_INSERT}, {"Delete", VK_DELETE},
    {"Up", VK_UP},        {"Down", VK_DOWN}, {"Left", VK_LEFT},  {"Right", VK_RIGHT},   {"Home", VK_HOME},
    {"End", VK_END},      {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT}, {"Back", VK_BACK},     {"F1", VK_F1},
    {"F2", VK_F2},        {"F3", VK_F3},     {"F4", VK_F4},      {"F5", VK_F5},         {"F10", VK_F10},
    {"F12", VK_F12},
};

std::string plain(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

// Words and quoted texts of a line.
std::vector<std::string> words(const std::string& line, bool& ok) {
  std::vector<std::string> out;
  ok = true;
  for (size_t i = 0; i < line.size();) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
    } else if (line[i] == '"') {
      size_t close = line.find('"', i + 1);
      if (close == std::string::npos) return ok = false, out;
      out.push_back(line.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      size_t end = line.find_first_of(" \t\r", i);
      out.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
      i = end == std::string::npos ? line.size() : end;
    }
  }
  return out;
}

HWND find_id(HWND parent, int id) {
  for (HWND c : GetChildren(parent)) {
    if (GetDlgCtrlID(c) == id && !GetClassName(c).starts_with(kWindowClassPrefix)) return c;
    // Controls of another runtime window (an MDI child) are not this window's.
    if (GetClassName(c).starts_with(kWindowClassPrefix)) continue;
    if (HWND deeper = find_id(c, id)) return deeper;
  }
  return nullptr;
}

// The runtime window the user works in: the frame's active MDI child, or
// the active top-level window.
HWND active_runtime_window() {
  HWND top = GetActiveWindow();
  if (!top) return nullptr;
  if (WindowObject* w = window_object(top); w && w->client) {
    HWND child = reinterpret_cast<HWND>(SendMessage(w->client, WM_MDIGETACTIVE, 0, 0));
    if (child) return child;
  }
  return top;
}

// A menu item by its path of texts: its command, or 0; `greyed` tells
// whether it (or a menu on the way) cannot be chosen.
UINT menu_item(HMENU menu, const std::vector<std::string>& path, bool& greyed, size_t depth = 0) {
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    if (plain(GetMenuString(menu, static_cast<UINT>(i), MF_BYPOSITION)) != plain(path[depth])) continue;
    if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) greyed = true;
    if (depth + 1 == path.size()) return GetMenuItemID(menu, i);
    return menu_item(GetSubMenu(menu, i), path, greyed, depth + 1);
  }
  return 0;
}

// A button of a toolbar in the window (the frame's, say) by its command:
// the toolbar and the button's rectangle in it.
HWND toolbar_button(HWND top, int id, RECT* rect) {
  WNDCLASS toolbar, cls;
  if (!GetClassInfo(kToolbarClass, &toolbar)) return nullptr;
  for (HWND c : GetChildren(top)) {
    if (!GetClassInfo(GetClassName(c), &cls) || cls.lpfnWndProc != toolbar.lpfnWndProc) continue;
    LRESULT index = SendMessage(c, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0);
    if (index >= 0 && SendMessage(c, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)))
      return c;
  }
  return nullptr;
}

class Runner {
 public:
  // "" when the verb did its work, else what failed.
  std::string verb(const std::vector<std::string>& w) {
    const std::string& v = w[0];
    if (v == "wait" && w.size() == 3 && w[1] == "window") {
      HWND found = nullptr;
      automation::wait_until([&] { return (found = find_named_window(w[2])) != nullptr; }, kWaitMs);
      if (!found) return "no window \"" + w[2] + "\" appeared (open: " + open_windows() + ")";
      current_ = found;
      return "";
    }
    if (v == "wait" && w.size() == 3 && w[1] == "closed") {
      HWND still = nullptr;
      automation::wait_until([&] { return (still = find_named_window(w[2])) == nullptr; }, kWaitMs);
      return still ? "the window " + describe_window(still) + " is still open" : "";
    }
    if (v == "wait" && w.size() == 3 && w[1] == "hidden") {
      bool hidden = automation::wait_until([&] { return find_hidden_window(w[2]) != nullptr; }, kWaitMs);
      if (hidden) return "";
      HWND shown = find_named_window(w[2]);
      return shown ? "the window " + describe_window(shown) + " is shown"
                   : "no window \"" + w[2] + "\" is open (open: " + open_windows() + ")";
    }
    if (v == "expect" && w.size() == 3 && w[1] == "window")
      return find_named_window(w[2]) ? "" : "no window \"" + w[2] + "\" is open (open: " + open_windows() + ")";
    if (v == "expect" && w.size() == 3 && w[1] == "message") {
      HWND box = nullptr;
      automation::wait_until([&] { return (box = frontmost_message_box()) != nullptr; }, kWaitMs);
      if (!box) return "no message box appeared (open: " + open_windows() + ")";
      std::string text = message_box_text(box);
      return text == w[2] ? "" : "the message box " + describe_window(box) + " says \"" + text + "\"";
    }
    if (v == "dump" && w.size() == 3 && w[1] == "window") {
      settle();
      HWND window = current_runtime_window();
      std::string dump = window ? dump_window(window) : "";
      if (dump.empty()) return "no window to dump (active: " + describe_window(GetActiveWindow()) + ")";
      std::ofstream out(w[2], std::ios::binary);
      out << dump;
      out.close();
      return out ? "" : "the dump " + w[2] + " could not be written";
    }
    if (v == "popup" && w.size() == 4 && w[1] == "field") return popup(w[2], w[3]);
    if (v == "menu" && w.size() == 2) {
      HWND top = current_top();
      if (!top) return "no window to choose from";
      std::vector<std::string> path;
      for (size_t start = 0;;) {
        size_t bar = w[1].find('|', start);
        path.push_back(w[1].substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
      }
      bool greyed = false;
      UINT id = menu_item(GetMenu(top), path, greyed);
      if (id == 0) return "no menu item \"" + w[1] + "\"";
      if (greyed) return "the menu item \"" + w[1] + "\" is greyed";
      PostMessage(top, WM_COMMAND, id, 0);
      return settle();
    }
    if (v == "click" && w.size() == 3 && w[1] == "field") {
      if (HWND control = field(w[2])) return click(control, "field " + w[2]);
      return click_tool(std::atoi(w[2].c_str()), "field " + w[2]);
    }
    if (v == "click" && w.size() == 2) {
      // An open popup menu is in front of everything.
      if (HWND menu = frontmost_popup_menu()) return choose_item(menu, w[1]);
      HWND target = find_control_by_text(current_runtime_window(), w[1]);
      if (!target) return "nothing to click: \"" + w[1] + "\" in " + describe_window(current_runtime_window());
      return click(target, "\"" + w[1] + "\" in " + describe_window(window_shown_in(target)));
    }
    if (v == "thumb" && w.size() == 4 && w[1] == "field") {
      // The list's thumb, dragged and let go as a user would.
      HWND list = field(w[2]);
      int percent = std::atoi(w[3].c_str());
      if (!list) return "no field " + w[2];
      if (w[3].find_first_not_of("0123456789") != std::string::npos || percent > 100)
        return "the thumb goes to 0 to 100 percent, not " + w[3];
      POINT grab, drop;
      if (!list_thumb_drag(list, percent, &grab, &drop)) return "field " + w[2] + " has no scroll thumb";
      HWND top = GetTopLevel(list);
      automation::press_at(top, automation::point_in_top(list, grab));
      automation::move_to(top, automation::point_in_top(list, drop));
      automation::release_at(top, automation::point_in_top(list, drop));
      return settle();
    }
    if (v == "answer" && w.size() == 2) {
      std::vector<HWND> tops = GetTopLevelWindows();
      HWND button = tops.empty() ? nullptr : automation::find_child(tops.front(), w[1]);
      return click(button, "button \"" + w[1] + "\" of " + describe_window(tops.empty() ? nullptr : tops.front()));
    }
    if (v == "key" && w.size() == 2) {
      for (const Key& k : kKeys) {
        if (w[1] != k.name) continue;
        inject_key(k.vk, true);
        inject_key(k.vk, false);
        return settle();
      }
      return "unknown key " + w[1];
    }
    if (v == "type" && w.size() == 2) {
      automation::type(w[1]);
      return settle();
    }
    if (v == "run" && w.size() == 2) {
      int code = run_shell_command(w[1], kRunTimeoutMs);
      return code == 0 ? settle() : "the command \"" + w[1] + "\" ended with " + std::to_string(code);
    }
    if (v == "screenshot" && w.size() == 2) {
      settle();
      HWND top = current_top();
      if (!top) return "no window to photograph";
      return automation::screenshot(top, w[1]) ? "" : "the screenshot " + w[1] + " could not be written";
    }
    if (v == "expect" && w.size() == 5 && w[1] == "text" && w[2] == "field") {
      HWND control = field(w[3]);
      if (!control) return "no field " + w[3] + " in " + describe_window(current_runtime_window());
      std::string text = automation::read_text(control);
      return text == w[4] ? "" : "field " + w[3] + " of " + describe_window(window_shown_in(control)) + " holds \"" +
                                     text + "\", not \"" + w[4] + "\"";
    }
    return "unknown verb: " + v;
  }

 private:
  // The runtime window a control stands in.
  static HWND window_shown_in(HWND control) {
    WindowObject* w = window_holding(control);
    return w ? w->hwnd : GetTopLevel(control);
  }
  // The window the script works in: the one it waited for, while open and
  // shown, or the one the user works in.
  HWND current_runtime_window() {
    if (current_ && (!IsWindow(current_) || !IsWindowVisible(current_))) current_ = nullptr;
    return current_ ? current_ : active_runtime_window();
  }
  static std::string open_windows() {
    std::string out;
    for (HWND top : GetTopLevelWindows()) {
      if (!IsWindowVisible(top)) continue;
      if (!out.empty()) out += ", ";
      out += describe_window(top);
      if (WindowObject* w = window_object(top); w && w->client)
        for (HWND child : GetChildren(w->client))
          if (IsWindowVisible(child)) out += ", " + describe_window(child);
    }
    return out.empty() ? "none" : out;
  }
  // An item of an open popup menu, clicked as the mouse would.
  std::string choose_item(HWND menu, const std::string& text) {
    PopupItems items = popup_menu_items(menu);
    std::string seen;
    for (size_t i = 0; i < items.texts.size(); ++i) {
      std::string item = without_ampersands(items.texts[i]);
      if (item == without_ampersands(text)) {
        if (i < items.greyed.size() && items.greyed[i]) {
          automation::type("{Esc}");  // the user gives up on the menu
          return "the popup menu item \"" + text + "\" is greyed";
        }
        const RECT& r = items.rects[i];
        return click_in(menu, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
      }
      seen += (seen.empty() ? "\"" : ", \"") + item + "\"";
    }
    return "the popup menu has no item \"" + text + "\" (it has " + (seen.empty() ? "none" : seen) + ")";
  }
  // Right-clicks a control and chooses an item of the menu that opens.
  std::string popup(const std::string& number, const std::string& item) {
    HWND control = field(number);
    std::string what = "field " + number + " of " + describe_window(current_runtime_window());
    if (!control) return "no " + what;
    if (!IsWindowVisible(control)) return what + " is hidden";
    if (!IsWindowEnabled(control)) return what + " is disabled";
    HWND top = GetTopLevel(control);
    POINT screen = ClientToScreen(control, {GetClientRect(control).right / 2, GetClientRect(control).bottom / 2});
    RECT t = GetWindowRect(top);
    automation::click_at(top, {screen.x - t.left, screen.y - t.top}, 1);
    HWND menu = nullptr;
    automation::wait_until([&] { return (menu = frontmost_popup_menu()) != nullptr; }, kWaitMs);
    if (!menu) return "no popup menu opened on " + what;
    return choose_item(menu, item);
  }
  std::string settle() {
    automation::settle();
    return "";
  }
  // The top-level window of the current window; once that has closed, the
  // active window (the frame, when a document window closed).
  HWND current_top() {
    if (current_ && !IsWindow(current_)) current_ = nullptr;
    return current_ ? GetTopLevel(current_) : GetActiveWindow();
  }
  std::string click(HWND target, const std::string& what) {
    if (!target) return "nothing to click: " + what;
    // A tab is chosen by its header; its page is only shown.
    if (GetClassName(target) == kZorTab) return click_header(target, what);
    if (!IsWindowVisible(target)) return what + " is hidden";
    if (!IsWindowEnabled(target)) return what + " is disabled";
    automation::click(target);
    return "";
  }
  std::string click_header(HWND tab, const std::string& what) {
    HWND sheet = GetParent(tab);
    if (!IsWindowVisible(sheet)) return what + " is hidden";
    RECT header = tab_header(tab);
    return click_in(sheet, {(header.left + header.right) / 2, (header.top + header.bottom) / 2});
  }
  // A point of a window's client area, as the mouse would click it.
  std::string click_in(HWND hwnd, POINT client) {
    HWND top = GetTopLevel(hwnd);
    POINT screen = ClientToScreen(hwnd, client);
    RECT t = GetWindowRect(top);
    automation::click_at(top, {screen.x - t.left, screen.y - t.top});
    return "";
  }
  std::string click_tool(int id, const std::string& what) {
    HWND top = current_top();
    RECT button;
    HWND toolbar = top ? toolbar_button(top, id, &button) : nullptr;
    if (!toolbar) return "nothing to click: " + what;
    if (!SendMessage(toolbar, TB_ISBUTTONENABLED, static_cast<WPARAM>(id), 0)) return what + " is disabled";
    return click_in(toolbar, {(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  }
  HWND field(const std::string& number) {
    int id = std::atoi(number.c_str());
    // The window the script waited for, else the one the user works in.
    HWND found = nullptr;
    if (HWND window = current_runtime_window()) found = find_id(window, id);
    if (!found)
      if (HWND active = active_runtime_window()) found = find_id(active, id);
    return found;
  }

  HWND current_ = nullptr;
};

}  // namespace

namespace {
std::atomic<int> g_scripts_running{0};
}  // namespace

bool script_running() { return g_scripts_running > 0; }

ScriptOutcome run_script(const std::string& path) {
  ++g_scripts_running;
  struct Done {
    ~Done() { --g_scripts_running; }
  } done;
  std::ifstream in(path);
  if (!in) return {false, path + ": cannot be read"};
  Runner runner;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    bool quoted_ok;
    std::vector<std::string> w = words(line, quoted_ok);
    auto where = path + ":" + std::to_string(number) + ": ";
    if (!quoted_ok) return {false, where + "text not closed by a quote"};
    if (w.empty() || w[0].starts_with("#")) continue;
    if (std::string failure = runner.verb(w); !failure.empty()) return {false, where + failure};
  }
  return {};
}

void end_program() {
  // Every runtime window at the top is asked to close (the frame's loop ends
  // with it, and the program ends through its exit and stop routines); a
  // message box still up is closed first, as Esc would, so that the
  // procedure waiting for it goes on to its end.
  for (HWND top : GetTopLevelWindows())
    if (is_message_box(top)) PostMessage(top, WM_CLOSE, 0, 0);
  for (HWND top : GetTopLevelWindows())
    if (GetClassName(top).starts_with(kWindowClassPrefix)) PostMessage(top, WM_CLOSE, 0, 0);
  std::this_thread::sleep_for(kEndWait);
  // Still here: a procedure did not let its window close.
  std::fprintf(stderr, "the program did not end within %lld s of the script's end\n",
               static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(kEndWait).count()));
  core::halt(0);
}

void start_script(const std::string& path, std::function<void()> done) {
  std::thread([path, done] {
    ScriptOutcome outcome = run_script(path);
    if (outcome.ok) return done ? done() : end_program();
    std::fprintf(stderr, "%s\n", outcome.message.c_str());
    exit_process(1);
  }).detach();
}

}  // namespace vrt::window
