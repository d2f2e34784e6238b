#include "runtime/report/preview_state.h"

#include <algorithm>
#include <string>

namespace vrt::report {

namespace {

constexpr int kMaxGrid = 99;  // the spin boxes' picture holds two digits

struct ZoomText {
  Zoom zoom;
  const char* title;  // "Zoom (...)"
  int percent;
};
constexpr ZoomText kZoomTexts[] = {
    {Zoom::None, "", 0},           {Zoom::PageWidth, "Page Width", 0}, {Zoom::Percent50, "50%", 50},
    {Zoom::Percent75, "75%", 75},  {Zoom::Percent100, "100%", 100},   {Zoom::Percent200, "200%", 200},
    {Zoom::Percent300, "300%", 300},
};

constexpr const char* kZoomPopup = "-No Zoom|-|-Page Width|-50%|-75%|-100%|-200%|-300%";

}  // namespace

int zoom_percent(Zoom zoom) { return kZoomTexts[static_cast<int>(zoom)].percent; }

int PreviewState::last_shown() const { return std::min(first_ + shown() - 1, total_); }

int PreviewState::page_in_cell(int cell) const {
  if (cell < 0 || cell >= shown()) return 0;
  int page = first_ + cell;
  return page <= total_ ? page : 0;
}

std::string PreviewState::title() const {
  if (zoom_ != Zoom::None) return std::string("Zoom (") + kZoomTexts[static_cast<int>(zoom_)].title + ")";
  std::string of = " of " + std::to_string(total_);
  if (shown() == 1 || first_ == total_) return "Page " + std::to_string(first_) + of;
  return "Pages " + std::to_string(first_) + "-" + std::to_string(last_shown()) + of;
}

void PreviewState::next() {
  if (can_go_next()) first_ += shown();
}

void PreviewState::previous() {
  if (can_go_previous()) first_ = std::max(1, first_ - shown());
}

void PreviewState::go_to(int page) { first_ = std::clamp(page, 1, total_); }

void PreviewState::set_grid(int across, int down) {
  across_ = std::clamp(across, 1, kMaxGrid);
  down_ = std::clamp(down, 1, kMaxGrid);
  zoom_ = Zoom::None;
}

std::string PreviewState::zoom_popup() const {
  // The text is 50 characters: all of them are kept (a 50-byte buffer
  // with its terminator would cut the "%" of "300%").
  std::string text = kZoomPopup;
  static_assert(std::char_traits<char>::length(kZoomPopup) == 50);
  // The n-th item that is not a separator is the state's; its "-" becomes "+".
  int item = 0, wanted = static_cast<int>(zoom_);
  for (size_t i = 0; i < text.size(); ++i) {
    bool starts = i == 0 || text[i - 1] == '|';
    bool separator = i + 1 == text.size() || text[i + 1] == '|';
    if (!starts || text[i] != '-' || separator) continue;
    if (item++ == wanted) text[i] = '+';
  }
  return text;
}

void PreviewState::choose_zoom(int choice) {
  if (choice >= 1 && choice <= kZoomStates) zoom_ = static_cast<Zoom>(choice - 1);
}

}  // namespace vrt::report
