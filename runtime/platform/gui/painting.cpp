#include <cairo.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "runtime/platform/gfx/cairo_dc.h"
#include "runtime/platform/gui/display_hooks.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/region.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_manager.h"

namespace vrt::platform {

namespace {

// The image of one top-level window and the lock that lets one thread at a
// time draw into it.
struct TopImage {
  cairo_surface_t* surface = nullptr;
  int32_t width = 0, height = 0;
  std::mutex draw_lock;
  ~TopImage() {
    if (surface) cairo_surface_destroy(surface);
  }
};

std::mutex g_images_mutex;
std::map<HWND, std::shared_ptr<TopImage>>& images() {
  static std::map<HWND, std::shared_ptr<TopImage>> m;
  return m;
}

std::shared_ptr<TopImage> image_of(HWND top, int32_t width, int32_t height) {
  std::lock_guard lock(g_images_mutex);
  auto& img = images()[top];
  if (!img) img = std::make_shared<TopImage>();
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (!img->surface || img->width != width || img->height != height) {
    std::lock_guard draw(img->draw_lock);
    cairo_surface_t* old = img->surface;
    img->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (old) {
      // Keep what was there until it is painted again.
      cairo_t* cr = cairo_create(img->surface);
      cairo_set_source_surface(cr, old, 0, 0);
      cairo_paint(cr);
      cairo_destroy(cr);
      cairo_surface_destroy(old);
    }
    img->width = width;
    img->height = height;
  }
  return img;
}

// The part of a window's area (client or whole) that no sibling above it
// or above one of its parents covers, nor one of its own children; in the
// top-level image's coordinates. The lock must be held.
Region visible_region(const Window& w, bool client) {
  RECT area = window_rect_in_top(w);
  if (client) {
    RECT c = client_area(w);
    area = {area.left + c.left, area.top + c.top, area.left + c.right, area.top + c.bottom};
  }
  Region region(area);
  for (HWND child : w.children) {
    Window* c = find_window(child);
    if (c && (c->style & WS_VISIBLE)) region.subtract(window_rect_in_top(*c));
  }
  const Window* cur = &w;
  while (cur->parent && !region.empty()) {
    Window* parent = find_window(cur->parent);
    if (!parent) break;
    RECT pr = window_rect_in_top(*parent);
    RECT pc = client_area(*parent);
    region.intersect({pr.left + pc.left, pr.top + pc.top, pr.left + pc.right, pr.top + pc.bottom});
    for (HWND sibling : parent->children) {
      if (sibling == cur->handle) break;  // the rest lie below
      Window* s = find_window(sibling);
      if (s && (s->style & WS_VISIBLE)) region.subtract(window_rect_in_top(*s));
    }
    cur = parent;
  }
  return region;
}

// A device context on a window: released with ReleaseDC or EndPaint.
class WindowDC : public CairoDC {
 public:
  WindowDC(std::shared_ptr<TopImage> image, POINT origin, std::vector<RECT> visible, HWND top)
      : CairoDC(image->surface, origin, visible.empty() ? std::vector<RECT>{RECT{0, 0, 0, 0}} : visible,
                screen_dpi(), &image->draw_lock),
        image_(std::move(image)), top_(top), bounds_() {
    for (const RECT& r : visible) bounds_ = unite(bounds_, r);
  }
  HWND top() const { return top_; }
  const RECT& bounds() const { return bounds_; }

 private:
  std::shared_ptr<TopImage> image_;
  HWND top_;
  RECT bounds_;
};

HDC make_dc(HWND hwnd, bool client) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return nullptr;
  Window* top = w;
  while (top->parent) top = find_window(top->parent);
  auto image = image_of(top->handle, top->rect.width(), top->rect.height());
  // A window inside a hidden one (a control on a tab page not chosen) is
  // not on the screen: it draws nothing.
  bool shown = true;
  for (Window* a = w; a && shown; a = a->parent ? find_window(a->parent) : nullptr) shown = a->style & WS_VISIBLE;
  Region visible = shown ? visible_region(*w, client) : Region();
  POINT origin = client ? client_origin_in_top(*w) : POINT{window_rect_in_top(*w).left, window_rect_in_top(*w).top};
  auto* dc = new WindowDC(image, origin, visible.rects(), top->handle);
  HFONT font = nullptr;
  for (Window* f = w; f && !font; f = f->parent ? find_window(f->parent) : nullptr) font = f->font;
  if (font) dc->SelectObject(font);
  return dc;
}

}  // namespace

cairo_surface_t* top_level_image(HWND top) {
  std::lock_guard lock(g_images_mutex);
  auto it = images().find(top);
  if (it == images().end() || !it->second->surface) return nullptr;
  return cairo_surface_reference(it->second->surface);
}

void forget_top_level_image(HWND top) {
  std::lock_guard lock(g_images_mutex);
  images().erase(top);
}

HDC GetDC(HWND hwnd) { return make_dc(hwnd, true); }
HDC GetWindowDC(HWND hwnd) { return make_dc(hwnd, false); }

void ReleaseDC(HWND, HDC dc) {
  auto* wdc = dynamic_cast<WindowDC*>(dc);
  if (!wdc) return;
  if (!wdc->bounds().empty()) display_present(wdc->top(), wdc->bounds());
  delete wdc;
}

bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase) {
  std::thread::id thread;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return false;
    RECT c = client_area(*w);
    RECT whole{0, 0, c.width(), c.height()};
    RECT r = rect ? intersect(*rect, whole) : whole;
    w->update = unite(w->update, r);
    w->erase = w->erase || erase;
    thread = w->thread;
  }
  wake_thread(thread);
  return true;
}

bool ValidateRect(HWND hwnd, const RECT* rect) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  if (!w) return false;
  if (!rect || (rect->left <= w->update.left && rect->top <= w->update.top && rect->right >= w->update.right &&
                rect->bottom >= w->update.bottom)) {
    w->update = {};
    w->erase = false;
  }
  w->frame_dirty = false;
  return true;
}

void invalidate_tree(HWND top) {
  std::vector<std::thread::id> threads;
  {
    WindowLock lock = lock_windows();
    std::vector<HWND> stack{top};
    while (!stack.empty()) {
      Window* w = find_window(stack.back());
      stack.pop_back();
      if (!w) continue;
      RECT c = client_area(*w);
      w->update = {0, 0, c.width(), c.height()};
      w->erase = true;
      w->frame_dirty = true;
      if (std::find(threads.begin(), threads.end(), w->thread) == threads.end()) threads.push_back(w->thread);
      stack.insert(stack.end(), w->children.begin(), w->children.end());
    }
  }
  for (auto t : threads) wake_thread(t);
}

void RedrawWindow(HWND hwnd) {
  std::vector<HWND> all{hwnd};
  for (size_t i = 0; i < all.size(); ++i)
    for (HWND c : GetChildren(all[i])) all.push_back(c);
  for (HWND h : all) {
    {
      WindowLock lock = lock_windows();
      if (Window* w = find_window(h)) w->frame_dirty = true;
    }
    InvalidateRect(h, nullptr, true);
  }
}

bool find_paint_message(std::thread::id thread, HWND filter, MSG* msg) {
  WindowLock lock = lock_windows();
  for (auto& [k, w] : all_windows()) {
    if (w->thread != thread || (filter && w->handle != filter)) continue;
    if (w->update.empty() && !w->frame_dirty) continue;
    bool visible = true;
    for (Window* v = w.get(); v; v = v->parent ? find_window(v->parent) : nullptr)
      if (!(v->style & WS_VISIBLE)) visible = false;
    if (!visible) continue;
    *msg = MSG{};
    msg->hwnd = w->handle;
    msg->message = WM_PAINT;
    msg->time = GetTickCount();
    return true;
  }
  return false;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  bool frame, erase;
  RECT update;
  {
    WindowLock lock = lock_windows();
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    frame = w->frame_dirty;
    erase = w->erase;
    update = w->update;
    ++w->paints_begun;
    w->frame_dirty = false;
    w->erase = false;
    w->update = {};
  }
  if (frame) SendMessage(hwnd, WM_NCPAINT, 1, 0);
  HDC dc = GetDC(hwnd);
  if (!dc) return nullptr;
  if (!update.empty()) dc->IntersectClipRect(update.left, update.top, update.right, update.bottom);
  ps->hdc = dc;
  ps->rcPaint = update;
  ps->fErase = erase && !update.empty() ? !SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) : false;
  return dc;
}

void EndPaint(HWND hwnd, PAINTSTRUCT* ps) {
  ReleaseDC(hwnd, ps->hdc);
  ps->hdc = nullptr;
}

uint32_t paints_begun(HWND hwnd) {
  WindowLock lock = lock_windows();
  Window* w = find_window(hwnd);
  return w ? w->paints_begun : 0;
}

bool UpdateWindow(HWND hwnd) {
  if (GetWindowThread(hwnd) != std::this_thread::get_id()) return false;
  MSG m;
  while (find_paint_message(std::this_thread::get_id(), hwnd, &m)) DispatchMessage(m);
  for (HWND child : GetChildren(hwnd)) UpdateWindow(child);
  return true;
}

}  // namespace vrt::platform
