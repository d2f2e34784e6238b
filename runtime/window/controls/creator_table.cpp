#include "runtime/window/controls/creator_table.h"

#include <array>
#include <string>

#include "runtime/core/base/fatal_error.h"

#include "runtime/platform/gui/window_api.h"
#include "runtime/window/resource/resource_format.h"
#include "runtime/window/controls/sheet_control.h"

namespace vrt::window {

namespace {

std::array<Creator, 256>& slots() {
  static std::array<Creator, 256> table{};
  return table;
}

// The first radio of an option box starts a group of its own: choosing a
// radio clears only the others of its box.
void start_radio_group(const std::vector<std::unique_ptr<Control>>& radios) {
  for (const auto& r : radios)
    if (r->type() == static_cast<uint8_t>(RecordType::Radio) && r->hwnd()) {
      platform::SetWindowLongPtr(r->hwnd(), platform::GWL_STYLE,
                                 platform::GetWindowLongPtr(r->hwnd(), platform::GWL_STYLE) | platform::WS_GROUP);
      return;
    }
}

// A coordinate not given takes the default.
int32_t given(int32_t v, int32_t fallback) { return v == kNotGiven ? fallback : v; }

}  // namespace

void register_creator(uint8_t type_code, Creator creator) { slots()[type_code] = creator; }
Creator creator_for(uint8_t type_code) { return slots()[type_code]; }

std::vector<std::unique_ptr<Control>> create_controls(WindowObject& owner, const ResourceBuffer& buffer,
                                                      uint32_t first, platform::HWND parent,
                                                      const DialogUnits& units, platform::POINT origin) {
  std::vector<std::unique_ptr<Control>> out;
  int32_t last_x = 0, last_y = 0, last_h = 0;
  for (uint32_t at = first; at != 0; at = buffer.next(at)) {
    Creator creator = creator_for(buffer.type(at));
    if (!creator) {
      // Nothing is dropped without a word: the window would lack a control.
      std::string what = "record type " + std::to_string(buffer.type(at)) + " at offset " + std::to_string(at) +
                         " has no control class";
      core::fatal_runtime_error(502, what.c_str());
      return out;
    }
    std::unique_ptr<Control> c = creator(buffer, at);
    if (!c) continue;
    // Not given: x and y follow the control before; sizes take a small default.
    int32_t x = given(static_cast<int32_t>(buffer.field(at, "at", 0)), last_x);
    int32_t y = given(static_cast<int32_t>(buffer.field(at, "at", 1)), last_y + last_h);
    int32_t w = given(static_cast<int32_t>(buffer.field(at, "at", 2)), 40);
    int32_t h = given(static_cast<int32_t>(buffer.field(at, "at", 3)), 10);
    last_x = x, last_y = y, last_h = h;
    c->rect = {units.x(x), units.y(y), units.x(x + w), units.y(y + h)};
    if (c->type() == static_cast<uint8_t>(RecordType::Tab)) {
      // A tab has no coordinates: its page fills the sheet below the headers,
      // inside the page's border.
      platform::RECT sheet = platform::GetClientRect(parent);
      c->rect = {origin.x + 1, origin.y + kTabHeaderHeight, origin.x + sheet.right - 1, origin.y + sheet.bottom - 1};
    }
    platform::RECT local{c->rect.left - origin.x, c->rect.top - origin.y, c->rect.right - origin.x,
                         c->rect.bottom - origin.y};
    c->create(owner, parent, local);
    if (*c->children_field()) {
      // A control with a window of its own holds its children (a sheet its
      // tabs, a tab its controls); a group or option box only frames them.
      bool holds = c->hwnd() && (c->type() == static_cast<uint8_t>(RecordType::Sheet) ||
                                 c->type() == static_cast<uint8_t>(RecordType::Tab));
      platform::HWND child_parent = holds ? c->hwnd() : parent;
      platform::POINT child_origin = holds ? platform::POINT{c->rect.left, c->rect.top} : origin;
      c->children = create_controls(owner, buffer, buffer.field(at, c->children_field()), child_parent, units,
                                    child_origin);
      if (c->type() == static_cast<uint8_t>(RecordType::Option)) start_radio_group(c->children);
      if (c->type() == static_cast<uint8_t>(RecordType::Sheet) && c->hwnd()) select_tab(c->hwnd(), 0);
    }
    out.push_back(std::move(c));
  }
  return out;
}

}  // namespace vrt::window
