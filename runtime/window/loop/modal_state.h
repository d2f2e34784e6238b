// When the system is modal for a piece of procedure code. Besides the
// modal counter that refuses new frames and document windows, work that
// would need the event loop is refused (fatal runtime errors 540-542):
//
// - while the thread's procedure answers an event sent to it synchronously
//   (the sender waits for the answer, so no loop may run inside it);
// - for a window of the thread beneath a modal window the thread opened
//   after it (only the modal window's loop may run).
#pragma once
#include "runtime/window/controls/window_object.h"

namespace vrt::window {

// Marks the calling thread as answering a sent event for a scope.
class AnsweringSentEvent {
 public:
  AnsweringSentEvent();
  ~AnsweringSentEvent();
  AnsweringSentEvent(const AnsweringSentEvent&) = delete;
  AnsweringSentEvent& operator=(const AnsweringSentEvent&) = delete;
};
bool answering_sent_event();

// True when ACCEPT on the window must be refused.
bool modal_for(const WindowObject& window);

}  // namespace vrt::window
