#include "runtime/window/script_runner.h"

#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "runtime/platform/display/automation.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/platform/os/process.h"
#include "runtime/window/controls/window_object.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;
namespace automation = vrt::platform::automation;

constexpr int kWaitMs = 10000;

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

HWND find_titled(HWND parent, const std::string& title) {
  for (HWND c : GetChildren(parent)) {
    if (GetClassName(c).starts_with(kWindowClassPrefix) && window_text_now(c) == title && IsWindowVisible(c)) return c;
    if (HWND deeper = find_titled(c, title)) return deeper;
  }
  return nullptr;
}

HWND find_window_anywhere(const std::string& title) {
  for (HWND top : GetTopLevelWindows()) {
    if (window_text_now(top) == title && IsWindowVisible(top)) return top;
    if (HWND child = find_titled(top, title)) return child;
  }
  return nullptr;
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

// A menu item by its path of texts, or 0.
UINT menu_item(HMENU menu, const std::vector<std::string>& path, size_t depth = 0) {
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    if (plain(GetMenuString(menu, static_cast<UINT>(i), MF_BYPOSITION)) != plain(path[depth])) continue;
    if (depth + 1 == path.size()) return GetMenuItemID(menu, i);
    return menu_item(GetSubMenu(menu, i), path, depth + 1);
  }
  return 0;
}

class Runner {
 public:
  // "" when the verb did its work, else what failed.
  std::string verb(const std::vector<std::string>& w) {
    const std::string& v = w[0];
    if (v == "wait" && w.size() == 3 && w[1] == "window") {
      HWND found = nullptr;
      automation::wait_until([&] { return (found = find_window_anywhere(w[2])) != nullptr; }, kWaitMs);
      if (!found) return "no window \"" + w[2] + "\" appeared";
      current_ = found;
      return "";
    }
    if (v == "expect" && w.size() == 3 && w[1] == "window")
      return find_window_anywhere(w[2]) ? "" : "no window \"" + w[2] + "\" is open";
    if (v == "menu" && w.size() == 2) {
      HWND top = current_ ? GetTopLevel(current_) : GetActiveWindow();
      std::vector<std::string> path;
      for (size_t start = 0;;) {
        size_t bar = w[1].find('|', start);
        path.push_back(w[1].substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
      }
      UINT id = menu_item(GetMenu(top), path);
      if (id == 0) return "no menu item \"" + w[1] + "\"";
      PostMessage(top, WM_COMMAND, id, 0);
      return settle();
    }
    if (v == "click" && w.size() == 3 && w[1] == "field") return click(field(w[2]), "field " + w[2]);
    if (v == "click" && w.size() == 2) {
      HWND in = current_ ? GetTopLevel(current_) : GetActiveWindow();
      return click(in ? automation::find_child(in, w[1]) : nullptr, "\"" + w[1] + "\"");
    }
    if (v == "answer" && w.size() == 2) {
      std::vector<HWND> tops = GetTopLevelWindows();
      HWND button = tops.empty() ? nullptr : automation::find_child(tops.front(), w[1]);
      return click(button, "button \"" + w[1] + "\"");
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
    if (v == "screenshot" && w.size() == 2) {
      HWND top = current_ ? GetTopLevel(current_) : nullptr;
      settle();
      return automation::screenshot(top, w[1]) ? "" : "the screenshot " + w[1] + " could not be written";
    }
    if (v == "expect" && w.size() == 5 && w[1] == "text" && w[2] == "field") {
      HWND control = field(w[3]);
      if (!control) return "no field " + w[3];
      std::string text = automation::read_text(control);
      return text == w[4] ? "" : "field " + w[3] + " holds \"" + text + "\", not \"" + w[4] + "\"";
    }
    return "unknown verb: " + v;
  }

 private:
  std::string settle() {
    automation::settle();
    return "";
  }
  std::string click(HWND target, const std::string& what) {
    if (!target) return "nothing to click: " + what;
    automation::click(target);
    return "";
  }
  HWND field(const std::string& number) {
    int id = std::atoi(number.c_str());
    HWND window = active_runtime_window();
    return window ? find_id(window, id) : nullptr;
  }

  HWND current_ = nullptr;
};

}  // namespace

ScriptOutcome run_script(const std::string& path) {
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

void start_script(const std::string& path, std::function<void()> done) {
  std::thread([path, done] {
    ScriptOutcome outcome = run_script(path);
    if (outcome.ok) {
      if (done) return done();
      exit_process(0);
    }
    std::fprintf(stderr, "%s\n", outcome.message.c_str());
    exit_process(1);
  }).detach();
}

}  // namespace vrt::window
