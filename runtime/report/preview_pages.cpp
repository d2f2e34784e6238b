#include "runtime/report/preview_pages.h"

#include <algorithm>
#include <mutex>

#include "runtime/platform/gfx/cairo_dc.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/scroll_bar.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/report/page_image_file.h"
#include "runtime/report/report_engine.h"

namespace vrt::report {

using namespace vrt::platform;

namespace {

constexpr const char* kPagesProp = "ZorPreviewPages";
// Pictures kept: a screenful of thumbnails and the pages around them, or a
// few zoomed pages (a page at 300% is some 8 million pixels).
constexpr size_t kKeptPictures = 48;
constexpr int64_t kKeptPixels = 24'000'000;
constexpr COLORREF kBackground = RGB(128, 128, 128);
constexpr int kLinePixels = 40, kWheelPixels = 120;

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
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (auto* pages = reinterpret_cast<PreviewPages*>(GetProp(h, kPagesProp))) pages->scroll(m == WM_VSCROLL, wp);
      return 0;
    case WM_MOUSEWHEEL:
      if (auto* pages = reinterpret_cast<PreviewPages*>(GetProp(h, kPagesProp)))
        pages->scroll_by(true, -static_cast<int16_t>(HIWORD(wp)) * kWheelPixels / 120);
      return 0;
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
    : parent_(parent), pages_(pages), sheet_(sheet_of(pages)) {
  register_pages_class();
  make_window(false);
}

PreviewPages::~PreviewPages() {
  if (hwnd_ && IsWindow(hwnd_)) {
    RemoveProp(hwnd_, kPagesProp);
    DestroyWindow(hwnd_);
  }
  for (Kept& k : kept_) DeleteObject(k.bitmap);
}

void PreviewPages::make_window(bool bars) {
  if (hwnd_ && bars == bars_) return;
  if (hwnd_ && IsWindow(hwnd_)) {
    RemoveProp(hwnd_, kPagesProp);
    DestroyWindow(hwnd_);
  }
  hwnd_ = nullptr;
  bars_ = bars;
  if (!parent_ || !IsWindow(parent_)) return;
  uint32_t style = WS_CHILD | WS_VISIBLE | (bars ? WS_VSCROLL | WS_HSCROLL : 0u);
  hwnd_ = CreateWindow(kZorPreviewPages, "", style, area_.left, area_.top, area_.width(), area_.height(), parent_,
                       nullptr);
  if (hwnd_) SetProp(hwnd_, kPagesProp, reinterpret_cast<uintptr_t>(this));
}

void PreviewPages::place(const RECT& area) {
  area_ = area;
  if (hwnd_) MoveWindow(hwnd_, area.left, area.top, area.width(), area.height());
  layout();
}

void PreviewPages::show(const PreviewState& state) {
  state_ = state;
  layout();
}

void PreviewPages::layout() {
  // Thumbnails always fit; a zoomed page larger than the window needs
  // scroll bars, which take some of the window.
  for (int pass = 0; pass < 2; ++pass) {
    RECT area = hwnd_ ? GetClientRect(hwnd_) : RECT{};
    std::vector<RECT> rects = page_rects(state_, area, sheet_);
    cells_.clear();
    content_ = SIZE{0, 0};
    for (size_t i = 0; i < rects.size(); ++i) {
      cells_.push_back(Cell{state_.page_in_cell(static_cast<int>(i)), rects[i]});
      content_.cx = std::max(content_.cx, rects[i].right + kPreviewMargin);
      content_.cy = std::max(content_.cy, rects[i].bottom + kPreviewMargin);
    }
    bool bars = state_.zoom() != Zoom::None && (content_.cx > area_.width() || content_.cy > area_.height());
    if (bars == bars_ || pass == 1) break;
    make_window(bars);
  }
  scroll_ = POINT{0, 0};
  if (bars_ && hwnd_) {
    RECT client = GetClientRect(hwnd_);
    SetScrollInfo(hwnd_, SB_HORZ, SCROLLINFO{SIF_ALL, 0, content_.cx - 1, static_cast<uint32_t>(client.width()), 0});
    SetScrollInfo(hwnd_, SB_VERT, SCROLLINFO{SIF_ALL, 0, content_.cy - 1, static_cast<uint32_t>(client.height()), 0});
  }
  if (hwnd_) InvalidateRect(hwnd_, nullptr, false);
}

void PreviewPages::scroll(bool vertical, WPARAM code) {
  if (!bars_ || !hwnd_) return;
  int bar = vertical ? SB_VERT : SB_HORZ;
  SCROLLINFO info;
  GetScrollInfo(hwnd_, bar, &info);
  int pos = info.nPos, page = static_cast<int>(info.nPage);
  switch (LOWORD(code)) {
    case SB_LINEUP: pos -= kLinePixels; break;
    case SB_LINEDOWN: pos += kLinePixels; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = static_cast<int16_t>(HIWORD(code)); break;
    case SB_TOP: pos = info.nMin; break;
    case SB_BOTTOM: pos = info.nMax; break;
    default: return;
  }
  scroll_by(vertical, pos - info.nPos);
}

void PreviewPages::scroll_by(bool vertical, int pixels) {
  if (!bars_ || !hwnd_ || pixels == 0) return;
  int bar = vertical ? SB_VERT : SB_HORZ;
  int pos = SetScrollPos(hwnd_, bar, GetScrollPos(hwnd_, bar) + pixels);  // kept within the range
  (vertical ? scroll_.y : scroll_.x) = pos;
  InvalidateRect(hwnd_, nullptr, false);
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
  auto pixels = [this] {
    int64_t n = 0;
    for (const Kept& k : kept_) n += int64_t{k.size.cx} * k.size.cy;
    return n;
  };
  while (kept_.size() > 1 && (kept_.size() > kKeptPictures || pixels() > kKeptPixels)) {
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
    RECT r = offset(cell.rect, -scroll_.x, -scroll_.y);
    BitBlt(dc, r.left, r.top, r.width(), r.height(), rendered(cell.page, SIZE{r.width(), r.height()}), 0, 0);
    FrameRect(dc, RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, GetStockObject(BLACK_BRUSH));
  }
}

}  // namespace vrt::report
