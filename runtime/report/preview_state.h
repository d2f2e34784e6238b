// What the print preview shows: which pages, how many across and down, the
// zoom, and what follows from them (the title, the cells left empty, which
// of Next and Previous can be chosen). No windows here.
#pragma once
#include <string>

namespace vrt::report {

enum class Zoom { None, PageWidth, Percent50, Percent75, Percent100, Percent200, Percent300 };
inline constexpr int kZoomStates = 7;
// The percentage of a zoom state, 0 for none and page width.
int zoom_percent(Zoom zoom);

class PreviewState {
 public:
  explicit PreviewState(int total_pages) : total_(total_pages < 1 ? 1 : total_pages) {}

  int total() const { return total_; }
  int first() const { return first_; }
  int across() const { return across_; }
  int down() const { return down_; }
  Zoom zoom() const { return zoom_; }
  // Pages shown at once: one while zoomed, else across × down.
  int shown() const { return zoom_ == Zoom::None ? across_ * down_ : 1; }
  int last_shown() const;
  // The page in cell i (from 0), or 0 when the cell stays empty.
  int page_in_cell(int cell) const;

  bool can_go_next() const { return total_ >= 2 && first_ + shown() <= total_; }
  bool can_go_previous() const { return total_ >= 2 && first_ != 1; }
  std::string title() const;

  void next();
  void previous();
  // Shows the page first, within 1 .. total.
  void go_to(int page);
  // Thumbnails across and down, each 1 .. 99; the zoom ends.
  void set_grid(int across, int down);
  void set_zoom(Zoom zoom) { zoom_ = zoom; }

  // The zoom button's popup: "-No Zoom|-|-Page Width|-50%|..." with the
  // current state's item checked.
  std::string zoom_popup() const;
  // The popup's answer: 1 no zoom, 2 page width, 3 to 7 the percentages;
  // 0 (nothing chosen) changes nothing.
  void choose_zoom(int choice);

 private:
  int total_;
  int first_ = 1;
  int across_ = 1, down_ = 1;
  Zoom zoom_ = Zoom::None;
};

}  // namespace vrt::report
