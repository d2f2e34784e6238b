// The demonstration's list: 300 made-up customers, paged through as the
// browses page through records. The list reports its scrolling (flag
// 0x800); the procedure keeps the page of rows in the list's queue, moves
// it for each scroll event and puts the thumb where the page is. Its VCR
// button switches the record-navigation buttons on and off.
#pragma once
#include <algorithm>
#include <atomic>
#include <string>

#include "runtime/window/controls/list_program.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/window_open.h"
#include "tools/window_demo/demo_module.h"

namespace vrt::window::demo {

using platform::HWND;

inline std::atomic<HWND> g_list{nullptr};
inline std::atomic<int> g_list_first{0};  // the customer at the top of the page, from 0

inline constexpr int kCustomers = 300;

// Customer n's fields: number, name, date joined (a standard date), balance, suburb.
inline ListQueue::Entry demo_customer(int n) {
  static const char* kFirst[] = {"Ada", "Ben", "Cleo", "Dev", "Edith", "Fergus", "Gina", "Hugo", "Iris", "Jack"};
  static const char* kLast[] = {"Abbott", "Barker", "Chong", "Dalton", "Evans", "Fraser", "Gupta", "Hale"};
  static const char* kSuburb[] = {"Northcote", "Fitzroy", "Brunswick", "Carlton", "Kew", "Coburg", "Richmond"};
  int cents = (n * 7919) % 2000000 - 300000;
  std::string balance = (cents < 0 ? "-" : "") + std::to_string(std::abs(cents) / 100) + "." +
                        std::to_string(std::abs(cents) % 100 / 10) + std::to_string(std::abs(cents) % 10);
  return {std::to_string(n + 1), std::string(kFirst[n % 10]) + " " + kLast[(n / 10) % 8],
          std::to_string(75000 + (n * 37) % 9000), balance, kSuburb[(n * 3) % 7]};
}

inline void list_procedure(const std::string&) {
  WindowObject w(kDemo, "P3$DEMOLIST", WindowKind::MdiChild);
  Open(w);
  g_list = w.hwnd;
  constexpr int32_t kList = 1, kVcrButton = 2, kClose = 3;
  ListQueue page;
  BindQueue(w, kList, &page);
  int first = 0;
  auto fill = [&] {
    int rows = std::max(1, ListRowsVisible(w, kList));
    first = std::clamp(first, 0, kCustomers - rows);
    page.clear();
    for (int n = first; n < first + rows; ++n) page.add(demo_customer(n));
    g_list_first = first;
  };
  auto place_thumb = [&] { SetListThumb(w, kList, first * 100 / (kCustomers - ListRowsVisible(w, kList))); };
  fill();
  SetListSelection(w, kList, 1);
  while (Accept(w)) {
    int rows = ListRowsVisible(w, kList);
    int selected = ListSelection(w, kList);
    switch (w.event) {
      case event::ScrollUp: first -= 1; break;
      case event::ScrollDown: first += 1; break;
      case event::PageUp: first -= rows; break;
      case event::PageDown: first += rows; break;
      case event::ScrollTop: first = 0, selected = 1; break;
      case event::ScrollBottom: first = kCustomers, selected = rows; break;
      case event::ScrollTrack:
      case event::ScrollDrag: first = ListThumb(w, kList) * (kCustomers - rows) / 100; break;
      case event::Accepted:
        if (w.field == kVcrButton) SetListVcr(w, kList, !ListVcr(w, kList));
        if (w.field == kClose) PostClose(w);
        continue;
      default: continue;
    }
    fill();
    if (w.event != event::ScrollTrack && w.event != event::ScrollDrag) place_thumb();
    SetListSelection(w, kList, std::clamp(selected, 1, rows));
  }
  g_list = nullptr;
}

}  // namespace vrt::window::demo
