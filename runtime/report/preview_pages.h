// The preview's pages: one child window (class ZorPreviewPages) below the
// toolbar that draws every shown page in its cell. The runtime makes
// controls only from resources, so the cells are drawn here rather than
// being image controls of their own. Each page image is played once into a
// bitmap of its cell's size and kept, so that flipping back and forth
// plays nothing again. A zoomed page larger than the window scrolls: the
// child then has scroll bars (and the mouse wheel scrolls it).
#pragma once
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "runtime/platform/gfx/gdi_types.h"
#include "runtime/platform/gui/win_types.h"
#include "runtime/report/preview_layout.h"
#include "runtime/report/preview_state.h"

namespace vrt::report {

inline constexpr const char* kZorPreviewPages = "ZorPreviewPages";

class PreviewPages {
 public:
  PreviewPages(platform::HWND parent, const std::vector<std::string>& pages);
  ~PreviewPages();
  PreviewPages(const PreviewPages&) = delete;
  PreviewPages& operator=(const PreviewPages&) = delete;

  platform::HWND hwnd() const { return hwnd_; }
  // The child fills this part of the parent's client area.
  void place(const platform::RECT& area);
  // Shows the state's pages; empty cells are left blank.
  void show(const PreviewState& state);

  // The cells as shown: the page in each (0 for an empty, hidden cell) and
  // its rectangle in the child.
  struct Cell {
    int page;
    platform::RECT rect;
  };
  const std::vector<Cell>& cells() const { return cells_; }
  // Draws the shown pages (the child's paint).
  void paint(platform::HDC dc);
  // The page's picture at a size, played now or kept from before.
  platform::HBITMAP rendered(int page, platform::SIZE size);
  // A scroll bar's request (WM_VSCROLL, WM_HSCROLL), or the wheel's lines.
  void scroll(bool vertical, platform::WPARAM code);
  void scroll_by(bool vertical, int pixels);
  platform::POINT scrolled() const { return scroll_; }

 private:
  struct Kept {
    int page;
    platform::SIZE size;
    platform::HBITMAP bitmap;
  };
  void layout();
  // The child with or without scroll bars.
  void make_window(bool bars);

  platform::HWND parent_ = nullptr, hwnd_ = nullptr;
  platform::RECT area_;
  bool bars_ = false;
  platform::SIZE content_;  // the pages' extent with their margins
  platform::POINT scroll_;
  std::vector<std::string> pages_;
  SheetSize sheet_;
  PreviewState state_{1};
  std::vector<Cell> cells_;
  std::list<Kept> kept_;  // most recently used first
};

// The pages a preview's child window shows, or null (for tests and
// scripts looking at a running preview).
const PreviewPages* preview_pages_of(platform::HWND child);

}  // namespace vrt::report
