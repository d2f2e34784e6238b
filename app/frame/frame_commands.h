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

// Toolbar buttons, which act on the active browse or form. A form that is
// saved with one of them hands its number to the browse as the navigation
// request, so the numbers are those the navigation requests use.
enum ToolbarButton : int32_t {
  kInsert = 2000, kChange = 2001, kDelete = 2002, kSelect = 2003,
  kLastPage = 2004, kFirstPage = 2005, kNextPage = 2006, kPriorPage = 2007,
  kNextRecord = 2008, kPriorRecord = 2009, kLocate = 2010, kPreviousValue = 2011, kHelp = 2012,
};
inline constexpr int32_t kFirstToolbarButton = kInsert;
inline constexpr int32_t kLastToolbarButton = kHelp;

}  // namespace marlock::frame
