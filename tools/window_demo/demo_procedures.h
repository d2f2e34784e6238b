// The demonstration's procedures: the frame, whose menu starts a child
// procedure on its own thread, and the child with its sheet, radios,
// timer-driven progress bar and buttons; its List menu starts the list of
// customers (demo_list.h).
#pragma once
#include <atomic>
#include <string>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/controls/sheet_control.h"
#include "runtime/window/loop/thread_start.h"
#include "runtime/window/loop/window_open.h"
#include "tools/window_demo/demo_list.h"
#include "tools/window_demo/demo_module.h"

namespace vrt::window::demo {

using namespace vrt::platform;

inline std::atomic<HWND> g_child{nullptr};
inline std::atomic<int> g_progress{0};
inline std::atomic<int> g_page{0};  // the page the user chose last (1 or 2), 0 before

inline void child_procedure(const std::string&) {
  WindowObject w(kDemo, "P2$DEMOCHILD", WindowKind::MdiChild);
  Open(w);
  g_child = w.hwnd;
  HWND sheet = w.control(1)->hwnd();
  SendMessage(w.control(5)->hwnd(), BM_SETCHECK, BST_CHECKED, 0);  // Medium
  bool running = false;
  uint8_t percent = 0;
  Bind(w, 10, &percent);  // the bar follows the variable
  while (Accept(w)) {
    switch (w.event) {
      case event::Timer:
        if (running && percent < 100) g_progress = percent += 5;
        break;
      case event::NewSelection:
        if (w.field == 1) g_page = selected_tab(sheet) + 1;  // the sheet: the user chose a page
        break;
      case event::Accepted:
        if (w.field == 11) {  // Start
          select_tab(sheet, 1);
          running = true;
        }
        if (w.field == 12) PostClose(w);  // Close
        break;
    }
  }
  g_child = nullptr;
}

inline void frame_procedure() {
  WindowObject frame(kDemo, "P1$DEMOFRAME", WindowKind::Application);
  Open(frame);
  SendMessage(frame.status_bar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready"));
  while (Accept(frame)) {
    if (frame.event != event::Accepted) continue;
    if (frame.field == -2 || frame.field == 2000) Start(child_procedure, 50000);
    if (frame.field == -3) PostClose(frame);
    if (frame.field == -8) Start(list_procedure, 50000);  // List | Customers
  }
}

}  // namespace vrt::window::demo
