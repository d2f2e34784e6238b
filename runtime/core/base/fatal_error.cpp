#include "runtime/core/base/fatal_error.h"

#include <atomic>
#include <vector>

#include "runtime/core/base/error_state.h"
#include "runtime/core/base/message_text.h"
#include "runtime/core/base/runtime_box.h"
#include "runtime/platform/os/process.h"

namespace vrt::core {

namespace {
FatalHandler g_handler = nullptr;
FatalEnding g_ending;
std::atomic<bool> g_active{false};
std::atomic<bool> g_error_reported{false};
std::vector<ReleaseRoutine>& release_routines() {
  static std::vector<ReleaseRoutine> routines;
  return routines;
}
constexpr size_t kFatalTextSize = 255;
}  // namespace

FatalHandler set_fatal_handler(FatalHandler handler) {
  FatalHandler old = g_handler;
  g_handler = handler;
  return old;
}

void set_fatal_ending(const FatalEnding& ending) { g_ending = ending; }

void set_runtime_active(bool active) { g_active = active; }
bool runtime_active() { return g_active; }
bool runtime_error_reported() { return g_error_reported; }

void add_release_routine(ReleaseRoutine routine) { release_routines().push_back(routine); }

void release_core_resources() {
  auto& routines = release_routines();
  while (!routines.empty()) {
    ReleaseRoutine r = routines.back();
    routines.pop_back();
    r();
  }
}

void fatal_runtime_error(int number, const char* extra) {
  std::string text;
  if (number != 0) {
    post_error(number);
    text = message_text(number);
    if (extra) text += " : ";
  }
  if (extra) text += extra;
  if (text.size() > kFatalTextSize) text.resize(kFatalTextSize);

  if (g_handler) {
    if (g_active) {
      if (g_ending.keep_text) g_ending.keep_text(text);
      g_handler(number, text);
    }
  } else {
    BoxRequest box{"Runtime error", text + "\nDo you want to GPF?", kBoxYesNo, kBoxIconError, kAnswerNo};
    if (show_runtime_box(box) == kAnswerYes) platform::abort_process();
  }
  release_core_resources();
  g_error_reported = true;
  if (g_active) {
    if (g_ending.halt) g_ending.halt(2);
    platform::exit_process(2);
  }
}

}  // namespace vrt::core
