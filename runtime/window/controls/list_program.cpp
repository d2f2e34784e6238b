#include "runtime/window/controls/list_program.h"

#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/list_control.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

using namespace vrt::platform;

namespace {

// The field's list window, or null.
HWND list_of(WindowObject& w, int32_t field) {
  Control* c = w.control(field);
  if (!c || !c->hwnd()) return nullptr;
  std::string cls = GetClassName(c->hwnd());
  return cls == kZorList || cls == kZorDrop ? c->hwnd() : nullptr;
}

}  // namespace

bool BindQueue(WindowObject& w, int32_t field, const ListQueue* queue) {
  HWND list = list_of(w, field);
  return list && SendMessage(list, kListBindQueue, 0, reinterpret_cast<LPARAM>(queue));
}

bool SetListSelection(WindowObject& w, int32_t field, int32_t position) {
  HWND list = list_of(w, field);
  return list && SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(position - 1), 0) == position - 1;
}

int32_t ListSelection(WindowObject& w, int32_t field) {
  HWND list = list_of(w, field);
  return list ? static_cast<int32_t>(SendMessage(list, LB_GETCURSEL, 0, 0)) + 1 : 0;
}

bool ListRightClicked(WindowObject& w, int32_t field) {
  HWND list = list_of(w, field);
  return list && SendMessage(list, kListGetRightClicked, 0, 0);
}

int32_t ListAlertKey(WindowObject& w, int32_t field) {
  HWND list = list_of(w, field);
  return list ? static_cast<int32_t>(SendMessage(list, kListGetAlertKey, 0, 0)) : 0;
}

int32_t ListRowsVisible(WindowObject& w, int32_t field) {
  HWND list = list_of(w, field);
  return list ? static_cast<int32_t>(SendMessage(list, kListGetVisibleRows, 0, 0)) : 0;
}

bool SetListThumbRange(WindowObject& w, int32_t field, int32_t low, int32_t high) {
  HWND list = list_of(w, field);
  return list && SendMessage(list, kListSetThumbRange, static_cast<WPARAM>(low), high);
}

bool SetListThumb(WindowObject& w, int32_t field, int32_t position) {
  HWND list = list_of(w, field);
  return list && SendMessage(list, kListSetThumb, static_cast<WPARAM>(position), 0);
}

int32_t ListThumb(WindowObject& w, int32_t field) {
  HWND list = list_of(w, field);
  return list ? static_cast<int32_t>(SendMessage(list, kListGetThumb, 0, 0)) : 0;
}

bool SetListVcr(WindowObject& w, int32_t field, bool on) {
  HWND list = list_of(w, field);
  return list && SendMessage(list, kListSetVcr, on, 0);
}

bool ListVcr(WindowObject& w, int32_t field) {
  HWND list = list_of(w, field);
  return list && SendMessage(list, kListGetVcr, 0, 0);
}

}  // namespace vrt::window
