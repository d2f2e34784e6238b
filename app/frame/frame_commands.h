// The field numbers of the frame's menu items and toolbar buttons, as its
// window declaration (app/windows/marlo001.wnd) gives them.
#pragma once
#include <cstdint>

namespace marlock::frame {

inline constexpr const char* kFrameModule = "marlock$marlo001";
inline constexpr const char* kFrameWindow = "P1$APPFRAME";

// Menu items: browses 101-106, reports 201-252, then the three on the bar.
inline constexpr int32_t kProcessItem = 301;
inline constexpr int32_t kSourceItem = 302;
inline constexpr int32_t kLoginItem = 303;

// Toolbar buttons, which act on the active browse or form.
enum ToolbarButton : int32_t {
  kFirstPage = 1001, kPriorPage, kPriorRecord, kLocate, kNextRecord, kNextPage, kLastPage, kSelect, kInsert,
  kChange, kDelete, kPreviousValue, kHelp,
};

}  // namespace marlock::frame
