// Painting: what needs repainting, and device contexts for a window's
// client area and frame. A window draws into its top-level window's image,
// limited to the part of it that no sibling above it and no child covers.
#pragma once
#include <thread>

#include "runtime/platform/gfx/device_context.h"
#include "runtime/platform/gui/win_types.h"

namespace vrt::platform {

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  bool fErase = false;
  RECT rcPaint;
};

// Sends WM_ERASEBKGND when asked to erase, and validates the client area.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
void EndPaint(HWND hwnd, PAINTSTRUCT* ps);
// Null rect: the whole client area.
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
bool ValidateRect(HWND hwnd, const RECT* rect);
// Repaints now if anything is due (only on the window's own thread).
bool UpdateWindow(HWND hwnd);
// The window, its frame and every window inside it.
void RedrawWindow(HWND hwnd);
HDC GetDC(HWND hwnd);        // client area
HDC GetWindowDC(HWND hwnd);  // the whole window, frame included
void ReleaseDC(HWND hwnd, HDC dc);

// How many times BeginPaint ran for the window.
uint32_t paints_begun(HWND hwnd);
// For the queues: the next window of this thread with something to paint.
bool find_paint_message(std::thread::id thread, HWND filter, MSG* msg);
// Marks a top-level window and everything in it for repainting.
void invalidate_tree(HWND top);

}  // namespace vrt::platform
