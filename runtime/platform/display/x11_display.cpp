// All X calls happen on one thread with its own connection: other threads
// hand it requests through a queue and a pipe that wakes its poll.
#include "runtime/platform/display/x11_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "runtime/platform/gfx/cursor_shapes.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/platform/os/codepage.h"

namespace vrt::platform {

namespace {

// X keysyms to virtual keys.
UINT vk_from_keysym(KeySym k) {
  if (k >= XK_a && k <= XK_z) return static_cast<UINT>(k - XK_a + 'A');
  if (k >= XK_A && k <= XK_Z) return static_cast<UINT>(k - XK_A + 'A');
  if (k >= XK_0 && k <= XK_9) return static_cast<UINT>(k - XK_0 + '0');
  if (k >= XK_F1 && k <= XK_F12) return static_cast<UINT>(VK_F1 + (k - XK_F1));
  switch (k) {
    case XK_Return:
    case XK_KP_Enter: return VK_RETURN;
    case XK_Tab:
    case XK_ISO_Left_Tab: return VK_TAB;
    case XK_Escape: return VK_ESCAPE;
    case XK_BackSpace: return VK_BACK;
    case XK_Delete: return VK_DELETE;
    case XK_Insert: return VK_INSERT;
    case XK_Home: return VK_HOME;
    case XK_End: return VK_END;
    case XK_Prior: return VK_PRIOR;
    case XK_Next: return VK_NEXT;
    case XK_Left: return VK_LEFT;
    case XK_Right: return VK_RIGHT;
    case XK_Up: return VK_UP;
    case XK_Down: return VK_DOWN;
    case XK_space: return VK_SPACE;
    case XK_apostrophe:
    case XK_quotedbl: return VK_OEM_7;
    case XK_Shift_L:
    case XK_Shift_R: return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R: return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R: return VK_MENU;
    default: return 0xBA;
  }
}

class X11Display : public DisplayBackend {
 public:
  explicit X11Display(Display* dpy) : dpy_(dpy) {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
    wm_delete_ = XInternAtom(dpy_, "WM_DELETE_WINDOW", False);
    motif_hints_ = XInternAtom(dpy_, "_MOTIF_WM_HINTS", False);
    clipboard_ = XInternAtom(dpy_, "CLIPBOARD", False);
    utf8_ = XInternAtom(dpy_, "UTF8_STRING", False);
    targets_ = XInternAtom(dpy_, "TARGETS", False);
    paste_ = XInternAtom(dpy_, "VORTHAL_PASTE", False);
    net_name_ = XInternAtom(dpy_, "_NET_WM_NAME", False);
    read_dpi();
    clip_owner_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
    thread_ = std::thread([this] { run(); });
  }

  ~X11Display() override {
    stop_ = true;
    poke();
    if (thread_.joinable()) thread_.join();
    for (auto& [h, w] : windows_) XDestroyWindow(dpy_, w);
    XDestroyWindow(dpy_, clip_owner_);
    XCloseDisplay(dpy_);
    if (wake_[0] >= 0) close(wake_[0]), close(wake_[1]);
  }

  void created(HWND top) override { later([this, top] { create(top); }); }
  void destroyed(HWND top) override {
    later([this, top] {
      auto it = windows_.find(top);
      if (it == windows_.end()) return;
      by_xid_.erase(it->second);
      XDestroyWindow(dpy_, it->second);
      windows_.erase(it);
    });
  }
  void changed(HWND top) override { later([this, top] { update(top); }); }
  void present(HWND top, const RECT& area) override { later([this, top, area] { blit(top, area); }); }
  void set_cursor(HWND top, HCURSOR cursor) override { later([this, top, cursor] { apply_cursor(top, cursor); }); }
  void bell() override {
    later([this] { XBell(dpy_, 0); });
  }
  void clipboard_changed() override {
    later([this] {
      if (!taking_paste_) XSetSelectionOwner(dpy_, clipboard_, clip_owner_, CurrentTime);
    });
  }

 private:
  void later(std::function<void()> f) {
    {
      std::lock_guard lock(m_);
      requests_.push_back(std::move(f));
    }
    poke();
  }
  void poke() {
    if (wake_[1] >= 0) {
      char c = 1;
      (void)!write(wake_[1], &c, 1);
    }
  }

  void read_dpi() {
    char* rms = XResourceManagerString(dpy_);
    if (!rms) return;
    XrmInitialize();
    XrmDatabase db = XrmGetStringDatabase(rms);
    char* type = nullptr;
    XrmValue value;
    if (db && XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
      set_screen_dpi(std::atoi(value.addr));
    if (db) XrmDestroyDatabase(db);
  }

  void create(HWND top) {
    if (!IsWindow(top)) return;
    RECT r = GetWindowRect(top);
    XSetWindowAttributes a{};
    a.background_pixel = BlackPixel(dpy_, DefaultScreen(dpy_));
    a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                   KeyReleaseMask | StructureNotifyMask | FocusChangeMask;
    bool popup = GetWindowLongPtr(top, GWL_EXSTYLE) & WS_EX_TOOLWINDOW;
    a.override_redirect = popup;
    Window w = XCreateWindow(dpy_, DefaultRootWindow(dpy_), r.left, r.top, std::max(1, r.width()),
                             std::max(1, r.height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWBackPixel | CWEventMask | CWOverrideRedirect, &a);
    XSetWMProtocols(dpy_, w, &wm_delete_, 1);
    // The caption is ours: ask the window manager for no decorations.
    long hints[5] = {2, 0, 0, 0, 0};
    XChangeProperty(dpy_, w, motif_hints_, motif_hints_, 32, PropModeReplace, reinterpret_cast<unsigned char*>(hints), 5);
    XSizeHints size{};
    size.flags = PPosition | USPosition;
    size.x = r.left;
    size.y = r.top;
    XSetWMNormalHints(dpy_, w, &size);
    windows_[top] = w;
    by_xid_[w] = top;
    update(top);
  }

  void update(HWND top) {
    auto it = windows_.find(top);
    if (it == windows_.end()) return;
    if (!IsWindow(top)) return;
    Window w = it->second;
    RECT r = GetWindowRect(top);
    XMoveResizeWindow(dpy_, w, r.left, r.top, std::max(1, r.width()), std::max(1, r.height()));
    // Read directly: asking the window's thread could keep this one waiting.
    std::string title = ansi_to_utf8(window_text_now(top));
    XStoreName(dpy_, w, title.c_str());
    XChangeProperty(dpy_, w, net_name_, utf8_, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    if (IsWindowVisible(top)) {
      XMapRaised(dpy_, w);
    } else {
      XUnmapWindow(dpy_, w);
    }
    XFlush(dpy_);
  }

  void blit(HWND top, RECT area) {
    auto it = windows_.find(top);
    if (it == windows_.end()) return;
    cairo_surface_t* img = top_level_image(top);
    if (!img) return;
    cairo_surface_flush(img);
    int w = cairo_image_surface_get_width(img), h = cairo_image_surface_get_height(img);
    area = intersect(area, RECT{0, 0, w, h});
    if (!area.empty()) {
      Visual* visual = DefaultVisual(dpy_, DefaultScreen(dpy_));
      int depth = DefaultDepth(dpy_, DefaultScreen(dpy_));
      XImage* image = XCreateImage(dpy_, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                   reinterpret_cast<char*>(cairo_image_surface_get_data(img)),
                                   static_cast<unsigned>(w), static_cast<unsigned>(h), 32,
                                   cairo_image_surface_get_stride(img));
      if (image) {
        GC gc = DefaultGC(dpy_, DefaultScreen(dpy_));
        XPutImage(dpy_, it->second, gc, image, area.left, area.top, area.left, area.top,
                  static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
        image->data = nullptr;  // cairo owns the pixels
        XDestroyImage(image);
      }
      XFlush(dpy_);
    }
    cairo_surface_destroy(img);
  }

  void apply_cursor(HWND top, HCURSOR cursor) {
    auto it = windows_.find(top);
    if (it == windows_.end()) return;
    uintptr_t which = reinterpret_cast<uintptr_t>(cursor);
    if (which == IDC_ARROW || which == IDC_WAIT || !cursor) {
      // The two cursors the program shows most are our own drawings.
      const DrawnCursor& shape = which == IDC_WAIT ? kWaitCursor : kArrowCursor;
      Cursor& c = drawn_[which == IDC_WAIT];
      if (!c) c = make_cursor(it->second, shape);
      XDefineCursor(dpy_, it->second, c);
      XFlush(dpy_);
      return;
    }
    unsigned shape = XC_left_ptr;
    switch (which) {
      case IDC_IBEAM: shape = XC_xterm; break;
      case IDC_WAIT: shape = XC_watch; break;
      case IDC_CROSS: shape = XC_crosshair; break;
      case IDC_SIZEALL: shape = XC_fleur; break;
      case IDC_SIZENWSE: shape = XC_bottom_right_corner; break;
      case IDC_SIZEWE: shape = XC_sb_h_double_arrow; break;
      case IDC_HAND: shape = XC_hand2; break;
      default: break;
    }
    auto& c = cursors_[shape];
    if (!c) c = XCreateFontCursor(dpy_, shape);
    XDefineCursor(dpy_, it->second, c);
    XFlush(dpy_);
  }

  Cursor make_cursor(Window w, const DrawnCursor& shape) {
    char ink[32] = {}, mask[32] = {};
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        char c = shape.rows[y][x];
        if (c == '#') ink[y * 2 + x / 8] |= static_cast<char>(1 << (x % 8));
        if (c != ' ') mask[y * 2 + x / 8] |= static_cast<char>(1 << (x % 8));
      }
    Pixmap source = XCreateBitmapFromData(dpy_, w, ink, 16, 16);
    Pixmap shape_mask = XCreateBitmapFromData(dpy_, w, mask, 16, 16);
    XColor black{}, white{};
    white.red = white.green = white.blue = 0xFFFF;
    Cursor c = XCreatePixmapCursor(dpy_, source, shape_mask, &black, &white, static_cast<unsigned>(shape.hot_x),
                                   static_cast<unsigned>(shape.hot_y));
    XFreePixmap(dpy_, source);
    XFreePixmap(dpy_, shape_mask);
    return c;
  }

  // Input is handed to the thread of the window it came to, and this
  // thread goes on at once: hit-testing and activation send messages to
  // windows, and a busy procedure must not hold up the input of the others.
  static void hand_over(HWND top, std::function<void()> input) { post_work(top, std::move(input)); }

  void handle(XEvent& e) {
    auto it = by_xid_.find(e.xany.window);
    HWND top = it == by_xid_.end() ? nullptr : it->second;
    switch (e.type) {
      case Expose:
        if (top) blit(top, {e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height});
        break;
      case MotionNotify:
        if (top) hand_over(top, [top, p = POINT{e.xmotion.x, e.xmotion.y}] { inject_mouse_move(top, p); });
        break;
      case ButtonPress:
      case ButtonRelease: {
        if (!top) break;
        POINT p{e.xbutton.x, e.xbutton.y};
        unsigned b = e.xbutton.button;
        if (b == 4 || b == 5) {
          if (e.type == ButtonPress) hand_over(top, [top, p, b] { inject_mouse_wheel(top, p, b == 4 ? 120 : -120); });
          break;
        }
        int button = b == 1 ? 0 : b == 3 ? 1 : 2;
        hand_over(top, [top, p, button, down = e.type == ButtonPress] { inject_mouse_button(top, p, button, down); });
        break;
      }
      case KeyPress:
      case KeyRelease: {
        char buf[8] = {};
        KeySym sym = 0;
        int n = XLookupString(&e.xkey, buf, sizeof buf, &sym, nullptr);
        char ch = 0;
        if (e.type == KeyPress && n == 1) ch = buf[0];
        if (e.type == KeyPress && n == 0 && sym >= 0xA0 && sym <= 0xFF) ch = static_cast<char>(sym);  // Latin-1
        if (sym == XK_Return) ch = '\r';
        UINT vk = vk_from_keysym(sym);
        bool down = e.type == KeyPress;
        // Keys go to the focus, whose thread the focused window's is.
        HWND to = GetFocus() ? GetFocus() : top;
        if (to) hand_over(to, [vk, down, ch] { inject_key(vk, down, ch); });
        break;
      }
      case FocusIn:
        if (top && !(GetWindowLongPtr(top, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
          hand_over(top, [top] { SetActiveWindow(top); });
          // Text copied in other programs comes in when our window gets
          // the focus.
          if (XGetSelectionOwner(dpy_, clipboard_) != clip_owner_)
            XConvertSelection(dpy_, clipboard_, utf8_, paste_, clip_owner_, CurrentTime);
        }
        break;
      case ClientMessage:
        if (top && static_cast<Atom>(e.xclient.data.l[0]) == wm_delete_) PostMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case SelectionRequest: answer_selection(e.xselectionrequest); break;
      case SelectionNotify: take_paste(e.xselection); break;
      default: break;
    }
  }

  void answer_selection(const XSelectionRequestEvent& r) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = r.display;
    reply.requestor = r.requestor;
    reply.selection = r.selection;
    reply.target = r.target;
    reply.time = r.time;
    reply.property = None;
    if (r.target == targets_) {
      Atom offered[] = {utf8_, XA_STRING, targets_};
      XChangeProperty(dpy_, r.requestor, r.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(offered), 3);
      reply.property = r.property;
    } else if (r.target == utf8_ || r.target == XA_STRING) {
      std::string text = get_clipboard_text();
      if (r.target == utf8_) text = ansi_to_utf8(text);
      XChangeProperty(dpy_, r.requestor, r.property, r.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
      reply.property = r.property;
    }
    XSendEvent(dpy_, r.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(dpy_);
  }

  void take_paste(const XSelectionEvent& e) {
    if (e.property == None) return;
    Atom type;
    int format;
    unsigned long count, rest;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy_, clip_owner_, paste_, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count,
                           &rest, &data) == Success &&
        data) {
      std::string text(reinterpret_cast<char*>(data), count);
      taking_paste_ = true;
      set_clipboard_text(type == utf8_ ? utf8_to_ansi(text) : text);
      taking_paste_ = false;
      XFree(data);
    }
  }

  void run() {
    int xfd = ConnectionNumber(dpy_);
    while (!stop_) {
      std::deque<std::function<void()>> work;
      {
        std::lock_guard lock(m_);
        work.swap(requests_);
      }
      for (auto& f : work) f();
      while (XPending(dpy_)) {
        XEvent e;
        XNextEvent(dpy_, &e);
        handle(e);
      }
      XFlush(dpy_);
      pollfd fds[2] = {{xfd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
      poll(fds, 2, 100);
      if (fds[1].revents & POLLIN) {
        char buf[64];
        while (read(wake_[0], buf, sizeof buf) > 0) {
        }
      }
    }
  }

  Display* dpy_;
  int wake_[2] = {-1, -1};
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex m_;
  std::deque<std::function<void()>> requests_;
  // Only the X thread touches what follows.
  std::map<HWND, Window> windows_;
  std::map<Window, HWND> by_xid_;
  std::map<unsigned, Cursor> cursors_;
  Cursor drawn_[2] = {0, 0};  // arrow, wait
  Atom wm_delete_, motif_hints_, clipboard_, utf8_, targets_, paste_, net_name_;
  Window clip_owner_;
  bool taking_paste_ = false;
};

}  // namespace

std::unique_ptr<DisplayBackend> open_x11_display() {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return nullptr;
  return std::make_unique<X11Display>(dpy);
}

}  // namespace vrt::platform
