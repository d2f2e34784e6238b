#include "runtime/window/controls/list_rows_shown.h"

#include "runtime/platform/gui/message_api.h"
#include "runtime/window/controls/list_control.h"

namespace vrt::window {

using namespace vrt::platform;

// Sent, so the list's own thread reads its queue.
std::vector<ListRowShown> list_rows_shown(HWND list) {
  std::vector<ListRowShown> rows;
  SendMessage(list, kListRowsShown, 0, reinterpret_cast<LPARAM>(&rows));
  return rows;
}

bool list_vcr(HWND list) { return SendMessage(list, kListGetVcr, 0, 0) != 0; }

}  // namespace vrt::window
