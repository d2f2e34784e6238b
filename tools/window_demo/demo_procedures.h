// The demonstration's procedures: the frame, whose menu starts a child
// procedure on its own thread, and the child with its sheet, radios,
// timer-driven progress bar and buttons; its List menu starts the list of
// customers (demo_list.h); the entries form.
#pragma once
#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/core/values/dates.h"
#include "runtime/core/values/value.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/controls/sheet_control.h"
#include "runtime/window/loop/thread_start.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/window/message_box.h"
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

inline std::atomic<HWND> g_entries{nullptr};

// A form of entries with pictures: each shows its value through its picture
// and takes typed text through it; a rejected text is told in the line
// below them and the entry is chosen again. Cancel needs no valid entries.
inline void entries_procedure(const std::string&) {
  WindowObject w(kDemo, "P4$DEMOENTRIES", WindowKind::MdiChild);
  Open(w);
  int32_t number = 1234, copies = 2;
  char name[20], code[11], note[40];
  uint8_t born[4], due[4], time[4], amount[7];
  auto text = [](char* field, size_t size, const char* value) {
    std::memset(field, ' ', size);
    std::memcpy(field, value, std::min(size, std::strlen(value)));
  };
  text(name, sizeof name, "Alice Marlow");
  text(code, sizeof code, "078051120");
  text(note, sizeof note, "");
  core::make_value(core::TypeCode::DATE, born)->set_long(core::date_from_ymd(1962, 5, 4));
  core::make_value(core::TypeCode::DATE, due)->set_long(core::date_from_ymd(2026, 12, 31));
  core::make_value(core::TypeCode::TIME, time)->set_long(core::time_from_parts(17, 30, 0, 0));
  core::make_value(core::TypeCode::DECIMAL, amount, 7, 2)->set_text("-1234.56");
  Bind(w, 2, &number);
  Bind(w, 4, name);
  Bind(w, 6, born);
  Bind(w, 8, due);
  Bind(w, 10, time);
  Bind(w, 12, code);
  Bind(w, 14, amount);
  Bind(w, 16, &copies);
  Bind(w, 17, note);
  w.control(19)->needs_no_check = true;
  g_entries = w.hwnd;
  while (Accept(w)) {
    switch (w.event) {
      case event::Rejected:
        text(note, sizeof note, ("Field " + std::to_string(w.field) + " rejected, reason " +
                                 std::to_string(w.control(w.field)->rejection())).c_str());
        Display(w);
        SetFocus(w.control(w.field)->hwnd());
        break;
      case event::Accepted:
        if (w.field == 18 || w.field == 19) PostClose(w);  // OK, Cancel
        else if (w.field != 17) {
          text(note, sizeof note, "");
          Display(w);
        }
        break;
    }
  }
  g_entries = nullptr;
}

inline void frame_procedure() {
  WindowObject frame(kDemo, "P1$DEMOFRAME", WindowKind::Application);
  Open(frame);
  SendMessage(frame.status_bar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready"));
  while (Accept(frame)) {
    if (frame.event != event::Accepted) continue;
    if (frame.field == -2 || frame.field == 2000) Start(child_procedure, 50000);
    if (frame.field == -20) Start(entries_procedure, 50000);
    if (frame.field == -3) PostClose(frame);
    if (frame.field == -5)  // Help | About
      Message("Vorthal Demonstration|Windows, lists, entries and message boxes on a small runtime.", "About",
              standard_image_code(IDI_ASTERISK));
    if (frame.field == -8) Start(list_procedure, 50000);  // List | Customers
  }
}

}  // namespace vrt::window::demo
