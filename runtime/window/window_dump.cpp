#include "runtime/window/window_dump.h"

#include <cctype>
#include <cstdio>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/list_rows_shown.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/resource/resource_format.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

// Tabs and line ends inside a text would break the line's fields.
std::string flat(std::string s) {
  for (char& c : s)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return s;
}

std::string trimmed(const std::string& s) {
  size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string kind_name(uint8_t type) {
  // A value string is a string to the user.
  if (type == static_cast<uint8_t>(RecordType::VarString)) return "STRING";
  const RecordShape* shape = record_shape(type);
  if (!shape) return "TYPE" + std::to_string(type);
  std::string out = shape->keyword;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool own_style(HWND h, uint32_t bit) { return GetWindowLongPtr(h, GWL_STYLE) & bit; }

std::string state_of(const Control& c) {
  auto type = static_cast<RecordType>(c.type());
  if (!c.hwnd()) return "-";
  if (type == RecordType::Radio) return SendMessage(c.hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED ? "on" : "off";
  // The tab showing is the one whose page is shown.
  if (type == RecordType::Tab) return own_style(c.hwnd(), WS_VISIBLE) ? "on" : "off";
  return "-";
}

std::string text_of(const WindowObject& w, const Control& c) {
  if (c.hwnd()) {
    // A list shows rows, not a text; a tab's text is its header.
    if (c.type() == static_cast<uint8_t>(RecordType::List)) return "";
    return GetWindowText(c.hwnd());
  }
  if (c.shown()) return trimmed(*c.shown());
  return std::string(w.buffer->text(w.buffer->field(c.record(), "text")));
}

void field_line(std::string& out, const WindowObject& w, const Control& c) {
  bool enabled = c.hwnd() ? !own_style(c.hwnd(), WS_DISABLED) : !(c.flags() & kFlagDisabled);
  bool shown = c.hwnd() ? own_style(c.hwnd(), WS_VISIBLE) : !(c.flags() & kFlagHidden);
  out += "field\t" + std::to_string(c.field()) + "\t" + kind_name(c.type()) + "\t" +
         (enabled ? "enabled" : "disabled") + "\t" + (shown ? "shown" : "hidden") + "\t" + state_of(c) + "\t" +
         flat(text_of(w, c)) + "\n";
}

void list_lines(std::string& out, const Control& c) {
  std::string field = std::to_string(c.field());
  int number = 0;
  for (const ListRowShown& row : list_rows_shown(c.hwnd())) {
    out += "row\t" + field + "\t" + std::to_string(++number) + "\t" + (row.selected ? "selected" : "-");
    for (const std::string& cell : row.cells) out += "\t" + flat(trimmed(cell));
    out += "\n";
  }
  out += "vcr\t" + field + "\t" + (list_vcr(c.hwnd()) ? "on" : "off") + "\n";
}

void status_lines(std::string& out, HWND bar) {
  auto zones = static_cast<WPARAM>(SendMessage(bar, SB_GETPARTS, 0, 0));
  for (WPARAM zone = 0; zone < zones; ++zone) {
    std::string text(static_cast<size_t>(SendMessage(bar, SB_GETTEXT, zone, 0)), '\0');
    SendMessage(bar, SB_GETTEXT, zone, reinterpret_cast<LPARAM>(text.data()));
    out += "status\t" + std::to_string(zone + 1) + "\t" + flat(text) + "\n";
  }
}

}  // namespace

std::string dump_window(HWND hwnd) {
  WindowObject* w = window_object(hwnd);
  if (!w || !w->buffer) return "";
  std::string out = "window\t" + flat(window_text_now(hwnd)) + "\n";
  char color[16] = "none";
  if (w->color()) std::snprintf(color, sizeof color, "%08X", static_cast<unsigned>(*w->color()));
  out += std::string("color\t") + color + "\n";
  if (w->status_bar) status_lines(out, w->status_bar);
  for (Control* c : w->controls_in_order()) {
    field_line(out, *w, *c);
    if (c->type() == static_cast<uint8_t>(RecordType::List) && c->hwnd()) list_lines(out, *c);
  }
  return out;
}

}  // namespace vrt::window
