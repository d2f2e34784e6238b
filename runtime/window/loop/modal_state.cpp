#include "runtime/window/loop/modal_state.h"

#include <algorithm>

#include "runtime/window/controls/window_system.h"

namespace vrt::window {

namespace {
thread_local int t_answering = 0;
}  // namespace

AnsweringSentEvent::AnsweringSentEvent() { ++t_answering; }
AnsweringSentEvent::~AnsweringSentEvent() { --t_answering; }
bool answering_sent_event() { return t_answering > 0; }

bool modal_for(const WindowObject& window) {
  if (answering_sent_event()) return true;
  const std::vector<WindowObject*>& mine = thread_windows();
  auto at = std::ranges::find(mine, &window);
  if (at == mine.end()) return false;
  return std::any_of(at + 1, mine.end(), [](const WindowObject* w) { return w->modal && w->hwnd; });
}

}  // namespace vrt::window
