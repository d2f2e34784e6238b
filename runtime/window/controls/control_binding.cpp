#include "runtime/window/controls/control_binding.h"

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

using namespace vrt::platform;

bool Bind(WindowObject& w, int32_t field, void* storage) {
  Control* c = w.buffer ? w.control(field) : nullptr;
  if (!c || !storage) return false;
  VariableDescriptor d = w.buffer->descriptor(w.buffer->field(c->record(), "var"));
  if (d.type == 0) return false;
  c->bind(core::make_value(static_cast<core::TypeCode>(d.type), static_cast<uint8_t*>(storage), d.size,
                           static_cast<uint8_t>(d.places)));
  return true;
}

void Display(WindowObject& w) {
  for (Control* c : w.controls_in_order())
    if (c->variable()) c->show_variable();
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
  if (m.message != WM_MOUSEMOVE || !m.hwnd) return;
  HWND top = m.hwnd;
  WindowObject* w = nullptr;
  for (HWND h = m.hwnd; h && !w; h = GetParent(h)) w = window_object(h);
  if (w && w->tool_tip) relay_tool_tip_event(w->tool_tip, top, POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)});
}

}  // namespace vrt::window
