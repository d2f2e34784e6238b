// The print preview procedure: its window's ACCEPT loop over the page
// images, the state it keeps (preview_state.h) and the pages it draws
// (preview_pages.h).
#include "runtime/report/print_preview.h"

#include <array>
#include <cstdint>

#include "runtime/platform/gui/menu.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/report/preview_dialogs.h"
#include "runtime/report/preview_fields.h"
#include "runtime/report/preview_pages.h"
#include "runtime/report/preview_state.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/window_open.h"
#include "runtime/window/popup_menu.h"

namespace vrt::report {

using namespace vrt::platform;
using namespace vrt::window;
namespace f = preview_field;

namespace {

// The preview's window and what is bound to its controls.
class PreviewWindow {
 public:
  PreviewWindow(const std::string& module, int total)
      : window_(module, "P9$PREVIEW:WINDOW", WindowKind::Ordinary), state_(total), module_(module) {}

  bool open(const std::vector<std::string>& pages) {
    Open(window_);
    if (!window_.is_open()) return false;
    for (int i = 0; i < kZoomStates; ++i) Bind(window_, f::kNoZoom + i, &zoom_flags_[i]);
    Bind(window_, f::kPageSpin, &page_);
    Bind(window_, f::kAcrossSpin, &across_);
    Bind(window_, f::kDownSpin, &down_);
    if (Control* spin = window_.control(f::kPageSpin))
      spin->set_message("Enter a page number from 1 to " + std::to_string(state_.total()));
    pages_ = std::make_unique<PreviewPages>(window_.hwnd, pages);
    lay_out();
    return true;
  }

  // One pass of the loop; false once the window has closed.
  bool accept() {
    if (!Accept(window_)) return false;
    switch (window_.event) {
      case event::OpenWindow: show(); break;
      case event::Sized: lay_out(); break;
      case event::Accepted: accepted(window_.field); break;
      case event::NewSelection: new_selection(window_.field); break;
      default: break;
    }
    return true;
  }

  bool print() const { return print_; }

 private:
  void accepted(int32_t field) {
    switch (field) {
      case f::kPrint:
      case f::kPrintButton:
        print_ = true;
        PostClose(window_);
        return;
      case f::kExit:
      case f::kExitButton: PostClose(window_); return;
      case f::kZoomButton: state_.choose_zoom(zoom_popup()); break;
      case f::kNext: state_.next(); break;
      case f::kPrevious: state_.previous(); break;
      case f::kJump:
        if (int page = ask_page_to_jump_to(module_, state_.first(), state_.total())) state_.go_to(page);
        break;
      case f::kChangeDisplay: {
        int across = state_.across(), down = state_.down();
        if (ask_pages_displayed(module_, across, down)) state_.set_grid(across, down);
        break;
      }
      case f::kPageSpin:
      case f::kAcrossSpin:
      case f::kDownSpin: new_selection(field); return;
      default:
        if (field >= f::kNoZoom && field < f::kNoZoom + kZoomStates) state_.set_zoom(static_cast<Zoom>(field - f::kNoZoom));
        break;
    }
    show();
  }

  void new_selection(int32_t field) {
    if (field == f::kPageSpin) state_.go_to(page_);
    else if (field == f::kAcrossSpin || field == f::kDownSpin) state_.set_grid(across_, down_);
    else return;
    show();
  }

  // The zoom button's popup, under the toolbar.
  int zoom_popup() {
    RECT bar = window_.toolbar ? GetWindowRect(window_.toolbar) : GetWindowRect(window_.hwnd);
    return Popup(state_.zoom_popup(), window_.hwnd, POINT{bar.left + 48, bar.bottom});
  }

  // The pages fill the client area between the toolbar and the status bar.
  void lay_out() {
    RECT client = GetClientRect(window_.hwnd);
    auto height = [](HWND h) { return h ? GetWindowRect(h).height() : 0; };
    client.top += height(window_.toolbar);
    client.bottom -= height(window_.status_bar);
    if (client.bottom < client.top) client.bottom = client.top;
    pages_->place(client);
  }

  // Everything the state decides: pages, variables, menu and title.
  void show() {
    pages_->show(state_);
    page_ = state_.first();
    across_ = state_.across();
    down_ = state_.down();
    for (int i = 0; i < kZoomStates; ++i) zoom_flags_[i] = static_cast<int>(state_.zoom()) == i;
    if (state_.total() >= 2) {
      EnableMenuItem(window_.menu, f::kPrevious, MF_BYCOMMAND | (state_.can_go_previous() ? MF_ENABLED : MF_GRAYED));
      EnableMenuItem(window_.menu, f::kNext, MF_BYCOMMAND | (state_.can_go_next() ? MF_ENABLED : MF_GRAYED));
    }
    SetWindowText(window_.hwnd, state_.title());
    Display(window_);
  }

  WindowObject window_;
  PreviewState state_;
  std::string module_;
  std::unique_ptr<PreviewPages> pages_;
  std::array<uint8_t, kZoomStates> zoom_flags_{};
  int32_t page_ = 1, across_ = 1, down_ = 1;
  bool print_ = false;
};

}  // namespace

bool PrintPreview(const std::vector<std::string>& pages, const std::string& module) {
  if (pages.empty()) return false;
  PreviewWindow preview(module, static_cast<int>(pages.size()));
  if (!preview.open(pages)) return false;
  while (preview.accept()) {
  }
  return preview.print();
}

}  // namespace vrt::report
