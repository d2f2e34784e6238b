#include "runtime/report/preview_pages.h"

#include <mutex>

#include "runtime/platform/gfx/cairo_dc.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/report/page_image_file.h"
#include "runtime/report/report_engine.h"

namespace vrt::report {

using namespace vrt::platform;

namespace {

constexpr const char* kPagesProp = "ZorPreviewPages";
// Pictures kept: a screenful of thumbnails and the pages around them.
constexpr size_t kKeptPictures = 48;
constexpr COLORREF kBackground = RGB(128, 128, 128);

LRESULT pages_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (auto* pages = reinterpret_cast<PreviewPages*>(GetProp(h, kPagesProp))) pages->paint(dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProc(h, m, wp, lp);
  }
}

void register_pages_class() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS wc;
    wc.lpszClassName = kZorPreviewPages;
    wc.lpfnWndProc = pages_proc;
    wc.hCursor = LoadCursor(IDC_ARROW);
    RegisterClass(wc);
  });
}

// The sheet of the first page that reads, in inches.
SheetSize sheet_of(const std::vector<std::string>& pages) {
  for (const std::string& page : pages) {
    if (auto image = read_page_image(page)) {
      double units = image->units_per_inch;
      return SheetSize{image->bounds.width() / units, image->bounds.height() / units};
    }
  }
  return SheetSize{};
}

}  // namespace

const PreviewPages* preview_pages_of(HWND child) {
  return child ? reinterpret_cast<const PreviewPages*>(GetProp(child, kPagesProp)) : nullptr;
}

PreviewPages::PreviewPages(HWND parent, const std::vector<std::string>& pages)
    : pages_(pages), sheet_(sheet_of(pages)) {
  register_pages_class();
  hwnd_ = CreateWindow(kZorPreviewPages, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr);
  if (hwnd_) SetProp(hwnd_, kPagesProp, reinterpret_cast<uintptr_t>(this));
}

PreviewPages::~PreviewPages() {
  if (hwnd_ && IsWindow(hwnd_)) {
    RemoveProp(hwnd_, kPagesProp);
    DestroyWindow(hwnd_);
  }
  for (Kept& k : kept_) DeleteObject(k.bitmap);
}

void PreviewPages::place(const RECT& area) {
  if (hwnd_) MoveWindow(hwnd_, area.left, area.top, area.width(), area.height());
  layout();
}

void PreviewPages::show(const PreviewState& state) {
  state_ = state;
  layout();
}

void PreviewPages::layout() {
  RECT area = hwnd_ ? GetClientRect(hwnd_) : RECT{};
  std::vector<RECT> rects = page_rects(state_, area, sheet_);
  cells_.clear();
  for (size_t i = 0; i < rects.size(); ++i) cells_.push_back(Cell{state_.page_in_cell(static_cast<int>(i)), rects[i]});
  if (hwnd_) InvalidateRect(hwnd_, nullptr, false);
}

HBITMAP PreviewPages::rendered(int page, SIZE size) {
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (it->page == page && it->size.cx == size.cx && it->size.cy == size.cy) {
      kept_.splice(kept_.begin(), kept_, it);
      return it->bitmap;
    }
  }
  HBITMAP bitmap = CreateBitmap(size.cx, size.cy);
  HDC dc = CreateCompatibleDC(bitmap, kScreenDpi);
  RECT all{0, 0, size.cx, size.cy};
  FillRect(dc, all, GetStockObject(WHITE_BRUSH));
  if (page >= 1 && page <= static_cast<int>(pages_.size()) && !play_page_image(dc, pages_[page - 1], all)) {
    // A page that cannot be read is shown crossed out.
    MoveToEx(dc, 0, 0);
    LineTo(dc, size.cx, size.cy);
    MoveToEx(dc, size.cx, 0);
    LineTo(dc, 0, size.cy);
  }
  DeleteDC(dc);
  kept_.push_front(Kept{page, size, bitmap});
  while (kept_.size() > kKeptPictures) {
    DeleteObject(kept_.back().bitmap);
    kept_.pop_back();
  }
  return bitmap;
}

void PreviewPages::paint(HDC dc) {
  RECT area = GetClientRect(hwnd_);
  HBRUSH background = CreateSolidBrush(kBackground);
  FillRect(dc, area, background);
  DeleteObject(background);
  for (const Cell& cell : cells_) {
    if (cell.page == 0) continue;  // an empty cell is hidden
    const RECT& r = cell.rect;
    BitBlt(dc, r.left, r.top, r.width(), r.height(), rendered(cell.page, SIZE{r.width(), r.height()}), 0, 0);
    FrameRect(dc, RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, GetStockObject(BLACK_BRUSH));
  }
}

}  // namespace vrt::report
