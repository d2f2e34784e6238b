#include "runtime/window/controls/control_binding.h"

#include "runtime/core/base/fatal_error.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

using namespace vrt::platform;

namespace {

// The menu item with the field number whose check follows a variable, or 0.
uint32_t checked_item_in(const ResourceBuffer& b, uint32_t first, int32_t field) {
  for (uint32_t at = first; at != 0; at = b.next(at)) {
    auto type = static_cast<RecordType>(b.type(at));
    if (type == RecordType::Item && b.field_number(at) == field && (b.flags(at) & kFlagCheckVariable)) return at;
    if (type == RecordType::Menu)
      if (uint32_t found = checked_item_in(b, b.field(at, "children"), field)) return found;
  }
  return 0;
}

uint32_t checked_menu_item(const WindowObject& w, int32_t field) {
  uint32_t bar = w.buffer->field(w.structure, "menubar");
  return bar ? checked_item_in(*w.buffer, w.buffer->field(bar, "children"), field) : 0;
}

}  // namespace

bool Bind(WindowObject& w, int32_t field, void* storage) {
  if (!w.is_open()) {
    core::fatal_runtime_error(536);
    return false;
  }
  if (!storage) return false;
  Control* c = w.control(field);
  uint32_t record = c ? c->record() : checked_menu_item(w, field);
  VariableDescriptor d = record ? w.buffer->descriptor(w.buffer->field(record, "var")) : VariableDescriptor{};
  if (d.type == 0) return false;
  auto value = core::make_value(static_cast<core::TypeCode>(d.type), static_cast<uint8_t*>(storage), d.size,
                                static_cast<uint8_t>(d.places));
  if (c) c->bind(std::move(value));
  else w.menu_checks.emplace_back(field, std::move(value));
  Display(w);
  return true;
}

void Display(WindowObject& w) {
  for (Control* c : w.controls_in_order())
    if (c->shows_binding()) c->show_variable();
  for (const auto& t : w.tools)
    if (t->variable()) t->show_variable();
  for (const auto& [field, value] : w.menu_checks)
    CheckMenuItem(w.menu, static_cast<uint16_t>(field), MF_BYCOMMAND | (value->get_long() ? MF_CHECKED : MF_UNCHECKED));
}

void radio_chosen(WindowObject& w, int32_t field) {
  for (Control* option : w.controls_in_order()) {
    if (option->type() != static_cast<uint8_t>(RecordType::Option) || !option->variable()) continue;
    for (const auto& radio : option->children) {
      if (radio->field() != field || !radio->hwnd()) continue;
      std::string value;
      for (char ch : GetWindowText(radio->hwnd()))
        if (ch != '&') value += ch;
      option->variable()->set_text(value);
      option->show_variable();
      return;
    }
  }
}

void make_tool_tips(WindowObject& w) {
  for (Control* c : w.controls_in_order()) {
    if (c->tip().empty() || !c->hwnd()) continue;
    if (!w.tool_tip) w.tool_tip = CreateWindow(kZorToolTip, "", WS_POPUP, 0, 0, 0, 0, w.hwnd, nullptr);
    TOOLINFO tool;
    tool.hwnd = c->hwnd();
    tool.text = c->tip();
    SendMessage(w.tool_tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void relay_to_tool_tips(const MSG& m) {
  if ((m.message != WM_MOUSEMOVE && m.message != WM_MOUSELEAVE) || !m.hwnd) return;
  HWND top = m.hwnd;
  WindowObject* w = nullptr;
  for (HWND h = m.hwnd; h && !w; h = GetParent(h)) w = window_object(h);
  // Leaving the window is a move onto no tool: the tip goes.
  HWND from = m.message == WM_MOUSELEAVE ? nullptr : top;
  if (w && w->tool_tip) relay_tool_tip_event(w->tool_tip, from, POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)});
}

}  // namespace vrt::window
