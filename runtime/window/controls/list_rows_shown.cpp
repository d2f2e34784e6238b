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

bool list_thumb_drag(HWND list, int percent, POINT* grab, POINT* drop) {
  POINT points[2];
  if (!SendMessage(list, kListThumbDrag, static_cast<WPARAM>(percent), reinterpret_cast<LPARAM>(points))) return false;
  *grab = points[0];
  *drop = points[1];
  return true;
}

}  // namespace vrt::window
