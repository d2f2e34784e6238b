// The control classes of this layer and their creators: constant strings,
// prompts, buttons, option and group boxes, radio buttons, progress bars,
// sheets and tabs, and the drawn ones (variable strings, lines, boxes,
// panels). Lists, entries and spin boxes have classes of their own.
#include <algorithm>
#include <mutex>
#include <string>

#include "runtime/core/pictures/picture.h"
#include "runtime/platform/gfx/gdi_objects.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/creator_table.h"
#include "runtime/window/controls/entry_control.h"
#include "runtime/window/controls/list_control.h"
#include "runtime/window/controls/sheet_control.h"
#include "runtime/window/controls/window_object.h"
#include "runtime/window/controls/zor_classes.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

// A control that is a platform window of one class and style.
class WindowedControl : public Control {
 public:
  WindowedControl(const ResourceBuffer& b, uint32_t record, const char* cls, uint32_t style, const char* children)
      : Control(b, record), cls_(cls), style_(style), children_(children), text_(b.text(b.field(record, "text"))) {}

  void create(WindowObject& owner, HWND parent, const RECT& at) override {
    uint32_t style = WS_CHILD | style_;
    if (!(flags() & kFlagHidden)) style |= WS_VISIBLE;
    if (flags() & kFlagDisabled) style |= WS_DISABLED;
    hwnd_ = CreateWindow(cls_, text_, style, at.left, at.top, at.right - at.left, at.bottom - at.top, parent,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(field())));
    if (hwnd_ && owner.font) SendMessage(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(owner.font), 0);
    created(owner);
  }
  const char* children_field() const override { return children_; }

 protected:
  virtual void created(WindowObject&) {}

 private:
  const char* cls_;
  uint32_t style_;
  const char* children_;
  std::string text_;
};

uint32_t text_align(uint32_t flags) {
  return flags & kFlagRight ? SS_RIGHT : flags & kFlagCenter ? SS_CENTER : SS_LEFT;
}

// The bar stands where the bound variable's value (0 to 100) puts it.
class ProgressControl : public WindowedControl {
 public:
  ProgressControl(const ResourceBuffer& b, uint32_t r) : WindowedControl(b, r, kZorProgress, 0, "") {}

  void show_variable() override {
    if (!variable_ || !hwnd()) return;
    int position = std::clamp(variable_->get_long(), 0, 100);
    std::string text = std::to_string(position);
    if (shown_ == text) return;
    shown_ = text;
    SendMessage(hwnd(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }

 protected:
  void created(WindowObject&) override { SendMessage(hwnd(), PBM_SETRANGE, 0, MAKELPARAM(0, 100)); }
};

// A radio's text without its "&" marks: what its option's variable holds
// while it is chosen.
std::string radio_value(HWND radio) {
  std::string out;
  for (char c : GetWindowText(radio))
    if (c != '&') out += c;
  return out;
}

// The option box checks the radio whose text is its variable's value.
class OptionControl : public WindowedControl {
 public:
  OptionControl(const ResourceBuffer& b, uint32_t r) : WindowedControl(b, r, kZorOption, BS_GROUPBOX, "children") {}

  void show_variable() override {
    if (!variable_) return;
    std::string value = variable_->get_text();
    value.erase(value.find_last_not_of(' ') + 1);  // a STRING keeps its blanks
    if (shown_ == value) return;
    shown_ = value;
    for (const auto& radio : children)
      if (radio->hwnd())
        SendMessage(radio->hwnd(), BM_SETCHECK, radio_value(radio->hwnd()) == value ? BST_CHECKED : BST_UNCHECKED, 0);
  }
};

class SheetControl : public WindowedControl {
 public:
  SheetControl(const ResourceBuffer& b, uint32_t r) : WindowedControl(b, r, kZorSheet, WS_CLIPCHILDREN, "children") {}
};

// Lines, boxes, panels and variable strings are painted by their window; a
// variable string shows its bound variable through its picture.
class DrawnControl : public Control {
 public:
  DrawnControl(const ResourceBuffer& b, uint32_t record) : Control(b, record) {
    if (std::string_view picture = b.text(b.field(record, "picture")); !picture.empty())
      picture_ = "@" + std::string(picture);  // stored without its "@"
    text_ = b.text(b.field(record, "text"));
    uint32_t pen = b.field(record, "pen");
    if (pen != 0 && b.fits(pen, kPenBlockSize)) {
      pen_width_ = b.i32(pen);
      pen_colour_ = static_cast<COLORREF>(b.i32(pen + 4));
      filled_ = b.i32(pen + 8) & kPenStyleFill;
    }
  }
  void create(WindowObject&, HWND parent, const RECT& at) override {
    window_ = parent;
    at_ = at;
  }
  HWND painter() const override { return window_; }
  void show_variable() override {
    if (!variable_) return;
    std::string value = variable_->get_text();
    std::string text = picture_.empty() ? value : core::Format(value, picture_);
    if (shown_ == text) return;
    shown_ = text;
    if (window_) InvalidateRect(window_, &at_, true);
  }
  void paint(HDC dc) override {
    if (flags() & kFlagHidden) return;
    if (type() == static_cast<uint8_t>(RecordType::ScrollText)) {
      RECT r = at_;
      SetBkMode(dc, TRANSPARENT);
      DrawText(dc, text_, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
      return;
    }
    if (type() == static_cast<uint8_t>(RecordType::VarString)) {
      if (!shown_) return;
      RECT r = at_;
      SetBkMode(dc, TRANSPARENT);
      // The static styles of alignment are the drawing flags' numbers.
      DrawText(dc, *shown_, &r, text_align(flags()) | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
      return;
    }
    HGDIOBJ pen = CreatePen(0, pen_width_ > 0 ? pen_width_ : 1, pen_colour_);
    HGDIOBJ old = SelectObject(dc, pen);
    switch (static_cast<RecordType>(type())) {
      case RecordType::Line:
        dc->MoveToEx(at_.left, at_.top);
        dc->LineTo(at_.right, at_.bottom);
        break;
      case RecordType::Box:
      case RecordType::Panel: {
        HBRUSH fill = filled_ ? CreateSolidBrush(pen_colour_) : nullptr;
        HGDIOBJ brush = SelectObject(dc, fill ? static_cast<HGDIOBJ>(fill) : GetStockObject(NULL_BRUSH));
        dc->Rectangle(at_.left, at_.top, at_.right, at_.bottom);
        SelectObject(dc, brush);
        if (fill) DeleteObject(fill);
        break;
      }
      default:
        break;  // a variable string shows its bound variable once one is bound
    }
    SelectObject(dc, old);
    DeleteObject(pen);
  }

 private:
  int pen_width_ = 1;
  COLORREF pen_colour_ = 0;
  bool filled_ = false;
  std::string picture_;
  std::string text_;       // drawn text
  HWND window_ = nullptr;  // the window that shows it
  RECT at_;                // in that window's client area
};

template <typename T>
std::unique_ptr<Control> make(const ResourceBuffer& b, uint32_t r) {
  return std::make_unique<T>(b, r);
}

std::unique_ptr<Control> make_string(const ResourceBuffer& b, uint32_t r) {
  return std::make_unique<WindowedControl>(b, r, kZorString, SS_NOPREFIX | text_align(b.flags(r)), "");
}
std::unique_ptr<Control> make_prompt(const ResourceBuffer& b, uint32_t r) {
  return std::make_unique<WindowedControl>(b, r, kZorPrompt, text_align(b.flags(r)), "");
}
std::unique_ptr<Control> make_button(const ResourceBuffer& b, uint32_t r) {
  uint32_t kind = b.flags(r) & kFlagDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  return std::make_unique<WindowedControl>(b, r, kZorButton, kind | uint32_t{WS_TABSTOP}, "");
}
std::unique_ptr<Control> make_group(const ResourceBuffer& b, uint32_t r) {
  return std::make_unique<WindowedControl>(b, r, kZorGroup, BS_GROUPBOX, "children");
}
std::unique_ptr<Control> make_radio(const ResourceBuffer& b, uint32_t r) {
  return std::make_unique<WindowedControl>(b, r, kZorRadio, uint32_t{BS_AUTORADIOBUTTON} | WS_TABSTOP, "");
}
std::unique_ptr<Control> make_tab(const ResourceBuffer& b, uint32_t r) {
  return std::make_unique<WindowedControl>(b, r, kZorTab, WS_CLIPCHILDREN, "children");
}

}  // namespace

void register_standard_controls() {
  static std::once_flag once;
  std::call_once(once, [] {
    register_zor_classes();
    using T = RecordType;
    auto slot = [](T t, Creator c) { register_creator(static_cast<uint8_t>(t), c); };
    slot(T::VarString, make<DrawnControl>);
    slot(T::String, make_string);
    slot(T::Line, make<DrawnControl>);
    slot(T::Box, make<DrawnControl>);
    slot(T::Button, make_button);
    slot(T::Prompt, make_prompt);
    slot(T::Option, make<OptionControl>);
    slot(T::Group, make_group);
    slot(T::Radio, make_radio);
    slot(T::Progress, make<ProgressControl>);
    slot(T::Sheet, make<SheetControl>);
    slot(T::Tab, make_tab);
    slot(T::Panel, make<DrawnControl>);
    slot(T::ScrollText, make<DrawnControl>);
    slot(T::Entry, make_entry);
    slot(T::Spin, make_spin);
    slot(T::List, make_list);
  });
}

}  // namespace vrt::window
