// Spin boxes: an entry with a pair of arrows at its right. The arrows (a
// window of class ZorSpinArrows, drawn here) and the Up and Down keys step
// the number by one, after what was typed is taken.
#include <algorithm>
#include <mutex>

#include "runtime/platform/gfx/gdi_objects.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/entry_control.h"
#include "runtime/window/controls/spin_arrows.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

constexpr const char* kSpinProp = "ZorSpin";

// Up (+1) for the upper half of the arrows, down (-1) for the lower.
int step_at(HWND arrows, int y) { return y < GetClientRect(arrows).bottom / 2 ? 1 : -1; }

void paint_arrows(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT r = GetClientRect(h);
  int half = r.bottom / 2;
  FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
  HBRUSH edge = GetSysColorBrush(COLOR_BTNSHADOW);
  FillRect(dc, {r.left, r.top, r.left + 1, r.bottom}, edge);
  FillRect(dc, {r.left, half, r.right, half + 1}, edge);
  int cx = (r.left + r.right) / 2, w = std::max(2, (r.right - r.left) / 4), h3 = std::max(2, half / 3);
  HGDIOBJ brush = SelectObject(dc, GetSysColorBrush(COLOR_BTNTEXT));
  HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
  POINT up[] = {{cx - w, half / 2 + h3 / 2 + 1}, {cx + w + 1, half / 2 + h3 / 2 + 1}, {cx, half / 2 - h3 / 2}};
  POINT down[] = {{cx - w, half + half / 2 - h3 / 2}, {cx + w + 1, half + half / 2 - h3 / 2},
                  {cx, half + half / 2 + h3 / 2 + 1}};
  Polygon(dc, up, 3);
  Polygon(dc, down, 3);
  SelectObject(dc, pen);
  SelectObject(dc, brush);
  EndPaint(h, &ps);
}

}  // namespace

class SpinControl : public EntryControl {
 public:
  using EntryControl::EntryControl;
  ~SpinControl() override {
    if (arrows_ && IsWindow(arrows_)) SetProp(arrows_, kSpinProp, 0);
  }

  void create(WindowObject& owner, HWND parent, const RECT& at) override {
    register_spin_arrows();
    int width = std::min<int>(scaled(kSpinArrowsWidth), (at.right - at.left) / 2);
    RECT entry{at.left, at.top, at.right - width, at.bottom};
    EntryControl::create(owner, parent, entry);
    uint32_t style = WS_CHILD | (flags() & kFlagHidden ? 0u : WS_VISIBLE);
    arrows_ = CreateWindowEx(0, kZorSpinArrows, "", style, at.right - width, at.top, width, at.bottom - at.top,
                             parent, nullptr);
    if (arrows_) SetProp(arrows_, kSpinProp, reinterpret_cast<uintptr_t>(this));
  }

  bool key(UINT vk) override {
    if (vk != VK_UP && vk != VK_DOWN) return false;
    step(vk == VK_UP ? 1 : -1);
    return true;
  }

  // Takes what was typed, then steps; a rejected text is not stepped over.
  bool step(int by) {
    if (!variable_ || !hwnd_) return false;
    commit_edit();
    if (rejection()) return false;
    variable_->set_long(variable_->get_long() + by);
    shown_.reset();
    show_variable();
    return true;
  }

  HWND arrows() const { return arrows_; }

 private:
  HWND arrows_ = nullptr;
};

LRESULT spin_arrows_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_PAINT: paint_arrows(h); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (auto* spin = reinterpret_cast<SpinControl*>(GetProp(h, kSpinProp)); spin && spin->step(step_at(h, GET_Y_LPARAM(lp)))) {
        if (spin->hwnd() && GetFocus() != spin->hwnd()) SetFocus(spin->hwnd());
        SendMessage(GetParent(h), WM_COMMAND, MAKEWPARAM(static_cast<uint32_t>(spin->field()), kSpinStepped),
                    reinterpret_cast<LPARAM>(spin->hwnd()));
      }
      return 0;
    default: return DefWindowProc(h, m, wp, lp);
  }
}

void register_spin_arrows() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS wc;
    wc.lpszClassName = kZorSpinArrows;
    wc.lpfnWndProc = spin_arrows_proc;
    wc.hCursor = LoadCursor(IDC_ARROW);
    RegisterClass(wc);
  });
}

HWND spin_arrows_of(Control& spin) {
  auto* s = dynamic_cast<SpinControl*>(&spin);
  return s ? s->arrows() : nullptr;
}

std::unique_ptr<Control> make_spin(const ResourceBuffer& b, uint32_t r) { return std::make_unique<SpinControl>(b, r); }

}  // namespace vrt::window
