#include "runtime/window/controls/window_object.h"

#include "runtime/platform/gfx/gdi_objects.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/window_api.h"

namespace vrt::window {

WindowObject::WindowObject(std::string module, std::string label, WindowKind kind)
    : module_(std::move(module)), label_(std::move(label)), kind_(kind) {}

void WindowObject::set_color(std::optional<platform::COLORREF> color) {
  if (color == color_) return;
  color_ = color;
  if (color_brush_) platform::DeleteObject(color_brush_);
  color_brush_ = color ? platform::CreateSolidBrush(*color) : nullptr;
  // Its pages and static controls take the colour as well.
  if (hwnd) platform::RedrawWindow(hwnd);
}

platform::HBRUSH color_brush_for(platform::HWND hwnd) {
  WindowObject* w = window_holding(hwnd);
  return w ? w->color_brush() : nullptr;
}

uint32_t WindowObject::flags() const { return buffer ? buffer->flags(structure) : 0; }
uint32_t WindowObject::flags2() const { return buffer ? buffer->field(structure, "flags2") : 0; }
uint32_t WindowObject::timer_interval() const { return buffer ? buffer->field(structure, "timer") : 0; }

namespace {
void collect(const std::vector<std::unique_ptr<Control>>& list, std::vector<Control*>& out) {
  for (const auto& c : list) {
    out.push_back(c.get());
    collect(c->children, out);
  }
}
}  // namespace

std::vector<Control*> WindowObject::controls_in_order() const {
  std::vector<Control*> out;
  collect(controls, out);
  return out;
}

Control* WindowObject::control(int32_t number) const {
  for (Control* c : controls_in_order())
    if (c->field() == number) return c;
  for (const auto& t : tools)
    if (t->field() == number) return t.get();
  return nullptr;
}

WindowObject* window_holding(platform::HWND h) {
  for (; h; h = platform::GetParent(h))
    if (WindowObject* w = window_object(h)) return w;
  return nullptr;
}

void paint_drawn_controls(const WindowObject& window, platform::HWND painter, platform::HDC dc) {
  for (Control* c : window.controls_in_order())
    if (c->painter() == painter) c->paint(dc);
}

WindowObject* window_object(platform::HWND hwnd) {
  if (!hwnd || !platform::GetClassName(hwnd).starts_with(kWindowClassPrefix)) return nullptr;
  return reinterpret_cast<WindowObject*>(platform::GetWindowLongPtr(hwnd, platform::GWLP_USERDATA));
}

}  // namespace vrt::window
