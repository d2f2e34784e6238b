#include "runtime/window/loop/dialog_keyboard.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/mdi.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/window_system.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/event_posting.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

// The controls the keyboard moves the focus to.
constexpr RecordType kFocusTakers[] = {RecordType::Button, RecordType::Entry, RecordType::List, RecordType::Spin,
                                       RecordType::Radio};

bool takes_focus(const Control& c) {
  bool taker = std::ranges::find(kFocusTakers, static_cast<RecordType>(c.type())) != std::end(kFocusTakers);
  return taker && c.hwnd() && IsWindowVisible(c.hwnd()) && IsWindowEnabled(c.hwnd());
}

bool can_press(const Control* c) {
  return c && c->hwnd() && IsWindowVisible(c->hwnd()) && IsWindowEnabled(c->hwnd()) &&
         (c->type() == static_cast<uint8_t>(RecordType::Button) || c->type() == static_cast<uint8_t>(RecordType::Radio));
}

void press(const Control& c) { SendMessage(c.hwnd(), BM_CLICK, 0, 0); }

// The control that holds the focus (itself or a window inside it), or
// null: the innermost one, not the sheet or tab that holds it in turn.
Control* focus_holder(const std::vector<Control*>& controls) {
  HWND focus = GetFocus();
  if (!focus) return nullptr;
  Control* holder = nullptr;
  for (Control* c : controls) {
    if (c->hwnd() == focus) return c;
    // Field order is depth first: a later container lies inside an earlier one.
    if (c->hwnd() && IsChild(c->hwnd(), focus)) holder = c;
  }
  return holder;
}

bool move_focus(const std::vector<Control*>& controls, bool forward) {
  std::vector<Control*> takers;
  for (Control* c : controls)
    if (takes_focus(*c)) takers.push_back(c);
  if (takers.empty()) return false;
  Control* holder = focus_holder(controls);
  auto at = std::ranges::find(takers, holder);
  size_t n = takers.size(), next;
  if (at == takers.end()) next = forward ? 0 : n - 1;
  else next = (static_cast<size_t>(at - takers.begin()) + (forward ? 1 : n - 1)) % n;
  SetFocus(takers[next]->hwnd());
  return true;
}

Control* button_with_key(const std::vector<Control*>& controls, int32_t key) {
  for (Control* c : controls)
    if (c->key_code() == key && can_press(c)) return c;
  return nullptr;
}

bool enter(const std::vector<Control*>& controls) {
  Control* target = focus_holder(controls);
  if (!target || target->type() != static_cast<uint8_t>(RecordType::Button) || !can_press(target))
    target = button_with_key(controls, VK_RETURN);
  if (!target)
    for (Control* c : controls)
      if ((c->flags() & kFlagDefault) && can_press(c)) target = c;
  if (!target) return false;
  press(*target);
  return true;
}

// The letter a text marks with "&" ("&&" is a plain "&"), or 0.
char mnemonic(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
    ++i;
  }
  return 0;
}

bool alt_letter(const std::vector<Control*>& controls, char letter) {
  for (size_t i = 0; i < controls.size(); ++i) {
    Control* c = controls[i];
    if (!c->hwnd() || !IsWindowVisible(c->hwnd()) || mnemonic(GetWindowText(c->hwnd())) != letter) continue;
    if (can_press(c)) {
      SetFocus(c->hwnd());
      press(*c);
      return true;
    }
    if (c->type() == static_cast<uint8_t>(RecordType::Prompt)) {
      for (size_t j = i + 1; j < controls.size(); ++j)
        if (takes_focus(*controls[j])) return SetFocus(controls[j]->hwnd()), true;
    }
  }
  return false;
}

// A key the procedure asked to hear.
bool alert(WindowObject& w, const std::vector<Control*>& controls, UINT vk) {
  int32_t code = static_cast<int32_t>(vk) | (GetKeyState(VK_SHIFT) ? 0x100 : 0) | (GetKeyState(VK_CONTROL) ? 0x200 : 0);
  if (std::ranges::find(w.alert_keys, code) == w.alert_keys.end()) return false;
  w.alert_key = code;
  PostEvent(w, event::AlertKey, focus_holder(controls));
  return true;
}

}  // namespace

bool dialog_keyboard(WindowObject& w, const MSG& m) {
  if (m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) return false;
  std::vector<Control*> controls = w.controls_in_order();
  UINT vk = static_cast<UINT>(m.wParam);
  if (m.message == WM_SYSKEYDOWN) {
    bool letter = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
    return letter && GetKeyState(VK_MENU) && alt_letter(controls, static_cast<char>(vk));
  }
  if (alert(w, controls, vk)) return true;
  if (GetKeyState(VK_CONTROL)) return false;
  if (Control* holder = focus_holder(controls); holder && holder->key(vk)) return true;
  if (vk == VK_TAB) return move_focus(controls, !GetKeyState(VK_SHIFT));
  if (vk == VK_RETURN) return enter(controls);
  if (Control* c = button_with_key(controls, static_cast<int32_t>(vk))) {
    press(*c);
    return true;
  }
  return false;
}

bool pre_translate(const MSG& m) {
  if (m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) return false;
  WindowObject* app = window_system().application;
  if (app && app->client && TranslateMDISysAccel(app->client, m)) return true;
  WindowObject* holder = window_holding(m.hwnd);
  return holder && holder->buffer && dialog_keyboard(*holder, m);
}

}  // namespace vrt::window
