#include "runtime/window/window_system_start.h"

#include <cstdio>

#include "runtime/core/pictures/pattern_cells.h"
#include "runtime/core/startup/startup.h"
#include "runtime/platform/display/command_line.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/creator_table.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/event_posting.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/runtime_box_window.h"
#include "runtime/window/script_runner.h"
#include "runtime/window/loop/thread_start.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/loop/window_trace.h"
#include "runtime/window/controls/window_system.h"

namespace vrt::window {

namespace {

// How long the shutdown waits for started procedures to end after
// "EVENT:CloseDown".
constexpr int kShutdownWaitMs = 10000;

// Every runtime window of other threads: top-level ones and MDI children.
std::vector<WindowObject*> other_threads_windows() {
  std::vector<WindowObject*> out;
  std::vector<platform::HWND> candidates = platform::GetTopLevelWindows();
  if (WindowObject* app = window_system().application; app && app->client)
    for (platform::HWND child : platform::GetChildren(app->client)) candidates.push_back(child);
  for (platform::HWND h : candidates)
    if (WindowObject* w = window_object(h); w && w->thread != std::this_thread::get_id()) out.push_back(w);
  return out;
}

struct StartupScript {
  std::string path;
  std::function<void()> done;
};
StartupScript& startup_script() {
  static StartupScript s;
  return s;
}

// "--script FILE" on the command line, or "".
std::string script_argument() {
  std::vector<std::string> args = platform::command_line_arguments();
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "--script") return args[i + 1];
  return {};
}

}  // namespace

void use_script(const std::string& path, std::function<void()> done) { startup_script() = {path, std::move(done)}; }

void start_window_system() {
  StartupScript script = startup_script();
  if (script.path.empty()) script.path = script_argument();
  if (script.path.empty()) platform::start_display();
  else platform::start_display(platform::DisplayKind::Headless);
  register_standard_controls();
  install_runtime_box_window();
  // A foreign cell in an entry's pattern is only traced.
  core::set_cell_trace([](const char* source, int line) { trace_line("Error @(File,Line) (%s, %d)", source, line); });
  if (!script.path.empty()) start_script(script.path, script.done);
  window_system().active = true;
  if (!runtime_lock_held()) take_runtime_lock();
}

void shutdown_window_system() {
  for (WindowObject* w : other_threads_windows()) PostEvent(*w, event::CloseDown);
  int levels = release_runtime_lock_fully();
  if (!wait_for_started_threads(kShutdownWaitMs))
    std::fprintf(stderr, "vorthal: %d started procedures did not end within %d s of the shutdown; ending without them\n",
                 started_threads_running(), kShutdownWaitMs / 1000);
  retake_runtime_lock(levels);
  while (!thread_windows().empty()) Close(*thread_windows().back());
  window_system().active = false;
  release_runtime_lock_fully();
}

void install_window_system() { core::set_window_system_hooks({start_window_system, shutdown_window_system}); }

}  // namespace vrt::window
